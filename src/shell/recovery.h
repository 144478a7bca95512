#pragma once

// Unsaved work survives a crash, a kill or a power cut: while the document holds changes the
// running program keeps a recovery copy of it in the user's data folder, written atomically a
// little after the last change, and removes it once the changes are saved or given up. The
// next start offers what a run that did not end normally left behind.
//
// The rules live here; the desktop program only runs the timer, answers "is its owner still
// running" from its single-instance lock and shows the questions through the Prompter.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "codeplug/codeplug.h"
#include "codeplug/prompter.h"
#include "shell/document.h"

namespace ql40::shell {

namespace fs = std::filesystem;

// --- Where ---------------------------------------------------------------------------------

// The recovery files' folder inside the user's data folder (UserDataDir() of shell/paths.h);
// empty when there is no such folder.
fs::path RecoveryDir(const std::string& user_data_dir);

// Who writes a recovery file: the program's single-instance key (user and executable), the
// machine and the process. Two users or two copies never share a name.
struct RecoveryOwner {
  std::string key;
  std::string host;
  std::int64_t pid = 0;
  bool operator==(const RecoveryOwner&) const = default;
};
inline constexpr const char* kRecoveryExtension = ".recovery";
// "<key>-<host>-<pid>.recovery"; characters that do not belong in a file name become '_'.
std::string RecoveryFileName(const RecoveryOwner& owner);
// The owner named by a recovery file's name; none for a name this program did not make.
std::optional<RecoveryOwner> OwnerOfRecoveryFile(std::string_view file_name);

// --- What ----------------------------------------------------------------------------------

struct RecoveryData {
  std::int64_t saved_at = 0;  // seconds since the epoch
  std::string path;           // the document's path, or the marker of a codeplug without file
  std::string title;          // what the start-up question names
  bool file_loaded = false;
  bool radio_origin = false;
  double default_split = 0.0;
  Image image{};
};
// Same document: image, trailer, path and origin (the time and title aside).
bool SameContent(const RecoveryData& a, const RecoveryData& b);

// The file's bytes: a header with the length of the whole, the fields, and a CRC-32 over
// everything before it, so that a file cut short or damaged anywhere is recognised.
std::string EncodeRecovery(const RecoveryData& data);
// The data, or none with the reason in *why for a file that is not whole.
std::optional<RecoveryData> DecodeRecovery(std::string_view bytes, std::string* why = nullptr);

// The document as Save would write it now, without touching the document (the grid's records
// are committed into a copy of the image).
RecoveryData CaptureRecovery(const Codeplug& doc, std::int64_t now);
// The title the start-up question names: the file's name, or for a codeplug without a file
// what it came from.
std::string RecoveryTitle(const Codeplug& doc);
// Opens the recovered document: its image, trailer, path and origin, decoded, with the
// modified flag set and no undo steps.
void RestoreRecovery(const RecoveryData& data, Codeplug& doc);

// "10:42" on the same day as now, "2026-12-08 10:42" on another, in local time.
std::string RecoveryTimeText(std::int64_t saved_at, std::int64_t now);

// Writes bytes to a temporary file beside the target, flushes them to the disk and renames it
// over the target, then flushes the folder; a crash at any moment leaves the old file or the
// new one, never a part. The temporary name ends in ".tmp".
bool WriteFileAtomically(const fs::path& target, std::string_view bytes, std::string* error);

// --- When ----------------------------------------------------------------------------------

// When the next recovery copy is due: a quiet spell after the last change, at the latest a
// while after the first unsaved one (so that steady editing is still kept), and never sooner
// than the minimum interval after the previous write.
class AutosaveSchedule {
 public:
  using Clock = std::chrono::steady_clock;
  struct Timing {
    std::chrono::milliseconds quiet{2000};
    std::chrono::milliseconds longest{5000};
    std::chrono::milliseconds min_interval{1000};
  };
  AutosaveSchedule() = default;
  explicit AutosaveSchedule(Timing timing) : timing_(timing) {}

  void Changed(Clock::time_point now);
  bool pending() const { return first_change_.has_value(); }
  bool Due(Clock::time_point now) const;
  void Written(Clock::time_point now);
  // Nothing to write any more (saved, or given up).
  void Clear();

 private:
  Timing timing_;
  std::optional<Clock::time_point> first_change_;
  Clock::time_point last_change_{};
  std::optional<Clock::time_point> last_write_;
};

// --- Writing off the user-interface thread -------------------------------------------------

// Owns one recovery file and writes it on a worker thread: Write and Remove return at once,
// the newest request wins (a write asked for while another is under way follows it, a remove
// cancels a write not yet started).
class RecoveryStore {
 public:
  explicit RecoveryStore(fs::path file);
  ~RecoveryStore();  // carries out what was asked, then stops
  RecoveryStore(const RecoveryStore&) = delete;
  RecoveryStore& operator=(const RecoveryStore&) = delete;

  const fs::path& file() const { return file_; }
  void Write(RecoveryData data);
  void Remove();
  // Waits until every request so far is carried out.
  void Flush();

  int writes() const;
  // The last failure ("" when the last write worked).
  std::string last_error() const;

 private:
  void Run();

  fs::path file_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable idle_;
  std::optional<RecoveryData> write_;
  bool remove_ = false;
  bool busy_ = false;
  bool stop_ = false;
  int writes_ = 0;
  std::string error_;
  std::thread worker_;
};

// --- Start-up ------------------------------------------------------------------------------

enum class LeftRecoveryKind {
  kOffer,      // unsaved changes of a run that did not end normally
  kDamaged,    // cannot be read whole
  kUnchanged,  // holds exactly what its file holds: nothing to recover
};
struct LeftRecovery {
  fs::path file;
  LeftRecoveryKind kind = LeftRecoveryKind::kOffer;
  RecoveryData data;  // for kOffer and kUnchanged
  std::string why;    // for kDamaged
};
// True when the owner still runs (its single-instance lock is held by that process).
using OwnerRunning = std::function<bool(const RecoveryOwner& owner)>;
// The recovery files in the folder whose owners no longer run, oldest first. Files of other
// machines (whose owners cannot be asked) and of running copies are left alone; a file that
// carries this run's own name is from an earlier run that had the same process number.
std::vector<LeftRecovery> FindLeftRecoveries(const fs::path& folder, const RecoveryOwner& self,
                                             const OwnerRunning& owner_running);

struct RecoveryPlaces {
  fs::path own_file;    // this run's recovery file: an accepted recovery becomes it
  fs::path backup_dir;  // refused and damaged ones go here
};
struct OfferReport {
  bool opened = false;             // the document is now a recovered one
  std::vector<std::string> kept;   // refused recoveries written into the backups folder
  std::vector<std::string> moved;  // damaged files moved there
};
// Offers each left recovery in turn. Yes opens it as the modified document with its original
// path; a second Yes first runs confirm_replace, the save question of the document open (true:
// it may be replaced). No writes it as a codeplug file into the backups folder. A damaged file
// is moved to the backups folder with a message; one that holds what its file holds is
// removed. A recovery that could not be moved stays where it is, to be offered again.
OfferReport OfferRecoveries(const std::vector<LeftRecovery>& left, Codeplug& doc,
                            const RecoveryPlaces& places, Prompter& prompter,
                            const std::function<bool()>& confirm_replace, std::int64_t now);

// The codeplug file a refused recovery becomes: "YYYYMMDD-HHMMSS-<title>-unsaved.q40", the
// time of the recovery copy in local time.
std::string RefusedRecoveryName(const RecoveryData& data);

}  // namespace ql40::shell

#pragma once

// Programming a fleet: several radios at once, each on its own port and worker thread. A
// download can read every radio back and compare (verify); every radio touched gets a line in
// the fleet log and every image read a backup file. The command line and the desktop dialog
// both drive a FleetRun and only show what its observer reports.

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "codeplug/codeplug.h"
#include "codeplug/prompter.h"
#include "fleet/fleet_log.h"
#include "link/serial_port.h"
#include "link/transfer.h"

namespace ql40::link {
struct CloneEnvironment;
class CloneSession;
}  // namespace ql40::link

namespace ql40::fleet {

enum class FleetJob { kUpload, kDownload };

enum class RadioPhase { kWaiting, kUpload, kDownload, kVerify, kDone };
enum class RadioResult { kPending, kSucceeded, kFailed, kCancelled };

// One radio as the fleet sees it; a copy is handed to the observer on every change.
struct RadioStatus {
  std::string port;  // as the user named it
  std::string serial;
  int model = -1;  // 0 PT-610, 1 PT-410, -1 not known yet
  int band = -1;
  RadioPhase phase = RadioPhase::kWaiting;
  int percent = 0;    // of the current phase
  int prompt_id = 0;  // the transfer's last prompt (switch off and on, please wait)
  RadioResult result = RadioResult::kPending;
  int message_id = 0;       // the failure's message, 0 for none
  std::string message;      // ... its text, arguments filled in
  int verify_address = -1;  // the first image address where the read-back differed
  bool fell_back = false;   // --fast had to go byte by byte
  std::string file;         // the file written (upload) or programmed (download)
  std::string backup;       // the backup file kept of the image read
  double seconds = 0;

  bool finished() const { return result != RadioResult::kPending; }
  // "OK", "cancelled" or the failure's message, as the table and the fleet log show it.
  std::string ResultText() const;
};

// The phase as a progress line shows it: "Download Function", "Verify Function", "waiting"...
std::string PhaseText(const RadioStatus& status);

// Every change of a radio's status, called on that radio's worker thread (a desktop dialog
// forwards it to its user-interface thread). Changed comes at most once per percent step.
class RadioObserver {
 public:
  virtual ~RadioObserver() = default;
  virtual void Changed(int /*radio*/, const RadioStatus& /*status*/) {}
  virtual void Finished(int /*radio*/, const RadioStatus& /*status*/) {}
};

// The questions a radio's transfer asks (model or step mismatch), with the radio named. Called
// from the workers, possibly at the same time: implementations ask one at a time.
class FleetQuestions {
 public:
  virtual ~FleetQuestions() = default;
  virtual Answer Ask(int radio, const std::string& port, const Message& message) = 0;
};

// Answers every question the same way (--yes, --no).
class FixedAnswers : public FleetQuestions {
 public:
  explicit FixedAnswers(bool yes) : yes_(yes) {}
  Answer Ask(int radio, const std::string& port, const Message& message) override;

 private:
  bool yes_;
};

struct FleetOptions {
  FleetJob job = FleetJob::kDownload;
  std::vector<std::string> ports;
  // Opens the port of one radio with the read time-out constant the transfer asks for.
  std::function<std::unique_ptr<link::SerialPort>(const std::string& port, int read_constant_ms,
                                                  link::PortOpenError* error)>
      open_port;
  Codeplug source;                   // download: the codeplug to program, loaded
  std::string source_file;           // download: its file, for the fleet log
  std::filesystem::path output_dir;  // upload: one file per radio, named by serial number
  std::optional<bool> verify;        // unset: on for several ports, off for one
  bool fast = false;
  bool maintenance = false;
  std::filesystem::path log_folder;     // QL40.LOG and ql40-fleet.csv; empty: working folder
  std::filesystem::path backup_folder;  // empty: "backups" in the log folder
  std::optional<std::chrono::milliseconds> start_byte_wait;

  bool VerifyOn() const { return verify.value_or(ports.size() > 1); }
  std::filesystem::path BackupFolder() const;
};

// An empty string when the options can run, else what is wrong (a port named twice, no port,
// an output folder that is a file).
std::string CheckFleetOptions(const FleetOptions& options);

class FleetRun {
 public:
  FleetRun(FleetOptions options, FleetQuestions* questions, RadioObserver* observer);
  ~FleetRun();  // cancels and waits for workers still running
  FleetRun(const FleetRun&) = delete;
  FleetRun& operator=(const FleetRun&) = delete;

  // Starts one worker per port.
  void Start();
  // Cancels every radio; safe from any thread and from a signal handler (through the token).
  void Cancel() { cancel_.Request(); }
  link::CancelToken& cancel_token() { return cancel_; }
  // Waits for every worker.
  void Wait();

  // Copies of every radio's status, safe while the run goes on.
  std::vector<RadioStatus> Snapshot() const;
  std::size_t size() const { return options_.ports.size(); }
  bool AllSucceeded() const;
  const FleetOptions& options() const { return options_; }

 private:
  class Radio;
  struct RadioRun;  // what one radio's job came to, gathered as it goes

  void RunRadio(int index);
  link::CloneEnvironment Environment(const std::string& port, Radio& radio);
  void DownloadToRadio(Radio& radio, const link::CloneEnvironment& env, WallClock::time_point when,
                       RadioRun& run);
  void VerifyDownload(Radio& radio, const link::CloneSession& session,
                      std::unique_ptr<link::SerialPort>& link, const link::CloneEnvironment& env,
                      WallClock::time_point when, RadioRun& run);
  void UploadFromRadio(Radio& radio, const link::CloneEnvironment& env, WallClock::time_point when,
                       RadioRun& run);
  // Names the upload file of a radio, unique within this run.
  std::filesystem::path ClaimFile(const std::string& serial);
  // The radio's final status, kept and returned.
  RadioStatus Finish(int index, const RadioRun& run, std::chrono::steady_clock::time_point started);
  // The fleet log's line for the radio; a radio the log does not show has not succeeded.
  void LogRadio(int index, const std::string& port, const RadioRun& run, WallClock::time_point when,
                RadioStatus& final_status);

  FleetOptions options_;
  FleetQuestions* questions_;
  RadioObserver* observer_;
  link::CancelToken cancel_;
  FleetLog log_;
  mutable std::mutex mutex_;
  std::vector<RadioStatus> status_;         // guarded by mutex_
  std::vector<std::string> claimed_files_;  // upload file names taken in this run
  std::vector<std::thread> workers_;
};

}  // namespace ql40::fleet

#pragma once

// Every image read from a radio and every image about to be written to one is kept as a .q40
// file, so that a dealer can always go back to what the radio held.

#include <ctime>
#include <string>
#include <string_view>

#include "codeplug/image.h"
#include "codeplug/prompter.h"

namespace ql40::shell {

enum class BackupKind {
  kRead,             // "-read": read from a radio
  kWrite,            // "-write": about to be written to one by a download
  kAlignWrite,       // "-align-write": written back by an alignment
  kReadHalfWritten,  // "-read-half-written": read from a radio whose last download stopped
};

// "YYYYMMDD-HHMMSS-<serial>-read.q40", "...-write.q40", ... Characters of the serial number
// that do not belong in a file name become '_'; an empty serial number becomes "unknown".
std::string BackupFileName(const std::tm& local_time, std::string_view serial, BackupKind kind);

// The newest backup in the folder that holds a whole codeplug of the radio with this serial
// number: what was last written to it, or read from it while it was complete. Empty when
// there is none.
std::string LastCompleteBackup(const std::string& folder, std::string_view serial);

// What to tell after reading a radio whose last download stopped half-way: which backup holds
// the last complete codeplug for it, or that there is none.
Message HalfWrittenNotice(const std::string& folder, std::string_view serial);

// Writes image and trailer into the folder (made when missing) under a fresh name: a second
// backup within the same second gets "-2", "-3", ... before the extension. Gives the path
// written, or empty with the failure shown through the prompter.
std::string WriteBackup(const std::string& folder, const Image& image, double trailer,
                        std::string_view serial, BackupKind kind, std::time_t when,
                        Prompter& prompter);

}  // namespace ql40::shell

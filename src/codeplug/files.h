#pragma once

// Codeplug files: 17672 bytes, the image followed by the trailer. Every failure is shown
// through the Prompter with the program's own message and reported as false.

#include <cstdint>
#include <span>
#include <string>

#include "codeplug/codeplug.h"
#include "codeplug/prompter.h"

namespace ql40 {

// Default band files, one per band index.
inline constexpr const char* kDefaultFileNames[] = {"defaultv.q40", "defaultl.q40", "defaultu.q40"};

// Where default band files are looked up (the program's folder) and written (the working
// folder, by bare file name). An installed program keeps the band files it ships read-only
// and gives the user a folder of their own: user_dir is then searched before program_dir, band
// by band, and a missing default band file is written there instead of the working folder.
struct FileEnvironment {
  std::string program_dir;
  std::string working_dir = ".";
  std::string user_dir = {};  // empty: look in program_dir alone, write into working_dir
};

// Reads 138 blocks and, when present, the trailer. Message 32 when the file cannot be
// opened, 34 when it ends inside the image; the image is then left as it was.
bool ReadImageFile(const std::string& path, Image& image, double& trailer, Prompter& prompter);
// What ReadImageFile does with the bytes of a file it opened, on bytes in memory: 138 blocks,
// then the trailer when 8 more bytes follow (anything after them is not looked at). Message 34
// naming path when the bytes end inside the image; image and trailer are then left as they
// were.
bool ReadImageBytes(std::span<const std::uint8_t> bytes, const std::string& path, Image& image,
                    double& trailer, Prompter& prompter);

// Writes image and trailer. The bytes go to a temporary file in the target's folder that
// replaces the target only when all 17672 bytes are written, so a failed save never leaves a
// truncated or half-old file. Message 35 when it cannot be created, 33 when writing fails.
bool WriteImageFile(const std::string& path, const Image& image, double trailer,
                    Prompter& prompter);
// The same for the document; clears its modified flag on success.
bool WriteImageFile(const std::string& path, Codeplug& doc, Prompter& prompter);

// Refuses, with message 49, a file that exists and is read-only.
bool CheckWritable(const std::string& path, Prompter& prompter);

// True when the file name (folder removed) is one of the default band files, with case.
bool IsDefaultFileName(const std::string& path);

// The checks of the Open command: message 32 when the file's status cannot be read, 37 when
// its size is not 17672 bytes, 34 when it cannot be read.
bool CheckOpenable(const std::string& path, Prompter& prompter);
// The size rule of those checks: message 37 unless size is 17672 bytes.
bool CheckOpenableSize(std::uintmax_t size, Prompter& prompter);

// Replaces the document: built-in defaults, then the file (or, for "<none>", the first
// default band file that can be read; when there is none one is written from the defaults).
void LoadCodeplug(Codeplug& doc, const std::string& path, const FileEnvironment& env,
                  Prompter& prompter);

// The Save command on the current path: writable check, default-file question, commit, write.
bool SaveCodeplug(Codeplug& doc, Prompter& prompter);

// The band change of the hardware settings after its dialog: the new band's default file
// from the program folder when it can be read, otherwise the committed image written under
// the bare default file name into the working folder.
void ChangeBandFile(Codeplug& doc, const FileEnvironment& env, Prompter& prompter);

// The file name with its folder removed.
std::string BaseName(const std::string& path);

}  // namespace ql40

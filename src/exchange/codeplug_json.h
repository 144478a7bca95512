#pragma once

// The whole codeplug as JSON: every record with named fields in the program's own words, the
// groups, every channel in use, and the image itself as hex so that nothing is lost. Import
// checks every value as the editors do and changes nothing unless all of them are good.

#include <string>
#include <string_view>
#include <vector>

#include "codeplug/codeplug.h"

namespace ql40::exchange {

inline constexpr const char* kJsonFormat = "ql40-codeplug";
inline constexpr int kJsonVersion = 1;

// The document as JSON text (two-space indents, a final line end). The channels and records
// are taken as decoded from the image; the raw blocks are the image as it stands.
std::string ExportJson(const Codeplug& doc);

// Builds a codeplug from JSON on top of base: keys that are missing keep base's values. A
// change of band, model, hardware constants or option unit does to the channels what the
// dialog's OK does (channels keep their frequencies under new constants, moved where they can
// no longer be stored; a new band sets every channel to its default); the file's channel rows
// then win. On success out is the new codeplug (committed and decoded), true is returned and
// warnings names, as "path: what", every value stored other than the file gives it and every
// value that changed without the file naming it. Otherwise errors holds every refused value as
// "path: why" and out is left as it was. base and out may be the same codeplug (the desktop's
// import into the open document).
bool ImportJson(std::string_view text, const Codeplug& base, Codeplug& out,
                std::vector<std::string>& errors, std::vector<std::string>& warnings);

// The built-in default codeplug of a band (what `ql40 new --band` writes).
Codeplug DefaultCodeplug(int band);

// The band a JSON text names in "hardware.band", or -1 when it names none it could be read as.
int JsonBand(std::string_view text);

}  // namespace ql40::exchange

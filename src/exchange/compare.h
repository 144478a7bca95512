#pragma once

// Two codeplugs compared in the user's words, and a codeplug checked for what would make the
// radio misbehave or what a dealer most likely did not mean.

#include <string>
#include <vector>

#include "codeplug/codeplug.h"

namespace ql40::exchange {

// One line per decoded difference ("group 1 channel 3 Receive: 160.10000 -> 161.00000",
// "Scanning: Dual Watch Time 500 msecs -> 1000 msecs"); with bytes, or when no decoded value
// differs but bytes do, one more line per image region whose bytes differ. Empty only when the
// images and trailers are the same.
std::vector<std::string> DiffCodeplugs(const Codeplug& a, const Codeplug& b, bool bytes);

enum class Severity { kWarning, kError };

struct Finding {
  Severity severity = Severity::kWarning;
  std::string where;  // "group 2 channel 5 Receive", "Scanning: Home Channel"
  std::string why;
};

// Everything found, errors and warnings, in the order of the codeplug.
std::vector<Finding> CheckCodeplug(const Codeplug& doc);
bool HasErrors(const std::vector<Finding>& findings);
// "error: where: why" / "warning: where: why".
std::string FindingText(const Finding& finding);

}  // namespace ql40::exchange

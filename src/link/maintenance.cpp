#include "link/maintenance.h"

#include <cctype>
#include <string>

namespace ql40::link {
namespace {

constexpr std::string_view kAccessCode = "tsuki-hanae";

}  // namespace

bool CheckAccessCode(std::string_view entered) {
  if (entered.size() != kAccessCode.size()) return false;
  for (std::size_t i = 0; i < entered.size(); ++i) {
    const auto c = static_cast<char>(std::tolower(static_cast<unsigned char>(entered[i])));
    if (c != kAccessCode[i]) return false;
  }
  return true;
}

}  // namespace ql40::link

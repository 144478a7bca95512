#pragma once

// The access code that maintenance mode asks for.

#include <string_view>

namespace ql40::link {

// True when the entered text, turned to lower case, is the access code exactly.
bool CheckAccessCode(std::string_view entered);

}  // namespace ql40::link

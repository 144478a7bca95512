#pragma once

// What the fuzz targets share: invariants that abort like a crash (so that libFuzzer keeps and
// minimises the input), and the choice of inputs for work too slow to do on every one.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <string_view>

namespace ql40::fuzz {

// True in the corpus replay of the test suite: there every input does all of its checks.
// libFuzzer programs answer false and leave the slow checks to a share of the inputs.
bool EveryInput();

// Whether this input does a check that costs about `one_in` times the target's usual work. The
// input itself decides (a hash of its bytes), so a finding replays the same way, and a target
// keeps its speed whatever its corpus holds.
inline bool Sampled(const std::uint8_t* data, std::size_t size, std::size_t one_in,
                    std::size_t salt = 0) {
  if (EveryInput() || one_in <= 1) return true;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  return (std::hash<std::string_view>{}(bytes) + salt) % one_in == 0;
}

// An invariant that does not hold: says which and what differs, then aborts.
[[noreturn]] inline void Violation(const char* invariant, const std::string& detail) {
  std::fprintf(stderr, "fuzz invariant violated: %s\n%s\n", invariant, detail.c_str());
  std::fflush(stderr);
  std::abort();
}

inline void Require(bool holds, const char* invariant, const std::string& detail = {}) {
  if (!holds) Violation(invariant, detail);
}

}  // namespace ql40::fuzz

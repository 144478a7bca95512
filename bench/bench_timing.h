#pragma once

// The timing loop the benchmark programs share: runs the work a number of times and gives the
// best and the mean time of one run, in milliseconds.

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

namespace ql40::bench {

struct Figures {
  double best_ms;
  double mean_ms;
};

inline Figures Time(int iterations, const std::function<void()>& work) {
  using Clock = std::chrono::steady_clock;
  std::vector<double> samples;
  samples.reserve(static_cast<std::size_t>(iterations));
  for (int i = 0; i < iterations; ++i) {
    const auto start = Clock::now();
    work();
    samples.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  double sum = 0;
  for (double s : samples) sum += s;
  return {*std::min_element(samples.begin(), samples.end()), sum / iterations};
}

}  // namespace ql40::bench

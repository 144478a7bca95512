#pragma once

// The measurement of a squelch or battery threshold: 20 level readings taken every 50 ms on a
// timer thread of its own, so the dialog stays responsive, and their trimmed mean handed to a
// callback on that thread (the dialog posts it to its own thread). The caller keeps the link
// to itself until the result came: the two never send at the same time.

#include <atomic>
#include <functional>
#include <optional>
#include <thread>
#include <vector>

#include "alignment/alignment_state.h"

namespace ql40::alignment {

class LevelSampler {
 public:
  // The result, or nothing when the radio stopped answering (the link said so already).
  using Done = std::function<void(std::optional<int> result)>;

  static constexpr int kPeriodMs = 50;

  LevelSampler(link::AlignmentLink& link, LevelKind kind, int period_ms = kPeriodMs)
      : link_(link), kind_(kind), period_ms_(period_ms) {}
  ~LevelSampler();  // stops the timer and waits for it
  LevelSampler(const LevelSampler&) = delete;
  LevelSampler& operator=(const LevelSampler&) = delete;

  void Start(Done done);
  // Stops before the next reading; the callback is not called then.
  void Stop();
  // The readings taken; valid once the callback ran.
  const std::vector<int>& readings() const { return readings_; }

 private:
  void Run(Done done);

  link::AlignmentLink& link_;
  LevelKind kind_;
  int period_ms_;
  std::atomic<bool> stop_{false};
  std::vector<int> readings_;
  std::thread thread_;
};

}  // namespace ql40::alignment

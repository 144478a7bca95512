#include "alignment/level_sampler.h"

#include <chrono>

#include "link/alignment_link.h"

namespace ql40::alignment {

LevelSampler::~LevelSampler() {
  Stop();
}

void LevelSampler::Start(Done done) {
  Stop();
  stop_ = false;
  readings_.clear();
  thread_ = std::thread([this, done = std::move(done)] { Run(done); });
}

void LevelSampler::Stop() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

void LevelSampler::Run(Done done) {
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  const auto period = std::chrono::milliseconds(period_ms_);
  // Ticks 1 to 20 read; the 21st ends the timer with the result.
  for (int tick = 1; tick <= kReadingCount + 1; ++tick) {
    std::this_thread::sleep_until(start + tick * period);
    if (stop_) return;
    if (tick > kReadingCount) break;
    link::Levels levels;
    if (!link_.ReadLevels(&levels)) {
      if (done) done(std::nullopt);
      return;
    }
    switch (kind_) {
      case LevelKind::kBattery:
        readings_.push_back(levels.battery);
        break;
      case LevelKind::kNoise:
        readings_.push_back(levels.noise);
        break;
      case LevelKind::kSignal:
        readings_.push_back(levels.signal);
        break;
    }
  }
  if (done) done(TrimmedMean(readings_));
}

}  // namespace ql40::alignment

#pragma once

// In-process ports for the link tests: one over the simulated radio's wire (no time passes,
// a read that finds nothing is a time-out at once), one that plays a script of read results.

#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "link/serial_port.h"
#include "radiosim/radio_sim.h"

namespace ql40::testing {

// The radio at the end of an in-process cable.
// What a port saw, kept beyond the port's life (a transfer closes its port).
struct PortLog {
  int timeouts = 0;
  int delayed_ms = 0;  // pauses asked for; nothing sleeps
  int opens = 0;
};

class WirePort : public link::SerialPort {
 public:
  WirePort(sim::Wire& wire, PortLog& log) : wire_(wire), log_(log) { ++log_.opens; }

  // Reads that found nothing before the radio is switched off and on by itself (0: never).
  int power_on_after_empty_reads = 0;
  // Called on every read that found nothing (a time-out), e.g. to request a cancel.
  std::function<void()> on_timeout;
  // The Nth write call fails (0: never); fail_reads_from makes every read call from the Nth
  // on fail, as when the device goes away.
  int fail_write_at = 0;
  int fail_reads_from = 0;

  int timeouts() const { return log_.timeouts; }

  void DoPurgeReceive() override {
    stash_.clear();
    wire_.PurgeReceive();
  }
  void DoPurgeTransmit() override {}
  void Delay(int milliseconds) override { log_.delayed_ms += milliseconds; }

 protected:
  bool TakeLineError() override {
    if (error_pending_) {
      error_pending_ = false;
      return true;
    }
    if (!stash_.empty()) return false;
    std::uint8_t b = 0;
    switch (wire_.Read(b)) {
      case sim::Wire::ReadResult::kLineError:
        return true;
      case sim::Wire::ReadResult::kByte:
        stash_.push_back(b);
        return false;
      case sim::Wire::ReadResult::kNothing:
        return false;
    }
    return false;
  }
  bool ReadRaw(std::uint8_t* data, std::size_t count, std::size_t* received) override {
    ++reads_;
    if (fail_reads_from > 0 && reads_ >= fail_reads_from) return false;
    while (*received < count) {
      if (!stash_.empty()) {
        data[(*received)++] = stash_.front();
        stash_.pop_front();
        continue;
      }
      std::uint8_t b = 0;
      const auto r = wire_.Read(b);
      if (r == sim::Wire::ReadResult::kByte) {
        data[(*received)++] = b;
        continue;
      }
      if (r == sim::Wire::ReadResult::kLineError) {
        error_pending_ = true;
        return true;
      }
      ++log_.timeouts;
      wire_.radio().LineQuiet();
      if (power_on_after_empty_reads > 0 && wire_.radio().PowerOnPending() &&
          ++empty_while_off_ >= power_on_after_empty_reads) {
        wire_.PowerCycle();
      }
      if (on_timeout) on_timeout();
      return true;
    }
    return true;
  }
  bool WriteRaw(const std::uint8_t* data, std::size_t count) override {
    if (fail_write_at > 0 && ++writes_ == fail_write_at) return false;
    wire_.Send({data, count});
    return true;
  }

 private:
  sim::Wire& wire_;
  PortLog& log_;
  std::deque<std::uint8_t> stash_;
  bool error_pending_ = false;
  int reads_ = 0;
  int writes_ = 0;
  int empty_while_off_ = 0;
};

// A port that answers reads from a script: a byte, a line error, a time-out or a failed call.
class ScriptPort : public link::SerialPort {
 public:
  enum class Kind { kByte, kLineError, kTimeout, kCallFails };
  struct Event {
    Kind kind;
    std::uint8_t byte = 0;
  };
  std::deque<Event> script;
  bool echo = true;     // written bytes come back (before the script)
  bool garble = false;  // and come back with their bits flipped
  std::vector<std::uint8_t> sent;
  int write_calls = 0;
  int delayed_ms = 0;

  void Byte(std::uint8_t b) { script.push_back({Kind::kByte, b}); }
  void Add(Kind kind) { script.push_back({kind, 0}); }

  void DoPurgeReceive() override { echoes_.clear(); }
  void DoPurgeTransmit() override {}
  void Delay(int milliseconds) override { delayed_ms += milliseconds; }

 protected:
  bool TakeLineError() override {
    if (!echoes_.empty() || script.empty() || script.front().kind != Kind::kLineError) {
      return false;
    }
    script.pop_front();
    return true;
  }
  bool ReadRaw(std::uint8_t* data, std::size_t count, std::size_t* received) override {
    while (*received < count) {
      if (!echoes_.empty()) {
        data[(*received)++] = echoes_.front();
        echoes_.pop_front();
        continue;
      }
      if (script.empty()) return true;
      const Event e = script.front();
      if (e.kind == Kind::kLineError) return true;  // reported by the next read
      script.pop_front();
      if (e.kind == Kind::kTimeout) return true;
      if (e.kind == Kind::kCallFails) return false;
      data[(*received)++] = e.byte;
    }
    return true;
  }
  bool WriteRaw(const std::uint8_t* data, std::size_t count) override {
    ++write_calls;
    sent.insert(sent.end(), data, data + count);
    if (echo) {
      for (std::size_t i = 0; i < count; ++i) {
        echoes_.push_back(garble ? static_cast<std::uint8_t>(~data[i]) : data[i]);
      }
    }
    return true;
  }

 private:
  std::deque<std::uint8_t> echoes_;
};

}  // namespace ql40::testing

#pragma once

// The link tests' world: in-process ports, one over the simulated radio's wire (no time passes,
// a read that finds nothing is a time-out at once), one that plays a script of read results;
// and a radio on such a cable with everything a clone session needs around it.

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "codeplug/codeplug.h"
#include "link/clone_session.h"
#include "link/serial_port.h"
#include "link/transfer_runner.h"
#include "radiosim/radio_sim.h"
#include "resources/strings.h"
#include "support/test_support.h"

namespace ql40::testing {

// What a port saw, kept beyond the port's life (a transfer closes its port).
struct PortLog {
  int timeouts = 0;
  int delayed_ms = 0;  // pauses asked for; nothing sleeps
  int opens = 0;
};

// The radio at the end of an in-process cable.
class WirePort : public link::SerialPort {
 public:
  WirePort(sim::Wire& wire, PortLog& log) : wire_(wire), log_(log) { ++log_.opens; }

  // Reads that found nothing before the radio is switched off and on by itself (0: never).
  int power_on_after_empty_reads = 0;
  // Called on every read that found nothing (a time-out), e.g. to request a cancel.
  std::function<void()> on_timeout;
  // The Nth write call fails, every read call from the Nth on fails (0: never).
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
    if (std::exchange(error_pending_, false)) return true;
    if (!stash_.empty()) return false;
    std::uint8_t b = 0;
    const auto r = wire_.Read(b);
    if (r == sim::Wire::ReadResult::kByte) stash_.push_back(b);
    return r == sim::Wire::ReadResult::kLineError;
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

class RecordingObserver : public link::TransferObserver {
 public:
  void Title(int id) override { titles.push_back(id); }
  void Prompt(int id) override { prompts.push_back(id); }
  void Range(int maximum) override { range = maximum; }
  void Position(int position) override {
    last_position = position;
    if (on_position) on_position(position);
  }
  void Completed() override { ++completed; }
  void Failed() override { ++failed; }

  std::vector<int> titles, prompts;
  int range = -1, last_position = -1, completed = 0, failed = 0;
  std::function<void(int)> on_position;
};

inline int WordOf(const Image& image, int w) {
  return image[2 * w] | (image[2 * w + 1] << 8);
}
inline void SetWord(Image& image, int w, int v) {
  image[2 * w] = static_cast<std::uint8_t>(v);
  image[2 * w + 1] = static_cast<std::uint8_t>(v >> 8);
}
// The last image block a transfer carries for the channels an image allocates.
inline int LastBlockOfImage(const Image& image) {
  auto doc = std::make_unique<Codeplug>();
  doc->image = image;
  doc->RefreshFromImage();
  return doc->channels.LastBlock();
}
inline bool SameBytes(const Image& a, const Image& b, int first, int count) {
  return std::equal(a.begin() + first, a.begin() + first + count, b.begin() + first);
}

// The simulated radio's options with the changes the function makes.
template <typename F>
sim::RadioOptions Options(F change) {
  sim::RadioOptions options;
  change(options);
  return options;
}

struct LinkRig {
  explicit LinkRig(sim::RadioOptions options = {})
      : LinkRig(options, sim::BuiltInRadioImage(options)) {}
  LinkRig(sim::RadioOptions options, const Image& memory)
      : radio(std::make_unique<sim::Radio>(options, memory)),
        wire(std::make_unique<sim::Wire>(*radio)) {
    doc.ResetToDefaults();
  }

  link::CloneEnvironment Env() {
    link::CloneEnvironment env;
    env.open_port = [this](int read_constant_ms, link::PortOpenError* error) {
      std::unique_ptr<link::SerialPort> none;
      if (refuse_open) {
        error->kind = link::PortOpenError::Kind::kNotFound;
        return none;
      }
      auto p = std::make_unique<WirePort>(*wire, log);
      p->SetReadConstant(read_constant_ms);
      if (configure) configure(*p);
      return std::unique_ptr<link::SerialPort>(std::move(p));
    };
    env.port_label = "1";
    env.prompter = &prompter;
    env.observer = &observer;
    env.cancel = &cancel;
    env.maintenance = maintenance;
    env.log_folder = dir.path();
    env.start_byte_wait = start_byte_wait;
    env.product_log = product_log;
    return env;
  }

  link::TransferOutcome Run(link::TransferKind kind) {
    session = std::make_unique<link::CloneSession>(doc, link, Env());
    return session->Run(kind);
  }
  // The Radio menu's alignment command around the dialog.
  link::DialogResult Align(bool fine, const link::AlignmentDialog& dialog) {
    return link::AlignmentCommand(
        doc, fine, [this](link::TransferKind kind) { return Run(kind); }, link, &prompter, dialog);
  }

  std::unique_ptr<sim::Radio> radio;
  std::unique_ptr<sim::Wire> wire;
  Codeplug doc;
  std::unique_ptr<link::SerialPort> link;
  std::unique_ptr<link::CloneSession> session;
  ScriptedPrompter prompter;
  RecordingObserver observer;
  link::CancelToken cancel;
  TempDir dir;
  PortLog log;
  std::function<void(WirePort&)> configure;
  bool refuse_open = false;
  bool maintenance = false;
  std::optional<std::chrono::milliseconds> start_byte_wait;
  std::function<void(const std::string&)> product_log;
};

// A failed or cancelled transfer: the document as it was, the port closed.
inline void ExpectUntouched(const LinkRig& rig) {
  auto fresh = std::make_unique<Codeplug>();
  fresh->ResetToDefaults();
  EXPECT_EQ(rig.doc.image, fresh->image);
  EXPECT_FALSE(rig.link);
}

}  // namespace ql40::testing

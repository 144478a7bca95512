#pragma once

// A serial port whose radio is the fuzzer's input: every byte written comes back as the
// cable's echo, and after the echoes the radio "answers" with the next bytes of the input.
// When the input is used up every read times out. Nothing ever sleeps: the port runs on a
// clock of its own that pauses and time-outs advance, so a session's waits for the radio end
// as they would on a silent line, only at once.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>

#include "codeplug/prompter.h"
#include "link/serial_port.h"

namespace ql40::fuzz {

struct RadioBytes {
  const std::uint8_t* data = nullptr;
  std::size_t size = 0;
  std::size_t at = 0;
  // The line's time, kept here so that it goes on across the ports a session opens.
  std::chrono::milliseconds clock{0};
  bool Next(std::uint8_t* byte) {
    if (at >= size) return false;
    *byte = data[at++];
    return true;
  }
};

class FuzzPort : public link::SerialPort {
 public:
  explicit FuzzPort(std::shared_ptr<RadioBytes> radio) : radio_(std::move(radio)) {}
  void Delay(int milliseconds) override {
    if (milliseconds > 0) radio_->clock += std::chrono::milliseconds(milliseconds);
  }
  std::chrono::steady_clock::time_point Now() const override {
    return std::chrono::steady_clock::time_point{} + radio_->clock;
  }

 protected:
  void DoPurgeReceive() override { echo_.clear(); }
  void DoPurgeTransmit() override {}
  bool TakeLineError() override {
    // An input byte of 0xF5 right where a read starts stands for a framing error.
    if (echo_.empty() && radio_->at < radio_->size && radio_->data[radio_->at] == 0xF5) {
      ++radio_->at;
      return true;
    }
    return false;
  }
  bool ReadRaw(std::uint8_t* data, std::size_t count, std::size_t* received) override {
    while (*received < count) {
      if (!echo_.empty()) {
        data[(*received)++] = echo_.front();
        echo_.pop_front();
      } else if (!radio_->Next(&data[*received])) {
        break;
      } else {
        ++*received;
      }
    }
    // A read that came back short waited its whole time-out on a real line.
    if (*received < count) radio_->clock += ReadTimeout(count);
    return true;
  }
  bool WriteRaw(const std::uint8_t* data, std::size_t count) override {
    echo_.insert(echo_.end(), data, data + count);
    return true;
  }

 private:
  std::shared_ptr<RadioBytes> radio_;
  std::deque<std::uint8_t> echo_;
};

// Answers OK a few times, then Cancel, so that no retry question loops for ever.
class PatientPrompter : public Prompter {
 public:
  Answer Ask(const Message& message) override {
    if (message.buttons == MessageButtons::kOk) return Answer::kOk;
    if (message.buttons == MessageButtons::kYesNo) return ++asked_ < 4 ? Answer::kYes : Answer::kNo;
    return ++asked_ < 4 ? Answer::kOk : Answer::kCancel;
  }
  using Prompter::Ask;

 private:
  int asked_ = 0;
};

}  // namespace ql40::fuzz

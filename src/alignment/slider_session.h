#pragma once

// One slider item while its dialog is open: every value the technician picks goes to the radio
// at once; a value the radio refuses (or that the item does not allow) leaves the last
// accepted one in place. Ending the session sends the item's restore sequence, and on OK
// stores the last accepted value. A session that is dropped without End restores the radio
// all the same, so it is never left keyed.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace ql40::alignment {

class SliderSession {
 public:
  struct Hooks {
    // Sends a live value; true when the radio accepted it.
    std::function<bool(int value)> send;
    // Whether a value may be sent at all (the trims' 127 limit); empty: every value.
    std::function<bool(int value)> allowed;
    // Reads the signal strength again after an accepted value (RX Tune); empty: none.
    std::function<std::optional<int>()> read_signal;
    // Restore sequence; stores the value when it is given.
    std::function<void(std::optional<int> stored)> end;
  };

  // Ranges and steps of the slider.
  static constexpr int kMinimum = 0;
  static constexpr int kMaximum = 255;
  static constexpr int kPageStep = 20;
  static constexpr int kLineStep = 1;
  static constexpr int kTickInterval = 10;

  SliderSession(int start, Hooks hooks, std::optional<int> signal = std::nullopt);
  ~SliderSession();
  SliderSession(const SliderSession&) = delete;
  SliderSession& operator=(const SliderSession&) = delete;

  enum class MoveResult { kAccepted, kUnchanged, kNotAllowed, kRefused };
  // A slider position or a typed number: clamped to 0..255, checked, sent. value() is what the
  // slider shows afterwards.
  MoveResult Move(int requested);
  // Typed text: nothing when it is not a whole number (nothing is sent then).
  static std::optional<int> ParseTyped(std::string_view text);

  int value() const { return value_; }
  std::optional<int> signal() const { return signal_; }

  // Restores the radio; with save the last accepted value is stored.
  void End(bool save);
  bool ended() const { return ended_; }

  // Labels of the slider's ends.
  static std::string MinimumLabel(bool left_aligned);
  static std::string MaximumLabel(bool left_aligned);

 private:
  int value_;
  Hooks hooks_;
  std::optional<int> signal_;
  bool ended_ = false;
};

}  // namespace ql40::alignment

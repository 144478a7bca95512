#include "alignment/slider_session.h"

#include <cctype>
#include <charconv>

#include "alignment/alignment_state.h"
#include "codeplug/codecs.h"

namespace ql40::alignment {

SliderSession::SliderSession(int start, Hooks hooks, std::optional<int> signal)
    : value_(ClampByte(start)), hooks_(std::move(hooks)), signal_(signal) {}

SliderSession::~SliderSession() {
  if (!ended_) End(false);
}

SliderSession::MoveResult SliderSession::Move(int requested) {
  const int v = ClampByte(requested);
  if (ended_) return MoveResult::kUnchanged;
  if (v == value_) return MoveResult::kUnchanged;
  if (hooks_.allowed && !hooks_.allowed(v)) return MoveResult::kNotAllowed;
  if (!hooks_.send || !hooks_.send(v)) return MoveResult::kRefused;
  value_ = v;
  if (hooks_.read_signal) {
    if (const auto s = hooks_.read_signal()) signal_ = s;
  }
  return MoveResult::kAccepted;
}

std::optional<int> SliderSession::ParseTyped(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
    text.remove_prefix(1);
  }
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
    text.remove_suffix(1);
  }
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  long long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (end != text.data() + text.size()) return std::nullopt;
  // Out of range either way is clamped, not refused.
  if (error == std::errc::result_out_of_range) return text.front() == '-' ? kMinimum : kMaximum;
  if (error != std::errc()) return std::nullopt;
  if (value < kMinimum) return kMinimum;
  if (value > kMaximum) return kMaximum;
  return static_cast<int>(value);
}

void SliderSession::End(bool save) {
  if (ended_) return;
  ended_ = true;
  if (hooks_.end) hooks_.end(save ? std::optional<int>(value_) : std::nullopt);
}

std::string SliderSession::MinimumLabel(bool left_aligned) {
  return Format(left_aligned ? "%-3d" : "%3d", kMinimum);
}

std::string SliderSession::MaximumLabel(bool left_aligned) {
  return Format(left_aligned ? "%-3d" : "%3d", kMaximum);
}

}  // namespace ql40::alignment

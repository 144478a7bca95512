// The radio's side of the clone and alignment protocols.

#include <algorithm>

#include "codeplug/bits.h"
#include "codeplug/codecs.h"
#include "codeplug/hardware.h"
#include "link/frame.h"
#include "radiosim/radio_sim.h"

namespace ql40::sim {
namespace {

constexpr int kWordCount = 128;
constexpr int kRadioBlockCount = 136;
constexpr std::uint8_t kModeAlignment = 0x30;
constexpr std::uint8_t kModeNormal = 0x40;
constexpr std::uint8_t kLevelCommand = 0x31;
constexpr std::uint8_t kModeCommand = 0x38;
constexpr std::uint8_t kLevelAnswerLength = 5;

bool IsCloneCommand(std::uint8_t b) {
  return b >= frame::kReadWord && b <= frame::kWriteBlock;
}
bool IsAlignmentCommand(std::uint8_t b) {
  return b >= 0x30 && b <= 0x3F;
}

// The length byte each alignment command carries, 0 for bytes that are no command.
int AlignmentLength(std::uint8_t command) {
  switch (command) {
    case 0x30:
      return 3;
    case 0x32:
      return 2;
    case 0x33:
      return 4;
    case 0x3B:
      return 5;
    case 0x31:
    case 0x34:
    case 0x35:
    case 0x36:
    case 0x37:
    case 0x38:
    case 0x39:
    case 0x3E:
    case 0x3F:
      return 1;
    default:
      return 0;
  }
}

}  // namespace

Radio::Radio(RadioOptions options, const Image& memory)
    : options_(std::move(options)),
      memory_(memory),
      state_(options_.need_power_cycle ? State::kOff : State::kOn) {}

int Radio::marker() const {
  return bits::GetWordLE(memory_, 2 * frame::kMarkerWord);
}

bool Radio::PowerOnPending() const {
  return state_ == State::kOff && addressed_while_off_;
}

bool Radio::Hits(int at, std::int64_t count) {
  const int repeat = std::max(options_.faults.repeat, 1);
  // Written to stay clear of overflow for any at and repeat.
  const bool hit = at > 0 && count >= at && count - at < repeat;
  if (hit) ++stats_.faults_fired;
  return hit;
}

void Radio::Emit(bool detail, std::string text) {
  if (options_.on_event) options_.on_event(RadioEvent{detail, std::move(text)});
}

void Radio::Receive(std::uint8_t byte, std::vector<std::uint8_t>& out) {
  Receive(byte, out, false);
}

void Radio::Receive(std::uint8_t byte, std::vector<std::uint8_t>& out, bool back_to_back) {
  ++stats_.bytes_received;
  const auto count = stats_.bytes_received;
  const auto& faults = options_.faults;
  if (faults.unplug_after_bytes > 0 && count > std::int64_t{faults.unplug_after_bytes}) {
    if (count == std::int64_t{faults.unplug_after_bytes} + 1) {
      ++stats_.faults_fired;
      Emit(false, "fault: cable unplugged");
    }
    return;
  }
  out.push_back(byte);  // the cable's echo
  if (faults.silent_after_bytes > 0 && count > std::int64_t{faults.silent_after_bytes}) {
    if (count == std::int64_t{faults.silent_after_bytes} + 1) {
      ++stats_.faults_fired;
      Emit(false, "fault: radio went silent");
    }
    return;
  }
  if (back_to_back && faults.drop_back_to_back) {
    if (stats_.bytes_lost++ == 0) {
      ++stats_.faults_fired;
      Emit(false, "fault: bytes arriving back to back are lost");
    }
    return;
  }
  HandleByte(byte, out);
}

void Radio::PowerCycle(std::vector<std::uint8_t>& out) {
  ++stats_.power_cycles;
  frame_.clear();
  alignment_mode_ = false;
  alignment_.transmitting = false;
  addressed_while_off_ = false;
  state_ = State::kStarting;
  // A cable pulled "after N bytes" fails on the byte after the Nth, so a radio switched on
  // right after N bytes still gets its start byte through. A silent radio still sends its
  // start byte: it is no answer, and then nothing more comes.
  const auto unplug = options_.faults.unplug_after_bytes;
  if (unplug > 0 && stats_.bytes_received > std::int64_t{unplug}) {
    Emit(false, "switched off and on, but the cable is pulled");
    return;
  }
  Emit(false, "switched on: start byte sent");
  SendByte(frame::kRadioStart, out);
}

void Radio::LineQuiet() {
  if (!frame_.empty()) {
    ++stats_.bad_frames;
    Emit(true, Format("dropped a half-received frame (%zu bytes)", frame_.size()));
    frame_.clear();
  }
}

void Radio::HandleByte(std::uint8_t byte, std::vector<std::uint8_t>& out) {
  switch (state_) {
    case State::kOff:
      if (!addressed_while_off_) Emit(false, "switched off: ignoring the program");
      addressed_while_off_ = true;
      return;
    case State::kStarting:
      if (byte == frame::kProgramStart) {
        ++stats_.handshakes;
        state_ = State::kOn;
        Emit(false, "handshake: program answered the start byte");
      }
      return;
    case State::kAwaitAnswerAck:
      state_ = State::kOn;
      if (byte == frame::kAck) {
        ++stats_.answer_acks;
        return;
      }
      if (byte == frame::kNak) {
        ++stats_.answer_naks;
        SendAnswerFrame(out, true);
        return;
      }
      break;  // the program moved on: the byte starts a frame
    case State::kAwaitModeByte:
      state_ = State::kOn;
      if (byte == kModeAlignment || byte == kModeNormal) {
        LogRaw(byte);
        alignment_mode_ = byte == kModeAlignment;
        Emit(false, alignment_mode_ ? "alignment mode" : "normal mode");
        return;
      }
      break;
    case State::kOn:
      break;
  }

  if (frame_.empty()) {
    if (IsCloneCommand(byte) || IsAlignmentCommand(byte)) {
      frame_.push_back(byte);
    } else if (byte == 0x00) {
      ++stats_.raw_zero_bytes;
      LogRaw(byte);
    }
    return;
  }
  frame_.push_back(byte);
  if (frame_.size() == 2 && frame_[1] == 0) {
    // A length of 0 cannot count its own checksum.
    ++stats_.bad_frames;
    frame_.clear();
    return;
  }
  if (frame_.size() >= 2 && frame_.size() == static_cast<std::size_t>(frame_[1]) + 2) {
    HandleFrame(out);
    frame_.clear();
  }
}

void Radio::HandleFrame(std::vector<std::uint8_t>& out) {
  const std::uint8_t command = frame_[0];
  const std::uint8_t length = frame_[1];
  const std::span<const std::uint8_t> data(frame_.data() + 2, frame_.size() - 3);
  if (frame_.back() != frame::Checksum(command, length, data)) {
    ++stats_.bad_frames;
    Emit(true, Format("frame %02X with a wrong checksum", command));
    // Alignment commands are acknowledged, so a damaged one is refused; clone frames never are.
    if (IsAlignmentCommand(command)) {
      alignment_log_.push_back({false, command, {data.begin(), data.end()}, false});
      ++stats_.naks_sent;
      SendByte(frame::kNak, out);
    }
    return;
  }
  ++frame_count_;
  if (Hits(options_.faults.ignore_frame_at, frame_count_)) {
    ++stats_.frames_ignored;
    Emit(false, Format("fault: frame %02X ignored", command));
    return;
  }
  if (IsCloneCommand(command) && Hits(options_.faults.nak_clone_at, ++clone_frame_count_)) {
    ++stats_.naks_sent;
    Emit(false, Format("fault: frame %02X refused with NAK", command));
    SendByte(frame::kNak, out);
    return;
  }
  if (IsCloneCommand(command)) {
    ServeClone(out);
  } else {
    ServeAlignment(out);
  }
}

void Radio::ServeClone(std::vector<std::uint8_t>& out) {
  const std::uint8_t command = frame_[0];
  const std::size_t length = frame_[1];
  auto refuse = [&](const char* why) {
    ++stats_.bad_frames;
    Emit(true, Format("frame %02X refused: %s", command, why));
  };
  if (length < 2) return refuse("length");  // every clone frame carries an address
  const std::uint8_t address = frame_[2];
  const std::span<const std::uint8_t> data(frame_.data() + 3, frame_.size() - 4);

  switch (command) {
    case frame::kReadWord: {
      if (length != 2) return refuse("length");
      if (address >= kWordCount) return refuse("word number");
      const int value = bits::GetWordLE(memory_, 2 * address);
      const std::uint8_t reply[] = {static_cast<std::uint8_t>(value >> 8),
                                    static_cast<std::uint8_t>(value & 0xFF)};
      ++stats_.words_read;
      Emit(true, Format("read word %d = %04X", address, value));
      SendFrame(command, reply, out);
      break;
    }
    case frame::kWriteWord: {
      if (length != 4) return refuse("length");
      if (address >= kWordCount) return refuse("word number");
      WriteWord(address, data[0] << 8 | data[1]);
      const int value = bits::GetWordLE(memory_, 2 * address);
      const std::uint8_t reply[] = {static_cast<std::uint8_t>(value >> 8),
                                    static_cast<std::uint8_t>(value & 0xFF)};
      SendFrame(command, reply, out);
      break;
    }
    case frame::kReadBlock: {
      if (length != 2) return refuse("length");
      if (address >= kRadioBlockCount) return refuse("block number");
      const auto begin = memory_.begin() + (address + 2) * kBlockSize;
      ++stats_.blocks_read;
      ++stats_.block_reads[address];
      Emit(true, Format("read block %d", address));
      SendFrame(command, std::span<const std::uint8_t>(begin, kBlockSize), out);
      break;
    }
    case frame::kWriteBlock: {
      if (length != kBlockSize + 2) return refuse("length");
      if (address >= kRadioBlockCount) return refuse("block number");
      std::copy(data.begin(), data.end(), memory_.begin() + (address + 2) * kBlockSize);
      for (std::size_t i = 0; i < data.size(); ++i) {
        if (Hits(options_.faults.misstore_at, ++stored_count_)) {
          memory_[(address + 2) * kBlockSize + i] ^= 0x01;
          Emit(false, Format("fault: block %d byte %zu stored wrong", address, i));
        }
      }
      ++stats_.blocks_written;
      ++stats_.block_writes[address];
      ++stats_.frames_served;
      Emit(true, Format("wrote block %d", address));
      SendByte(frame::kAck, out);
      break;
    }
    default:
      break;
  }
}

void Radio::WriteWord(int word, int value) {
  bits::SetWordLE(memory_, 2 * word, value);
  ++stats_.words_written;
  ++stats_.word_writes[word];
  Emit(true, Format("wrote word %d = %04X", word, value));
  if (word != frame::kMarkerWord) return;
  if (value == frame::kMarkerWriting) {
    ++stats_.downloads_started;
    Emit(false, "download started");
  } else if (value == frame::kMarkerComplete) {
    ++stats_.downloads_completed;
    Emit(false, "download completed");
    if (!options_.save_on_download.empty()) {
      const int band = bits::Get(memory_[kOffsetBandModel], 7, 6);
      const double trailer = options_.trailer.value_or(BandDefaultSplit(band));
      if (WriteRadioFile(options_.save_on_download, memory_, trailer, &save_error_)) {
        save_error_.clear();
        Emit(false, "memory saved to " + options_.save_on_download);
      } else {
        Emit(false, "could not save the memory: " + save_error_);
      }
    }
  }
}

void Radio::ServeAlignment(std::vector<std::uint8_t>& out) {
  const std::uint8_t command = frame_[0];
  const std::span<const std::uint8_t> data(frame_.data() + 2, frame_.size() - 3);
  ++stats_.alignment_commands;
  ++alignment_count_;
  alignment_.last_command = command;
  alignment_log_.push_back({false, command, {data.begin(), data.end()}, false});
  auto nak = [&](const char* why) {
    ++stats_.naks_sent;
    Emit(true, Format("command %02X: NAK (%s)", command, why));
    SendByte(frame::kNak, out);
  };
  if (Hits(options_.faults.nak_at, alignment_count_)) return nak("fault");
  if (AlignmentLength(command) == 0) return nak("unknown command");
  if (frame_[1] != AlignmentLength(command)) return nak("length");
  if (command != kModeCommand && !alignment_mode_) return nak("not in alignment mode");
  if (refuse_ && refuse_(command, data)) return nak("refused by the test");

  switch (command) {
    case 0x30:
      alignment_.group = data[0];
      alignment_.position = data[1];
      break;
    case 0x32:
      alignment_.value = data[0];
      break;
    case 0x33:
      for (int i = 0; i < 3; ++i) alignment_.deviation[i] = data[i];
      break;
    case 0x34:
      alignment_.transmitting = true;
      break;
    case 0x35:
      alignment_.transmitting = false;
      break;
    case 0x3B:
      for (int i = 0; i < 4; ++i) alignment_.dac[i] = data[i];
      break;
    case 0x3E:
      ++alignment_.power_save_commands;
      break;
    case kModeCommand:
      // The byte after it picks the mode; anything but a raw 0x30 means normal mode.
      alignment_mode_ = false;
      alignment_.transmitting = false;
      state_ = State::kAwaitModeByte;
      break;
    default:
      break;
  }
  ++stats_.frames_served;
  alignment_log_.back().accepted = true;
  Emit(true, Format("command %02X accepted", command));
  SendByte(options_.ack_with_command_byte ? command : frame::kAck, out);
  if (command == kLevelCommand) SendAnswerFrame(out, false);
}

void Radio::QueueLevels(const std::vector<std::array<int, 4>>& readings) {
  queued_levels_.insert(queued_levels_.end(), readings.begin(), readings.end());
}

void Radio::LogRaw(std::uint8_t byte) {
  alignment_log_.push_back({true, byte, {}, true});
}

std::array<int, 4> Radio::NextLevels() {
  std::array<int, 4> levels = options_.levels;
  if (!queued_levels_.empty()) {
    levels = queued_levels_.front();
    queued_levels_.pop_front();
    return levels;
  }
  if (options_.rssi_peak >= 0 && alignment_.value >= 0) {
    levels[2] -= 2 * std::abs(alignment_.value - options_.rssi_peak);
  }
  if (options_.level_spread > 0) {
    for (int i = 0; i < 3; ++i) {
      spread_state_ = spread_state_ * 1103515245u + 12345u;
      const int span = 2 * options_.level_spread + 1;
      levels[i] += static_cast<int>((spread_state_ >> 16) % static_cast<std::uint32_t>(span)) -
                   options_.level_spread;
    }
  }
  return levels;
}

void Radio::SendAnswerFrame(std::vector<std::uint8_t>& out, bool again) {
  if (!again) {
    const std::array<int, 4> levels = NextLevels();
    for (int i = 0; i < 4; ++i) {
      last_answer_[i] = static_cast<std::uint8_t>(std::clamp(levels[i], 0, 255));
    }
  }
  const std::uint8_t* data = last_answer_.data();
  std::uint8_t sum = frame::Checksum(kLevelCommand, kLevelAnswerLength, last_answer_);
  ++reply_frame_count_;
  if (Hits(options_.faults.bad_checksum_at, reply_frame_count_)) {
    sum = static_cast<std::uint8_t>(sum + 1);
    Emit(false, "fault: level answer with a wrong checksum");
  }
  SendByte(kLevelAnswerLength, out);
  for (int i = 0; i < 4; ++i) SendByte(data[i], out);
  SendByte(sum, out);
  state_ = State::kAwaitAnswerAck;
}

void Radio::SendFrame(std::uint8_t command, std::span<const std::uint8_t> data,
                      std::vector<std::uint8_t>& out) {
  std::vector<std::uint8_t> reply = frame::Build(command, data);
  ++reply_frame_count_;
  ++stats_.frames_served;
  if (Hits(options_.faults.bad_checksum_at, reply_frame_count_)) {
    reply.back() = static_cast<std::uint8_t>(reply.back() + 1);
    Emit(false, Format("fault: reply %02X with a wrong checksum", command));
  }
  for (auto b : reply) SendByte(b, out);
}

void Radio::SendByte(std::uint8_t byte, std::vector<std::uint8_t>& out) {
  ++sent_count_;
  if (Hits(options_.faults.drop_reply_byte_at, sent_count_)) {
    Emit(false,
         Format("fault: byte %lld (%02X) dropped", static_cast<long long>(sent_count_), byte));
    return;
  }
  if (Hits(options_.faults.corrupt_reply_byte_at, sent_count_)) {
    Emit(false,
         Format("fault: byte %lld (%02X) corrupted", static_cast<long long>(sent_count_), byte));
    byte = static_cast<std::uint8_t>(~byte);
  }
  out.push_back(byte);
  ++stats_.bytes_sent;
}

void Wire::Send(std::span<const std::uint8_t> bytes) {
  std::vector<std::uint8_t> out;
  bool back_to_back = false;  // the bytes of one write follow each other without a gap
  for (auto b : bytes) {
    out.clear();
    radio_.Receive(b, out, back_to_back);
    back_to_back = true;
    pending_.insert(pending_.end(), out.begin(), out.end());
  }
}

Wire::ReadResult Wire::Read(std::uint8_t& byte) {
  if (pending_.empty()) return ReadResult::kNothing;
  const auto& faults = radio_.options().faults;
  const std::int64_t next = delivered_ + 1;
  const int repeat = std::max(faults.repeat, 1);
  if (!error_reported_ && faults.line_error_at > 0 && next >= faults.line_error_at &&
      next - faults.line_error_at < repeat) {
    error_reported_ = true;
    return ReadResult::kLineError;
  }
  byte = pending_.front();
  pending_.pop_front();
  ++delivered_;
  error_reported_ = false;
  return ReadResult::kByte;
}

void Wire::PowerCycle() {
  std::vector<std::uint8_t> out;
  radio_.PowerCycle(out);
  pending_.insert(pending_.end(), out.begin(), out.end());
}

}  // namespace ql40::sim

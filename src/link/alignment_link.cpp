#include "link/alignment_link.h"

#include <algorithm>

#include "codeplug/prompter.h"
#include "link/frame.h"
#include "resources/strings.h"

namespace ql40::link {
namespace {

constexpr int kReplyAttempts = 10;  // reads of a reply byte while nothing arrives
constexpr int kMaxSummed = 132;     // longest data run one frame carries
constexpr int kAckPauseMs = 20;     // the radio digests an accepted command
constexpr int kNakPauseMs = 50;     // and recovers from a refused one
constexpr int kModeSwitchPauseMs = 1500;
constexpr int kRawZeroPauseMs = 10;
constexpr int kPieceSize = 16;

}  // namespace

int AlignmentLink::SendSummed(const std::uint8_t* data, int count, std::uint32_t* sum) {
  if (count > kMaxSummed) return kLinkFailed;
  for (int i = 0; i < count; ++i) {
    if (port_.SendByte(data[i]) != 0) return kLinkFailed;
    *sum += data[i];
  }
  return kLinkOk;
}

int AlignmentLink::ReceiveSummed(int count, std::vector<std::uint8_t>* buffer, int* received,
                                 std::uint8_t* sum) {
  *received = 0;
  while (*received < count) {
    const int piece = std::min(kPieceSize, count - *received);
    std::uint8_t bytes[kPieceSize];
    std::size_t got = 0;
    const int result = port_.ReadCounted(bytes, static_cast<std::size_t>(piece), &got);
    for (std::size_t i = 0; i < got; ++i) {
      buffer->push_back(bytes[i]);
      *sum = static_cast<std::uint8_t>(*sum + bytes[i]);
    }
    *received += static_cast<int>(got);
    if (result != 0) return result;
  }
  return kLinkOk;
}

int AlignmentLink::Send(std::uint8_t command, std::uint8_t length,
                        std::span<const std::uint8_t> data, bool bytewise) {
  port_.PurgeTransmit();
  port_.PurgeReceive();
  const std::size_t count = length > 0 ? std::size_t{length} - 1 : 0;
  if (data.size() < count) return kLinkFailed;
  if (port_.SendByte(command) != 0 || port_.SendByte(length) != 0) return kLinkFailed;
  std::uint32_t sum = 0;
  if (bytewise) {
    for (std::size_t i = 0; i < count; ++i) {
      if (port_.SendByte(data[i]) != 0) return kLinkFailed;
      sum += data[i];
    }
  } else if (SendSummed(data.data(), static_cast<int>(count), &sum) != kLinkOk) {
    return kLinkFailed;
  }
  const auto checksum = static_cast<std::uint8_t>((command + length + sum) & 0xFF);
  if (port_.SendByte(checksum) != 0) return kLinkFailed;

  std::uint8_t reply = 0;
  int result = 2;
  for (int attempt = 0; attempt < kReplyAttempts && result == 2; ++attempt) {
    result = port_.PollByte(&reply);
  }
  if (result == 1) return kLinkFailed;
  if (result == 2) return kLinkNoReply;
  if (reply == frame::kAck || reply == command) {
    port_.Delay(kAckPauseMs);
    return kLinkOk;
  }
  if (reply == frame::kNak) {
    port_.Delay(kNakPauseMs);
    return kLinkNak;
  }
  return kLinkFailed;
}

int AlignmentLink::SendCommand(std::uint8_t command, std::uint8_t length,
                               std::span<const std::uint8_t> data) {
  return Send(command, length, data, false);
}

int AlignmentLink::SendCommandBytewise(std::uint8_t command, std::uint8_t length,
                                       std::span<const std::uint8_t> data) {
  return Send(command, length, data, true);
}

int AlignmentLink::ReceiveReply(std::uint8_t command, std::uint8_t* length,
                                std::vector<std::uint8_t>* data) {
  data->clear();
  const bool clone = command >= frame::kReadWord && command <= frame::kWriteBlock;
  int result = 2;
  for (int attempt = 0; attempt < kReplyAttempts && result == 2; ++attempt) {
    result = port_.PollByte(length);
  }
  if (result != 0) return result;
  // The length counts the checksum: a zero cannot start a frame.
  if (*length == 0) return kLinkFailed;
  auto sum = static_cast<std::uint8_t>(command + *length);

  const int count = *length - 1;
  int have = 0;
  result = 0;
  for (int attempt = 0; attempt < kReplyAttempts && have < count; ++attempt) {
    int received = 0;
    result = ReceiveSummed(count - have, data, &received, &sum);
    have += received;
    if (result == 1) return kLinkFailed;
  }
  if (static_cast<int>(data->size()) < count) return kLinkNoReply;

  std::uint8_t checksum = 0;
  result = 2;
  for (int attempt = 0; attempt < kReplyAttempts && result == 2; ++attempt) {
    result = port_.PollByte(&checksum);
  }
  if (result != 0) return result;

  if (checksum != sum) {
    if (!clone) port_.SendByte(frame::kNak);
    return kLinkFailed;
  }
  if (clone) return kLinkOk;
  return port_.SendByte(frame::kAck);
}

bool AlignmentLink::Simple(std::uint8_t command) {
  return SendCommand(command, 1, {}) == kLinkOk;
}

bool AlignmentLink::Repeat(std::uint8_t command, std::uint8_t length,
                           std::span<const std::uint8_t> data) {
  for (int attempt = 0; attempt < kRepeatLimit; ++attempt) {
    if (SendCommand(command, length, data) == kLinkOk) return true;
  }
  ShowCommunicationError();
  return false;
}

void AlignmentLink::ShowCommunicationError() {
  if (prompter_ != nullptr) prompter_->Show(res::kStrCommunicationError, MessageIcon::kStop);
}

bool AlignmentLink::ChangeChannel(int group, int position) {
  const std::uint8_t data[] = {static_cast<std::uint8_t>(group),
                               static_cast<std::uint8_t>(position)};
  if (SendCommand(kCmdChangeChannel, 3, data) == kLinkOk) return true;
  if (prompter_ != nullptr) {
    Message m;
    m.string_id = res::kStrChangeChannelError;
    m.title_id = res::kStrAdjustmentTitle;
    m.icon = MessageIcon::kStop;
    prompter_->Ask(m);
  }
  return false;
}

bool AlignmentLink::ReadLevels(Levels* levels) {
  bool sent = false;
  for (int attempt = 0; attempt < kRepeatLimit && !sent; ++attempt) {
    sent = SendCommand(kCmdReadLevels, 1, {}) == kLinkOk;
  }
  if (!sent) {
    ShowCommunicationError();
    return false;
  }
  // Only a four-reading frame answers; any other valid frame is acknowledged and the next
  // one awaited without asking again.
  for (int attempt = 0; attempt < kRepeatLimit; ++attempt) {
    std::uint8_t length = 0;
    std::vector<std::uint8_t> data;
    if (ReceiveReply(kCmdReadLevels, &length, &data) == kLinkOk && length == 5) {
      levels->battery = data[0];
      levels->noise = data[1];
      levels->signal = data[2];
      return true;
    }
  }
  ShowCommunicationError();
  return false;
}

bool AlignmentLink::LoadValue(std::uint8_t value) {
  const std::uint8_t data[] = {value};
  return Repeat(kCmdLoadValue, 2, data);
}

bool AlignmentLink::LoadDeviation(std::uint8_t dcs, std::uint8_t maximum, std::uint8_t ctcss) {
  const std::uint8_t data[] = {dcs, maximum, ctcss};
  return SendCommandBytewise(kCmdLoadDeviation, 4, data) == kLinkOk;
}

bool AlignmentLink::LoadFrequency(std::uint8_t frequency, std::uint8_t auxiliary,
                                  std::uint8_t mic_gain) {
  const std::uint8_t data[] = {0x7F, frequency, auxiliary, mic_gain};
  return Repeat(kCmdLoadFrequency, 5, data);
}

bool AlignmentLink::RawZero() {
  const bool ok = SendRawByte(0x00) == 0;
  port_.Delay(kRawZeroPauseMs);
  return ok;
}

bool AlignmentLink::SwitchMode(std::uint8_t mode) {
  End();
  const bool ok = SendRawByte(mode) == 0;
  port_.Delay(kModeSwitchPauseMs);
  return ok;
}

}  // namespace ql40::link

#include "link/clone_session.h"

#include <algorithm>
#include <fstream>

#include "codeplug/codecs.h"
#include "codeplug/hardware.h"
#include "codeplug/prompter.h"
#include "link/alignment_link.h"
#include "link/frame.h"
#include "resources/strings.h"

namespace ql40::link {
namespace {

// A read call that keeps failing (a device that went away) is retried without counting only
// this often in a row; after that it counts like any other failure, so the error limits
// still end the transfer.
constexpr int kUncountedReadFailures = 10;
// While waiting for the start byte, a read that fails at once is not repeated at once.
constexpr int kWaitRetryPauseMs = 100;
constexpr int kWordStep = 0;
constexpr int kUploadLastWord = 97;
constexpr int kUploadExtraWord = 126;
constexpr int kAlignmentLastWord = 83;
constexpr int kAlignmentExtraWord = 95;
constexpr int kFirstSettingsWord = 13;
constexpr int kLastSettingsWord = 97;
constexpr int kLastChannelBlock = 135;
constexpr int kFirstChannelBlock = 8;

int Word(const Image& image, int w) {
  return image[2 * w] | (image[2 * w + 1] << 8);
}

void PutWord(Image& image, int w, int value) {
  image[2 * w] = static_cast<std::uint8_t>(value & 0xFF);
  image[2 * w + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

// Channels that a transfer carries follow from the group counts in the image.
int LastBlockOf(const Image& image) {
  HardwareSettings hw;
  hw.Decode(image);
  auto table = std::make_unique<ChannelTable>();
  table->SetLimits(hw.product_type);
  table->DecodeChannelTable(image, hw, DecodeOptionUnit(image[kOffsetOptionUnit]));
  return std::clamp(table->LastBlock(), kFirstChannelBlock, kLastChannelBlock);
}

// Fits a PT-610 codeplug to a PT-410 radio: three groups of at most 16 channels.
void ClampToPt410(Image& image) {
  for (int i = 30; i <= 32; ++i) image[i] = std::min<std::uint8_t>(image[i], 16);
  for (int i = 50; i <= 52; ++i) {
    if (image[i] > 15) image[i] = 0xFF;
  }
  if (image[90] > 15) image[90] = 0;
  if (image[91] > 2) image[91] = 0;
  image[96] = 0;
  image[97] &= 0xE0;
  image[98] &= 0x0F;
}

}  // namespace

bool ProductCodeAccepted(int code) {
  return code == frame::kProductCodeA || code == frame::kProductCodeB;
}

CloneSession::CloneSession(Codeplug& doc, std::unique_ptr<SerialPort>& link, CloneEnvironment env)
    : doc_(doc), link_(link), env_(std::move(env)) {}

TransferOutcome CloneSession::Run(TransferKind kind) {
  errors_ = 0;
  read_failures_ = 0;
  outcome_ = {};
  fast_ = env_.fast;
  fell_back_ = false;
  last_send_fast_ = false;
  radio_ = {};
  if (kind == TransferKind::kDownload) sent_.reset();
  TransferOutcome outcome;
  switch (kind) {
    case TransferKind::kUpload:
      outcome = Upload();
      ClosePort();
      break;
    case TransferKind::kDownload:
      outcome = Download();
      ClosePort();
      // Once the marker or a settings word went out, the radio is no longer what it was.
      outcome.writing_interrupted = sent_ != nullptr && !outcome.succeeded;
      break;
    case TransferKind::kAlignmentUpload:
      outcome = AlignmentUpload();
      break;
    case TransferKind::kBasicWriteBack:
      outcome = WriteBack(false);
      break;
    case TransferKind::kFineWriteBack:
      outcome = WriteBack(true);
      break;
  }
  if (env_.observer != nullptr) {
    if (outcome.end == TransferEnd::kCompleted) env_.observer->Completed();
    if (outcome.end == TransferEnd::kFailed) env_.observer->Failed();
  }
  return outcome;
}

bool CloneSession::OpenPort(int read_constant_ms) {
  link_.reset();
  open_error_ = {};
  if (env_.open_port) link_ = env_.open_port(read_constant_ms, &open_error_);
  if (link_ && open_error_.kind == PortOpenError::Kind::kNone) return true;
  link_.reset();
  if (open_error_.kind == PortOpenError::Kind::kNone)
    open_error_.kind = PortOpenError::Kind::kOther;
  return false;
}

void CloneSession::ClosePort() {
  link_.reset();
}

TransferOutcome CloneSession::End(TransferEnd end, int message_id) {
  TransferOutcome o;
  o.end = end;
  o.message_id = message_id;
  return o;
}

TransferOutcome CloneSession::Cancel() {
  return End(TransferEnd::kCancelled);
}

TransferOutcome CloneSession::Fail(int message_id, TransferEnd end) {
  if (env_.prompter != nullptr) env_.prompter->Show(message_id, MessageIcon::kStop);
  return End(end, message_id);
}

TransferOutcome CloneSession::Succeed(int message_id) {
  if (env_.prompter != nullptr) env_.prompter->Show(message_id, MessageIcon::kInformation);
  TransferOutcome o = End(TransferEnd::kCompleted);
  o.succeeded = true;
  return o;
}

CloneSession::Step CloneSession::Count(int result, int limit, int message_id, TransferEnd end) {
  if (result == kFrameReadFailed && ++read_failures_ <= kUncountedReadFailures) return Step::kGo;
  read_failures_ = 0;
  ++errors_;
  if (errors_ <= limit) return Step::kGo;
  outcome_ = Fail(message_id, end);
  return Step::kStop;
}

template <typename Command>
CloneSession::Step CloneSession::Retry(Command command, int limit, int message_id,
                                       TransferEnd end) {
  for (;;) {
    if (Cancelled()) {
      outcome_ = Cancel();
      return Step::kStop;
    }
    const int result = command();
    if (result == kFrameOk) {
      read_failures_ = 0;
      return Step::kGo;
    }
    if (Count(result, limit, message_id, end) == Step::kStop) return Step::kStop;
    // Whatever came late for the failed request must not be taken for the next reply.
    link_->PurgeReceive();
  }
}

CloneSession::Step CloneSession::Handshake(int prompt_id, TransferEnd lead_failure_end) {
  Prompt(prompt_id);
  // Measured on the port's clock: a simulated line runs its waits on a clock of its own.
  const auto start = link_->Now();
  for (;;) {
    std::uint8_t byte = 0;
    std::size_t received = 0;
    const int result = link_->ReadOne(&byte, &received);
    if (result == 0 && received == 1 && byte == frame::kRadioStart) break;
    if (Cancelled()) {
      outcome_ = Cancel();
      return Step::kStop;
    }
    if (env_.start_byte_wait && link_->Now() - start >= *env_.start_byte_wait) {
      outcome_ = Cancel();
      outcome_.wait_expired = true;
      return Step::kStop;
    }
    if (result != 0) link_->Delay(kWaitRetryPauseMs);
  }
  if (link_->SendByte(frame::kProgramStart) != 0) {
    if (env_.prompter != nullptr) {
      env_.prompter->Show(res::kStrCheckLead, MessageIcon::kStop, {env_.port_label});
    }
    outcome_ = End(lead_failure_end, res::kStrCheckLead);
    return Step::kStop;
  }
  link_->Delay(kHandshakePauseMs);
  Prompt(res::kStrPleaseWait);
  return Step::kGo;
}

void CloneSession::AppendProductLog(int code) const {
  if (env_.product_log) {
    env_.product_log(res::FormatString(res::kStrProductCodeLog, {Format("%x", code)}));
    return;
  }
  const auto path = env_.log_folder.empty() ? std::filesystem::path(kProductLogName)
                                            : env_.log_folder / kProductLogName;
  std::ofstream log(path, std::ios::app | std::ios::binary);
  if (log) log << res::FormatString(res::kStrProductCodeLog, {Format("%x", code)});
}

// --- frames ---

void CloneSession::FallBack() {
  if (!fast_) return;
  fast_ = false;
  fell_back_ = true;
  if (env_.observer) env_.observer->FastRefused();
}

int CloneSession::Answered(int result) {
  if (result != kFrameOk && last_send_fast_) FallBack();
  return result;
}

void CloneSession::NoteWord12(int value) {
  radio_.band = (value >> 14) & 3;
  radio_.model = (value >> 8) & 1;
}

int CloneSession::SendFrame(const std::uint8_t* bytes, std::size_t count) {
  last_send_fast_ = fast_;
  if (fast_) {
    // The cable echoes at wire speed either way; one write and one read of the whole echo
    // save a round trip per byte.
    std::uint8_t whole[kBlockSize + 8];
    if (count > sizeof whole) return kFrameFailed;
    std::copy(bytes, bytes + count, whole);
    // The echo comes back at wire speed: let it gather instead of waking for every byte.
    link_->ExpectReply(count);
    const int echoed = link_->WriteEcho(whole, count);
    link_->ExpectReply(0);
    if (echoed == 1) return kFrameOk;
    FallBack();
    return kFrameFailed;
  }
  for (std::size_t i = 0; i < count; ++i) {
    std::uint8_t b = bytes[i];
    if (link_->WriteEcho(&b, 1) != 1) return kFrameFailed;
  }
  return kFrameOk;
}

int CloneSession::ReceiveFrame(std::uint8_t command, std::uint8_t length, std::uint8_t* data) {
  link_->ExpectReply(std::size_t{length} + 2);
  const int result = ReceiveFrameBytes(command, length, data);
  link_->ExpectReply(0);
  return result;
}

int CloneSession::ReceiveFrameBytes(std::uint8_t command, std::uint8_t length, std::uint8_t* data) {
  std::uint8_t b = 0;
  std::size_t n = 0;
  if (link_->ReadOne(&b, &n) != 0 || n != 1 || b != command) return kFrameFailed;
  if (link_->ReadOne(&b, &n) != 0 || n != 1 || b != length) return kFrameFailed;
  unsigned sum = command + length;
  for (int i = 0; i < length - 1; ++i) {
    const int result = link_->ReadOne(&data[i], &n);
    if (result == 2) return kFrameReadFailed;
    if (result != 0 || n != 1) return kFrameFailed;
    sum += data[i];
  }
  if (link_->ReadOne(&b, &n) != 0 || n != 1) return kFrameFailed;
  return b == static_cast<std::uint8_t>(sum & 0xFF) ? kFrameOk : kFrameFailed;
}

int CloneSession::ReadWord(int word, int* value) {
  const std::uint8_t data[] = {static_cast<std::uint8_t>(word)};
  const auto request = frame::Build(frame::kReadWord, data);
  if (SendFrame(request.data(), request.size()) != kFrameOk) return kFrameFailed;
  std::uint8_t reply[2];
  const int result = Answered(ReceiveFrame(frame::kReadWord, 3, reply));
  if (result == kFrameOk) *value = reply[0] * 256 + reply[1];
  if (result == kFrameOk && word == 12) NoteWord12(*value);
  return result;
}

int CloneSession::WriteWord(int word, int value) {
  const std::uint8_t data[] = {static_cast<std::uint8_t>(word),
                               static_cast<std::uint8_t>((value >> 8) & 0xFF),
                               static_cast<std::uint8_t>(value & 0xFF)};
  const auto request = frame::Build(frame::kWriteWord, data);
  if (SendFrame(request.data(), request.size()) != kFrameOk) return kFrameFailed;
  std::uint8_t reply[2];
  const int result = Answered(ReceiveFrame(frame::kWriteWord, 3, reply));
  if (result != kFrameOk) return result;
  return Answered(reply[0] * 256 + reply[1] == (value & 0xFFFF) ? kFrameOk : kFrameFailed);
}

int CloneSession::ReadBlock(int radio_block, std::uint8_t* out) {
  const std::uint8_t data[] = {static_cast<std::uint8_t>(radio_block)};
  const auto request = frame::Build(frame::kReadBlock, data);
  if (SendFrame(request.data(), request.size()) != kFrameOk) return kFrameFailed;
  std::uint8_t reply[kBlockSize];
  const int result = Answered(ReceiveFrame(frame::kReadBlock, kBlockSize + 1, reply));
  if (result == kFrameOk) std::copy(reply, reply + kBlockSize, out);
  return result;
}

int CloneSession::WriteBlock(int radio_block, const std::uint8_t* data) {
  std::uint8_t payload[kBlockSize + 1];
  payload[0] = static_cast<std::uint8_t>(radio_block);
  std::copy(data, data + kBlockSize, payload + 1);
  const auto request = frame::Build(frame::kWriteBlock, payload);
  if (SendFrame(request.data(), request.size()) != kFrameOk) return kFrameFailed;
  // The radio answers a written block with one byte of any value.
  std::uint8_t reply = 0;
  std::size_t n = 0;
  const int result = link_->ReadOne(&reply, &n);
  if (result == 2) return Answered(kFrameReadFailed);
  return Answered(result == 0 && n == 1 ? kFrameOk : kFrameFailed);
}

int CloneSession::ReadBlockWithRetry(int image_block, Image& image) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (Cancelled()) return kFrameCancelled;
    std::uint8_t block[kBlockSize];
    if (ReadBlock(image_block - kRadioBlockOffset, block) == kFrameOk) {
      std::copy(block, block + kBlockSize, image.begin() + image_block * kBlockSize);
      return kFrameOk;
    }
    link_->PurgeReceive();
  }
  if (env_.prompter != nullptr)
    env_.prompter->Show(res::kStrCommunicationError, MessageIcon::kStop);
  return kFrameFailed;
}

// --- procedures ---

// The word phase of both uploads. The first word that answers establishes the link; when the
// radio does not answer before that, it is asked to be switched off and on.
CloneSession::Step CloneSession::ReadUploadWord(Image& work, int w, TransferEnd end) {
  bool retried_plain = false;
  for (;;) {
    if (Cancelled()) {
      outcome_ = Cancel();
      return Step::kStop;
    }
    int value = 0;
    const int result = ReadWord(w, &value);
    if (result == kFrameOk) {
      PutWord(work, w, value);
      read_failures_ = 0;
      if (errors_ == 0) {
        errors_ = 1;
        Prompt(res::kStrPleaseWait);
      }
      return Step::kGo;
    }
    if (errors_ == 0) {
      // A first frame refused while sent whole may only mean the radio is slow: ask again
      // byte by byte before asking the user to switch it off and on.
      if (fell_back_ && !retried_plain) {
        retried_plain = true;
        link_->PurgeReceive();
        continue;
      }
      if (Handshake(res::kStrSwitchOffOnUpload, end) == Step::kStop) return Step::kStop;
      errors_ = 2;
      continue;
    }
    if (Count(result, kWordLimit, res::kStrUploadError, end) == Step::kStop) return Step::kStop;
    link_->PurgeReceive();
  }
}

// Block 137 carries the product code; a radio that is not one of ours stops every transfer.
CloneSession::Step CloneSession::ReadProductBlock(std::uint8_t* block, bool log) {
  if (Retry([&] { return ReadBlock(kProductBlock - kRadioBlockOffset, block); }, kBlockLimit,
            res::kStrUploadError, TransferEnd::kCompleted) == Step::kStop) {
    return Step::kStop;
  }
  const int code = block[kProductCodeInBlock] * 256 + block[kProductCodeInBlock + 1];
  {
    auto identity = std::make_unique<Image>();
    std::copy(block, block + kBlockSize, identity->begin() + kOffsetBlock137);
    radio_.known = true;
    radio_.product_code = code;
    radio_.serial = DecodeSerialNumber(*identity);
  }
  if (log) AppendProductLog(code);
  if (!ProductCodeAccepted(code)) {
    outcome_ = Fail(res::kStrProductCodeDetected, TransferEnd::kFailed);
    return Step::kStop;
  }
  return Step::kGo;
}

TransferOutcome CloneSession::Upload() {
  if (Cancelled()) return Cancel();
  if (!OpenPort(kCloneReadConstantMs))
    return Fail(res::kStrProblemWithComPort, TransferEnd::kCompleted);
  Title(res::kStrUploadFunction);
  Image work = doc_.image;
  Range(235);

  // Words 0-97 and 126; the first one that answers establishes the link.
  for (int w = kWordStep; w <= kUploadLastWord; ++w) {
    Position(w);
    if (ReadUploadWord(work, w, TransferEnd::kCompleted) == Step::kStop) return outcome_;
  }
  Position(kUploadExtraWord);
  if (ReadUploadWord(work, kUploadExtraWord, TransferEnd::kCompleted) == Step::kStop) {
    return outcome_;
  }

  std::uint8_t product[kBlockSize];
  if (ReadProductBlock(product, true) == Step::kStop) return outcome_;

  int last = kLastChannelBlock;
  for (int b = kRadioBlockOffset; b < kBlockCount; ++b) {
    if (b > last && b < kProductBlock) continue;
    Position(b + 97);
    std::uint8_t block[kBlockSize];
    if (Retry([&] { return ReadBlock(b - kRadioBlockOffset, block); }, kBlockLimit,
              res::kStrUploadError, TransferEnd::kCompleted) == Step::kStop) {
      return outcome_;
    }
    std::copy(block, block + kBlockSize, work.begin() + b * kBlockSize);
    if (b == kFirstChannelBlock - 1) last = LastBlockOf(work);
  }
  ReadMarker();
  if (Cancelled()) return Cancel();

  TransferOutcome done = Succeed(res::kStrUploadCompleted);
  done.radio_half_written = radio_.marker == frame::kMarkerWriting;
  doc_.image = work;
  return done;
}

// The download marker says whether the radio's last download finished. It is read after
// everything else, once, and counts for nothing: a radio that does not answer it is read all
// the same, and the word never enters the document.
void CloneSession::ReadMarker() {
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (Cancelled()) return;
    int value = 0;
    const int result = ReadWord(frame::kMarkerWord, &value);
    if (result == kFrameOk) {
      radio_.marker = value;
      return;
    }
    link_->PurgeReceive();
  }
}

TransferOutcome CloneSession::Download() {
  if (Cancelled()) return Cancel();
  if (!OpenPort(kCloneReadConstantMs))
    return Fail(res::kStrProblemWithComPort, TransferEnd::kCompleted);
  Title(res::kStrDownloadFunction);
  const int last = std::clamp(doc_.channels.LastBlock(), kFirstChannelBlock, kLastChannelBlock);
  Range(last + 84);

  int w12 = 0;
  if (ReachRadioForDownload(&w12) == Step::kStop) return outcome_;
  bool clamp = false;
  if (CheckDownloadHardware(w12, &clamp) == Step::kStop) return outcome_;
  if (TakeAdjustmentData(w12) == Step::kStop) return outcome_;
  if (TakeAlignmentTables() == Step::kStop) return outcome_;

  // What goes to the radio; the document keeps its channels even when the radio is smaller.
  sent_ = std::make_unique<Image>(doc_.image);
  if (clamp) ClampToPt410(*sent_);
  sent_first_block_ = env_.maintenance ? 2 : 3;
  sent_last_block_ = last;

  if (WriteDownload(*sent_, last) == Step::kStop) return outcome_;
  return Succeed(res::kStrDownloadCompleted);
}

// Word 12 is the download's first frame; a radio that does not answer it is asked to be
// switched off and on.
CloneSession::Step CloneSession::ReachRadioForDownload(int* w12) {
  int first = ReadWord(12, w12);
  if (first != kFrameOk && fell_back_) {
    link_->PurgeReceive();
    first = ReadWord(12, w12);
  }
  if (first == kFrameOk) return Step::kGo;
  if (Handshake(res::kStrSwitchOffOnDownload, TransferEnd::kCompleted) == Step::kStop) {
    return Step::kStop;
  }
  if (Cancelled()) {
    outcome_ = Cancel();
    return Step::kStop;
  }
  return Retry([&] { return ReadWord(12, w12); }, kBlockLimit, res::kStrUploadError,
               TransferEnd::kCompleted);
}

// The radio must be of our kind and band; a model or channel spacing other than the
// document's is the user's call. *clamp says whether the codeplug must be cut down to fit.
CloneSession::Step CloneSession::CheckDownloadHardware(int w12, bool* clamp) {
  std::uint8_t block[kBlockSize];
  if (ReadProductBlock(block, false) == Step::kStop) return Step::kStop;
  Prompt(res::kStrPleaseWait);

  if (doc_.hardware.band != ((w12 >> 14) & 3)) {
    outcome_ = Fail(res::kStrHardwareMismatch1, TransferEnd::kCompleted);
    return Step::kStop;
  }
  if (Retry([&] { return ReadBlock(0, block); }, kBlockLimit, res::kStrUploadError,
            TransferEnd::kCompleted) == Step::kStop) {
    return Step::kStop;
  }
  const int radio_model = (w12 >> 8) & 1;
  const int radio_spacing = (block[0] >> 6) & 3;
  if (doc_.hardware.product_type == radio_model && doc_.hardware.channel_spacing == radio_spacing) {
    return Step::kGo;
  }
  const Answer answer = env_.prompter != nullptr
                            ? env_.prompter->Ask(res::kStrHardwareMismatch, MessageIcon::kStop,
                                                 MessageButtons::kOkCancel)
                            : Answer::kCancel;
  if (answer != Answer::kOk) {
    outcome_ = End(TransferEnd::kCompleted, res::kStrHardwareMismatch);
    return Step::kStop;
  }
  // Only a PT-410 radio needs the PT-610 codeplug cut down to its three small groups.
  *clamp = doc_.hardware.product_type == kPt610 && radio_model == kPt410;
  return Step::kGo;
}

// The adjustment data belong to the radio: take them from it, and check their sum.
CloneSession::Step CloneSession::TakeAdjustmentData(int w12) {
  const auto read_limit = TransferEnd::kCompleted;
  int sum = 0;
  bool matched = false;
  for (int pass = 0; pass < 2 && !matched; ++pass) {
    sum = 0;
    for (int w = 12; w >= 2; --w) {
      int value = w12;
      if (w != 12 || pass > 0) {
        if (Retry([&] { return ReadWord(w, &value); }, kWordLimit, res::kStrUploadError,
                  read_limit) == Step::kStop) {
          return Step::kStop;
        }
      }
      PutWord(doc_.image, w, value);
      sum += value;
    }
    int stored = 0;
    if (Retry([&] { return ReadWord(1, &stored); }, kWordLimit, res::kStrUploadError, read_limit) ==
        Step::kStop) {
      return Step::kStop;
    }
    matched = stored == (sum & 0xFFFF);
  }
  if (!matched) {
    if (env_.prompter != nullptr) {
      env_.prompter->Show(res::kStrAdjustChecksumMismatch, MessageIcon::kStop);
    }
    PutWord(doc_.image, 1, sum & 0xFFFF);
    WriteWord(1, sum & 0xFFFF);
    link_->PurgeReceive();
  }
  return Step::kGo;
}

// The channels' tuning bytes follow the radio's own alignment tables.
CloneSession::Step CloneSession::TakeAlignmentTables() {
  std::uint8_t block[kBlockSize];
  if (Retry([&] { return ReadBlock(kProductBlock - kRadioBlockOffset, block); }, kBlockLimit,
            res::kStrUploadError, TransferEnd::kCompleted) == Step::kStop) {
    return Step::kStop;
  }
  {
    auto radio_tables = std::make_unique<Image>(doc_.image);
    std::copy(block, block + kBlockSize, radio_tables->begin() + kOffsetBlock137);
    doc_.channels.DecodeAlignment(*radio_tables);
  }
  doc_.CommitToImage();
  return Step::kGo;
}

// The marker tells the radio (and a later upload) whether a download finished. Writing it
// must succeed: a radio left with the old "completed" mark over half-written memory, or a
// "completed" message over a radio still marked as being written, would both mislead.
CloneSession::Step CloneSession::WriteDownload(const Image& send, int last) {
  const auto write_end = TransferEnd::kCompleted;
  if (Retry([&] { return WriteWord(frame::kMarkerWord, frame::kMarkerWriting); }, kWordLimit,
            res::kStrDownloadError, write_end) == Step::kStop) {
    return Step::kStop;
  }
  for (int w = kFirstSettingsWord; w <= kLastSettingsWord; ++w) {
    if (Retry(
            [&] {
              const int result = WriteWord(w, Word(send, w));
              Position(w - kFirstSettingsWord);
              return result;
            },
            kWordLimit, res::kStrDownloadError, write_end) == Step::kStop) {
      return Step::kStop;
    }
  }
  for (int b = env_.maintenance ? 2 : 3; b <= last; ++b) {
    Position(b + 84);
    if (Retry([&] { return WriteBlock(b - kRadioBlockOffset, send.data() + b * kBlockSize); },
              kBlockLimit, res::kStrDownloadError, write_end) == Step::kStop) {
      return Step::kStop;
    }
  }
  if (Retry([&] { return WriteWord(126, 0); }, kWordLimit, res::kStrDownloadError, write_end) ==
          Step::kStop ||
      Retry([&] { return WriteWord(frame::kMarkerWord, frame::kMarkerComplete); }, kWordLimit,
            res::kStrDownloadError, write_end) == Step::kStop) {
    return Step::kStop;
  }
  return Step::kGo;
}

TransferOutcome CloneSession::AlignmentUpload() {
  if (Cancelled()) return Cancel();
  if (!OpenPort(kAlignmentReadConstantMs)) {
    return Fail(res::kStrProblemWithComPort, TransferEnd::kFailed);
  }
  Title(res::kStrUploadFunction);
  Image work = doc_.image;
  Range(138);

  for (int w = 0; w <= kAlignmentLastWord; ++w) {
    Position(2 * w / 83);
    if (ReadUploadWord(work, w, TransferEnd::kFailed) == Step::kStop) return outcome_;
  }
  Position(2 * kAlignmentExtraWord / 83);
  if (ReadUploadWord(work, kAlignmentExtraWord, TransferEnd::kFailed) == Step::kStop) {
    return outcome_;
  }

  std::uint8_t product[kBlockSize];
  if (ReadProductBlock(product, true) == Step::kStop) return outcome_;
  // The radio's own alignment tables, so that the dialogs see the radio and not the document.
  std::copy(product, product + kBlockSize, work.begin() + kOffsetBlock137);

  for (const auto& [b, position] : {std::pair{2, 3}, std::pair{4, 5}}) {
    Position(position);
    const int result = ReadBlockWithRetry(b, work);
    if (result == kFrameCancelled) return Cancel();
    if (result != kFrameOk) return End(TransferEnd::kCompleted, res::kStrCommunicationError);
  }
  const int last = LastBlockOf(work);
  for (int b = kFirstChannelBlock; b <= last; ++b) {
    Position(138 * b / last);
    const int result = ReadBlockWithRetry(b, work);
    if (result == kFrameCancelled) return Cancel();
    if (result != kFrameOk) return End(TransferEnd::kFailed, res::kStrCommunicationError);
  }
  TransferOutcome done = Succeed(res::kStrUploadCompleted);
  doc_.image = work;
  return done;
}

TransferOutcome CloneSession::WriteBack(bool fine) {
  // The alignment upload left the port open; without it there is nothing to write to.
  if (!link_) return Fail(res::kStrProblemWithComPort, TransferEnd::kFailed);
  Title(res::kStrDownloadFunction);
  const auto end = TransferEnd::kFailed;
  if (!fine) {
    Range(12);
    for (int w = 1; w <= 12; ++w) {
      if (Retry(
              [&] {
                const int result = WriteWord(w, Word(doc_.image, w));
                Position(w);
                return result;
              },
              kWordLimit, res::kStrDownloadError, end) == Step::kStop) {
        return outcome_;
      }
    }
    if (Retry(
            [&] {
              const int result = WriteWord(95, Word(doc_.image, 95));
              if (result != kFrameOk) Position(96);
              return result;
            },
            kWordLimit, res::kStrDownloadError, end) == Step::kStop) {
      return outcome_;
    }
  } else {
    const int last = std::clamp(doc_.channels.LastBlock(), kFirstChannelBlock, kLastChannelBlock);
    Range(last - 7);
    for (int b = kFirstChannelBlock; b <= last; ++b) {
      Position((last - 7) * b / last);
      // Channel blocks go out without a cancel check: a radio must not keep half of them.
      for (;;) {
        const int result = WriteBlock(b - kRadioBlockOffset, doc_.image.data() + b * kBlockSize);
        if (result == kFrameOk) break;
        if (Count(result, kBlockLimit, res::kStrDownloadError, end) == Step::kStop) {
          return outcome_;
        }
        link_->PurgeReceive();
      }
    }
  }
  TransferOutcome done = Succeed(res::kStrDownloadCompleted);
  AlignmentLink(*link_, env_.prompter).End();
  return done;
}

}  // namespace ql40::link

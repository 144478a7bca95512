#include "alignment/alignment_state.h"

#include <algorithm>
#include <numeric>

#include "alignment/alignment_strings.h"
#include "codeplug/bits.h"
#include "codeplug/codecs.h"
#include "codeplug/codeplug.h"
#include "codeplug/prompter.h"
#include "link/alignment_link.h"
#include "resources/channel_labels.h"
#include "resources/strings.h"

namespace ql40::alignment {
namespace {

// Image bytes of the adjustment values; pairs are wide, narrow.
constexpr int kByteAuxiliary = 191;
constexpr int kByteMicGain = 190;
constexpr int kByteBatteryWarning = 23;
constexpr int kByteAlkaline = 22;
constexpr int kBytesRssi[] = {5, 9};
constexpr int kBytesTxSave[] = {4, 8};
constexpr int kBytesThreshold[] = {7, 11};
constexpr int kBytesTight[] = {6, 10};
constexpr int kBytesPower[] = {14, 13, 12, 15};
constexpr int kBytesMaxDeviation[] = {17, 16};
constexpr int kBytesCtcss[] = {19, 18};
constexpr int kBytesDcs[] = {21, 20};
constexpr int kByteFrequencyDa = 24;

constexpr int kChannelChangePauseMs = 50;

template <std::size_t N>
void LoadInto(const Image& image, const int (&offsets)[N], std::array<int, N>& values) {
  for (std::size_t i = 0; i < N; ++i) values[i] = image[static_cast<std::size_t>(offsets[i])];
}
template <std::size_t N>
void StoreFrom(Image& image, const int (&offsets)[N], const std::array<int, N>& values) {
  for (std::size_t i = 0; i < N; ++i) {
    image[static_cast<std::size_t>(offsets[i])] = static_cast<std::uint8_t>(ClampByte(values[i]));
  }
}

std::string Text(int id) {
  return res::FormatString(id);
}

std::string SubAudioText(const ChannelRecord& record, int tone) {
  if (record.sub_audio_type == 0 || tone == 0) return Text(kStrNoSubAudio);
  if (record.sub_audio_type == 2) {
    return res::FormatString(kStrDcsPrefix, {res::LabelOr(res::kDcsCodes, tone)});
  }
  return res::FormatString(kStrCtcssPrefix, {res::LabelOr(res::kCtcssTones, tone)});
}

std::string MegahertzText(Frequency f) {
  return Format("%3.6f", f / 100000.0);
}

}  // namespace

AdjustmentValues AdjustmentValues::Load(const Image& image) {
  AdjustmentValues v;
  v.auxiliary = image[kByteAuxiliary] & 0x0F;
  v.mic_gain = image[kByteMicGain];
  v.battery_warning = image[kByteBatteryWarning];
  v.alkaline = image[kByteAlkaline];
  LoadInto(image, kBytesRssi, v.rssi_squelch);
  LoadInto(image, kBytesTxSave, v.tx_save);
  LoadInto(image, kBytesThreshold, v.threshold_squelch);
  LoadInto(image, kBytesTight, v.tight_squelch);
  LoadInto(image, kBytesPower, v.power);
  LoadInto(image, kBytesMaxDeviation, v.max_deviation);
  LoadInto(image, kBytesCtcss, v.ctcss_deviation);
  LoadInto(image, kBytesDcs, v.dcs_deviation);
  v.frequency_da = image[kByteFrequencyDa];
  return v;
}

void AdjustmentValues::Store(Image& image) const {
  image[kByteMicGain] = static_cast<std::uint8_t>(ClampByte(mic_gain));
  image[kByteBatteryWarning] = static_cast<std::uint8_t>(ClampByte(battery_warning));
  image[kByteAlkaline] = static_cast<std::uint8_t>(ClampByte(alkaline));
  StoreFrom(image, kBytesRssi, rssi_squelch);
  StoreFrom(image, kBytesTxSave, tx_save);
  StoreFrom(image, kBytesThreshold, threshold_squelch);
  StoreFrom(image, kBytesTight, tight_squelch);
  StoreFrom(image, kBytesPower, power);
  StoreFrom(image, kBytesMaxDeviation, max_deviation);
  StoreFrom(image, kBytesCtcss, ctcss_deviation);
  StoreFrom(image, kBytesDcs, dcs_deviation);
  image[kByteFrequencyDa] = static_cast<std::uint8_t>(ClampByte(frequency_da));
  bits::SetWordLE(image, kOffsetAdjustSum, AdjustmentChecksum(image));
}

int AdjustmentChecksum(const Image& image) {
  int sum = 0;
  for (int offset = 4; offset < 26; offset += 2) sum += bits::GetWordLE(image, offset);
  return sum & 0xFFFF;
}

int DecodeOffset(std::uint8_t byte) {
  const int size = byte & 0x7F;
  return (byte & 0x80) != 0 ? -size : size;
}

std::optional<std::uint8_t> EncodeOffset(int offset) {
  if (offset > kMaxOffset || offset < -kMaxOffset) return std::nullopt;
  if (offset >= 0) return static_cast<std::uint8_t>(offset);
  return static_cast<std::uint8_t>(0x80 | -offset);
}

int TrimmedMean(std::span<const int> readings) {
  if (readings.empty()) return 0;
  const long long sum = std::accumulate(readings.begin(), readings.end(), 0LL);
  const auto n = static_cast<long long>(readings.size());
  if (n < 3) return static_cast<int>(sum / n);
  const auto [low, high] = std::minmax_element(readings.begin(), readings.end());
  return static_cast<int>((sum - *low - *high) / (n - 2));
}

ChannelTexts DescribeChannel(const AlignmentState& state) {
  ChannelTexts t;
  if (state.error || state.channel_number == 0) {
    const std::string error = Text(kStrValueError);
    return {error, error, error, error, error};
  }
  const ChannelRecord& r = state.record;
  t.rx_frequency = MegahertzText(r.rx_frequency);
  t.tx_frequency = MegahertzText(r.tx_frequency);
  t.bandwidth = Text(r.narrow() ? kStrNarrow : kStrWide);
  t.rx_sub_audio = SubAudioText(r, r.rx_tone());
  t.tx_sub_audio = SubAudioText(r, r.tx_tone());
  return t;
}

ChannelSelection::ChannelSelection(link::AlignmentLink& link, Codeplug& doc, Prompter* prompter,
                                   PauseFunction pause)
    : link_(link), doc_(doc), prompter_(prompter), pause_(std::move(pause)) {
  if (!pause_) pause_ = [](int ms) { link::SleepFor(ms); };
}

std::vector<int> ChannelSelection::ProgrammedChannels(int group) const {
  std::vector<int> channels;
  const ChannelTable& table = doc_.channels;
  if (group < 0 || group >= kGroupCount) return channels;
  const int first = table.FirstIndexOfGroup(group);
  for (int i = first; i < first + table.count[static_cast<std::size_t>(group)] && i < kChannelCount;
       ++i) {
    if (table.records[static_cast<std::size_t>(i)].programmed()) channels.push_back(i);
  }
  return channels;
}

std::vector<int> ChannelSelection::ProgrammedGroups() const {
  std::vector<int> groups;
  for (int g = 0; g < kGroupCount; ++g) {
    if (!ProgrammedChannels(g).empty()) groups.push_back(g);
  }
  return groups;
}

std::vector<std::string> ChannelSelection::GroupList() const {
  std::vector<std::string> list;
  for (int g : ProgrammedGroups()) list.push_back(Format("%3d", g + 1));
  return list;
}

std::vector<std::string> ChannelSelection::ChannelList() const {
  std::vector<std::string> list;
  if (state_.error) return list;
  for (int i : ProgrammedChannels(doc_.channels.current_group)) {
    list.push_back(Format("%3d", i + 1));
  }
  return list;
}

int ChannelSelection::group_selection() const {
  if (state_.error) return -1;
  const auto groups = ProgrammedGroups();
  const auto it = std::find(groups.begin(), groups.end(), doc_.channels.current_group);
  return it == groups.end() ? -1 : static_cast<int>(it - groups.begin());
}

int ChannelSelection::channel_selection() const {
  if (state_.error) return -1;
  const auto channels = ProgrammedChannels(doc_.channels.current_group);
  const auto it = std::find(channels.begin(), channels.end(), state_.channel_number - 1);
  return it == channels.end() ? -1 : static_cast<int>(it - channels.begin());
}

void ChannelSelection::SetError() {
  state_.error = true;
  state_.channel_number = 0;
  state_.position = 0;
}

void ChannelSelection::Select(int index) {
  ChannelTable& table = doc_.channels;
  state_.error = false;
  state_.channel_number = index + 1;
  state_.position = index - table.FirstIndexOfGroup(table.current_group);
  state_.record = table.records[static_cast<std::size_t>(index)];
  table.current_channel = index;
  ChannelSelected();
}

bool ChannelSelection::Open() {
  state_.values = AdjustmentValues::Load(doc_.image);
  ChannelTable& table = doc_.channels;
  // The radio menu made group 1 current; a radio whose first group has nothing programmed
  // starts on the first group that has, so the technician is not left without a channel.
  auto channels = ProgrammedChannels(table.current_group);
  if (channels.empty()) {
    const auto groups = ProgrammedGroups();
    if (groups.empty()) {
      SetError();
      return false;
    }
    table.SelectGroup(groups.front());
    channels = ProgrammedChannels(table.current_group);
  }
  Select(channels.front());
  for (int attempt = 0; attempt < kOpeningChannelTries; ++attempt) {
    if (ChangeChannel()) return true;
  }
  return false;
}

bool ChannelSelection::PickGroup(int index) {
  const auto groups = ProgrammedGroups();
  if (index < 0 || index >= static_cast<int>(groups.size())) return false;
  doc_.channels.SelectGroup(groups[static_cast<std::size_t>(index)]);
  Select(ProgrammedChannels(doc_.channels.current_group).front());
  return ChangeChannel();
}

bool ChannelSelection::PickChannel(int index) {
  const auto channels = ProgrammedChannels(doc_.channels.current_group);
  if (state_.error || index < 0 || index >= static_cast<int>(channels.size())) return false;
  Select(channels[static_cast<std::size_t>(index)]);
  return ChangeChannel();
}

bool ChannelSelection::ChangeChannel() {
  if (state_.error) return false;
  link_.ItemBoundary();
  pause_(kChannelChangePauseMs);
  const bool ok = link_.ChangeChannel(doc_.channels.current_group, state_.position);
  if (ok && state_.power_save_receive()) link_.PowerSaveReceive();
  if (!ok && prompter_ != nullptr) {
    Message m;
    m.string_id = kStrChangeChannelFailed;
    m.title_id = kStrAlignmentTitle;
    m.icon = MessageIcon::kStop;
    prompter_->Ask(m);
  }
  state_.channel_changed = true;
  return ok;
}

void ChannelSelection::ShowCommunicationError() const {
  if (prompter_ != nullptr) prompter_->Show(res::kStrCommunicationError, MessageIcon::kStop);
}

}  // namespace ql40::alignment

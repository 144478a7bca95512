#include "channels/pick_lists.h"

#include <algorithm>

#include "channels/grid_text.h"
#include "codeplug/bits.h"
#include "codeplug/codecs.h"
#include "resources/channel_labels.h"
#include "signalling/paging.h"

namespace ql40 {
namespace {

constexpr int kHelpBase = 300;
constexpr int kSubsigCodeHelp = 320;

int PositionOf(const PickListModel& model, int value) {
  const auto it = std::find(model.values.begin(), model.values.end(), value);
  return it == model.values.end() ? 0 : static_cast<int>(it - model.values.begin());
}

void Add(PickListModel& model, std::string entry, int value) {
  model.entries.push_back(std::move(entry));
  model.values.push_back(value);
}

}  // namespace

int PickListModel::ValueAt(int position) const {
  if (values.empty()) return 0;
  if (position < 0 || position >= static_cast<int>(values.size())) position = 0;
  return values[static_cast<std::size_t>(position)];
}

PickListModel SubAudioPickList(int sub_audio_type, int current_index, int column) {
  PickListModel m;
  m.dialog_id = kSubAudioDialogId;
  m.list_id = kSubAudioListId;
  const bool ctcss = sub_audio_type == 1;
  m.caption = std::string(ctcss ? res::kCtcssCaption : res::kDcsCaption);
  m.column_width = ctcss ? 100 : 50;
  const res::LabelList list = ctcss ? res::kCtcssTones : res::kDcsCodes;
  for (std::size_t i = 0; i < list.size(); ++i) Add(m, std::string(list[i]), static_cast<int>(i));
  m.selected = PositionOf(m, current_index);
  m.help_id = kHelpBase + column;
  return m;
}

PickListModel ScanPickList(int scan_nibble) {
  PickListModel m;
  m.caption = std::string(res::kScanModeCaption);
  m.column_width = 100;
  for (std::size_t i = 0; i < res::kScanModeEntries.size(); ++i) {
    Add(m, std::string(res::kScanModeEntries[i]), static_cast<int>(i));
  }
  m.selected = PositionOf(m, scan_nibble & 3);
  m.help_id = kHelpBase + kColScan;
  return m;
}

PickListModel SquelchPickList(int squelch_value) {
  PickListModel m;
  m.caption = std::string(res::kSquelchCaption);
  m.column_width = 85;
  Add(m, "0", 0);
  for (int v = 1; v <= 7; ++v) Add(m, Format(res::kSquelchPlusFormat, v), v);
  for (int v = 1; v <= 7; ++v) Add(m, Format(res::kSquelchMinusFormat, v), 8 + v);
  // Minus zero is zero.
  const int value = squelch_value & 0x0F;
  m.selected = value == 8 ? 0 : PositionOf(m, value);
  m.help_id = kHelpBase + kColSquelch;
  return m;
}

PickListModel CodePickList(const Codeplug& doc, int code) {
  PickListModel m;
  const int unit = doc.option_unit;
  m.caption = res::LabelOr(res::kCodeCaptions, unit >= 0 && unit <= 5 ? unit : 0);
  m.column_width = 85;
  m.help_id = unit == kOptionSubsig ? kSubsigCodeHelp : kHelpBase + kColCode;
  if (unit == kOptionScb100 || unit == kOptionScbd200) {
    for (std::size_t i = 0; i < res::kSubCpuCodeEntries.size(); ++i) {
      Add(m, std::string(res::kSubCpuCodeEntries[i]), static_cast<int>(i));
    }
  } else {
    Add(m, std::string(res::kCodeOff), 0);
    const bool none_fitted = unit == kOptionNone && bits::Test(doc.image[kOffsetOptionUnit], 1);
    for (int k = 1; k <= kPagingSlotCount && !none_fitted; ++k) {
      if (unit == kOptionSubsig || !PagingSlotEmpty(doc.image, k - 1)) {
        Add(m, Format("%d", k % 10), k);
      }
    }
  }
  m.selected = PositionOf(m, code);
  return m;
}

PickListModel PickListFor(const Codeplug& doc, int channel, int column) {
  if (channel < 0 || channel >= kChannelCount) return {};
  const ChannelRecord& r = doc.channels.records[static_cast<std::size_t>(channel)];
  switch (column) {
    case kColSubAudioType:
      // A channel without sub-audio gets a type with its first tone: the CTCSS list.
      if (r.sub_audio_type != 0) return {};
      return SubAudioPickList(1, 0, column);
    case kColDecode:
      return SubAudioPickList(r.sub_audio_type, r.rx_tone(), column);
    case kColEncode:
      return SubAudioPickList(r.sub_audio_type, r.tx_tone(), column);
    case kColScan:
      return ScanPickList(r.scan_nibble());
    case kColSquelch:
      return SquelchPickList(r.squelch_setting());
    case kColCode:
      return CodePickList(doc, r.code_number());
    default:
      return {};
  }
}

}  // namespace ql40

#include "channels/grid_text.h"

#include <array>

#include "codeplug/bits.h"
#include "codeplug/codecs.h"
#include "resources/channel_labels.h"
#include "resources/labels.h"

namespace ql40 {
namespace {

constexpr FieldColumn kNotAField{{0, 0, 0}, nullptr};

// By column number; the entries with labels are the field columns.
const std::array<FieldColumn, kGridColumnCount> kFieldColumns = {{
    kNotAField,                                      // Chn
    kNotAField,                                      // Pri
    {field::kNarrow, &res::kWideNarrow},             // W/N
    kNotAField,                                      // TAG
    kNotAField,                                      // receive
    kNotAField,                                      // transmit
    kNotAField,                                      // sub-audio type
    kNotAField,                                      // decode tone
    kNotAField,                                      // encode tone
    {field::kRxPowerSave, &res::kCheckMarks},        // power save receive
    {field::kTxPowerSave, &res::kCheckMarks},        // power save transmit
    {field::kLowPower, &res::kHighLow},              // H/L
    {field::kLowPowerLevel, &res::kLowPowerLevels},  // low power level
    {field::kScan, &res::kScanLetters},              // scan lists
    {field::kTimeOutTimer, &res::kCheckMarks},       // time-out timer
    kNotAField,                                      // squelch
    {field::kAni, &res::kCheckMarks},                // ANI
    {field::kEncryption, &res::kCheckMarks},         // encryption
    {field::kLockOut, &res::kLockOuts},              // busy lock-out
    kNotAField,                                      // code
    {field::kTxClockShift, &res::kCheckMarks},       // clock shift transmit
    {field::kRxClockShift, &res::kCheckMarks},       // clock shift receive
    {field::kClockShiftOption, &res::kCheckMarks},   // clock shift option
    {field::kRchk, &res::kCheckMarks},               // RCHK
}};

}  // namespace

const FieldColumn* FieldColumnOf(int column) {
  if (column < 0 || column >= kGridColumnCount) return nullptr;
  const FieldColumn& c = kFieldColumns[static_cast<std::size_t>(column)];
  return c.labels != nullptr ? &c : nullptr;
}

std::string FieldColumnText(const ChannelRecord& record, const FieldColumn& column) {
  return res::LabelOr(*column.labels, record.Get(column.field));
}

std::string SquelchText(int squelch) {
  const int magnitude = squelch & 0x07;
  if (magnitude == 0) return " 0";
  return Format((squelch & 0x08) != 0 ? res::kSquelchMinusFormat : res::kSquelchPlusFormat,
                magnitude);
}

std::string CodeText(const ChannelRecord& record, int option_unit, std::uint8_t image_byte27) {
  const int n = record.code_number();
  if (n == 0) return std::string(res::kNoCode);
  if (option_unit == kOptionScb100 || option_unit == kOptionScbd200) return Format("%d", n);
  if (option_unit == kOptionNone && bits::Test(image_byte27, 1)) return std::string(res::kNoCode);
  return Format("%d", n == 10 ? 0 : n);
}

std::string ToneText(int sub_audio_type, int index) {
  if (sub_audio_type == 0) return std::string(res::kNoSubAudio);
  return res::LabelOr(sub_audio_type == 2 ? res::kDcsCodes : res::kCtcssTones, index);
}

std::string GridCellText(const Codeplug& doc, int channel, int column) {
  if (channel < 0 || channel >= kChannelCount) return {};
  const ChannelTable& table = doc.channels;
  const ChannelRecord& r = table.records[static_cast<std::size_t>(channel)];
  switch (column) {
    case kColChannel:
      return Format(res::kChannelNumberFormat, channel + 1);
    case kColPriority: {
      const int group = table.GroupOfChannel(channel);
      return res::LabelOr(res::kPriorityMarks, table.PriorityChannelOf(group) == channel ? 1 : 0);
    }
    case kColTag:
      return TagText(r);
    case kColReceive:
      return FrequencyText(r.rx_frequency);
    case kColTransmit:
      return r.tx_inhibit() ? std::string(res::kTxInhibited) : FrequencyText(r.tx_frequency);
    case kColSubAudioType:
      return res::LabelOr(res::kSubAudioTypes, r.sub_audio_type);
    case kColDecode:
      return ToneText(r.sub_audio_type, r.rx_tone());
    case kColEncode:
      return ToneText(r.sub_audio_type, r.tx_tone());
    case kColSquelch:
      return SquelchText(r.squelch_setting());
    case kColCode:
      return CodeText(r, doc.option_unit, doc.image[kOffsetOptionUnit]);
    default: {
      const FieldColumn* c = FieldColumnOf(column);
      return c != nullptr ? FieldColumnText(r, *c) : std::string();
    }
  }
}

std::string GridRowText(const Codeplug& doc, int channel) {
  std::string row;
  for (int column = 0; column < kGridColumnCount; ++column) {
    if (column > 0) row += '\t';
    row += GridCellText(doc, channel, column);
  }
  return row;
}

std::string GridHeading(int row, int column, int option_unit) {
  if (column < 0 || column >= kGridColumnCount) return {};
  const auto index = static_cast<std::size_t>(column);
  if (row == 0) return std::string(res::kGridHeadingRow0[index]);
  if (row != 1) return {};
  if (column != kColCode) return std::string(res::kGridHeadingRow1[index]);
  int heading = 0;  // no option unit, PT-Trunk and anything unknown: paging codes
  if (option_unit == kOption2Tone) heading = 1;
  if (option_unit >= kOptionSubsig && option_unit <= kOptionScbd200) heading = 2;
  return std::string(res::kCodeColumnHeadings[static_cast<std::size_t>(heading)]);
}

std::string GroupHeaderText(const ChannelTable& table, int group) {
  if (group < 0 || group >= kGroupCount) return {};
  const auto g = static_cast<std::size_t>(group);
  return Format(res::kGroupHeaderFormat, group + 1, table.group_tag[g].c_str(), table.count[g]);
}

std::string ChannelsLeftText(const ChannelTable& table) {
  return Format(res::kChannelsLeftFormat, table.channels_left);
}

std::string SerialNoText(const RadioIdentity& identity) {
  return Format(res::kSerialNoFormat, identity.serial_number.c_str());
}

std::string FreqBandText(int band, int channel_spacing) {
  if (channel_spacing == 2 && band == kBandVhfLo) return std::string(res::kVhfLoFineStep);
  std::string text = res::LabelOr(res::kBandNames, band);
  if (channel_spacing == 2 && band == kBandVhf) text += res::kFineStepSuffix;
  return text;
}

std::string ProductTypeText(int product_type) {
  return Format(res::kProductTypeFormat, res::LabelOr(res::kProductTypes, product_type).c_str());
}

std::string FirmwareVersionText(int version) {
  return Format(res::kFirmwareFormat, version / 100, version % 100);
}

std::string ComPortText(int port) {
  return Format(res::kComPortFormat, port);
}

}  // namespace ql40

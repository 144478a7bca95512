#pragma once

// The texts of the channel grid: the 24 cells of a channel, the two heading rows, the lines
// above the grid and the information panel. The desktop grid, the report and the command
// line all show channels with these.

#include <string>

#include "codeplug/codeplug.h"
#include "resources/labels.h"

namespace ql40 {

inline constexpr int kGridColumnCount = 24;

// Column numbers of the grid.
enum GridColumn : int {
  kColChannel = 0,
  kColPriority = 1,
  kColWideNarrow = 2,
  kColTag = 3,
  kColReceive = 4,
  kColTransmit = 5,
  kColSubAudioType = 6,
  kColDecode = 7,
  kColEncode = 8,
  kColRxPowerSave = 9,
  kColTxPowerSave = 10,
  kColPower = 11,
  kColLowPower = 12,
  kColScan = 13,
  kColTimeOut = 14,
  kColSquelch = 15,
  kColAni = 16,
  kColEncryption = 17,
  kColLockOut = 18,
  kColCode = 19,
  kColClockShiftTx = 20,
  kColClockShiftRx = 21,
  kColClockShiftOption = 22,
  kColRchk = 23,
};

// The columns that show one field of the record as an entry of a list (the check marks for a
// single bit): the grid's texts, steps and pastes, the report and the file cells all go by it.
struct FieldColumn {
  ChannelField field;
  const res::LabelList* labels;
};
// nullptr for the columns that show something else (frequencies, tones, tag, code, ...).
const FieldColumn* FieldColumnOf(int column);
// The text of such a column for a record; a stored value outside the list shows as "?(n)".
std::string FieldColumnText(const ChannelRecord& record, const FieldColumn& column);

// Text of one cell of channel (absolute index 0-511); "" for a channel or column outside the
// grid. Stored values outside their list of texts are shown as that value, never as a
// neighbour's text.
std::string GridCellText(const Codeplug& doc, int channel, int column);

// The 24 cell texts of a channel separated by tabs, as a copied grid row.
std::string GridRowText(const Codeplug& doc, int channel);

// Heading of row 0 or 1 of a column; row 1 of column 19 names the code by option unit.
std::string GridHeading(int row, int column, int option_unit);

// Column 15: the squelch offset of a squelch byte ("+3", "-2", " 0").
std::string SquelchText(int squelch);
// Column 19: the code number of a channel.
std::string CodeText(const ChannelRecord& record, int option_unit, std::uint8_t image_byte27);
// Columns 7 and 8: the entry of the type's tone list for a 1-based index (0 is "Off").
std::string ToneText(int sub_audio_type, int index);

// " Group   1  TAG [GROUP-01]  (  16  Channels )" of group (0-based).
std::string GroupHeaderText(const ChannelTable& table, int group);
// "496  Channels Left ".
std::string ChannelsLeftText(const ChannelTable& table);

// Information panel values.
std::string SerialNoText(const RadioIdentity& identity);
std::string FreqBandText(int band, int channel_spacing);
std::string ProductTypeText(int product_type);
std::string FirmwareVersionText(int version);
std::string ComPortText(int port);

}  // namespace ql40

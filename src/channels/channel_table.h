#pragma once

// The radio's channels: 512 records in up to 20 groups. A group is a slice of the one
// channel array; the slices follow each other in group order with no gaps.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "codeplug/hardware.h"
#include "codeplug/image.h"

namespace ql40 {

inline constexpr int kChannelCount = 512;
inline constexpr int kGroupCount = 20;

// Frequencies are whole numbers of 10 Hz: 146.52 MHz is 14652000.
using Frequency = std::int32_t;

// Where a channel field is kept: bits hi..lo (7 = most significant) of one of the record's
// stored bytes. Bytes 0-5 are the channel's attribute bytes as the image holds them (the tone
// indices 1-based, 0 for none); kSquelchByte is the squelch byte, kStatusByte the status.
struct ChannelField {
  int byte;
  int hi;
  int lo;
};
inline constexpr int kSquelchByte = 6;
inline constexpr int kStatusByte = 7;

// The one table of the channel's fields. Every reader and writer of a channel field goes
// through these (by the record's named accessors below); a bit no field names is carried
// unchanged, byte for byte.
namespace field {
inline constexpr ChannelField kLowPowerLevel{0, 1, 0};  // which low power, 0-2 (3 has no text)
inline constexpr ChannelField kLowPower{0, 2, 2};       // transmits at the low power
inline constexpr ChannelField kPowerSetting{0, 2, 0};   // both of the above
inline constexpr ChannelField kNarrow{0, 3, 3};
inline constexpr ChannelField kEncryption{0, 4, 4};
inline constexpr ChannelField kTxInhibit{0, 5, 5};
inline constexpr ChannelField kLockOut{1, 1, 0};  // busy lock-out, 0-2 (3 has no text)
inline constexpr ChannelField kTimeOutTimer{1, 2, 2};
inline constexpr ChannelField kRchk{1, 3, 3};
inline constexpr ChannelField kDcs{1, 4, 4};  // the tones are DCS codes, not CTCSS tones
inline constexpr ChannelField kRxClockShift{1, 5, 5};
inline constexpr ChannelField kTxClockShift{1, 6, 6};
inline constexpr ChannelField kClockShiftOption{1, 7, 7};
inline constexpr ChannelField kClockShifts{1, 7, 5};  // the three above
inline constexpr ChannelField kTxStep{2, 5, 4};       // step selector of the transmit divider
inline constexpr ChannelField kRxStep{2, 7, 6};       // step selector of the receive divider
inline constexpr ChannelField kSteps{2, 7, 4};        // both selectors
inline constexpr ChannelField kCodeNumber{3, 3, 0};   // 1-15 in memory, 0 none
inline constexpr ChannelField kCodePresent{3, 4, 4};
inline constexpr ChannelField kCode{3, 4, 0};       // the number with its present flag
inline constexpr ChannelField kRxToneOn{3, 5, 5};   // a receive tone is stored
inline constexpr ChannelField kTxToneOn{3, 6, 6};   // a transmit tone is stored
inline constexpr ChannelField kToneFlags{3, 6, 5};  // both of the above
inline constexpr ChannelField kAni{3, 7, 7};
inline constexpr ChannelField kTxTone{4, 6, 0};  // 1-based index into the type's list, 0 none
inline constexpr ChannelField kTxPowerSave{4, 7, 7};
inline constexpr ChannelField kRxTone{5, 6, 0};
inline constexpr ChannelField kRxPowerSave{5, 7, 7};
inline constexpr ChannelField kSquelchOffset{kSquelchByte, 2, 0};
inline constexpr ChannelField kSquelchNegative{kSquelchByte, 3, 3};
inline constexpr ChannelField kSquelch{kSquelchByte, 3, 0};  // offset with its sign
inline constexpr ChannelField kTagPoint{kSquelchByte, 4, 4};
inline constexpr ChannelField kSquelchHigh{kSquelchByte, 7, 5};  // carried unchanged
inline constexpr ChannelField kProgrammed{kStatusByte, 0, 0};
inline constexpr ChannelField kStatusFlags{kStatusByte, 3, 0};  // programmed and its flags
inline constexpr ChannelField kScan{kStatusByte, 5, 4};         // scan list membership
inline constexpr ChannelField kStatusHigh{kStatusByte, 7, 4};
}  // namespace field

struct ChannelRecord {
  Frequency rx_frequency = 16010000;
  Frequency tx_frequency = 16010000;
  std::uint8_t tune_rx0 = 0;
  std::uint8_t tune_tx0 = 0;
  std::uint8_t tune_rx = 0;
  std::uint8_t squelch = 0;  // see the squelch fields of the table
  std::array<std::uint8_t, 4> tune_tx{};
  std::string tag = "        ";  // at most 8 tag symbols
  int sub_audio_type = 0;        // 0 none, 1 CTCSS, 2 DCS
  std::uint8_t status = 0;       // see the status fields of the table

  bool operator==(const ChannelRecord&) const = default;

  // Any field of the table, by its place.
  int Get(ChannelField f) const {
    const int width = f.hi - f.lo + 1;
    return (Byte(f.byte) >> f.lo) & ((1 << width) - 1);
  }
  void Set(ChannelField f, int value) {
    const int mask = ((1 << (f.hi - f.lo + 1)) - 1) << f.lo;
    std::uint8_t& b = Byte(f.byte);
    b = static_cast<std::uint8_t>((b & ~mask) | ((value << f.lo) & mask));
  }
  void CopyField(const ChannelRecord& from, ChannelField f) { Set(f, from.Get(f)); }

  int low_power_level() const { return Get(field::kLowPowerLevel); }
  void set_low_power_level(int level) { Set(field::kLowPowerLevel, level); }
  bool low_power() const { return Get(field::kLowPower) != 0; }
  void set_low_power(bool on) { Set(field::kLowPower, on); }
  bool narrow() const { return Get(field::kNarrow) != 0; }
  void set_narrow(bool on) { Set(field::kNarrow, on); }
  bool encryption() const { return Get(field::kEncryption) != 0; }
  void set_encryption(bool on) { Set(field::kEncryption, on); }
  bool tx_inhibit() const { return Get(field::kTxInhibit) != 0; }
  void set_tx_inhibit(bool on) { Set(field::kTxInhibit, on); }
  int lock_out() const { return Get(field::kLockOut); }
  void set_lock_out(int kind) { Set(field::kLockOut, kind); }
  bool time_out_timer() const { return Get(field::kTimeOutTimer) != 0; }
  void set_time_out_timer(bool on) { Set(field::kTimeOutTimer, on); }
  bool rchk() const { return Get(field::kRchk) != 0; }
  void set_rchk(bool on) { Set(field::kRchk, on); }
  bool dcs() const { return Get(field::kDcs) != 0; }
  void set_dcs(bool on) { Set(field::kDcs, on); }
  bool rx_clock_shift() const { return Get(field::kRxClockShift) != 0; }
  void set_rx_clock_shift(bool on) { Set(field::kRxClockShift, on); }
  bool tx_clock_shift() const { return Get(field::kTxClockShift) != 0; }
  void set_tx_clock_shift(bool on) { Set(field::kTxClockShift, on); }
  bool clock_shift_option() const { return Get(field::kClockShiftOption) != 0; }
  void set_clock_shift_option(bool on) { Set(field::kClockShiftOption, on); }
  int rx_step() const { return Get(field::kRxStep); }
  void set_rx_step(int selector) { Set(field::kRxStep, selector); }
  int tx_step() const { return Get(field::kTxStep); }
  void set_tx_step(int selector) { Set(field::kTxStep, selector); }
  // In memory the code number is 1-15 (0 none) whatever the option unit; the codec converts.
  int code_number() const { return Get(field::kCodeNumber); }
  bool code_present() const { return Get(field::kCodePresent) != 0; }
  // The number with its present flag (0 clears both).
  void set_code(int number) { Set(field::kCode, number == 0 ? 0 : 0x10 | number); }
  bool rx_tone_on() const { return Get(field::kRxToneOn) != 0; }
  bool tx_tone_on() const { return Get(field::kTxToneOn) != 0; }
  void set_tone_flags(bool rx, bool tx) { Set(field::kToneFlags, (tx ? 2 : 0) | (rx ? 1 : 0)); }
  bool ani() const { return Get(field::kAni) != 0; }
  void set_ani(bool on) { Set(field::kAni, on); }
  int rx_tone() const { return Get(field::kRxTone); }
  void set_rx_tone(int index) { Set(field::kRxTone, index); }
  int tx_tone() const { return Get(field::kTxTone); }
  void set_tx_tone(int index) { Set(field::kTxTone, index); }
  void clear_tones() {
    set_rx_tone(0);
    set_tx_tone(0);
  }
  bool rx_power_save() const { return Get(field::kRxPowerSave) != 0; }
  void set_rx_power_save(bool on) { Set(field::kRxPowerSave, on); }
  bool tx_power_save() const { return Get(field::kTxPowerSave) != 0; }
  void set_tx_power_save(bool on) { Set(field::kTxPowerSave, on); }
  int squelch_offset() const { return Get(field::kSquelchOffset); }
  bool squelch_negative() const { return Get(field::kSquelchNegative) != 0; }
  // The offset and its sign as one number: 0-7 up, 8 + n down by n.
  int squelch_setting() const { return Get(field::kSquelch); }
  void set_squelch_setting(int value) { Set(field::kSquelch, value); }
  bool tag_point() const { return Get(field::kTagPoint) != 0; }
  void set_tag_point(bool on) { Set(field::kTagPoint, on); }
  bool programmed() const { return Get(field::kProgrammed) != 0; }
  void set_programmed(bool on) { Set(field::kProgrammed, on); }
  int scan_nibble() const { return Get(field::kScan); }
  void set_scan_nibble(int value) { Set(field::kScan, value); }

  // The six attribute bytes as a whole, for the codec and for tests of stored bytes.
  const std::array<std::uint8_t, 6>& attribute_bytes() const { return attributes_; }
  void set_attribute_bytes(const std::array<std::uint8_t, 6>& bytes) { attributes_ = bytes; }
  std::uint8_t attribute_byte(int i) const { return attributes_[static_cast<std::size_t>(i)]; }
  void set_attribute_byte(int i, int value) {
    attributes_[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value);
  }

 private:
  friend class ChannelTable;  // the codec reads and writes the bytes as stored

  std::uint8_t Byte(int index) const {
    return index < 6 ? attributes_[static_cast<std::size_t>(index)]
                     : (index == kSquelchByte ? squelch : status);
  }
  std::uint8_t& Byte(int index) {
    return index < 6 ? attributes_[static_cast<std::size_t>(index)]
                     : (index == kSquelchByte ? squelch : status);
  }

  // Power level 1, time-out timer on: what a new channel holds.
  std::array<std::uint8_t, 6> attributes_{1, 4, 0, 0, 0, 0};
};

// The radio's alignment tables that the per-channel tuning bytes derive from.
struct AlignmentReference {
  std::array<std::uint8_t, 10> base{};  // image bytes 12-21
  int reference = 0;                    // 100 kHz units
  int base_value = 0;
  int slope_above = 0;
  int slope_below = 0;
  std::array<int, 11> thresholds{};  // 100 kHz units
  std::array<std::array<std::uint8_t, 9>, 10> rows{};
};

// What the channel codecs read from the rest of the codeplug.
struct ChannelContext {
  int band = kBandVhf;
  int channel_spacing = 2;
  int injection = 0;
  double first_if = 21.8;
  int option_unit = 0;
  double default_split = 0.0;

  static ChannelContext From(const HardwareSettings& hw, int option_unit, double default_split);
};

class ChannelTable {
 public:
  std::array<ChannelRecord, kChannelCount> records{};
  std::array<std::string, kGroupCount> group_tag{};
  std::array<int, kGroupCount> priority{};     // 1-based entry within the group, 0 none
  std::array<int, kGroupCount> scan_mode{};    // bit 0 QTS, bit 1 SCAN
  std::array<int, kGroupCount> group_extra{};  // carried unchanged
  std::array<int, kGroupCount> count{};
  int total = 0;
  int max_per_group = 255;
  int capacity = kChannelCount;
  int group_count = kGroupCount;
  AlignmentReference alignment;
  int current_group = 0;
  int current_channel = 0;  // absolute index
  int first_of_group = 1;   // 1-based channel numbers of the current group
  int last_of_group = 1;
  int channels_left = kChannelCount;

  // The channel table of a new codeplug (records keep their frequencies and attributes).
  void ResetChannelTable();
  // Limits of the product type: channels per group, capacity, groups.
  void SetLimits(int product_type);

  // Group tables, bit sets, tags, alignment tables and all 512 records. Counts over the
  // capacity fall back to one full group; groups a PT-410 cannot hold are emptied and counts
  // cut to its per-group maximum; priorities beyond their group or on an unprogrammed channel
  // are dropped.
  void DecodeChannelTable(const Image& image, const HardwareSettings& hw, int option_unit);
  // Writes every bit of the channel regions that the table owns (the document's commit clears
  // them first anyway). Drops invalid priorities from the table as well.
  void EncodeChannelTable(Image& image, const HardwareSettings& hw, int option_unit);
  // The same without the 512 records: counts, priorities, group tags and modes, and each
  // channel's scan and programmed bits.
  void EncodeGroupTables(Image& image);
  // Image bytes 12-21 and the tables of block 137.
  void DecodeAlignment(const Image& image);

  void DecodeChannel(ChannelRecord& record, std::span<const std::uint8_t> stored,
                     const ChannelContext& ctx) const;
  // A frequency of 0 is stored empty. Tuning bytes are worked out again from the frequencies.
  // A divider that has no PLL word with the channel's step is stored with another step that
  // gives the same frequency; with none, the band's default frequency is stored (which is what
  // an empty frequency reads back as). A span shorter than 32 bytes is left alone; decoding
  // one reads zeros past its end.
  void EncodeChannel(const ChannelRecord& record, std::span<std::uint8_t> stored,
                     const ChannelContext& ctx) const;

  // Applies edited text to column 3 (TAG), 4 (receive) or 5 (transmit) of a channel. The
  // caller sets the document's modified flag. A frequency lands where a save and reopen put
  // it; when the radio cannot store it, it moves to the nearest one it can, and the returned
  // text says which channel moved and to what ("" when nothing moved).
  std::string CommitCellText(int channel, int column, std::string_view text,
                             const ChannelContext& ctx);
  // Brings a record to what a save and reopen give back (the stored record decoded again, its
  // status kept): a sub-audio type with no tone reads back as none, a character outside the
  // tag symbols as a blank, and the tuning bytes are worked out again from the frequencies.
  void SettleChannel(int channel, const ChannelContext& ctx);
  // Column 7 (receive) or 8 (transmit): the DCS code's complement, for a programmed DCS channel.
  void DcsComplement(int channel, int column);

  // Group arithmetic. Groups are 0-based here; channel numbers and entries are 1-based.
  int GroupOfChannel(int index) const;  // 20 when none
  int ChannelNumberOfEntry(int group, int entry) const;
  int EntryOfChannelNumber(int group, int number) const;
  int FirstIndexOfGroup(int group) const;  // absolute index of the group's first channel
  // Absolute index of the group's priority channel, or -1 when it has none.
  int PriorityChannelOf(int group) const;
  // Groups whose priority names no programmed channel of theirs lose it.
  void DropLostPriorities();
  void SelectGroup(int group);
  void NextGroup();

  void ClearPageCodeReferences(int code);
  // A new option unit: codes 1-10 mean something else under it, so every channel loses them,
  // and groups 1 to 10 lose their priority channel unless the unit is PT-Trunk.
  void ApplyOptionUnitChange(int option_unit);
  // Without an encryption device no channel may ask for encryption.
  void ClearEncryption();
  // Band or product change: every frequency to the band's default, channel 1 the only
  // programmed channel, no scan membership.
  void ApplyBandChange(int band);
  // Product type change: new limits, groups refitted to them, the current group normalised.
  void RefitToProduct(int product_type);

  // Last image block a transfer must carry: 8 + (total - 1) div 4, capped at 135.
  int LastBlock() const;

  // Tuning bytes of a channel from the alignment tables: tuneRx0 and tuneRx from the receive
  // frequency, tuneTx0 and tuneTx[0..3] from the transmit frequency.
  void ComputeRxTuning(ChannelRecord& record) const;
  void ComputeTxTuning(ChannelRecord& record) const;

 private:
  // Empties groups beyond the product's group count and cuts counts to the per-group
  // maximum; true when something had to change.
  bool CutCountsToLimits();
  // A record read from an odd or empty word takes the frequencies and steps that a save and
  // reopen give it.
  void SettleOddWords(ChannelRecord& record, const ChannelContext& ctx) const;
};

// Frequency helpers shared by the grid, the report and the command line.
// Nudges f (MHz) into the band and onto a step; returns the step selector 0-3.
int SnapFrequency(double& mhz, int band, int channel_spacing);
// The same on a frequency in 10 Hz units.
int SnapFrequency(Frequency& f, int band, int channel_spacing);
// Step in 10 Hz units of a selector under a spacing option.
int StepOf(int selector, int channel_spacing);
// "%9.5f" of the frequency in MHz.
std::string FrequencyText(Frequency f);
// The tag as shown: "%-8.8s", or with its decimal point after the third character.
std::string TagText(const ChannelRecord& record);
// The band's default frequency, lowest and highest frequency, in 10 Hz units.
Frequency BandDefaultFrequency(int band);
Frequency BandLowest(int band);
Frequency BandHighest(int band);
// Band names and tables know bands 0-2; anything else (band 3 from a damaged image) is
// handled as VHF so that every stored value has defined limits.
int KnownBand(int band);

// Synthesizer divider words: N split into the radio's three bytes. The split holds for every N
// from kMinDivider up; below it some N still give a word (what older images may hold, written
// back as they are) but the synthesizer is not meant to take them, so no new frequency is
// stored with one. false leaves the bytes untouched.
inline constexpr std::int64_t kMinDivider = 8768;
bool EncodePllWord(std::int64_t n, std::span<std::uint8_t, 3> bytes);
std::int64_t DecodePllWord(std::span<const std::uint8_t, 3> bytes);
// Whether a new receive or transmit frequency (10 Hz) can be stored exactly: with the given
// step selector, or else with another selector whose step divides it (a finer step where the
// first IF is off the coarser grid). Returns the selector the stored record carries, -1 when
// no divider word from kMinDivider up holds it exactly. f is left as it is.
int StoreFrequency(Frequency& f, bool transmit, int selector, const ChannelContext& ctx);
// SnapFrequency followed by StoreFrequency; a frequency the radio cannot store moves to the
// nearest one on the step grid that it can (the lower of two equally near). moved is set
// whenever f ends up other than it was given (onto the band, onto a step, or to a storable
// one). When nothing in the band can be stored it becomes what the encoder writes for the
// band's default frequency and *band_unstorable is set; a set flag skips the search.
int SnapStorable(Frequency& f, bool transmit, const ChannelContext& ctx, bool* moved = nullptr,
                 bool* band_unstorable = nullptr);

// What is subtracted from N before its low 16 bits are stored in bytes 10-11 or 16-17.
int BandOffset(int band, int channel_spacing, int selector);

// The DCS list index that replaces index (power-save bit not included); 0 stays 0 and
// indices outside the list are returned unchanged.
int DcsComplementIndex(int index);

}  // namespace ql40

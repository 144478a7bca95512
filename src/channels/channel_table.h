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

struct ChannelRecord {
  Frequency rx_frequency = 16010000;
  Frequency tx_frequency = 16010000;
  // Attribute bytes, laid out as stored bytes 0-5 (see the channel codec for the bits).
  std::uint8_t a0 = 1;  // power level, power, narrow, encryption, transmit inhibit
  std::uint8_t a1 = 4;  // lock-out, time-out timer, RCHK, DCS, clock shift
  std::uint8_t a2 = 0;  // step selectors
  std::uint8_t a3 = 0;  // code number (1-15 in memory), code present, tone flags, ANI
  std::uint8_t a4 = 0;  // transmit power save, transmit tone index (1-based, 0 none)
  std::uint8_t a5 = 0;  // receive power save, receive tone index (1-based, 0 none)
  std::uint8_t tune_rx0 = 0;
  std::uint8_t tune_tx0 = 0;
  std::uint8_t tune_rx = 0;
  std::uint8_t squelch = 0;  // bits 0-2 offset, bit 3 negative, bit 4 tag decimal point
  std::array<std::uint8_t, 4> tune_tx{};
  std::string tag = "        ";  // at most 8 tag symbols
  int sub_audio_type = 0;        // 0 none, 1 CTCSS, 2 DCS
  std::uint8_t status = 0;       // bit 0 programmed; bits 4-5 scan list membership

  bool programmed() const { return (status & 1) != 0; }
  int scan_nibble() const { return (status >> 4) & 3; }
  int rx_tone() const { return a5 & 0x7F; }
  int tx_tone() const { return a4 & 0x7F; }
  bool tx_inhibit() const { return (a0 & 0x20) != 0; }
  bool narrow() const { return (a0 & 0x08) != 0; }
  int code_number() const { return a3 & 0x0F; }
  bool tag_point() const { return (squelch & 0x10) != 0; }
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

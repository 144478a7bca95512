#include "exchange/compare.h"

#include <map>
#include <tuple>

#include "channels/frequency_fit.h"
#include "channels/grid_text.h"
#include "codeplug/bits.h"
#include "codeplug/codecs.h"
#include "exchange/channel_cells.h"
#include "exchange/records.h"
#include "resources/channel_labels.h"
#include "resources/settings_labels.h"
#include "signalling/paging.h"

namespace ql40::exchange {
namespace {

struct Region {
  int from;
  int to;  // inclusive
  const char* name;
};
constexpr Region kRegions[] = {
    {0, 1, "firmware version"},
    {2, 3, "adjustment checksum"},
    {4, 25, "adjustment data"},
    {26, 29, "groups and option unit"},
    {30, 103, "group tables"},
    {104, 167, "user scan list"},
    {168, 195, "settings"},
    {196, 251, "carried bytes 196-251"},
    {252, 255, "clone words"},
    {256, 383, "hardware constants"},
    {384, 511, "signalling"},
    {512, 575, "programmed channels"},
    {576, 639, "dealer scan list"},
    {640, 647, "power-on tag"},
    {648, 807, "group tags"},
    {808, 1023, "carried bytes 808-1023"},
    {1024, 17407, "channel records"},
    {17408, 17535, "block 136"},
    {17536, 17652, "alignment tables"},
    {17653, 17663, "product code and serial number"},
};

std::string ChannelPlace(const ChannelTable& table, int index) {
  const int group = table.GroupOfChannel(index);
  if (group >= kGroupCount) return "channel " + std::to_string(index + 1);
  return "group " + std::to_string(group + 1) + " channel " +
         std::to_string(index - table.FirstIndexOfGroup(group) + 1);
}

}  // namespace

std::vector<std::string> DiffCodeplugs(const Codeplug& a, const Codeplug& b, bool bytes) {
  std::vector<std::string> lines;
  const std::vector<NamedValue> va = NamedValues(a);
  const std::vector<NamedValue> vb = NamedValues(b);
  for (std::size_t i = 0; i < va.size() && i < vb.size(); ++i) {
    if (va[i].text != vb[i].text) {
      lines.push_back(va[i].title + " " + va[i].text + " -> " + vb[i].text);
    }
  }
  const int in_a = std::min(a.channels.total, kChannelCount);
  const int in_b = std::min(b.channels.total, kChannelCount);
  for (int i = 0; i < std::max(in_a, in_b); ++i) {
    if (i >= in_a) {
      lines.push_back("channel " + std::to_string(i + 1) + ": only in the second codeplug");
      continue;
    }
    if (i >= in_b) {
      lines.push_back("channel " + std::to_string(i + 1) + ": only in the first codeplug");
      continue;
    }
    const std::string place = ChannelPlace(b.channels, i);
    const bool pa = a.channels.records[static_cast<std::size_t>(i)].programmed();
    const bool pb = b.channels.records[static_cast<std::size_t>(i)].programmed();
    if (pa != pb) {
      lines.push_back(place + " Programmed: " + (pa ? "yes" : "no") + " -> " + (pb ? "yes" : "no"));
    }
    for (int c = 1; c < kGridColumnCount; ++c) {
      const std::string ta = c == kColTag ? TagText(a.channels.records[static_cast<std::size_t>(i)])
                                          : CellText(a, i, c);
      const std::string tb = c == kColTag ? TagText(b.channels.records[static_cast<std::size_t>(i)])
                                          : CellText(b, i, c);
      if (ta != tb)
        lines.push_back(place + " " + ColumnName(c, b.option_unit) + ": " + ta + " -> " + tb);
    }
    // An inhibited transmitter still keeps its frequency: it comes back when the inhibit goes.
    const ChannelRecord& ra = a.channels.records[static_cast<std::size_t>(i)];
    const ChannelRecord& rb = b.channels.records[static_cast<std::size_t>(i)];
    if (ra.tx_inhibit() && rb.tx_inhibit() && ra.tx_frequency != rb.tx_frequency) {
      lines.push_back(place + " " + ColumnName(kColTransmit, b.option_unit) +
                      " (inhibited): " + Trim(FrequencyText(ra.tx_frequency)) + " -> " +
                      Trim(FrequencyText(rb.tx_frequency)));
    }
  }
  // Two codeplugs are never said to be the same when their bytes are not: where no value the
  // program shows differs, the places that do are named.
  if (lines.empty() && (a.image != b.image || a.default_split != b.default_split)) bytes = true;
  if (bytes) {
    for (const Region& region : kRegions) {
      int differ = 0;
      int first = -1;
      for (int at = region.from; at <= region.to; ++at) {
        if (a.image[static_cast<std::size_t>(at)] != b.image[static_cast<std::size_t>(at)]) {
          ++differ;
          if (first < 0) first = at;
        }
      }
      if (differ > 0) {
        lines.push_back(Format("bytes %d-%d (%s): %d byte%s differ, the first at %d (%02X -> %02X)",
                               region.from, region.to, region.name, differ, differ == 1 ? "" : "s",
                               first, a.image[static_cast<std::size_t>(first)],
                               b.image[static_cast<std::size_t>(first)]));
      }
    }
    if (a.default_split != b.default_split) {
      lines.push_back(Format("trailer: %.5f -> %.5f", a.default_split, b.default_split));
    }
  }
  return lines;
}

namespace {

// The findings of `ql40 check`, one function per kind of finding.
class Checker {
 public:
  explicit Checker(const Codeplug& doc)
      : doc_(doc),
        image_(doc.image),
        table_(doc.channels),
        hw_(doc.hardware),
        ctx_(ChannelContext::From(doc.hardware, doc.option_unit, doc.default_split)) {
    records_.Decode(doc);
  }

  std::vector<Finding> Run() {
    GroupCounts();
    ListValues();
    const int in_use = std::min(table_.total, kChannelCount);
    for (int i = 0; i < in_use; ++i) {
      const ChannelRecord& rec = table_.records[static_cast<std::size_t>(i)];
      if (!rec.programmed()) continue;
      for (const bool transmit : {false, true}) {
        if (!(transmit && rec.tx_inhibit())) ChannelFrequency(i, transmit);
      }
      ChannelLists(i);
    }
    PriorityAndHome();
    for (int g = 0; g < kGroupCount; ++g) {
      if (table_.count[static_cast<std::size_t>(g)] == 0) continue;
      ScanList(g);
      Duplicates(g);
    }
    return std::move(out_);
  }

 private:
  void Error(std::string where, std::string why) {
    out_.push_back({Severity::kError, std::move(where), std::move(why)});
  }
  void Warning(std::string where, std::string why) {
    out_.push_back({Severity::kWarning, std::move(where), std::move(why)});
  }

  // Counts as stored against what the channel array can hold.
  void GroupCounts() {
    int stored_total = 0;
    for (int g = 0; g < kGroupCount; ++g) {
      const int c = image_[static_cast<std::size_t>(30 + g)];
      stored_total += c;
      if (c > hw_.MaxPerGroup()) {
        Error("group " + std::to_string(g + 1),
              Format("%d channels stored, a %s group holds at most %d", c,
                     hw_.product_type == kPt410 ? "PT-410" : "PT-610", hw_.MaxPerGroup()));
      } else if (c > 0 && g >= hw_.MaxGroups()) {
        Error("group " + std::to_string(g + 1),
              Format("holds %d channels, but the model has only %d groups", c, hw_.MaxGroups()));
      }
    }
    if (stored_total == 0 || stored_total > hw_.MaxChannels()) {
      Error("groups",
            Format("the stored counts add up to %d channels; the channel array holds 1 to %d "
                   "(the radio falls back to one group)",
                   stored_total, hw_.MaxChannels()));
    }
  }

  // Settings whose stored value has no entry in the list the dialog shows.
  void ListValues() {
    for (const Section& section : Sections()) {
      for (const Field& field : section.fields) {
        if (field.labels == nullptr) continue;
        const int value = field.get(records_);
        const std::size_t n = field.labels(records_).size();
        if (value < 0 || static_cast<std::size_t>(value) >= n) {
          Error(std::string(section.title) + ": " + field.title,
                Format("stored value %d is not one of the %zu entries of its list", value, n));
        }
      }
    }
  }

  // A frequency outside the band, or a divider word the synthesizer cannot take or these
  // hardware constants cannot give back.
  void ChannelFrequency(int i, bool transmit) {
    const ChannelRecord& rec = table_.records[static_cast<std::size_t>(i)];
    // Named only for a finding: most channels have none.
    const auto where = [&] {
      return ChannelPlace(table_, i) + " " +
             ColumnName(transmit ? kColTransmit : kColReceive, doc_.option_unit);
    };
    const Frequency f = transmit ? rec.tx_frequency : rec.rx_frequency;
    if (f < BandLowest(hw_.band) || f > BandHighest(hw_.band)) {
      Error(where(), Trim(FrequencyText(f)) + " is outside the band " +
                         Trim(FrequencyText(BandLowest(hw_.band))) + "-" +
                         Trim(FrequencyText(BandHighest(hw_.band))));
    }
    const int pll = kOffsetChannels + kChannelRecordSize * i + (transmit ? 12 : 6);
    const std::span<const std::uint8_t, 3> word(image_.data() + pll, 3);
    const bool empty = word[0] == 0 && word[1] == 0 && word[2] == 0 &&
                       image_[static_cast<std::size_t>(pll + 4)] == 0 &&
                       image_[static_cast<std::size_t>(pll + 5)] == 0;
    if (empty) return;
    std::array<std::uint8_t, 3> again{};
    const std::int64_t n = DecodePllWord(word);
    if (!EncodePllWord(n, again) || again[0] != word[0] || again[1] != word[1] ||
        again[2] != word[2]) {
      Error(where(), Format("the stored divider word %02X %02X %02X (N = %lld) is "
                            "outside the synthesizer's range",
                            word[0], word[1], word[2], static_cast<long long>(n)));
      return;
    }
    if (n < kMinDivider) {
      Error(where(),
            Format("the stored divider N = %lld is below the synthesizer's smallest (%lld)",
                   static_cast<long long>(n), static_cast<long long>(kMinDivider)));
      return;
    }
    Frequency probe = f;
    const int selector = transmit ? rec.tx_step() : rec.rx_step();
    if (StoreFrequency(probe, transmit, selector, ctx_) < 0 || probe != f) {
      Error(where(), Trim(FrequencyText(f)) + " cannot be stored with these hardware constants");
    }
  }

  // Tones, power level, lock-out and code that have no text, and codes without a slot.
  void ChannelLists(int i) {
    const ChannelRecord& rec = table_.records[static_cast<std::size_t>(i)];
    const auto place = [&] { return ChannelPlace(table_, i); };
    const int tones = rec.sub_audio_type == 2 ? static_cast<int>(res::kDcsCodes.size())
                                              : static_cast<int>(res::kCtcssTones.size());
    if (rec.sub_audio_type != 0) {
      if (rec.rx_tone() >= tones)
        Error(place() + " Sub Audio Dec",
              Format("stored tone index %d is not in the list", rec.rx_tone()));
      if (rec.tx_tone() >= tones)
        Error(place() + " Sub Audio Enc",
              Format("stored tone index %d is not in the list", rec.tx_tone()));
    }
    if (rec.low_power_level() == 3)
      Error(place() + " Power L", "stored low-power level 3 is not in the list");
    if (rec.lock_out() == 3) Error(place() + " Lock Out", "stored lock-out 3 is not in the list");
    const int code = rec.code_number();
    const int unit = doc_.option_unit;
    if (code == 0 || !(unit == kOptionNone || unit == kOption2Tone || unit == kOptionSubsig)) {
      return;
    }
    const std::string where = place() + " " + ColumnName(kColCode, unit);
    if (code > kPagingSlotCount) {
      Error(where, Format("code %d has no slot", code));
    } else if (PagingSlotEmpty(image_, code - 1)) {
      Warning(where, Format("refers to %s %d, which is empty",
                            unit == kOption2Tone ? "two-tone row" : "paging code", code));
    }
  }

  // Priority and home channels.
  void PriorityAndHome() {
    for (int g = 0; g < kGroupCount && g < hw_.MaxGroups(); ++g) {
      const int stored = image_[static_cast<std::size_t>(50 + g)];
      const int count = table_.count[static_cast<std::size_t>(g)];
      if (stored == 0xFF || count == 0) continue;
      const std::string place = "group " + std::to_string(g + 1) + " priority";
      if (stored + 1 > count) {
        Warning(place, Format("points to entry %d of a group of %d channels", stored + 1, count));
      } else if (!table_.records[static_cast<std::size_t>(table_.FirstIndexOfGroup(g) + stored)]
                      .programmed()) {
        Warning(place, Format("points to channel %d, which is not programmed", stored + 1));
      }
    }
    const int home = records_.scan.home_channel;
    if (home < 1 || home > table_.total) {
      Error("Scanning: Home Channel",
            Format("channel %d is not a channel in use (1-%d)", home, table_.total));
    } else if (!table_.records[static_cast<std::size_t>(home - 1)].programmed()) {
      Warning("Scanning: Home Channel", Format("channel %d is not programmed", home));
    }
  }

  // A scanning group with no channel in the scan list the radio scans.
  void ScanList(int g) {
    if ((table_.scan_mode[static_cast<std::size_t>(g)] & 2) == 0) return;
    const int list_bit = records_.option.scan_list == 0 ? 1 : 2;  // Dealer or User list
    const int first = table_.FirstIndexOfGroup(g);
    const int count = table_.count[static_cast<std::size_t>(g)];
    bool member = false;
    for (int i = first; i < first + count && i < kChannelCount; ++i) {
      const ChannelRecord& rec = table_.records[static_cast<std::size_t>(i)];
      member = member || (rec.programmed() && (rec.scan_nibble() & list_bit) != 0);
    }
    if (!member) {
      Warning("group " + std::to_string(g + 1),
              std::string("scanning is on but no channel is in the ") +
                  (list_bit == 1 ? "dealer" : "user") + " scan list");
    }
  }

  // Channels of a group that say the same twice.
  void Duplicates(int g) {
    const int first = table_.FirstIndexOfGroup(g);
    const int count = table_.count[static_cast<std::size_t>(g)];
    std::map<std::tuple<Frequency, Frequency, int, int, int>, int> seen;
    for (int i = first; i < first + count && i < kChannelCount; ++i) {
      const ChannelRecord& rec = table_.records[static_cast<std::size_t>(i)];
      if (!rec.programmed()) continue;
      const auto key = std::make_tuple(rec.rx_frequency, rec.tx_inhibit() ? 0 : rec.tx_frequency,
                                       rec.sub_audio_type, rec.rx_tone(), rec.tx_tone());
      const auto [it, fresh] = seen.emplace(key, i);
      if (!fresh) {
        Warning(ChannelPlace(table_, i),
                "the same frequencies and tones as " + ChannelPlace(table_, it->second));
      }
    }
  }

  const Codeplug& doc_;
  const Image& image_;
  const ChannelTable& table_;
  const HardwareSettings& hw_;
  const ChannelContext ctx_;
  Records records_;
  std::vector<Finding> out_;
};

}  // namespace

std::vector<Finding> CheckCodeplug(const Codeplug& doc) {
  return Checker(doc).Run();
}

bool HasErrors(const std::vector<Finding>& findings) {
  for (const Finding& f : findings) {
    if (f.severity == Severity::kError) return true;
  }
  return false;
}

std::string FindingText(const Finding& finding) {
  return std::string(finding.severity == Severity::kError ? "error: " : "warning: ") +
         finding.where + ": " + finding.why;
}

}  // namespace ql40::exchange

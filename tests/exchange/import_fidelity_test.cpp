// An import changes nothing without saying so: new hardware constants keep the channels'
// frequencies, the program's own files import back onto any codeplug of their band and model,
// a value written otherwise is the same value, and whatever is stored other than the file
// gives it is named. The properties run over random codeplugs of every band and model.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "channels/grid_text.h"
#include "codeplug/bits.h"
#include "codeplug/codecs.h"
#include "exchange/channel_cells.h"
#include "exchange/channels_csv.h"
#include "exchange/codeplug_json.h"
#include "exchange/compare.h"
#include "exchange/records.h"
#include "exchange_support.h"
#include "resources/channel_labels.h"

namespace ql40 {
namespace {

using exchange::DefaultCodeplug;
using nlohmann::ordered_json;
using Strings = std::vector<std::string>;
using testing::Loaded;

std::string Pick(std::mt19937& rng, res::LabelList list) {
  return exchange::Trim(list[rng() % list.size()]);
}

// A text the dealer could type into a cell of the column (now and then one it refuses).
std::string RandomCell(std::mt19937& rng, const Codeplug& doc, int channel, int column) {
  const int band = doc.hardware.band;
  const auto frequency = [&] {
    const Frequency lo = BandLowest(band);
    const Frequency span = std::min<Frequency>(BandHighest(band) - lo, 2000000);
    return exchange::Trim(FrequencyText(lo + static_cast<Frequency>(rng() % span)));
  };
  const int type = doc.channels.records[static_cast<std::size_t>(channel)].sub_audio_type;
  switch (column) {
    case kColPriority:
      return Pick(rng, res::kPriorityMarks);
    case kColWideNarrow:
      return Pick(rng, res::kWideNarrow);
    case kColTag: {
      static const char* const kTags[] = {"DEPOT", " YARD", "146.52000", "A-B/C", "FIRE 2", ""};
      return kTags[rng() % 6];
    }
    case kColReceive:
      return frequency();
    case kColTransmit:
      return rng() % 4 == 0 ? std::string(res::kTxInhibited) : frequency();
    case kColSubAudioType:
      return Pick(rng, res::kSubAudioTypes);
    case kColDecode:
    case kColEncode:
      return type == 2 ? Pick(rng, res::kDcsCodes) : Pick(rng, res::kCtcssTones);
    case kColPower:
      return Pick(rng, res::kHighLow);
    case kColLowPower:
      return Pick(rng, res::kLowPowerLevels);
    case kColScan:
      return Pick(rng, res::kScanLetters);
    case kColSquelch: {
      static const char* const kSquelch[] = {"0", "+3", "-2", "+7", "-7"};
      return kSquelch[rng() % 5];
    }
    case kColLockOut:
      return Pick(rng, res::kLockOuts);
    case kColCode: {
      static const char* const kCodes[] = {"-", "1", "2", "3", "0", "12"};
      return kCodes[rng() % 6];
    }
    default:
      return Pick(rng, res::kCheckMarks);
  }
}

// A codeplug a dealer could have made, channels set cell by cell as a file's rows set them.
Codeplug Dealer(std::mt19937& rng, int band, int product, int option_unit, int spacing) {
  Codeplug doc = DefaultCodeplug(band);
  OptionSettings option;
  option.Decode(doc.image);
  option.option_unit = option_unit;
  option.Encode(doc.image);
  doc.hardware.product_type = product;
  doc.hardware.channel_spacing = band == kBandUhf ? 0 : spacing;
  doc.hardware.Encode(doc.image);
  doc.RefreshFromImage();
  ChannelTable& t = doc.channels;
  t.count.fill(0);
  t.count[0] = product == kPt410 ? 16 : 40;
  t.count[1] = product == kPt410 ? 10 : 25;
  t.total = t.count[0] + t.count[1];
  for (int i = 0; i < t.total; ++i) {
    Strings texts(kGridColumnCount);
    exchange::RowCells cells{};
    for (int c = kColPriority; c < kGridColumnCount; ++c) {
      if (c == kColDecode || c == kColEncode) continue;
      texts[static_cast<std::size_t>(c)] = RandomCell(rng, doc, i, c);
      cells[static_cast<std::size_t>(c)] = &texts[static_cast<std::size_t>(c)];
    }
    (void)exchange::ApplyRow(doc, i, cells);
    // Tones of the type the channel now has.
    exchange::RowCells tones{};
    for (int c : {kColDecode, kColEncode}) {
      texts[static_cast<std::size_t>(c)] = RandomCell(rng, doc, i, c);
      tones[static_cast<std::size_t>(c)] = &texts[static_cast<std::size_t>(c)];
    }
    (void)exchange::ApplyRow(doc, i, tones);
    if (i > 0 && rng() % 4 == 0) t.records[static_cast<std::size_t>(i)].status &= 0xF0;
  }
  doc.CommitToImage();
  doc.RefreshFromImage();
  return doc;
}

// Whether a cell shows what a file's text says, in any spelling the column takes.
bool Shows(const Codeplug& doc, int channel, int column, const std::string& text) {
  const std::string t = exchange::Trim(text);
  const std::string shown = exchange::CellText(doc, channel, column);
  switch (column) {
    case kColReceive:
    case kColTransmit:
      if (t == res::kTxInhibited || shown == res::kTxInhibited) return t == shown;
      return MhzTextTo10Hz(t) == MhzTextTo10Hz(shown);
    case kColTag: {
      std::string a = text;
      a.erase(a.find_last_not_of(' ') + 1);
      std::string b = TagText(doc.channels.records[static_cast<std::size_t>(channel)]);
      b.erase(b.find_last_not_of(' ') + 1);
      return a == b;
    }
    case kColSquelch:
      return (t == "0" || t == "+0" || t == "-0") ? shown == "0" : t == shown;
    case kColDecode:
    case kColEncode:
      return exchange::SameWords(t, shown) || (t == "Off" && shown == res::kNoSubAudio);
    default:
      return exchange::SameWords(t, shown);
  }
}

struct CsvFile {
  std::vector<Strings> rows;  // header first
};

CsvFile ParsedCsv(const std::string& text) {
  CsvFile file;
  std::string why;
  EXPECT_TRUE(exchange::ParseCsv(text, file.rows, why)) << why;
  return file;
}

std::string CsvText(const CsvFile& file) {
  std::string out;
  for (const Strings& row : file.rows) {
    for (std::size_t i = 0; i < row.size(); ++i) {
      if (i > 0) out += ',';
      out += '"' + row[i] + '"';
    }
    out += "\r\n";
  }
  return out;
}

// Rows and columns a list of import messages names ("row 4, Frequency Receive: ...").
std::set<std::pair<int, int>> Named(const Strings& lines, const Strings& header) {
  std::set<std::pair<int, int>> out;
  for (const std::string& line : lines) {
    if (line.rfind("row ", 0) != 0) continue;
    const int row = std::stoi(line.substr(4));
    const std::size_t comma = line.find(", ");
    const std::size_t colon = line.find(": ", comma);
    const std::string name = line.substr(comma + 2, colon - comma - 2);
    for (std::size_t c = 0; c < header.size(); ++c) {
      if (header[c] == name) out.insert({row, static_cast<int>(c)});
    }
  }
  return out;
}

// Every cell of the file shows as the file gives it, or a message names it.
void ExpectNothingSilent(const Codeplug& doc, const CsvFile& file, const Strings& warnings,
                         const std::string& label) {
  const auto named = Named(warnings, file.rows[0]);
  for (std::size_t r = 1; r < file.rows.size(); ++r) {
    const int channel = std::stoi(file.rows[r][0]) - 1;
    for (std::size_t c = 1; c < file.rows[r].size(); ++c) {
      if (exchange::Trim(file.rows[r][c]).empty()) continue;
      if (named.count({static_cast<int>(r) + 1, static_cast<int>(c)}) != 0) continue;
      EXPECT_TRUE(Shows(doc, channel, static_cast<int>(c), file.rows[r][c]))
          << label << " row " << r + 1 << " " << file.rows[0][c] << ": file \"" << file.rows[r][c]
          << "\", shown \"" << exchange::CellText(doc, channel, static_cast<int>(c)) << "\"";
    }
  }
}

// Any image, however odd, reads back from its own files unchanged and without a word.
TEST(ImportFidelity, OwnFilesImportBackOntoTheSameCodeplugUnchanged) {
  std::mt19937 rng(2026);
  for (int n = 0; n < 30; ++n) {
    const int band = n % 3;
    Codeplug start = DefaultCodeplug(band);
    Image image = start.image;
    bits::Put(image[kOffsetBandModel], 0, n % 2 == 1);
    image[kOffsetOptionUnit] = static_cast<std::uint8_t>(rng());
    for (int at = kOffsetChannels; at < kOffsetChannels + 512 * kChannelRecordSize; ++at) {
      image[static_cast<std::size_t>(at)] = static_cast<std::uint8_t>(rng());
    }
    for (int at = 104; at < 168; ++at)
      image[static_cast<std::size_t>(at)] = static_cast<std::uint8_t>(rng());
    for (int at = 512; at < 640; ++at)
      image[static_cast<std::size_t>(at)] = static_cast<std::uint8_t>(rng());
    Codeplug doc = Loaded(image, 0.0);
    const std::string label = "image " + std::to_string(n);
    Strings errors, warnings;
    Codeplug csv = doc;
    ASSERT_TRUE(
        exchange::ImportChannelsCsv(exchange::ExportChannelsCsv(doc), csv, errors, warnings))
        << label << ": " << errors.front();
    EXPECT_TRUE(warnings.empty()) << label << ": " << warnings.front();
    EXPECT_EQ(csv.image, doc.image) << label;

    ordered_json named = ordered_json::parse(exchange::ExportJson(doc));
    named.erase("raw");
    Codeplug json;
    ASSERT_TRUE(exchange::ImportJson(named.dump(), doc, json, errors, warnings))
        << label << ": " << errors.front();
    EXPECT_TRUE(warnings.empty()) << label << ": " << warnings.front();
    EXPECT_EQ(json.image, doc.image) << label;
  }
}

// A negative receive frequency (small divider, oscillator above) comes back without a word.
TEST(ImportFidelity, NegativeFrequenciesComeBackUnchanged) {
  Codeplug lo = DefaultCodeplug(kBandVhfLo);
  ASSERT_EQ(lo.hardware.injection, 1);
  Image image = lo.image;
  const std::size_t at = kOffsetChannels;
  image[at + 2] = 0xC0;  // receive step 1.25 kHz
  image[at + 6] = 0x70;  // N = 1607: an oscillator of 2.00875 MHz, 21.8 MHz above receive
  image[at + 7] = image[at + 8] = 0;
  image[at + 10] = 0x06;
  image[at + 11] = 0x47;
  Codeplug doc = Loaded(image, 0.0);
  ASSERT_LT(doc.channels.records[0].rx_frequency, 0);
  Strings errors, warnings;
  Codeplug csv = doc;
  ASSERT_TRUE(exchange::ImportChannelsCsv(exchange::ExportChannelsCsv(doc), csv, errors, warnings));
  EXPECT_TRUE(warnings.empty()) << warnings.front();
  EXPECT_EQ(csv.image, doc.image);
}

// Trailer noise survives JSON bit for bit; a split past tenths is stored in tenths, warned.
TEST(ImportFidelity, TrailerNoiseComesBackBitForBit) {
  Codeplug doc = DefaultCodeplug(kBandVhf);
  Strings errors, warnings;
  doc.default_split = std::nextafter(0.6, 1.0);
  Codeplug json;
  ASSERT_TRUE(exchange::ImportJson(exchange::ExportJson(doc), DefaultCodeplug(kBandUhf), json,
                                   errors, warnings));
  EXPECT_EQ(json.default_split, doc.default_split);
  EXPECT_EQ(json.image, doc.image);
  doc.default_split = 12.34;
  ASSERT_TRUE(exchange::ImportJson(exchange::ExportJson(doc), DefaultCodeplug(kBandUhf), json,
                                   errors, warnings));
  EXPECT_DOUBLE_EQ(json.default_split, 12.3);
  EXPECT_TRUE(std::any_of(warnings.begin(), warnings.end(),
                          [](const std::string& w) { return w.rfind("default_split: ", 0) == 0; }));
}

// Odd held hardware constants come back from their own export; a new one past range is refused.
TEST(ImportFidelity, HeldHardwareConstantsPastTheirRangeComeBack) {
  Codeplug doc = DefaultCodeplug(kBandVhf);
  doc.hardware.first_if = 162.82;
  doc.CommitToImage();
  doc.RefreshFromImage();
  ASSERT_GT(doc.hardware.first_if, 160.0);
  Strings errors, warnings;
  Codeplug json;
  ASSERT_TRUE(exchange::ImportJson(exchange::ExportJson(doc), DefaultCodeplug(kBandUhf), json,
                                   errors, warnings))
      << errors.front();
  EXPECT_EQ(json.image, doc.image);
  ordered_json edited = ordered_json::parse(exchange::ExportJson(doc));
  edited["hardware"]["first_if"] = 163.5;
  EXPECT_FALSE(exchange::ImportJson(edited.dump(), doc, json, errors, warnings));
  ASSERT_FALSE(errors.empty());
  EXPECT_EQ(errors.front().rfind("hardware.first_if: ", 0), 0u) << errors.front();
}

// A CSV onto another codeplug, then edited: only what the user set is refused or changed unsaid.
TEST(ImportFidelity, CsvOntoAnotherCodeplugAndAfterEditsChangesNothingUnsaid) {
  std::mt19937 rng(909);
  for (int n = 0; n < 24; ++n) {
    const int band = n % 3;
    const int product = (n / 3) % 2;
    const int unit = static_cast<int>(rng() % 6);
    const int spacing = static_cast<int>(rng() % 3);
    const Codeplug a = Dealer(rng, band, product, unit, spacing);
    Codeplug b = Dealer(rng, band, product, unit, spacing);
    const std::string label = "codeplug " + std::to_string(n);
    CsvFile file = ParsedCsv(exchange::ExportChannelsCsv(a));
    Strings errors, warnings;
    Codeplug onto_b = b;
    ASSERT_TRUE(exchange::ImportChannelsCsv(CsvText(file), onto_b, errors, warnings))
        << label << ": " << errors.front();
    ExpectNothingSilent(onto_b, file, warnings, label + " onto another");

    // Edits of random cells, and a column dropped now and then.
    std::set<std::pair<int, int>> edited;
    for (int k = 0; k < 40; ++k) {
      const std::size_t r = 1 + rng() % (file.rows.size() - 1);
      const int c = 1 + static_cast<int>(rng() % (kGridColumnCount - 1));
      file.rows[r][static_cast<std::size_t>(c)] =
          RandomCell(rng, a, std::stoi(file.rows[r][0]) - 1, c);
      edited.insert({static_cast<int>(r) + 1, c});
    }
    Codeplug edited_a = a;
    if (exchange::ImportChannelsCsv(CsvText(file), edited_a, errors, warnings)) {
      ExpectNothingSilent(edited_a, file, warnings, label + " edited");
      // Channels without a row in the file keep every byte.
    } else {
      // Only what the user changed is refused.
      for (const auto& cell : Named(errors, file.rows[0])) {
        EXPECT_EQ(edited.count(cell), 1u) << label << ": " << errors.front();
      }
      EXPECT_EQ(edited_a.image, a.image) << label;
    }
  }
}

// New constants from JSON keep the channels' frequencies (or name them); a new band resets them.
TEST(ImportFidelity, NewHardwareConstantsKeepTheChannelsFrequencies) {
  Codeplug lo = DefaultCodeplug(kBandVhfLo);
  const ChannelContext ctx = ChannelContext::From(lo.hardware, lo.option_unit, lo.default_split);
  lo.channels.CommitCellText(1, 4, " 30.00000", ctx);
  lo.channels.CommitCellText(2, 4, " 52.52500", ctx);
  lo.CommitToImage();
  lo.RefreshFromImage();
  const std::string json = exchange::ExportJson(lo);
  Strings errors, warnings;
  for (const auto& [key, value] : std::vector<std::pair<std::string, ordered_json>>{
           {"first_if", 21.4}, {"local_oscillator", "Lower"}, {"channel_spacing", "5,6.25kHz"}}) {
    ordered_json j = ordered_json::parse(json);
    j["hardware"][key] = value;
    Codeplug out;
    ASSERT_TRUE(exchange::ImportJson(j.dump(), lo, out, errors, warnings))
        << key << ": " << errors.front();
    for (int i = 0; i < 3; ++i) {
      const Frequency was = lo.channels.records[static_cast<std::size_t>(i)].rx_frequency;
      const Frequency now = out.channels.records[static_cast<std::size_t>(i)].rx_frequency;
      const std::string moved = "Channel " + std::to_string(i + 1) + " receive ";
      const bool named = std::any_of(warnings.begin(), warnings.end(), [&](const std::string& w) {
        return w.rfind(moved, 0) == 0 &&
               w.find(exchange::Trim(FrequencyText(now))) != std::string::npos;
      });
      EXPECT_TRUE(now == was || named) << key << " channel " << i + 1 << " " << FrequencyText(was)
                                       << " -> " << FrequencyText(now);
    }
    // What the grid shows is what the file now holds.
    const Codeplug reopened = Loaded(out.image, out.default_split);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(GridRowText(reopened, i), GridRowText(out, i)) << key;
  }
  // The oscillator below cannot reach the bottom of the band: 30.00000 moves, and is named.
  ordered_json below = ordered_json::parse(json);
  below["hardware"]["local_oscillator"] = "Lower";
  Codeplug out;
  ASSERT_TRUE(exchange::ImportJson(below.dump(), lo, out, errors, warnings));
  EXPECT_NE(out.channels.records[1].rx_frequency, 3000000);
  EXPECT_TRUE(std::any_of(warnings.begin(), warnings.end(), [](const std::string& w) {
    return w.rfind("Channel 2 receive 30.00000 moves to ", 0) == 0;
  })) << ::testing::PrintToString(warnings);

  // VHF rows are outside UHF; without rows each channel takes the band default, with a warning.
  ordered_json uhf = ordered_json::parse(exchange::ExportJson(DefaultCodeplug(kBandVhf)));
  uhf["hardware"]["band"] = "UHF";
  EXPECT_FALSE(exchange::ImportJson(uhf.dump(), DefaultCodeplug(kBandVhf), out, errors, warnings));
  EXPECT_NE(errors.front().find("is outside the band 400.00000-600.00000"), std::string::npos);
  uhf.erase("channels");
  ASSERT_TRUE(exchange::ImportJson(uhf.dump(), DefaultCodeplug(kBandVhf), out, errors, warnings));
  EXPECT_EQ(out.channels.records[0].rx_frequency, 45000000);
  // The file's VHF constants are the old band's: the UHF defaults replace them, and say so.
  EXPECT_EQ(out.hardware.first_if, 44.25);
  EXPECT_EQ(out.default_split, 5.0);
  const auto warned = [&](const std::string& start) {
    return std::any_of(warnings.begin(), warnings.end(),
                       [&](const std::string& w) { return w.rfind(start, 0) == 0; });
  };
  EXPECT_TRUE(warned("hardware.band: the band changes"));
  EXPECT_TRUE(warned("hardware.first_if: \"21.800\" is the old band's: the new band's \"44.250\""));
  EXPECT_TRUE(warned("hardware.channel_spacing: "));
}

// Values the editors would change are named with what is stored.
TEST(ImportFidelity, ValuesChangedToFitAreNamedWithWhatIsStored) {
  const Codeplug base = DefaultCodeplug(kBandVhf);
  const std::string json = R"({
    "hardware": {"first_if": 21.803, "ref_xtal": 21.63},
    "option": {"option_unit": "PT-Trunk"},
    "keys": {"a": "ACC 2"},
    "default_split": 5.05,
    "channels": [{"channel": 1, "receive": "146.5113", "transmit": "146.5113"}]
  })";
  Codeplug out;
  Strings errors, warnings;
  ASSERT_TRUE(exchange::ImportJson(json, base, out, errors, warnings)) << errors.front();
  const auto has = [&](const std::string& line) {
    return std::find(warnings.begin(), warnings.end(), line) != warnings.end();
  };
  EXPECT_TRUE(has("hardware.first_if: \"21.803\" is stored as \"21.800\""));
  EXPECT_TRUE(has("hardware.ref_xtal: \"21.630\" is stored as \"21.600\""));
  EXPECT_TRUE(has("keys.a: \"ACC 2\" is stored as \"None\""));
  EXPECT_TRUE(has("channels[0].receive: \"146.5113\" is stored as \"146.51250\""));
  EXPECT_TRUE(std::any_of(warnings.begin(), warnings.end(), [](const std::string& w) {
    return w.rfind("default_split: \"5.05000\" is stored as", 0) == 0;
  })) << ::testing::PrintToString(warnings);
}

// diff never calls two codeplugs the same when their bytes differ.
TEST(ImportFidelity, DiffNamesEveryDifferenceOfBytes) {
  Codeplug a = DefaultCodeplug(kBandVhf);
  a.channels.records[1].status |= 1;
  a.channels.records[1].set_tx_inhibit(true);
  a.CommitToImage();
  a.RefreshFromImage();
  Codeplug b = a;
  b.channels.records[1].tx_frequency = 14652000;  // the hidden transmit frequency
  b.CommitToImage();
  b.RefreshFromImage();
  Strings lines = exchange::DiffCodeplugs(a, b, false);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], "group 1 channel 2 Frequency Transmit (inhibited): 160.10000 -> 146.52000");
  // A byte no value shows: its place is named.
  Codeplug c = a;
  c.image[200] ^= 0x01;
  c.RefreshFromImage();
  lines = exchange::DiffCodeplugs(a, c, false);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].rfind("bytes 196-251 (carried bytes 196-251): 1 byte differ", 0), 0u)
      << lines[0];
  EXPECT_TRUE(exchange::DiffCodeplugs(a, a, false).empty());
}

}  // namespace
}  // namespace ql40

// The codeplug as text: JSON and CSV round trips, the refusals of a bad value, the diff in the
// user's words and the check before programming.

#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <random>
#include <sstream>
#include <string>

#include "channels/grid_text.h"
#include "codeplug/bits.h"
#include "codeplug/files.h"
#include "exchange/channel_cells.h"
#include "exchange/channels_csv.h"
#include "exchange/codeplug_json.h"
#include "exchange/compare.h"
#include "exchange/records.h"
#include "exchange_support.h"

namespace ql40 {
namespace {

using exchange::DefaultCodeplug;
using nlohmann::ordered_json;
using testing::Contains;
using testing::ExpectHas;
using testing::Loaded;
using testing::TempDir;
using testing::WriteText;

// Edits as the program's editors make them, committed as a save would.
Codeplug Varied(int band) {
  Codeplug doc = DefaultCodeplug(band);
  const ChannelContext ctx = ChannelContext::From(doc.hardware, doc.option_unit, doc.default_split);
  doc.channels.count = {};
  doc.channels.count[0] = 40;
  doc.channels.count[1] = 30;
  doc.channels.count[4] = 7;
  doc.channels.total = 77;
  for (int i = 0; i < 77; ++i) {
    const Frequency f = BandLowest(band) + 125 * 40 * (i + 1) + (i % 3) * 625;
    doc.channels.CommitCellText(i, 4, FrequencyText(f), ctx);
    const std::string type = i % 2 ? "CTCSS" : "DCS";
    const std::string tone = i % 2 ? "100.0" : "023";
    const std::string scan = "B";
    exchange::RowCells cells{};
    cells[kColSubAudioType] = &type;
    cells[kColDecode] = &tone;
    cells[kColScan] = &scan;
    exchange::ApplyRow(doc, i, cells);
    doc.channels.CommitCellText(i, 3, "CH" + std::to_string(i), ctx);
  }
  doc.channels.priority[1] = 3;
  doc.channels.scan_mode[0] = 2;
  doc.channels.group_tag[4] = "FIRE    ";
  doc.CommitToImage();
  ScanSettings scan;
  scan.Decode(doc.image, exchange::CountsOf(doc.channels));
  scan.dual_watch_time = 6;
  scan.Encode(doc.image, exchange::CountsOf(doc.channels));
  doc.RefreshFromImage();
  return doc;
}

bool HasLine(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

std::string RoundTripFailure(const Codeplug& doc) {
  const std::string json = exchange::ExportJson(doc);
  Codeplug out;
  std::vector<std::string> errors;
  std::vector<std::string> warnings;
  if (!exchange::ImportJson(json, DefaultCodeplug(doc.hardware.band), out, errors, warnings)) {
    return "refused: " + (errors.empty() ? std::string("?") : errors[0]);
  }
  if (out.default_split != doc.default_split) return "trailer differs";
  for (int i = 0; i < kImageSize; ++i) {
    if (out.image[static_cast<std::size_t>(i)] != doc.image[static_cast<std::size_t>(i)]) {
      return "byte " + std::to_string(i) + " differs";
    }
  }
  return {};
}

TEST(JsonExchange, ImportOfAnExportGivesBackEveryImageByteForByte) {
  std::vector<std::pair<std::string, Codeplug>> cases;
  for (int band = 0; band <= 2; ++band) {
    cases.emplace_back("default band " + std::to_string(band), DefaultCodeplug(band));
    cases.emplace_back("varied band " + std::to_string(band), Varied(band));
  }
  Codeplug full = DefaultCodeplug(kBandUhf);
  full.channels.count.fill(25);
  full.channels.count[19] = 512 - 19 * 25;
  full.channels.total = 512;
  for (ChannelRecord& r : full.channels.records) r.status = 0x31;
  full.CommitToImage();
  cases.emplace_back("full", Loaded(full.image, full.default_split));
  Codeplug small = DefaultCodeplug(kBandVhf);
  bits::Put(small.image[kOffsetBandModel], 0, true);
  cases.emplace_back("PT-410", Loaded(small.image, 0.0));
  std::mt19937 rng(12);
  for (int n = 0; n < 6; ++n) {
    Image scrambled;
    for (auto& b : scrambled) b = static_cast<std::uint8_t>(rng());
    cases.emplace_back("scrambled " + std::to_string(n), Loaded(scrambled, n * 1.5 - 3.0));
  }
  for (const auto& [name, doc] : cases) EXPECT_EQ(RoundTripFailure(doc), "") << name;
}

TEST(JsonExchange, ShortHandWrittenFileChangesOnlyWhatItNames) {
  const std::string json = R"({
    "hardware": {"band": "UHF"},
    "scan": {"dual_watch_time": "1000 msecs"},
    "groups": [{"tag": "SITE A", "channels": 20}],
    "channels": [{"channel": 3, "receive": "450.02500", "tag": "DEPOT", "sub_audio": "CTCSS",
                  "decode": "67.0"}]
  })";
  ASSERT_EQ(exchange::JsonBand(json), kBandUhf);
  const Codeplug base = DefaultCodeplug(kBandUhf);
  Codeplug out;
  std::vector<std::string> errors;
  std::vector<std::string> warnings;
  ASSERT_TRUE(exchange::ImportJson(json, base, out, errors, warnings))
      << ::testing::PrintToString(errors);
  EXPECT_EQ(out.channels.records[2].rx_frequency, 45002500);
  EXPECT_TRUE(out.channels.records[2].programmed());
  EXPECT_EQ(out.channels.count[0], 20);
  EXPECT_EQ(out.channels.group_tag[0], "SITE A  ");
  ScanSettings scan;
  scan.Decode(out.image, exchange::CountsOf(out.channels));
  EXPECT_EQ(scan.dual_watch_time, 2);
  // Untouched channels keep their bytes.
  const int c4 = kOffsetChannels + 4 * kChannelRecordSize;
  EXPECT_TRUE(
      std::equal(out.image.begin() + c4, out.image.begin() + c4 + 32, base.image.begin() + c4));
  const auto lines = exchange::DiffCodeplugs(base, out, false);
  EXPECT_TRUE(HasLine(lines, "Scanning: Dual Watch Time 1500 msecs -> 1000 msecs"));
  EXPECT_TRUE(HasLine(lines, "group 1 channel 3 Frequency Receive: 450.00000 -> 450.02500"));
}

TEST(JsonExchange, EveryBadValueIsNamedByItsPathAndNothingIsBuilt) {
  const std::string json = R"({
    "format": "ql40-codeplug",
    "scan": {"dual_watch_time": "7 msecs", "home_channel": 999, "nonsense": 1},
    "keys": {"monitor": "Fly"},
    "ani": {"ani_code": "12X"},
    "groups": [{"tag": "lower"}],
    "channels": [{"channel": 1, "receive": "999.00000"},
                 {"channel": 2, "transmit": "146.52"},
                 {"channel": 3, "sub_audio": "CTCSS", "decode": "101.1"},
                 {"channel": 600},
                 {"channel": 4, "receive": "406.05"}],
    "raw": {"blocks": ["zz"]}
  })";
  Codeplug out = DefaultCodeplug(kBandVhf);
  const Image before = out.image;
  std::vector<std::string> errors;
  std::vector<std::string> warnings;
  EXPECT_FALSE(exchange::ImportJson(json, DefaultCodeplug(kBandVhf), out, errors, warnings));
  EXPECT_EQ(out.image, before);
  ASSERT_EQ(errors.size(), 1u);  // a damaged image is refused before anything is read into it
  EXPECT_EQ(errors[0].rfind("raw.blocks: ", 0), 0u) << errors[0];

  ordered_json j = ordered_json::parse(json);
  j.erase("raw");
  EXPECT_FALSE(exchange::ImportJson(j.dump(), DefaultCodeplug(kBandVhf), out, errors, warnings));
  const auto has = [&](const std::string& prefix) {
    return std::any_of(errors.begin(), errors.end(),
                       [&](const std::string& e) { return e.rfind(prefix, 0) == 0; });
  };
  EXPECT_TRUE(has("scan.dual_watch_time: \"7 msecs\" is not one of")) << errors[0];
  EXPECT_TRUE(has("scan.home_channel: 999 is outside 1-255"));
  EXPECT_TRUE(has("scan.nonsense: "));
  EXPECT_TRUE(has("keys.monitor: "));
  EXPECT_TRUE(has("ani.ani_code: "));
  // Settings errors stop the import first; then the channel errors come all at once.
  j.erase("scan");
  j.erase("keys");
  j.erase("ani");
  EXPECT_FALSE(exchange::ImportJson(j.dump(), DefaultCodeplug(kBandVhf), out, errors, warnings));
  EXPECT_TRUE(has("groups[0].tag: "));
  EXPECT_TRUE(has("channels[0].receive: 999.00000 is outside the band 134.00000-600.00000"));
  EXPECT_TRUE(has("channels[2].decode: "));
  EXPECT_TRUE(has("channels[3].channel: 600 is not a channel in use"));
  EXPECT_TRUE(has("channels[4].receive: "));
  EXPECT_FALSE(has("channels[1]"));  // a valid transmit frequency
  EXPECT_EQ(out.image, before);

  EXPECT_FALSE(exchange::ImportJson("{\"channels\": [", DefaultCodeplug(0), out, errors, warnings));
  EXPECT_EQ(errors.size(), 1u);
  EXPECT_FALSE(exchange::ImportJson("[1,2]", DefaultCodeplug(0), out, errors, warnings));
  // A number beyond any range is a refusal like any other, not an exception.
  EXPECT_FALSE(exchange::ImportJson("4e449]}", DefaultCodeplug(0), out, errors, warnings));
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].rfind("(file): not JSON", 0), 0u) << errors[0];
  EXPECT_EQ(exchange::JsonBand(R"({"hardware": {}})"), -1);
}

TEST(JsonExchange, FrequencyTheRadioCannotStoreIsRefused) {
  // VHF Lo with the oscillator below: 30.8 MHz has no divider word.
  Codeplug base = DefaultCodeplug(kBandVhfLo);
  base.hardware.injection = 0;
  base.hardware.Encode(base.image);
  base.RefreshFromImage();
  Codeplug out;
  std::vector<std::string> errors;
  std::vector<std::string> warnings;
  EXPECT_FALSE(exchange::ImportJson(R"({"channels": [{"channel": 2, "receive": "30.80000"}]})",
                                    base, out, errors, warnings));
  ASSERT_EQ(errors.size(), 1u) << ::testing::PrintToString(errors);
  EXPECT_EQ(errors[0].rfind("channels[0].receive: 30.80000 cannot be stored", 0), 0u) << errors[0];
}

TEST(CsvExchange, SpreadsheetRowsApplyAsPastesAndBadCellsAreNamed) {
  Codeplug doc = Varied(kBandVhf);
  std::vector<std::string> errors;
  std::vector<std::string> warnings;
  // A spreadsheet's file: byte order mark, CRLF, quotes, columns dropped and reordered.
  const std::string sheet =
      "\xEF\xBB\xBF"
      "TAG,Frequency Receive,Chn,\"Sub Audio Type\",Sub Audio Dec\r\n"
      "\"DEPOT 2\",146.52000,1,CTCSS,\" 67.0\"\r\n"
      "\r\n"
      "YARD,,2,,\r\n";
  ASSERT_TRUE(exchange::ImportChannelsCsv(sheet, doc, errors, warnings))
      << ::testing::PrintToString(errors);
  EXPECT_EQ(doc.channels.records[0].rx_frequency, 14652000);
  EXPECT_EQ(GridCellText(doc, 0, kColDecode), " 67.0");
  EXPECT_EQ(TagText(doc.channels.records[1]), "YARD    ");
  // A leading blank is part of a tag; a point after the third character is the tag's point.
  ASSERT_TRUE(exchange::ImportChannelsCsv("Chn,TAG\n1,\" AB\"\n2,146.52\n", doc, errors, warnings))
      << ::testing::PrintToString(errors);
  EXPECT_EQ(TagText(doc.channels.records[0]), " AB     ");
  EXPECT_EQ(TagText(doc.channels.records[1]), "146.52   ");
  // Committed and decoded again: the image agrees.
  Codeplug reopened = Loaded(doc.image, doc.default_split);
  EXPECT_EQ(reopened.channels.records[0].rx_frequency, 14652000);

  const Image before = doc.image;
  const std::string bad =
      "Chn,Frequency Receive,Power H,Lock Out\n"
      "1,700.00000,H,--\n"
      "2,146.50000,X,--\n"
      "3,146.50000,L,ZZ\n"
      "999,146.5,H,--\n";
  EXPECT_FALSE(exchange::ImportChannelsCsv(bad, doc, errors, warnings));
  EXPECT_EQ(doc.image, before);
  ASSERT_EQ(errors.size(), 4u);
  EXPECT_EQ(errors[0].rfind("row 2, Frequency Receive: 700.00000 is outside the band", 0), 0u)
      << errors[0];
  EXPECT_EQ(errors[1].rfind("row 3, Power H: ", 0), 0u) << errors[1];
  EXPECT_EQ(errors[2].rfind("row 4, Lock Out: ", 0), 0u) << errors[2];
  EXPECT_EQ(errors[3].rfind("row 5, Chn: ", 0), 0u) << errors[3];

  EXPECT_FALSE(
      exchange::ImportChannelsCsv("TAG\nX\n", doc, errors, warnings));  // no channel column
  EXPECT_FALSE(exchange::ImportChannelsCsv("Chn,TAG\n1,\"open\n", doc, errors, warnings));
  EXPECT_FALSE(exchange::ImportChannelsCsv("Chn,Colour\n1,red\n", doc, errors, warnings));
  EXPECT_EQ(doc.image, before);
}

// A channel past group 1 is named by its group and place; with bytes, the region is named.
TEST(Compare, DiffSpeaksTheUsersWordsAndBytesByRegion) {
  const Codeplug a = Varied(kBandVhf);
  Codeplug b = a;
  exchange::ApplyCellText(b, 42, kColReceive, "161.00000");  // group 2 entry 3
  b.CommitToImage();
  b.RefreshFromImage();
  const auto lines = exchange::DiffCodeplugs(a, b, false);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0].rfind("group 2 channel 3 Frequency Receive: ", 0), 0u) << lines[0];
  ExpectHas(lines[0], {" -> 161.00000"});
  const auto with_bytes = exchange::DiffCodeplugs(a, b, true);
  EXPECT_TRUE(std::any_of(with_bytes.begin(), with_bytes.end(), [](const std::string& l) {
    return l.rfind("bytes 1024-17407 (channel records)", 0) == 0;
  }));
}

TEST(Compare, CheckFindsWhatTheRadioWouldMisbehaveOn) {
  EXPECT_TRUE(exchange::CheckCodeplug(DefaultCodeplug(kBandVhf)).empty());

  Codeplug doc = Varied(kBandVhf);
  // Channel 5's receive divider word with a field the synthesizer does not take.
  doc.image[kOffsetChannels + 4 * kChannelRecordSize + 6] |= 0x80;
  // A priority on an unprogrammed channel, a scanning group with no list member, a duplicate.
  doc.image[512 + 45 / 8] |= 1 << (45 % 8);  // channel 46 (group 2 entry 6) not programmed
  doc.image[50 + 1] = 5;
  doc = Loaded(doc.image, doc.default_split);
  doc.channels.records[72].status = 1;  // group 5, programmed, in no scan list
  doc.channels.scan_mode[4] = 2;
  doc.channels.records[10].rx_frequency = doc.channels.records[11].rx_frequency;
  doc.channels.records[10].tx_frequency = doc.channels.records[11].tx_frequency;
  doc.channels.records[10].set_attribute_byte(5, doc.channels.records[11].attribute_byte(5));
  doc.channels.records[10].set_attribute_byte(4, doc.channels.records[11].attribute_byte(4));
  doc.channels.records[10].sub_audio_type = doc.channels.records[11].sub_audio_type;
  for (int i = 70; i < 77; ++i) doc.channels.records[static_cast<std::size_t>(i)].status &= 0x0F;
  const auto findings = exchange::CheckCodeplug(doc);
  std::string all;
  for (const auto& f : findings) all += exchange::FindingText(f) + "\n";
  for (const char* want :
       {"error: group 1 channel 5 Frequency Receive: the stored divider word",
        "warning: group 2 priority: ",
        "warning: group 5: scanning is on but no channel is in the user scan list",
        "warning: group 1 channel 12: the same frequencies and tones as group 1 channel 11"}) {
    EXPECT_TRUE(Contains(all, want)) << want << "\n" << all;
  }
  EXPECT_TRUE(exchange::HasErrors(findings));

  Codeplug counts = DefaultCodeplug(kBandVhf);
  std::fill_n(counts.image.begin() + 30, 3, std::uint8_t{200});
  const auto over = exchange::CheckCodeplug(Loaded(counts.image, 0.0));
  EXPECT_TRUE(std::any_of(over.begin(), over.end(), [](const exchange::Finding& f) {
    return f.where == "groups" && f.severity == exchange::Severity::kError;
  }));
}

TEST(ExchangeCommands, ExportImportDiffCheckAndDownloadRefusal) {
  TempDir dir;
  const auto run = [&](const std::string& args) { return testing::RunAt(dir, args); };
  ASSERT_EQ(run("new --band uhf -o @a.q40").status, 0);
  auto r = run("export @a.q40 -o @a.json");
  ASSERT_EQ(r.status, 0) << r.err;
  r = run("import @a.json -o @b.q40");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(testing::ReadAll(dir.File("a.q40")), testing::ReadAll(dir.File("b.q40")));
  EXPECT_EQ(run("diff @a.q40 @b.q40").status, 0);

  WriteText(dir.File("c.json"), R"({"channels": [{"channel": 1, "receive": "451.00000"}]})");
  r = run("import @c.json --base @a.q40 -o @c.q40");
  ASSERT_EQ(r.status, 0) << r.err;
  r = run("diff @a.q40 @c.q40 --bytes");
  EXPECT_EQ(r.status, 1);
  ExpectHas(r.out,
            {"group 1 channel 1 Frequency Receive: 450.00000 -> 451.00000", "bytes 1024-17407"});
  EXPECT_EQ(run("diff @a.q40 @none.q40").status, 2);

  WriteText(dir.File("bad.json"), R"({"channels": [{"channel": 1, "receive": "999"}]})");
  r = run("import @bad.json -o @bad.q40");
  EXPECT_EQ(r.status, 1);
  ExpectHas(r.err, {"channels[0].receive: 999 is outside the band"});
  EXPECT_FALSE(std::filesystem::exists(dir.File("bad.q40")));

  // A divider the synthesizer cannot take: check names it, download refuses before any port.
  auto bytes = testing::ReadAll(dir.File("a.q40"));
  bytes[kOffsetChannels + 6] |= 0x80;
  testing::WriteAll(dir.File("broken.q40"), bytes);
  r = run("check @broken.q40");
  EXPECT_EQ(r.status, 1);
  ExpectHas(r.out, {"error: group 1 channel 1 Frequency Receive"});
  EXPECT_EQ(run("check @a.q40").status, 0);
  r = run("download @broken.q40 --port @no-port");
  EXPECT_EQ(r.status, 1);
  ExpectHas(r.err, {"not programmed (--force"});

  r = run("channels @a.q40 --csv");
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(r.out.rfind("Chn,Pri,W/N,TAG,Frequency Receive,", 0), 0u);
  WriteText(dir.File("ch.csv"), "Chn,Frequency Receive\r\n2,455.50000\r\n");
  ASSERT_EQ(run("import-channels @a.q40 @ch.csv -o @d.q40").status, 0);
  r = run("diff @a.q40 @d.q40");
  ExpectHas(r.out, {"group 1 channel 2 Frequency Receive: 450.00000 -> 455.50000"});

  // A value stored other than given is a warning (exit 0); --strict refuses the file instead.
  WriteText(dir.File("off.csv"), "Chn,Frequency Receive\r\n2,450.0025\r\n");
  r = run("import-channels @a.q40 @off.csv -o @e.q40");
  EXPECT_EQ(r.status, 0) << r.err;
  ExpectHas(r.err, {"warning: row 2, Frequency Receive: \"450.0025\" is stored as "
                    "\"450.00500\""});
  r = run("import-channels @a.q40 @off.csv -o @f.q40 --strict");
  EXPECT_EQ(r.status, 1);
  ExpectHas(r.err, {"(--strict); nothing written"});
  EXPECT_FALSE(std::filesystem::exists(dir.File("f.q40")));
  WriteText(dir.File("split.json"), R"({"default_split": 5.05})");
  r = run("import @split.json --base @a.q40 -o @g.q40 --strict");
  EXPECT_EQ(r.status, 1);
  ExpectHas(r.err, {"default_split: \"5.05000\" is stored as"});
}

}  // namespace
}  // namespace ql40

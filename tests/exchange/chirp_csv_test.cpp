// Channel plans from other radios: every mapping rule of a plan row, every refusal with its
// reason, where rows go (a group that grows, the groups after it keeping their channels), the
// messages that name each change, and the round trip through an export.

#include "exchange/chirp_csv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "channels/grid_text.h"
#include "exchange/channel_cells.h"
#include "exchange/codeplug_json.h"
#include "exchange/records.h"
#include "exchange_support.h"

namespace ql40 {
namespace {

using exchange::CellText;
using exchange::ChirpImport;
using exchange::DefaultCodeplug;
using exchange::PlanChirpImport;
using testing::Contains;
using testing::ExpectHas;

const std::string kHeader =
    "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,"
    "RxDtcsCode,CrossMode,Mode,TStep,Skip,Power,Comment,URCALL,RPT1CALL,RPT2CALL,DVCODE\n";

// A row of the full header: the fields that matter, the rest as the format's defaults.
std::string Row(int location, const std::string& name, const std::string& frequency,
                const std::string& duplex = "", const std::string& offset = "0.000000",
                const std::string& tone = "", const std::string& r_tone = "88.5",
                const std::string& c_tone = "88.5", const std::string& dtcs = "023",
                const std::string& polarity = "NN", const std::string& rx_dtcs = "023",
                const std::string& cross = "Tone->Tone", const std::string& mode = "FM",
                const std::string& skip = "", const std::string& power = "High") {
  return std::to_string(location) + "," + name + "," + frequency + "," + duplex + "," + offset +
         "," + tone + "," + r_tone + "," + c_tone + "," + dtcs + "," + polarity + "," + rx_dtcs +
         "," + cross + "," + mode + ",5.00," + skip + "," + power + ",,,,,\n";
}

// The channel's texts that a plan carries, for comparing channels.
std::string Shown(const Codeplug& doc, int channel) {
  std::string out;
  for (int c : {kColWideNarrow, kColTag, kColReceive, kColTransmit, kColSubAudioType, kColDecode,
                kColEncode, kColPower, kColScan}) {
    out += CellText(doc, channel, c) + "|";
  }
  return out;
}

// One column's texts of the first channels, "|"-separated.
std::string Column(const Codeplug& doc, int column, int count) {
  std::string out;
  for (int i = 0; i < count; ++i) out += (i ? "|" : "") + CellText(doc, i, column);
  return out;
}

std::string AllMessages(const ChirpImport& plan) {
  std::string out;
  for (const std::string& m : plan.Messages()) out += m + "\n";
  return out;
}

TEST(ChirpCsv, RecognisesThePlanByItsHeader) {
  EXPECT_TRUE(exchange::IsChirpCsv(kHeader + Row(1, "A", "146.520000")));
  EXPECT_TRUE(exchange::IsChirpCsv("\xEF\xBB\xBF\r\nlocation,NAME,frequency,tstep\r\n"));
  EXPECT_TRUE(exchange::IsChirpCsv("Frequency,Duplex,Offset\n"));
  EXPECT_FALSE(exchange::IsChirpCsv("Chn,Pri,W/N,TAG,Frequency Receive,Frequency Transmit\r\n"));
  EXPECT_FALSE(exchange::IsChirpCsv("Name,Frequency\n"));  // too little to tell
  EXPECT_FALSE(exchange::IsChirpCsv(""));
}

// Business band, MURS and repeaters on VHF: every tone mode, width, power, scan and duplex.
const std::string kRichPlan =
    kHeader +
    Row(1, "Yard", "151.820000", "", "0.000000", "", "88.5", "88.5", "023", "NN", "023",
        "Tone->Tone", "NFM", "", "Low") +
    Row(2, "W1ABC Rpt", "146.940000", "-", "0.600000", "Tone", "100.0") +
    Row(3, "Gate", "147.195000", "+", "0.600000", "TSQL", "88.5", "123.0") +
    Row(4, "Depot", "154.570000", "", "0.000000", "DTCS", "88.5", "88.5", "023", "NR") +
    Row(5, "Cross", "155.000000", "", "0.000000", "Cross", "88.5", "88.5", "411", "RN", "226",
        "DTCS->DTCS") +
    Row(6, "Tx tone", "155.100000", "", "0.000000", "Cross", "71.9", "100.0", "023", "NN", "023",
        "Tone->Tone") +
    Row(7, "Rx only", "155.200000", "", "0.000000", "Cross", "88.5", "131.8", "023", "NN", "023",
        "->Tone", "FM", "S") +
    Row(8, "Enc DCS", "155.300000", "", "0.000000", "Cross", "88.5", "88.5", "155", "NN", "023",
        "DTCS->") +
    Row(9, "Dec DCS", "155.400000", "", "0.000000", "Cross", "88.5", "88.5", "023", "NN", "754",
        "->DTCS") +
    Row(10, "Weather", "162.550000", "off") +
    Row(11, "Xband", "145.230000", "split", "440.230000", "Tone", "67.0");

TEST(ChirpCsv, MapsEveryFieldOfARowOntoTheChannel) {
  const Codeplug doc = DefaultCodeplug(kBandVhf);
  const std::string& plan = kRichPlan;
  const ChirpImport result = PlanChirpImport(plan, doc, 0, 1);
  ASSERT_TRUE(result.Importable()) << AllMessages(result);
  EXPECT_EQ(result.Imported(), 11);
  EXPECT_EQ(result.Skipped(), 0);
  EXPECT_EQ(AllMessages(result),
            "row 3 (Location 2, \"W1ABC Rpt\"): Name \"W1ABC Rpt\" is stored as \"W1ABC RP\" "
            "(cut to 8 characters)\n");
  const Codeplug& out = result.result;
  const std::vector<std::string> want = {
      "N|YARD|151.82000|151.82000|-----|-----|-----|L|B|",
      "W|W1ABC RP|146.94000|146.34000|CTCSS|Off|100.0|H|B|",
      "W|GATE|147.19500|147.79500|CTCSS|123.0|123.0|H|B|",
      "W|DEPOT|154.57000|154.57000|DCS|047|023|H|B|",  // received inverted: the complement
      "W|CROSS|155.00000|155.00000|DCS|226|226|H|B|",  // 411 sent inverted is 226
      "W|TX TONE|155.10000|155.10000|CTCSS|100.0|71.9|H|B|",
      "W|RX ONLY|155.20000|155.20000|CTCSS|131.8|Off|H|-|",
      "W|ENC DCS|155.30000|155.30000|DCS|Off|155|H|B|",
      "W|DEC DCS|155.40000|155.40000|DCS|754|Off|H|B|",
      "W|WEATHER|162.55000|---.-----|-----|-----|-----|H|B|",
      "W|XBAND|145.23000|440.23000|CTCSS|Off|67.0|H|B|",
  };
  for (int i = 0; i < static_cast<int>(want.size()); ++i) {
    EXPECT_EQ(Shown(out, i), want[static_cast<std::size_t>(i)]) << "channel " << i + 1;
    EXPECT_EQ(result.rows[static_cast<std::size_t>(i)].channel, i);
    EXPECT_TRUE(out.channels.records[static_cast<std::size_t>(i)].programmed());
  }
  // The plan was 11 rows into a group of 16: the group stays as it was.
  EXPECT_EQ(out.channels.count[0], 16);
  EXPECT_EQ(result.grown, 0);
  EXPECT_TRUE(result.rows[0].replaces == "CH-001") << result.rows[0].replaces;
  EXPECT_EQ(result.rows[1].replaces, "");              // channel 2 was not programmed
  EXPECT_FALSE(doc.channels.records[1].programmed());  // the document itself is untouched
}

// FRS/GMRS as real files come: BOM, CRLF, other and unknown columns, gaps, an older format.
TEST(ChirpCsv, ReadsFilesOfEveryShape) {
  const Codeplug doc = DefaultCodeplug(kBandUhf);
  const std::string plan =
      "\xEF\xBB\xBFName,location,FREQUENCY,Tstep,Mode,Tone,rToneFreq,cToneFreq,DtcsCode,"
      "DtcsPolarity,Duplex,Offset,Bank,Skip,Power\r\n"
      "FRS 1,40,462.562500,12.50,NFM,,88.5,88.5,023,NN,,0.000000,A,,0.5W\r\n"
      "\r\n"
      "FRS 8,47,467.562500,12.50,NFM,TSQL,88.5,67.0,023,NN,,0.000000,A,,0.5W\r\n"
      "GMRS R,99,462.550000,25.00,FM,TSQL,141.3,141.3,023,NN,+,5.000000,B,,50W\r\n"
      "\"Park, N\",120,462.600000,25.00,FM,DTCS,88.5,88.5,025,NN,+,5.000000,B,S,High\r\n";
  const ChirpImport result = PlanChirpImport(plan, doc, 0, 1);
  ASSERT_TRUE(result.Importable()) << AllMessages(result);
  EXPECT_EQ(result.Imported(), 4);
  EXPECT_EQ(Shown(result.result, 0), "N|FRS 1|462.56250|462.56250|-----|-----|-----|L|B|");
  EXPECT_EQ(Shown(result.result, 1), "N|FRS 8|467.56250|467.56250|CTCSS|67.0|67.0|L|B|");
  EXPECT_EQ(Shown(result.result, 2), "W|GMRS R|462.55000|467.55000|CTCSS|141.3|141.3|H|B|");
  EXPECT_EQ(Shown(result.result, 3), "W|PARK N|462.60000|467.60000|DCS|025|025|H|-|");
  EXPECT_EQ(result.rows[0].row, 2);
  EXPECT_EQ(result.rows[1].row, 4);  // the empty line keeps the file's row numbers
  EXPECT_EQ(result.rows[3].location, "120");
  // Watts are not what the radio has: each says what it became, and so does the dropped comma.
  const std::string messages = AllMessages(result);
  ExpectHas(messages, {"row 2 (Location 40, \"FRS 1\"): Power \"0.5W\" is stored as L (the radio "
                       "has H and L)",
                       "row 5 (Location 99, \"GMRS R\"): Power \"50W\" is stored as H",
                       "row 6 (Location 120, \"Park, N\"): Name \"Park, N\" is stored "
                       "as \"PARK N\" (\",\" not tag symbols)"});
  EXPECT_EQ(result.Changed(), 4);
}

TEST(ChirpCsv, TurnsNamesIntoTags) {
  const Codeplug doc = DefaultCodeplug(kBandVhf);
  const std::string plan = kHeader + Row(1, "marine 16", "156.800000") +
                           Row(2, "Joe's Repeater", "146.520000") + Row(3, "146.520", "146.52") +
                           Row(4, "St. Louis", "146.54") + Row(5, "Caf\xC3\xA9", "146.56") +
                           Row(6, "", "146.58") + Row(7, "  X", "146.60");
  const ChirpImport result = PlanChirpImport(plan, doc, 0, 1);
  ASSERT_TRUE(result.Importable()) << AllMessages(result);
  const std::vector<std::string> tags = {"MARINE 1", "JOES REP", "146.520", "ST LOUIS",
                                         "CAF",      "",         "  X"};
  for (std::size_t i = 0; i < tags.size(); ++i) {
    std::string tag = TagText(result.result.channels.records[i]);
    tag.erase(tag.find_last_not_of(' ') + 1);
    EXPECT_EQ(tag, tags[i]) << "row " << i + 2;
  }
  const std::string m = AllMessages(result);
  ExpectHas(m, {"Name \"marine 16\" is stored as \"MARINE 1\" (cut to 8 characters)",
                "Name \"Joe's Repeater\" is stored as \"JOES REP\" (\"'\" not tag "
                "symbols; cut to 8 characters)",
                "Name \"Caf\xC3\xA9\" is stored as \"CAF\""});
  // Upper case alone, the point after the third character, an empty name: nothing to say.
  EXPECT_EQ(result.Changed(), 4) << m;
}

TEST(ChirpCsv, NamesEveryFrequencyThatMoves) {
  const Codeplug doc = DefaultCodeplug(kBandVhf);
  // 146.523 MHz is on no step: it moves to 146.525; 1 Hz is below what the radio keeps.
  const std::string plan =
      kHeader + Row(1, "Odd", "146.523000", "+", "0.600000") + Row(2, "Hz", "146.520004");
  const ChirpImport result = PlanChirpImport(plan, doc, 0, 1);
  ASSERT_TRUE(result.Importable());
  EXPECT_EQ(Shown(result.result, 0).substr(0, 26), "W|ODD|146.52500|147.12500|");
  const std::string m = AllMessages(result);
  ExpectHas(m, {"row 2 (Location 1, \"Odd\"): Frequency 146.523000 MHz is stored as "
                "146.52500",
                "the transmit frequency 147.123000 MHz (Duplex +, Offset 0.600000) is "
                "stored as 147.12500",
                "Frequency 146.520004 MHz is stored as 146.52000"});
}

// Each row the radio cannot hold is skipped with its reason and takes no channel.
TEST(ChirpCsv, SkipsRowsTheRadioCannotHoldAndSaysWhy) {
  const Codeplug doc = DefaultCodeplug(kBandUhf);
  struct Case {
    std::string row;
    std::string why;
  };
  const std::vector<Case> cases = {
      {Row(1, "Air", "121.500000"),
       "Frequency 121.500000 MHz is outside the band of this codeplug (400.00000-600.00000 MHz)"},
      {Row(2, "AM", "450.000000", "", "0", "", "88.5", "88.5", "023", "NN", "023", "Tone->Tone",
           "AM"),
       "Mode AM is not a mode of this radio (FM or NFM)"},
      {Row(3, "DV", "450.1", "", "0", "", "88.5", "88.5", "023", "NN", "023", "Tone->Tone", "DV"),
       "Mode DV is not a mode"},
      {Row(4, "Rev", "450.2", "", "0", "TSQL-R", "88.5", "88.5"),
       "Tone \"TSQL-R\" (squelch that opens without the tone) is not something this radio does"},
      {Row(5, "RevD", "450.2", "", "0", "DTCS-R"), "Tone \"DTCS-R\""},
      {Row(6, "Mixed", "450.3", "", "0", "Cross", "100.0", "88.5", "023", "NN", "023",
           "Tone->DTCS"),
       "CrossMode \"Tone->DTCS\": CTCSS one way and DCS the other"},
      {Row(7, "Mixed2", "450.3", "", "0", "Cross", "100.0", "88.5", "023", "NN", "023",
           "DTCS->Tone"),
       "CrossMode \"DTCS->Tone\": CTCSS one way and DCS the other"},
      {Row(8, "Odd tone", "450.4", "", "0", "Tone", "69.4"),
       "rToneFreq 69.4 is not a CTCSS tone of this radio"},
      {Row(9, "Odd DCS", "450.4", "", "0", "DTCS", "88.5", "88.5", "017"),
       "DtcsCode 017 is not a DCS code of this radio"},
      {Row(10, "Bad pol", "450.4", "", "0", "DTCS", "88.5", "88.5", "023", "NX"),
       "DtcsPolarity \"NX\" is not NN, NR, RN or RR"},
      {Row(11, "No off", "450.5", "+", ""), "Duplex + needs an Offset in MHz"},
      {Row(12, "Bad dup", "450.5", "x"), "Duplex \"x\" is not \"\", +, -, split or off"},
      {Row(13, "Far", "598.0", "+", "5.000000"),
       "the transmit frequency 603.000000 MHz (Duplex +, Offset 5.000000) is outside the band"},
      {Row(14, "Gap", "406.050000"), "Frequency: 406.05000 lies in 406.00000-406.10000"},
      {Row(15, "None", ""), "no Frequency"},
      {Row(16, "Word", "abc"), "Frequency \"abc\" is not a frequency in MHz"},
      {"17,Extra,450.6,,0,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,High,,,,,,oops\n",
       "22 fields, the header has 21"},
  };
  std::string plan = kHeader + Row(100, "First", "450.000000");
  for (const Case& c : cases) plan += c.row;
  plan += Row(101, "Last", "451.000000");
  const ChirpImport result = PlanChirpImport(plan, doc, 0, 1);
  ASSERT_TRUE(result.Importable()) << AllMessages(result);
  EXPECT_EQ(result.Imported(), 2);
  EXPECT_EQ(result.Skipped(), static_cast<int>(cases.size()));
  ASSERT_EQ(result.rows.size(), cases.size() + 2);
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const exchange::ChirpRow& row = result.rows[i + 1];
    EXPECT_EQ(row.channel, -1);
    EXPECT_TRUE(Contains(row.skipped, cases[i].why)) << row.Where() << ": " << row.skipped;
  }
  // The last row takes the channel after the first: skipped rows take none.
  EXPECT_EQ(result.rows.back().channel, 1);
  EXPECT_EQ(CellText(result.result, 1, kColReceive), "451.00000");
  EXPECT_TRUE(Contains(AllMessages(result), "row 3 (Location 1, \"Air\"): skipped: Frequency"));
}

// The unused tone fields of a row mean nothing; an older file has one DCS code for both ways.
TEST(ChirpCsv, ReadsOnlyTheToneFieldsTheModeSelects) {
  const Codeplug doc = DefaultCodeplug(kBandVhf);
  const std::string plan =
      kHeader + Row(1, "Plain", "146.52", "", "0", "", "69.4", "1.0", "999", "XX", "888") +
      Row(2, "Tone", "146.54", "", "0", "Tone", "100.0", "1.0", "999", "XX", "888") +
      Row(3, "Cross", "146.56", "", "0", "Cross", "100.0", "67.0", "999", "XX", "888");
  const ChirpImport result = PlanChirpImport(plan, doc, 0, 1);
  ASSERT_TRUE(result.Importable()) << AllMessages(result);
  EXPECT_EQ(result.Skipped(), 0) << AllMessages(result);
  EXPECT_EQ(CellText(result.result, 1, kColEncode), "100.0");
  EXPECT_EQ(Shown(result.result, 2), "W|CROSS|146.56000|146.56000|CTCSS|67.0|100.0|H|B|");

  const std::string old_file =
      "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,"
      "Mode\n1,Old,146.52,,0,Cross,88.5,88.5,155,NN,FM\n2,Old2,146.54,,0,DTCS,88.5,88.5,155,,\n";
  const ChirpImport old = PlanChirpImport(old_file, doc, 0, 1);
  ASSERT_TRUE(old.Importable()) << AllMessages(old);
  // "Cross" without a CrossMode column is no cross mode this program can read.
  EXPECT_TRUE(Contains(old.rows[0].skipped, "CrossMode \"\" is not a cross mode"));
  EXPECT_EQ(Shown(old.result, 0), "W|OLD2|146.54000|146.54000|DCS|155|155|H|B|");
}

TEST(ChirpCsv, SkipAndPowerWords) {
  Codeplug doc = DefaultCodeplug(kBandVhf);
  // Channel 2 is in the dealer list already and keeps it; others not in a list scan in both.
  ASSERT_EQ(exchange::ApplyCellText(doc, 1, kColReceive, "150.00000"), "");
  ASSERT_EQ(exchange::ApplyCellText(doc, 1, kColScan, "D"), "");
  const std::string plan = kHeader +
                           Row(1, "A", "146.52", "", "0", "", "88.5", "88.5", "023", "NN", "023",
                               "Tone->Tone", "FM", "P", "Mid") +
                           Row(2, "B", "146.54", "", "0", "", "88.5", "88.5", "023", "NN", "023",
                               "Tone->Tone", "FM", "", "low") +
                           Row(3, "C", "146.56", "", "0", "", "88.5", "88.5", "023", "NN", "023",
                               "Tone->Tone", "FM", "Q", "1.0W");
  const ChirpImport result = PlanChirpImport(plan, doc, 0, 1);
  ASSERT_TRUE(result.Importable()) << AllMessages(result);
  EXPECT_EQ(Column(result.result, kColScan, 3), "B|D|-");
  EXPECT_EQ(Column(result.result, kColPower, 3), "H|L|L");
  const std::string m = AllMessages(result);
  ExpectHas(m, {"Skip \"P\" (priority scan) is not kept",
                "Power \"Mid\" is not High, Low or watts: the channel keeps H",
                "Skip \"Q\" is not \"\", S or P: the channel keeps its scan lists",
                "Power \"1.0W\" is stored as L"});
}

// A group too small grows from free channels; the groups after it keep their own.
TEST(ChirpCsv, GrowsTheGroupFromFreeChannels) {
  Codeplug doc = DefaultCodeplug(kBandVhf);
  // Groups of 16 and 4 channels; group 2's first channel is tagged so it can be followed.
  doc.channels.count[1] = 4;
  doc.CommitToImage();
  doc.RefreshFromImage();
  ASSERT_EQ(exchange::ApplyCellText(doc, 16, kColReceive, "155.00000"), "");
  ASSERT_EQ(exchange::ApplyCellText(doc, 16, kColTag, "SECOND"), "");
  doc.channels.priority[1] = 1;
  doc.CommitToImage();
  doc.RefreshFromImage();

  std::string plan = kHeader;
  for (int i = 0; i < 10; ++i) {
    plan += Row(i + 1, std::string("P").append(std::to_string(i)), "146.52");
    // A row only the channel itself refuses takes no channel of the grown group either.
    if (i == 4) plan += Row(50, "Gap", "406.050000");
  }
  const ChirpImport result = PlanChirpImport(plan, doc, 0, 10);
  ASSERT_TRUE(result.Importable()) << AllMessages(result);
  EXPECT_EQ(result.grown, 3);
  EXPECT_EQ(result.later_groups, 1);
  const ChannelTable& t = result.result.channels;
  EXPECT_EQ(std::tuple(t.count[0], t.count[1], t.channels_left), std::tuple(19, 4, 512 - 23));
  // Rows 1-5 to channels 10-14, the gap none, the rest 15-19.
  EXPECT_EQ(std::tuple(result.rows.front().channel, result.rows[5].channel, result.rows[6].channel,
                       result.rows.back().channel),
            std::tuple(9, -1, 14, 18));
  // Group 2 still starts with its own channel, and its priority still names it.
  EXPECT_EQ(Shown(result.result, 19).substr(0, 19), "W|SECOND|155.00000|");
  EXPECT_EQ(t.PriorityChannelOf(1), 19);
  EXPECT_TRUE(Contains(result.Summary(),
                       "10 rows into group 1, channels 10-19; 1 row skipped; group 1 grows by 3 "
                       "free channels "
                       "and the 1 group after it move up"))
      << result.Summary();

  // A PT-410 group holds at most 16 channels: nothing imports, and the message says how many fit.
  Codeplug small = DefaultCodeplug(kBandVhf);
  small.channels.RefitToProduct(1);
  const ChirpImport too_many = PlanChirpImport(plan, small, 0, 10);
  EXPECT_FALSE(too_many.Importable());
  ASSERT_EQ(too_many.errors.size(), 1u);
  EXPECT_EQ(too_many.errors[0],
            "group 1 can take 7 of the 10 rows from its channel 10 (it has 16, holds at most 16, "
            "and the radio has 32 free channels); nothing imported");
}

TEST(ChirpCsv, RefusesWhatCannotBePlaced) {
  const Codeplug doc = DefaultCodeplug(kBandVhf);
  const std::string plan = kHeader + Row(1, "A", "146.52");
  EXPECT_EQ(PlanChirpImport(plan, doc, 20, 1).errors.at(0), "group 21: this radio has groups 1-20");
  EXPECT_EQ(PlanChirpImport(plan, doc, 0, 18).errors.at(0),
            "first channel 18: group 1 has 16 channels, so the rows can start at its channel 1 to "
            "17");
  EXPECT_EQ(PlanChirpImport(plan, doc, 0, 0).errors.size(), 1u);
  EXPECT_EQ(PlanChirpImport("Location,Name\n1,A\n", doc, 0, 1).errors.at(0),
            "header: no \"Frequency\" column");
  EXPECT_EQ(PlanChirpImport("Frequency,frequency\n", doc, 0, 1).errors.at(0),
            "header, column 2: \"frequency\" appears twice");
  EXPECT_EQ(PlanChirpImport("Frequency,Name\n\"146.52,A\n", doc, 0, 1).errors.at(0),
            "CSV: a quoted field is never closed");
  // Every row refused: nothing to import, and each row says why.
  const ChirpImport none = PlanChirpImport(kHeader + Row(1, "Air", "121.5"), doc, 0, 1);
  EXPECT_FALSE(none.Importable());
  EXPECT_EQ(none.Summary(), "no row can be imported; 1 row skipped");
  EXPECT_EQ(none.Messages().size(), 1u);
  // Group 20 of a radio with one group: a group with no channels grows from the free ones.
  const ChirpImport last = PlanChirpImport(plan, doc, 19, 1);
  ASSERT_TRUE(last.Importable()) << AllMessages(last);
  EXPECT_EQ(last.result.channels.count[19], 1);
  EXPECT_EQ(last.rows[0].channel, 16);
}

std::string ReadPlan(const std::string& name) {
  std::ifstream in(std::string(QL40_TEST_DATA_DIR) + "/" + name, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Plans from channel-plan collections: every row imports, or is skipped saying why.
TEST(ChirpCsv, PlansOfEveryKindImportWithTheExpectedCounts) {
  struct Case {
    const char* file;
    int band;
    int imported;
    int skipped;
    int changed;
    std::vector<std::string> reasons;  // of the skipped rows, in order
  };
  const std::vector<Case> cases = {
      {"marine.csv",
       kBandVhf,
       55,
       2,
       0,
       {"Frequency 121.500000 MHz is outside the band", "Frequency 122.750000 MHz is outside"}},
      {"frs_gmrs.csv", kBandUhf, 31, 1, 0, {"CrossMode \"\" is not a cross mode"}},
      {"repeaters.csv",
       kBandVhf,
       8,
       4,
       2,
       {"Mode DV is not a mode of this radio", "Frequency 90.900000 MHz is outside the band",
        "Tone \"TSQL-R\"", "Frequency 53.010000 MHz is outside the band"}},
  };
  for (const Case& c : cases) {
    const std::string text = ReadPlan(c.file);
    ASSERT_FALSE(text.empty()) << c.file;
    EXPECT_TRUE(exchange::IsChirpCsv(text)) << c.file;
    const ChirpImport plan = PlanChirpImport(text, DefaultCodeplug(c.band), 0, 1);
    ASSERT_TRUE(plan.Importable()) << c.file << "\n" << AllMessages(plan);
    EXPECT_EQ(plan.Imported(), c.imported) << c.file << "\n" << AllMessages(plan);
    EXPECT_EQ(plan.Skipped(), c.skipped) << c.file;
    EXPECT_EQ(plan.Changed(), c.changed) << c.file << "\n" << AllMessages(plan);
    std::vector<std::string> reasons;
    for (const exchange::ChirpRow& row : plan.rows) {
      if (row.channel < 0) reasons.push_back(row.skipped);
    }
    ASSERT_EQ(reasons.size(), c.reasons.size()) << c.file;
    for (std::size_t i = 0; i < reasons.size(); ++i) {
      EXPECT_TRUE(Contains(reasons[i], c.reasons[i])) << c.file << ": " << reasons[i];
    }
    EXPECT_EQ(plan.result.channels.count[0], std::max(16, c.imported)) << c.file;
  }
  // What the marine plan's duplex and weather channels became.
  const ChirpImport marine =
      PlanChirpImport(ReadPlan("marine.csv"), DefaultCodeplug(kBandVhf), 0, 1);
  EXPECT_EQ(Shown(marine.result, 11), "W|CH 15|156.75000|---.-----|-----|-----|-----|H|B|");
  EXPECT_EQ(Shown(marine.result, 39), "W|CH 20|161.60000|157.00000|-----|-----|-----|H|B|");
  EXPECT_EQ(Shown(marine.result, 48), "W|WX1|162.55000|---.-----|-----|-----|-----|H|-|");
  const ChirpImport club =
      PlanChirpImport(ReadPlan("repeaters.csv"), DefaultCodeplug(kBandVhf), 0, 1);
  EXPECT_EQ(Shown(club.result, 5), "W|TOWN UHF|442.80000|447.80000|DCS|411|025|H|-|");
}

// An export reads back as the same channels and in the format's own columns.
TEST(ChirpCsv, ExportImportsBackToTheSameChannels) {
  const Codeplug fresh = DefaultCodeplug(kBandVhf);
  const std::string plan =
      kRichPlan + Row(12, "146.520", "146.520000") + Row(13, "Fine", "146.50125");
  const ChirpImport first = PlanChirpImport(plan, fresh, 0, 1);
  ASSERT_TRUE(first.Importable()) << AllMessages(first);
  const std::string exported = exchange::ExportChirpCsv(first.result);
  EXPECT_TRUE(exchange::IsChirpCsv(exported));
  const ChirpImport again = PlanChirpImport(exported, fresh, 0, 1);
  ASSERT_TRUE(again.Importable()) << AllMessages(again);
  EXPECT_EQ(AllMessages(again), "");
  EXPECT_EQ(again.Imported(), 13);
  for (int i = 0; i < 13; ++i) EXPECT_EQ(Shown(again.result, i), Shown(first.result, i)) << i;

  // The lines as another programmer reads them.
  const std::size_t first_line = exported.find("\r\n") + 2;
  EXPECT_EQ(exported.substr(0, first_line), kHeader.substr(0, kHeader.size() - 1) + "\r\n");
  const auto line = [&](int n) {
    std::size_t at = first_line;
    for (int i = 1; i < n; ++i) at = exported.find("\r\n", at) + 2;
    return exported.substr(at, exported.find("\r\n", at) - at);
  };
  EXPECT_EQ(line(1),
            "1,YARD,151.820000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,NFM,5.00,,Low,,,,,");
  EXPECT_EQ(
      line(2),
      "2,W1ABC RP,146.940000,-,0.600000,Tone,100.0,88.5,023,NN,023,Tone->Tone,FM,5.00,,High,,,"
      ",,");
  EXPECT_EQ(
      line(3),
      "3,GATE,147.195000,+,0.600000,TSQL,123.0,123.0,023,NN,023,Tone->Tone,FM,5.00,,High,,,,,");
  EXPECT_EQ(
      line(4),
      "4,DEPOT,154.570000,,0.000000,Cross,88.5,88.5,023,NN,047,DTCS->DTCS,FM,5.00,,High,,,,,");
  EXPECT_EQ(
      line(10),
      "10,WEATHER,162.550000,off,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,6.25,,High,,,,,");
  EXPECT_EQ(line(11),
            "11,XBAND,145.230000,split,440.230000,Tone,67.0,88.5,023,NN,023,Tone->Tone,FM,"
            "5.00,,High,,,,,");
  EXPECT_EQ(line(13),
            "13,FINE,146.501250,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,1.25,,"
            "High,,,,,");
  // Channel 14 onwards are not programmed: they are not in the plan.
  EXPECT_EQ(std::count(exported.begin(), exported.end(), '\n'), 14);
}

// The plan is recognised without a flag; --strict and an unplaceable plan write nothing.
TEST(ChirpCsv, CommandLineImportAndExport) {
  testing::TempDir dir;
  const auto run = [&](const std::string& args) { return testing::RunAt(dir, args); };
  const auto write = [&](const std::string& name, const std::string& text) {
    testing::WriteText(dir.File(name), text);
  };
  ASSERT_EQ(run("new --band vhf -o @a.q40").status, 0);
  write("plan.csv", kHeader + Row(1, "Simplex", "146.520000") +
                        Row(2, "Rpt", "146.940000", "-", "0.600000", "Tone", "100.0") +
                        Row(3, "Air", "121.500000"));
  auto r = run("import-channels @a.q40 @plan.csv -o @b.q40 --group 2 --start 1");
  ASSERT_EQ(r.status, 0) << r.err;
  ExpectHas(r.err, {"warning: row 4 (Location 3, \"Air\"): skipped: Frequency",
                    "2 rows into group 2, channels 17-18; 1 row skipped; group 2 grows "
                    "by 2 free channels"});
  r = run("channels @b.q40 --csv --format chirp");
  ASSERT_EQ(r.status, 0) << r.err;
  ExpectHas(r.out,
            {"\r\n2,SIMPLEX,146.520000,,0.000000,", "\r\n3,RPT,146.940000,-,0.600000,Tone,100.0,"});
  EXPECT_EQ(run("channels @b.q40 --format chirp").status, 2);  // --format needs --csv

  // The export goes back in the same: nothing to say, exit 0.
  write("back.csv", r.out);
  r = run("import-channels @a.q40 @back.csv -o @c.q40 --strict");
  EXPECT_EQ(r.status, 0) << r.err;

  r = run("import-channels @a.q40 @plan.csv -o @d.q40 --strict");
  EXPECT_EQ(r.status, 1);
  ExpectHas(r.err, {"1 row skipped and 0 values changed to fit (--strict); nothing "
                    "written"});
  EXPECT_FALSE(std::filesystem::exists(dir.File("d.q40")));

  write("air.csv", kHeader + Row(1, "Air", "121.500000"));
  r = run("import-channels @a.q40 @air.csv -o @e.q40");
  EXPECT_EQ(r.status, 1);
  ExpectHas(r.err, {"no row can be imported; nothing written"});
  EXPECT_FALSE(std::filesystem::exists(dir.File("e.q40")));

  r = run("import-channels @a.q40 @plan.csv -o @f.q40 --start 30");
  EXPECT_EQ(r.status, 1);
  ExpectHas(r.err, {"first channel 30: group 1 has 16 channels"});
  EXPECT_FALSE(std::filesystem::exists(dir.File("f.q40")));

  // Forced the other way, the plan is no CSV of this program; --group needs a plan.
  r = run("import-channels @a.q40 @plan.csv -o @g.q40 --format ql40");
  EXPECT_EQ(r.status, 1);
  ExpectHas(r.err, {"no \"Chn\" column"});
  write("own.csv", "Chn,Frequency Receive\r\n2,150.00000\r\n");
  r = run("import-channels @a.q40 @own.csv -o @h.q40 --group 2");
  EXPECT_EQ(r.status, 2);
  ExpectHas(r.err, {"--group and --start place the rows of a CHIRP plan"});
  EXPECT_EQ(run("import-channels @a.q40 @own.csv -o @h.q40").status, 0);
}

}  // namespace
}  // namespace ql40

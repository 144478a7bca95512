// The printed report, page by page, against the lines a dealer files; and ql40 report as a
// dealer runs it.

#include "report/report.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "codeplug/codecs.h"
#include "codeplug/files.h"
#include "support/test_support.h"

namespace ql40 {
namespace {

using Lines = std::vector<std::string>;

// A new codeplug's report as a dealer files it; the other cases state how theirs differ.
struct Golden {
  Lines settings, channels, signalling;
  std::string text;
};

const Golden& NewCodeplugReport() {
  static const Golden golden = [] {
    Golden g;
    g.text = testing::ReadText(
        (std::filesystem::path(__FILE__).parent_path() / "new_codeplug_report.txt").string());
    std::vector<Lines> pages(1);
    std::istringstream lines(g.text);
    for (std::string line; std::getline(lines, line);) {
      if (line == "\f") {
        pages.emplace_back();
      } else {
        pages.back().push_back(line);
      }
    }
    if (pages.size() == 3) g = {pages[0], pages[1], pages[2], g.text};
    return g;
  }();
  return golden;
}

const std::string kChannelData = "                **********   CHANNEL DATA   **********";

// The four heading lines with the letters of the code column ("Page" in the golden report).
Lines Headings(const char* letters) {
  const Lines& page = NewCodeplugReport().channels;
  Lines lines(page.begin() + 3, page.begin() + 7);
  for (std::size_t i = 0; i < lines.size(); ++i) lines[i][79] = letters[i];
  return lines;
}

Lines ChannelPage(bool first, const std::string& group_line, const Lines& channels,
                  const char* letters = "Page") {
  Lines page;
  if (first) page = {"     ", kChannelData};
  page.push_back(group_line);
  const Lines headings = Headings(letters);
  page.insert(page.end(), headings.begin(), headings.end());
  page.push_back(std::string(80, '-'));
  page.insert(page.end(), channels.begin(), channels.end());
  return page;
}

Codeplug NewDoc() {
  Codeplug doc;
  doc.ResetToDefaults();
  doc.path = "/home/dealer/fleet/fleet.q40";
  return doc;
}

// A channel of the new codeplug as it prints once programmed.
std::string PlainLine(int number) {
  return Format("%3d - W  CH-%03d   160.10000 160.10000 ----- ----- ----- - - H 2  - X  0 - - -- -",
                number, number);
}

void Program(Codeplug& doc, int first, int last) {
  for (int n = first; n <= last; ++n) doc.channels.records[n - 1].status |= 1;
}

void Set(ChannelRecord& r, int a0, int a1, int a3, int a4, int a5, int squelch, int type,
         int status) {
  const auto byte = [](int v) { return static_cast<std::uint8_t>(v); };
  r.set_attribute_bytes({byte(a0), byte(a1), r.attribute_bytes()[2], byte(a3), byte(a4), byte(a5)});
  r.squelch = static_cast<std::uint8_t>(squelch);
  r.sub_audio_type = type;
  r.status = static_cast<std::uint8_t>(status);
}

void SetOptionUnit(Codeplug& doc, int unit) {
  OptionSettings option;
  option.Decode(doc.image);
  option.option_unit = unit;
  option.Encode(doc.image);
  doc.option_unit = unit;
}

// Replaces the value after a line's label (27 characters) on each of the lines.
void SetValues(Lines& page, int first, int last, const std::string& value) {
  for (int i = first; i <= last; ++i) page[i] = page[i].substr(0, 27) + value;
}

TEST(Report, NewCodeplugPrintsTheGoldenReport) {
  const Golden& golden = NewCodeplugReport();
  ASSERT_EQ(golden.settings.size(), 59u) << "golden report missing or damaged";
  const Codeplug doc = NewDoc();
  const Report report(doc);
  ASSERT_EQ(report.PageCount(), 3);
  EXPECT_EQ(report.PageLines(1), golden.settings);
  EXPECT_EQ(report.PageLines(2), ChannelPage(true, "GROUP 1:  ---   ", {PlainLine(1)}));
  EXPECT_EQ(report.PageLines(3), golden.signalling);
  EXPECT_TRUE(report.PageLines(0).empty());
  EXPECT_TRUE(report.PageLines(4).empty());
  EXPECT_EQ(report.Text(), golden.text);
  EXPECT_EQ(ReportText(doc), golden.text);

  Codeplug unnamed = NewDoc();
  unnamed.path = "<none>";
  EXPECT_EQ(Report(unnamed).PageLines(1)[4],
            "                                                   File Name: <none>");
}

TEST(Report, ChannelPagesHoldThirtyTwoPrintableChannelsOfOneGroup) {
  Codeplug doc = NewDoc();
  doc.channels.records[0].status = 0;
  EXPECT_EQ(Report(doc).PageCount(), 2) << "no printable channel";
  doc.channels.records[0].status = 1;
  doc.channels.records[0].rx_frequency = doc.channels.records[0].tx_frequency = 0;
  EXPECT_EQ(Report(doc).PageCount(), 2) << "programmed without frequencies";
  doc.channels.records[0].tx_frequency = 16010000;
  EXPECT_EQ(Report(doc).PageCount(), 3) << "a transmit frequency alone prints";

  doc = NewDoc();
  auto& table = doc.channels;
  table.count[0] = 40;  // channels 1-40
  table.count[2] = 5;   // channels 41-45
  Program(doc, 1, 33);
  Program(doc, 42, 42);
  Program(doc, 44, 45);
  table.records[44].rx_frequency = table.records[44].tx_frequency = 0;
  table.scan_mode[2] = 3;
  const Report report(doc);
  ASSERT_EQ(report.PageCount(), 5);
  Lines first;
  for (int n = 1; n <= 32; ++n) first.push_back(PlainLine(n));
  EXPECT_EQ(report.PageLines(2), ChannelPage(true, "GROUP 1:  ---   ", first));
  EXPECT_EQ(report.PageLines(3), ChannelPage(false, "GROUP 1:  ---   ", {PlainLine(33)}));
  EXPECT_EQ(report.PageLines(4),
            ChannelPage(false, "GROUP 3:  QTS   ", {PlainLine(42), PlainLine(44)}));
  EXPECT_EQ(report.PageLines(5), NewCodeplugReport().signalling);

  // Counts that run past the channel array print what the array holds.
  table.count[3] = 100000;
  table.count[4] = -7;
  Program(doc, 512, 512);
  EXPECT_EQ(Report(doc).PageCount(), 6);
}

TEST(Report, ChannelLinesShowEveryColumn) {
  Codeplug doc = NewDoc();
  auto& r = doc.channels.records;
  Program(doc, 1, 7);
  doc.channels.priority[0] = 1;
  // Narrow, tag with decimal point, inhibited transmit, CTCSS receive Off, receive power save,
  // low power level "1", both scan lists, squelch -3, ANI, encryption, busy tone, code 10.
  Set(r[0], 0x3E, 0x02, 0x9A, 13, 0x80, 0x1B, 1, 0x31);
  r[0].rx_frequency = 14652000;
  r[0].tag = "14652000";
  // DCS first and last codes, transmit power save, squelch +7, busy channel, code 1, and a
  // tag too short for its point.
  Set(r[1], 0x01, 0x01, 0x11, 0x80 | 106, 1, 0x17, 2, 0x11);
  r[1].tx_frequency = 3800000;
  r[1].tag = "AB";
  // CTCSS first and last tones; power level 3, lock-out 3 and code 15 lie outside their lists.
  Set(r[2], 0x03, 0x07, 0x1F, 50, 1, 0, 1, 0x21);
  r[3].status = 0;  // skipped without a line
  Set(r[4], 0x01, 0x04, 0, 0, 60, 0, 1, 0x01);
  Set(r[5], 0x01, 0x04, 0, 0, 120, 0, 2, 0x01);
  Set(r[6], 0x01, 0x04, 0, 0, 0, 0, 5, 0x01);

  EXPECT_EQ(
      Report(doc).PageLines(2),
      ChannelPage(
          true, "GROUP 1:  ---   ",
          {"  1 P N 146.52000 146.52000 ---.----- CTCSS Off 100.0 X - L 1  B - -3 X X BT 0",
           "  2 - W AB        160.10000  38.00000 DCS     023   754 - X H 2  D - +7 - - BC 1",
           "  3 - W  CH-003   160.10000 160.10000 CTCSS  67.0 254.1 - - H ?(3)  U X  0 - - ?(3) 15",
           "  5 - W  CH-005   160.10000 160.10000 CTCSS ?(60) Off - - H 2  - X  0 - - -- -",
           "  6 - W  CH-006   160.10000 160.10000 DCS     ?(120)   Off - - H 2  - X  0 - - -- -",
           "  7 - W  CH-007   160.10000 160.10000 ?(5)  ----- ----- - - H 2  - X  0 - - -- -"}));
}

TEST(Report, SettingsPageListsAtTheirFirstAndLastEntries) {
  Codeplug doc = NewDoc();
  Image& image = doc.image;
  image[256] &= 0x3F;  // channel spacing 0
  image[27] &= 0x7E;   // encryption device and 16-key keypad fitted
  image[171] = 0x00;   // timer 0.5 min, penalty 0, release 0
  image[170] = 0x40;   // auto power off 0.5 h, receive save ABS
  image[168] = 0x00;   // dual watch 500
  image[169] = 0x00;   // resume times 0.25 and 2
  image[180] &= 0x0E;  // talk back disabled, toggle [B] None
  image[186] = 0x00;   // power on Back up, revert Start, no locks
  image[187] |= 0x20;  // set mode disabled
  image[181] = 0x00;   // toggles [A] and [|] None
  for (int k = 0; k < kKeyCount; ++k) image[KeyByteOffset(k)] = 0;

  Lines first = NewCodeplugReport().settings;
  first[16] = "     Channel Spacing:      5,6.25kHz     ";
  SetValues(first, 18, 19, "Yes");
  first[25] = "     Tx Timeout Timer:     0.5 mins";
  first.insert(first.begin() + 28,
               {"     Auto power off after  0.5 Hr ", "     Receive Save Mode:    ABS"});
  first[34] = "     Dual Watch Time:      500  msec";
  first[35] = "     Scan Resume Time 1:   0.25 secs";
  first[36] = "     Scan Resume Time 2:   2    secs";
  SetValues(first, 37, 37, "Disabled");
  SetValues(first, 38, 38, "Start Channel    ");
  SetValues(first, 43, 43, "Disabled");
  SetValues(first, 45, 46, "Off");
  SetValues(first, 47, 57, "None            ");
  EXPECT_EQ(Report(doc).PageLines(1), first);

  image[25] = static_cast<std::uint8_t>((image[25] & 0x3F) | 0x80);  // UHF
  for (int offset : {325, 327, 329, 331}) image[offset] |= 0x80;     // upper injection
  image[256] |= 0x80;                                                // channel spacing 2
  image[27] = 0xA9;    // no encryption device, no keypad, PT-Trunk
  image[171] = 0xEF;   // timer 7, penalty 60, release 5
  image[170] = 0xC7;   // auto power off 8 h, receive save 1:7
  image[168] = 10;     // dual watch 3000
  image[169] = 0xFF;   // resume times 14 and 60
  image[180] |= 0xC1;  // talk back enabled, toggle [B] Group 3
  image[186] = 0x7F;   // power on Scan, revert Last Busy, all locks on
  image[187] &= 0xDF;  // set mode enabled
  image[181] = 0xCC;   // toggles [A] and [|] Group 3
  for (int k = 0; k < kKeyCount; ++k) image[KeyByteOffset(k)] = kKeyFnAcc2;

  Lines last = NewCodeplugReport().settings;
  last.insert(last.begin() + 28, {"", ""});
  SetValues(last, 12, 12, "UHF");
  SetValues(last, 15, 15, "Upper");
  SetValues(last, 20, 20, "PT-Trunk");
  last[25] = "     Tx Timeout Timer:     7   mins";
  last[26] = "     TOT Penalty Timer:    60  secs";
  last[27] = "     PTT Release Timer:    5   secs";
  last[28] = "     Auto power off after  8 Hrs  ";
  last[29] = "     Receive Save Mode:    1:7";
  last[34] = "     Dual Watch Time:      3000 msec";
  last[35] = "     Scan Resume Time 1:   14   secs";
  last[36] = "     Scan Resume Time 2:   60   secs";
  SetValues(last, 38, 38, "Last Busy Channel");
  SetValues(last, 44, 46, "On ");
  SetValues(last, 47, 54, "ACC 2           ");
  SetValues(last, 55, 57, "Group 3         ");
  SetValues(last, 60, 60, "Scan   ");
  EXPECT_EQ(Report(doc).PageLines(1), last);
}

TEST(Report, StoredValuesOutsideTheirListsAreNamedNotReplaced) {
  Codeplug doc = NewDoc();
  doc.image[256] |= 0xC0;                                                        // spacing 3
  doc.image[27] = static_cast<std::uint8_t>((doc.image[27] & 0x83) | (9 << 3));  // unit 9
  doc.image[168] = 200;                                                          // dual watch
  doc.image[KeyByteOffset(kKeyA)] = 21;
  doc.image[181] = static_cast<std::uint8_t>((doc.image[181] & 0xF0) | 13);  // toggle centre
  doc.image[186] |= 0xE0;                                                    // power on 7
  doc.option_unit = 9;
  const Report report(doc);
  Lines expected = NewCodeplugReport().settings;
  SetValues(expected, 16, 16, "?(3)");
  SetValues(expected, 20, 20, "?(9)");
  expected[32] = "     Dual Watch Time:      ?(200) msec";
  SetValues(expected, 49, 49, "?(21)");
  SetValues(expected, 54, 54, "?(13)");
  SetValues(expected, 58, 58, "?(7)");
  EXPECT_EQ(report.PageLines(1), expected);
  // An unknown unit prints paging codes, as without one.
  EXPECT_EQ(report.PageLines(2), ChannelPage(true, "GROUP 1:  ---   ", {PlainLine(1)}));
  EXPECT_EQ(report.PageLines(3), NewCodeplugReport().signalling);
}

TEST(Report, OptionUnitChoosesHeadingsAndSignallingSection) {
  const char* letters[] = {"Page", "2Ton", " SIG", " SIG", " SIG", "Page"};
  for (int unit = kOptionNone; unit <= kOptionPtTrunk; ++unit) {
    Codeplug doc = NewDoc();
    SetOptionUnit(doc, unit);
    const Report report(doc);
    EXPECT_EQ(report.PageLines(2),
              ChannelPage(true, "GROUP 1:  ---   ", {PlainLine(1)}, letters[unit]))
        << unit;
    EXPECT_EQ(report.PageLines(3)[26],
              unit == kOption2Tone ? "     2 TONE Codes" : "     PAGE Codes")
        << unit;
  }
}

TEST(Report, SignallingPageShowsAniDtmfAndPagingCodes) {
  Codeplug doc = NewDoc();
  doc.image[188] = 0x3F;  // Option ANI, PTT Released, 500 msec, 66 msec
  doc.image[385] = 0x10;  // 100 msec, answer back Off, call times Off, keypad Disabled
  EncodeDigitString(doc.image, kOffsetAniCode, "123456789012345");
  EncodeDigitString(doc.image, kOffsetEmergencyCode, "*#A");
  EncodeDigitString(doc.image, kOffsetDtmfCodes, "0");
  EncodeDigitString(doc.image, kOffsetDtmfCodes + 9 * kDigitStringBytes, "ABCD*#");
  doc.image[482] = 0x21;  // slot 1: "12B", ENC & DEC
  doc.image[483] = 0x2B;
  doc.image[500] = 0x07;  // slot 10: "700", ENC Only
  doc.image[501] = 0x00;

  Lines expected = NewCodeplugReport().signalling;
  expected[2] = "        ANI Type:         Option ANI";
  expected[3] = "        ANI Transmit:     PTT Released";
  expected[4] = "        ANI Delay:        500 msec";
  expected[5] = "        ANI Speed:        66 msec";
  expected[6] = "        ANI Code:         123456789012345";
  expected[7] = "        Emergency Code:               *#A";
  expected[11] = "        DTMF Speed:       100 msec";
  expected[12] = "        Answer Back:      Off";
  expected[13] = "        Call times:       Off    ";
  expected[14] = "        DTMF A to D Keys: Disabled";
  expected[15] = "        DTMF Code  1:                   0";
  expected[24] = "        DTMF Code  0:              ABCD*#";
  expected[28] = "        Page Code  1:     12B Enc & Dec";
  expected[37] = "        Page Code  0:     700 Enc Only";
  EXPECT_EQ(Report(doc).PageLines(3), expected);

  doc.image[188] = 0x30;  // 50 msec, 25 msec
  doc.image[385] = 0x11;  // 1 time
  expected[4] = "        ANI Delay:        50 msec ";
  expected[5] = "        ANI Speed:        25 msec";
  expected[13] = "        Call times:       1 time ";
  EXPECT_EQ(Report(doc).PageLines(3), expected);
}

TEST(Report, TwoToneCodesInStandardAndUserDefinedForm) {
  Codeplug doc = NewDoc();
  SetOptionUnit(doc, kOption2Tone);
  doc.image[482] = 0x17;  // MOTOROLA 3, tones 3 and 4
  doc.image[483] = 0x18;
  doc.image[484] = 230;  // REACH GRP E, first and last tone
  doc.image[485] = 239;
  Lines expected = NewCodeplugReport().signalling;
  expected[26] = "     2 TONE Codes";
  for (int n = 0; n < 10; ++n) {
    expected[28 + n] = Format("        %2d:  -----------   ------   ------ ", (n + 1) % 10);
  }
  expected[28] = "         1:  MOTOROLA  3    313.0    953.7 ";
  expected[29] = "         2:  REACH GRP E    804.0    588.0 ";
  EXPECT_EQ(Report(doc).PageLines(3), expected);

  // Two tones of different sets: every used slot prints its stored numbers.
  doc.image[486] = 0x00;
  doc.image[487] = 0x0A;
  expected[28] = "         1:  User Defined      23       24 ";
  expected[29] = "         2:  User Defined     230      239 ";
  expected[30] = "         3:  User Defined       0       10 ";
  EXPECT_EQ(Report(doc).PageLines(3), expected);
  EXPECT_EQ(doc.tone_format, kToneStandard) << "the report leaves the document alone";
  doc.tone_format = kToneUserDefined;
  doc.image[486] = 0xFF;
  EXPECT_EQ(Report(doc).PageLines(3)[28], "         1:  User Defined      23       24 ");
}

TEST(Report, ScrambledImagesPrintEveryPage) {
  std::mt19937 random(4100);
  for (int round = 0; round < 25; ++round) {
    Codeplug doc;
    doc.ResetToDefaults();
    for (auto& byte : doc.image) byte = static_cast<std::uint8_t>(random());
    doc.file_loaded = true;
    doc.RefreshFromImage();
    const Report report(doc);
    const std::string text = report.Text();
    std::size_t breaks = 0;
    for (auto at = text.find("\n\f\n"); at != std::string::npos; at = text.find("\n\f\n", at + 1)) {
      ++breaks;
    }
    EXPECT_EQ(breaks + 1, static_cast<std::size_t>(report.PageCount())) << round;
    EXPECT_EQ(report.PageLines(report.PageCount()).size(), 40u) << round;
  }
}

using testing::RunQl40;

TEST(ReportCli, PrintsOrWritesTheReportAndSaysWhyWhenItCannot) {
  testing::TempDir dir;
  const std::string file = dir.File("fleet.q40");
  ASSERT_EQ(RunQl40(dir, "new --band uhf -o " + file).status, 0);
  Codeplug doc;
  testing::ScriptedPrompter prompter;
  LoadCodeplug(doc, file, FileEnvironment{}, prompter);
  ASSERT_TRUE(doc.file_loaded);
  const std::string expected = Report(doc).Text();
  ASSERT_NE(expected.find("File Name: fleet.q40\n"), std::string::npos);

  auto r = RunQl40(dir, "report " + file);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, expected);
  r = RunQl40(dir, "report " + file + " -o " + dir.File("fleet.txt"));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(testing::ReadText(dir.File("fleet.txt")), expected);

  r = RunQl40(dir, "report " + file + " -o " + dir.File("no/folder/x.txt"));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("cannot"), std::string::npos);
}

}  // namespace
}  // namespace ql40

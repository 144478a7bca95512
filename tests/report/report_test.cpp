// The printed report, page by page, against the lines a dealer files.

#include "report/report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codeplug/codecs.h"
#include "settings/general_settings.h"
#include "settings/key_assignment.h"
#include "settings/option_settings.h"
#include "settings/scan_settings.h"
#include "signalling/dtmf.h"

namespace ql40 {
namespace {

using Lines = std::vector<std::string>;

const Lines kDefaultSettings = {
    "       ****************************************************",
    "       *****  Kestra  PT-410/610 Portable Transceiver *****",
    "       ****************************************************",
    "",
    "                                                   File Name: fleet.q40",
    "",
    "",
    "Serial No:  0N010000",
    "",
    "",
    "Hardware Environments",
    "",
    "     Band:                 VHF",
    "     Ref Xtal:             21.60MHz",
    "     First IF:             21.80MHz",
    "     Local Offset:         Lower",
    "     Channel Spacing:      5,6.25,1.25kHz",
    "",
    "     Encryption Device:    No ",
    "     16 Keypad:            No ",
    "     Sub CPU:              No      ",
    "",
    "",
    "Power Saving Parameters",
    "",
    "     Tx Timeout Timer:     3   mins",
    "     TOT Penalty Timer:    0   secs",
    "     PTT Release Timer:    0   secs",
    "",
    "",
    "Scan Parameters",
    "",
    "     Dual Watch Time:      1500 msec",
    "     Scan Resume Time 1:   2    secs",
    "     Scan Resume Time 2:   5    secs",
    "     Talk Back:            Enabled ",
    "     Revert Channel:       PRI Channel      ",
    "",
    "",
    "Key Definition",
    "",
    "     Set Mode:             Enabled ",
    "     PTT Lock:             Off",
    "     Dial Lock:            On ",
    "     Key Lock:             On ",
    "     Monitor Key:          Monitor         ",
    "     Lamp Key:             Lamp            ",
    "     SEL 1 Key:            None            ",
    "     SEL 2 Key:            None            ",
    "     [A] Key:              None            ",
    "     [B] Key:              None            ",
    "     [C] Key:              None            ",
    "     [D] Key:              None            ",
    "     Toggle SW [A]:        Lo Power        ",
    "     Toggle SW [|]:        None            ",
    "     Toggle SW [B]:        LCD Invert      ",
    "",
    "",
    "     Power on condition:   Back up"};

const Lines kPageHeadings = {
    "                                                        Pwr               E L  P ",
    "    P W                                                 Sav        T    A n oO a ",
    "    r /               FREQUENCY        SUB AUDIO        R T Pwr  S O    N c cu g ",
    "Chn i N   TAG     Receive   Transmit  Type   Dec   Enc  X X H L  C T SQ I r kt e "};
const Lines kTwoToneHeadings = {
    "                                                        Pwr               E L  2 ",
    "    P W                                                 Sav        T    A n oO T ",
    "    r /               FREQUENCY        SUB AUDIO        R T Pwr  S O    N c cu o ",
    "Chn i N   TAG     Receive   Transmit  Type   Dec   Enc  X X H L  C T SQ I r kt n "};
const Lines kSignalHeadings = {
    "                                                        Pwr               E L    ",
    "    P W                                                 Sav        T    A n oO S ",
    "    r /               FREQUENCY        SUB AUDIO        R T Pwr  S O    N c cu I ",
    "Chn i N   TAG     Receive   Transmit  Type   Dec   Enc  X X H L  C T SQ I r kt G "};
const std::string kRule(80, '-');

const Lines kDefaultSignalling = {"     ANI Parameters",
                                  "",
                                  "        ANI Type:         DTMF      ",
                                  "        ANI Transmit:     PTT Pressed ",
                                  "        ANI Delay:        100 msec",
                                  "        ANI Speed:        50 msec",
                                  "        ANI Code:                        ",
                                  "        Emergency Code:                  ",
                                  "",
                                  "     DTMF Parameters",
                                  "",
                                  "        DTMF Speed:       50 msec",
                                  "        Answer Back:      On ",
                                  "        Call times:       3 times",
                                  "        DTMF A to D Keys: Enabled ",
                                  "        DTMF Code  1:                    ",
                                  "        DTMF Code  2:                    ",
                                  "        DTMF Code  3:                    ",
                                  "        DTMF Code  4:                    ",
                                  "        DTMF Code  5:                    ",
                                  "        DTMF Code  6:                    ",
                                  "        DTMF Code  7:                    ",
                                  "        DTMF Code  8:                    ",
                                  "        DTMF Code  9:                    ",
                                  "        DTMF Code  0:                    ",
                                  "",
                                  "     PAGE Codes",
                                  "",
                                  "        Page Code  1:         ",
                                  "        Page Code  2:         ",
                                  "        Page Code  3:         ",
                                  "        Page Code  4:         ",
                                  "        Page Code  5:         ",
                                  "        Page Code  6:         ",
                                  "        Page Code  7:         ",
                                  "        Page Code  8:         ",
                                  "        Page Code  9:         ",
                                  "        Page Code  0:         ",
                                  "",
                                  ""};

Codeplug NewDoc() {
  Codeplug doc;
  doc.ResetToDefaults();
  doc.path = "/home/dealer/fleet/fleet.q40";
  return doc;
}

// A channel of the new codeplug as it prints, untouched but for being programmed.
std::string PlainLine(int number) {
  return Format("%3d - W  CH-%03d   160.10000 160.10000 ----- ----- ----- - - H 2  - X  0 - - -- -",
                number, number);
}

Lines ChannelPage(const std::string& group_line, const Lines& headings, const Lines& channels) {
  Lines page{group_line};
  page.insert(page.end(), headings.begin(), headings.end());
  page.push_back(kRule);
  page.insert(page.end(), channels.begin(), channels.end());
  return page;
}

void Program(Codeplug& doc, int first, int last) {
  for (int n = first; n <= last; ++n) doc.channels.records[n - 1].status |= 1;
}

void SetOptionUnit(Codeplug& doc, int unit) {
  OptionSettings option;
  option.Decode(doc.image);
  option.option_unit = unit;
  option.Encode(doc.image);
  doc.option_unit = unit;
}

TEST(Report, NewCodeplugPrintsSettingsItsOneChannelAndSignalling) {
  const Codeplug doc = NewDoc();
  const Report report(doc);
  ASSERT_EQ(report.PageCount(), 3);
  EXPECT_EQ(report.PageLines(1), kDefaultSettings);
  Lines channels = {"     ", "                **********   CHANNEL DATA   **********"};
  const Lines group = ChannelPage("GROUP 1:  ---   ", kPageHeadings, {PlainLine(1)});
  channels.insert(channels.end(), group.begin(), group.end());
  EXPECT_EQ(report.PageLines(2), channels);
  EXPECT_EQ(report.PageLines(3), kDefaultSignalling);
  EXPECT_TRUE(report.PageLines(0).empty());
  EXPECT_TRUE(report.PageLines(4).empty());

  std::string text;
  for (const Lines* page :
       std::vector<const Lines*>{&kDefaultSettings, &channels, &kDefaultSignalling}) {
    if (!text.empty()) text += "\f\n";
    for (const auto& line : *page) text += line + "\n";
  }
  EXPECT_EQ(report.Text(), text);
  EXPECT_EQ(ReportText(doc), text);
  // Without a file the marker stands for the name.
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
  doc.channels.records[0].rx_frequency = 0;
  doc.channels.records[0].tx_frequency = 0;
  EXPECT_EQ(Report(doc).PageCount(), 2) << "programmed without frequencies";
  doc.channels.records[0].tx_frequency = 16010000;
  EXPECT_EQ(Report(doc).PageCount(), 3) << "a transmit frequency alone prints";

  doc = NewDoc();
  auto& table = doc.channels;
  table.count[0] = 40;  // channels 1-40
  table.count[1] = 0;
  table.count[2] = 5;  // channels 41-45
  Program(doc, 1, 33);
  Program(doc, 42, 42);
  Program(doc, 44, 45);
  table.records[44].rx_frequency = table.records[44].tx_frequency = 0;  // not printable
  table.scan_mode[2] = 3;
  const Report report(doc);
  ASSERT_EQ(report.PageCount(), 5);

  Lines first;
  for (int n = 1; n <= 32; ++n) first.push_back(PlainLine(n));
  Lines page2 = {"     ", "                **********   CHANNEL DATA   **********"};
  const Lines group1 = ChannelPage("GROUP 1:  ---   ", kPageHeadings, first);
  page2.insert(page2.end(), group1.begin(), group1.end());
  EXPECT_EQ(report.PageLines(2), page2);
  EXPECT_EQ(report.PageLines(3), ChannelPage("GROUP 1:  ---   ", kPageHeadings, {PlainLine(33)}));
  EXPECT_EQ(report.PageLines(4),
            ChannelPage("GROUP 3:  QTS   ", kPageHeadings, {PlainLine(42), PlainLine(44)}));
  EXPECT_EQ(report.PageLines(5), kDefaultSignalling);

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
  r[0].a0 = 0x08 | 0x20 | 0x10 | 0x04 | 0x02;
  r[0].a1 = 0x02;
  r[0].tag = "14652000";
  r[0].squelch = 0x10 | 0x08 | 0x03;
  r[0].rx_frequency = 14652000;
  r[0].sub_audio_type = 1;
  r[0].a5 = 0x80;
  r[0].a4 = 13;
  r[0].status = 0x31;
  r[0].a3 = 0x80 | 0x10 | 10;
  // DCS first and last codes, transmit power save, squelch +7, busy channel, code 1, a short
  // tag whose point cannot show.
  r[1].sub_audio_type = 2;
  r[1].a5 = 1;
  r[1].a4 = 0x80 | 106;
  r[1].squelch = 0x10 | 0x07;
  r[1].tag = "AB";
  r[1].a1 = 0x01;
  r[1].a3 = 0x11;
  r[1].status = 0x11;
  r[1].tx_frequency = 3800000;
  // CTCSS first and last tones; stored values outside their lists: power level 3, lock-out 3,
  // code 15.
  r[2].sub_audio_type = 1;
  r[2].a5 = 1;
  r[2].a4 = 50;
  r[2].a0 = 0x03;
  r[2].a1 = 0x07;
  r[2].a3 = 0x1F;
  r[2].status = 0x21;
  r[3].status = 0;  // skipped without a line
  r[4].sub_audio_type = 1;
  r[4].a5 = 60;
  r[4].a4 = 0;
  r[5].sub_audio_type = 2;
  r[5].a5 = 120;
  r[5].a4 = 0;
  r[6].sub_audio_type = 5;

  EXPECT_EQ(
      Report(doc).PageLines(2),
      (Lines{"     ", "                **********   CHANNEL DATA   **********", "GROUP 1:  ---   ",
             kPageHeadings[0], kPageHeadings[1], kPageHeadings[2], kPageHeadings[3], kRule,
             "  1 P N 146.52000 146.52000 ---.----- CTCSS   Off 100.0 X - L 1  B - -3 X X BT 0",
             "  2 - W AB        160.10000  38.00000 DCS     023   754 - X H 2  D - +7 - - BC 1",
             "  3 - W  CH-003   160.10000 160.10000 CTCSS  67.0 254.1 - - H ?(3)  U X  0 - - "
             "?(3) 15",
             "  5 - W  CH-005   160.10000 160.10000 CTCSS ?(60)   Off - - H 2  - X  0 - - -- -",
             "  6 - W  CH-006   160.10000 160.10000 DCS     ?(120)   Off - - H 2  - X  0 - - -- -",
             "  7 - W  CH-007   160.10000 160.10000 ?(5)  ----- ----- - - H 2  - X  0 - - -- -"}));
}

TEST(Report, SettingsPageListsAtTheirFirstAndLastEntries) {
  Codeplug doc = NewDoc();
  HardwareSettings hw;
  hw.Decode(doc.image);
  hw.channel_spacing = 0;
  hw.Encode(doc.image);
  OptionSettings option;
  option.Decode(doc.image);
  option.encryption_device = option.keypad_16 = 0;
  option.Encode(doc.image);
  GeneralSettings general;
  general.Decode(doc.image);
  general.transmit_timer = 0;
  general.apo_time = 1;
  general.receive_save = 0;
  general.Encode(doc.image);
  ScanSettings scan;
  const GroupCounts counts{16};
  scan.Decode(doc.image, counts);
  scan.dual_watch_time = scan.resume_time1 = scan.resume_time2 = 0;
  scan.talk_back = scan.revert_channel = 0;
  scan.Encode(doc.image, counts);
  KeyAssignment keys;
  keys.Decode(doc.image);
  keys.keys.fill(0);
  keys.toggles.fill(0);
  keys.set_mode = keys.dial_lock = keys.key_lock = 0;
  keys.Encode(doc.image, kOptionNone);

  Lines first = kDefaultSettings;
  first[16] = "     Channel Spacing:      5,6.25kHz     ";
  first[18] = "     Encryption Device:    Yes";
  first[19] = "     16 Keypad:            Yes";
  first[25] = "     Tx Timeout Timer:     0.5 mins";
  first.insert(first.begin() + 28,
               {"     Auto power off after  0.5 Hr ", "     Receive Save Mode:    ABS"});
  first[34] = "     Dual Watch Time:      500  msec";
  first[35] = "     Scan Resume Time 1:   0.25 secs";
  first[36] = "     Scan Resume Time 2:   2    secs";
  first[37] = "     Talk Back:            Disabled";
  first[38] = "     Revert Channel:       Start Channel    ";
  first[43] = "     Set Mode:             Disabled";
  first[45] = "     Dial Lock:            Off";
  first[46] = "     Key Lock:             Off";
  for (int line = 47; line <= 57; ++line)
    first[line] = first[line].substr(0, 27) + "None            ";
  EXPECT_EQ(Report(doc).PageLines(1), first);

  hw.band = kBandUhf;
  hw.injection = 1;
  hw.channel_spacing = 2;
  hw.Encode(doc.image);
  general.transmit_timer = 7;
  general.penalty_timer = general.release_timer = 3;
  general.apo_time = 3;
  general.receive_save = 7;
  general.power_on_condition = 3;
  general.Encode(doc.image);
  scan.dual_watch_time = 10;
  scan.resume_time1 = scan.resume_time2 = 15;
  scan.talk_back = 1;
  scan.revert_channel = 3;
  scan.Encode(doc.image, counts);
  keys.keys.fill(kKeyFnAcc2);
  keys.toggles.fill(kToggleFnGroup3);
  keys.set_mode = keys.ptt_lock = keys.dial_lock = keys.key_lock = 1;
  keys.Encode(doc.image, kOptionNone);
  SetOptionUnit(doc, kOptionPtTrunk);
  option.Decode(doc.image);
  option.encryption_device = option.keypad_16 = 1;
  option.Encode(doc.image);

  Lines last = first;
  last[12] = "     Band:                 UHF";
  last[15] = "     Local Offset:         Upper";
  last[16] = "     Channel Spacing:      5,6.25,1.25kHz";
  last[18] = "     Encryption Device:    No ";
  last[19] = "     16 Keypad:            No ";
  last[20] = "     Sub CPU:              PT-Trunk";
  last[25] = "     Tx Timeout Timer:     7   mins";
  last[26] = "     TOT Penalty Timer:    60  secs";
  last[27] = "     PTT Release Timer:    5   secs";
  last[28] = "     Auto power off after  8 Hrs  ";
  last[29] = "     Receive Save Mode:    1:7";
  last[34] = "     Dual Watch Time:      3000 msec";
  last[35] = "     Scan Resume Time 1:   14   secs";
  last[36] = "     Scan Resume Time 2:   60   secs";
  last[37] = "     Talk Back:            Enabled ";
  last[38] = "     Revert Channel:       Last Busy Channel";
  last[43] = "     Set Mode:             Enabled ";
  for (int line = 44; line <= 46; ++line) last[line] = last[line].substr(0, 27) + "On ";
  for (int line = 47; line <= 54; ++line)
    last[line] = last[line].substr(0, 27) + "ACC 2           ";
  for (int line = 55; line <= 57; ++line)
    last[line] = last[line].substr(0, 27) + "Group 3         ";
  last[60] = "     Power on condition:   Scan   ";
  EXPECT_EQ(Report(doc).PageLines(1), last);
}

TEST(Report, StoredValuesOutsideTheirListsAreNamedNotReplaced) {
  Codeplug doc = NewDoc();
  doc.image[256] = static_cast<std::uint8_t>((doc.image[256] & 0x3F) | 0xC0);    // spacing 3
  doc.image[27] = static_cast<std::uint8_t>((doc.image[27] & 0x83) | (9 << 3));  // unit 9
  doc.image[168] = 200;                                                          // dual watch
  doc.image[KeyByteOffset(kKeyA)] = 21;                                          // key function
  doc.image[181] = static_cast<std::uint8_t>((doc.image[181] & 0xF0) | 13);      // toggle centre
  doc.image[186] = static_cast<std::uint8_t>(doc.image[186] | 0xE0);             // power on 7
  doc.option_unit = 9;
  const Report report(doc);
  Lines expected = kDefaultSettings;
  expected[16] = "     Channel Spacing:      ?(3)";
  expected[20] = "     Sub CPU:              ?(9)";
  expected[32] = "     Dual Watch Time:      ?(200) msec";
  expected[49] = "     [A] Key:              ?(21)";
  expected[54] = "     Toggle SW [|]:        ?(13)";
  expected[58] = "     Power on condition:   ?(7)";
  EXPECT_EQ(report.PageLines(1), expected);
  // Paging codes and their heading, as without an option unit.
  EXPECT_EQ(report.PageLines(2),
            (Lines{"     ", "                **********   CHANNEL DATA   **********",
                   "GROUP 1:  ---   ", kPageHeadings[0], kPageHeadings[1], kPageHeadings[2],
                   kPageHeadings[3], kRule, PlainLine(1)}));
  EXPECT_EQ(report.PageLines(3), kDefaultSignalling);
}

TEST(Report, OptionUnitChoosesHeadingsAndSignallingSection) {
  const Lines* headings[] = {&kPageHeadings,   &kTwoToneHeadings, &kSignalHeadings,
                             &kSignalHeadings, &kSignalHeadings,  &kPageHeadings};
  for (int unit = kOptionNone; unit <= kOptionPtTrunk; ++unit) {
    Codeplug doc = NewDoc();
    SetOptionUnit(doc, unit);
    const Report report(doc);
    const Lines page = report.PageLines(2);
    ASSERT_EQ(page.size(), 9u);
    EXPECT_EQ(Lines(page.begin() + 3, page.begin() + 7), *headings[unit]) << unit;
    EXPECT_EQ(report.PageLines(3)[26],
              unit == kOption2Tone ? "     2 TONE Codes" : "     PAGE Codes")
        << unit;
  }
}

TEST(Report, SignallingPageShowsAniDtmfAndPagingCodes) {
  Codeplug doc = NewDoc();
  AniSettings ani;
  ani.Decode(doc.image);
  ani.type = ani.transmit = 1;
  ani.delay = ani.speed = 3;
  ani.ani_code = "123456789012345";
  ani.emergency_code = "*#A";
  ani.Encode(doc.image);
  DtmfSettings dtmf;
  dtmf.Decode(doc.image);
  dtmf.speed = 1;
  dtmf.answer_back = dtmf.call_times = dtmf.keypad = 0;
  dtmf.Encode(doc.image);
  DtmfCodeList codes;
  codes.codes[0] = "0";
  codes.codes[9] = "ABCD*#";
  codes.Encode(doc.image);
  doc.image[482] = 0x21;  // slot 1: "12B", ENC & DEC
  doc.image[483] = 0x2B;
  doc.image[500] = 0x07;  // slot 10: "700", ENC Only
  doc.image[501] = 0x00;

  Lines expected = kDefaultSignalling;
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

  ani.delay = ani.speed = 0;
  ani.Encode(doc.image);
  dtmf.call_times = 1;
  dtmf.Encode(doc.image);
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
  const Lines tail = {"",
                      "     2 TONE Codes",
                      "",
                      "         1:  MOTOROLA  3    313.0    953.7 ",
                      "         2:  REACH GRP E    804.0    588.0 ",
                      "         3:  -----------   ------   ------ "};
  Lines page = Report(doc).PageLines(3);
  ASSERT_EQ(page.size(), kDefaultSignalling.size());
  EXPECT_EQ(Lines(page.begin() + 25, page.begin() + 31), tail);
  EXPECT_EQ(page[37], "         0:  -----------   ------   ------ ");

  // Two tones of different sets: every used slot prints its stored numbers.
  doc.image[486] = 0x00;
  doc.image[487] = 0x0A;
  page = Report(doc).PageLines(3);
  EXPECT_EQ(Lines(page.begin() + 28, page.begin() + 32),
            (Lines{"         1:  User Defined      23       24 ",
                   "         2:  User Defined     230      239 ",
                   "         3:  User Defined       0       10 ",
                   "         4:  -----------   ------   ------ "}));
  EXPECT_EQ(doc.tone_format, kToneStandard) << "the report leaves the document alone";
  doc.tone_format = kToneUserDefined;
  doc.image[486] = 0xFF;
  EXPECT_EQ(Report(doc).PageLines(3)[28], "         1:  User Defined      23       24 ");
}

}  // namespace
}  // namespace ql40

#pragma once

// Texts of the printed report: title, line formats, channel headings and the value lists that
// only the report uses. Lists the dialogs and the grid share are used from their own files.
// Every text is printed exactly as it stands, trailing blanks included.

#include <array>
#include <string_view>

#include "resources/labels.h"

namespace ql40::res {

// Settings page.
extern const LabelList kReportTitleLines;  // three lines of stars and the radio's name
inline constexpr const char* kReportFileNameFormat =
    "                                                   File Name: %s";
inline constexpr const char* kReportSerialNoFormat = "Serial No:  %s";

inline constexpr std::string_view kReportHardwareHeading = "Hardware Environments";
inline constexpr const char* kReportBandFormat = "     Band:                 %s";
inline constexpr const char* kReportRefXtalFormat = "     Ref Xtal:             %5.2fMHz";
inline constexpr const char* kReportFirstIfFormat = "     First IF:             %5.2fMHz";
inline constexpr const char* kReportLocalOffsetFormat = "     Local Offset:         %s";
inline constexpr const char* kReportChannelSpacingFormat = "     Channel Spacing:      %s";
inline constexpr const char* kReportEncryptionFormat = "     Encryption Device:    %s";
inline constexpr const char* kReportKeypadFormat = "     16 Keypad:            %s";
inline constexpr const char* kReportSubCpuFormat = "     Sub CPU:              %s";

inline constexpr std::string_view kReportPowerSavingHeading = "Power Saving Parameters";
inline constexpr const char* kReportTxTimerFormat = "     Tx Timeout Timer:     %-3d mins";
inline constexpr std::string_view kReportTxTimerHalfMinute = "     Tx Timeout Timer:     0.5 mins";
inline constexpr const char* kReportPenaltyFormat = "     TOT Penalty Timer:    %-3.3s secs";
inline constexpr const char* kReportReleaseFormat = "     PTT Release Timer:    %-3.3s secs";
inline constexpr const char* kReportApoFormat = "     Auto power off after  %s ";
inline constexpr const char* kReportReceiveSaveFormat = "     Receive Save Mode:    %s";

inline constexpr std::string_view kReportScanHeading = "Scan Parameters";
inline constexpr const char* kReportDualWatchFormat = "     Dual Watch Time:      %-4.4s msec";
inline constexpr const char* kReportResume1Format = "     Scan Resume Time 1:   %-4.4s secs";
inline constexpr const char* kReportResume2Format = "     Scan Resume Time 2:   %-4.4s secs";
inline constexpr const char* kReportTalkBackFormat = "     Talk Back:            %s";
inline constexpr const char* kReportRevertFormat = "     Revert Channel:       %s";

inline constexpr std::string_view kReportKeyHeading = "Key Definition";
inline constexpr const char* kReportSetModeFormat = "     Set Mode:             %s";
// PTT, dial and key lock.
inline constexpr std::array<const char*, 3> kReportLockFormats = {"     PTT Lock:             %s",
                                                                  "     Dial Lock:            %s",
                                                                  "     Key Lock:             %s"};
// In key order: Monitor, Lamp, TOP SEL, SIDE SEL, [A] to [D].
inline constexpr std::array<const char*, 8> kReportKeyFormats = {
    "     Monitor Key:          %s", "     Lamp Key:             %s",
    "     SEL 1 Key:            %s", "     SEL 2 Key:            %s",
    "     [A] Key:              %s", "     [B] Key:              %s",
    "     [C] Key:              %s", "     [D] Key:              %s"};
// Toggle positions A, centre, B.
inline constexpr std::array<const char*, 3> kReportToggleFormats = {
    "     Toggle SW [A]:        %s", "     Toggle SW [|]:        %s",
    "     Toggle SW [B]:        %s"};
inline constexpr const char* kReportPowerOnFormat = "     Power on condition:   %s";

// Channel pages.
inline constexpr std::string_view kReportChannelDataLead = "     ";
inline constexpr std::string_view kReportChannelDataTitle =
    "                **********   CHANNEL DATA   **********";
inline constexpr const char* kReportGroupFormat = "GROUP %d:  %s   ";
extern const LabelList kReportQtsMarks;  // "---", "QTS"
// Four heading lines each; they differ only in the column of the channel's code.
extern const LabelList kReportPageHeadings;     // no option unit, PT-Trunk: "Page"
extern const LabelList kReportTwoToneHeadings;  // 2Tone: "2Ton"
extern const LabelList kReportSignalHeadings;   // SUBSIG, SCB-100, SCBD-200: "SIG"
inline constexpr std::string_view kReportRule =
    "--------------------------------------------------------------------------------";
static_assert(kReportRule.size() == 80);

// Fields of a channel line, each with the blanks that follow it.
inline constexpr const char* kReportChannelNumberFormat = "%3d ";
inline constexpr const char* kReportFieldFormat = "%s ";
inline constexpr const char* kReportPairFormat = "%s %s ";
inline constexpr const char* kReportPowerFormat = "%s %s  ";
inline constexpr const char* kReportFlagsFormat = "%s %s %s ";
inline constexpr const char* kReportCtcssFormat = "CTCSS %s %s ";
inline constexpr const char* kReportDcsFormat = "DCS     %s   %s ";
inline constexpr std::string_view kReportNoSubAudio = "----- ----- ----- ";
extern const LabelList kReportMarks;  // "-", "X"

// Signalling page.
inline constexpr std::string_view kReportAniHeading = "     ANI Parameters";
inline constexpr const char* kReportAniTypeFormat = "        ANI Type:         %s";
inline constexpr const char* kReportAniTransmitFormat = "        ANI Transmit:     %s";
inline constexpr const char* kReportAniDelayFormat = "        ANI Delay:        %s";
inline constexpr const char* kReportAniSpeedFormat = "        ANI Speed:        %s";
inline constexpr const char* kReportAniCodeFormat = "        ANI Code:         %15s";
inline constexpr const char* kReportEmergencyCodeFormat = "        Emergency Code:   %15s";
extern const LabelList kReportAniTypes;      // "DTMF      ", "Option ANI"
extern const LabelList kReportAniTransmits;  // "PTT Pressed ", "PTT Released"
extern const LabelList kReportAniDelays;     // "50 msec ", "100 msec", "300 msec", "500 msec"

inline constexpr std::string_view kReportDtmfHeading = "     DTMF Parameters";
inline constexpr const char* kReportDtmfSpeedFormat = "        DTMF Speed:       %s";
inline constexpr const char* kReportAnswerBackFormat = "        Answer Back:      %s";
inline constexpr const char* kReportCallTimesFormat = "        Call times:       %s";
inline constexpr const char* kReportDtmfKeysFormat = "        DTMF A to D Keys: %s";
inline constexpr const char* kReportDtmfCodeFormat = "        DTMF Code %2d:     %15s";
extern const LabelList kReportDtmfSpeeds;  // "50 msec", "100 msec"
extern const LabelList kReportCallTimes;   // "Off    ", "1 time ", "3 times", "5 times"

inline constexpr std::string_view kReportTwoToneHeading = "     2 TONE Codes";
inline constexpr std::string_view kReportPageHeading = "     PAGE Codes";
inline constexpr const char* kReportPageCodeFormat = "        Page Code %2d:     %3s %s";
inline constexpr const char* kReportEmptyPageCodeFormat = "        Page Code %2d:     %3s ";
extern const LabelList kReportPagingFlags;  // "Enc Only", "Enc & Dec"
inline constexpr const char* kReportEmptyToneFormat =
    "        %2d:  -----------   ------   ------ ";
inline constexpr const char* kReportUserToneFormat = "        %2d:  %11s  %6d   %6d ";
inline constexpr const char* kReportStandardToneFormat = "        %2d:  %11s   %6s   %6s ";

}  // namespace ql40::res

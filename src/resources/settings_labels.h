#pragma once

// Label lists of the common settings and signalling records: keys, scanning, power saving,
// emergency, miscellaneous switches, ANI, DTMF, paging and two-tone. As in labels.h the texts
// are shown and printed exactly as they stand, and a stored value is the index into its list.
// Lists with a numeric pattern ("%-3d Mins" ...) are built by the functions at the end.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "resources/labels.h"

namespace ql40::res {

// Keys and the toggle switch; each label is 16 characters.
extern const LabelList kKeyFunctions;     // 21: "None            " .. "ACC 2           "
extern const LabelList kToggleFunctions;  // 13: "None            " .. "Group 3         "

// Option and front panel.
extern const LabelList kScanListKinds;    // "Dealer", "User  "
extern const LabelList kRotaryModes;      // "Channel", "Group  "
extern const LabelList kKeyHoldingTimes;  // "50 ms ", "150 ms", "300 ms", "650 ms"

// Scanning. The first three are the bare values; the dialog shows them with the formats.
extern const LabelList kDualWatchTimes;    // "500" .. "3000"
extern const LabelList kScanResumeTimes1;  // "0.25", "0.5", "1" .. "14"
extern const LabelList kScanResumeTimes2;  // "2" .. "10", "15" .. "60"
inline constexpr const char* kDualWatchFormat = "%s msecs";
inline constexpr const char* kScanResumeFormat = "%s Secs";
inline constexpr const char* kHomeChannelFormat = "%-3d (Group %-2d)";
extern const LabelList kRevertChannels;  // "Start Channel    " .. "Last Busy Channel"

// Power saving.
extern const LabelList kPenaltyTimes;  // "0 ", "6 ", "20", "60" (shown with "%s Secs")
extern const LabelList kReleaseTimes;  // "0", "2", "3", "5" (shown with "%s Secs")
inline constexpr const char* kTimerSecondsFormat = "%s Secs";
extern const LabelList kApoTimes;           // "off   ", "0.5 Hr", "1 Hr  ", "8 Hrs "
extern const LabelList kReceiveSaveRatios;  // "ABS", "1:1" .. "1:7"
extern const LabelList kMicGains;           // "+6db    " .. "-9db    "
extern const LabelList kLampModes;          // "Key On", "5 Secs"

// Emergency.
extern const LabelList kEmergencyChannels;      // "PRI ", "HOME", "CURRENT" (the last from 1.52 on)
extern const LabelList kEmergencyKeyHoldTimes;  // "0.5 Sec", "1 Sec  ", "2 Secs ", "3 Secs "

// Miscellaneous.
extern const LabelList kPowerOnConditions;  // "Back up", "Group 1", "DW     ", "Scan   "
extern const LabelList kPttDelays;          // "off      ", "300 msecs"
extern const LabelList kTailEliminations;   // "Disabled", "120º    ", "180º    " (UTF-8 º)
extern const LabelList kRchkTxTimes;        // "25 Secs", "55 Secs"
extern const LabelList kEncryptionTypes;    // "KSE-40  ", "Hi Level"

// ANI and DTMF.
extern const LabelList kAniTypes;        // "DTMF", "Option ANI"
extern const LabelList kAniTransmits;    // "PTT Pressed", "PTT Released"
extern const LabelList kAniDelays;       // "50   msec", "100 msec", "300 msec", "500 msec"
extern const LabelList kAniSpeeds;       // "25 msec", "33 msec", "50 msec", "66 msec"
extern const LabelList kDtmfPauseTimes;  // "0.5 sec", "1 sec" .. "7 sec"
extern const LabelList kDtmfSpeeds;      // "50  msec", "100 msec"
extern const LabelList kDisableEnable;   // "Disable", "Enable"
extern const LabelList kOffOnPlain;      // "Off", "On"
extern const LabelList kCallTimes;       // "Off", "1 time", "3 times", "5 times"

// Paging and two-tone.
extern const LabelList kPagingFlags;     // "ENC Only", "ENC & DEC"
extern const LabelList kGroupCalls;      // "Off", "1st Tone", "2nd Tone"
extern const LabelList kToneFormats;     // "Standard", "User Defined"
extern const LabelList kUserToneGroups;  // "OFF", "USER": the group list in user-defined form
inline constexpr std::string_view kToneGroupOffLabel = "OFF        ";
inline constexpr const char* kRawToneFormat = "%03d";  // a user-defined tone number

// One of the eighteen standard tone sets: its name (11 characters), the first tone number of
// its range and its tones in Hz, in index order.
struct ToneSet {
  std::string_view name;
  int base;
  std::span<const double> tones;
};
inline constexpr int kToneSetCount = 18;
extern const std::span<const ToneSet> kToneSets;
// Tone numbers end here: the last set's range stops below it.
inline constexpr int kToneNumberEnd = 240;

// A tone as the lists show it, six characters with one decimal: " 330.5", "1006.9".
std::string ToneText(double hz);

// Numeric lists.
std::vector<std::string> SqThresholdLabels();      // "%2d" for 0..12
std::vector<std::string> TransmitTimerLabels();    // "0.5 Mins", then "%-3d Mins" for 1..7
std::vector<std::string> EmergencyTimeLabels();    // "%-3d Mins" for 10..160 step 10
std::vector<std::string> EmergencyRxTimeLabels();  // "%-3d Secs" for 10..160 step 10
std::vector<std::string> EmergencyTxTimeLabels();  // "%-2d Secs" for 5..80 step 5

}  // namespace ql40::res

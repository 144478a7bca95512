#include "resources/settings_labels.h"

#include "codeplug/codecs.h"

namespace ql40::res {
namespace {

constexpr std::string_view kKeyFunctionsData[] = {
    "None            ", "Monitor         ", "Lamp            ", "Scan            ",
    "Dual Watch      ", "Lo Power        ", "Talkaround      ", "TX SAVE Off     ",
    "Encryption Off  ", "Follow-Me DW    ", "Group UP        ", "Group Down      ",
    "Channel UP      ", "Channel Down    ", "Set             ", "Call/Reset      ",
    "Speed Dial      ", "Emergency       ", "LCD Invert      ", "ACC 1           ",
    "ACC 2           "};
constexpr std::string_view kToggleFunctionsData[] = {
    "None            ", "Scan            ", "Dual Watch      ", "Lo Power        ",
    "Talkaround      ", "TX Save Off     ", "Encryption Off  ", "Follow-Me Scan  ",
    "Lock            ", "LCD Invert      ", "Group 1         ", "Group 2         ",
    "Group 3         "};

constexpr std::string_view kScanListKindsData[] = {"Dealer", "User  "};
constexpr std::string_view kRotaryModesData[] = {"Channel", "Group  "};
constexpr std::string_view kKeyHoldingTimesData[] = {"50 ms ", "150 ms", "300 ms", "650 ms"};

constexpr std::string_view kDualWatchTimesData[] = {"500",  "750",  "1000", "1250", "1500", "1750",
                                                    "2000", "2250", "2500", "2750", "3000"};
constexpr std::string_view kScanResumeTimes1Data[] = {
    "0.25", "0.5", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "13", "14"};
constexpr std::string_view kScanResumeTimes2Data[] = {
    "2", "3", "4", "5", "6", "7", "8", "9", "10", "15", "20", "25", "30", "40", "50", "60"};
constexpr std::string_view kRevertChannelsData[] = {"Start Channel    ", "Home Channel     ",
                                                    "PRI Channel      ", "Last Busy Channel"};

constexpr std::string_view kPenaltyTimesData[] = {"0 ", "6 ", "20", "60"};
constexpr std::string_view kReleaseTimesData[] = {"0", "2", "3", "5"};
constexpr std::string_view kApoTimesData[] = {"off   ", "0.5 Hr", "1 Hr  ", "8 Hrs "};
constexpr std::string_view kReceiveSaveRatiosData[] = {"ABS", "1:1", "1:2", "1:3",
                                                       "1:4", "1:5", "1:6", "1:7"};
constexpr std::string_view kMicGainsData[] = {"+6db    ", "+3db    ", "Standard",
                                              "-3db    ", "-6db    ", "-9db    "};
constexpr std::string_view kLampModesData[] = {"Key On", "5 Secs"};

constexpr std::string_view kEmergencyChannelsData[] = {"PRI ", "HOME", "CURRENT"};
constexpr std::string_view kEmergencyKeyHoldTimesData[] = {"0.5 Sec", "1 Sec  ", "2 Secs ",
                                                           "3 Secs "};

constexpr std::string_view kPowerOnConditionsData[] = {"Back up", "Group 1", "DW     ", "Scan   "};
constexpr std::string_view kPttDelaysData[] = {"off      ", "300 msecs"};
// The degree-like sign after the number is the masculine ordinal indicator, U+00BA.
constexpr std::string_view kTailEliminationsData[] = {"Disabled", "120\xC2\xBA    ",
                                                      "180\xC2\xBA    "};
constexpr std::string_view kRchkTxTimesData[] = {"25 Secs", "55 Secs"};
constexpr std::string_view kEncryptionTypesData[] = {"KSE-40  ", "Hi Level"};

constexpr std::string_view kAniTypesData[] = {"DTMF", "Option ANI"};
constexpr std::string_view kAniTransmitsData[] = {"PTT Pressed", "PTT Released"};
constexpr std::string_view kAniDelaysData[] = {"50   msec", "100 msec", "300 msec", "500 msec"};
constexpr std::string_view kAniSpeedsData[] = {"25 msec", "33 msec", "50 msec", "66 msec"};
constexpr std::string_view kDtmfPauseTimesData[] = {"0.5 sec", "1 sec", "2 sec", "3 sec",
                                                    "4 sec",   "5 sec", "6 sec", "7 sec"};
constexpr std::string_view kDtmfSpeedsData[] = {"50  msec", "100 msec"};
constexpr std::string_view kDisableEnableData[] = {"Disable", "Enable"};
constexpr std::string_view kOffOnPlainData[] = {"Off", "On"};
constexpr std::string_view kCallTimesData[] = {"Off", "1 time", "3 times", "5 times"};

constexpr std::string_view kPagingFlagsData[] = {"ENC Only", "ENC & DEC"};
constexpr std::string_view kGroupCallsData[] = {"Off", "1st Tone", "2nd Tone"};
constexpr std::string_view kToneFormatsData[] = {"Standard", "User Defined"};
constexpr std::string_view kUserToneGroupsData[] = {"OFF", "USER"};

constexpr double kMotorola1[] = {330.5, 349.0, 368.5, 389.0, 410.8,
                                 433.7, 457.9, 483.5, 510.5, 539.0};
constexpr double kMotorola2[] = {569.1, 600.9, 634.5, 669.9, 707.3,
                                 746.8, 788.5, 832.5, 879.0, 928.1};
constexpr double kMotorola3[] = {288.5, 296.5,  304.7,  313.0,  953.7,
                                 979.9, 1006.9, 1034.7, 1063.2, 1092.4};
constexpr double kMotorola4[] = {321.7, 339.6, 358.6, 378.6, 399.8,
                                 422.1, 445.7, 470.5, 496.8, 524.6};
constexpr double kMotorola5[] = {553.9, 584.8, 617.4, 651.9, 688.3,
                                 726.8, 767.4, 810.2, 855.5, 903.2};
constexpr double kMotorola6[] = {1122.5, 1153.4, 1185.2, 1217.8, 1251.4,
                                 1285.8, 1321.2, 1357.6, 1395.0, 1433.4};
constexpr double kMotorola10[] = {1472.9, 1513.5, 1555.2, 1598.0, 1642.0,
                                  1687.2, 1733.7, 1781.5, 1830.5, 1881.0};
constexpr double kMotorola11[] = {1930.2, 1989.0, 2043.8, 2094.5, 2155.6,
                                  2212.2, 2271.7, 2334.6, 2401.0, 2468.2};
constexpr double kGeA[] = {682.5, 592.5, 757.5, 802.5, 847.5, 892.5, 937.5, 547.5, 727.5, 637.5};
constexpr double kGeB[] = {652.5, 607.5, 787.5, 832.5, 877.5, 922.5, 967.5, 517.5, 562.5, 697.5};
constexpr double kGeC[] = {667.5, 712.5, 772.5, 817.5, 862.5, 907.5,
                           952.5, 532.5, 577.5, 622.5, 742.5};
constexpr double kAvcall2[] = {312.6, 346.7, 384.6, 426.6, 473.2,  524.8,  582.1,  645.7,
                               716.1, 794.3, 881.0, 977.2, 1083.9, 1202.3, 1333.5, 1479.1};
constexpr double kPlectron[] = {
    282.2,  294.7,  307.8,  321.4,  335.6,  350.5,  366.0,  382.3,  399.2,  416.9,  435.3,  454.6,
    474.8,  495.8,  517.8,  540.7,  564.7,  589.7,  615.8,  643.0,  672.0,  701.0,  732.0,  765.0,
    799.0,  834.0,  871.0,  910.0,  950.0,  992.0,  1036.0, 1082.0, 1130.0, 1180.0, 1232.0, 1287.0,
    1344.0, 1403.0, 1465.0, 1530.0, 1598.0, 1669.0, 1743.0, 1820.0, 1901.0, 1985.0, 2073.0, 2164.0,
    2260.0, 2361.0, 2465.0, 2575.0, 2688.0, 2807.0, 2932.0, 3062.0};
constexpr double kReachA[] = {2704.0, 2612.0, 2523.0, 2437.0, 2354.0,
                              2274.0, 2196.0, 2121.0, 2049.0, 1980.0};
constexpr double kReachB[] = {1912.0, 1847.0, 1784.0, 1723.0, 1664.0,
                              1606.0, 1553.0, 1500.0, 1449.0, 1400.0};
constexpr double kReachC[] = {1608.0, 1553.0, 1500.0, 1449.0, 1400.0,
                              1352.0, 1306.0, 1261.0, 1219.0, 1177.0};
constexpr double kReachD[] = {1137.0, 1093.0, 1061.0, 1025.0, 990.0,
                              956.0,  923.0,  892.0,  862.0,  832.0};
constexpr double kReachE[] = {804.0, 776.0, 750.0, 725.0, 700.0, 676.0, 653.0, 631.0, 609.0, 588.0};

constexpr ToneSet kToneSetsData[] = {
    {"MOTOROLA  1", 0, kMotorola1},   {"MOTOROLA  2", 10, kMotorola2},
    {"MOTOROLA  3", 20, kMotorola3},  {"MOTOROLA  4", 32, kMotorola4},
    {"MOTOROLA  5", 42, kMotorola5},  {"MOTOROLA  6", 52, kMotorola6},
    {"MOTOROLA 10", 64, kMotorola10}, {"MOTOROLA 11", 74, kMotorola11},
    {"GE/99 GRP A", 84, kGeA},        {"GE/99 GRP B", 94, kGeB},
    {"GE/99 GRP C", 104, kGeC},       {"AVCALL2    ", 115, kAvcall2},
    {"PLECTRON   ", 131, kPlectron},  {"REACH GRP A", 190, kReachA},
    {"REACH GRP B", 200, kReachB},    {"REACH GRP C", 210, kReachC},
    {"REACH GRP D", 220, kReachD},    {"REACH GRP E", 230, kReachE},
};
static_assert(std::size(kToneSetsData) == kToneSetCount);

constexpr bool ToneRangesFit() {
  // Each set's tones stay below the next set's base, and the last below the end.
  for (std::size_t i = 0; i < std::size(kToneSetsData); ++i) {
    const int end = i + 1 < std::size(kToneSetsData) ? kToneSetsData[i + 1].base : kToneNumberEnd;
    if (kToneSetsData[i].base + static_cast<int>(kToneSetsData[i].tones.size()) > end) {
      return false;
    }
  }
  return true;
}
static_assert(ToneRangesFit(), "tone sets overlap");

std::vector<std::string> Numbered(const char* format, int first, int last, int step) {
  std::vector<std::string> out;
  for (int v = first; v <= last; v += step) out.push_back(Format(format, v));
  return out;
}

}  // namespace

constinit const LabelList kKeyFunctions = kKeyFunctionsData;
constinit const LabelList kToggleFunctions = kToggleFunctionsData;
constinit const LabelList kScanListKinds = kScanListKindsData;
constinit const LabelList kRotaryModes = kRotaryModesData;
constinit const LabelList kKeyHoldingTimes = kKeyHoldingTimesData;
constinit const LabelList kDualWatchTimes = kDualWatchTimesData;
constinit const LabelList kScanResumeTimes1 = kScanResumeTimes1Data;
constinit const LabelList kScanResumeTimes2 = kScanResumeTimes2Data;
constinit const LabelList kRevertChannels = kRevertChannelsData;
constinit const LabelList kPenaltyTimes = kPenaltyTimesData;
constinit const LabelList kReleaseTimes = kReleaseTimesData;
constinit const LabelList kApoTimes = kApoTimesData;
constinit const LabelList kReceiveSaveRatios = kReceiveSaveRatiosData;
constinit const LabelList kMicGains = kMicGainsData;
constinit const LabelList kLampModes = kLampModesData;
constinit const LabelList kEmergencyChannels = kEmergencyChannelsData;
constinit const LabelList kEmergencyKeyHoldTimes = kEmergencyKeyHoldTimesData;
constinit const LabelList kPowerOnConditions = kPowerOnConditionsData;
constinit const LabelList kPttDelays = kPttDelaysData;
constinit const LabelList kTailEliminations = kTailEliminationsData;
constinit const LabelList kRchkTxTimes = kRchkTxTimesData;
constinit const LabelList kEncryptionTypes = kEncryptionTypesData;
constinit const LabelList kAniTypes = kAniTypesData;
constinit const LabelList kAniTransmits = kAniTransmitsData;
constinit const LabelList kAniDelays = kAniDelaysData;
constinit const LabelList kAniSpeeds = kAniSpeedsData;
constinit const LabelList kDtmfPauseTimes = kDtmfPauseTimesData;
constinit const LabelList kDtmfSpeeds = kDtmfSpeedsData;
constinit const LabelList kDisableEnable = kDisableEnableData;
constinit const LabelList kOffOnPlain = kOffOnPlainData;
constinit const LabelList kCallTimes = kCallTimesData;
constinit const LabelList kPagingFlags = kPagingFlagsData;
constinit const LabelList kGroupCalls = kGroupCallsData;
constinit const LabelList kToneFormats = kToneFormatsData;
constinit const LabelList kUserToneGroups = kUserToneGroupsData;
constinit const std::span<const ToneSet> kToneSets = kToneSetsData;

std::string ToneText(double hz) {
  return Format("%6.1f", hz);
}

std::vector<std::string> SqThresholdLabels() {
  return Numbered("%2d", 0, 12, 1);
}

std::vector<std::string> TransmitTimerLabels() {
  std::vector<std::string> out{"0.5 Mins"};
  for (auto& label : Numbered("%-3d Mins", 1, 7, 1)) out.push_back(std::move(label));
  return out;
}

std::vector<std::string> EmergencyTimeLabels() {
  return Numbered("%-3d Mins", 10, 160, 10);
}
std::vector<std::string> EmergencyRxTimeLabels() {
  return Numbered("%-3d Secs", 10, 160, 10);
}
std::vector<std::string> EmergencyTxTimeLabels() {
  return Numbered("%-2d Secs", 5, 80, 5);
}

}  // namespace ql40::res

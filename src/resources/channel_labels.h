#pragma once

// Texts of the channel editor: tone lists, grid headings and cell texts, the pick lists and
// the formats of the header lines. Shown exactly as they stand, trailing blanks included.

#include <string_view>

#include "resources/labels.h"

namespace ql40::res {

// Index 0 is "Off"; index i is stored as i - 1. The order is the radio's, not ascending.
extern const LabelList kCtcssTones;  // "Off", " 67.0", ... "254.1" (51 entries)
extern const LabelList kDcsCodes;    // "Off", "023", ... "754" (107 entries)
// The code that replaces each DCS code of kDcsCodes (same index) when it is complemented.
extern const LabelList kDcsComplementCodes;

extern const LabelList kSubAudioTypes;   // "-----", "CTCSS", "DCS"
extern const LabelList kScanLetters;     // "-", "D", "U", "B" by scan nibble
extern const LabelList kLockOuts;        // "--", "BC", "BT"
extern const LabelList kWideNarrow;      // "W", "N"
extern const LabelList kHighLow;         // "H", "L"
extern const LabelList kLowPowerLevels;  // "3", "2", "1"
extern const LabelList kCheckMarks;      // "-", "v"
extern const LabelList kPriorityMarks;   // "-", "P"
extern const LabelList kGroupScanModes;  // "NONE    ", "QTS     ", "SCAN    ", "SCAN QTS"

// Grid headings. Row 1 of column 19 depends on the option unit (see GridHeading).
extern const LabelList kGridHeadingRow0;  // 24 entries, " " for a blank heading
extern const LabelList kGridHeadingRow1;  // 24 entries, column 19 empty here
extern const LabelList
    kCodeColumnHeadings;  // "Page", "2Ton", "SIG" (none/PT-Trunk, 2Tone, sub CPU)
// Row 0 of a column shown again by its View > Item entry.
extern const LabelList kGridHeadingRow0Shown;
// The View > Item entries, one per column group.
extern const LabelList kColumnGroupNames;  // "Pri", "W/N", "TAG", ... "RCHK"

inline constexpr std::string_view kTxInhibited = "---.-----";
inline constexpr std::string_view kNoSubAudio = "-----";
inline constexpr std::string_view kNoCode = "-";

// Formats.
inline constexpr const char* kFrequencyFormat = "%9.5f";
inline constexpr const char* kChannelNumberFormat = "%3d";
inline constexpr const char* kTagFormat = "%-8.8s";
inline constexpr const char* kPointTagFormat = "%-3.3s.%-5.5s";
inline constexpr const char* kPointTagPadFormat = "%-9.9s";
inline constexpr const char* kDefaultChannelTagFormat = " CH-%3.3d ";
inline constexpr const char* kDefaultGroupTagFormat = "GROUP-%2.2d";
inline constexpr const char* kGroupHeaderFormat = " Group  %2d  TAG [%-8.8s]  ( %3d  Channels )";
inline constexpr const char* kChannelsLeftFormat = "%3d  Channels Left ";

// Information panel.
extern const LabelList kInfoPanelLabels;  // "Serial No", "Freq Band", ... "Printer"
inline constexpr const char* kSerialNoFormat = "%-8s";
inline constexpr const char* kProductTypeFormat = "%-13s";
inline constexpr const char* kFirmwareFormat = "%-d.%2.2d";
inline constexpr const char* kComPortFormat = "COM%d";
inline constexpr std::string_view kFineStepSuffix = " 1.25kHz";
inline constexpr std::string_view kVhfLoFineStep = "VHF Lo 1.25kHz";

// Pick-list and sub-audio dialogs.
inline constexpr std::string_view kCtcssCaption = "CTCSS Frequency";
inline constexpr std::string_view kDcsCaption = "DCS Frequency";
inline constexpr std::string_view kScanModeCaption = "Scan Mode";
inline constexpr std::string_view kSquelchCaption = "Squelch Level";
extern const LabelList kScanModeEntries;    // "OFF", "DEALER", "USER", "BOTH"
extern const LabelList kCodeCaptions;       // by option unit 0-5
extern const LabelList kSubCpuCodeEntries;  // "-: OFF", "1: GE Star", ...
inline constexpr std::string_view kCodeOff = "OFF";
inline constexpr const char* kSquelchPlusFormat = "+%d";
inline constexpr const char* kSquelchMinusFormat = "-%d";

// Channel allocation dialog.
inline constexpr std::string_view kAllocationCaption = "Channel Allocation/Group Tag";
extern const LabelList kAllocationGroupLabels;  // "Grp &1" ... "Grp 20(&K)"
inline constexpr const char* kAllocationCountFormat = "%3.3d";

}  // namespace ql40::res

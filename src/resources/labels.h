#pragma once

// Label lists shared by the dialogs, the grid, the report and the command line. The texts are
// shown and printed exactly as they stand, trailing blanks included; a stored value is the
// index into its list.

#include <span>
#include <string>
#include <string_view>

namespace ql40::res {

using LabelList = std::span<const std::string_view>;

// The text of index in list, or a text that says the stored value is unknown (never a
// neighbour's text) when index lies outside the list.
std::string LabelOr(LabelList list, int index);

// The index of text in list (exact match), or -1.
int FindLabel(LabelList list, std::string_view text);

extern const LabelList kBandNames;              // "VHF", "VHF Lo Band", "UHF"
extern const LabelList kProductTypes;           // "PT-610", "PT-410"
extern const LabelList kChannelSpacings;        // "5,6.25kHz     ", ...
extern const LabelList kLocalOffsets;           // "Lower", "Upper"
extern const LabelList kOptionUnits;            // "No      ", "2Tone   ", ...
extern const LabelList kDisabledEnabledPadded;  // "Disabled", "Enabled "
extern const LabelList kDisabledEnabled;        // "Disabled", "Enabled"
extern const LabelList kOffOn;                  // "Off", "On "
extern const LabelList kYesNo;                  // "Yes", "No "
extern const LabelList kNormalInverted;         // "Normal", "Inverted"

// The marker of a codeplug that has no file of its own.
inline constexpr std::string_view kNoPath = "<none>";

}  // namespace ql40::res

#include "resources/labels.h"

namespace ql40::res {
namespace {

constexpr std::string_view kBandNamesData[] = {"VHF", "VHF Lo Band", "UHF"};
constexpr std::string_view kProductTypesData[] = {"PT-610", "PT-410"};
constexpr std::string_view kChannelSpacingsData[] = {"5,6.25kHz     ", "5,6.25,2.5kHz ",
                                                     "5,6.25,1.25kHz"};
constexpr std::string_view kLocalOffsetsData[] = {"Lower", "Upper"};
constexpr std::string_view kOptionUnitsData[] = {"No      ", "2Tone   ", "SUBSIG  ",
                                                 "SCB-100",  "SCBD-200", "PT-Trunk"};
constexpr std::string_view kDisabledEnabledPaddedData[] = {"Disabled", "Enabled "};
constexpr std::string_view kDisabledEnabledData[] = {"Disabled", "Enabled"};
constexpr std::string_view kOffOnData[] = {"Off", "On "};
constexpr std::string_view kYesNoData[] = {"Yes", "No "};
constexpr std::string_view kNormalInvertedData[] = {"Normal", "Inverted"};

}  // namespace

constinit const LabelList kBandNames = kBandNamesData;
constinit const LabelList kProductTypes = kProductTypesData;
constinit const LabelList kChannelSpacings = kChannelSpacingsData;
constinit const LabelList kLocalOffsets = kLocalOffsetsData;
constinit const LabelList kOptionUnits = kOptionUnitsData;
constinit const LabelList kDisabledEnabledPadded = kDisabledEnabledPaddedData;
constinit const LabelList kDisabledEnabled = kDisabledEnabledData;
constinit const LabelList kOffOn = kOffOnData;
constinit const LabelList kYesNo = kYesNoData;
constinit const LabelList kNormalInverted = kNormalInvertedData;

std::string LabelOr(LabelList list, int index) {
  if (index >= 0 && static_cast<std::size_t>(index) < list.size()) {
    return std::string(list[static_cast<std::size_t>(index)]);
  }
  return "?(" + std::to_string(index) + ")";
}

int FindLabel(LabelList list, std::string_view text) {
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (list[i] == text) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace ql40::res

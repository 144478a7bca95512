// Texts of the alignment dialogs: messages, captions, labels and the instructions for the
// signal generator and the regulator.

#include "alignment/alignment_strings.h"
#include "resources/string_areas.h"

namespace ql40::res {
namespace {

using namespace ql40::alignment;

constexpr StringEntry kTable[] = {
    {kStrChangeChannelFailed, "Change Channel Error.\n"},
    {kStrAlignmentTitle, "Alignment"},
    {kStrSaveAlignedData, "Save the Aligned Data?"},
    {kStrNowLoading, "Now Loading... Please wait."},
    {kStrNowInitializing, "Now Initializing.. Please Wait."},
    {kStrValueError, "Error"},
    {kStrWide, "Wide"},
    {kStrNarrow, "Narrow"},
    {kStrNoSubAudio, "None"},
    {kStrCtcssPrefix, "C-%1"},
    {kStrDcsPrefix, "D-%1"},
    {kStrBasicCaption, "Basic Alignment"},
    {kStrFineCaption, "Ch Fine Alignment"},
    {kStrChannelNo, "Channel No."},
    {kStrGroupNo, "Group No."},
    {kStrRxFrequency, "RX Frequency"},
    {kStrTxFrequency, "TX Frequency"},
    {kStrWideNarrow, "W/N"},
    {kStrRxSubAudio, "RX Sub-Audio"},
    {kStrTxSubAudio, "TX Sub-Audio"},
    {kStrStart, "START"},
    {kStrValue, "Value"},
    {kStrMin, "Min"},
    {kStrMax, "MAX"},
    {kStrRssi, "RSSI"},
    {kStrAd, "A/D"},
    {kStrSqlBox, "SQL"},
    {kStrTxPowerBox, "TX Power"},
    {kStrFrequencyBox, "Frequency"},
    {kStrCtcssDev, "CTCSS Dev"},
    {kStrDcsDev, "DCS Dev"},
    {kStrNotANumber, "\"%1\" is not a value: type a whole number from 0 to 255."},
    {kStrTrimTooFar, "%1 lies more than 127 away from the basic value %2; the radio keeps %3."},

    {kStrBasicItem0 + 0, "Frequency D/A"},
    {kStrBasicItem0 + 1, "High(5W)"},
    {kStrBasicItem0 + 2, "Low3(2.5W)"},
    {kStrBasicItem0 + 3, "Low2(1W)"},
    {kStrBasicItem0 + 4, "Low1(250mW)"},
    {kStrBasicItem0 + 5, "MAX Deviation"},
    {kStrBasicItem0 + 6, "Sub Audio Deviation"},
    {kStrBasicItem0 + 7, "TI NSQ "},
    {kStrBasicItem0 + 8, "TH NSQ "},
    {kStrBasicItem0 + 9, "RSSI SQL "},
    {kStrBasicItem0 + 10, "TX Save "},
    {kStrBasicItem0 + 11, "Mic Gain"},
    {kStrBasicItem0 + 12, "Battery Warning Level"},
    {kStrBasicItem0 + 13, "Alkaline "},

    {kStrFineItem0 + 0, "RX Tune"},
    {kStrFineItem0 + 1, "High Power"},
    {kStrFineItem0 + 2, "Low Power"},
    {kStrFineItem0 + 3, "MAX Deviation"},
    {kStrFineItem0 + 4, "Sub Audio Deviation"},
    {kStrFineItem0 + 5, "D/A"},
    {kStrLowLevel0 + 0, "Low3 (LH)"},
    {kStrLowLevel0 + 1, "Low2 (LM)"},
    {kStrLowLevel0 + 2, "Low1 (EL)"},

    {kStrInstructionCaption0 + 0, "Tight NSQL Level(Wide)"},
    {kStrInstructionCaption0 + 1, "Tight SQL NSQ Level(Narrow)"},
    {kStrInstructionCaption0 + 2, "Threshold NSQ Level(Wide)"},
    {kStrInstructionCaption0 + 3, "Threshold NSQ Level(Narrow)"},
    {kStrInstructionCaption0 + 4, "Tight RSSI SQL Level(Wide)"},
    {kStrInstructionCaption0 + 5, "Tight RSSI SQL Level(Narrow)"},
    {kStrInstructionCaption0 + 6, "TX Save RSSI(Wide)"},
    {kStrInstructionCaption0 + 7, "TX Save RSSI(Narrow)"},
    {kStrInstructionCaption0 + 8, "Battery Warning Level"},
    {kStrInstructionCaption0 + 9, "Alkaline Battery Brink Level"},

    {kStrInstructionText0 + 0,
     "Set Your SG output level to 0 dBuV EMF (0.5uV) for factory default"},
    {kStrInstructionText0 + 1,
     "Set Your SG output level to -10 dBuV EMF (0.16uV) for factory default"},
    {kStrInstructionText0 + 2,
     "Set Your SG output level to +3 dBuV EMF (0.7uV) for factory default"},
    {kStrInstructionText0 + 3,
     "Set Your SG output level to +15 dBuV EMF (2.8uV) for factory default"},
    {kStrInstructionText0 + 4, "Set Your Regulator to 6.5 V for factory default"},
    {kStrInstructionText0 + 5, "Set Your Regulator to 5.5 V for factory default"},
};
static_assert(SortedById(kTable));

}  // namespace

std::span<const StringEntry> AlignmentStrings() {
  return kTable;
}

}  // namespace ql40::res

#pragma once

// String ids of the alignment dialogs' texts (the table is in resources/strings_alignment.cpp).

namespace ql40::alignment {

enum AlignmentStringId : int {
  kStrChangeChannelFailed = 62800,  // "Change Channel Error.\n"
  kStrAlignmentTitle,
  kStrSaveAlignedData,
  kStrNowLoading,
  kStrNowInitializing,
  kStrValueError,
  kStrWide,
  kStrNarrow,
  kStrNoSubAudio,
  kStrCtcssPrefix,
  kStrDcsPrefix,
  kStrBasicCaption,
  kStrFineCaption,
  kStrChannelNo,
  kStrGroupNo,
  kStrRxFrequency,
  kStrTxFrequency,
  kStrWideNarrow,
  kStrRxSubAudio,
  kStrTxSubAudio,
  kStrStart,
  kStrValue,
  kStrMin,
  kStrMax,
  kStrRssi,
  kStrAd,
  kStrSqlBox,
  kStrTxPowerBox,
  kStrFrequencyBox,
  kStrCtcssDev,
  kStrDcsDev,
  kStrNotANumber,
  kStrTrimTooFar,

  // Basic Alignment item labels, items 0 to 13.
  kStrBasicItem0 = 62840,

  // Channel Fine Alignment item labels, items 0 to 5, and the low power level labels.
  kStrFineItem0 = 62860,
  kStrLowLevel0 = 62870,  // "Low3 (LH)", "Low2 (LM)", "Low1 (EL)"

  // Instruction captions: items 7, 8, 9, 10 wide then narrow, then 12 and 13.
  kStrInstructionCaption0 = 62880,
  // Instruction texts: items 7, 8, 9, 10, 12, 13.
  kStrInstructionText0 = 62900,
};

}  // namespace ql40::alignment

#pragma once

// String ids of the captions and control labels of the scanning, power saving, emergency,
// marketing, miscellaneous and signalling dialogs. Prompts need no constants: a control's
// prompt is the string whose id is the control id.

namespace ql40::res {

enum MoreDialogTextId : int {
  // Dialog captions.
  kStrTitleScan = 62600,
  kStrTitlePowerSaving,
  kStrTitleEmergency,
  kStrTitleMarketing,
  kStrTitleMiscellaneous,
  kStrTitleAni,
  kStrTitleDtmf,
  kStrTitleDtmfCode,
  kStrTitlePagingCode,
  kStrTitleTwoToneParameters,
  kStrTitleTwoToneEdit,

  // Scan Parameters.
  kStrLabelDualWatch = 62620,
  kStrLabelResume1,
  kStrLabelResume2,
  kStrLabelHomeScan,
  kStrLabelHomeChannel,
  kStrLabelTalkBack,
  kStrLabelRevert,
  kStrLabelScanEdit,
  kStrLabelScanBeep,
  kStrLabelPriBeep,

  // Power Saving.
  kStrLabelPowerOnTag = 62640,
  kStrLabelTransmitTimer,
  kStrLabelPenaltyTimer,
  kStrLabelReleaseTimer,
  kStrLabelApo,
  kStrLabelReceiveSave,
  kStrLabelBeepLevel,
  kStrLabelMicGain,
  kStrLabelLampMode,
  kStrLabelRxLamp,
  kStrLabelAfVrMin,

  // Emergency.
  kStrLabelEmergencyChannel = 62660,
  kStrLabelEmergencyAfMute,
  kStrLabelEmergencyLcd,
  kStrLabelEmergencyLed,
  kStrLabelEmergencyTime,
  kStrLabelEmergencyRxTime,
  kStrLabelEmergencyTxTime,
  kStrLabelEmergencyKeyHold,
  kStrLabelEmergencyMic,

  // Marketing Parameters.
  kStrLabelMarketApplication = 62680,
  kStrLabelSerialNumber,

  // Miscellaneous.
  kStrLabelDefaultSplit = 62690,
  kStrLabelDcsComplement,
  kStrLabelPowerOnCondition,
  kStrLabelPttDelay,
  kStrLabelBell,
  kStrLabelMonitorMode,
  kStrLabelNoiseCancelMic,
  kStrLabelTailElimination,
  kStrLabelRadioClone,
  kStrLabelRchkBeep,
  kStrLabelRchkTxTime,
  kStrLabelEncryptionType,
  kStrDefaultSplitFormat,  // "%-5.1f MHz"

  // ANI Setting.
  kStrLabelAniType = 62710,
  kStrLabelAniTransmit,
  kStrLabelAniDelay,
  kStrLabelAniSpeed,
  kStrLabelAniCode,
  kStrLabelEmergencyCode,

  // DTMF Setting.
  kStrLabelPauseCode = 62720,
  kStrLabelPauseTime,
  kStrLabelDtmfSpeed,
  kStrLabelDtmfMonitor,
  kStrLabelAnswerBack,
  kStrLabelAutoReset,
  kStrLabelCallTimes,
  kStrLabelDtmfKeypad,

  // DTMF Code: rows "DTMF  &1" .. "DTMF  &0" (ten ids).
  kStrLabelDtmfCode1 = 62730,
  // Paging Code: rows "PAGE  &1" .. "PAGE  &0" (ten ids).
  kStrLabelPage1 = 62740,

  // 2Tone Parameters.
  kStrLabelToneAutoReset = 62750,
  kStrLabelGroupCall,
  kStrLabelToneCallTimes,
  kStrLabelToneFormat,

  // 2 Tone Edit: rows " &1" .. " &0" (ten ids) and the three column headings.
  kStrLabelToneRow1 = 62760,
  kStrHeadingToneGroup = 62770,
  kStrHeadingFirstTone,
  kStrHeadingSecondTone,
};

}  // namespace ql40::res

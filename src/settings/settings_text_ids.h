#pragma once

// String ids of the settings dialogs' own texts: titles, labels and column headings. The
// prompts of the controls have the controls' ids.

namespace ql40::res {

enum SettingsTextId : int {
  kStrTitleHardware = 62400,
  kStrTitleOption = 62401,
  kStrTitleFrontPanel = 62402,
  kStrTitleKeyFunction = 62403,
  kStrTitleChannelAllocation = 62404,
  kStrLabelFreqBand = 62405,
  kStrLabelProductType = 62406,
  kStrLabelRefXtal = 62407,
  kStrLabelFirstIf = 62408,
  kStrLabelLocalOffset = 62409,
  kStrLabelChanStep = 62410,
  kStrLabelSqDelay = 62411,
  kStrLabelSqRelease = 62412,
  kStrLabelNoiseAttack = 62413,
  kStrLabelNoiseHysteresis = 62414,
  kStrLabelDcsRx = 62415,
  kStrLabelDcsTx = 62416,
  kStrLabelScanPllB = 62417,
  kStrLabelLcdDisplay = 62418,
  kStrLabelLighting = 62419,
  kStrLabelBeep = 62420,
  kStrLabelScanList = 62421,
  kStrLabelOptionKeyLock = 62422,
  kStrLabelSqThreshold = 62423,
  kStrLabelEncryptionDevice = 62424,
  kStrLabelKeypad16 = 62425,
  kStrLabelDtmfReceiver = 62426,
  kStrLabelSubCpu = 62427,
  kStrLabelSetMode = 62428,
  kStrLabelRotaryMode = 62429,
  kStrLabelPttLock = 62430,
  kStrLabelDialLock = 62431,
  kStrLabelPanelKeyLock = 62432,
  kStrLabelHoldingTime = 62433,
  kStrLabelKeyMonitor = 62434,
  kStrLabelKeyLamp = 62435,
  kStrLabelKeyTopSel = 62436,
  kStrLabelKeySideSel = 62437,
  kStrLabelKeyA = 62438,
  kStrLabelKeyB = 62439,
  kStrLabelKeyC = 62440,
  kStrLabelKeyD = 62441,
  kStrLabelToggleA = 62442,
  kStrLabelToggleCentre = 62443,
  kStrLabelToggleB = 62444,
  kStrHeadingChannels = 62445,
  kStrHeadingTag = 62446,
  kStrHeadingScan = 62447,
  // "Grp &1" .. "Grp 20(&K)": kStrLabelGroup1 + group (0-based).
  kStrLabelGroup1 = 62448,
  // After new hardware constants: the channels whose frequencies had to move.
  kStrFrequenciesMoved = 62470,
};

}  // namespace ql40::res

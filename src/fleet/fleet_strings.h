#pragma once

// String ids of programming several radios at once (texts in resources/strings_fleet.cpp).

namespace ql40::fleet {

enum FleetStringId : int {
  kStrVerifyFunction = 63200,
  kStrVerifyMismatch,
  kStrVerifyNoReadBack,
  kStrResultOk,
  kStrResultCancelled,
  kStrResultFailed,
  kStrRadioQuestion,
  kStrColumnPort,
  kStrColumnSerial,
  kStrColumnModel,
  kStrColumnResult,
  kStrColumnSeconds,
  kStrLogHeader,
  kStrSummary,
  kStrWroteFile,
  kStrFastFellBack,
  kStrLogFailed,
  kStrBackupFailed,
  kStrPortTwice,
  kStrInterrupted,
  kStrPhaseWaiting,
  kStrPhaseDone,
  kStrNotAFolder,
  kStrNoStartByte,
  kStrNoPorts,
};

}  // namespace ql40::fleet

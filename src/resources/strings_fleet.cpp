// Texts of programming several radios at once.

#include "fleet/fleet_strings.h"
#include "resources/string_areas.h"

namespace ql40::res {
namespace {

using namespace ql40::fleet;

constexpr StringEntry kTable[] = {
    {kStrVerifyFunction, "Verify Function"},
    {kStrVerifyMismatch, "Verify failed: the radio differs at address %1"},
    {kStrVerifyNoReadBack, "Verify failed: the radio could not be read back"},
    {kStrResultOk, "OK"},
    {kStrResultCancelled, "cancelled"},
    {kStrResultFailed, "failed"},
    {kStrRadioQuestion, "Radio on %1: %2"},
    {kStrColumnPort, "Port"},
    {kStrColumnSerial, "Serial"},
    {kStrColumnModel, "Model"},
    {kStrColumnResult, "Result"},
    {kStrColumnSeconds, "Seconds"},
    {kStrLogHeader, "date,time,port,serial,model,band,file,checksum,result"},
    {kStrSummary, "%1 of %2 radios succeeded"},
    {kStrWroteFile, "wrote %1"},
    {kStrFastFellBack, "fast sending refused; finished byte by byte"},
    {kStrLogFailed, "Cannot write the fleet log %1"},
    {kStrBackupFailed, "Cannot keep the backup %1"},
    {kStrPortTwice, "The port %1 is named twice"},
    {kStrInterrupted, "interrupted; every port is closed and nothing half-done was written"},
    {kStrPhaseWaiting, "waiting"},
    {kStrPhaseDone, "done"},
    {kStrNotAFolder, "%1 is not a folder"},
    {kStrNoStartByte, "the radio sent no start byte in time"},
    {kStrNoPorts, "No port was named"},
};
static_assert(SortedById(kTable));

}  // namespace

std::span<const StringEntry> FleetStrings() {
  return kTable;
}

}  // namespace ql40::res

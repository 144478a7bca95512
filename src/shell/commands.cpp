#include "shell/commands.h"

namespace ql40::shell {
namespace {

struct MaskGroup {
  int first;
  int last;
  int masks[3];  // no option unit / 2Tone / SUBSIG (every other unit takes the first)
};

constexpr MaskGroup kMaskGroups[] = {
    {kCmdConfigure, kCmdConfigure, {31, 31, 31}},
    {kCmdHardware, kCmdMiscellaneous, {511, 511, 511}},
    {kCmdAni, kCmdTwoToneTable, {15, 55, 7}},
    {kCmdUpload, kCmdFineAlignment, {15, 15, 15}},
    {kCmdChannelAllocations, kCmdChannelAllocations, {23, 23, 63}},
    {kCmdGetStarted, kCmdAbout, {3, 3, 3}},
};

int TableOf(int option_unit) {
  if (option_unit == kOption2Tone) return 1;
  if (option_unit == kOptionSubsig) return 2;
  return 0;
}

}  // namespace

int CanonicalCommand(int command_id) {
  if (command_id == kCmdToolbarUpload) return kCmdUpload;
  if (command_id == kCmdToolbarDownload) return kCmdDownload;
  if (command_id == kCmdToolbarAbout) return kCmdAbout;
  return command_id;
}

bool CommandEnabled(int command_id, int option_unit, std::uint8_t byte27) {
  command_id = CanonicalCommand(command_id);
  // No DTMF receiver fitted: nothing to page with.
  if (command_id == kCmdPagingCode && (byte27 & 0x02) != 0) return false;
  for (const auto& group : kMaskGroups) {
    if (command_id < group.first || command_id > group.last) continue;
    const int bit = command_id - group.first;
    return ((group.masks[TableOf(option_unit)] >> bit) & 1) != 0;
  }
  return true;
}

bool CommandEnabled(int command_id, const Codeplug& doc) {
  return CommandEnabled(command_id, doc.option_unit, doc.image[27]);
}

int ColumnFlagOf(int command_id) {
  if (command_id < kCmdFirstColumn || command_id > kCmdLastColumn) return -1;
  return command_id - kCmdFirstColumn;
}

bool IsDialogCommand(int command_id) {
  return (command_id >= kCmdHardware && command_id <= kCmdMiscellaneous) ||
         (command_id >= kCmdAni && command_id <= kCmdTwoToneTable) ||
         command_id == kCmdChannelAllocations;
}

void BeforeDialog(int command_id, Codeplug& doc) {
  if (IsDialogCommand(command_id)) doc.CommitToImage();
}

AfterDialog AfterDialogCommand(int command_id, const DialogReport& report, Codeplug& doc) {
  AfterDialog after;
  switch (command_id) {
    case kCmdHardware:
      // The dialog commits on OK and refreshes on Cancel itself.
      if (report.band_changed) {
        after.refresh = Refresh::kBandChange;
      } else if (report.product_changed) {
        after.refresh = Refresh::kRebuildGrid;
        after.reset_group = true;
      } else if (report.hardware_changed) {
        after.refresh = Refresh::kHeader;
      }
      break;
    case kCmdOption: {
      const bool changed = doc.option_unit_changed;
      if (changed) {
        doc.option_unit_changed = false;
        after.reset_group = true;
        doc.CommitToImage();
      }
      doc.RefreshFromImage();
      after.refresh = changed ? Refresh::kRebuildGrid : Refresh::kNone;
      break;
    }
    case kCmdScanning:
    case kCmdPowerSaving:
    case kCmdFrontPanel:
    case kCmdKeyFunction:
    case kCmdEmergency:
      doc.RefreshFromImage();
      break;
    case kCmdMiscellaneous:
      doc.RefreshFromImage();
      after.refresh = Refresh::kHeader;
      break;
    case kCmdPagingCode:
    case kCmdTwoToneTable:
      doc.CommitToImage();
      after.refresh = Refresh::kRebuildGrid;
      break;
    case kCmdChannelAllocations:
      if (report.accepted) {
        doc.RefreshFromImage();
        after.refresh = Refresh::kRebuildGrid;
      }
      break;
    case kCmdTwoTone:
      // Switching the tone format clears the channels' code references: show them as they are.
      if (report.accepted) after.refresh = Refresh::kRebuildGrid;
      break;
    case kCmdConfigure:
      after.refresh = Refresh::kHeader;
      break;
    default:  // Marketing, ANI, DTMF, DTMF Code: nothing more
      break;
  }
  if (after.reset_group) doc.channels.SelectGroup(0);
  return after;
}

}  // namespace ql40::shell

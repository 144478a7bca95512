#include "shell/commands.h"

#include <gtest/gtest.h>

#include "shell/help.h"
#include "shell/shell_strings.h"

namespace ql40::shell {
namespace {

TEST(CommandEnableMasks, SignallingByOptionUnit) {
  struct Case {
    int unit;
    bool paging, two_tone, table;
  };
  for (const Case c :
       {Case{kOptionNone, true, false, false}, Case{kOption2Tone, false, true, true},
        Case{kOptionSubsig, false, false, false}, Case{kOptionScb100, true, false, false},
        Case{kOptionPtTrunk, true, false, false}}) {
    EXPECT_EQ(CommandEnabled(kCmdPagingCode, c.unit, 0), c.paging) << c.unit;
    EXPECT_EQ(CommandEnabled(kCmdTwoTone, c.unit, 0), c.two_tone) << c.unit;
    EXPECT_EQ(CommandEnabled(kCmdTwoToneTable, c.unit, 0), c.table) << c.unit;
    for (int id : {kCmdAni, kCmdDtmf, kCmdDtmfCode, kCmdHardware, kCmdMiscellaneous, kCmdUpload,
                   kCmdFineAlignment, kCmdToolbarDownload, kCmdChannelAllocations, kCmdConfigure,
                   kCmdGetStarted, kCmdAbout, kCmdNew, kCmdSave}) {
      EXPECT_TRUE(CommandEnabled(id, c.unit, 0)) << id << " unit " << c.unit;
    }
    // No DTMF receiver: no paging under any unit; nothing else changes.
    EXPECT_FALSE(CommandEnabled(kCmdPagingCode, c.unit, 0x02)) << c.unit;
    EXPECT_EQ(CommandEnabled(kCmdTwoTone, c.unit, 0x02), c.two_tone) << c.unit;
  }
}

TEST(CommandRouting, HardwareRefreshByWhatChanged) {
  Codeplug doc;
  doc.ResetToDefaults();
  doc.channels.SelectGroup(3);
  EXPECT_EQ(AfterDialogCommand(kCmdHardware, {true, true, true, true}, doc).refresh,
            Refresh::kBandChange);
  const auto product = AfterDialogCommand(kCmdHardware, {true, false, true, true}, doc);
  EXPECT_EQ(product.refresh, Refresh::kRebuildGrid);
  EXPECT_TRUE(product.reset_group);
  EXPECT_EQ(doc.channels.current_group, 0);
  EXPECT_EQ(AfterDialogCommand(kCmdHardware, {true, false, false, true}, doc).refresh,
            Refresh::kHeader);
  EXPECT_EQ(AfterDialogCommand(kCmdHardware, {false, false, false, false}, doc).refresh,
            Refresh::kNone);
}

TEST(CommandRouting, DialogsDecodeTheImageAsTheirCommandSays) {
  Codeplug doc;
  doc.ResetToDefaults();
  // A dialog that changed the image: commands that refresh pick the change up.
  auto change_image = [&] {
    doc.CommitToImage();
    doc.image[27] = 0x04;
    doc.option_unit = kOption2Tone;
  };
  change_image();
  EXPECT_EQ(AfterDialogCommand(kCmdScanning, {true}, doc).refresh, Refresh::kNone);
  EXPECT_EQ(doc.option_unit, kOptionNone);
  change_image();
  EXPECT_EQ(AfterDialogCommand(kCmdMiscellaneous, {true}, doc).refresh, Refresh::kHeader);
  EXPECT_EQ(doc.option_unit, kOptionNone);
  change_image();
  AfterDialogCommand(kCmdMarketing, {true}, doc);  // no refresh from the image
  EXPECT_EQ(doc.option_unit, kOption2Tone);
  change_image();
  EXPECT_EQ(AfterDialogCommand(kCmdChannelAllocations, {false}, doc).refresh, Refresh::kNone);
  EXPECT_EQ(doc.option_unit, kOption2Tone);
  EXPECT_EQ(AfterDialogCommand(kCmdChannelAllocations, {true}, doc).refresh, Refresh::kRebuildGrid);
  EXPECT_EQ(doc.option_unit, kOptionNone);
  EXPECT_EQ(AfterDialogCommand(kCmdPagingCode, {true}, doc).refresh, Refresh::kRebuildGrid);
  EXPECT_EQ(AfterDialogCommand(kCmdConfigure, {true}, doc).refresh, Refresh::kHeader);
  EXPECT_EQ(AfterDialogCommand(kCmdTwoTone, {true}, doc).refresh, Refresh::kRebuildGrid);
  EXPECT_EQ(AfterDialogCommand(kCmdTwoTone, {false}, doc).refresh, Refresh::kNone);

  doc.option_unit_changed = false;
  EXPECT_EQ(AfterDialogCommand(kCmdOption, {true}, doc).refresh, Refresh::kNone);
  doc.option_unit_changed = true;
  doc.channels.SelectGroup(2);
  const auto option = AfterDialogCommand(kCmdOption, {true}, doc);
  EXPECT_EQ(option.refresh, Refresh::kRebuildGrid);
  EXPECT_FALSE(doc.option_unit_changed);
  EXPECT_EQ(doc.channels.current_group, 0);
}

TEST(Help, FilterAndPages) {
  EXPECT_EQ(FilterHelpRequest(kHelpMainWindow, 303), 303);
  EXPECT_EQ(FilterHelpRequest(kHelpMainWindow, 0), kHelpMainWindow);
  EXPECT_EQ(FilterHelpRequest(98377, 303), 0);
  EXPECT_EQ(FilterHelpRequest(387101, 0), 0);
  EXPECT_EQ(FilterHelpRequest(131174, 303), 131174);
  auto only_main = [](const std::string& page) { return page == "131200.html"; };
  EXPECT_EQ(HelpPageFor(131200, only_main), "131200.html");
  EXPECT_EQ(HelpPageFor(131174, only_main), "index.html");
  EXPECT_EQ(HelpPageFor(0, only_main), "index.html");
  EXPECT_EQ(CommandHelpContext(kCmdUpload), 98356);
  EXPECT_EQ(DialogHelpContext(174), 131246);
}

}  // namespace
}  // namespace ql40::shell

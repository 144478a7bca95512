#pragma once

// The Channel Allocation/Group Tag dialog: for each of the twenty groups its channel count,
// alpha tag and scan mode. Groups are consecutive slices of the one channel array, so a new
// count moves the start of every later group; no channel record moves. The dialog works on
// the document's channel table directly: OK commits it to the image, Cancel decodes the table
// from the image again.
//
// When OK grows the total and a radio of the same band answers, the channels that have just
// been allocated are read from the radio (UpdateChannelsFromRadio).

#include <array>
#include <functional>

#include "codeplug/codeplug.h"
#include "codeplug/prompter.h"
#include "link/serial_port.h"
#include "settings/form_model.h"

namespace ql40 {

class ChannelAllocationForm : public FormModel {
 public:
  static constexpr int kDialogId = 129;
  static constexpr int kFirstCount = 2601, kFirstTag = 2631, kFirstScan = 2651;

  // Called on OK with the total at opening and the new total when the total has grown.
  using ChannelUpdater = std::function<void(int old_total, int new_total)>;

  ChannelAllocationForm(Codeplug& doc, Prompter& prompter, ChannelUpdater updater = {});

  std::vector<std::string> Items(int id) const override;
  int Selection(int id) const override;
  std::string Text(int id) const override;
  bool Enabled(int id) const override;
  void Select(int id, int index) override;
  FormCommit Commit(int id, std::string_view text) override;
  bool Ok() override;
  void Cancel() override;

  // The scan modes a group's list offers (indices of the group scan mode labels).
  std::vector<int> OfferedScanModes(int group) const;
  // Whether any channel of the group is in a scan list.
  bool GroupInScan(int group) const;

 private:
  // Normalises the group's scan mode against what it can offer now.
  void FillScan(int group);
  FormCommit CommitCount(int group, std::string_view text);

  Codeplug& doc_;
  Prompter& prompter_;
  ChannelUpdater updater_;
  std::array<int, kGroupCount> opened_counts_{};
  int opened_total_ = 0;
  int opened_group_ = 0;
};

// What the channel update read.
struct ChannelUpdateReport {
  bool port_opened = false;
  bool radio_answered = false;  // word 12 came back
  bool same_band = false;
  int channels_read = 0;  // channels decoded from the radio's blocks
  int failures = 0;
};

// Reads the channels old_total .. new_total - 1 from the radio into the document's channel
// table: opens the port, checks the radio's band (bits 14-15 of its word 12), then reads the
// radio blocks that hold those channels. A radio that does not answer, or answers for
// another band, is not read; more than five failed block reads end the reading. No message
// is shown. reading is called once, just before the blocks are read.
ChannelUpdateReport UpdateChannelsFromRadio(Codeplug& doc, const link::PortOpener& open_port,
                                            int old_total, int new_total,
                                            const std::function<void()>& reading = {});

}  // namespace ql40

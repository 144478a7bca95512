#pragma once

// The Scan Parameters dialog: nine lists and the home channel, which the dialog shows as a
// channel number over all groups and the image keeps as group and position.

#include "codeplug/codeplug.h"
#include "settings/form_model.h"
#include "settings/scan_settings.h"

namespace ql40 {

class ScanForm : public FormModel {
 public:
  static constexpr int kDialogId = 158;
  static constexpr int kDualWatch = 2101, kResume1 = 2102, kResume2 = 2103, kHomeScan = 2104,
                       kTalkBack = 2105, kRevert = 2106, kScanEdit = 2107, kScanBeep = 2108,
                       kPriBeep = 2109, kHomeChannel = 2110;

  explicit ScanForm(Codeplug& doc);

  std::vector<std::string> Items(int id) const override;
  int Selection(int id) const override;
  std::string Text(int id) const override;
  void Select(int id, int index) override;
  FormCommit Commit(int id, std::string_view text) override;
  bool Ok() override;

  const ScanSettings& record() const { return record_; }

 private:
  int* Field(int id);
  Codeplug& doc_;
  ScanSettings record_;
};

}  // namespace ql40

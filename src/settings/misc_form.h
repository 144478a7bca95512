#pragma once

// The Miscellaneous dialog: the remaining switches of the general settings, the encryption
// type (offered only where the accessories allow "Hi Level") and the program's default split.

#include "codeplug/codeplug.h"
#include "settings/form_model.h"
#include "settings/general_settings.h"
#include "settings/key_assignment.h"

namespace ql40 {

class MiscForm : public FormModel {
 public:
  static constexpr int kDialogId = 164;
  static constexpr int kDcsComplement = 2500, kPowerOnCondition = 2501, kPttDelay = 2502,
                       kBell = 2503, kMonitorMode = 2504, kNoiseCancelMic = 2505,
                       kTailElimination = 2506, kRadioClone = 2507, kRchkBeep = 2508,
                       kRchkTxTime = 2509, kEncryptionType = 2510, kDefaultSplit = 2520;
  static constexpr double kSplitLimit = 99.9;

  explicit MiscForm(Codeplug& doc);

  std::vector<std::string> Items(int id) const override;
  int Selection(int id) const override;
  std::string Text(int id) const override;
  bool Enabled(int id) const override;
  void Select(int id, int index) override;
  FormCommit Commit(int id, std::string_view text) override;
  bool Ok() override;
  // Puts back the default split of the opening.
  void Cancel() override;

  const GeneralSettings& record() const { return record_; }

 private:
  const int* Field(int id) const;
  Codeplug& doc_;
  GeneralSettings record_;
  KeyAssignment keys_;
  double split_at_open_ = 0.0;
  bool encryption_forced_ = false;
};

}  // namespace ql40

#pragma once

// The Emergency dialog: nine lists; the channel list offers CURRENT only to firmware that
// knows it.

#include "codeplug/codeplug.h"
#include "settings/emergency_settings.h"
#include "settings/form_model.h"

namespace ql40 {

class EmergencyForm : public FormModel {
 public:
  static constexpr int kDialogId = 162;
  static constexpr int kChannel = 2300, kAfMute = 2301, kLcd = 2302, kLed = 2303, kTime = 2304,
                       kRxTime = 2305, kTxTime = 2306, kKeyHold = 2307, kMic = 2308;

  explicit EmergencyForm(Codeplug& doc);

  std::vector<std::string> Items(int id) const override;
  int Selection(int id) const override;
  void Select(int id, int index) override;
  bool Ok() override;

  const EmergencySettings& record() const { return record_; }

 private:
  const int* Field(int id) const;
  Codeplug& doc_;
  EmergencySettings record_;
};

}  // namespace ql40

#pragma once

// The Power Saving dialog: transmit timers, auto power off, receive save, microphone gain,
// lamp, and three typed values (power-on text, beep level, minimum volume).

#include "codeplug/codeplug.h"
#include "settings/form_model.h"
#include "settings/general_settings.h"

namespace ql40 {

class PowerForm : public FormModel {
 public:
  static constexpr int kDialogId = 159;
  static constexpr int kPowerOnTag = 2150, kBeepLevel = 2151, kAfVrMin = 2152,
                       kTransmitTimer = 2153, kPenaltyTimer = 2154, kReleaseTimer = 2155,
                       kApo = 2156, kReceiveSave = 2157, kMicGain = 2158, kLampMode = 2159,
                       kRxLamp = 2160;

  explicit PowerForm(Codeplug& doc);

  std::vector<std::string> Items(int id) const override;
  int Selection(int id) const override;
  std::string Text(int id) const override;
  void Select(int id, int index) override;
  FormCommit Commit(int id, std::string_view text) override;
  bool Ok() override;

  const GeneralSettings& record() const { return record_; }

 private:
  const int* Field(int id) const;
  Codeplug& doc_;
  GeneralSettings record_;
};

}  // namespace ql40

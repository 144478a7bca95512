#pragma once

// The Option dialog: display, lighting, beep, scan list, key lock and squelch threshold, and
// the accessories. An accessory answer reaches into other records (keys, encryption type,
// ANI type, paging slots, channel references and priorities), so the dialog holds copies of
// all of them and writes them together on OK. Cancel puts everything back, the channel table
// included.

#include <memory>

#include "codeplug/codeplug.h"
#include "codeplug/prompter.h"
#include "settings/form_model.h"
#include "settings/key_assignment.h"
#include "settings/option_settings.h"
#include "signalling/dtmf.h"

namespace ql40 {

// Kept out of this header: its member named "slots" collides with a Qt macro in the widgets.
struct PagingTable;

class OptionForm : public FormModel {
 public:
  static constexpr int kDialogId = 131;
  static constexpr int kLcd = 2050, kLighting = 2051, kBeep = 2052, kScanList = 2053,
                       kKeyLock = 2054, kSqThreshold = 2055, kEncryptionDevice = 2056,
                       kKeypad16 = 2057, kDtmfReceiver = 2058, kSubCpu = 2059;

  OptionForm(Codeplug& doc, bool maintenance);
  ~OptionForm() override;

  std::vector<std::string> Items(int id) const override;
  int Selection(int id) const override;
  bool Enabled(int id) const override;
  void Select(int id, int index) override;
  bool Ok() override;
  void Cancel() override;

  const OptionSettings& record() const { return record_; }
  const KeyAssignment& keys() const { return keys_; }
  int encryption_type() const { return encryption_type_; }
  const AniSettings& ani() const { return ani_; }
  const PagingTable& paging() const { return *paging_; }

 private:
  int* Field(int id);
  void ChangeSubCpu(int code);

  Codeplug& doc_;
  bool maintenance_;
  OptionSettings record_;
  KeyAssignment keys_;
  int encryption_type_ = 0;  // 0 KSE-40, 1 Hi Level: byte 183 bit 7
  AniSettings ani_;
  std::unique_ptr<PagingTable> paging_;
  // What Cancel puts back.
  ChannelTable opened_channels_;
  bool opened_option_unit_changed_ = false;
};

}  // namespace ql40

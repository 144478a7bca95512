#pragma once

// The Marketing Parameters dialog: the dealer's market application number (editable) and the
// radio's serial number (shown only). It edits the document's identity record directly.

#include "codeplug/codeplug.h"
#include "settings/form_model.h"

namespace ql40 {

class MarketingForm : public FormModel {
 public:
  static constexpr int kDialogId = 163;
  static constexpr int kMarketApplication = 2400, kSerialNumber = 2401;

  explicit MarketingForm(Codeplug& doc);

  std::string Text(int id) const override;
  bool Enabled(int id) const override { return id != kSerialNumber; }
  FormCommit Commit(int id, std::string_view text) override;
  bool Ok() override;
  // Reads the identity from the image again, which puts the number back.
  void Cancel() override;

 private:
  void DecodeIdentity();
  Codeplug& doc_;
};

}  // namespace ql40

#include "settings/marketing_form.h"

#include <algorithm>

#include "codeplug/codecs.h"
#include "signalling/dialog_text_ids.h"

namespace ql40 {

MarketingForm::MarketingForm(Codeplug& doc)
    : FormModel(
          {.dialog_id = kDialogId, .title_id = res::kStrTitleMarketing, .ok_needs_focus = true},
          &doc.modified),
      doc_(doc) {
  DecodeIdentity();
  AddEdit(kMarketApplication, res::kStrLabelMarketApplication, 0, 4, 6, false,
          FormEditCommit::kOnEnter);
  AddEdit(kSerialNumber, res::kStrLabelSerialNumber, 1, 8, 0, false, FormEditCommit::kReadOnly);
}

void MarketingForm::DecodeIdentity() {
  doc_.identity.Decode(doc_.image, doc_.file_loaded || doc_.radio_origin);
}

std::string MarketingForm::Text(int id) const {
  if (id == kMarketApplication) return Format("%-4d", doc_.identity.market_application);
  if (id == kSerialNumber) return Format("%-8s", doc_.identity.serial_number.c_str());
  return {};
}

FormCommit MarketingForm::Commit(int id, std::string_view text) {
  if (id != kMarketApplication) return {Text(id)};
  doc_.identity.market_application =
      static_cast<int>(std::clamp<long long>(ParseInteger(text), 0, 9999));
  MarkChanged();
  return {Text(id)};
}

bool MarketingForm::Ok() {
  doc_.identity.Encode(doc_.image);
  return true;
}

void MarketingForm::Cancel() {
  DecodeIdentity();
}

}  // namespace ql40

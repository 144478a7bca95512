#pragma once

// The Hardware Parameters dialog: band, model and the synthesiser and squelch constants of
// the program-wide hardware record, which it edits in place. A band change resets the
// channels to the band's default frequency and a model change refits the groups and prunes
// the keys; OK writes everything back with a full commit, Cancel decodes the image again.

#include "codeplug/codeplug.h"
#include "codeplug/prompter.h"
#include "settings/form_model.h"
#include "settings/key_assignment.h"

namespace ql40 {

class HardwareForm : public FormModel {
 public:
  static constexpr int kDialogId = 102;
  static constexpr int kBand = 2005, kProduct = 2006, kRefXtal = 2000, kFirstIf = 2001,
                       kLocalOffset = 2007, kChanStep = 2008, kSqDelay = 2009, kSqRelease = 2002,
                       kNoiseAttack = 2010, kNoiseHysteresis = 2011, kDcsRx = 2012, kDcsTx = 2013,
                       kScanPllB = 2003;

  HardwareForm(Codeplug& doc, Prompter& prompter, bool maintenance);

  std::vector<std::string> Items(int id) const override;
  int Selection(int id) const override;
  std::string Text(int id) const override;
  bool Enabled(int id) const override;
  void Select(int id, int index) override;
  FormCommit Commit(int id, std::string_view text) override;
  bool Ok() override;
  void Cancel() override;

  // The band list is short ("VHF", "UHF") outside maintenance mode unless the codeplug is
  // already VHF Lo Band.
  bool ShortBandList() const;
  const KeyAssignment& keys() const { return keys_; }
  double pending_split() const { return pending_split_; }

 private:
  void SelectBand(int index);
  void SelectProduct(int index);

  Codeplug& doc_;
  Prompter& prompter_;
  bool maintenance_;
  KeyAssignment keys_;
  double pending_split_;
};

}  // namespace ql40

#pragma once

// The Front Panel dialog (set mode, rotary switch mode, locks, key holding time) and the Key
// Function dialog (eight keys and three toggle switch positions). Both edit the key
// assignment record; the key lists only ever offer what the model, the option unit and the
// other assignments allow.

#include "codeplug/codeplug.h"
#include "codeplug/prompter.h"
#include "settings/form_model.h"
#include "settings/key_assignment.h"

namespace ql40 {

class FrontPanelForm : public FormModel {
 public:
  static constexpr int kDialogId = 160;
  static constexpr int kSetMode = 2200, kRotaryMode = 2201, kPttLock = 2202, kDialLock = 2203,
                       kKeyLock = 2204, kHoldingTime = 2205;

  FrontPanelForm(Codeplug& doc, Prompter& prompter);

  std::vector<std::string> Items(int id) const override;
  int Selection(int id) const override;
  void Select(int id, int index) override;
  bool Ok() override;

  const KeyAssignment& keys() const { return keys_; }

 private:
  int* Field(int id);

  Codeplug& doc_;
  Prompter& prompter_;
  KeyAssignment keys_;
};

class KeyFunctionForm : public FormModel {
 public:
  static constexpr int kDialogId = 161;
  // Keys [Monitor], [Lamp], [TOP SEL], [SIDE SEL], [A] to [D]; then the toggle positions
  // [A], [|], [B].
  static constexpr int kFirstKey = 2250, kFirstToggle = 2258, kLastToggle = 2260;

  // Opening refreshes the program-wide option unit from the image and writes the keys back
  // at once, so that what the option unit forbids is gone from the image too.
  explicit KeyFunctionForm(Codeplug& doc);

  std::vector<std::string> Items(int id) const override;
  int Selection(int id) const override;
  void Select(int id, int index) override;
  bool Ok() override;

  const KeyAssignment& keys() const { return keys_; }

 private:
  // The list indices a control offers, in list order; a stored value that is no function
  // at all is kept at the end so that it stays visible.
  std::vector<int> Offered(int id) const;

  Codeplug& doc_;
  KeyAssignment keys_;
};

// Whether any of the twenty groups has a priority channel.
bool AnyGroupHasPriority(const ChannelTable& channels);

}  // namespace ql40

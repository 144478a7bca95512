#pragma once

// The Paging Code, 2Tone Parameters and 2 Tone Edit dialogs: the ten selective-call slots in
// their DTMF form or as tone pairs, and the alert settings of two-tone calls. Emptying a slot
// here also takes it away from every channel that referred to it.

#include <array>
#include <optional>

#include "codeplug/codeplug.h"
#include "settings/form_model.h"
#include "signalling/paging.h"

namespace ql40 {

class PagingForm : public FormModel {
 public:
  static constexpr int kDialogId = 133;
  static constexpr int kFirstCode = 3301;  // 3301 .. 3310
  static constexpr int kFirstFlag = 3311;  // 3311 .. 3320

  explicit PagingForm(Codeplug& doc);

  std::vector<std::string> Items(int id) const override;
  int Selection(int id) const override;
  std::string Text(int id) const override;
  bool Enabled(int id) const override;
  void Select(int id, int index) override;
  void TextEdited(int id, std::string_view text) override;
  bool Ok() override;

  const PagingTable& record() const { return record_; }

 private:
  Codeplug& doc_;
  PagingTable record_;
  std::array<std::optional<std::string>, kPagingSlotCount> edited_{};
  std::array<int, kPagingSlotCount> flags_{};
};

class TwoToneParametersForm : public FormModel {
 public:
  static constexpr int kDialogId = 134;
  static constexpr int kAutoReset = 3401, kGroupCall = 3402, kCallTimes = 3403, kToneFormat = 3404;

  explicit TwoToneParametersForm(Codeplug& doc);

  std::vector<std::string> Items(int id) const override;
  int Selection(int id) const override;
  void Select(int id, int index) override;
  // A changed tone format empties all ten slots; the channels that referred to them lose the
  // reference, as when a slot is emptied in the tables.
  bool Ok() override;

  const TwoToneParameters& record() const { return record_; }
  bool format_changed() const { return format_changed_; }

 private:
  Codeplug& doc_;
  TwoToneParameters opened_;
  TwoToneParameters record_;
  int tone_format_ = kToneStandard;
  bool format_changed_ = false;
};

class TwoToneEditForm : public FormModel {
 public:
  static constexpr int kDialogId = 148;
  static constexpr int kFirstRow = 3501;  // per row k: group k, tone lists k+1, k+2, edits k+3, k+4
  static constexpr int kRowStride = 5;

  explicit TwoToneEditForm(Codeplug& doc);

  std::vector<std::string> Items(int id) const override;
  int Selection(int id) const override;
  std::string Text(int id) const override;
  bool Enabled(int id) const override;
  bool Visible(int id) const override;
  void Select(int id, int index) override;
  FormCommit Commit(int id, std::string_view text) override;
  bool Ok() override;

  bool user_defined() const { return user_defined_; }
  const TwoToneTable& record() const { return record_; }

  static int GroupId(int row) { return kFirstRow + kRowStride * row; }

 private:
  enum Part { kGroup = 0, kFirstList, kSecondList, kFirstEdit, kSecondEdit };
  // Row (0-based) and part of a control id; false when the id is none of this dialog's.
  static bool Locate(int id, int& row, int& part);

  Codeplug& doc_;
  TwoToneTable opened_;
  TwoToneTable record_;
  bool user_defined_ = false;
  // The texts of the user-form edits: tone numbers as "%03d", or empty.
  std::array<std::array<std::string, 2>, kPagingSlotCount> edit_text_{};
};

}  // namespace ql40

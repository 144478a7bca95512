#pragma once

// The ANI Setting, DTMF Setting and DTMF Code dialogs. Their code fields swallow Enter and are
// read when OK is pressed; list changes, too, reach the record only on OK, which marks the
// codeplug modified where a value differs from what the dialog opened with.

#include <array>
#include <optional>

#include "codeplug/codeplug.h"
#include "settings/form_model.h"
#include "signalling/dtmf.h"

namespace ql40 {

class AniForm : public FormModel {
 public:
  static constexpr int kDialogId = 149;
  static constexpr int kType = 3001, kTransmit = 3002, kDelay = 3003, kSpeed = 3004,
                       kAniCode = 3005, kEmergencyCode = 3006;

  explicit AniForm(Codeplug& doc);

  std::vector<std::string> Items(int id) const override;
  int Selection(int id) const override;
  std::string Text(int id) const override;
  bool Enabled(int id) const override;
  void Select(int id, int index) override;
  void TextEdited(int id, std::string_view text) override;
  bool Ok() override;

  const AniSettings& record() const { return record_; }

 private:
  int* Field(AniSettings& s, int id) const;
  Codeplug& doc_;
  AniSettings opened_;
  AniSettings record_;
  bool encryption_device_ = false;
  std::optional<std::string> ani_text_, emergency_text_;
};

class DtmfForm : public FormModel {
 public:
  static constexpr int kDialogId = 130;
  static constexpr int kPauseCode = 3101, kPauseTime = 3102, kSpeed = 3103, kMonitor = 3104,
                       kAnswerBack = 3105, kAutoReset = 3106, kCallTimes = 3107, kKeypad = 3108;

  explicit DtmfForm(Codeplug& doc);

  std::vector<std::string> Items(int id) const override;
  int Selection(int id) const override;
  std::string Text(int id) const override;
  bool Enabled(int id) const override;
  void Select(int id, int index) override;
  void TextEdited(int id, std::string_view text) override;
  bool Ok() override;

  const DtmfSettings& record() const { return record_; }

 private:
  int* Field(DtmfSettings& s, int id) const;
  Codeplug& doc_;
  DtmfSettings opened_;
  DtmfSettings record_;
  std::optional<std::string> pause_text_;  // set once the field was edited
};

class DtmfCodeForm : public FormModel {
 public:
  static constexpr int kDialogId = 132;
  static constexpr int kFirstCode = 3201;  // 3201 .. 3210

  explicit DtmfCodeForm(Codeplug& doc);

  std::string Text(int id) const override;
  void TextEdited(int id, std::string_view text) override;
  bool Ok() override;

  const DtmfCodeList& record() const { return record_; }

 private:
  Codeplug& doc_;
  DtmfCodeList record_;
  std::array<std::optional<std::string>, kDtmfCodeCount> edited_{};
};

}  // namespace ql40

#pragma once
// File > Import Channels with a CHIRP plan: before anything changes the user sees where each row
// goes (or why it is skipped) and picks the group and its first channel; OK imports as one undo
// step. This is the dialog's logic; the Qt dialog only renders it.

#include <string>
#include <vector>

#include "codeplug/codeplug.h"
#include "exchange/chirp_csv.h"
#include "shell/exchange_file.h"

namespace ql40::shell {

class ChirpImportPreview {
 public:
  static constexpr int kColumnCount = 6;
  enum Column { kRow, kLocation, kName, kFrequency, kChannel, kWhat };
  enum class RowKind { kImported, kChanged, kSkipped };

  // doc must not change while the preview is open (the dialog is modal); its pending grid edits
  // must be committed to its image first.
  ChirpImportPreview(const Codeplug& doc, std::string text, std::string path);

  // The groups the rows can go to: "Group 1  GROUP-01  (16 channels)".
  std::vector<std::string> GroupItems() const;
  int group() const { return group_; }  // 0-based
  // A new group; the first channel stays where it was unless the group is too short for it.
  void SetGroup(int group);
  int start() const { return start_; }  // 1-based entry of the group
  int MaxStart() const;
  void SetStart(int start);

  const exchange::ChirpImport& plan() const { return plan_; }
  int RowCount() const { return static_cast<int>(plan_.rows.size()); }
  static std::string Heading(int column);
  std::string Cell(int row, int column) const;
  RowKind Kind(int row) const;
  // What OK would do, or why it cannot.
  std::string Headline() const;
  bool CanImport() const { return plan_.Importable(); }
  // OK: the rows go in as one undo step.
  ExchangeResult Apply(Codeplug& doc) const;

 private:
  void Replan();

  const Codeplug& doc_;
  std::string text_;
  std::string path_;
  int group_ = 0;
  int start_ = 1;
  exchange::ChirpImport plan_;
};

}  // namespace ql40::shell

#pragma once

// The main window's view: the information panel, the group header and channels-left lines,
// and the channel grid of the current group with its in-place editor and pick lists.

#include <QLabel>
#include <memory>

#include "channels/grid_edit.h"
#include "channels/ui/grid_widgets.h"
#include "shell/ui/hooks.h"
#include "shell/ui/qt_prompter.h"

namespace ql40::ui {

// Command ids of the Edit menu that the view serves.
inline constexpr int kCmdEditCopy = 57634;
inline constexpr int kCmdEditCut = 57635;
inline constexpr int kCmdEditPaste = 57637;
inline constexpr int kCmdEditUndo = 57643;
inline constexpr int kCmdEditRedo = 57644;

class ChannelView : public ChannelViewBase {
  Q_OBJECT
 public:
  ChannelView(shell::AppContext& app, QWidget* parent);
  ~ChannelView() override;

  void Rebuild(bool reset_group) override;
  void RedrawHeader() override;
  void ApplyColumnVisibility() override;
  bool RunEditCommand(int command_id) override;
  int CurrentHelpId() const override;
  void FocusGrid() override;

  void ColumnGroupToggled(int flag) override;
  // Flips one View > Item column flag (0-15) and shows or hides its columns at once.
  void ToggleColumnGroup(int flag);

  ChannelGrid* grid() const { return grid_; }
  ChannelGridModel* model() const { return model_; }
  GridHeader* header() const { return header_; }
  CellEditor* editor() const { return editor_; }
  QLabel* groupLine() const { return group_line_; }
  QLabel* channelsLeftLine() const { return left_line_; }
  // The question of a channel-number paste goes here (a message box by default).
  void SetPrompter(Prompter* prompter) { prompter_ = prompter ? prompter : &qt_prompter_; }

  int CurrentChannel() const;
  int CurrentColumn() const;
  // Puts the cursor on a channel (absolute index) of the current group and a column.
  void SetCurrentCell(int channel, int column);

 private:
  bool HandleGridKey(QKeyEvent* event);
  void HandleDoubleClick(const QModelIndex& index);
  void ShowContextMenu(const QPoint& pos);

  void Step(int channel, int column, bool double_click);
  void OpenPickList(int channel, int column);
  void StartEditor(const QString& seed, bool select_all);
  void CommitEditor();
  void CancelEditor();
  void HideEditor();
  void CopySelection();
  void Paste();
  void UndoRedo(bool redo);
  void NextGroup();
  void ComplementDcs();

  // Refreshes after the current channel changed: its row, the priority column and the
  // lines above the grid; then tells the main window.
  void AfterEdit(int channel);
  CellRange SelectedRange() const;
  void UpdateColumnWidths();
  void Status(const std::string& text);

  shell::AppContext& app_;
  QtPrompter qt_prompter_;
  Prompter* prompter_;
  ChannelGridModel* model_ = nullptr;
  ChannelGrid* grid_ = nullptr;
  GridHeader* header_ = nullptr;
  CellEditor* editor_ = nullptr;
  int editor_channel_ = -1;
  int editor_column_ = -1;
  bool committing_ = false;
  QLabel* group_line_ = nullptr;
  QLabel* left_line_ = nullptr;
  std::array<QLabel*, 6> info_values_{};
};

}  // namespace ql40::ui

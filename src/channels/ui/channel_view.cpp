#include "channels/ui/channel_view.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QScrollBar>
#include <QVBoxLayout>

#include "channels/pick_lists.h"
#include "channels/ui/pick_dialog.h"
#include "resources/channel_labels.h"
#include "resources/strings.h"

namespace ql40::ui {
namespace {

QFont GridFont() {
  QFont font(QStringLiteral("DejaVu Sans Mono"));
  font.setStyleHint(QFont::TypeWriter);
  if (!QFontInfo(font).fixedPitch()) font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setPointSize(9);
  return font;
}

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

}  // namespace

ChannelView::ChannelView(shell::AppContext& app, QWidget* parent)
    : ChannelViewBase(parent), app_(app), qt_prompter_(this), prompter_(&qt_prompter_) {
  const QFont fixed = GridFont();
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);

  // Information panel: three columns of label and value.
  auto* panel = new QGroupBox(this);
  auto* info = new QGridLayout(panel);
  for (int i = 0; i < 6; ++i) {
    auto* label =
        new QLabel(Q(std::string(res::kInfoPanelLabels[static_cast<std::size_t>(i)])), panel);
    auto* value = new QLabel(panel);
    value->setObjectName(QStringLiteral("info%1").arg(i));  // info5: the printer
    value->setFont(fixed);
    value->setFrameShape(QFrame::StyledPanel);
    value->setFrameShadow(QFrame::Sunken);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    info_values_[static_cast<std::size_t>(i)] = value;
    const int row = i / 3;
    const int col = (i % 3) * 2;
    info->addWidget(label, row, col);
    info->addWidget(value, row, col + 1);
    info->setColumnStretch(col + 1, 1);
  }
  layout->addWidget(panel);

  auto* lines = new QHBoxLayout;
  group_line_ = new QLabel(this);
  group_line_->setFont(fixed);
  group_line_->setFrameShape(QFrame::StyledPanel);
  left_line_ = new QLabel(this);
  left_line_->setFont(fixed);
  left_line_->setFrameShape(QFrame::StyledPanel);
  lines->addWidget(group_line_, 1);
  lines->addSpacing(12);
  lines->addWidget(left_line_);
  layout->addLayout(lines);

  grid_ = new ChannelGrid(this);
  model_ = new ChannelGridModel(app_.doc, this);
  header_ = new GridHeader(grid_);
  grid_->setHorizontalHeader(header_);
  grid_->setModel(model_);
  grid_->setFont(fixed);
  header_->setFont(fixed);
  grid_->verticalHeader()->hide();
  grid_->verticalHeader()->setDefaultSectionSize(QFontMetrics(fixed).height() + 4);
  grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setSelectionMode(QAbstractItemView::ContiguousSelection);
  grid_->setSelectionBehavior(QAbstractItemView::SelectItems);
  grid_->setWordWrap(false);
  grid_->setTabKeyNavigation(true);
  grid_->setContextMenuPolicy(Qt::CustomContextMenu);
  grid_->key_handler = [this](QKeyEvent* event) { return HandleGridKey(event); };
  layout->addWidget(grid_, 1);

  editor_ = new CellEditor(grid_->viewport());
  editor_->setFont(fixed);
  connect(editor_, &CellEditor::commitRequested, this, [this] {
    CommitEditor();
    grid_->setFocus();
  });
  connect(editor_, &CellEditor::cancelRequested, this, [this] {
    CancelEditor();
    grid_->setFocus();
  });
  connect(grid_, &QTableView::doubleClicked, this, &ChannelView::HandleDoubleClick);
  connect(grid_, &QWidget::customContextMenuRequested, this, &ChannelView::ShowContextMenu);
  // Scrolling away from the cell being edited takes what was typed.
  const auto on_scroll = [this] {
    if (editor_->isVisible()) {
      CommitEditor();
      grid_->setFocus();
    }
  };
  connect(grid_->verticalScrollBar(), &QScrollBar::valueChanged, this, on_scroll);
  connect(grid_->horizontalScrollBar(), &QScrollBar::valueChanged, this, on_scroll);
  connect(grid_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current) {
            if (current.isValid()) {
              app_.doc.channels.current_channel = model_->ChannelOfRow(current.row());
            }
          });
  Rebuild(true);
}

ChannelView::~ChannelView() = default;

void ChannelView::UpdateColumnWidths() {
  const QFontMetrics metrics(grid_->font());
  for (int c = 0; c < kGridColumnCount; ++c) {
    header_->resizeSection(c, ColumnPixelWidth(c, metrics));
  }
}

void ChannelView::Rebuild(bool reset_group) {
  if (editor_->isVisible()) CommitEditor();
  ChannelTable& table = app_.doc.channels;
  table.SelectGroup(reset_group ? 0 : table.current_group);
  grid_->setUpdatesEnabled(false);
  header_->ClearShownAgain();
  header_->SetOptionUnit(app_.doc.option_unit);
  model_->Reload();
  UpdateColumnWidths();
  ApplyColumnVisibility();
  RedrawHeader();
  if (model_->rowCount() > 0) {
    grid_->setCurrentIndex(model_->index(0, 0));
  }
  table.current_channel = model_->FirstChannel();
  grid_->setUpdatesEnabled(true);
}

void ChannelView::RedrawHeader() {
  const Codeplug& doc = app_.doc;
  const ChannelTable& table = doc.channels;
  group_line_->setText(Q(GroupHeaderText(table, table.current_group)));
  left_line_->setText(Q(ChannelsLeftText(table)));
  const std::array<std::string, 6> values = {
      SerialNoText(doc.identity),
      FreqBandText(doc.hardware.band, doc.hardware.channel_spacing),
      ProductTypeText(doc.hardware.product_type),
      FirmwareVersionText(doc.identity.firmware_version),
      ComPortText(app_.com_port),
      app_.printer_name};
  for (std::size_t i = 0; i < values.size(); ++i) info_values_[i]->setText(Q(values[i]));
}

void ChannelView::ApplyColumnVisibility() {
  for (int c = 0; c < kGridColumnCount; ++c) {
    grid_->setColumnHidden(c, !ColumnShown(app_.column_visibility, c));
  }
  // The cursor never rests on a hidden column.
  const QModelIndex current = grid_->currentIndex();
  if (current.isValid() && grid_->isColumnHidden(current.column())) {
    int c = NextShownColumn(app_.column_visibility, current.column(), -1);
    if (c == current.column()) c = NextShownColumn(app_.column_visibility, c, 1);
    grid_->setCurrentIndex(model_->index(current.row(), c));
  }
  header_->viewport()->update();
}

void ChannelView::ToggleColumnGroup(int flag) {
  if (flag < 0 || flag >= kColumnFlagCount) return;
  auto& f = app_.column_visibility[static_cast<std::size_t>(flag)];
  f = f ? 0 : 1;
  ColumnGroupToggled(flag);
}

void ChannelView::ColumnGroupToggled(int flag) {
  if (flag >= 0 && flag < kColumnFlagCount &&
      app_.column_visibility[static_cast<std::size_t>(flag)] != 0) {
    for (int c = 0; c < kGridColumnCount; ++c) {
      if (ColumnFlagOf(c) == flag) header_->MarkShownAgain(c);
    }
  }
  ApplyColumnVisibility();
}

int ChannelView::CurrentChannel() const {
  const QModelIndex current = grid_->currentIndex();
  return current.isValid() ? model_->ChannelOfRow(current.row()) : -1;
}

int ChannelView::CurrentColumn() const {
  const QModelIndex current = grid_->currentIndex();
  return current.isValid() ? current.column() : 0;
}

void ChannelView::SetCurrentCell(int channel, int column) {
  grid_->setCurrentIndex(model_->index(model_->RowOfChannel(channel), column));
}

int ChannelView::CurrentHelpId() const {
  return GridHelpId(CurrentColumn(), app_.doc.option_unit);
}

void ChannelView::FocusGrid() {
  grid_->setFocus();
}

void ChannelView::Status(const std::string& text) {
  if (!text.empty()) emit statusMessage(Q(text));
}

void ChannelView::AfterEdit(int channel) {
  model_->RefreshRow(model_->RowOfChannel(channel));
  model_->RefreshColumn(kColPriority);
  RedrawHeader();
  emit documentChanged();
}

// ---------------------------------------------------------------------------------------
// Keys and mouse

bool ChannelView::HandleGridKey(QKeyEvent* event) {
  const int key = event->key();
  const auto mods = event->modifiers() &
                    (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
  const int channel = CurrentChannel();
  const int column = CurrentColumn();

  if (key == Qt::Key_F1 && mods == Qt::NoModifier) {
    emit helpRequested(CurrentHelpId());
    return true;
  }
  if (key == Qt::Key_F2 && mods == Qt::NoModifier) {
    NextGroup();
    return true;
  }
  if (key == Qt::Key_F3 && mods == Qt::NoModifier) {
    ComplementDcs();
    return true;
  }
  if (key == Qt::Key_F9 && mods == Qt::ShiftModifier) {
    app_.doc.CommitToImage();
    emit fileDataRequested();
    return true;
  }
  if (event->matches(QKeySequence::Copy) ||
      (key == Qt::Key_Insert && mods == Qt::ControlModifier) || event->matches(QKeySequence::Cut) ||
      (key == Qt::Key_Delete && mods == Qt::ShiftModifier)) {
    CopySelection();
    return true;
  }
  if (event->matches(QKeySequence::Paste) || (key == Qt::Key_Insert && mods == Qt::ShiftModifier)) {
    Paste();
    return true;
  }
  if (event->matches(QKeySequence::Undo) || (key == Qt::Key_Backspace && mods == Qt::AltModifier)) {
    UndoRedo(false);
    return true;
  }
  if (event->matches(QKeySequence::Redo) || (key == Qt::Key_Y && mods == Qt::ControlModifier)) {
    UndoRedo(true);
    return true;
  }
  if (channel < 0) return false;
  if ((key == Qt::Key_Return || key == Qt::Key_Enter) && mods == Qt::NoModifier) {
    if (EditorMode(column) >= 0) StartEditor(Q(EditorSeed(app_.doc, channel, column)), true);
    return true;
  }
  if (key == Qt::Key_Space && (mods & ~Qt::ShiftModifier) == 0) {
    // The tag and the receive frequency have nothing to step: a blank starts their editor.
    if (column == kColTag || column == kColReceive) {
      if (CanEditCell(app_.doc, channel, column)) StartEditor(QStringLiteral(" "), false);
      return true;
    }
    Step(channel, column, false);
    return true;
  }
  // Typing into the tag or a frequency starts the editor with the character. Shift held as
  // well does not paste the clipboard after it: Shift is how a capital or a sign is typed, so
  // every tag begun with Shift+D would grow the clipboard's text. Ctrl+V or Shift+Insert in
  // the editor pastes when that is what is wanted.
  const QString text = event->text();
  const bool ctrl = mods & (Qt::ControlModifier | Qt::MetaModifier | Qt::AltModifier);
  if (!ctrl && text.size() == 1 && text[0].isPrint() && key != Qt::Key_Backspace) {
    const int mode = EditorMode(column);
    const char32_t ch = text[0].unicode();
    if (mode >= 0 && ch < 0x80 && EditorCharAccepted(mode, ch, 0) &&
        CanEditCell(app_.doc, channel, column)) {
      StartEditor(Q(FilterEditorInput(mode, text.toStdString(), 0, 1)), false);
    }
    return true;
  }
  return false;
}

void ChannelView::HandleDoubleClick(const QModelIndex& index) {
  if (!index.isValid()) return;
  Step(model_->ChannelOfRow(index.row()), index.column(), true);
}

void ChannelView::ShowContextMenu(const QPoint& pos) {
  QMenu menu(this);
  const auto add = [&](int id, const char* text, QKeySequence keys) {
    QAction* action = menu.addAction(QString::fromUtf8(text));
    action->setObjectName(QString::number(id));
    action->setShortcut(keys);
    connect(action, &QAction::triggered, this, [this, id] { RunEditCommand(id); });
  };
  add(kCmdEditCopy, "&Copy", QKeySequence::Copy);
  add(kCmdEditPaste, "&Paste", QKeySequence::Paste);
  menu.addSeparator();
  add(kCmdEditUndo, "&Undo", QKeySequence::Undo);
  add(kCmdEditRedo, "&Redo", QKeySequence(Qt::CTRL | Qt::Key_Y));
  menu.exec(grid_->viewport()->mapToGlobal(pos));
}

void ChannelView::Step(int channel, int column, bool double_click) {
  Codeplug& doc = app_.doc;
  doc.history.Checkpoint(doc);
  const CellAction action =
      double_click ? DoubleClickCell(doc, channel, column) : CycleCell(doc, channel, column);
  switch (action) {
    case CellAction::kChanged:
      AfterEdit(channel);
      return;
    case CellAction::kBeep:
      doc.history.DropIfUnchanged(doc);
      QApplication::beep();
      return;
    case CellAction::kPick:
      doc.history.DropIfUnchanged(doc);
      OpenPickList(channel, column);
      return;
    case CellAction::kEdit:
      doc.history.DropIfUnchanged(doc);
      StartEditor(Q(EditorSeed(doc, channel, column)), true);
      return;
    case CellAction::kNone:
      doc.history.DropIfUnchanged(doc);
      return;
  }
}

void ChannelView::OpenPickList(int channel, int column) {
  const PickListModel list = PickListFor(app_.doc, channel, column);
  if (list.empty()) return;
  const auto value =
      RunPickDialog(list, this, [this](int help_id) { emit helpRequested(help_id); });
  grid_->setFocus();
  if (!value) return;
  Codeplug& doc = app_.doc;
  doc.history.Checkpoint(doc);
  if (ApplyPick(doc, channel, column, *value)) {
    AfterEdit(channel);
  } else {
    doc.history.DropIfUnchanged(doc);
  }
}

// ---------------------------------------------------------------------------------------
// In-place editor

void ChannelView::StartEditor(const QString& seed, bool select_all) {
  const QModelIndex current = grid_->currentIndex();
  if (!current.isValid()) return;
  const int channel = model_->ChannelOfRow(current.row());
  const int column = current.column();
  if (!CanEditCell(app_.doc, channel, column)) return;
  grid_->scrollTo(current);
  editor_channel_ = channel;
  editor_column_ = column;
  editor_->SetMode(EditorMode(column));
  editor_->setGeometry(grid_->visualRect(current).adjusted(-1, -1, 1, 1));
  editor_->setText(seed.left(kEditorMaxLength));
  editor_->show();
  editor_->setFocus(Qt::OtherFocusReason);
  editor_->end(false);
  if (select_all) editor_->selectAll();
}

void ChannelView::CommitEditor() {
  if (committing_ || !editor_->isVisible()) return;
  committing_ = true;
  const int channel = editor_channel_;
  const int column = editor_column_;
  const std::string text = editor_->text().toLatin1().toStdString();
  HideEditor();
  Codeplug& doc = app_.doc;
  doc.history.Checkpoint(doc);
  std::string note;
  if (CommitEditorText(doc, channel, column, text, &note)) {
    AfterEdit(channel);
    if (!note.empty()) Status(note);
  } else {
    doc.history.DropIfUnchanged(doc);
  }
  editor_channel_ = editor_column_ = -1;
  committing_ = false;
}

void ChannelView::HideEditor() {
  // The grid takes the focus before the editor goes: a focused widget that hides hands the
  // focus on as a Tab would, and the grid would take that as a move to the next cell.
  if (editor_->hasFocus()) grid_->setFocus(Qt::OtherFocusReason);
  editor_->hide();
}

void ChannelView::CancelEditor() {
  // Escape leaves the cell as it was: nothing is committed.
  committing_ = true;
  HideEditor();
  editor_channel_ = editor_column_ = -1;
  committing_ = false;
}

// ---------------------------------------------------------------------------------------
// Clipboard, undo, groups

CellRange ChannelView::SelectedRange() const {
  CellRange range;
  const QModelIndex current = grid_->currentIndex();
  const int row = current.isValid() ? current.row() : 0;
  const int col = current.isValid() ? current.column() : 0;
  range.first_channel = range.last_channel = model_->ChannelOfRow(row);
  range.first_column = range.last_column = col;
  const QModelIndexList selected = grid_->selectionModel()->selectedIndexes();
  if (selected.size() > 1) {
    int r0 = model_->rowCount(), r1 = -1, c0 = kGridColumnCount, c1 = -1;
    for (const QModelIndex& i : selected) {
      r0 = std::min(r0, i.row());
      r1 = std::max(r1, i.row());
      c0 = std::min(c0, i.column());
      c1 = std::max(c1, i.column());
    }
    range.first_channel = model_->ChannelOfRow(r0);
    range.last_channel = model_->ChannelOfRow(r1);
    range.first_column = c0;
    range.last_column = c1;
  }
  return range;
}

void ChannelView::CopySelection() {
  if (model_->rowCount() == 0) return;
  const CellRange range = SelectedRange();
  QApplication::clipboard()->setText(Q(CopyRangeText(app_.doc, range, app_.column_visibility)));
}

void ChannelView::Paste() {
  if (model_->rowCount() == 0) return;
  Codeplug& doc = app_.doc;
  const CellRange range = SelectedRange();
  const std::string text = QApplication::clipboard()->text().toStdString();
  doc.history.Checkpoint(doc);
  const BlockPasteReport report = PasteBlock(doc, range, text, app_.column_visibility, *prompter_);
  doc.history.DropIfUnchanged(doc);
  if (report.single) {
    if (report.single_result == PasteResult::kRefused) {
      QApplication::beep();
      return;
    }
    if (report.single_result == PasteResult::kPasted) {
      // A channel copied from elsewhere in the group changes that row's priority mark too.
      model_->RefreshAll();
      AfterEdit(range.first_channel);
      const std::string note = report.StatusText();
      if (!note.empty()) Status(note);
    }
    return;
  }
  if (!report.refused.empty()) QApplication::beep();
  model_->RefreshAll();
  RedrawHeader();
  Status(report.StatusText());
  if (report.pasted > 0) emit documentChanged();
}

void ChannelView::UndoRedo(bool redo) {
  if (editor_->isVisible()) CommitEditor();
  Codeplug& doc = app_.doc;
  const int column = CurrentColumn();
  const QModelIndex current = grid_->currentIndex();
  const int row = current.isValid() ? current.row() : 0;
  const int group = doc.channels.current_group;
  const bool done = redo ? doc.history.Redo(doc) : doc.history.Undo(doc);
  if (!done) {
    Status(res::FormatString(redo ? kStrNothingToRedo : kStrNothingToUndo));
    QApplication::beep();
    return;
  }
  Rebuild(false);
  // Stay on the cell when the step kept the group.
  if (doc.channels.current_group == group && row < model_->rowCount()) {
    grid_->setCurrentIndex(model_->index(row, column));
  }
  Status(res::FormatString(redo ? kStrRedone : kStrUndone));
  emit documentChanged();
}

void ChannelView::NextGroup() {
  if (editor_->isVisible()) CommitEditor();
  app_.doc.channels.NextGroup();
  Rebuild(false);
}

void ChannelView::ComplementDcs() {
  const int column = CurrentColumn();
  const int channel = CurrentChannel();
  if (channel < 0 || (column != kColDecode && column != kColEncode)) return;
  Codeplug& doc = app_.doc;
  doc.history.Checkpoint(doc);
  if (ql40::ComplementDcs(doc, channel, column)) {
    AfterEdit(channel);
  } else {
    doc.history.DropIfUnchanged(doc);
  }
}

bool ChannelView::RunEditCommand(int command_id) {
  const bool in_editor = editor_->isVisible() && editor_->hasFocus();
  switch (command_id) {
    case kCmdEditCopy:
      if (in_editor) {
        editor_->copy();
      } else {
        CopySelection();
      }
      return true;
    case kCmdEditCut:
      if (in_editor) {
        editor_->cut();
      } else {
        CopySelection();  // grid cells are never emptied by a cut
      }
      return true;
    case kCmdEditPaste:
      if (in_editor) {
        editor_->InsertFiltered(QApplication::clipboard()->text());
      } else {
        Paste();
      }
      return true;
    case kCmdEditUndo:
      if (in_editor) {
        editor_->undo();
      } else {
        UndoRedo(false);
      }
      return true;
    case kCmdEditRedo:
      if (in_editor) {
        editor_->redo();
      } else {
        UndoRedo(true);
      }
      return true;
    default:
      return false;
  }
}

ChannelViewBase* CreateChannelView(shell::AppContext& app, QWidget* parent) {
  return new ChannelView(app, parent);
}

}  // namespace ql40::ui

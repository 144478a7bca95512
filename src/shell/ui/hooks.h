#pragma once

// The seams between the main window and the parts that plug into it: the channel view, the
// settings and signalling dialogs, the alignment dialogs, the transfer dialog and printing.
// Each part implements its functions in its own ui folder; the main window only calls them.

#include <QWidget>
#include <memory>
#include <optional>

#include "codeplug/codeplug.h"
#include "link/alignment_link.h"
#include "link/clone_session.h"
#include "link/transfer.h"
#include "shell/app_context.h"

namespace ql40::ui {

// What the main window does after a dialog, before it reselects the command enable masks.
enum class RefreshMode : int {
  kNone = 0,         // nothing more
  kRebuildGrid = 1,  // rebuild the grid for its current group and redraw the view
  kHeader = 2,       // redraw the view's information panel
  kBandChange = 4,   // the band changed: new default band file, then rebuild the grid
};

// The channel view that fills the main window: information panel, group header, grid.
class ChannelViewBase : public QWidget {
  Q_OBJECT
 public:
  using QWidget::QWidget;
  ~ChannelViewBase() override = default;

  // Rebuilds the grid from the document's channel table; reset_group goes back to group 1.
  virtual void Rebuild(bool reset_group) = 0;
  // Redraws the information panel (serial number, band, model, printer, ...).
  virtual void RedrawHeader() = 0;
  // Shows and hides columns by the application's column flags.
  virtual void ApplyColumnVisibility() = 0;
  // Edit > Copy, Paste, Cut, Undo while the view has the focus; false when not handled.
  virtual bool RunEditCommand(int command_id) = 0;
  // The help context of the grid's current column (F1 in the grid).
  virtual int CurrentHelpId() const = 0;
  // Gives the keyboard focus to the grid.
  virtual void FocusGrid() = 0;

 signals:
  // Shift+F9: the raw File Data view.
  void fileDataRequested();
  // A text for the status bar's message pane.
  void statusMessage(const QString& text);
  // The document's modified flag may have changed.
  void documentChanged();
  // F1 in the view with a help context.
  void helpRequested(int context_id);
};

// The view the main window shows (channels/ui).
ChannelViewBase* CreateChannelView(shell::AppContext& app, QWidget* parent);

// What a settings or signalling dialog reports to the main window.
struct DialogOutcome {
  bool accepted = false;
  bool band_changed = false;
  bool product_changed = false;
  bool hardware_changed = false;
  bool option_unit_changed = false;
};

// The dialog of a Common menu command (32772-32780) or Channel Allocations (32830), run modally;
// nothing when the command has no dialog (settings/ui).
std::optional<DialogOutcome> RunSettingsCommand(int command_id, QWidget* parent,
                                                shell::AppContext& app);

// The dialog of a Signalling menu command (32783-32788) (signalling/ui).
std::optional<DialogOutcome> RunSignallingCommand(int command_id, QWidget* parent,
                                                  shell::AppContext& app);

// Basic Alignment (fine = false) or Channel Fine Alignment on the open link; true for OK
// (alignment/ui).
bool RunAlignmentDialog(bool fine, QWidget* parent, link::AlignmentLink& link, Codeplug& doc,
                        shell::AppContext& app);

// Runs one transfer on a worker thread behind the "Access Gauge" progress dialog and gives its
// outcome (link/ui). The session must use the observer and cancel token the dialog passes in,
// so it is made by the factory.
using SessionFactory = std::function<std::unique_ptr<link::CloneSession>(
    link::TransferObserver* observer, const link::CancelToken* cancel)>;
link::TransferOutcome RunTransferDialog(QWidget* parent, const SessionFactory& make_session,
                                        link::TransferKind kind);

// Printing of the report (report/ui).
void PrintReport(QWidget* parent, shell::AppContext& app);
void PrintPreview(QWidget* parent, shell::AppContext& app);
// The report as a PDF file; false with a message when it cannot be written.
bool ExportReportPdf(QWidget* parent, shell::AppContext& app, const QString& path);

}  // namespace ql40::ui

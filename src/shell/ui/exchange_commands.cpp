// File > Export / Import (JSON), Export / Import Channels (CSV), Compare With File, and
// Radio > Program Several Radios...: the main window's side of them.

#include <QDir>
#include <QFileDialog>

#include "exchange/chirp_csv.h"
#include "resources/strings.h"
#include "shell/chirp_preview.h"
#include "shell/exchange_file.h"
#include "shell/extras_ids.h"
#include "shell/shell_strings.h"
#include "shell/ui/fleet_dialog.h"
#include "shell/ui/lines_dialog.h"
#include "shell/ui/main_window.h"

namespace ql40::ui {
namespace {

using namespace shell;

QString Text(int id) {
  return QString::fromStdString(res::FormatString(id));
}

QString PlainText(int id) {
  QString text = Text(id);
  text.remove('&');
  if (text.endsWith("...")) text.chop(3);
  return text;
}

int LabelOf(int command_id) {
  switch (command_id) {
    case kCmdExportJson:
      return kStrItemExportJson;
    case kCmdImportJson:
      return kStrItemImportJson;
    case kCmdExportCsv:
      return kStrItemExportCsv;
    case kCmdImportCsv:
      return kStrItemImportCsv;
    case kCmdCompareFile:
      return kStrItemCompareFile;
    default:
      return kStrItemFleet;
  }
}

}  // namespace

bool IsExchangeCommand(int command_id) {
  return command_id >= kCmdExportJson && command_id <= kCmdCompareFile;
}

std::optional<ExchangeFileChoice> AskExchangeFile(QWidget* parent, int command_id) {
  const bool save = command_id == kCmdExportJson || command_id == kCmdExportCsv;
  const bool json = command_id == kCmdExportJson || command_id == kCmdImportJson;
  const bool csv = command_id == kCmdExportCsv || command_id == kCmdImportCsv;
  int filter = kStrFileFilter;
  if (json) filter = kStrJsonFilter;
  if (csv) filter = kStrCsvFilter;
  // Export Channels writes either format: the filter says which.
  if (command_id == kCmdExportCsv) filter = kStrChannelsExportFilter;
  QFileDialog dialog(parent, PlainText(LabelOf(command_id)), QString(), Text(filter));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setDefaultSuffix(json ? "json" : csv ? "csv" : "q40");
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  const QStringList filters = Text(filter).split(";;");
  const bool chirp = command_id == kCmdExportCsv && filters.size() > 1 &&
                     dialog.selectedNameFilter() == filters.at(1);
  return ExchangeFileChoice(QDir::toNativeSeparators(dialog.selectedFiles().first()).toStdString(),
                            chirp);
}

void ShowLinesDialog(QWidget* parent, int command_id, const QString& headline,
                     const QStringList& lines) {
  LinesDialog dialog(command_id, PlainText(LabelOf(command_id)), headline, lines, parent);
  dialog.exec();
}

void MainWindow::ExchangeCommand(int command_id) {
  const auto choice = choose_exchange_ ? choose_exchange_(this, command_id) : std::nullopt;
  if (!choice) return;
  const std::string& path = choice->path;
  ExchangeResult result;
  switch (command_id) {
    case kCmdExportJson:
      result = ExportJsonFile(app_.doc, path);
      break;
    case kCmdExportCsv:
      result = ExportChannelsFile(app_.doc, path,
                                  choice->chirp ? ChannelFormat::kChirp : ChannelFormat::kQl40);
      break;
    case kCmdImportJson:
      result = ImportJsonFile(app_.doc, path);
      // A new band, option unit or model: everything shown may have changed.
      if (result.ok) RefreshAll(true);
      break;
    case kCmdImportCsv: {
      std::string text;
      std::string why;
      if (ReadTextFile(path, text, why) && exchange::IsChirpCsv(text)) {
        // A plan from another radio: first what goes where, then OK imports it.
        app_.doc.CommitToImage();
        ChirpImportPreview preview(app_.doc, std::move(text), path);
        if (!preview_chirp_ || !preview_chirp_(this, preview)) return;
        result = preview.Apply(app_.doc);
      } else {
        result = ImportChannelsFile(app_.doc, path);
      }
      if (result.ok) RefreshAll(false);
      break;
    }
    case kCmdCompareFile:
      result = CompareWithFile(app_.doc, path, prompter_);
      break;
    default:
      return;
  }
  QStringList lines;
  for (const std::string& line : result.lines) lines << QString::fromStdString(line);
  const QString message = QString::fromStdString(result.message);
  if (command_id == kCmdCompareFile && result.ok) {
    if (show_lines_) show_lines_(this, command_id, message, lines);
    return;
  }
  if (!result.ok) {
    // An empty message: the prompter has already said what was wrong with the file.
    if (!message.isEmpty() && show_lines_) show_lines_(this, command_id, message, lines);
    return;
  }
  // An import that stored values other than the file gives them says which.
  if (!lines.isEmpty() && show_lines_) show_lines_(this, command_id, message, lines);
  ShowStatus(message);
}

void MainWindow::FleetCommand() {
  RunFleetDialog(this, app_, prompter_);
}

}  // namespace ql40::ui

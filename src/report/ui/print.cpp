#include "report/ui/print.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <algorithm>

#include "codeplug/files.h"
#include "shell/ui/hooks.h"
#include "shell/ui/qt_prompter.h"

namespace ql40::ui {
namespace {

// Courier where the system has it (or a font with its metrics), else the system's fixed
// font: the columns of the channel pages only line up in a fixed pitch.
QFont ReportFont() {
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  const QStringList installed = QFontDatabase::families();
  for (const char* name :
       {"Courier New", "Courier", "Liberation Mono", "Nimbus Mono PS", "Nimbus Mono L"}) {
    if (installed.contains(QLatin1String(name), Qt::CaseInsensitive)) {
      font = QFont(QLatin1String(name));
      break;
    }
  }
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  if (!QFontInfo(font).fixedPitch()) font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setKerning(false);
  return font;
}

// The font's shape measured on the printer, as fractions of its size.
FontShape MeasureShape(QFont font, QPrinter& printer) {
  constexpr double kProbe = 100.0;
  font.setPointSizeF(kProbe);
  const QFontMetricsF metrics(font, &printer);
  const double to_points = 72.0 / printer.logicalDpiY();
  FontShape shape;
  shape.advance =
      metrics.horizontalAdvance(QLatin1Char('0')) * 72.0 / printer.logicalDpiX() / kProbe;
  shape.line = (metrics.height() + metrics.leading()) * to_points / kProbe;
  return shape;
}

void Show(QWidget* parent, int string_id, std::initializer_list<std::string_view> args) {
  QtPrompter prompter(parent);
  prompter.Show(string_id, MessageIcon::kStop, args);
}

// The printer the user chose last time, when it is still there.
void UseRemembered(QPrinter& printer, const shell::AppContext& app) {
  if (!app.printer_name.empty()) printer.setPrinterName(QString::fromStdString(app.printer_name));
}

void Remember(const QPrinter& printer, shell::AppContext& app) {
  if (printer.outputFormat() == QPrinter::NativeFormat && !printer.printerName().isEmpty()) {
    app.printer_name = printer.printerName().toStdString();
  }
}

}  // namespace

PrintedReportLayout LayoutReportFor(QPrinter& printer, const Report& report) {
  printer.setPageMargins(
      QMarginsF(kReportMarginPt, kReportMarginPt, kReportMarginPt, kReportMarginPt),
      QPageLayout::Point);
  const QRectF area = printer.pageLayout().paintRect(QPageLayout::Point);
  PrintedReportLayout printed;
  printed.font = ReportFont();
  printed.layout = FitReportLayout(area.width(), area.height(), MeasureReport(report),
                                   MeasureShape(printed.font, printer));
  printed.font.setPointSizeF(printed.layout.font_size);
  printed.origin = area.topLeft();
  return printed;
}

bool PaintReport(QPrinter& printer, const Report& report, int from, int to) {
  const PrintedReportLayout printed = LayoutReportFor(printer, report);
  from = std::max(from, 1);
  to = std::min(to, report.PageCount());
  QPainter painter;
  if (!painter.begin(&printer)) return false;
  painter.setFont(printed.font);
  // The painter works in device pixels from the printable area's corner.
  const double x_scale = printer.logicalDpiX() / 72.0;
  const double y_scale = printer.logicalDpiY() / 72.0;
  const double ascent = QFontMetricsF(printed.font, &printer).ascent();
  const double left = printed.layout.left * x_scale;
  for (int page = from; page <= to; ++page) {
    if (page > from) printer.newPage();
    double top = 0;
    for (const std::string& line : report.PageLines(page)) {
      painter.drawText(QPointF(left, top + ascent), QString::fromLatin1(line));
      top += printed.layout.line_height * y_scale;
    }
  }
  return painter.end();
}

QPrintPreviewDialog* CreateReportPreview(QPrinter* printer, const Report& report, QWidget* parent) {
  auto* preview = new QPrintPreviewDialog(printer, parent);
  preview->setObjectName("PrintPreview");
  QObject::connect(
      preview, &QPrintPreviewDialog::paintRequested, preview,
      [&report](QPrinter* target) { PaintReport(*target, report, 1, report.PageCount()); });
  return preview;
}

PaperSize DefaultPaper() {
  const QPrinter printer;
  const QPageSize size = printer.pageLayout().pageSize();
  if (size.id() == QPageSize::Letter) return kPaperLetter;
  if (size.id() == QPageSize::A4 || !size.isValid()) return kPaperA4;
  const QSizeF points = size.size(QPageSize::Point);
  return {points.width(), points.height()};
}

void PrintReport(QWidget* parent, shell::AppContext& app) {
  const Report report(app.doc);
  QPrinter printer(QPrinter::HighResolution);
  UseRemembered(printer, app);
  QPrintDialog dialog(&printer, parent);
  dialog.setObjectName("PrintDialog");
  dialog.setOption(QAbstractPrintDialog::PrintPageRange);
  dialog.setMinMax(1, report.PageCount());
  dialog.setFromTo(1, report.PageCount());
  if (dialog.exec() != QDialog::Accepted) return;
  int from = 1;
  int to = report.PageCount();
  if (printer.printRange() == QPrinter::PageRange) {
    from = printer.fromPage();
    to = printer.toPage();
  }
  if (!PaintReport(printer, report, from, to)) {
    Show(parent, kStrReportNotPrinted, {printer.printerName().toStdString()});
    return;
  }
  Remember(printer, app);
}

void PrintPreview(QWidget* parent, shell::AppContext& app) {
  const Report report(app.doc);
  QPrinter printer(QPrinter::HighResolution);
  UseRemembered(printer, app);
  std::unique_ptr<QPrintPreviewDialog> preview(CreateReportPreview(&printer, report, parent));
  preview->exec();
  Remember(printer, app);
}

bool ExportReportPdf(QWidget* parent, shell::AppContext& app, const QString& path) {
  const Report report(app.doc);
  PdfOptions options;
  options.paper = DefaultPaper();
  options.margin = kReportMarginPt;
  options.title = BaseName(app.doc.path);
  std::string error;
  if (WriteReportPdf(report, path.toStdString(), options, &error)) return true;
  Show(parent, kStrReportNotWritten, {path.toStdString(), error});
  return false;
}

}  // namespace ql40::ui

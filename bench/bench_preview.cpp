// Print Preview of a codeplug with all 512 channels, from the command to its first page on the
// screen; and the whole report as a PDF, through the core writer and through Qt's printer.
// Prints its figures; aim: under 0.5 s to the first page.

// The core's headers come first (Qt's "slots" keyword clashes with a record member).
#include "report/pdf_writer.h"
#include "report/ui/print.h"
// (keep this order)
#include <QApplication>
#include <QElapsedTimer>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

using namespace ql40;

namespace {

void FillAllChannels(Codeplug& doc) {
  doc.channels.count.fill(0);
  doc.channels.count[0] = doc.channels.count[1] = 255;
  doc.channels.count[2] = 2;
  doc.channels.total = kChannelCount;
  for (int n = 0; n < kChannelCount; ++n) {
    auto& r = doc.channels.records[static_cast<std::size_t>(n)];
    r.rx_frequency = r.tx_frequency = 14400000 + 2500 * n;
    r.status |= 1;
  }
}

struct Figures {
  std::vector<double> ms;
  // The first run pays for loading fonts and plugins, as the first preview of a session does.
  void Print(const char* what) {
    const double first = ms.front();
    std::sort(ms.begin(), ms.end());
    std::printf("%-42s first %7.2f ms  min %7.2f ms  median %7.2f ms  (%zu runs)\n", what, first,
                ms.front(), ms[ms.size() / 2], ms.size());
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  constexpr int kRuns = 7;

  auto doc = std::make_unique<Codeplug>();
  doc->ResetToDefaults();
  doc->path = "fleet.q40";
  FillAllChannels(*doc);
  const int pages = Report(*doc).PageCount();
  std::printf("codeplug: %d channels, %d report pages\n", doc->channels.total, pages);

  Figures preview_figures;
  for (int run = 0; run < kRuns; ++run) {
    QElapsedTimer clock;
    clock.start();
    const Report report(*doc);
    QPrinter printer(QPrinter::HighResolution);
    std::unique_ptr<QPrintPreviewDialog> preview(
        ui::CreateReportPreview(&printer, report, nullptr));
    preview->resize(900, 700);
    preview->show();
    auto* widget = preview->findChild<QPrintPreviewWidget*>();
    while (widget->pageCount() < pages) QApplication::processEvents(QEventLoop::AllEvents, 5);
    const QPixmap first_page = preview->grab();  // renders the visible (first) page
    preview_figures.ms.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    if (first_page.isNull()) std::printf("warning: the preview did not render\n");
  }
  preview_figures.Print("Print Preview to its first page");

  Figures core_pdf;
  std::size_t pdf_bytes = 0;
  for (int run = 0; run < kRuns; ++run) {
    QElapsedTimer clock;
    clock.start();
    const std::string pdf = ReportPdf(Report(*doc), PdfOptions{});
    core_pdf.ms.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    pdf_bytes = pdf.size();
  }
  core_pdf.Print("Report as PDF, core writer (in memory)");
  std::printf("    %zu bytes\n", pdf_bytes);

  Figures qt_pdf;
  QTemporaryDir dir;
  for (int run = 0; run < kRuns; ++run) {
    QElapsedTimer clock;
    clock.start();
    const Report report(*doc);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("report.pdf"));
    ui::PaintReport(printer, report, 1, report.PageCount());
    qt_pdf.ms.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
  }
  qt_pdf.Print("Report printed to a PDF file through Qt");
  return 0;
}

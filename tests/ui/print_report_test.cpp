// The report printed through Qt's printer into a PDF file and read back word by word at its
// place on the sheet; the preview; File > Export PDF.

// The core's headers come first (Qt's "slots" keyword clashes with a record member).
#include "report/pdf_reader.h"
#include "report/ui/print.h"
// (keep this order)
#include <QApplication>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "shell/ui/hooks.h"
#include "support/test_support.h"

using namespace ql40;
namespace qt = ql40::testing;

namespace {

// Prints pages from..to into a PDF and reads the pages back on the grid they were laid on.
std::vector<qt::PdfLines> PrintAndRead(const Report& report, QPageSize paper, int from, int to,
                                       const char* shot) {
  QTemporaryDir dir;
  const QString file = dir.filePath("report.pdf");
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(file);
  printer.setPageSize(paper);
  const auto printed = ui::LayoutReportFor(printer, report);
  if (!ui::PaintReport(printer, report, from, to)) return {};
  if (const QByteArray shots = qgetenv("QL40_UI_SHOTS"); !shots.isEmpty() && shot) {
    qt::RunCommand("pdftoppm -png -r 70 " + file.toStdString() + " " + shots.toStdString() + "/" +
                   shot);
  }
  return qt::PdfGridPages(file.toStdString(),
                          {printed.origin.x() + printed.layout.left, printed.origin.y(),
                           printed.layout.char_width, printed.layout.line_height});
}

}  // namespace

class PrintReportTest : public QObject {
  Q_OBJECT
 private slots:
  void printedPagesHoldTheReportLinesInTheirColumns() {
    for (const bool full : {false, true}) {
      const Codeplug doc = qt::FleetCodeplug(full);
      const Report report(doc);
      const auto paper = QPageSize(full ? QPageSize::Letter : QPageSize::A4);
      const auto pages = PrintAndRead(report, paper, 1, report.PageCount(), full ? "full" : "new");
      QCOMPARE(static_cast<int>(pages.size()), report.PageCount());
      for (int page = 1; page <= report.PageCount(); ++page) {
        QVERIFY2(pages[static_cast<std::size_t>(page - 1)] == qt::Trimmed(report.PageLines(page)),
                 qPrintable(QString("page %1").arg(page)));
      }
    }
    // A range reaching past the last page stops there.
    const Codeplug doc = qt::FleetCodeplug(true);
    const Report report(doc);
    const auto range = PrintAndRead(report, QPageSize(QPageSize::A4), 18, 40, nullptr);
    QCOMPARE(range.size(), std::size_t{2});
    QVERIFY(range[0] == qt::Trimmed(report.PageLines(18)));
    QVERIFY(range[1] == qt::Trimmed(report.PageLines(19)));
  }

  void fontIsFixedPitchAndShrinksOnlyOnSmallPaper() {
    const Codeplug doc = qt::FleetCodeplug(false);
    const Report report(doc);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    for (const auto id : {QPageSize::A4, QPageSize::A6}) {
      printer.setPageSize(QPageSize(id));
      const auto printed = ui::LayoutReportFor(printer, report);
      QVERIFY(QFontInfo(printed.font).fixedPitch());
      QCOMPARE(printed.layout.font_size < kReportFontSize, id == QPageSize::A6);
      const QRectF area = printer.pageLayout().paintRect(QPageLayout::Point);
      QVERIFY(MeasureReport(report).lines * printed.layout.line_height <= area.height() + 1e-6);
    }
  }

  void previewShowsEveryPage() {
    const Codeplug doc = qt::FleetCodeplug(true);
    const Report report(doc);
    QPrinter printer(QPrinter::HighResolution);
    std::unique_ptr<QPrintPreviewDialog> preview(
        ui::CreateReportPreview(&printer, report, nullptr));
    preview->resize(900, 700);
    preview->show();
    auto* widget = preview->findChild<QPrintPreviewWidget*>();
    QVERIFY(widget != nullptr);
    QTRY_COMPARE(widget->pageCount(), report.PageCount());
    if (const QByteArray shots = qgetenv("QL40_UI_SHOTS"); !shots.isEmpty()) {
      preview->grab().save(QString(shots) + "/print_preview.png");
    }
    // The menu's hook runs the same preview modally and returns when it is closed.
    shell::AppContext app;
    app.doc = qt::FleetCodeplug(false);
    QTimer::singleShot(100, [] {
      if (auto* open = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget())) {
        open->reject();
      }
    });
    ui::PrintPreview(nullptr, app);
  }

  void exportWritesTheCorePdfAndSaysWhenItCannot() {
    shell::AppContext app;
    app.doc = qt::FleetCodeplug(true);
    QTemporaryDir dir;
    const QString file = dir.filePath("fleet.pdf");
    QStringList boxes;
    QTimer watch;
    connect(&watch, &QTimer::timeout, [&] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        boxes << box->objectName() << box->text();
        box->accept();
      }
    });
    watch.start(10);
    QVERIFY(ui::ExportReportPdf(nullptr, app, file));
    PdfOptions options;
    options.paper = ui::DefaultPaper();
    options.margin = ui::kReportMarginPt;
    options.title = "fleet.q40";
    const std::string expected = ReportPdf(Report(app.doc), options);
    QCOMPARE(qt::ReadText(file.toStdString()), expected);

    // A folder that is not there: a message naming the file; the earlier export stays whole.
    const QString bad = dir.filePath("gone/fleet.pdf");
    QVERIFY(!ui::ExportReportPdf(nullptr, app, bad));
    QCOMPARE(boxes.value(0), "message" + QString::number(ui::kStrReportNotWritten));
    QVERIFY(boxes.value(1).contains(bad));
    QVERIFY(!QFile::exists(bad));
    QCOMPARE(qt::ReadText(file.toStdString()), expected);
  }
};

QTEST_MAIN(PrintReportTest)
#include "print_report_test.moc"

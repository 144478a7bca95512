// The report printed through Qt's printer into a PDF file and read back word by word at its
// place on the sheet, the preview, and File > Export PDF.

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

#include "codeplug/files.h"
#include "shell/ui/hooks.h"
#include "support/test_support.h"

using namespace ql40;
namespace qt = ql40::testing;

namespace {

Codeplug FleetDoc() {
  Codeplug doc;
  doc.ResetToDefaults();
  doc.path = "/home/dealer/fleet/fleet.q40";
  return doc;
}

// Every channel allocated and programmed: 19 pages.
void Fill(Codeplug& doc) {
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

// Prints pages from..to into a PDF file and gives the grid the lines were laid on.
qt::PdfGrid PrintToPdf(const Report& report, const QString& file, QPageSize paper, int from,
                       int to) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(file);
  printer.setPageSize(paper);
  const auto printed = ui::LayoutReportFor(printer, report);
  if (!ui::PaintReport(printer, report, from, to)) return {};
  return {printed.origin.x() + printed.layout.left, printed.origin.y(), printed.layout.char_width,
          printed.layout.line_height};
}

void SavePages(const QString& pdf, const char* name) {
  const QByteArray dir = qgetenv("QL40_UI_SHOTS");
  if (dir.isEmpty()) return;
  qt::RunCommand("pdftoppm -png -r 70 '" + pdf.toStdString() + "' '" + dir.toStdString() + "/" +
                 name + "'");
}

// Answers the next message boxes with OK and keeps their objectNames.
struct BoxWatcher {
  BoxWatcher() {
    QObject::connect(&timer, &QTimer::timeout, [this] {
      for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(w);
        if (box == nullptr || !box->isVisible() || box->property("seen").toBool()) continue;
        box->setProperty("seen", true);
        names << box->objectName();
        texts << box->text();
        QTimer::singleShot(0, box, &QMessageBox::accept);
      }
    });
    timer.start(10);
  }
  QTimer timer;
  QStringList names, texts;
};

}  // namespace

class PrintReportTest : public QObject {
  Q_OBJECT
 private slots:
  void printedPagesHoldTheReportLinesInTheirColumns() {
    Codeplug full = FleetDoc();
    Fill(full);
    struct Case {
      const char* name;
      const Codeplug* doc;
      QPageSize paper;
    };
    const Codeplug fresh = FleetDoc();
    const Case cases[] = {{"new_a4", &fresh, QPageSize(QPageSize::A4)},
                          {"full_letter", &full, QPageSize(QPageSize::Letter)}};
    for (const auto& c : cases) {
      const Report report(*c.doc);
      QTemporaryDir dir;
      const QString file = dir.filePath("report.pdf");
      const auto grid = PrintToPdf(report, file, c.paper, 1, report.PageCount());
      QVERIFY2(grid.char_width > 0, c.name);
      SavePages(file, c.name);
      QCOMPARE(qt::PdfPageCount(file.toStdString()), report.PageCount());
      const auto pages = qt::PdfGridPages(file.toStdString(), grid);
      QCOMPARE(static_cast<int>(pages.size()), report.PageCount());
      for (int page = 1; page <= report.PageCount(); ++page) {
        const auto got = qt::Trimmed(pages[static_cast<std::size_t>(page - 1)]);
        const auto want = qt::Trimmed(report.PageLines(page));
        if (got != want) {
          for (std::size_t i = 0; i < std::max(got.size(), want.size()); ++i) {
            const std::string g = i < got.size() ? got[i] : "<none>";
            const std::string w = i < want.size() ? want[i] : "<none>";
            if (g != w)
              qWarning("%s page %d line %zu:\n got %s\nwant %s", c.name, page, i, g.c_str(),
                       w.c_str());
          }
        }
        QVERIFY2(got == want, qPrintable(QString("%1 page %2").arg(c.name).arg(page)));
      }
    }
  }

  void pageRangePrintsOnlyItsPages() {
    Codeplug doc = FleetDoc();
    Fill(doc);
    const Report report(doc);
    QTemporaryDir dir;
    const QString file = dir.filePath("range.pdf");
    // A range reaching past the last page stops there.
    const auto grid = PrintToPdf(report, file, QPageSize(QPageSize::A4), 18, 40);
    QCOMPARE(qt::PdfPageCount(file.toStdString()), 2);
    const auto pages = qt::PdfGridPages(file.toStdString(), grid);
    QVERIFY(pages.size() == 2);
    QVERIFY(qt::Trimmed(pages[0]) == qt::Trimmed(report.PageLines(18)));
    QVERIFY(qt::Trimmed(pages[1]) == qt::Trimmed(report.PageLines(19)));
  }

  void fontShrinksOnlyWhenThePageIsTooSmall() {
    const Report report(FleetDoc());
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::A4));
    const auto a4 = ui::LayoutReportFor(printer, report);
    QCOMPARE(a4.layout.font_size, kReportFontSize);
    QVERIFY(QFontInfo(a4.font).fixedPitch());
    // A5 is too short for the settings page at ten points: smaller, and every line fits.
    printer.setPageSize(QPageSize(QPageSize::A5));
    const auto a5 = ui::LayoutReportFor(printer, report);
    QVERIFY(a5.layout.font_size < kReportFontSize);
    const auto extent = MeasureReport(report);
    const QRectF area = printer.pageLayout().paintRect(QPageLayout::Point);
    QVERIFY(extent.lines * a5.layout.line_height <= area.height() + 1e-6);
  }

  void previewShowsEveryPage() {
    Codeplug doc = FleetDoc();
    Fill(doc);
    const Report report(doc);
    QPrinter printer(QPrinter::HighResolution);
    std::unique_ptr<QPrintPreviewDialog> preview(
        ui::CreateReportPreview(&printer, report, nullptr));
    preview->resize(900, 700);
    preview->show();
    auto* widget = preview->findChild<QPrintPreviewWidget*>();
    QVERIFY(widget != nullptr);
    QTRY_COMPARE(widget->pageCount(), report.PageCount());
    const QByteArray dir = qgetenv("QL40_UI_SHOTS");
    if (!dir.isEmpty()) preview->grab().save(QString(dir) + "/print_preview.png");

    // The hook runs the same preview modally and closes cleanly.
    shell::AppContext app;
    app.doc = FleetDoc();
    QTimer::singleShot(200, [] {
      if (auto* open = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget())) {
        open->reject();
      }
    });
    ui::PrintPreview(nullptr, app);
  }

  void exportWritesTheCorePdfAndSaysWhenItCannot() {
    shell::AppContext app;
    app.doc = FleetDoc();
    Fill(app.doc);
    QTemporaryDir dir;
    const QString file = dir.filePath("fleet.pdf");
    BoxWatcher boxes;
    QVERIFY(ui::ExportReportPdf(nullptr, app, file));
    PdfOptions options;
    options.paper = ui::DefaultPaper();
    options.margin = ui::kReportMarginPt;
    options.title = "fleet.q40";
    QCOMPARE(qt::ReadText(file.toStdString()), ReportPdf(Report(app.doc), options));
    QVERIFY(boxes.names.isEmpty());

    // A folder that is not there: a message naming the file, nothing written, and the earlier
    // export is still whole.
    const QString bad = dir.filePath("gone/fleet.pdf");
    QVERIFY(!ui::ExportReportPdf(nullptr, app, bad));
    QTRY_COMPARE(boxes.names, QStringList{"message" + QString::number(ui::kStrReportNotWritten)});
    QVERIFY(boxes.texts.value(0).contains(bad));
    QVERIFY(!QFile::exists(bad));
    QCOMPARE(qt::ReadText(file.toStdString()), ReportPdf(Report(app.doc), options));
  }
};

QTEST_MAIN(PrintReportTest)
#include "print_report_test.moc"

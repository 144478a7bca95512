#pragma once

// The report on the printer: every page of the core's report lines in a fixed-pitch font,
// laid out as the PDF writer lays them out (five characters in, one line height apart, the
// font shrunk only when the fullest page would not fit the paper).

// The core's headers come before Qt's: Qt's "slots" keyword would otherwise clash with a
// record member of that name.
#include "report/pdf_writer.h"
#include "report/report.h"
// (keep this order)
#include <QFont>
#include <QPointF>

class QPrinter;
class QPrintPreviewDialog;
class QWidget;

namespace ql40::ui {

// Messages of printing and of the PDF export.
inline constexpr int kStrReportNotWritten = 63401;
inline constexpr int kStrReportNotPrinted = 63402;

// The border the report keeps on every side, in points; printers with a wider unprintable
// border keep theirs.
inline constexpr double kReportMarginPt = 36.0;

// Where the report's lines go on a printer's page: the layout in points from the printable
// area's top left corner, which lies at origin (points from the paper's top left), and the
// font in its fitted size.
struct PrintedReportLayout {
  ReportLayout layout;
  QPointF origin;
  QFont font;
};

// Sets the printer's margins and works out the layout of the report on its paper.
PrintedReportLayout LayoutReportFor(QPrinter& printer, const Report& report);

// Prints pages from..to (1-based, kept within the report) on the printer; false when the
// printer could not be started.
bool PaintReport(QPrinter& printer, const Report& report, int from, int to);

// The preview dialog of the report on the printer, not yet shown.
QPrintPreviewDialog* CreateReportPreview(QPrinter* printer, const Report& report, QWidget* parent);

// The paper of a PDF export: the printer's default paper.
PaperSize DefaultPaper();

}  // namespace ql40::ui

#include "shell/ui/hooks.h"

namespace ql40::ui {

void PrintReport(QWidget*, shell::AppContext&) {}
void PrintPreview(QWidget*, shell::AppContext&) {}
bool ExportReportPdf(QWidget*, shell::AppContext&, const QString&) { return false; }

}  // namespace ql40::ui

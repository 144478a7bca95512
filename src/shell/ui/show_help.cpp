#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "shell/ui/hooks.h"

namespace ql40::ui {

// The help pages sit beside the program as help/<context>.html; a context without a page of
// its own opens nothing.
void ShowHelp(QWidget*, int context_id) {
  const QDir dir(QCoreApplication::applicationDirPath() + QStringLiteral("/help"));
  const QFileInfo page(dir.filePath(QStringLiteral("%1.html").arg(context_id)));
  if (page.exists()) QDesktopServices::openUrl(QUrl::fromLocalFile(page.absoluteFilePath()));
}

}  // namespace ql40::ui

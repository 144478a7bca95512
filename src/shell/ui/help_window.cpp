#include "shell/ui/help_window.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "resources/strings.h"
#include "shell/help.h"
#include "shell/shell_strings.h"

namespace ql40::ui {

QString HelpWindow::DefaultFolder() {
  return QDir(QCoreApplication::applicationDirPath()).filePath("help");
}

HelpWindow::HelpWindow(const QString& folder, QWidget* parent)
    : QWidget(parent, Qt::Window), folder_(folder.isEmpty() ? DefaultFolder() : folder) {
  setObjectName("helpWindow");
  setWindowTitle(QString::fromStdString(res::FormatString(shell::kStrHelpWindowTitle)));
  browser_ = new QTextBrowser(this);
  browser_->setObjectName("helpBrowser");
  browser_->setSearchPaths({folder_});
  browser_->setOpenExternalLinks(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(browser_);
  resize(560, 480);
}

void HelpWindow::ShowContext(int context) {
  const QDir dir(folder_);
  const std::string page = shell::HelpPageFor(context, [&](const std::string& name) {
    return QFileInfo::exists(dir.filePath(QString::fromStdString(name)));
  });
  page_ = QString::fromStdString(page);
  const QString path = dir.filePath(page_);
  if (QFileInfo::exists(path)) {
    browser_->setSource(QUrl::fromLocalFile(path));
  } else {
    browser_->setPlainText(
        QString::fromStdString(res::FormatString(shell::kStrHelpMissing, {folder_.toStdString()})));
  }
  show();
  raise();
  activateWindow();
}

}  // namespace ql40::ui

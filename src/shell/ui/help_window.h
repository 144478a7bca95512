#pragma once

// The program's help: HTML pages named by context number, shown in one small window.

#include <QString>
#include <QWidget>

class QTextBrowser;

namespace ql40::ui {

class HelpWindow : public QWidget {
  Q_OBJECT
 public:
  // folder: where the pages are; empty for help/ beside the program.
  explicit HelpWindow(const QString& folder, QWidget* parent = nullptr);
  // Shows the page of the context (the contents for 0 or a context without a page).
  void ShowContext(int context);
  QString current_page() const { return page_; }
  static QString DefaultFolder();

 private:
  QString folder_;
  QString page_;
  QTextBrowser* browser_;
};

}  // namespace ql40::ui

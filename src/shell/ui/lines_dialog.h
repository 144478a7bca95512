#pragma once
// A headline and a read-only fixed-pitch list of lines: every value an import refused, or every
// difference Compare With File found. Named by its command's id, so F1 opens its page.

#include <QDialog>
#include <QStringList>

class QLabel;
class QListWidget;

namespace ql40::ui {

class LinesDialog : public QDialog {
  Q_OBJECT
 public:
  LinesDialog(int command_id, const QString& title, const QString& headline,
              const QStringList& lines, QWidget* parent = nullptr);
  QLabel* headline() const { return headline_; }
  QListWidget* list() const { return list_; }

 private:
  QLabel* headline_;
  QListWidget* list_;
};

}  // namespace ql40::ui

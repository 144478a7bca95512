#pragma once

// Helpers shared by the Qt tests.

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QString>
#include <QWidget>
#include <QtTest>

namespace ql40::uitest {

// The descendant of a widget with the given objectName (a resource id such as "2005"), or null.
template <typename T = QWidget>
T* FindById(QWidget* root, int id) {
  return root->findChild<T*>(QString::number(id));
}

// Shows a dialog and waits until it has the focus, as a user sees it open.
inline void Open(QWidget& dialog) {
  dialog.show();
  dialog.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&dialog));
}

// A choice in a list as the user makes it (the dialogs listen to activated).
inline void Choose(QComboBox* combo, int index) {
  combo->setCurrentIndex(index);
  emit combo->activated(index);
}

inline void Focus(QWidget* widget) {
  widget->setFocus(Qt::OtherFocusReason);
  QApplication::processEvents();
}

// Saves a picture of the widget when QL40_SHOT_DIR names a folder, to look at what a test drove.
inline void Shot(QWidget& widget, const char* name) {
  const QByteArray dir = qgetenv("QL40_SHOT_DIR");
  if (!dir.isEmpty()) widget.grab().save(QDir(QString(dir)).filePath(QString(name) + ".png"));
}

}  // namespace ql40::uitest

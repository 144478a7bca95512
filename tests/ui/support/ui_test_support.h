#pragma once

// Helpers shared by the Qt tests.

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <QtTest>
#include <functional>

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

// Runs act on the next modal window once it is open; a dialog that act leaves open (a failed
// check inside act returns early) is rejected so that the test cannot hang. Delete the returned
// timer when no dialog may come.
inline QTimer* WhenModal(std::function<void(QWidget*)> act) {
  auto* timer = new QTimer(qApp);
  QObject::connect(timer, &QTimer::timeout, [timer, act] {
    QPointer<QWidget> modal = QApplication::activeModalWidget();
    if (!modal) return;
    timer->stop();
    timer->deleteLater();
    act(modal);
    if (auto* dialog = qobject_cast<QDialog*>(modal.data()); dialog && dialog->isVisible()) {
      dialog->reject();
    }
  });
  timer->start(10);
  return timer;
}

// Saves a picture of the widget when QL40_SHOT_DIR names a folder, to look at what a test drove.
inline void Shot(QWidget& widget, const char* name) {
  const QByteArray dir = qgetenv("QL40_SHOT_DIR");
  if (!dir.isEmpty()) widget.grab().save(QDir(QString(dir)).filePath(QString(name) + ".png"));
}

}  // namespace ql40::uitest

#pragma once

// Helpers shared by the Qt tests.

#include <QString>
#include <QWidget>

namespace ql40::uitest {

// The descendant of a widget with the given objectName (a resource id such as "2005"), or null.
template <typename T = QWidget>
T* FindById(QWidget* root, int id) {
  return root->findChild<T*>(QString::number(id));
}

}  // namespace ql40::uitest

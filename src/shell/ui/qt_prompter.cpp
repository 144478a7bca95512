#include "shell/ui/qt_prompter.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

#include "resources/strings.h"

namespace ql40::ui {
namespace {

QMessageBox::Icon IconOf(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kStop: return QMessageBox::Critical;
    case MessageIcon::kQuestion: return QMessageBox::Question;
    case MessageIcon::kExclamation: return QMessageBox::Warning;
    case MessageIcon::kInformation: return QMessageBox::Information;
    case MessageIcon::kNone: break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ButtonsOf(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::kOk: return QMessageBox::Ok;
    case MessageButtons::kOkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::kYesNo: return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::kYesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

Answer AnswerOf(int button) {
  switch (button) {
    case QMessageBox::Yes: return Answer::kYes;
    case QMessageBox::No: return Answer::kNo;
    case QMessageBox::Cancel: return Answer::kCancel;
    default: return Answer::kOk;
  }
}

}  // namespace

Answer QtPrompter::Ask(const Message& message) {
  if (QThread::currentThread() == qApp->thread()) return AskOnUiThread(message);
  Answer answer = Answer::kCancel;
  QMetaObject::invokeMethod(
      qApp, [&] { answer = AskOnUiThread(message); }, Qt::BlockingQueuedConnection);
  return answer;
}

Answer QtPrompter::AskOnUiThread(const Message& message) {
  const int title_id = message.title_id != 0 ? message.title_id : res::kStrMainTitle;
  const QString title = QString::fromStdString(std::string(res::LoadString(title_id).value_or("")));
  QString text = QString::fromStdString(message.Text());
  text.replace("\r\n", "\n");
  QMessageBox box(IconOf(message.icon), title, text, ButtonsOf(message.buttons), parent_);
  box.setObjectName("message" + QString::number(message.string_id));
  return AnswerOf(box.exec());
}

}  // namespace ql40::ui

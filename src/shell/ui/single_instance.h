#pragma once

// One copy of the program per user: the first holds a lock file and listens on a local
// socket; a later copy finds the lock taken, hands the first the file it was started with (a
// .q40 double-clicked in a file manager), asks it to come to the front, and ends.

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

namespace ql40::ui {

class SingleInstance : public QObject {
  Q_OBJECT
 public:
  // key: the same for every copy that should count as one program.
  explicit SingleInstance(const QString& key, QObject* parent = nullptr);
  ~SingleInstance() override;

  // The key every copy of this executable agrees on: the user's name and the executable's path.
  static QString DefaultKey();

  // True when this copy is the first; it then listens for later copies.
  bool BecomePrimary();
  // A later copy: asks the first to raise its window and, when file is not empty, to open that
  // file (an absolute path: the first runs in another working folder). True when the first
  // answered.
  bool NotifyPrimary(const QString& file = {}, int timeout_ms = 2000);

  // True when the lock of that key is held by that process of this machine and the process
  // still runs: the copy that wrote a recovery file has not ended.
  static bool HeldBy(const QString& key, qint64 pid);

 signals:
  void raiseRequested();
  // After raiseRequested, when the later copy was started with a file.
  void openRequested(const QString& file);

 private:
  QString key_;
  std::unique_ptr<QLockFile> lock_;
  QLocalServer* server_ = nullptr;
};

}  // namespace ql40::ui

#include "shell/ui/single_instance.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QLocalSocket>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QSysInfo>

#if defined(Q_OS_WIN)
#include <windows.h>
#else
#include <cerrno>
#include <csignal>
#endif

namespace ql40::ui {
namespace {

// A path and its line end; anything longer is not from a copy of this program.
constexpr qint64 kMaxMessage = 64 * 1024;

QString LockFolder() {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (folder.isEmpty()) folder = QDir::tempPath();
  return folder;
}

bool ProcessRunning(qint64 pid) {
  if (pid <= 0) return false;
#if defined(Q_OS_WIN)
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
  if (process == nullptr) return GetLastError() == ERROR_ACCESS_DENIED;
  const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
  CloseHandle(process);
  return running;
#else
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
#endif
}

}  // namespace

SingleInstance::SingleInstance(const QString& key, QObject* parent) : QObject(parent), key_(key) {}

SingleInstance::~SingleInstance() {
  if (server_ != nullptr) server_->close();
}

QString SingleInstance::DefaultKey() {
  QString user = qEnvironmentVariable("USER", qEnvironmentVariable("USERNAME", "user"));
  // Different builds of the program (another folder) are other programs.
  const QByteArray where =
      QCryptographicHash::hash(QCoreApplication::applicationFilePath().toUtf8(),
                               QCryptographicHash::Sha1)
          .toHex()
          .left(12);
  user.replace(QRegularExpression("[^A-Za-z0-9_.-]"), "_");
  return "ql40win-" + user + "-" + QString::fromLatin1(where);
}

bool SingleInstance::BecomePrimary() {
  lock_ = std::make_unique<QLockFile>(QDir(LockFolder()).filePath(key_ + ".lock"));
  // Held for the whole run: never stale by age, only when its process has died.
  lock_->setStaleLockTime(0);
  if (!lock_->tryLock(0)) {
    lock_.reset();
    return false;
  }
  // A server name left behind by a copy that crashed would block listening.
  QLocalServer::removeServer(key_);
  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  connect(server_, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
      connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
      // A later copy sends one line: the file it was started with, or nothing.
      connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
        if (!socket->canReadLine()) {
          if (socket->bytesAvailable() > kMaxMessage) socket->abort();
          return;
        }
        const QString file = QString::fromUtf8(socket->readLine(kMaxMessage)).trimmed();
        socket->write("ok");
        socket->flush();
        socket->disconnectFromServer();
        emit raiseRequested();
        if (!file.isEmpty()) emit openRequested(file);
      });
    }
  });
  server_->listen(key_);
  return true;
}

bool SingleInstance::HeldBy(const QString& key, qint64 pid) {
  // Only read: taking the lock, even for a moment, could turn away a copy starting just then.
  QLockFile lock(QDir(LockFolder()).filePath(key + ".lock"));
  qint64 holder = 0;
  QString host;
  QString application;
  if (!lock.getLockInfo(&holder, &host, &application)) return false;
  return holder == pid && host == QSysInfo::machineHostName() && ProcessRunning(pid);
}

bool SingleInstance::NotifyPrimary(const QString& file, int timeout_ms) {
  QLocalSocket socket;
  socket.connectToServer(key_);
  if (!socket.waitForConnected(timeout_ms)) return false;
  socket.write(file.toUtf8() + '\n');
  socket.flush();
  const bool answered = socket.waitForReadyRead(timeout_ms);
  socket.disconnectFromServer();
  return answered;
}

}  // namespace ql40::ui

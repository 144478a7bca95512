#include "shell/ui/session_end.h"

#include <QCoreApplication>

#if defined(Q_OS_WIN)
#include <windows.h>

#include <QAbstractNativeEventFilter>
#else
#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#endif

namespace ql40::ui {
namespace {

#if defined(Q_OS_WIN)

SessionEndWatcher* g_watcher = nullptr;

// WM_ENDSESSION: the session ends once the message is answered.
class EndSessionFilter : public QAbstractNativeEventFilter {
 public:
  bool nativeEventFilter(const QByteArray& type, void* message, qintptr* result) override {
    (void)result;
    if (g_watcher == nullptr || type != "windows_generic_MSG") return false;
    const MSG* msg = static_cast<const MSG*>(message);
    if (msg->message == WM_ENDSESSION && msg->wParam != 0) emit g_watcher->endRequested();
    return false;
  }
};
EndSessionFilter g_filter;

// Runs on a thread of its own: the work is done on the user-interface thread, and the process
// ends once this returns.
BOOL WINAPI ConsoleHandler(DWORD type) {
  if (g_watcher == nullptr) return FALSE;
  switch (type) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
      QMetaObject::invokeMethod(
          g_watcher, [] { emit g_watcher->endRequested(); }, Qt::BlockingQueuedConnection);
      return TRUE;
    default:
      return FALSE;
  }
}

#else

int g_pipe[2] = {-1, -1};
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

// Only async-signal-safe calls: one write to the pipe, errno kept for the interrupted code.
extern "C" void OnSignal(int signal_number) {
  const int saved = errno;
  const char byte = static_cast<char>(signal_number);
  const ssize_t written = ::write(g_pipe[1], &byte, 1);
  (void)written;
  errno = saved;
}

#endif

}  // namespace

SessionEndWatcher::SessionEndWatcher(QObject* parent) : QObject(parent) {}

SessionEndWatcher::~SessionEndWatcher() {
  if (!installed_) return;
#if defined(Q_OS_WIN)
  SetConsoleCtrlHandler(ConsoleHandler, FALSE);
  QCoreApplication::instance()->removeNativeEventFilter(&g_filter);
  g_watcher = nullptr;
#else
  for (int s : kSignals) std::signal(s, SIG_DFL);
  delete notifier_;
  ::close(g_pipe[0]);
  ::close(g_pipe[1]);
  g_pipe[0] = g_pipe[1] = -1;
#endif
}

bool SessionEndWatcher::Install() {
  if (installed_) return true;
#if defined(Q_OS_WIN)
  g_watcher = this;
  QCoreApplication::instance()->installNativeEventFilter(&g_filter);
  SetConsoleCtrlHandler(ConsoleHandler, TRUE);
  installed_ = true;
  return true;
#else
  if (::pipe(g_pipe) != 0) return false;
  for (int fd : g_pipe) {
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    // A burst of signals must never block the handler on a full pipe.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
  }
  notifier_ = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &SessionEndWatcher::ReadPipe);
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  bool ok = true;
  for (int s : kSignals) ok = ::sigaction(s, &action, nullptr) == 0 && ok;
  installed_ = true;
  return ok;
#endif
}

void SessionEndWatcher::ReadPipe() {
#if !defined(Q_OS_WIN)
  char bytes[16];
  bool any = false;
  while (::read(g_pipe[0], bytes, sizeof bytes) > 0) any = true;
  if (any) emit endRequested();
#endif
}

}  // namespace ql40::ui

#pragma once

// The program is asked to end from outside: SIGTERM, SIGINT or SIGHUP (a logout, a shutdown,
// kill, Ctrl+C in its terminal), and on Windows the end of the session (WM_ENDSESSION) or the
// close of its console. A signal handler may do almost nothing, so it only writes a byte to a
// pipe; the event loop reads it and reports the request, where the settings can be written and
// the program ended properly.

#include <QObject>

class QSocketNotifier;

namespace ql40::ui {

class SessionEndWatcher : public QObject {
  Q_OBJECT
 public:
  explicit SessionEndWatcher(QObject* parent = nullptr);
  ~SessionEndWatcher() override;  // puts the default handlers back

  // Installs the handlers; false when the pipe or a handler could not be set up. One watcher
  // per process.
  bool Install();

 signals:
  // Delivered on the user-interface thread. On Windows the session may end as soon as the
  // slots return, so they must have written what has to be kept.
  void endRequested();

 private:
  void ReadPipe();

  QSocketNotifier* notifier_ = nullptr;
  bool installed_ = false;
};

}  // namespace ql40::ui

// Start of ql40win to its painted main window: the program is started as a user would start
// it (a fresh working folder, no INI file), prints "painted" after the first paint of the main
// window and quits. Prints the median and the spread over several starts.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QString program = QCoreApplication::applicationDirPath() + "/ql40win";
  constexpr int kRuns = 7;
  std::vector<double> times;
  for (int run = 0; run < kRuns; ++run) {
    QTemporaryDir dir;
    QProcess process;
    process.setWorkingDirectory(dir.path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QL40WIN_BENCH_PAINTED", "1");
    if (!env.contains("DISPLAY") && !env.contains("QT_QPA_PLATFORM")) {
      env.insert("QT_QPA_PLATFORM", "offscreen");
    }
    process.setProcessEnvironment(env);
    QElapsedTimer timer;
    timer.start();
    process.start(program, {});
    if (!process.waitForStarted(10000)) {
      std::fprintf(stderr, "bench_startup: cannot start %s\n", qPrintable(program));
      return 1;
    }
    bool painted = false;
    double ms = 0;
    while (!painted && process.waitForReadyRead(20000)) {
      while (process.canReadLine()) {
        if (process.readLine().startsWith("painted")) {
          painted = true;
          ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        }
      }
    }
    process.waitForFinished(10000);
    if (!painted) {
      std::fprintf(stderr,
                   "bench_startup: ql40win did not report a painted window (is another copy "
                   "running?)\n");
      return 1;
    }
    times.push_back(ms);
  }
  std::sort(times.begin(), times.end());
  std::printf(
      "ql40win start to painted main window: median %.1f ms, min %.1f ms, max %.1f ms "
      "(%d starts, platform %s)\n",
      times[times.size() / 2], times.front(), times.back(), kRuns,
      qEnvironmentVariableIsSet("DISPLAY") ? "X11" : "offscreen");
  return 0;
}

// The real ql40win under Xvfb: it shows its window, a second start hands over to the first and
// ends, and File > Exit (reached with F10) closes it cleanly with the settings written back.

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const char* kScript = R"SH(
set -u
bin="$1"; dir="$2"
cd "$dir"
"$bin" > first.out 2>&1 &
first=$!
win=$(timeout 20 xdotool search --sync --onlyvisible --name 'QL40Win for PT-410/PT-610' | head -1)
[ -n "$win" ] || { echo "no window"; kill $first; exit 10; }
# A second copy ends at once and leaves the first running.
timeout 10 "$bin" > second.out 2>&1
second=$?
[ $second -eq 0 ] || { echo "second copy status $second"; kill $first; exit 11; }
kill -0 $first || { echo "first copy gone"; exit 12; }
[ "$(xdotool search --onlyvisible --name 'QL40Win for PT-410/PT-610' | wc -l)" -eq 1 ] || {
  echo "two windows"; kill $first; exit 13; }
# File > Exit from the keyboard: F10 opens File, Down goes into it, x is Exit.
xdotool windowfocus --sync "$win" key --delay 100 F10
sleep 0.3
xdotool key Down
sleep 0.5
xdotool key x
for i in $(seq 1 100); do kill -0 $first 2>/dev/null || break; sleep 0.1; done
kill -0 $first 2>/dev/null && { echo "did not close"; kill $first; exit 14; }
wait $first
exit $?
)SH";

}  // namespace

class ShellSmokeTest : public QObject {
  Q_OBJECT
 private slots:
  void startsHandsOverAndClosesCleanly() {
    if (QStandardPaths::findExecutable("xvfb-run").isEmpty() ||
        QStandardPaths::findExecutable("xdotool").isEmpty()) {
      QSKIP("xvfb-run or xdotool missing (scripts/install-deps installs them)");
    }
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QProcess run;
    run.setProcessChannelMode(QProcess::MergedChannels);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("QT_QPA_PLATFORM");  // the real program on the X server
    run.setProcessEnvironment(env);
    run.start("xvfb-run", {"-a", "-s", "-screen 0 1024x768x24", "bash", "-c", kScript, "smoke",
                           QL40_BIN_DIR "/ql40win", dir.path()});
    QVERIFY(run.waitForFinished(90000));
    const QString output = QString::fromLocal8Bit(run.readAll());
    QVERIFY2(run.exitStatus() == QProcess::NormalExit && run.exitCode() == 0, qPrintable(output));
    // A clean close writes the window's size back.
    QFile ini(dir.filePath("QL40Win.ini"));
    QVERIFY(ini.open(QIODevice::ReadOnly));
    const QByteArray text = ini.readAll();
    QVERIFY2(text.contains("CX=") && text.contains("MAXIMIZED=0") && text.contains("ITEM15=1"),
             text.constData());
  }
};

QTEST_MAIN(ShellSmokeTest)
#include "shell_smoke_test.moc"

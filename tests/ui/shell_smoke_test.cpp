// The real ql40win under Xvfb: start, hand-over to a running copy and a clean exit; grid edits
// that survive SIGTERM and SIGKILL and come back byte for byte after the next start's question.

#include <QtTest>

#include "channels/frequency_fit.h"
#include "channels/grid_edit.h"
#include "codeplug/files.h"
#include "ui/support/ui_test_support.h"

namespace {

const char* kSmokeScript = R"SH(
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

const char* kRecoveryScript = R"SH(
set -u
bin="$1"; dir="$2"
cd "$dir"
mkdir -p -m 700 run tmp
# A world of its own: the lock, the local socket and the recovery folder.
export XDG_DATA_HOME="$dir/data" XDG_RUNTIME_DIR="$dir/run" TMPDIR="$dir/tmp"
rec="$dir/data/ql40win/recovery"
main_window() { timeout 30 xdotool search --sync --onlyvisible --name '^car12.q40 - QL40Win' | head -1; }
question() { timeout 30 xdotool search --sync --onlyvisible --name '^QL40Win for PT-410/PT-610$' | head -1; }
question_gone() { for i in $(seq 1 150); do xdotool search --onlyvisible --name '^QL40Win for PT-410/PT-610$' >/dev/null || return 0; sleep 0.1; done; return 1; }
copy_kept() { for i in $(seq 1 150); do ls "$rec"/*.recovery >/dev/null 2>&1 && return 0; sleep 0.1; done; return 1; }
copy_gone() { for i in $(seq 1 150); do ls "$rec"/*.recovery >/dev/null 2>&1 || return 0; sleep 0.1; done; return 1; }
# Channel 1: W/N to Narrow, tag DEPOT.
edit() { xdotool windowfocus --sync "$1" key --delay 80 Right Right space Right D E P O T Return; }

# 1. SIGTERM after grid edits: settings written, the changes kept.
"$bin" car12.q40 > run1.out 2>&1 & p=$!
w=$(main_window); [ -n "$w" ] || { echo "no window"; kill $p; exit 10; }
edit "$w"
copy_kept || { echo "no recovery copy"; kill $p; exit 11; }
kill -TERM $p; wait $p; s=$?
[ $s -eq 0 ] || { echo "status $s after SIGTERM"; cat run1.out; exit 12; }
cp QL40Win.ini ini-after-term
ls "$rec"/*.recovery >/dev/null 2>&1 || { echo "SIGTERM lost the changes"; exit 13; }

# 2. No: the changes go to backups/. Then the same edits, and SIGKILL.
"$bin" car12.q40 > run2.out 2>&1 & p=$!
q=$(question); [ -n "$q" ] || { echo "no question after SIGTERM"; kill $p; exit 20; }
xdotool windowfocus --sync "$q" key alt+n
question_gone || { echo "No did not answer"; kill $p; exit 23; }
copy_gone || { echo "No left the copy"; kill $p; exit 21; }
w=$(main_window)
edit "$w"
copy_kept || { echo "no recovery copy"; kill $p; exit 22; }
kill -KILL $p; wait $p

# 3. Yes: the changes come back, Save writes them to car12.q40, Exit ends without a question.
"$bin" car12.q40 > run3.out 2>&1 & p=$!
q=$(question); [ -n "$q" ] || { echo "no question after SIGKILL"; kill $p; exit 30; }
xdotool windowfocus --sync "$q" key alt+y
question_gone || { echo "Yes did not answer"; kill $p; exit 34; }
w=$(main_window)
xdotool windowfocus --sync "$w" key ctrl+s
copy_gone || { echo "Save left the copy"; kill $p; exit 31; }
xdotool windowfocus --sync "$w" key --delay 100 alt+f
sleep 0.5
xdotool key x
for i in $(seq 1 100); do kill -0 $p 2>/dev/null || break; sleep 0.1; done
kill -0 $p 2>/dev/null && { echo "did not close"; kill $p; exit 32; }
wait $p; s=$?
[ $s -eq 0 ] || { echo "status $s at exit"; cat run3.out; exit 33; }
exit 0
)SH";

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The file Save writes after the script's edits: channel 1 narrow, tag DEPOT.
QByteArray ExpectedCodeplug(const std::string& start_file) {
  ql40::SilentPrompter quiet;
  ql40::Codeplug doc;
  ql40::LoadCodeplug(doc, start_file, {}, quiet);
  ql40::CycleCell(doc, 0, 2);
  doc.channels.CommitCellText(
      0, 3, "DEPOT", ql40::ChannelContext::From(doc.hardware, doc.option_unit, doc.default_split));
  doc.CommitToImage();
  const std::string scratch = start_file + ".expected";
  if (!ql40::WriteImageFile(scratch, doc.image, doc.default_split, quiet)) return {};
  return ReadFile(QString::fromStdString(scratch));
}

}  // namespace

class ShellSmokeTest : public QObject {
  Q_OBJECT
 private slots:
  void init() {
    if (!ql40::uitest::HaveXvfb()) QSKIP("xvfb-run or xdotool missing (scripts/install-deps)");
  }

  void startsHandsOverAndClosesCleanly() {
    QTemporaryDir dir;
    const QString failed = ql40::uitest::RunUnderXvfb(kSmokeScript, dir.path(), 90000);
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
    // A clean close writes the window's size back.
    const QByteArray text = ReadFile(dir.filePath("QL40Win.ini"));
    QVERIFY2(text.contains("CX=") && text.contains("MAXIMIZED=0") && text.contains("ITEM15=1"),
             text.constData());
  }

  void editsSurviveTermAndKill() {
    QTemporaryDir dir;
    const QString start = dir.filePath("car12.q40");
    ql40::Codeplug doc;
    doc.ResetToDefaults();
    doc.CommitToImage();
    ql40::SilentPrompter quiet;
    QVERIFY(ql40::WriteImageFile(start.toStdString(), doc.image, doc.default_split, quiet));
    const QByteArray original = ReadFile(start);
    const QByteArray expected = ExpectedCodeplug(start.toStdString());
    QVERIFY(!expected.isEmpty() && expected != original);

    const QString failed = ql40::uitest::RunUnderXvfb(kRecoveryScript, dir.path(), 150000);
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
    const QByteArray ini = ReadFile(dir.filePath("ini-after-term"));
    QVERIFY2(ini.contains("CX=") && ini.contains("MAXIMIZED="), ini.constData());
    // No: exactly what was on screen, as a codeplug file in backups/.
    const QStringList kept =
        QDir(dir.filePath("backups")).entryList({"*-car12-unsaved.q40"}, QDir::Files);
    QCOMPARE(kept.size(), 1);
    QVERIFY(ReadFile(dir.filePath("backups/" + kept.first())) == expected);
    // Yes and Save: the same bytes in the file the user meant.
    QVERIFY(ReadFile(start) == expected);
    QVERIFY(QDir(dir.filePath("data/ql40win/recovery")).entryList(QDir::Files).isEmpty());
  }
};

QTEST_MAIN(ShellSmokeTest)
#include "shell_smoke_test.moc"

// What the recovery copy of unsaved work costs the user-interface thread in a 512-channel
// codeplug: a grid edit with its repaint, without and with the copy's look at the document
// right after it (capture, compare, hand-off to the worker, every edit written: the worst
// case), the look alone, and, off the user-interface thread, the worker's write of the copy
// (encode, write, fsync, rename, folder fsync). Prints its own figures; offscreen platform.

#include <QApplication>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>

#include "bench_timing.h"
#include "channels/ui/channel_view.h"
#include "shell/recovery.h"
#include "shell/ui/recovery_controller.h"

namespace {

void Print(const char* name, int runs, const ql40::bench::Figures& f) {
  std::printf("%-58s best %7.3f ms  mean %7.3f ms  (%d runs)\n", name, f.best_ms, f.mean_ms, runs);
}

void FillAllChannels(ql40::Codeplug& doc) {
  doc.ResetToDefaults();
  auto& t = doc.channels;
  t.count.fill(0);
  t.count[0] = 255;
  t.count[1] = 255;
  t.count[2] = 2;
  t.total = 512;
  t.channels_left = 0;
  for (int i = 0; i < ql40::kChannelCount; ++i) {
    auto& r = t.records[static_cast<std::size_t>(i)];
    r.status = 1;
    r.sub_audio_type = i % 3;
    if (r.sub_audio_type) {
      r.set_rx_tone(1 + i % 40);
      r.set_tx_tone(1 + i % 40);
    }
  }
  doc.CommitToImage();
  doc.RefreshFromImage();
  t.SelectGroup(0);
}

void Space(QWidget* grid) {
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, " ");
  QApplication::sendEvent(grid, &press);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM",
          qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QApplication qapp(argc, argv);
  QTemporaryDir dir;
  ql40::shell::AppContext app;
  FillAllChannels(app.doc);
  ql40::ui::ChannelView view(app, nullptr);
  view.resize(1200, 900);
  view.show();
  QApplication::processEvents();
  view.SetCurrentCell(0, 2);  // W/N: Space flips it

  ql40::ui::RecoveryController::Options every_edit;
  every_edit.timing = {.quiet = std::chrono::milliseconds(0),
                       .longest = std::chrono::milliseconds(0),
                       .min_interval = std::chrono::milliseconds(0)};
  const std::filesystem::path file =
      std::filesystem::path(dir.path().toStdString()) / "recovery" / "bench-host-1.recovery";
  ql40::ui::RecoveryController recovery(app, file, every_edit);
  recovery.Start();

  constexpr int kEdits = 100;
  Print("grid edit, recovery off", kEdits, ql40::bench::Time(kEdits, [&] {
          Space(view.grid());
          QApplication::processEvents();
        }));
  Print("grid edit + recovery look (a copy written every edit)", kEdits,
        ql40::bench::Time(kEdits, [&] {
          Space(view.grid());
          QApplication::processEvents();
          recovery.Poll();
        }));
  Print("grid edit + repaint of the view, recovery off", kEdits, ql40::bench::Time(kEdits, [&] {
          Space(view.grid());
          view.grab();
        }));
  Print("grid edit + repaint + recovery look (written every edit)", kEdits,
        ql40::bench::Time(kEdits, [&] {
          Space(view.grid());
          recovery.Poll();
          view.grab();
        }));
  {
    // Each look right after an edit, the edit itself not timed.
    double best = 1e9, sum = 0;
    for (int i = 0; i < kEdits; ++i) {
      Space(view.grid());
      const auto start = std::chrono::steady_clock::now();
      recovery.Poll();
      const double ms =
          std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
              .count();
      best = std::min(best, ms);
      sum += ms;
    }
    Print("recovery look after an edit (capture 512 channels, hand-off)", kEdits,
          {best, sum / kEdits});
  }
  const auto look = ql40::bench::Time(kEdits, [&] { recovery.Poll(); });
  Print("recovery look, document unchanged", kEdits, look);

  ql40::shell::RecoveryStore store(file);
  const ql40::shell::RecoveryData data = ql40::shell::CaptureRecovery(app.doc, 0);
  constexpr int kWrites = 20;
  Print("worker: write of the copy, fsync included (off the UI thread)", kWrites,
        ql40::bench::Time(kWrites, [&] {
          store.Write(data);
          store.Flush();
        }));
  std::printf("copies written while editing: %d\n", recovery.writes());
  return 0;
}

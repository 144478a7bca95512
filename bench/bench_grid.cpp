// Times the channel grid on a full 255-channel group: a rebuild with its first paint, F2 to
// the next group, and a paste of 255 x 24 cells from the clipboard (with the undo step the
// grid takes for it). Prints its own figures; runs on the offscreen platform.

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "channels/grid_edit.h"
#include "channels/ui/channel_view.h"

namespace {

using Clock = std::chrono::steady_clock;

void Report(const char* name, int iterations, const std::function<void()>& work) {
  std::vector<double> ms;
  for (int i = 0; i < iterations; ++i) {
    const auto start = Clock::now();
    work();
    ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  double best = ms[0], sum = 0;
  for (double v : ms) {
    best = std::min(best, v);
    sum += v;
  }
  std::printf("%-44s best %8.2f ms  mean %8.2f ms  (%d runs)\n", name, best,
              sum / static_cast<double>(ms.size()), iterations);
}

void FillGroups(ql40::Codeplug& doc) {
  doc.ResetToDefaults();
  auto& t = doc.channels;
  t.count.fill(0);
  t.count[0] = 255;
  t.count[1] = 255;
  t.total = 510;
  t.channels_left = 2;
  for (int i = 0; i < ql40::kChannelCount; ++i) {
    auto& r = t.records[static_cast<std::size_t>(i)];
    r.status = 1;
    r.sub_audio_type = i % 3;
    if (r.sub_audio_type) {
      r.set_rx_tone(1 + i % 40);
      r.set_tx_tone(1 + i % 40);
    }
  }
  t.SelectGroup(0);
}

void SendKey(QWidget* w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier, QString text = {}) {
  QKeyEvent press(QEvent::KeyPress, key, mods, text);
  QApplication::sendEvent(w, &press);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM",
          qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QApplication qapp(argc, argv);
  ql40::shell::AppContext app;
  FillGroups(app.doc);
  ql40::ui::ChannelView view(app, nullptr);
  view.resize(1200, 900);
  view.show();
  QApplication::processEvents();

  Report("rebuild of a 255-channel group + paint", 20, [&] {
    view.Rebuild(false);
    view.grab();
  });
  Report("F2 to the next 255-channel group + paint", 20, [&] {
    SendKey(view.grid(), Qt::Key_F2);
    view.grab();
  });

  // A 255 x 24 block: every row of the group as copied from the grid.
  app.doc.channels.SelectGroup(0);
  view.Rebuild(false);
  const ql40::CellRange all{0, 254, 0, ql40::kGridColumnCount - 1};
  const std::string block = ql40::CopyRangeText(app.doc, all, app.column_visibility);
  QApplication::clipboard()->setText(QString::fromStdString(block));
  Report("paste of 255 x 24 cells (grid, undo step)", 10, [&] {
    view.SetCurrentCell(0, 0);
    SendKey(view.grid(), Qt::Key_V, Qt::ControlModifier);
    view.grab();
  });
  ql40::SilentPrompter silent;
  Report("paste of 255 x 24 cells (core only)", 10, [&] {
    ql40::PasteBlock(app.doc, ql40::CellRange{0, 0, 0, 0}, block, app.column_visibility, silent);
  });
  Report("undo step (checkpoint)", 50, [&] { app.doc.history.Checkpoint(app.doc); });
  return 0;
}

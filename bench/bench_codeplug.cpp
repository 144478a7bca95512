// Times the document's decode and encode of a full 512-channel codeplug, and a save and
// reopen through the file layer. Prints its own figures.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <vector>

#include "bench_timing.h"
#include "codeplug/codeplug.h"
#include "codeplug/files.h"

namespace {

using ql40::bench::Figures;
using ql40::bench::Time;

void Print(const char* what, const Figures& f) {
  std::printf("%-34s best %9.1f us   mean %9.1f us\n", what, f.best_ms * 1000.0,
              f.mean_ms * 1000.0);
}

ql40::Codeplug FullCodeplug() {
  ql40::Codeplug doc;
  doc.ResetToDefaults();
  auto& ch = doc.channels;
  ch.count = {};
  ch.count[0] = 255;
  ch.count[1] = 255;
  ch.count[2] = 2;
  ch.total = 512;
  ch.channels_left = 0;
  for (int i = 0; i < ql40::kChannelCount; ++i) {
    auto& r = ch.records[static_cast<std::size_t>(i)];
    r.rx_frequency = 14400000 + 1250 * i;
    r.tx_frequency = r.rx_frequency + 60000;
    r.status = static_cast<std::uint8_t>(1 | ((i % 4) << 4));
    r.sub_audio_type = i % 3;
    r.set_tx_tone(1 + i % 50);
    r.set_rx_tone(1 + (i * 7) % 50);
  }
  doc.CommitToImage();
  doc.RefreshFromImage();
  return doc;
}

}  // namespace

int main() {
  ql40::Codeplug doc = FullCodeplug();
  std::printf("Codeplug with %d channels in use\n", doc.channels.total);
  Print("RefreshFromImage (decode)", Time(2000, [&] { doc.RefreshFromImage(); }));
  Print("CommitToImage (encode)", Time(2000, [&] { doc.CommitToImage(); }));
  Print("ResetToDefaults", Time(2000, [&] { doc.ResetToDefaults(); }));

  doc = FullCodeplug();
  const auto path = (std::filesystem::temp_directory_path() / "ql40-bench.q40").string();
  ql40::SilentPrompter prompter;
  Print("save (write + fsync + rename)",
        Time(200, [&] { ql40::WriteImageFile(path, doc, prompter); }));
  ql40::Codeplug reopened;
  Print("reopen (checks + load + decode)", Time(200, [&] {
          ql40::CheckOpenable(path, prompter);
          ql40::LoadCodeplug(reopened, path, ql40::FileEnvironment{}, prompter);
        }));
  std::filesystem::remove(path);
  return reopened.image == doc.image ? 0 : 1;
}

// Times the codeplug as text on a full 512-channel codeplug: JSON export and import (of its
// own export, and of one with every channel changed), the channel CSV both ways, the diff of
// two such codeplugs and the check. Prints its own figures.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "bench_timing.h"
#include "channels/grid_text.h"
#include "codeplug/codeplug.h"
#include "exchange/channels_csv.h"
#include "exchange/codeplug_json.h"
#include "exchange/compare.h"

namespace {

using ql40::bench::Figures;
using ql40::bench::Time;

void Print(const char* what, const Figures& f) {
  std::printf("%-44s best %8.3f ms   mean %8.3f ms\n", what, f.best_ms, f.mean_ms);
}

ql40::Codeplug FullCodeplug(int shift) {
  ql40::Codeplug doc = ql40::exchange::DefaultCodeplug(ql40::kBandVhf);
  auto& ch = doc.channels;
  ch.count = {};
  ch.count[0] = 255;
  ch.count[1] = 255;
  ch.count[2] = 2;
  ch.total = 512;
  ch.channels_left = 0;
  const ql40::ChannelContext ctx =
      ql40::ChannelContext::From(doc.hardware, doc.option_unit, doc.default_split);
  for (int i = 0; i < ql40::kChannelCount; ++i) {
    ch.CommitCellText(i, 4, ql40::FrequencyText(14400000 + 1250 * (i + shift)), ctx);
    ch.CommitCellText(i, 3, "CH" + std::to_string(i + shift), ctx);
  }
  doc.CommitToImage();
  doc.RefreshFromImage();
  return doc;
}

}  // namespace

int main() {
  using namespace ql40;
  const Codeplug a = FullCodeplug(0);
  const Codeplug b = FullCodeplug(7);
  const std::string json = exchange::ExportJson(a);
  const std::string json_b = exchange::ExportJson(b);
  const std::string csv_b = exchange::ExportChannelsCsv(b);
  std::printf("512-channel codeplug: JSON %zu bytes, CSV %zu bytes\n", json.size(), csv_b.size());
  std::vector<std::string> errors;
  std::vector<std::string> warnings;
  Print("export JSON", Time(50, [&] { (void)exchange::ExportJson(a); }));
  Print("import JSON (its own export)", Time(50, [&] {
          Codeplug out;
          exchange::ImportJson(json, a, out, errors, warnings);
        }));
  Print("import JSON (all 512 channels changed)", Time(20, [&] {
          Codeplug out;
          exchange::ImportJson(json_b, a, out, errors, warnings);
        }));
  Print("export CSV", Time(50, [&] { (void)exchange::ExportChannelsCsv(a); }));
  Print("import CSV (all 512 channels changed)", Time(20, [&] {
          Codeplug doc = a;
          exchange::ImportChannelsCsv(csv_b, doc, errors, warnings);
        }));
  Print("diff of two codeplugs", Time(50, [&] { (void)exchange::DiffCodeplugs(a, b, true); }));
  Print("check", Time(50, [&] { (void)exchange::CheckCodeplug(a); }));
  return 0;
}

// Times the codeplug as text on a full 512-channel codeplug: JSON export and import (of its
// own export, and of one with every channel changed), the channel CSV both ways, the diff of
// two such codeplugs, the check, and a CHIRP channel plan of 500 rows both ways. Prints its own
// figures.

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
#include "exchange/chirp_csv.h"
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

// A plan as other radios write them: every tone mode, repeater offsets, both widths, names
// longer than a tag, rows first to last of the range.
std::string ChirpPlan(int first, int rows) {
  static const char* const kTones[] = {
      ",88.5,88.5,023,NN,023,Tone->Tone",       "Tone,100.0,88.5,023,NN,023,Tone->Tone",
      "TSQL,88.5,123.0,023,NN,023,Tone->Tone",  "DTCS,88.5,88.5,023,NR,023,Tone->Tone",
      "Cross,71.9,131.8,023,NN,023,Tone->Tone", "Cross,88.5,88.5,411,RN,226,DTCS->DTCS"};
  std::string plan =
      "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,"
      "RxDtcsCode,CrossMode,Mode,TStep,Skip,Power,Comment,URCALL,RPT1CALL,RPT2CALL,DVCODE\r\n";
  for (int i = first; i < first + rows; ++i) {
    const int khz = 144000 + 5 * i;
    plan += std::to_string(i) + ",Repeater " + std::to_string(i) + "," +
            std::to_string(khz / 1000) + "." + std::to_string(khz % 1000 + 1000).substr(1) +
            "000," + (i % 3 ? "+" : "") + "," + (i % 3 ? "0.600000" : "0.000000") + "," +
            kTones[i % 6] + "," + (i % 2 ? "NFM" : "FM") + ",5.00," + (i % 5 ? "" : "S") +
            ",High,,,,,\r\n";
  }
  return plan;
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

  // A group holds at most 255 channels: a 500-row plan goes in as two imports of 250 rows,
  // into groups 1 and 2 of a fresh codeplug (both grow from the free channels).
  const Codeplug fresh = exchange::DefaultCodeplug(kBandVhf);
  const std::string first_half = ChirpPlan(1, 250);
  const std::string second_half = ChirpPlan(251, 250);
  int imported = 0;
  Print("CHIRP plan, 500 rows into two groups", Time(20, [&] {
          const exchange::ChirpImport one = exchange::PlanChirpImport(first_half, fresh, 0, 1);
          const exchange::ChirpImport two =
              exchange::PlanChirpImport(second_half, one.result, 1, 1);
          imported = one.Imported() + two.Imported();
        }));
  const std::string full = ChirpPlan(1, 255);
  Print("CHIRP plan, 255 rows into one group",
        Time(20, [&] { (void)exchange::PlanChirpImport(full, fresh, 0, 1); }));
  const exchange::ChirpImport one = exchange::PlanChirpImport(first_half, fresh, 0, 1);
  const exchange::ChirpImport two = exchange::PlanChirpImport(second_half, one.result, 1, 1);
  Print("CHIRP export of those 500 channels",
        Time(50, [&] { (void)exchange::ExportChirpCsv(two.result); }));
  std::printf("CHIRP plan: %d of 500 rows imported\n", imported);
  return 0;
}

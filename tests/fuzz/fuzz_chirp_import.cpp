// Any text as a CHIRP channel plan, placed in a group that must grow, then exported again. What
// the plan gives leaves every other group as it was: its channels, their records and its
// priority channel, even where the group's growth moved them up.

#include <cstdint>
#include <string>
#include <string_view>

#include "exchange/chirp_csv.h"
#include "exchange/codeplug_json.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace ql40;
  // Three groups in use, the second with a priority channel: the plan goes into the first from
  // its channel 10, so a plan of more than three rows moves the other two up.
  static const Codeplug base = [] {
    Codeplug doc = exchange::DefaultCodeplug(kBandVhf);
    ChannelTable& t = doc.channels;
    t.count = {};
    t.count[0] = 12;
    t.count[1] = 20;
    t.count[2] = 8;
    t.total = 40;
    t.channels_left = t.capacity - t.total;
    t.priority[1] = 3;
    for (int i = 0; i < t.total; ++i) {
      ChannelRecord& r = t.records[static_cast<std::size_t>(i)];
      r.set_programmed(true);
      r.rx_frequency = 14600000 + 2500 * i;
      r.tx_frequency = r.rx_frequency + 60000;
      r.tag = "CH" + std::to_string(i) + std::string(6, ' ');
      r.tag.resize(8);
    }
    doc.CommitToImage();
    doc.RefreshFromImage();
    return doc;
  }();
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const exchange::ChirpImport plan = exchange::PlanChirpImport(text, base, 0, 10);
  (void)plan.Messages();
  if (!plan.Importable()) return 0;
  // The export of forty-odd channels costs what the plan does: one input in eight takes it.
  if (fuzz::Sampled(data, size, 8)) (void)exchange::ExportChirpCsv(plan.result);

  const ChannelTable& before = base.channels;
  const ChannelTable& after = plan.result.channels;
  for (int g = 0; g < kGroupCount; ++g) {
    if (g == plan.group) continue;
    const auto gi = static_cast<std::size_t>(g);
    fuzz::Require(before.count[gi] == after.count[gi], "another group keeps its channel count",
                  "group " + std::to_string(g + 1));
    fuzz::Require(before.priority[gi] == after.priority[gi],
                  "another group keeps its priority channel", "group " + std::to_string(g + 1));
    const int from = before.FirstIndexOfGroup(g);
    const int to = after.FirstIndexOfGroup(g);
    for (int k = 0; k < before.count[gi]; ++k) {
      fuzz::Require(before.records[static_cast<std::size_t>(from + k)] ==
                        after.records[static_cast<std::size_t>(to + k)],
                    "another group keeps its channels",
                    "group " + std::to_string(g + 1) + ", channel " + std::to_string(k + 1));
    }
  }
  return 0;
}

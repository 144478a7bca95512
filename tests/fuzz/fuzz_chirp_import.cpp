// Any text as a CHIRP channel plan, placed in a group that must grow, then exported again.

#include <cstdint>
#include <string_view>

#include "exchange/chirp_csv.h"
#include "exchange/codeplug_json.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const ql40::Codeplug base = ql40::exchange::DefaultCodeplug(ql40::kBandVhf);
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const ql40::exchange::ChirpImport plan = ql40::exchange::PlanChirpImport(text, base, 0, 10);
  if (plan.Importable()) (void)ql40::exchange::ExportChirpCsv(plan.result);
  (void)plan.Messages();
  return 0;
}

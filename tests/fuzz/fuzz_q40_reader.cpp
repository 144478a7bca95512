// A .q40 file of any content, opened as the Open command opens it. What the reader accepts
// must survive a save: the records decoded again from the committed image are the records as
// the editors settle them, and committing those again writes the same bytes.

#include <cstdint>

#include "exchange/compare.h"
#include "fuzz_check.h"
#include "q40_fuzz.h"
#include "q40_mutator.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace ql40;
  static Codeplug opened;
  static Codeplug again;
  if (!fuzz::OpenBytes(data, size, opened)) return 0;
  // The check costs some five readings; the round trip (two commits, a decode and the records
  // settled) some ten: one input in 32 takes each, which keeps the target at the reading's pace.
  if (fuzz::Sampled(data, size, 32, 1)) (void)exchange::CheckCodeplug(opened);
  if (!fuzz::Sampled(data, size, 32)) return 0;

  again = opened;
  again.CommitToImage();
  const Image committed = again.image;
  again.RefreshFromImage();

  // Channels in use decode again as settling them in the grid makes them.
  ChannelTable settled = opened.channels;
  const auto ctx = ChannelContext::From(opened.hardware, opened.option_unit, opened.default_split);
  const int in_use = std::min(settled.total, kChannelCount);
  for (int c = 0; c < in_use; ++c) settled.SettleChannel(c, ctx);
  for (int c = in_use; c < kChannelCount; ++c) {
    settled.records[static_cast<std::size_t>(c)] =
        again.channels.records[static_cast<std::size_t>(c)];
  }
  const std::string records = fuzz::TableDifference(settled, again.channels);
  fuzz::Require(records.empty(), "decode, encode, decode gives the settled records", records);

  again.CommitToImage();
  const std::string bytes = fuzz::ImageDifference(committed, again.image);
  fuzz::Require(bytes.empty(), "a decoded image commits to the same bytes twice", bytes);
  return 0;
}

// The radio's replies to the alignment commands.

#include <cstdint>
#include <memory>
#include <vector>

#include "fuzz_port.h"
#include "link/alignment_link.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace ql40;
  auto radio = std::make_shared<fuzz::RadioBytes>();
  radio->data = data;
  radio->size = size;
  fuzz::FuzzPort port(radio);
  SilentPrompter prompter(Answer::kOk);
  link::AlignmentLink link(port, &prompter);
  std::uint8_t length = 0;
  std::vector<std::uint8_t> reply;
  (void)link.ReceiveReply(link::kCmdReadLevels, &length, &reply);
  link::Levels levels;
  (void)link.ReadLevels(&levels);
  (void)link.ChangeChannel(1, 2);
  (void)link.LoadValue(0x40);
  (void)link.LoadDeviation(1, 2, 3);
  (void)link.LoadFrequency(1, 2, 3);
  (void)link.EnterAlignmentMode();
  std::vector<std::uint8_t> buffer;
  int received = 0;
  std::uint8_t sum = 0;
  (void)link.ReceiveSummed(40, &buffer, &received, &sum);
  link.End();
  return 0;
}

// The radio's replies to the clone protocol: the frame commands, then a whole upload and an
// alignment upload, against whatever the radio sends. The line runs on the port's own clock
// and the product-code lines go nowhere, so an input costs only the protocol's work.

#include <cstdint>
#include <memory>
#include <string>

#include "exchange/codeplug_json.h"
#include "fuzz_port.h"
#include "link/clone_session.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace ql40;
  static const Codeplug base = exchange::DefaultCodeplug(kBandVhf);
  static Codeplug doc;
  doc = base;
  auto radio = std::make_shared<fuzz::RadioBytes>();
  radio->data = data;
  radio->size = size;
  fuzz::PatientPrompter prompter;
  link::CloneEnvironment env;
  env.open_port = [radio](int, link::PortOpenError*) -> std::unique_ptr<link::SerialPort> {
    return std::make_unique<fuzz::FuzzPort>(radio);
  };
  env.port_label = "1";
  env.prompter = &prompter;
  // Ten seconds of the line's time for a start byte: room for noise before it.
  env.start_byte_wait = std::chrono::seconds(10);
  env.product_log = [](const std::string&) {};
  std::unique_ptr<link::SerialPort> port = std::make_unique<fuzz::FuzzPort>(radio);
  link::CloneSession session(doc, port, env);
  int value = 0;
  std::uint8_t block[kBlockSize] = {};
  (void)session.ReadWord(3, &value);
  (void)session.ReadBlock(0, block);
  (void)session.ReadBlockWithRetry(137, doc.image);
  port.reset();
  (void)session.Run(link::TransferKind::kUpload);
  (void)session.Run(link::TransferKind::kAlignmentUpload);
  port.reset();
  doc.RefreshFromImage();
  return 0;
}

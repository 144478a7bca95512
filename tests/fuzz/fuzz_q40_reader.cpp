// A .q40 file of any content: read, decoded into the document, shown as JSON, checked and
// committed again.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "codeplug/files.h"
#include "exchange/codeplug_json.h"
#include "exchange/compare.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = "/tmp/ql40-fuzz-" + std::to_string(::getpid()) + ".q40";
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return 0;
  if (size > 0) std::fwrite(data, 1, size, f);
  std::fclose(f);
  ql40::SilentPrompter prompter;
  ql40::Codeplug doc;
  doc.ResetToDefaults();
  if (ql40::CheckOpenable(path, prompter) &&
      ql40::ReadImageFile(path, doc.image, doc.default_split, prompter)) {
    doc.file_loaded = true;
    doc.RefreshFromImage();
    (void)ql40::exchange::ExportJson(doc);
    (void)ql40::exchange::CheckCodeplug(doc);
    doc.CommitToImage();
    doc.RefreshFromImage();
  }
  return 0;
}

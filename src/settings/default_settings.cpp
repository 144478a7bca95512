#include "settings/default_settings.h"

namespace ql40 {

// Placeholders until the settings records land.
void EncodeDefaultSettings(Image&, const std::array<int, 20>&, int) {}
int DecodeToneFormatSwitch(const Image&, int, int tone_format) { return tone_format; }
void ReencodeKeyAssignment(Image&, int) {}

}  // namespace ql40

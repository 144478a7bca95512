#pragma once

// The settings and signalling records as the document sees them: their defaults in a new
// codeplug, the two-tone format switch that decoding the paging slots may set, and the key
// assignment pruning that runs before a download.

#include <array>

#include "codeplug/image.h"

namespace ql40 {

// Encodes the defaults of every settings and signalling record into the image, in the order
// of a new codeplug: option settings, scan settings, two-tone parameters, ANI, DTMF settings,
// DTMF codes, paging codes, two-tone table, key assignment, emergency, general settings.
// The home channel of the scan settings is stored against the group counts (the total is not
// needed to store it).
void EncodeDefaultSettings(Image& image, const std::array<int, 20>& group_counts, int total);

// Decodes the ten paging or two-tone slots into a scratch copy and returns the two-tone format
// switch that results (with the 2Tone option unit, slots whose tones lie in different sets
// switch it to user-defined).
int DecodeToneFormatSwitch(const Image& image, int option_unit, int tone_format);

// Decodes the key assignment from the image and encodes it back, which drops key functions
// that the option unit does not allow. Run before a download.
void ReencodeKeyAssignment(Image& image, int option_unit);

}  // namespace ql40

#pragma once

// The document's data: the radio image with its trailer, the records decoded from it, and the
// three operations that move data between them.

#include <string>

#include "channels/channel_table.h"
#include "codeplug/hardware.h"
#include "codeplug/image.h"
#include "codeplug/undo_history.h"
#include "resources/labels.h"

namespace ql40 {

enum OptionUnitCode : int {
  kOptionNone = 0,
  kOption2Tone = 1,
  kOptionSubsig = 2,
  kOptionScb100 = 3,
  kOptionScbd200 = 4,
  kOptionPtTrunk = 5,
};

enum ToneFormat : int { kToneStandard = 0, kToneUserDefined = 1 };

// Option unit held by byte 27: bit 2 set means none, else bits 6-3.
int DecodeOptionUnit(std::uint8_t byte27);

// The document's data: everything but its undo steps.
struct CodeplugData {
  Image image{};
  double default_split = 0.0;      // the trailer, MHz
  std::string path{res::kNoPath};  // current path, or the marker of a codeplug without a file

  int option_unit = kOptionNone;
  HardwareSettings hardware;
  RadioIdentity identity;
  ChannelTable channels;
  int tone_format = kToneStandard;

  bool modified = false;
  bool file_loaded = false;   // the image came from a file
  bool radio_origin = false;  // the image came from a radio
  bool option_unit_changed = false;
};

struct Codeplug : CodeplugData {
  // Undo and Redo of changes to this document (see UndoHistory for how to take a step).
  UndoHistory history;

  // The data alone, for a work copy that is tried on and thrown away or handed on.
  Codeplug WithoutHistory() const { return Codeplug{CodeplugData(*this), UndoHistory()}; }

  // The built-in default codeplug: zeroed image, every record's defaults encoded in order.
  void ResetToDefaults();
  // Image → records: option unit, hardware, channel table, identity, two-tone format switch.
  void RefreshFromImage();
  // Records → image, after clearing the regions the records own.
  void CommitToImage();

  // The band change of the hardware settings: band defaults, default split, all channel
  // frequencies to the band's default, channel 1 the only programmed channel.
  void ChangeBand(int band);
};

}  // namespace ql40

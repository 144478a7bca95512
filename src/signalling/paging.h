#pragma once

// The ten selective-call slots that channels refer to by number. Without the 2Tone option unit
// a slot holds a three-digit DTMF paging code (PagingTable); with it, a pair of tone numbers
// (TwoToneTable), read against eighteen standard tone sets or as raw numbers, depending on the
// codeplug's two-tone format.

#include <array>
#include <string>
#include <string_view>

#include "codeplug/image.h"

namespace ql40 {

inline constexpr int kOffsetPagingSlots = 482;
inline constexpr int kPagingSlotCount = 10;
inline constexpr int kPagingCodeLength = 3;

// Writes 0xFF 0xFF into slot (0-based), or into all ten.
void EmptyPagingSlot(Image& image, int slot);
void EmptyAllPagingSlots(Image& image);
bool PagingSlotEmpty(const Image& image, int slot);

struct PagingSlot {
  std::string code;  // three digits 0-9, A-D; empty = unused slot
  int enc_dec = 0;   // 0 ENC Only, 1 ENC & DEC

  bool operator==(const PagingSlot&) const = default;
};

struct PagingTable {
  std::array<PagingSlot, kPagingSlotCount> slots{};

  void SetDefaults() { *this = PagingTable{}; }
  // DTMF form.
  void Decode(const Image& image);
  // Empty slots are written 0xFF 0xFF. Used slots are written in DTMF form only when the
  // option unit is not 2Tone: with 2Tone the bytes are tone numbers that this form cannot
  // hold, and they are left for the two-tone table.
  void Encode(Image& image, int option_unit) const;

  // Takes a typed code: upper-cased, only 0-9 and A-D, at most three, filled on the right with
  // "0" to three; an empty text empties the slot. Returns false for a slot out of range.
  bool CommitCode(int slot, std::string_view text);

  bool operator==(const PagingTable&) const = default;
};

// Group of a two-tone row: 0 OFF, 1..18 a standard tone set, kToneGroupUser raw tone numbers.
inline constexpr int kToneGroupOff = 0;
inline constexpr int kToneGroupUser = 19;

struct TwoToneRow {
  int group = kToneGroupOff;
  int first = 0;  // index in the set, or the raw tone number of a user row
  int second = 0;

  bool operator==(const TwoToneRow&) const = default;
};

struct TwoToneTable {
  std::array<TwoToneRow, kPagingSlotCount> rows{};

  void SetDefaults() { *this = TwoToneTable{}; }
  // Reads the ten slots under the tone format (0 Standard, 1 User Defined). In Standard format
  // a slot whose two tone numbers are not tones of one set switches the format to User
  // Defined; then every used row, earlier rows included, holds its raw tone numbers, which are
  // the bytes as stored.
  void Decode(const Image& image, int& tone_format);
  // Writes the slots only when the option unit is 2Tone.
  void Encode(Image& image, int option_unit) const;

  // Texts for lists and the report: the set name ("MOTOROLA  1"), or "" for OFF and user rows;
  // a tone as " 330.5", or "" when the row has no such tone.
  std::string GroupName(int row) const;
  std::string ToneText(int row, bool second) const;
  // The two tone numbers a row stores (0xFF 0xFF for OFF).
  std::array<int, 2> ToneNumbers(int row) const;

  bool operator==(const TwoToneTable&) const = default;
};

// Locates a tone number in the standard sets: the 1-based set and the index in it, or false
// when the number is no tone of any set.
bool FindStandardTone(int tone_number, int& group, int& index);

struct TwoToneParameters {
  int auto_reset = 1;  // Off, On: byte 385 bit 6 (shared with the DTMF settings)
  int group_call = 1;  // Off, 1st Tone, 2nd Tone: byte 385 bits 3-2
  int call_times = 2;  // Off, 1, 3, 5 times: byte 385 bits 1-0 (shared)

  void SetDefaults() { *this = TwoToneParameters{}; }
  void Decode(const Image& image);
  // Byte 385 bits 7, 5 and 4 stay as they are.
  void Encode(Image& image) const;

  bool operator==(const TwoToneParameters&) const = default;
};

// A change of the two-tone format: every slot is emptied. Returns true when it changed.
bool ChangeToneFormat(Image& image, int& tone_format, int new_format);

}  // namespace ql40

#include "signalling/paging.h"

#include <algorithm>

#include "codeplug/bits.h"
#include "codeplug/codecs.h"
#include "codeplug/codeplug.h"
#include "resources/settings_labels.h"

namespace ql40 {
namespace {

constexpr std::uint8_t kEmptyByte = 0xFF;

int SlotOffset(int slot) {
  return kOffsetPagingSlots + 2 * slot;
}
bool ValidSlot(int slot) {
  return slot >= 0 && slot < kPagingSlotCount;
}

bool IsPagingDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'D');
}

const res::ToneSet* SetOfGroup(int group) {
  if (group < 1 || group > res::kToneSetCount) return nullptr;
  return &res::kToneSets[static_cast<std::size_t>(group - 1)];
}

int ClampIndex(const res::ToneSet& set, int index) {
  return std::clamp(index, 0, static_cast<int>(set.tones.size()) - 1);
}

}  // namespace

void EmptyPagingSlot(Image& image, int slot) {
  if (!ValidSlot(slot)) return;
  image[SlotOffset(slot)] = kEmptyByte;
  image[SlotOffset(slot) + 1] = kEmptyByte;
}

void EmptyAllPagingSlots(Image& image) {
  for (int slot = 0; slot < kPagingSlotCount; ++slot) EmptyPagingSlot(image, slot);
}

bool PagingSlotEmpty(const Image& image, int slot) {
  if (!ValidSlot(slot)) return true;
  return image[SlotOffset(slot)] == kEmptyByte && image[SlotOffset(slot) + 1] == kEmptyByte;
}

void PagingTable::Decode(const Image& image) {
  for (int slot = 0; slot < kPagingSlotCount; ++slot) {
    PagingSlot& s = slots[slot];
    if (PagingSlotEmpty(image, slot)) {
      s = PagingSlot{};
      continue;
    }
    const std::uint8_t first = image[SlotOffset(slot)];
    const std::uint8_t second = image[SlotOffset(slot) + 1];
    s.enc_dec = bits::Get(first, 5, 5);
    s.code = {DtmfValueToChar(bits::Get(first, 3, 0)), DtmfValueToChar(bits::Get(second, 7, 4)),
              DtmfValueToChar(bits::Get(second, 3, 0))};
  }
}

void PagingTable::Encode(Image& image, int option_unit) const {
  for (int slot = 0; slot < kPagingSlotCount; ++slot) {
    const PagingSlot& s = slots[slot];
    if (s.code.empty()) {
      EmptyPagingSlot(image, slot);
      continue;
    }
    if (option_unit == kOption2Tone) continue;
    std::string code = s.code.substr(0, kPagingCodeLength);
    code.resize(kPagingCodeLength, '0');
    std::uint8_t first = 0;
    bits::Set(first, 5, 5, s.enc_dec);
    bits::Set(first, 3, 0, CharToDtmfValue(code[0]));
    image[SlotOffset(slot)] = first;
    image[SlotOffset(slot) + 1] =
        static_cast<std::uint8_t>(CharToDtmfValue(code[1]) << 4 | CharToDtmfValue(code[2]));
  }
}

bool PagingTable::CommitCode(int slot, std::string_view text) {
  if (!ValidSlot(slot)) return false;
  std::string code;
  for (char c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (IsPagingDigit(c) && code.size() < kPagingCodeLength) code += c;
  }
  if (!code.empty()) code.resize(kPagingCodeLength, '0');
  slots[slot].code = code;
  return true;
}

bool FindStandardTone(int tone_number, int& group, int& index) {
  for (int g = 1; g <= res::kToneSetCount; ++g) {
    const res::ToneSet& set = *SetOfGroup(g);
    const int offset = tone_number - set.base;
    if (offset >= 0 && offset < static_cast<int>(set.tones.size())) {
      group = g;
      index = offset;
      return true;
    }
  }
  return false;
}

void TwoToneTable::Decode(const Image& image, int& tone_format) {
  bool user = tone_format == kToneUserDefined;
  for (int r = 0; r < kPagingSlotCount; ++r) {
    const int first = image[SlotOffset(r)];
    const int second = image[SlotOffset(r) + 1];
    if (first == kEmptyByte) {
      rows[r] = TwoToneRow{};
      continue;
    }
    if (!user) {
      int g1 = 0, i1 = 0, g2 = 0, i2 = 0;
      if (FindStandardTone(first, g1, i1) && FindStandardTone(second, g2, i2) && g1 == g2) {
        rows[r] = TwoToneRow{g1, i1, i2};
        continue;
      }
      // Not a pair of one standard set (different sets, a gap between sets, or beyond the
      // last set): only raw numbers can show it. Rows read so far become raw numbers too, so
      // that the table is in one form; their bytes are unchanged by that.
      user = true;
      tone_format = kToneUserDefined;
      for (int q = 0; q < r; ++q) {
        if (rows[q].group == kToneGroupOff) continue;
        const auto numbers = ToneNumbers(q);
        rows[q] = TwoToneRow{kToneGroupUser, numbers[0], numbers[1]};
      }
    }
    rows[r] = TwoToneRow{kToneGroupUser, first, second};
  }
}

void TwoToneTable::Encode(Image& image, int option_unit) const {
  if (option_unit != kOption2Tone) return;
  for (int r = 0; r < kPagingSlotCount; ++r) {
    const auto numbers = ToneNumbers(r);
    image[SlotOffset(r)] = static_cast<std::uint8_t>(std::clamp(numbers[0], 0, 255));
    image[SlotOffset(r) + 1] = static_cast<std::uint8_t>(std::clamp(numbers[1], 0, 255));
  }
}

std::array<int, 2> TwoToneTable::ToneNumbers(int row) const {
  if (!ValidSlot(row)) return {kEmptyByte, kEmptyByte};
  const TwoToneRow& r = rows[row];
  if (r.group == kToneGroupUser) return {r.first, r.second};
  const res::ToneSet* set = SetOfGroup(r.group);
  if (set == nullptr) return {kEmptyByte, kEmptyByte};
  return {set->base + ClampIndex(*set, r.first), set->base + ClampIndex(*set, r.second)};
}

std::string TwoToneTable::GroupName(int row) const {
  if (!ValidSlot(row)) return {};
  const res::ToneSet* set = SetOfGroup(rows[row].group);
  return set ? std::string(set->name) : std::string();
}

std::string TwoToneTable::ToneText(int row, bool second) const {
  if (!ValidSlot(row)) return {};
  const res::ToneSet* set = SetOfGroup(rows[row].group);
  if (set == nullptr) return {};
  const int index = second ? rows[row].second : rows[row].first;
  if (index < 0 || index >= static_cast<int>(set->tones.size())) return {};
  return res::ToneText(set->tones[static_cast<std::size_t>(index)]);
}

void TwoToneParameters::Decode(const Image& image) {
  const std::uint8_t b385 = image[385];
  auto_reset = bits::Get(b385, 6, 6);
  group_call = bits::Get(b385, 3, 2);
  call_times = bits::Get(b385, 1, 0);
}

void TwoToneParameters::Encode(Image& image) const {
  std::uint8_t& b385 = image[385];
  bits::Set(b385, 6, 6, auto_reset);
  bits::Set(b385, 3, 2, group_call);
  bits::Set(b385, 1, 0, call_times);
}

bool ChangeToneFormat(Image& image, int& tone_format, int new_format) {
  if (new_format == tone_format) return false;
  tone_format = new_format;
  EmptyAllPagingSlots(image);
  return true;
}

}  // namespace ql40

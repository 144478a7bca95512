#pragma once

// The .q40 targets' common part: a file's bytes opened as the Open command opens a file, and
// the comparisons their invariants make.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "channels/channel_table.h"
#include "codeplug/codeplug.h"
#include "codeplug/files.h"
#include "codeplug/prompter.h"
#include "exchange/channel_cells.h"

namespace ql40::fuzz {

// The document a file is read into: built-in defaults, made once (they cost more than the
// reading).
inline const Codeplug& FreshDocument() {
  static const Codeplug fresh = [] {
    Codeplug doc;
    doc.ResetToDefaults();
    return doc;
  }();
  return fresh;
}

// The Open command's size check, then the load: defaults, the file's bytes, decoded. False
// when the file is refused (doc is then the defaults).
inline bool OpenBytes(const std::uint8_t* data, std::size_t size, Codeplug& doc) {
  SilentPrompter prompter;
  doc = FreshDocument();
  if (!CheckOpenableSize(size, prompter)) return false;
  if (!ReadImageBytes(std::span<const std::uint8_t>(data, size), "fuzz.q40", doc.image,
                      doc.default_split, prompter)) {
    return false;
  }
  doc.file_loaded = true;
  doc.RefreshFromImage();
  return true;
}

// The 17672 bytes a save writes of the document (after its commit).
inline std::string FileBytes(const Codeplug& doc) {
  std::string bytes(reinterpret_cast<const char*>(doc.image.data()), doc.image.size());
  auto raw = std::bit_cast<std::uint64_t>(doc.default_split);
  for (int i = 0; i < kTrailerSize; ++i) {
    bytes.push_back(static_cast<char>(raw & 0xFF));
    raw >>= 8;
  }
  return bytes;
}

// "" when the images are equal, else the first offset that differs and both bytes.
inline std::string ImageDifference(const Image& a, const Image& b) {
  if (a == b) return {};
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i]) {
      return "image byte " + std::to_string(i) + ": " + std::to_string(a[i]) + " then " +
             std::to_string(b[i]);
    }
  }
  return {};
}

inline std::string RecordText(const ChannelRecord& r) {
  return "rx " + std::to_string(r.rx_frequency) + " tx " + std::to_string(r.tx_frequency) +
         " attributes " + std::to_string(r.attribute_byte(0)) + "," +
         std::to_string(r.attribute_byte(1)) + "," + std::to_string(r.attribute_byte(2)) + "," +
         std::to_string(r.attribute_byte(3)) + "," + std::to_string(r.attribute_byte(4)) + "," +
         std::to_string(r.attribute_byte(5)) + " tune " + std::to_string(r.tune_rx0) + "," +
         std::to_string(r.tune_tx0) + "," + std::to_string(r.tune_rx) + "," +
         std::to_string(r.tune_tx[0]) + "," + std::to_string(r.tune_tx[1]) + "," +
         std::to_string(r.tune_tx[2]) + "," + std::to_string(r.tune_tx[3]) + " squelch " +
         std::to_string(r.squelch) + " tag [" + r.tag + "] type " +
         std::to_string(r.sub_audio_type) + " status " + std::to_string(r.status);
}

// "" when both tables hold the same groups and channels, else the first difference.
inline std::string TableDifference(const ChannelTable& a, const ChannelTable& b) {
  for (int g = 0; g < kGroupCount; ++g) {
    const auto i = static_cast<std::size_t>(g);
    if (a.count[i] != b.count[i] || a.priority[i] != b.priority[i] ||
        a.scan_mode[i] != b.scan_mode[i] || a.group_extra[i] != b.group_extra[i] ||
        a.group_tag[i] != b.group_tag[i]) {
      return "group " + std::to_string(g + 1) + ": count " + std::to_string(a.count[i]) + "/" +
             std::to_string(b.count[i]) + " priority " + std::to_string(a.priority[i]) + "/" +
             std::to_string(b.priority[i]) + " scan " + std::to_string(a.scan_mode[i]) + "/" +
             std::to_string(b.scan_mode[i]) + " extra " + std::to_string(a.group_extra[i]) + "/" +
             std::to_string(b.group_extra[i]) + " tag [" + a.group_tag[i] + "]/[" + b.group_tag[i] +
             "]";
    }
  }
  if (a.total != b.total || a.capacity != b.capacity || a.max_per_group != b.max_per_group) {
    return "total " + std::to_string(a.total) + "/" + std::to_string(b.total);
  }
  for (int c = 0; c < kChannelCount; ++c) {
    const auto& ra = a.records[static_cast<std::size_t>(c)];
    const auto& rb = b.records[static_cast<std::size_t>(c)];
    if (!exchange::SameRecord(ra, rb)) {
      return "channel " + std::to_string(c + 1) + ":\n  " + RecordText(ra) + "\n  " +
             RecordText(rb);
    }
  }
  return {};
}

}  // namespace ql40::fuzz

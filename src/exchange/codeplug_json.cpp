#include "exchange/codeplug_json.h"

#include <array>
#include <cmath>
#include <nlohmann/json.hpp>

#include "channels/grid_text.h"
#include "codeplug/codecs.h"
#include "exchange/channel_cells.h"
#include "exchange/records.h"
#include "resources/channel_labels.h"
#include "resources/labels.h"
#include "resources/settings_labels.h"

namespace ql40::exchange {
namespace {

using Json = nlohmann::ordered_json;

constexpr int kHexPerBlock = kBlockSize * 2;

std::string Hex(const std::uint8_t* data, int n) {
  static const char* const kDigits = "0123456789abcdef";
  std::string out;
  out.reserve(static_cast<std::size_t>(n) * 2);
  for (int i = 0; i < n; ++i) {
    out += kDigits[data[i] >> 4];
    out += kDigits[data[i] & 15];
  }
  return out;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string Quote(const Json& value) {
  return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

bool ValidDigits(const std::string& code, std::string_view allowed, std::size_t max) {
  if (code.size() > max) return false;
  for (char c : code) {
    if (allowed.find(c) == std::string_view::npos) return false;
  }
  return true;
}

bool ValidTag(const std::string& tag) {
  if (tag.size() > 8) return false;
  for (char c : tag) {
    if (!IsTagChar(c)) return false;
  }
  return true;
}

// Collects every refusal with its path.
class Importer {
 public:
  explicit Importer(std::vector<std::string>& errors) : errors_(errors) {}

  void Fail(const std::string& path, const std::string& why) {
    errors_.push_back(path + ": " + why);
  }

  // A field with a list takes one of its texts (or, unchanged, the number it already holds); a
  // plain number takes a whole number in its range.
  void ApplyField(const Field& field, const Json& value, Records& records,
                  const std::string& path) {
    int& target = field.get(records);
    if (field.labels != nullptr) {
      const std::vector<std::string> labels = field.labels(records);
      if (value.is_string()) {
        const std::string text = value.get<std::string>();
        for (std::size_t i = 0; i < labels.size(); ++i) {
          if (SameWords(labels[i], text)) {
            target = static_cast<int>(i);
            return;
          }
        }
        std::string list;
        for (const std::string& l : labels)
          list += (list.empty() ? "\"" : ", \"") + Words(l) + "\"";
        Fail(path, Quote(value) + " is not one of " + list);
        return;
      }
      if (value.is_number_integer() && value.get<long long>() == target) return;
      Fail(path, Quote(value) + " is not one of the texts of this setting");
      return;
    }
    if (!value.is_number_integer()) {
      Fail(path, Quote(value) + " is not a whole number");
      return;
    }
    const long long n = value.get<long long>();
    if (n == target) return;  // what the image holds stays, even outside the editors' range
    if (n < field.lo || n > field.hi) {
      Fail(path, std::to_string(n) + " is outside " + std::to_string(field.lo) + "-" +
                     std::to_string(field.hi));
      return;
    }
    target = static_cast<int>(n);
  }

  bool String(const Json& value, const std::string& path, std::string& out) {
    if (!value.is_string()) {
      Fail(path, Quote(value) + " is not a text");
      return false;
    }
    out = value.get<std::string>();
    return true;
  }

  bool Number(const Json& value, const std::string& path, double lo, double hi, double& out) {
    if (!value.is_number()) {
      Fail(path, Quote(value) + " is not a number");
      return false;
    }
    out = value.get<double>();
    if (!std::isfinite(out) || out < lo || out > hi) {
      Fail(path, Quote(value) + " is outside " + Format("%g", lo) + " to " + Format("%g", hi));
      return false;
    }
    return true;
  }

  std::vector<std::string>& errors_;
};

Json ExportSection(const Section& section, const Records& records) {
  Json out = Json::object();
  for (const Field& field : section.fields) {
    const std::string text = FieldText(field, records);
    if (field.labels == nullptr ||
        text == std::to_string(field.get(const_cast<Records&>(records)))) {
      const int value = field.get(const_cast<Records&>(records));
      if (field.labels == nullptr ||
          !(value >= 0 && static_cast<std::size_t>(value) < field.labels(records).size())) {
        out[field.key] = value;
        continue;
      }
    }
    out[field.key] = text;
  }
  return out;
}

}  // namespace

Codeplug DefaultCodeplug(int band) {
  Codeplug doc;
  doc.ResetToDefaults();
  if (band != kBandVhf) {
    doc.ChangeBand(KnownBand(band));
    doc.CommitToImage();
    doc.RefreshFromImage();
  }
  doc.modified = false;
  return doc;
}

int JsonBand(std::string_view text) {
  const Json root = Json::parse(text, nullptr, false);
  if (!root.is_object() || !root.contains("hardware") || !root["hardware"].is_object()) return -1;
  if (!root["hardware"].contains("band")) return -1;
  const Json& band = root["hardware"]["band"];
  if (!band.is_string()) return -1;
  for (std::size_t i = 0; i < res::kBandNames.size(); ++i) {
    if (SameWords(res::kBandNames[i], band.get<std::string>())) return static_cast<int>(i);
  }
  return -1;
}

std::string ExportJson(const Codeplug& doc) {
  Records records;
  records.Decode(doc);
  Json root = Json::object();
  root["format"] = kJsonFormat;
  root["version"] = kJsonVersion;
  for (const Section& section : Sections()) {
    Json part = ExportSection(section, records);
    if (std::string_view(section.key) == "hardware") {
      part["ref_xtal"] = Round(doc.hardware.ref_xtal * 1000.0, 0) / 1000.0;
      part["first_if"] = Round(doc.hardware.first_if * 1000.0, 0) / 1000.0;
    } else if (std::string_view(section.key) == "identity") {
      part["firmware"] = doc.identity.FirmwareText();
      part["serial_number"] = doc.identity.serial_number;
    } else if (std::string_view(section.key) == "power_saving") {
      part["power_on_tag"] = records.general.power_on_tag;
    } else if (std::string_view(section.key) == "ani") {
      part["ani_code"] = records.ani.ani_code;
      part["emergency_code"] = records.ani.emergency_code;
    } else if (std::string_view(section.key) == "dtmf") {
      part["pause_character"] = Trim(records.dtmf.PauseText());
    }
    root[section.key] = part;
  }
  root["default_split"] = doc.default_split;
  root["dtmf_codes"] = Json::array();
  for (const std::string& code : records.dtmf_codes.codes) root["dtmf_codes"].push_back(code);
  root["paging"] = Json::array();
  for (const PagingSlot& slot : records.paging.slots) {
    root["paging"].push_back(
        {{"code", slot.code}, {"enc_dec", Trim(res::LabelOr(res::kPagingFlags, slot.enc_dec))}});
  }
  root["two_tone"] = Json::array();
  for (const TwoToneRow& row : records.two_tone.rows) {
    root["two_tone"].push_back(
        {{"group", row.group}, {"first", row.first}, {"second", row.second}});
  }

  const ChannelTable& table = doc.channels;
  root["groups"] = Json::array();
  for (int g = 0; g < kGroupCount; ++g) {
    const auto i = static_cast<std::size_t>(g);
    root["groups"].push_back(
        {{"tag", table.group_tag[i]},
         {"scan_mode", Trim(res::LabelOr(res::kGroupScanModes, table.scan_mode[i]))},
         {"priority", table.priority[i]},
         {"channels", table.count[i]}});
  }
  // One line per channel and per block: a change shows in a version-control diff as the one
  // line of the channel (and of its block) that changed.
  std::string channels;
  const int in_use = std::min(table.total, kChannelCount);
  for (int i = 0; i < in_use; ++i) {
    Json ch = Json::object();
    ch["channel"] = i + 1;
    ch["group"] = table.GroupOfChannel(i) + 1;
    ch["programmed"] = table.records[static_cast<std::size_t>(i)].programmed();
    for (int c = 1; c < kGridColumnCount; ++c) {
      if (c == kColTag) {
        // Leading blanks are part of what the radio shows; trailing ones are padding.
        std::string tag = TagText(table.records[static_cast<std::size_t>(i)]);
        tag.erase(tag.find_last_not_of(' ') + 1);
        ch[ColumnKey(c)] = tag;
      } else {
        ch[ColumnKey(c)] = CellText(doc, i, c);
      }
    }
    channels +=
        (i == 0 ? "\n    " : ",\n    ") + ch.dump(-1, ' ', false, Json::error_handler_t::replace);
  }
  std::string blocks;
  for (int b = 0; b < kBlockCount; ++b) {
    blocks += (b == 0 ? "\n      \"" : ",\n      \"") +
              Hex(doc.image.data() + b * kBlockSize, kBlockSize) + "\"";
  }
  std::string text = root.dump(2, ' ', false, Json::error_handler_t::replace);
  text.erase(text.size() - 2);  // the closing "\n}"
  text += ",\n  \"channels\": [" + channels + (channels.empty() ? "]" : "\n  ]");
  text += ",\n  \"raw\": {\n    \"blocks\": [" + blocks + "\n    ]\n  }\n}\n";
  return text;
}

namespace {

bool ImportChecked(std::string_view text, const Codeplug& base, Codeplug& out,
                   std::vector<std::string>& errors) {
  errors.clear();
  Importer in(errors);
  Json root;
  try {
    root = Json::parse(text);
  } catch (const Json::exception& e) {
    // Syntax errors and numbers beyond any range alike.
    in.Fail("(file)", std::string("not JSON: ") + e.what());
    return false;
  }
  if (!root.is_object()) {
    in.Fail("(file)", "the top level is not an object");
    return false;
  }
  if (root.contains("format") && root["format"] != kJsonFormat) {
    in.Fail("format", Quote(root["format"]) + " is not \"" + kJsonFormat + "\"");
  }
  if (root.contains("version") &&
      !(root["version"].is_number_integer() && root["version"].get<long long>() >= 1 &&
        root["version"].get<long long>() <= kJsonVersion)) {
    in.Fail("version", Quote(root["version"]) + " is not a version this program reads (1)");
  }

  Codeplug doc = base;
  if (root.contains("raw")) {
    const Json& raw = root["raw"];
    const Json* blocks = raw.is_object() && raw.contains("blocks") ? &raw["blocks"] : nullptr;
    if (blocks == nullptr || !blocks->is_array() || blocks->size() != kBlockCount) {
      in.Fail("raw.blocks", "must be a list of 138 blocks of 256 hex digits");
    } else {
      for (int b = 0; b < kBlockCount; ++b) {
        const Json& block = (*blocks)[static_cast<std::size_t>(b)];
        const std::string path = "raw.blocks[" + std::to_string(b) + "]";
        if (!block.is_string() || block.get<std::string>().size() != kHexPerBlock) {
          in.Fail(path, "is not 256 hex digits");
          continue;
        }
        const std::string hex = block.get<std::string>();
        for (int i = 0; i < kBlockSize; ++i) {
          const int hi = HexDigit(hex[static_cast<std::size_t>(2 * i)]);
          const int lo = HexDigit(hex[static_cast<std::size_t>(2 * i + 1)]);
          if (hi < 0 || lo < 0) {
            in.Fail(path, "holds a character that is not a hex digit at byte " + std::to_string(i));
            break;
          }
          doc.image[static_cast<std::size_t>(b * kBlockSize + i)] =
              static_cast<std::uint8_t>(hi * 16 + lo);
        }
      }
    }
  }
  if (root.contains("default_split")) {
    double split = 0;
    if (in.Number(root["default_split"], "default_split", -99.9, 99.9, split))
      doc.default_split = split;
  }
  if (!errors.empty()) return false;
  doc.file_loaded = true;
  doc.RefreshFromImage();

  Records before;
  before.Decode(doc);
  Records after = before;
  for (const Section& section : Sections()) {
    if (!root.contains(section.key)) continue;
    const Json& part = root[section.key];
    const std::string key = section.key;
    if (!part.is_object()) {
      in.Fail(key, "is not an object");
      continue;
    }
    for (auto it = part.begin(); it != part.end(); ++it) {
      const std::string path = key + "." + it.key();
      const Field* field = nullptr;
      for (const Field& f : section.fields) {
        if (it.key() == f.key) field = &f;
      }
      if (field != nullptr) {
        in.ApplyField(*field, it.value(), after, path);
        continue;
      }
      std::string s;
      double d = 0;
      if (key == "hardware" && (it.key() == "ref_xtal" || it.key() == "first_if")) {
        if (in.Number(it.value(), path, 0.0, 160.0, d)) {
          double& target =
              it.key() == "ref_xtal" ? after.hardware.ref_xtal : after.hardware.first_if;
          // Unchanged values keep their exact stored form.
          if (std::fabs(d - target) >= 0.0005) target = d;
        }
      } else if (key == "identity" && (it.key() == "firmware" || it.key() == "serial_number")) {
        // Written by the radio alone: shown for information, never taken from the file.
        in.String(it.value(), path, s);
      } else if (key == "power_saving" && it.key() == "power_on_tag") {
        if (in.String(it.value(), path, s)) {
          if (s == after.general.power_on_tag) {
            // what the image holds stays
          } else if (!ValidTag(s)) {
            in.Fail(path, "\"" + s + "\" is not up to 8 tag symbols (A-Z, 0-9 and the tag signs)");
          } else if (s != after.general.power_on_tag) {
            after.general.CommitPowerOnTag(s);
          }
        }
      } else if (key == "ani" && (it.key() == "ani_code" || it.key() == "emergency_code")) {
        if (in.String(it.value(), path, s)) {
          std::string& code =
              it.key() == "ani_code" ? after.ani.ani_code : after.ani.emergency_code;
          if (s != code && !ValidDigits(s, "0123456789ABCD*#", kDigitStringMaxDigits)) {
            in.Fail(path, "\"" + s + "\" is not up to 15 digits 0-9, A-D, * and #");
          } else {
            (it.key() == "ani_code" ? after.ani.ani_code : after.ani.emergency_code) = s;
          }
        }
      } else if (key == "dtmf" && it.key() == "pause_character") {
        if (in.String(it.value(), path, s)) {
          if (s == Trim(after.dtmf.PauseText())) {
            // what the image holds stays
          } else if (s.size() > 1 || !ValidDigits(s, "0123456789ABCD*#", 1)) {
            in.Fail(path, "\"" + s + "\" is not one DTMF digit or empty");
          } else if (s != Trim(after.dtmf.PauseText())) {
            after.dtmf.CommitPauseCharacter(s);
          }
        }
      } else {
        in.Fail(path, "is not a key of this section");
      }
    }
  }
  if (root.contains("dtmf_codes")) {
    const Json& codes = root["dtmf_codes"];
    if (!codes.is_array() || codes.size() > kDtmfCodeCount) {
      in.Fail("dtmf_codes", "must be a list of up to 10 codes");
    } else {
      for (std::size_t i = 0; i < codes.size(); ++i) {
        const std::string path = "dtmf_codes[" + std::to_string(i) + "]";
        std::string s;
        if (!in.String(codes[i], path, s)) continue;
        if (s != after.dtmf_codes.codes[i] &&
            !ValidDigits(s, "0123456789ABCD*#", kDigitStringMaxDigits)) {
          in.Fail(path, "\"" + s + "\" is not up to 15 digits 0-9, A-D, * and #");
        } else {
          after.dtmf_codes.codes[i] = s;
        }
      }
    }
  }
  if (root.contains("paging")) {
    const Json& slots = root["paging"];
    if (!slots.is_array() || slots.size() > kPagingSlotCount) {
      in.Fail("paging", "must be a list of up to 10 codes");
    } else {
      for (std::size_t i = 0; i < slots.size(); ++i) {
        const std::string path = "paging[" + std::to_string(i) + "]";
        if (!slots[i].is_object()) {
          in.Fail(path, "is not an object");
          continue;
        }
        PagingSlot& slot = after.paging.slots[i];
        std::string s;
        if (slots[i].contains("code") && in.String(slots[i]["code"], path + ".code", s)) {
          if (s == slot.code) {
            // what the image holds stays
          } else if (!s.empty() &&
                     (s.size() != kPagingCodeLength || !ValidDigits(s, "0123456789ABCD", 3))) {
            in.Fail(path + ".code", "\"" + s + "\" is not three digits 0-9, A-D, or empty");
          } else {
            slot.code = s;
          }
        }
        if (slots[i].contains("enc_dec") && in.String(slots[i]["enc_dec"], path + ".enc_dec", s)) {
          const int found = [&] {
            for (std::size_t k = 0; k < res::kPagingFlags.size(); ++k) {
              if (SameWords(res::kPagingFlags[k], s)) return static_cast<int>(k);
            }
            return -1;
          }();
          if (found < 0) {
            in.Fail(path + ".enc_dec", "\"" + s + "\" is not \"ENC Only\" or \"ENC & DEC\"");
          } else {
            slot.enc_dec = found;
          }
        }
      }
    }
  }
  if (root.contains("two_tone")) {
    const Json& rows = root["two_tone"];
    if (!rows.is_array() || rows.size() > kPagingSlotCount) {
      in.Fail("two_tone", "must be a list of up to 10 rows");
    } else {
      for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::string path = "two_tone[" + std::to_string(i) + "]";
        if (!rows[i].is_object()) {
          in.Fail(path, "is not an object");
          continue;
        }
        TwoToneRow& row = after.two_tone.rows[i];
        for (const char* k : {"group", "first", "second"}) {
          if (!rows[i].contains(k)) continue;
          const Json& v = rows[i][k];
          const int hi = std::string_view(k) == "group" ? kToneGroupUser : 255;
          if (!v.is_number_integer() || v.get<long long>() < 0 || v.get<long long>() > hi) {
            in.Fail(path + "." + k, Quote(v) + " is outside 0-" + std::to_string(hi));
            continue;
          }
          const int n = static_cast<int>(v.get<long long>());
          (std::string_view(k) == "group"   ? row.group
           : std::string_view(k) == "first" ? row.first
                                            : row.second) = n;
        }
      }
    }
  }
  for (auto it = root.begin(); it != root.end(); ++it) {
    static const char* const kKnown[] = {"format",     "version",  "default_split",
                                         "dtmf_codes", "paging",   "two_tone",
                                         "groups",     "channels", "raw"};
    bool known = false;
    for (const char* k : kKnown) known = known || it.key() == k;
    for (const Section& s : Sections()) known = known || it.key() == s.key;
    if (!known) in.Fail(it.key(), "is not a key of a codeplug");
  }
  if (!errors.empty()) return false;
  after.EncodeChanged(before, doc);

  // Groups, then channels, on the table decoded with the new settings.
  ChannelTable& table = doc.channels;
  const ChannelTable table_before = table;
  if (root.contains("groups")) {
    const Json& groups = root["groups"];
    if (!groups.is_array() || groups.size() > kGroupCount) {
      in.Fail("groups", "must be a list of up to 20 groups");
    } else {
      for (std::size_t g = 0; g < groups.size(); ++g) {
        const std::string path = "groups[" + std::to_string(g) + "]";
        const Json& group = groups[g];
        if (!group.is_object()) {
          in.Fail(path, "is not an object");
          continue;
        }
        std::string s;
        if (group.contains("channels")) {
          const Json& v = group["channels"];
          const int max = static_cast<int>(g) < table.group_count ? table.max_per_group : 0;
          if (!v.is_number_integer() || v.get<long long>() < 0 || v.get<long long>() > max) {
            in.Fail(path + ".channels", Quote(v) + " is outside 0-" + std::to_string(max));
          } else {
            table.count[g] = static_cast<int>(v.get<long long>());
          }
        }
        if (group.contains("tag") && in.String(group["tag"], path + ".tag", s)) {
          std::string trimmed = s;
          trimmed.erase(trimmed.find_last_not_of(' ') + 1);
          if (s == table.group_tag[g]) {
            // what the image holds stays
          } else if (!ValidTag(trimmed)) {
            in.Fail(path + ".tag", "\"" + s + "\" is not up to 8 tag symbols");
          } else if (trimmed != Trim(table.group_tag[g]) ||
                     trimmed.size() != table.group_tag[g].size()) {
            std::string padded = trimmed;
            padded.resize(8, ' ');
            if (padded != table.group_tag[g]) table.group_tag[g] = padded;
          }
        }
        if (group.contains("scan_mode") && in.String(group["scan_mode"], path + ".scan_mode", s)) {
          int found = -1;
          for (std::size_t k = 0; k < res::kGroupScanModes.size(); ++k) {
            if (SameWords(res::kGroupScanModes[k], s)) found = static_cast<int>(k);
          }
          if (found < 0) {
            in.Fail(path + ".scan_mode", "\"" + s + "\" is not NONE, QTS, SCAN or SCAN QTS");
          } else {
            table.scan_mode[g] = found;
          }
        }
      }
      int total = 0;
      for (int c : table.count) total += c;
      if (total == 0 || total > table.capacity) {
        in.Fail("groups", std::to_string(total) + " channels in all: a codeplug holds 1 to " +
                              std::to_string(table.capacity));
      } else {
        table.total = total;
        table.channels_left = table.capacity - total;
      }
      for (std::size_t g = 0; g < groups.size(); ++g) {
        if (!groups[g].is_object() || !groups[g].contains("priority")) continue;
        const Json& v = groups[g]["priority"];
        const std::string path = "groups[" + std::to_string(g) + "].priority";
        if (!v.is_number_integer() || v.get<long long>() < 0 ||
            v.get<long long>() > table.count[g]) {
          in.Fail(path, Quote(v) + " is not an entry of the group (0 for none)");
        } else {
          table.priority[g] = static_cast<int>(v.get<long long>());
        }
      }
    }
  }
  if (root.contains("channels")) {
    const Json& channels = root["channels"];
    if (!channels.is_array()) {
      in.Fail("channels", "is not a list");
    } else {
      for (std::size_t k = 0; k < channels.size(); ++k) {
        const std::string path = "channels[" + std::to_string(k) + "]";
        const Json& ch = channels[k];
        if (!ch.is_object() || !ch.contains("channel") || !ch["channel"].is_number_integer()) {
          in.Fail(path, "needs \"channel\": its channel number");
          continue;
        }
        const long long number = ch["channel"].get<long long>();
        if (number < 1 || number > table.total) {
          in.Fail(path + ".channel", std::to_string(number) + " is not a channel in use (1-" +
                                         std::to_string(table.total) + ")");
          continue;
        }
        const int index = static_cast<int>(number - 1);
        ChannelRecord& r = table.records[static_cast<std::size_t>(index)];
        if (ch.contains("programmed")) {
          if (!ch["programmed"].is_boolean()) {
            in.Fail(path + ".programmed", Quote(ch["programmed"]) + " is not true or false");
          } else if (ch["programmed"].get<bool>() == r.programmed()) {
            // unchanged
          } else if (index == 0) {
            in.Fail(path + ".programmed", "channel 1 is always programmed");
          } else {
            r.status = static_cast<std::uint8_t>(ch["programmed"].get<bool>() ? (r.status | 1)
                                                                              : (r.status & 0xF0));
          }
        }
        if (ch.contains("group")) {
          const Json& v = ch["group"];
          if (!v.is_number_integer() || v.get<long long>() != table.GroupOfChannel(index) + 1) {
            in.Fail(path + ".group", Quote(v) + " is not the group channel " +
                                         std::to_string(number) + " lies in (" +
                                         std::to_string(table.GroupOfChannel(index) + 1) + ")");
          }
        }
        // Each key once, then the cells in grid order (receive before transmit, the sub-audio
        // type before its tones).
        std::array<const Json*, kGridColumnCount> cells{};
        for (auto it = ch.begin(); it != ch.end(); ++it) {
          if (it.key() == "channel" || it.key() == "programmed" || it.key() == "group") continue;
          const int c = ColumnOfKey(it.key());
          if (c < 1) {
            in.Fail(path + "." + it.key(), "is not a channel column");
          } else {
            cells[static_cast<std::size_t>(c)] = &it.value();
          }
        }
        for (int c = 1; c < kGridColumnCount; ++c) {
          const Json* v = cells[static_cast<std::size_t>(c)];
          if (v == nullptr) continue;
          std::string s;
          if (v->is_number() && (c == kColReceive || c == kColTransmit)) {
            s = Format("%.5f", v->get<double>());
          } else if (!in.String(*v, path + "." + ColumnKey(c), s)) {
            continue;
          }
          const std::string why = ApplyCellText(doc, index, c, s);
          if (!why.empty()) in.Fail(path + "." + ColumnKey(c), why);
        }
      }
    }
  }
  if (!errors.empty()) return false;

  StoreTableChanges(doc, table_before);
  doc.RefreshFromImage();
  doc.modified = true;
  out = doc;
  return true;
}

}  // namespace

bool ImportJson(std::string_view text, const Codeplug& base, Codeplug& out,
                std::vector<std::string>& errors) {
  // Whatever the text holds, the caller gets a refusal, never an exception.
  try {
    return ImportChecked(text, base, out, errors);
  } catch (const std::exception& e) {
    errors.push_back(std::string("(file): cannot be read: ") + e.what());
    return false;
  }
}

}  // namespace ql40::exchange

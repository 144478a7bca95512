#include "exchange/codeplug_json.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <nlohmann/json.hpp>
#include <set>

#include "channels/frequency_fit.h"
#include "channels/grid_text.h"
#include "codeplug/codecs.h"
#include "exchange/channel_cells.h"
#include "exchange/json_value.h"
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

std::string Quote(const JsonValue& value) {
  return value.Dump();
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
  void ApplyField(const Field& field, const JsonValue& value, Records& records,
                  const std::string& path) {
    int& target = field.get(records);
    if (field.labels != nullptr) {
      const std::vector<std::string> labels = field.labels(records);
      if (value.is_string()) {
        const std::string text = value.text();
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
      if (value.is_number_integer() && value.integer() == target) return;
      Fail(path, Quote(value) + " is not one of the texts of this setting");
      return;
    }
    if (!value.is_number_integer()) {
      Fail(path, Quote(value) + " is not a whole number");
      return;
    }
    const long long n = value.integer();
    if (n == target) return;  // what the image holds stays, even outside the editors' range
    if (n < field.lo || n > field.hi) {
      Fail(path, std::to_string(n) + " is outside " + std::to_string(field.lo) + "-" +
                     std::to_string(field.hi));
      return;
    }
    target = static_cast<int>(n);
  }

  bool String(const JsonValue& value, const std::string& path, std::string& out) {
    if (!value.is_string()) {
      Fail(path, Quote(value) + " is not a text");
      return false;
    }
    out = value.text();
    return true;
  }

  bool Number(const JsonValue& value, const std::string& path, double lo, double hi, double& out) {
    if (!value.is_number()) {
      Fail(path, Quote(value) + " is not a number");
      return false;
    }
    out = value.number();
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
  JsonValue root;
  std::string why;
  if (!ParseJson(text, root, why)) return -1;
  const JsonValue& band = root["hardware"]["band"];
  if (!band.is_string()) return -1;
  for (std::size_t i = 0; i < res::kBandNames.size(); ++i) {
    if (SameWords(res::kBandNames[i], band.text())) return static_cast<int>(i);
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

constexpr std::string_view kDigits = "0123456789ABCD*#";

// One import: the file's values read section by section onto a working codeplug, then the
// hardware and option changes done as their dialogs' OK does them, then groups and channel
// rows, and last a check of what was stored against what the file asked for.
class JsonImport {
 public:
  JsonImport(const JsonValue& root, const Codeplug& base, std::vector<std::string>& errors,
             std::vector<std::string>& warnings)
      : root_(root), doc_(base), in_(errors), warnings_(warnings) {}

  bool Run(Codeplug& out);

 private:
  bool Given(const std::string& path) const { return given_.count(path) != 0; }
  void Give(const std::string& path) { given_.insert(path); }
  void Warn(const std::string& path, const std::string& what) {
    warnings_.push_back(path + ": " + what);
  }

  void ReadHeader();
  void ReadRaw();
  void ReadSplit();
  void ReadSection(const Section& section);
  void ReadSpecial(const std::string& key, const std::string& name, const JsonValue& value);
  void ReadDtmfCodes();
  void ReadPaging();
  void ReadTwoTone();
  void ReadUnknownKeys();
  void ApplyRecords();
  void ReadGroups();
  void ReadChannels();
  int RowChannel(const JsonValue& ch, const std::string& path);
  void ReadProgrammed(const JsonValue& ch, const std::string& path, int index);
  void CheckGroup(const JsonValue& ch, const std::string& path, int index);
  void ReadChannelCells(const JsonValue& ch, const std::string& path, int index);
  void CheckStored();

  const JsonValue& root_;
  Codeplug doc_;
  Importer in_;
  std::vector<std::string>& warnings_;
  std::set<std::string> given_;
  bool split_given_ = false;
  double split_ = 0;        // what goes into the trailer
  double split_asked_ = 0;  // what the file says
  Records before_;
  Records after_;
  Codeplug start_;                    // the base with the file's raw bytes
  ChannelTable stored_table_;         // what the image holds before the rows
  std::vector<FrequencyMove> moves_;  // forced by new hardware constants
  std::vector<std::array<bool, kGridColumnCount>> row_cells_;  // cells given per channel
  std::vector<bool> row_given_;
  std::vector<std::pair<std::string, std::string>> marks_;  // priority cells: path, text
  bool band_changed_ = false;
};

void JsonImport::ReadHeader() {
  if (root_.contains("format") &&
      !(root_["format"].is_string() && root_["format"].text() == kJsonFormat)) {
    in_.Fail("format", Quote(root_["format"]) + " is not \"" + kJsonFormat + "\"");
  }
  if (root_.contains("version") &&
      !(root_["version"].is_number_integer() && root_["version"].integer() >= 1 &&
        root_["version"].integer() <= kJsonVersion)) {
    in_.Fail("version", Quote(root_["version"]) + " is not a version this program reads (1)");
  }
}

void JsonImport::ReadRaw() {
  if (!root_.contains("raw")) return;
  const JsonValue& raw = root_["raw"];
  const JsonValue* blocks = raw.is_object() && raw.contains("blocks") ? &raw["blocks"] : nullptr;
  if (blocks == nullptr || !blocks->is_array() || blocks->size() != kBlockCount) {
    in_.Fail("raw.blocks", "must be a list of 138 blocks of 256 hex digits");
    return;
  }
  for (int b = 0; b < kBlockCount; ++b) {
    const JsonValue& block = (*blocks)[static_cast<std::size_t>(b)];
    const std::string path = "raw.blocks[" + std::to_string(b) + "]";
    if (!block.is_string() || block.text().size() != kHexPerBlock) {
      in_.Fail(path, "is not 256 hex digits");
      continue;
    }
    const std::string& hex = block.text();
    for (int i = 0; i < kBlockSize; ++i) {
      const int hi = HexDigit(hex[static_cast<std::size_t>(2 * i)]);
      const int lo = HexDigit(hex[static_cast<std::size_t>(2 * i + 1)]);
      if (hi < 0 || lo < 0) {
        in_.Fail(path, "holds a character that is not a hex digit at byte " + std::to_string(i));
        break;
      }
      doc_.image[static_cast<std::size_t>(b * kBlockSize + i)] =
          static_cast<std::uint8_t>(hi * 16 + lo);
    }
  }
}

void JsonImport::ReadSplit() {
  if (!root_.contains("default_split")) return;
  double split = 0;
  if (!in_.Number(root_["default_split"], "default_split", -99.9, 99.9, split)) return;
  Give("default_split");
  split_given_ = true;
  split_asked_ = split;
  // What the image holds stays; a new split is kept as the Miscellaneous dialog keeps it. One
  // that already shows as the dialog's tenths (the noise of a double past the shown digits)
  // is kept as the file writes it, so that an exported file imports back bit for bit.
  const double tenths = Round(split, 1);
  split_ = split == doc_.default_split || Format("%.5f", split) == Format("%.5f", tenths) ? split
                                                                                          : tenths;
}

void JsonImport::ReadSection(const Section& section) {
  if (!root_.contains(section.key)) return;
  const JsonValue& part = root_[section.key];
  const std::string key = section.key;
  if (!part.is_object()) {
    in_.Fail(key, "is not an object");
    return;
  }
  for (const JsonValue::Member& member : part.members()) {
    const std::string path = key + "." + member.key;
    const Field* field = nullptr;
    for (const Field& f : section.fields) {
      if (member.key == f.key) field = &f;
    }
    if (field != nullptr) {
      const std::size_t errors = in_.errors_.size();
      in_.ApplyField(*field, member.value, after_, path);
      if (in_.errors_.size() == errors) Give(path);
      continue;
    }
    ReadSpecial(key, member.key, member.value);
  }
}

// The keys of a section that are not fields of the table: texts, codes and frequencies.
void JsonImport::ReadSpecial(const std::string& key, const std::string& name,
                             const JsonValue& value) {
  const std::string path = key + "." + name;
  std::string s;
  double d = 0;
  if (key == "hardware" && (name == "ref_xtal" || name == "first_if")) {
    double& target = name == "ref_xtal" ? after_.hardware.ref_xtal : after_.hardware.first_if;
    // Unchanged values keep their exact stored form, even past the range a new value must keep:
    // what an odd radio's words hold comes back from its own export.
    const bool held = value.is_number() && std::fabs(value.number() - target) < 0.0005;
    if (!held && !in_.Number(value, path, 0.0, 160.0, d)) return;
    Give(path);
    if (!held) target = d;
  } else if (key == "identity" && (name == "firmware" || name == "serial_number")) {
    // Written by the radio alone: shown for information, never taken from the file.
    if (in_.String(value, path, s)) {
      const RadioIdentity none;  // what a codeplug shows that came from no file or radio
      const std::string held =
          name == "firmware" ? doc_.identity.FirmwareText() : doc_.identity.serial_number;
      const std::string unknown = name == "firmware" ? none.FirmwareText() : none.serial_number;
      if (s != held && s != unknown) {
        Warn(path, "\"" + s + "\" is not taken: the radio writes it (\"" + held + "\")");
      }
    }
  } else if (key == "power_saving" && name == "power_on_tag") {
    if (!in_.String(value, path, s)) return;
    if (s == after_.general.power_on_tag) {
      // what the image holds stays
    } else if (!ValidTag(s)) {
      in_.Fail(path, "\"" + s + "\" is not up to 8 tag symbols (A-Z, 0-9 and the tag signs)");
      return;
    } else {
      after_.general.CommitPowerOnTag(s);
    }
    Give(path);
  } else if (key == "ani" && (name == "ani_code" || name == "emergency_code")) {
    if (!in_.String(value, path, s)) return;
    std::string& code = name == "ani_code" ? after_.ani.ani_code : after_.ani.emergency_code;
    if (s != code && !ValidDigits(s, kDigits, kDigitStringMaxDigits)) {
      in_.Fail(path, "\"" + s + "\" is not up to 15 digits 0-9, A-D, * and #");
      return;
    }
    code = s;
    Give(path);
  } else if (key == "dtmf" && name == "pause_character") {
    if (!in_.String(value, path, s)) return;
    if (s == Trim(after_.dtmf.PauseText())) {
      // what the image holds stays
    } else if (s.size() > 1 || !ValidDigits(s, kDigits, 1)) {
      in_.Fail(path, "\"" + s + "\" is not one DTMF digit or empty");
      return;
    } else {
      after_.dtmf.CommitPauseCharacter(s);
    }
    Give(path);
  } else {
    in_.Fail(path, "is not a key of this section");
  }
}

void JsonImport::ReadDtmfCodes() {
  if (!root_.contains("dtmf_codes")) return;
  const JsonValue& codes = root_["dtmf_codes"];
  if (!codes.is_array() || codes.size() > kDtmfCodeCount) {
    in_.Fail("dtmf_codes", "must be a list of up to 10 codes");
    return;
  }
  for (std::size_t i = 0; i < codes.size(); ++i) {
    const std::string path = "dtmf_codes[" + std::to_string(i) + "]";
    std::string s;
    if (!in_.String(codes[i], path, s)) continue;
    if (s != after_.dtmf_codes.codes[i] && !ValidDigits(s, kDigits, kDigitStringMaxDigits)) {
      in_.Fail(path, "\"" + s + "\" is not up to 15 digits 0-9, A-D, * and #");
      continue;
    }
    after_.dtmf_codes.codes[i] = s;
    Give(path);
  }
}

void JsonImport::ReadPaging() {
  if (!root_.contains("paging")) return;
  const JsonValue& slots = root_["paging"];
  if (!slots.is_array() || slots.size() > kPagingSlotCount) {
    in_.Fail("paging", "must be a list of up to 10 codes");
    return;
  }
  for (std::size_t i = 0; i < slots.size(); ++i) {
    const std::string path = "paging[" + std::to_string(i) + "]";
    if (!slots[i].is_object()) {
      in_.Fail(path, "is not an object");
      continue;
    }
    PagingSlot& slot = after_.paging.slots[i];
    std::string s;
    if (slots[i].contains("code") && in_.String(slots[i]["code"], path + ".code", s)) {
      if (s == slot.code) {
        Give(path);
      } else if (!s.empty() &&
                 (s.size() != kPagingCodeLength || !ValidDigits(s, "0123456789ABCD", 3))) {
        in_.Fail(path + ".code", "\"" + s + "\" is not three digits 0-9, A-D, or empty");
      } else {
        slot.code = s;
        Give(path);
      }
    }
    if (slots[i].contains("enc_dec") && in_.String(slots[i]["enc_dec"], path + ".enc_dec", s)) {
      int found = -1;
      for (std::size_t k = 0; k < res::kPagingFlags.size(); ++k) {
        if (SameWords(res::kPagingFlags[k], s)) found = static_cast<int>(k);
      }
      if (found < 0) {
        in_.Fail(path + ".enc_dec", "\"" + s + "\" is not \"ENC Only\" or \"ENC & DEC\"");
      } else {
        slot.enc_dec = found;
        Give(path);
      }
    }
  }
}

void JsonImport::ReadTwoTone() {
  if (!root_.contains("two_tone")) return;
  const JsonValue& rows = root_["two_tone"];
  if (!rows.is_array() || rows.size() > kPagingSlotCount) {
    in_.Fail("two_tone", "must be a list of up to 10 rows");
    return;
  }
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const std::string path = "two_tone[" + std::to_string(i) + "]";
    if (!rows[i].is_object()) {
      in_.Fail(path, "is not an object");
      continue;
    }
    TwoToneRow& row = after_.two_tone.rows[i];
    for (const char* k : {"group", "first", "second"}) {
      if (!rows[i].contains(k)) continue;
      const JsonValue& v = rows[i][k];
      const int hi = std::string_view(k) == "group" ? kToneGroupUser : 255;
      if (!v.is_number_integer() || v.integer() < 0 || v.integer() > hi) {
        in_.Fail(path + "." + k, Quote(v) + " is outside 0-" + std::to_string(hi));
        continue;
      }
      const int n = static_cast<int>(v.integer());
      (std::string_view(k) == "group"   ? row.group
       : std::string_view(k) == "first" ? row.first
                                        : row.second) = n;
      Give(path);
    }
  }
}

void JsonImport::ReadUnknownKeys() {
  static const char* const kKnown[] = {"format",     "version",  "default_split",
                                       "dtmf_codes", "paging",   "two_tone",
                                       "groups",     "channels", "raw"};
  for (const JsonValue::Member& member : root_.members()) {
    bool known = false;
    for (const char* k : kKnown) known = known || member.key == k;
    for (const Section& s : Sections()) known = known || member.key == s.key;
    if (!known) in_.Fail(member.key, "is not a key of a codeplug");
  }
}

// The records go into the image; a change of band, model, hardware constants or option unit
// does to the channels what the Hardware or Option dialog's OK does.
void JsonImport::ApplyRecords() {
  const HardwareSettings& was = before_.hardware;
  HardwareSettings& hw = after_.hardware;
  band_changed_ = hw.band != was.band;
  if (band_changed_) {
    // The band's defaults, and on top of them what the file gives.
    // A value the file holds as the old band had it is the old band's, not a choice: the new
    // band's default replaces it, and the warning says so.
    HardwareSettings fresh = was;
    const double band_split = fresh.SetBandDefaults(hw.band);
    const auto keep = [&](const char* key, auto member, auto text) {
      const std::string path = std::string("hardware.") + key;
      if (Given(path) && !(hw.*member == was.*member)) return;
      if (Given(path) && !(hw.*member == fresh.*member)) {
        Warn(path, "\"" + text(hw.*member) + "\" is the old band's: the new band's \"" +
                       text(fresh.*member) + "\" is stored");
      }
      hw.*member = fresh.*member;
    };
    const auto mhz = [](double v) { return Format("%.3f", v); };
    const auto number = [](int v) { return std::to_string(v); };
    const auto spacing = [](int v) { return Words(res::LabelOr(res::kChannelSpacings, v)); };
    const auto side = [](int v) { return Words(res::LabelOr(res::kLocalOffsets, v)); };
    keep("ref_xtal", &HardwareSettings::ref_xtal, mhz);
    keep("first_if", &HardwareSettings::first_if, mhz);
    keep("local_oscillator", &HardwareSettings::injection, side);
    keep("channel_spacing", &HardwareSettings::channel_spacing, spacing);
    keep("sq_release", &HardwareSettings::sq_release, number);
    if (!split_given_ || split_asked_ == doc_.default_split) {
      if (split_given_ && split_asked_ != band_split) {
        Warn("default_split", Format("\"%.5f\" is the old band's: the new band's \"%.5f\" is "
                                     "stored",
                                     split_asked_, band_split));
      }
      split_asked_ = band_split;
      split_ = band_split;
    }
    split_given_ = true;
  }
  if (split_given_) doc_.default_split = split_;
  if (after_.option.option_unit != before_.option.option_unit) {
    // As the Option dialog does: the paging slots of the old unit go, unless the file has them.
    for (int i = 0; i < kPagingSlotCount; ++i) {
      if (!Given("paging[" + std::to_string(i) + "]")) {
        after_.paging.slots[static_cast<std::size_t>(i)] = PagingSlot{};
      }
    }
  }
  ChannelTable kept = doc_.channels;  // decoded under the old constants
  after_.EncodeChanged(before_, doc_);
  stored_table_ = doc_.channels;

  // The channels keep what they were (frequencies, codes) and are stored anew.
  const int unit = doc_.option_unit;
  kept.SetLimits(doc_.hardware.product_type);
  if (doc_.hardware.product_type != was.product_type)
    kept.RefitToProduct(doc_.hardware.product_type);
  if (unit != before_.option.option_unit) kept.ApplyOptionUnitChange(unit);
  if (!(after_.option == before_.option) && !after_.option.HasEncryptionDevice()) {
    kept.ClearEncryption();
  }
  doc_.channels = kept;
  if (band_changed_) {
    doc_.channels.ApplyBandChange(doc_.hardware.band);
    FitAllChannels(doc_.channels, ChannelContext::From(doc_.hardware, unit, doc_.default_split));
  } else if (doc_.hardware.first_if != was.first_if || doc_.hardware.injection != was.injection ||
             doc_.hardware.channel_spacing != was.channel_spacing) {
    const HardwareSettings hardware = doc_.hardware;
    doc_.hardware = was;
    moves_ = ApplyHardwareChange(doc_, hardware);
  }
}

void JsonImport::ReadGroups() {
  if (!root_.contains("groups")) return;
  ChannelTable& table = doc_.channels;
  const JsonValue& groups = root_["groups"];
  if (!groups.is_array() || groups.size() > kGroupCount) {
    in_.Fail("groups", "must be a list of up to 20 groups");
    return;
  }
  for (std::size_t g = 0; g < groups.size(); ++g) {
    const std::string path = "groups[" + std::to_string(g) + "]";
    const JsonValue& group = groups[g];
    if (!group.is_object()) {
      in_.Fail(path, "is not an object");
      continue;
    }
    std::string s;
    if (group.contains("channels")) {
      const JsonValue& v = group["channels"];
      const int max = static_cast<int>(g) < table.group_count ? table.max_per_group : 0;
      if (!v.is_number_integer() || v.integer() < 0 || v.integer() > max) {
        in_.Fail(path + ".channels", Quote(v) + " is outside 0-" + std::to_string(max));
      } else {
        table.count[g] = static_cast<int>(v.integer());
        Give(path + ".channels");
      }
    }
    if (group.contains("tag") && in_.String(group["tag"], path + ".tag", s)) {
      std::string trimmed = s;
      trimmed.erase(trimmed.find_last_not_of(' ') + 1);
      if (s == table.group_tag[g]) {
        Give(path + ".tag");
      } else if (!ValidTag(trimmed)) {
        in_.Fail(path + ".tag", "\"" + s + "\" is not up to 8 tag symbols");
      } else {
        std::string padded = trimmed;
        padded.resize(8, ' ');
        if (padded != table.group_tag[g]) table.group_tag[g] = padded;
        Give(path + ".tag");
      }
    }
    if (group.contains("scan_mode") && in_.String(group["scan_mode"], path + ".scan_mode", s)) {
      int found = -1;
      for (std::size_t k = 0; k < res::kGroupScanModes.size(); ++k) {
        if (SameWords(res::kGroupScanModes[k], s)) found = static_cast<int>(k);
      }
      if (found < 0) {
        in_.Fail(path + ".scan_mode", "\"" + s + "\" is not NONE, QTS, SCAN or SCAN QTS");
      } else {
        table.scan_mode[g] = found;
        Give(path + ".scan_mode");
      }
    }
  }
  int total = 0;
  for (int c : table.count) total += c;
  if (total == 0 || total > table.capacity) {
    in_.Fail("groups", std::to_string(total) + " channels in all: a codeplug holds 1 to " +
                           std::to_string(table.capacity));
  } else {
    table.total = total;
    table.channels_left = table.capacity - total;
  }
  for (std::size_t g = 0; g < groups.size(); ++g) {
    if (!groups[g].is_object() || !groups[g].contains("priority")) continue;
    const JsonValue& v = groups[g]["priority"];
    const std::string path = "groups[" + std::to_string(g) + "].priority";
    if (!v.is_number_integer() || v.integer() < 0 || v.integer() > table.count[g]) {
      in_.Fail(path, Quote(v) + " is not an entry of the group (0 for none)");
    } else {
      table.priority[g] = static_cast<int>(v.integer());
      Give(path);
    }
  }
}

void JsonImport::ReadChannels() {
  row_cells_.assign(kChannelCount, {});
  row_given_.assign(kChannelCount, false);
  marks_.assign(kChannelCount, {});
  if (!root_.contains("channels")) return;
  const JsonValue& channels = root_["channels"];
  if (!channels.is_array()) {
    in_.Fail("channels", "is not a list");
    return;
  }
  for (std::size_t k = 0; k < channels.size(); ++k) {
    const std::string path = "channels[" + std::to_string(k) + "]";
    const JsonValue& ch = channels[k];
    const int index = RowChannel(ch, path);
    if (index < 0) continue;
    ReadProgrammed(ch, path, index);
    CheckGroup(ch, path, index);
    ReadChannelCells(ch, path, index);
  }
}

// The channel a row is for, or -1 when it names none it may.
int JsonImport::RowChannel(const JsonValue& ch, const std::string& path) {
  const ChannelTable& table = doc_.channels;
  if (!ch.is_object() || !ch.contains("channel") || !ch["channel"].is_number_integer()) {
    in_.Fail(path, "needs \"channel\": its channel number");
    return -1;
  }
  const long long number = ch["channel"].integer();
  if (number < 1 || number > table.total) {
    in_.Fail(path + ".channel", std::to_string(number) + " is not a channel in use (1-" +
                                    std::to_string(table.total) + ")");
    return -1;
  }
  const int index = static_cast<int>(number - 1);
  if (row_given_[static_cast<std::size_t>(index)]) {
    in_.Fail(path + ".channel", "channel " + std::to_string(number) + " has a row already");
    return -1;
  }
  row_given_[static_cast<std::size_t>(index)] = true;
  return index;
}

void JsonImport::CheckGroup(const JsonValue& ch, const std::string& path, int index) {
  if (!ch.contains("group")) return;
  const JsonValue& v = ch["group"];
  const int group = doc_.channels.GroupOfChannel(index) + 1;
  if (!v.is_number_integer() || v.integer() != group) {
    in_.Fail(path + ".group", Quote(v) + " is not the group channel " + std::to_string(index + 1) +
                                  " lies in (" + std::to_string(group) + ")");
  }
}

void JsonImport::ReadProgrammed(const JsonValue& ch, const std::string& path, int index) {
  if (!ch.contains("programmed")) return;
  ChannelRecord& r = doc_.channels.records[static_cast<std::size_t>(index)];
  const JsonValue& v = ch["programmed"];
  if (!v.is_boolean()) {
    in_.Fail(path + ".programmed", Quote(v) + " is not true or false");
  } else if (v.boolean() == r.programmed()) {
    // unchanged
  } else if (index == 0) {
    in_.Fail(path + ".programmed", "channel 1 is always programmed");
  } else if (v.boolean()) {
    r.set_programmed(true);
  } else {
    // Unprogrammed, the channel drops the flags that go with being programmed as well.
    r.Set(field::kStatusFlags, 0);
  }
}

// The row's cells, applied as one row; what the row refuses fails, what it changes to fit warns.
void JsonImport::ReadChannelCells(const JsonValue& ch, const std::string& path, int index) {
  std::array<std::string, kGridColumnCount> texts;
  RowCells cells{};
  for (const JsonValue::Member& member : ch.members()) {
    if (member.key == "channel" || member.key == "programmed" || member.key == "group") continue;
    const int c = ColumnOfKey(member.key);
    if (c < 1) {
      in_.Fail(path + "." + member.key, "is not a channel column");
      continue;
    }
    const auto col = static_cast<std::size_t>(c);
    const JsonValue& v = member.value;
    if (v.is_number() && (c == kColReceive || c == kColTransmit)) {
      texts[col] = Format("%.5f", v.number());
    } else if (!in_.String(v, path + "." + member.key, texts[col])) {
      continue;
    }
    // A frequency new constants moved, given as it was: the move stands and is named.
    if (c == kColReceive || c == kColTransmit) {
      const bool moved = std::any_of(moves_.begin(), moves_.end(), [&](const FrequencyMove& m) {
        return m.channel == index && m.transmit == (c == kColTransmit) &&
               MhzTextTo10Hz(texts[col]) == m.from && Trim(texts[col]) != res::kTxInhibited;
      });
      if (moved) continue;
    }
    cells[col] = &texts[col];
    row_cells_[static_cast<std::size_t>(index)][col] = true;
  }
  if (cells[kColPriority] != nullptr) {
    marks_[static_cast<std::size_t>(index)] = {path + "." + ColumnKey(kColPriority),
                                               texts[kColPriority]};
  }
  for (const CellNote& note : ApplyRow(doc_, index, cells)) {
    const std::string where = path + "." + ColumnKey(note.column);
    if (note.refused) {
      in_.Fail(where, note.text);
    } else {
      Warn(where, note.text);
    }
  }
}

// Every value the file gives is checked against what the image now holds, and every value it
// does not give against what the codeplug held before: a difference is a warning.
void JsonImport::CheckStored() {
  Records stored;
  stored.Decode(doc_);
  // What the file asked for: the records as read, the groups as the rows left them.
  Codeplug asked = doc_;
  asked.channels.count = stored_table_.count;
  asked.default_split = split_asked_;
  std::vector<NamedValue> wanted = NamedValues(after_, asked);
  const std::vector<NamedValue> was = NamedValues(start_);
  const std::vector<NamedValue> now = NamedValues(stored, doc_);
  for (std::size_t i = 0; i < now.size() && i < was.size() && i < wanted.size(); ++i) {
    const std::string& path = now[i].path;
    if (path.rfind("groups[", 0) == 0 || path == "identity.firmware" ||
        path == "identity.serial_number") {
      continue;  // the groups below; identity was told as it was read
    }
    if (Given(path)) {
      if (wanted[i].text != now[i].text) {
        Warn(path, "\"" + wanted[i].text + "\" is stored as \"" + now[i].text + "\"");
      }
    } else if (was[i].text != now[i].text) {
      Warn(path, "changes from \"" + was[i].text + "\" to \"" + now[i].text + "\"");
    }
  }
  // Groups: what the rows and group entries set against what the image gives back.
  const ChannelTable& t = doc_.channels;
  for (int g = 0; g < kGroupCount; ++g) {
    const auto k = static_cast<std::size_t>(g);
    const std::string path = "groups[" + std::to_string(g) + "]";
    if (start_.channels.priority[k] != t.priority[k] && !Given(path + ".priority")) {
      bool by_row = false;
      for (int i = 0; i < t.count[k]; ++i) {
        by_row = by_row ||
                 row_cells_[static_cast<std::size_t>(t.FirstIndexOfGroup(g) + i)][kColPriority];
      }
      if (!by_row) {
        Warn(path + ".priority", "changes from " + std::to_string(start_.channels.priority[k]) +
                                     " to " + std::to_string(t.priority[k]));
      }
    }
  }
  // A later row of a group can take the priority mark from an earlier one.
  for (int i = 0; i < kChannelCount; ++i) {
    // Named, not bound: clang 14 (the fuzz build) cannot capture a structured binding.
    const std::string& where = marks_[static_cast<std::size_t>(i)].first;
    const std::string& mark = marks_[static_cast<std::size_t>(i)].second;
    if (where.empty() || CellHolds(doc_, i, kColPriority, mark)) continue;
    if (std::any_of(warnings_.begin(), warnings_.end(),
                    [&](const std::string& w) { return w.rfind(where + ": ", 0) == 0; })) {
      continue;  // named already
    }
    Warn(where, "\"" + Trim(mark) + "\" is stored as \"" + CellText(doc_, i, kColPriority) +
                    "\" (a group has one priority channel)");
  }
  // Channels the file has no row for.
  const std::string band_default = Trim(FrequencyText(BandDefaultFrequency(doc_.hardware.band)));
  if (band_changed_) {
    Warn("hardware.band", "the band changes: every channel without a row is set to " +
                              band_default + " and is no longer programmed (channel 1 stays)");
  }
  const int in_use = std::min(t.total, kChannelCount);
  for (const FrequencyMove& m : moves_) {
    const auto& given = row_cells_[static_cast<std::size_t>(m.channel)];
    if (given[static_cast<std::size_t>(m.transmit ? kColTransmit : kColReceive)]) continue;
    warnings_.push_back(FrequencyMoveLines({m}).front());
  }
  if (band_changed_) return;
  for (int i = 0; i < in_use && i < std::min(start_.channels.total, kChannelCount); ++i) {
    const auto k = static_cast<std::size_t>(i);
    if (row_given_[k] || SameRecord(start_.channels.records[k], t.records[k])) continue;
    for (int c = 1; c < kGridColumnCount; ++c) {
      if (c == kColPriority) continue;
      const std::string a = CellText(start_, i, c);
      const std::string b = CellText(doc_, i, c);
      const bool moved = std::any_of(moves_.begin(), moves_.end(), [&](const FrequencyMove& m) {
        return m.channel == i && (c == (m.transmit ? kColTransmit : kColReceive));
      });
      if (a != b && !moved) {
        warnings_.push_back("channel " + std::to_string(i + 1) + " " +
                            ColumnName(c, doc_.option_unit) + ": changes from \"" + a + "\" to \"" +
                            b + "\"");
      }
    }
  }
}

bool JsonImport::Run(Codeplug& out) {
  ReadHeader();
  ReadRaw();
  ReadSplit();
  if (!in_.errors_.empty()) return false;
  doc_.file_loaded = true;
  doc_.RefreshFromImage();
  start_ = doc_;
  before_.Decode(doc_);
  after_ = before_;
  for (const Section& section : Sections()) ReadSection(section);
  ReadDtmfCodes();
  ReadPaging();
  ReadTwoTone();
  ReadUnknownKeys();
  if (!in_.errors_.empty()) return false;
  ApplyRecords();
  ReadGroups();
  ReadChannels();
  if (!in_.errors_.empty()) return false;
  StoreTableChanges(doc_, stored_table_);
  doc_.RefreshFromImage();
  CheckStored();
  doc_.modified = true;
  out = doc_;
  return true;
}

}  // namespace

bool ImportJson(std::string_view text, const Codeplug& base, Codeplug& out,
                std::vector<std::string>& errors, std::vector<std::string>& warnings) {
  errors.clear();
  warnings.clear();
  // Whatever the text holds, the caller gets a refusal, never an exception.
  try {
    JsonValue root;
    std::string why;
    if (!ParseJson(text, root, why)) {
      // Syntax errors and numbers beyond any range alike.
      errors.push_back("(file): not JSON: " + why);
      return false;
    }
    if (!root.is_object()) {
      errors.push_back("(file): the top level is not an object");
      return false;
    }
    JsonImport import(root, base, errors, warnings);
    if (import.Run(out)) return true;
    warnings.clear();
    return false;
  } catch (const std::exception& e) {
    errors.push_back(std::string("(file): cannot be read: ") + e.what());
    warnings.clear();
    return false;
  }
}

}  // namespace ql40::exchange

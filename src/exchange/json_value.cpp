#include "exchange/json_value.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace ql40::exchange {

class JsonReader {
 public:
  explicit JsonReader(std::string_view text) : text_(text) {}

  bool Read(JsonValue& out, std::string& why) {
    // A UTF-8 byte order mark is not JSON, but editors write one.
    if (text_.substr(0, 3) == "\xEF\xBB\xBF") at_ = 3;
    Blanks();
    if (!Value(out, 0)) {
      why = Where() + why_;
      return false;
    }
    Blanks();
    if (at_ != text_.size()) {
      why = Where() + "more text after the end of the JSON value";
      return false;
    }
    return true;
  }

 private:
  static constexpr int kMaxDepth = 200;

  bool Fail(const char* what) {
    why_ = what;
    return false;
  }

  std::string Where() const {
    int line = 1;
    int column = 1;
    for (std::size_t i = 0; i < at_ && i < text_.size(); ++i) {
      if (text_[i] == '\n') {
        ++line;
        column = 1;
      } else {
        ++column;
      }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(column) + ": ";
  }

  void Blanks() {
    while (at_ < text_.size() &&
           (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\n' || text_[at_] == '\r')) {
      ++at_;
    }
  }

  bool Word(std::string_view word) {
    if (text_.substr(at_, word.size()) != word) return Fail("not a JSON value");
    at_ += word.size();
    return true;
  }

  bool Value(JsonValue& out, int depth) {
    if (at_ >= text_.size()) return Fail("the text ends where a value should be");
    switch (text_[at_]) {
      case '{':
        return Object(out, depth);
      case '[':
        return Array(out, depth);
      case '"':
        out.type_ = JsonValue::Type::kString;
        return String(out.text_);
      case 't':
        out.type_ = JsonValue::Type::kBoolean;
        out.boolean_ = true;
        return Word("true");
      case 'f':
        out.type_ = JsonValue::Type::kBoolean;
        return Word("false");
      case 'n':
        return Word("null");
      default:
        return Number(out);
    }
  }

  bool Object(JsonValue& out, int depth) {
    if (depth >= kMaxDepth) return Fail("nested too deeply");
    out.type_ = JsonValue::Type::kObject;
    ++at_;
    Blanks();
    if (at_ < text_.size() && text_[at_] == '}') {
      ++at_;
      return true;
    }
    for (;;) {
      Blanks();
      if (at_ >= text_.size() || text_[at_] != '"') return Fail("a key in quotes is missing");
      std::string key;
      if (!String(key)) return false;
      Blanks();
      if (at_ >= text_.size() || text_[at_] != ':') return Fail("':' is missing after a key");
      ++at_;
      Blanks();
      JsonValue value;
      if (!Value(value, depth + 1)) return false;
      JsonValue::Member* same = nullptr;
      for (JsonValue::Member& m : out.members_) {
        if (m.key == key) same = &m;
      }
      if (same != nullptr) {
        same->value = std::move(value);
      } else {
        out.members_.push_back({std::move(key), std::move(value)});
      }
      Blanks();
      if (at_ >= text_.size()) return Fail("the text ends inside an object");
      if (text_[at_] == ',') {
        ++at_;
        continue;
      }
      if (text_[at_] == '}') {
        ++at_;
        return true;
      }
      return Fail("',' or '}' is missing in an object");
    }
  }

  bool Array(JsonValue& out, int depth) {
    if (depth >= kMaxDepth) return Fail("nested too deeply");
    out.type_ = JsonValue::Type::kArray;
    ++at_;
    Blanks();
    if (at_ < text_.size() && text_[at_] == ']') {
      ++at_;
      return true;
    }
    for (;;) {
      Blanks();
      out.items_.emplace_back();
      if (!Value(out.items_.back(), depth + 1)) return false;
      Blanks();
      if (at_ >= text_.size()) return Fail("the text ends inside a list");
      if (text_[at_] == ',') {
        ++at_;
        continue;
      }
      if (text_[at_] == ']') {
        ++at_;
        return true;
      }
      return Fail("',' or ']' is missing in a list");
    }
  }

  static void AppendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }

  bool Hex4(std::uint32_t& out) {
    if (at_ + 4 > text_.size()) return Fail("the text ends inside a \\u escape");
    out = 0;
    for (int i = 0; i < 4; ++i) {
      const char c = text_[at_++];
      int d = -1;
      if (c >= '0' && c <= '9') d = c - '0';
      if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
      if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
      if (d < 0) return Fail("a \\u escape needs four hex digits");
      out = out * 16 + static_cast<std::uint32_t>(d);
    }
    return true;
  }

  // The length of the UTF-8 sequence that starts at the current byte, 0 when it is none.
  std::size_t Utf8Length() const {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text_[at_ + i]); };
    const unsigned char b = byte(0);
    std::size_t n = 0;
    std::uint32_t cp = 0;
    if (b >= 0xC2 && b <= 0xDF) {
      n = 2;
      cp = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
      n = 3;
      cp = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      n = 4;
      cp = b & 0x07;
    } else {
      return 0;
    }
    if (at_ + n > text_.size()) return 0;
    for (std::size_t i = 1; i < n; ++i) {
      if ((byte(i) & 0xC0) != 0x80) return 0;
      cp = (cp << 6) | (byte(i) & 0x3F);
    }
    // No overlong forms, no surrogates, nothing past U+10FFFF.
    if ((n == 3 && cp < 0x800) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF)) {
      return 0;
    }
    return n;
  }

  bool String(std::string& out) {
    ++at_;  // the opening quote
    for (;;) {
      // Plain characters in one go.
      const std::size_t start = at_;
      while (at_ < text_.size()) {
        const auto c = static_cast<unsigned char>(text_[at_]);
        if (c == '"' || c == '\\' || c < 0x20 || c >= 0x80) break;
        ++at_;
      }
      out.append(text_.data() + start, at_ - start);
      if (at_ >= text_.size()) return Fail("a string is never closed");
      const auto c = static_cast<unsigned char>(text_[at_]);
      if (c == '"') {
        ++at_;
        return true;
      }
      if (c < 0x20) return Fail("a control character inside a string");
      if (c >= 0x80) {
        const std::size_t n = Utf8Length();
        if (n == 0) return Fail("a string that is not UTF-8");
        out.append(text_.data() + at_, n);
        at_ += n;
        continue;
      }
      // An escape.
      if (++at_ >= text_.size()) return Fail("the text ends inside an escape");
      const char e = text_[at_++];
      switch (e) {
        case '"':
        case '\\':
        case '/':
          out += e;
          break;
        case 'b':
          out += '\b';
          break;
        case 'f':
          out += '\f';
          break;
        case 'n':
          out += '\n';
          break;
        case 'r':
          out += '\r';
          break;
        case 't':
          out += '\t';
          break;
        case 'u': {
          std::uint32_t cp = 0;
          if (!Hex4(cp)) return false;
          if (cp >= 0xDC00 && cp <= 0xDFFF) return Fail("a lone low surrogate in a \\u escape");
          if (cp >= 0xD800 && cp <= 0xDBFF) {
            std::uint32_t low = 0;
            if (text_.substr(at_, 2) != "\\u") return Fail("a high surrogate without its pair");
            at_ += 2;
            if (!Hex4(low)) return false;
            if (low < 0xDC00 || low > 0xDFFF) return Fail("a high surrogate without its pair");
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
          }
          AppendUtf8(out, cp);
          break;
        }
        default:
          return Fail("an unknown escape in a string");
      }
    }
  }

  bool Number(JsonValue& out) {
    const std::size_t start = at_;
    bool integer = true;
    if (at_ < text_.size() && text_[at_] == '-') ++at_;
    const auto digits = [&] {
      const std::size_t from = at_;
      while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') ++at_;
      return at_ - from;
    };
    const std::size_t first = at_;
    const std::size_t whole = digits();
    if (whole == 0) return Fail("not a JSON value");
    if (whole > 1 && text_[first] == '0') return Fail("a number with a leading zero");
    if (at_ < text_.size() && text_[at_] == '.') {
      ++at_;
      integer = false;
      if (digits() == 0) return Fail("a number needs digits after its point");
    }
    if (at_ < text_.size() && (text_[at_] == 'e' || text_[at_] == 'E')) {
      ++at_;
      integer = false;
      if (at_ < text_.size() && (text_[at_] == '+' || text_[at_] == '-')) ++at_;
      if (digits() == 0) return Fail("a number needs digits in its exponent");
    }
    const std::string_view written = text_.substr(start, at_ - start);
    double value = 0;
    const auto [end, ec] = std::from_chars(written.data(), written.data() + written.size(), value);
    if (ec != std::errc() || end != written.data() + written.size() || !std::isfinite(value)) {
      return Fail("a number beyond any range");
    }
    out.type_ = JsonValue::Type::kNumber;
    out.number_ = value;
    out.text_ = std::string(written);
    if (integer) {
      long long n = 0;
      const auto [iend, iec] = std::from_chars(written.data(), written.data() + written.size(), n);
      out.integer_ = iec == std::errc() && iend == written.data() + written.size();
      out.integer_value_ = n;
    }
    return true;
  }

  std::string_view text_;
  std::size_t at_ = 0;
  const char* why_ = "";
};

bool ParseJson(std::string_view text, JsonValue& out, std::string& why) {
  out = JsonValue{};
  JsonReader reader(text);
  if (reader.Read(out, why)) return true;
  out = JsonValue{};
  return false;
}

const JsonValue* JsonValue::Find(std::string_view key) const {
  for (const Member& m : members_) {
    if (m.key == key) return &m.value;
  }
  return nullptr;
}

const JsonValue& JsonValue::operator[](std::string_view key) const {
  static const JsonValue kNull;
  const JsonValue* found = Find(key);
  return found != nullptr ? *found : kNull;
}

namespace {

void Quoted(std::string& out, const std::string& s) {
  out += '"';
  for (char c : s) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20) {
      char buffer[8];
      std::snprintf(buffer, sizeof buffer, "\\u%04x", u);
      out += buffer;
    } else {
      out += c;
    }
  }
  out += '"';
}

void DumpTo(std::string& out, const JsonValue& v) {
  switch (v.type()) {
    case JsonValue::Type::kNull:
      out += "null";
      return;
    case JsonValue::Type::kBoolean:
      out += v.boolean() ? "true" : "false";
      return;
    case JsonValue::Type::kNumber:
      out += v.text();
      return;
    case JsonValue::Type::kString:
      Quoted(out, v.text());
      return;
    case JsonValue::Type::kArray:
      out += '[';
      for (std::size_t i = 0; i < v.items().size(); ++i) {
        if (i > 0) out += ',';
        DumpTo(out, v.items()[i]);
      }
      out += ']';
      return;
    case JsonValue::Type::kObject:
      out += '{';
      for (std::size_t i = 0; i < v.members().size(); ++i) {
        if (i > 0) out += ',';
        Quoted(out, v.members()[i].key);
        out += ':';
        DumpTo(out, v.members()[i].value);
      }
      out += '}';
      return;
  }
}

}  // namespace

std::string JsonValue::Dump() const {
  std::string out;
  DumpTo(out, *this);
  return out;
}

}  // namespace ql40::exchange

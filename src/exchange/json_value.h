#pragma once

// A JSON document read in one pass into plain values: what the codeplug import walks. It is
// several times quicker to read than a general-purpose JSON library's tree, which matters for
// a 512-channel file of a quarter megabyte (the export still writes with the library).

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ql40::exchange {

class JsonValue {
 public:
  enum class Type : std::uint8_t { kNull, kBoolean, kNumber, kString, kArray, kObject };

  struct Member;

  Type type() const { return type_; }
  bool is_null() const { return type_ == Type::kNull; }
  bool is_boolean() const { return type_ == Type::kBoolean; }
  bool is_number() const { return type_ == Type::kNumber; }
  // A number written without a fraction or exponent that fits a long long.
  bool is_number_integer() const { return type_ == Type::kNumber && integer_; }
  bool is_string() const { return type_ == Type::kString; }
  bool is_array() const { return type_ == Type::kArray; }
  bool is_object() const { return type_ == Type::kObject; }

  bool boolean() const { return boolean_; }
  double number() const { return number_; }
  long long integer() const { return integer_value_; }
  // The text of a string, or of a number as the file writes it.
  const std::string& text() const { return text_; }

  // Items of an array, members of an object (in file order; a key given twice keeps its last
  // value at its first place).
  std::size_t size() const;
  const std::vector<JsonValue>& items() const { return items_; }
  const std::vector<Member>& members() const { return members_; }
  const JsonValue& operator[](std::size_t i) const { return items_[i]; }
  // The member of that key, or nullptr.
  const JsonValue* Find(std::string_view key) const;
  bool contains(std::string_view key) const { return Find(key) != nullptr; }
  // The member of that key, or a null value.
  const JsonValue& operator[](std::string_view key) const;

  // The value as compact JSON text, as a message quotes it.
  std::string Dump() const;

 private:
  friend class JsonReader;

  Type type_ = Type::kNull;
  bool boolean_ = false;
  bool integer_ = false;
  double number_ = 0;
  long long integer_value_ = 0;
  std::string text_;
  std::vector<JsonValue> items_;
  std::vector<Member> members_;
};

struct JsonValue::Member {
  std::string key;
  JsonValue value;
};

// Out of the class: the size of a vector of members needs the complete member type.
inline std::size_t JsonValue::size() const {
  return is_array() ? items_.size() : members_.size();
}

// Reads a whole JSON text (one value, blanks around it). False with why ("line 3, column 14:
// ...") for anything that is not JSON: bad syntax, a string that is not UTF-8, a number beyond
// a double, nesting deeper than 200.
bool ParseJson(std::string_view text, JsonValue& out, std::string& why);

}  // namespace ql40::exchange

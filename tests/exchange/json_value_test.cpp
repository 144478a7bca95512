// The JSON reader the import walks: what JSON is, read exactly; what is not, refused with its
// place.

#include "exchange/json_value.h"

#include <gtest/gtest.h>

#include <string>

namespace ql40::exchange {
namespace {

JsonValue Read(const std::string& text) {
  JsonValue v;
  std::string why;
  EXPECT_TRUE(ParseJson(text, v, why)) << text << ": " << why;
  return v;
}

std::string Refusal(const std::string& text) {
  JsonValue v;
  std::string why;
  EXPECT_FALSE(ParseJson(text, v, why)) << text;
  return why;
}

TEST(JsonReader, ReadsValuesStringsAndNumbersExactly) {
  const JsonValue v = Read(
      "\xEF\xBB\xBF { \"a\": [1, -2.5, 3e2, true, false, null], \"s\": \"x\\\"\\\\\\/\\n\\u00e9"
      "\\ud83d\\ude00\", \"big\": 12345678901234567890, \"a\": \"again\" }\r\n");
  ASSERT_TRUE(v.is_object());
  ASSERT_EQ(v.size(), 3u);
  EXPECT_EQ(v.members()[0].key, "a");  // a key given twice keeps its place and its last value
  EXPECT_EQ(v["a"].text(), "again");
  EXPECT_EQ(v["s"].text(), "x\"\\/\n\xC3\xA9\xF0\x9F\x98\x80");
  EXPECT_TRUE(v["big"].is_number());
  EXPECT_FALSE(v["big"].is_number_integer());  // beyond a long long: a number, not a whole one
  EXPECT_TRUE(v["missing"].is_null());
  const JsonValue list = Read("[1, -2.5, 3e2, true, null, \"caf\xC3\xA9\"]");
  EXPECT_TRUE(list[0].is_number_integer());
  EXPECT_EQ(list[0].integer(), 1);
  EXPECT_FALSE(list[1].is_number_integer());
  EXPECT_EQ(list[1].number(), -2.5);
  EXPECT_EQ(list[2].number(), 300.0);
  EXPECT_TRUE(list[3].boolean());
  EXPECT_TRUE(list[4].is_null());
  EXPECT_EQ(list.Dump(), "[1,-2.5,3e2,true,null,\"caf\xC3\xA9\"]");
  EXPECT_EQ(Read("{\"k\":\"a\\u0001\"}").Dump(), "{\"k\":\"a\\u0001\"}");
}

TEST(JsonReader, RefusesWhatIsNotJsonWithItsPlace) {
  EXPECT_EQ(Refusal("{\"a\": 1,\n \"b\" 2}"), "line 2, column 6: ':' is missing after a key");
  for (const char* bad : {"",
                          "{",
                          "[1,]",
                          "{\"a\":1,}",
                          "01",
                          "1.",
                          "1e",
                          "-",
                          "tru",
                          "\"open",
                          "\"a\tb\"",
                          "\"\\x\"",
                          "\"\\ud800\"",
                          "\"\\udc00\"",
                          "\"\xC3\"",
                          "\"\xC0\xAF\"",
                          "\"\xED\xA0\x80\"",
                          "4e449",
                          "1 2",
                          "{1:2}"}) {
    EXPECT_FALSE(Refusal(bad).empty()) << bad;
  }
  // Nesting beyond any codeplug's is refused, not followed down the stack.
  EXPECT_NE(Refusal(std::string(100000, '[')).find("nested too deeply"), std::string::npos);
  EXPECT_TRUE(Read(std::string(150, '[') + std::string(150, ']')).is_array());
}

}  // namespace
}  // namespace ql40::exchange

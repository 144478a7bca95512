#include "codeplug/codecs.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <limits>

namespace ql40 {
namespace {

constexpr std::string_view kTagPunctuation = " ()+-=*/[\\]:_";

}  // namespace

char TagSymbolToChar(int index) {
  if (index < 0 || index >= kTagSymbolCount) return '\0';
  if (index < 10) return static_cast<char>('0' + index);
  if (index < 36) return static_cast<char>('A' + index - 10);
  return kTagPunctuation[static_cast<std::size_t>(index - 36)];
}

int CharToTagSymbol(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  const auto pos = kTagPunctuation.find(c);
  if (c != '\0' && pos != std::string_view::npos) return 36 + static_cast<int>(pos);
  return 36;
}

bool IsTagChar(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
         (c != '\0' && kTagPunctuation.find(c) != std::string_view::npos);
}

char DtmfValueToChar(int value) {
  if (value < 0 || value > 15) return '-';
  if (value < 10) return static_cast<char>('0' + value);
  if (value < 14) return static_cast<char>('A' + value - 10);
  return value == 14 ? '*' : '#';
}

int CharToDtmfValue(char c) {
  if (c == '*') return 14;
  if (c == '#') return 15;
  if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'D') return c - 55;
  return 0;
}

double Round(double value, int digits) {
  if (digits < 0) return value;
  if (digits > 0) return Round(value * 10.0, 0) * 0.1;
  double whole = std::trunc(value);
  const double fraction = value - whole;
  if (fraction >= 0.5) {
    whole += 1.0;
  } else if (fraction <= -0.5) {
    whole -= 1.0;
  }
  return whole;
}

double ParseDecimal(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  // Only plain decimal notation: digits, one point, digits, an optional exponent.
  const char* first = text.data() + i;
  const char* last = text.data() + text.size();
  if (first == last || !((*first >= '0' && *first <= '9') || *first == '.')) return 0.0;
  double value = 0.0;
  const auto result = std::from_chars(first, last, value, std::chars_format::general);
  if (result.ec != std::errc() || !std::isfinite(value)) {
    if (result.ec == std::errc::result_out_of_range) {
      value = std::numeric_limits<double>::max();
    } else {
      return 0.0;
    }
  }
  return negative ? -value : value;
}

long long ParseInteger(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  long long value = 0;
  constexpr long long kLimit = std::numeric_limits<int>::max();
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > kLimit) value = kLimit;
  }
  return negative ? -value : value;
}

std::int32_t MhzTo10Hz(double mhz) {
  const double units = Round(mhz * 100000.0, 0);
  if (!(units > std::numeric_limits<std::int32_t>::min())) {
    return std::isnan(units) ? 0 : std::numeric_limits<std::int32_t>::min();
  }
  if (units >= std::numeric_limits<std::int32_t>::max()) {
    return std::numeric_limits<std::int32_t>::max();
  }
  return static_cast<std::int32_t>(units);
}

std::int32_t MhzTextTo10Hz(std::string_view text) {
  return MhzTo10Hz(ParseDecimal(text));
}

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

std::string Format(const char* format, ...) {
  char buffer[512];
  va_list args;
  va_start(args, format);
  const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  if (n < 0) return {};
  if (static_cast<std::size_t>(n) < sizeof buffer)
    return std::string(buffer, static_cast<std::size_t>(n));
  std::string out(static_cast<std::size_t>(n) + 1, '\0');
  va_start(args, format);
  std::vsnprintf(out.data(), out.size(), format, args);
  va_end(args);
  out.resize(static_cast<std::size_t>(n));
  return out;
}

std::string DecodeDigitString(std::span<const std::uint8_t> image, int offset) {
  const int count = image[static_cast<std::size_t>(offset)] >> 4;
  std::string digits;
  digits.reserve(static_cast<std::size_t>(count));
  for (int k = 0; k < count; ++k) {
    // Digit k sits in nibble k of the 16 nibbles after the count: the first digit shares
    // byte 0 with the count.
    const int nibble = k + 1;
    const std::uint8_t byte = image[static_cast<std::size_t>(offset + nibble / 2)];
    const int value = (nibble % 2 == 0) ? (byte >> 4) : (byte & 0x0F);
    digits += DtmfValueToChar(value);
  }
  return digits;
}

void EncodeDigitString(std::span<std::uint8_t> image, int offset, std::string_view digits) {
  if (digits.size() > kDigitStringMaxDigits) digits = digits.substr(0, kDigitStringMaxDigits);
  const int count = static_cast<int>(digits.size());
  auto at = [&](int i) -> std::uint8_t& { return image[static_cast<std::size_t>(offset + i)]; };
  if (count == 0) {
    at(0) = static_cast<std::uint8_t>(at(0) & 0x0F);
    return;
  }
  // Nibbles: 0 = count, then the digits, then one zero nibble if the last byte is half full.
  const int nibbles = count + 1;
  const int bytes = (nibbles + 1) / 2;
  for (int b = 0; b < bytes; ++b) {
    auto nibble_value = [&](int n) -> int {
      if (n == 0) return count;
      if (n - 1 < count) return CharToDtmfValue(digits[static_cast<std::size_t>(n - 1)]);
      return 0;
    };
    at(b) = static_cast<std::uint8_t>((nibble_value(2 * b) << 4) | nibble_value(2 * b + 1));
  }
}

}  // namespace ql40

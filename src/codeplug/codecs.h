#pragma once

// The small conversions every editor shares: alpha-tag symbols, DTMF digits, rounding and
// frequency text. Each is a pure function of one value.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace ql40 {

// Alpha tags are stored one symbol (0-48) per byte.
inline constexpr int kTagSymbolCount = 49;
// Index → character; an index of 49 or more gives '\0' (an empty position).
char TagSymbolToChar(int index);
// Character → index; anything outside the symbol set (lower case included) gives 36, the space.
int CharToTagSymbol(char c);
// True when c is one of the 49 tag symbols.
bool IsTagChar(char c);

// DTMF digits are 4-bit values: 0-9, A-D (10-13), * (14), # (15).
// Value → character; 16 or more gives '-', the mark of an empty digit position.
char DtmfValueToChar(int value);
// Character → value; '*' 14, '#' 15, digits, A-D in either case; anything else 0.
int CharToDtmfValue(char c);

// Rounds halves away from zero. digits 0: to a whole number; 1 or more: to one decimal place;
// negative: value unchanged.
double Round(double value, int digits);

// Reads decimal text the way the radio software always has: leading blanks skipped, reading
// stops at the first character that cannot continue the number, no number reads as 0.
double ParseDecimal(std::string_view text);
// Reads a whole number the same way (leading blanks, optional sign, digits); none reads as 0.
// Values beyond the int range are clamped.
long long ParseInteger(std::string_view text);

// MHz → units of 10 Hz, rounded half away from zero, clamped to the 32-bit range.
std::int32_t MhzTo10Hz(double mhz);
std::int32_t MhzTextTo10Hz(std::string_view text);

#if defined(__MINGW32__)
// MinGW builds use its C99 printf (libstdc++ asks for it), not the system's older one: %zu.
#define QL40_PRINTF_FORMAT(fmt, args) __attribute__((format(gnu_printf, fmt, args)))
#elif defined(__GNUC__)
#define QL40_PRINTF_FORMAT(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define QL40_PRINTF_FORMAT(fmt, args)
#endif

// printf into a std::string.
std::string Format(const char* format, ...) QL40_PRINTF_FORMAT(1, 2);

// The text with its ASCII letters in upper or lower case (other bytes as they are).
std::string Upper(std::string_view text);
std::string Lower(std::string_view text);
// Whether the texts are the same but for the case of their letters.
bool SameIgnoringCase(std::string_view a, std::string_view b);

// Digit strings (ANI, emergency and DTMF codes): 8 bytes, high nibble of the first byte the
// digit count (0-15), then the digits, high nibble first.
inline constexpr int kDigitStringBytes = 8;
inline constexpr int kDigitStringMaxDigits = 15;
std::string DecodeDigitString(std::span<const std::uint8_t> image, int offset);
// Writes the count and as many bytes as the digits need; an empty text only clears the count.
// Text beyond 15 digits is cut.
void EncodeDigitString(std::span<std::uint8_t> image, int offset, std::string_view digits);

}  // namespace ql40

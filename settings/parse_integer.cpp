#include "settings/parse_integer.h"

#include <cstddef>
#include <optional>

namespace settings {

namespace {

bool IsDecimalDigit(char c) { return c >= '0' && c <= '9'; }

std::optional<std::uint32_t> HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return std::nullopt;
}

// `digits` must be all decimal digits, at least one. The overflow check comes
// before each step, so the accumulator never wraps: 214748364 * 10 + 9 still
// fits in 32 unsigned bits.
std::optional<std::int32_t> ParseDecimal(std::string_view digits,
                                         bool negative) {
  if (digits.empty()) return std::nullopt;
  std::uint32_t value = 0;
  for (char c : digits) {
    if (!IsDecimalDigit(c)) return std::nullopt;
    if (value > 214748364u) return std::nullopt;
    value = value * 10u + static_cast<std::uint32_t>(c - '0');
  }
  if (negative) {
    if (value > 2147483648u) return std::nullopt;
    return static_cast<std::int32_t>(-static_cast<std::int64_t>(value));
  }
  if (value > 2147483647u) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

// `digits` must be all hexadecimal digits, at least one. Leading zeros are
// free; the value may fill all 32 bits and is then read as signed.
std::optional<std::int32_t> ParseHex(std::string_view digits) {
  if (digits.empty()) return std::nullopt;
  std::uint32_t value = 0;
  for (char c : digits) {
    std::optional<std::uint32_t> digit = HexDigitValue(c);
    if (!digit) return std::nullopt;
    if (value > 0x0FFFFFFFu) return std::nullopt;
    value = value * 16u + *digit;
  }
  return static_cast<std::int32_t>(value);
}

}  // namespace

std::int32_t ParseIntegerText(std::string_view text,
                              std::int32_t default_value) {
  std::size_t start = text.find_first_not_of(' ');
  if (start == std::string_view::npos) return default_value;
  std::string_view rest = text.substr(start);

  std::optional<std::int32_t> result;
  const char first = rest[0];
  if (first == '-' || first == '+') {
    result = ParseDecimal(rest.substr(1), first == '-');
  } else if (first == '$' || first == 'x' || first == 'X') {
    result = ParseHex(rest.substr(1));
  } else if (first == '0' && rest.size() == 1) {
    result = 0;
  } else if (first == '0' && (rest[1] == 'x' || rest[1] == 'X')) {
    result = ParseHex(rest.substr(2));
  } else if (IsDecimalDigit(first)) {
    result = ParseDecimal(rest, /*negative=*/false);
  }
  return result.value_or(default_value);
}

}  // namespace settings

#pragma once

#include <cstdint>
#include <string_view>

namespace settings {

// The number that `text` denotes, or `default_value` when it denotes none.
//
// Accepted forms, after any number of leading spaces (code 32 only): a
// decimal number with an optional "+" or "-" directly before its first digit,
// or a hexadecimal number after "$", "x", "X", "0x" or "0X" (no sign). The
// whole rest of the text must be the number: a trailing blank, a point or a
// unit makes it invalid. Decimal values must fit a signed 32-bit integer;
// hexadecimal ones may reach 0xFFFFFFFF and are read as that bit pattern, so
// 0x80000000 and above come out negative.
std::int32_t ParseIntegerText(std::string_view text,
                              std::int32_t default_value);

}  // namespace settings

#include "settings/parse_integer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace settings {
namespace {

struct Case {
  std::string text;
  std::int32_t expected;
};

// Every case is parsed with the default 5, so 5 means "not a number".
TEST(ParseIntegerText, Table) {
  const Case cases[] = {
      {"", 5},
      {"7", 7},
      {"  7", 7},
      {"7 ", 5},
      {"\t7", 5},
      {"+7", 7},
      {"-3", -3},
      {"- 3", 5},
      {"007", 7},
      {"0", 0},
      {"0x1F", 31},
      {"0X1f", 31},
      {"$1F", 31},
      {"x1F", 31},
      {"X1f", 31},
      {"0x", 5},
      {"$", 5},
      {"x", 5},
      {"+", 5},
      {"-", 5},
      {"-0x10", 5},
      {"-$10", 5},
      {"+$10", 5},
      {"2147483647", 2147483647},
      {"2147483648", 5},
      {"-2147483648", INT32_MIN},
      {"-2147483649", 5},
      {"$FFFFFFFF", -1},
      {"$0FFFFFFFF", -1},
      {"$100000000", 5},
      {"5.0", 5},
      {"5s", 5},
      {"1e3", 5},
      // Blanks alone, or blanks other than spaces.
      {"   ", 5},
      {"\n7", 5},
      {"  0x10", 16},
      // "0" then anything but x/X is decimal, held to the decimal rules.
      {"00", 0},
      {"0 ", 5},
      {"0x 1", 5},
      {"0x1 ", 5},
      {"-0", 0},
      {"+0", 0},
      // Hexadecimal: leading zeros are free, the top bit makes it negative.
      {"$00000000000FF", 255},
      {"0x80000000", INT32_MIN},
      {"0x7FFFFFFF", 2147483647},
      {"$G", 5},
      {"0xg", 5},
      // Values that an unchecked 32-bit accumulator would wrap back into
      // range: 4294967303 is 2^32 + 7, $100000007 likewise.
      {"4294967303", 5},
      {"-4294967299", 5},
      {"$100000007", 5},
      {"99999999999999999999", 5},
      // Just past the point where the check before a step trips.
      {"2147483650", 5},
      {"214748364", 214748364},
      // A digit that is not ASCII, an embedded NUL, a sign pair.
      {"\xEF\xBC\x97", 5},
      {std::string("7\0", 2), 5},
      {"--3", 5},
      {"+-3", 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("text \"" + c.text + "\"");
    EXPECT_EQ(ParseIntegerText(c.text, 5), c.expected);
  }
}

TEST(ParseIntegerText, InvalidTextYieldsTheGivenDefault) {
  for (std::int32_t default_value : {-42, 0, INT32_MAX}) {
    SCOPED_TRACE(default_value);
    EXPECT_EQ(ParseIntegerText("", default_value), default_value);
    EXPECT_EQ(ParseIntegerText("abc", default_value), default_value);
    EXPECT_EQ(ParseIntegerText("2147483648", default_value), default_value);
    EXPECT_EQ(ParseIntegerText("12", default_value), 12);
  }
}

}  // namespace
}  // namespace settings

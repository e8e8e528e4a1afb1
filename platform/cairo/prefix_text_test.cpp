#include "platform/cairo/prefix_text.h"

#include <gtest/gtest.h>

namespace cr {
namespace {

using Span = PrefixedText::Span;

TEST(StripPrefixesTest, AmpersandRules) {
  struct Case {
    const char* caption;
    const char* shown;
    std::vector<Span> underlined;
  };
  const Case cases[] = {
      {"Left Click", "Left Click", {}},
      {"&&", "&", {}},
      {"Drag && Drop", "Drag & Drop", {}},
      {"&File", "File", {{0, 1}}},
      {"E&xit", "Exit", {{1, 2}}},
      {"&&&x", "&x", {{1, 2}}},
      {"a&", "a", {}},
      {"&", "", {}},
      // The underline covers a whole multi-byte character (Thai ko kai).
      {"&\xE0\xB8\x81z", "\xE0\xB8\x81z", {{0, 3}}},
      // A truncated sequence at the end neither overruns nor is lost.
      {"&\xE0\xB8", "\xE0\xB8", {{0, 2}}},
      // Markup-like text is plain text.
      {"<b>&amp;</b>", "<b>amp;</b>", {{3, 4}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption);
    PrefixedText out = StripPrefixes(c.caption);
    EXPECT_EQ(out.text, c.shown);
    EXPECT_EQ(out.underlined, c.underlined);
  }
}

}  // namespace
}  // namespace cr

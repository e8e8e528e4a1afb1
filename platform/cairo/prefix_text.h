#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace cr {

// A caption with its ampersand prefixes taken out: what is shown, and which
// bytes of it are underlined.
struct PrefixedText {
  struct Span {
    std::size_t begin = 0;  // byte offsets into `text`, end exclusive
    std::size_t end = 0;
    friend bool operator==(const Span&, const Span&) = default;
  };
  std::string text;
  std::vector<Span> underlined;
};

// Applies the prefix rule: "&&" shows one "&"; a single "&" is not shown and
// underlines the character (a whole UTF-8 sequence) that follows it; a "&"
// at the very end shows nothing.
PrefixedText StripPrefixes(std::string_view caption);

}  // namespace cr

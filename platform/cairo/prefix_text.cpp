#include "platform/cairo/prefix_text.h"

#include <algorithm>

namespace cr {

namespace {

// The length of the UTF-8 sequence that starts with `lead`; a stray
// continuation byte counts as one, so malformed text still advances.
std::size_t SequenceLength(unsigned char lead) {
  if (lead >= 0xF0) return 4;
  if (lead >= 0xE0) return 3;
  if (lead >= 0xC0) return 2;
  return 1;
}

}  // namespace

PrefixedText StripPrefixes(std::string_view caption) {
  PrefixedText out;
  out.text.reserve(caption.size());
  for (std::size_t i = 0; i < caption.size();) {
    char c = caption[i];
    if (c != '&') {
      out.text += c;
      ++i;
      continue;
    }
    if (i + 1 >= caption.size()) break;
    if (caption[i + 1] == '&') {
      out.text += '&';
      i += 2;
      continue;
    }
    std::size_t n = SequenceLength(static_cast<unsigned char>(caption[i + 1]));
    n = std::min(n, caption.size() - (i + 1));
    std::size_t begin = out.text.size();
    out.text.append(caption.substr(i + 1, n));
    out.underlined.push_back({begin, out.text.size()});
    i += 1 + n;
  }
  return out;
}

}  // namespace cr

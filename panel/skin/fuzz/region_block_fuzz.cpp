// Feeds arbitrary bytes to the region-block loader. Besides the sanitizers'
// checks it aborts when an answer breaks the loader's promises: "derive"
// only for a zero count, rectangles only with a region, every rectangle
// non-empty with edges that fit, and the region the same when stored again.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "panel/skin/stored_forms.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  const skin::ShapeLoad load =
      skin::LoadRegionBlock(std::span<const std::uint8_t>(data, size));
  switch (load.kind) {
    case skin::ShapeLoad::Kind::kDerive:
      if (size < 4 || data[0] || data[1] || data[2] || data[3]) abort();
      [[fallthrough]];
    case skin::ShapeLoad::Kind::kInvalid:
      if (!load.rects.empty()) abort();
      return 0;
    case skin::ShapeLoad::Kind::kRegion:
      break;
  }
  // 16 bytes a rectangle, after the count and the 32-byte header.
  if (load.rects.empty() || 4 + 32 + 16 * load.rects.size() > size) abort();
  for (const tk::Rect& r : load.rects) {
    // UBSan checks that right() and bottom() do not overflow.
    if (r.empty() || r.right() <= r.left || r.bottom() <= r.top) abort();
  }
  const skin::ShapeLoad again =
      skin::LoadRegionBlock(skin::EncodeRegionBlock(load.rects));
  if (again.kind != skin::ShapeLoad::Kind::kRegion || again.rects != load.rects)
    abort();
  return 0;
}

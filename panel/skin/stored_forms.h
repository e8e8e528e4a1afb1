#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "toolkit/geometry.h"
#include "toolkit/image.h"

// The two stored forms the skin is kept in.
//
// Picture block: a length byte and the picture-class name "TBitmap", a 32-bit
// little-endian byte count, then a complete 24-bit uncompressed BMP file of
// that many bytes.
//
// Region block: a 32-bit little-endian byte count N, then N bytes of a
// rectangle-list region record (RGNDATA): a 32-byte header (header size 32,
// type 1 for rectangles, rectangle count, byte count of the rectangle list,
// bounding rectangle), then the rectangles as left, top, right, bottom,
// signed 32-bit, right and bottom exclusive. N = 0 means that no shape is
// stored and the shape is to be derived from the picture.
//
// The loaders accept any bytes: they never read outside the given span and
// answer "invalid" for anything they cannot make sense of.

namespace skin {

// The picture block for `picture` (which must not be empty): the BMP stores
// the rows bottom-up, 72 dpi, no palette.
std::vector<std::uint8_t> EncodePictureBlock(const tk::RgbImage& picture);

// Reads a picture block; nullopt unless it is a whole, well-formed 24-bit
// uncompressed BMP, stored bottom-up or top-down. Bytes after the counted
// ones are ignored.
std::optional<tk::RgbImage> LoadPictureBlock(
    std::span<const std::uint8_t> block);

// The region block holding `bands`, their bounding rectangle computed; for an
// empty list, the four zero bytes that say "no shape stored".
std::vector<std::uint8_t> EncodeRegionBlock(const std::vector<tk::Rect>& bands);

struct ShapeLoad {
  enum class Kind {
    kRegion,   // `rects` holds the stored region
    kDerive,   // no shape stored (N = 0): derive it from the picture
    kInvalid,  // a record that cannot be turned into a region
  };
  Kind kind = Kind::kInvalid;
  std::vector<tk::Rect> rects;
};

// Reads a region block. The rectangles are returned as stored, in their
// stored order; the stored bounding rectangle is not used.
ShapeLoad LoadRegionBlock(std::span<const std::uint8_t> block);

}  // namespace skin

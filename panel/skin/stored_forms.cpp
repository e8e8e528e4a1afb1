#include "panel/skin/stored_forms.h"

#include <algorithm>
#include <cassert>
#include <climits>
#include <string_view>

namespace skin {
namespace {

constexpr std::string_view kPictureClass = "TBitmap";

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;
constexpr std::size_t kBmpHeadersSize = kFileHeaderSize + kInfoHeaderSize;
constexpr std::uint16_t kBitsPerPixel = 24;
constexpr std::uint32_t kUncompressed = 0;      // BI_RGB
constexpr std::int32_t kPixelsPerMetre = 2834;  // 72 dots per inch
// Larger sides are refused before any arithmetic on them; the skin is far
// smaller.
constexpr std::int64_t kMaxPictureSide = 1 << 15;

constexpr std::size_t kCountSize = 4;
constexpr std::size_t kRegionHeaderSize = 32;
constexpr std::uint32_t kRectangleRecord = 1;  // RDH_RECTANGLES
constexpr std::size_t kRectSize = 16;

// Bytes in a BMP row: three per pixel, padded to a multiple of four.
std::int64_t RowStride(std::int64_t width) { return (width * 3 + 3) / 4 * 4; }

class LittleEndianWriter {
 public:
  explicit LittleEndianWriter(std::vector<std::uint8_t>& out) : out_(out) {}
  void U8(std::uint8_t v) { out_.push_back(v); }
  void U16(std::uint16_t v) {
    U8(static_cast<std::uint8_t>(v));
    U8(static_cast<std::uint8_t>(v >> 8));
  }
  void U32(std::uint32_t v) {
    U16(static_cast<std::uint16_t>(v));
    U16(static_cast<std::uint16_t>(v >> 16));
  }
  void I32(std::int32_t v) { U32(static_cast<std::uint32_t>(v)); }
  // A rectangle as a region record stores it: left, top, right, bottom.
  void Edges(int left, int top, int right, int bottom) {
    I32(left);
    I32(top);
    I32(right);
    I32(bottom);
  }

 private:
  std::vector<std::uint8_t>& out_;
};

// Readers of little-endian fields. Callers check the span's size first.
std::uint16_t U16At(std::span<const std::uint8_t> bytes, std::size_t at) {
  assert(at + 2 <= bytes.size());
  return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}
std::uint32_t U32At(std::span<const std::uint8_t> bytes, std::size_t at) {
  assert(at + 4 <= bytes.size());
  return static_cast<std::uint32_t>(bytes[at]) |
         static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
         static_cast<std::uint32_t>(bytes[at + 2]) << 16 |
         static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}
std::int32_t I32At(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::int32_t>(U32At(bytes, at));
}

std::optional<tk::RgbImage> DecodeBmp(std::span<const std::uint8_t> file) {
  if (file.size() < kBmpHeadersSize) return std::nullopt;
  if (file[0] != 'B' || file[1] != 'M') return std::nullopt;
  // The file size field (offset 2) and the image size (offset 34) are not
  // trusted: the byte count before the file says how much there is.
  const std::uint32_t pixel_offset = U32At(file, 10);
  const std::uint32_t info_size = U32At(file, 14);
  // Later header versions extend the 40-byte one and keep its fields.
  if (info_size < kInfoHeaderSize || info_size > file.size() - kFileHeaderSize)
    return std::nullopt;
  const std::int64_t width = I32At(file, 18);
  const std::int64_t height = I32At(file, 22);
  if (U16At(file, 26) != 1 || U16At(file, 28) != kBitsPerPixel ||
      U32At(file, 30) != kUncompressed)
    return std::nullopt;

  // A positive height stores the bottom row first, a negative one the top.
  const bool bottom_up = height > 0;
  const std::int64_t rows = bottom_up ? height : -height;
  if (width <= 0 || width > kMaxPictureSide || rows <= 0 ||
      rows > kMaxPictureSide)
    return std::nullopt;
  const std::int64_t stride = RowStride(width);
  if (pixel_offset < kFileHeaderSize + info_size ||
      pixel_offset > file.size() ||
      static_cast<std::int64_t>(file.size() - pixel_offset) < stride * rows)
    return std::nullopt;

  tk::RgbImage picture(static_cast<int>(width), static_cast<int>(rows));
  for (int stored_row = 0; stored_row < rows; ++stored_row) {
    const int y =
        bottom_up ? static_cast<int>(rows) - 1 - stored_row : stored_row;
    const std::uint8_t* p = file.data() + pixel_offset + stored_row * stride;
    for (int x = 0; x < width; ++x, p += 3)
      picture.set(x, y, {p[2], p[1], p[0]});
  }
  return picture;
}

ShapeLoad Invalid() { return {ShapeLoad::Kind::kInvalid, {}}; }

}  // namespace

std::vector<std::uint8_t> EncodePictureBlock(const tk::RgbImage& picture) {
  assert(!picture.empty());
  const std::int64_t stride = RowStride(picture.width());
  const auto image_size = static_cast<std::uint32_t>(stride * picture.height());
  const auto file_size =
      static_cast<std::uint32_t>(kBmpHeadersSize + image_size);

  std::vector<std::uint8_t> block;
  block.reserve(1 + kPictureClass.size() + 4 + file_size);
  LittleEndianWriter out(block);
  out.U8(static_cast<std::uint8_t>(kPictureClass.size()));
  for (char c : kPictureClass) out.U8(static_cast<std::uint8_t>(c));
  out.U32(file_size);

  out.U8('B');
  out.U8('M');
  out.U32(file_size);
  out.U16(0);
  out.U16(0);
  out.U32(kBmpHeadersSize);

  out.U32(kInfoHeaderSize);
  out.I32(picture.width());
  out.I32(picture.height());  // positive: bottom row first
  out.U16(1);                 // planes
  out.U16(kBitsPerPixel);
  out.U32(kUncompressed);
  out.U32(image_size);
  out.I32(kPixelsPerMetre);
  out.I32(kPixelsPerMetre);
  out.U32(0);  // colours used: no palette
  out.U32(0);  // important colours

  const int padding = static_cast<int>(stride - picture.width() * 3);
  for (int y = picture.height() - 1; y >= 0; --y) {
    for (int x = 0; x < picture.width(); ++x) {
      const tk::Rgb c = picture.at(x, y);
      out.U8(c.b);
      out.U8(c.g);
      out.U8(c.r);
    }
    for (int i = 0; i < padding; ++i) out.U8(0);
  }
  return block;
}

std::optional<tk::RgbImage> LoadPictureBlock(
    std::span<const std::uint8_t> block) {
  if (block.empty()) return std::nullopt;
  const std::size_t name_size = block[0];
  if (block.size() < 1 + name_size + 4) return std::nullopt;
  const std::string_view name(reinterpret_cast<const char*>(block.data() + 1),
                              name_size);
  if (name != kPictureClass) return std::nullopt;
  const std::uint32_t file_size = U32At(block, 1 + name_size);
  const auto rest = block.subspan(1 + name_size + 4);
  if (file_size > rest.size()) return std::nullopt;
  return DecodeBmp(rest.first(file_size));
}

std::vector<std::uint8_t> EncodeRegionBlock(
    const std::vector<tk::Rect>& bands) {
  std::vector<std::uint8_t> block;
  LittleEndianWriter out(block);
  if (bands.empty()) {
    out.U32(0);
    return block;
  }
  // The bounding edges, kept apart: their width need not fit an int.
  int left = bands.front().left, top = bands.front().top;
  int right = bands.front().right(), bottom = bands.front().bottom();
  for (const tk::Rect& r : bands) {
    left = std::min(left, r.left);
    top = std::min(top, r.top);
    right = std::max(right, r.right());
    bottom = std::max(bottom, r.bottom());
  }
  const auto list_size = static_cast<std::uint32_t>(kRectSize * bands.size());
  block.reserve(kCountSize + kRegionHeaderSize + list_size);
  out.U32(static_cast<std::uint32_t>(kRegionHeaderSize + list_size));
  out.U32(kRegionHeaderSize);
  out.U32(kRectangleRecord);
  out.U32(static_cast<std::uint32_t>(bands.size()));
  out.U32(list_size);
  out.Edges(left, top, right, bottom);
  for (const tk::Rect& r : bands)
    out.Edges(r.left, r.top, r.right(), r.bottom());
  return block;
}

ShapeLoad LoadRegionBlock(std::span<const std::uint8_t> block) {
  if (block.size() < kCountSize) return Invalid();
  const std::uint32_t record_size = U32At(block, 0);
  if (record_size == 0) return {ShapeLoad::Kind::kDerive, {}};
  if (record_size > block.size() - kCountSize) return Invalid();
  const auto record = block.subspan(kCountSize, record_size);
  if (record.size() < kRegionHeaderSize) return Invalid();
  if (U32At(record, 0) != kRegionHeaderSize ||
      U32At(record, 4) != kRectangleRecord)
    return Invalid();
  const std::uint32_t count = U32At(record, 8);
  const std::uint32_t list_size = U32At(record, 12);
  // An empty region would leave no panel to see or to touch.
  if (count == 0) return Invalid();
  if (list_size < std::uint64_t{count} * kRectSize ||
      list_size > record.size() - kRegionHeaderSize)
    return Invalid();
  // The bounding rectangle at offset 16 is not used: regions recompute it.

  ShapeLoad load{ShapeLoad::Kind::kRegion, {}};
  load.rects.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = kRegionHeaderSize + i * kRectSize;
    const std::int64_t left = I32At(record, at);
    const std::int64_t top = I32At(record, at + 4);
    const std::int64_t right = I32At(record, at + 8);
    const std::int64_t bottom = I32At(record, at + 12);
    // Width and height must be positive and fit an int, so that right()
    // and bottom() give back the stored edges.
    if (right <= left || bottom <= top || right - left > INT_MAX ||
        bottom - top > INT_MAX)
      return Invalid();
    load.rects.push_back(
        tk::Rect::FromEdges(static_cast<int>(left), static_cast<int>(top),
                            static_cast<int>(right), static_cast<int>(bottom)));
  }
  return load;
}

}  // namespace skin

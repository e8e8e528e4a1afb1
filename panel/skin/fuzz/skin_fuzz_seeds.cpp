// Writes valid picture and region blocks for the skin fuzzers to start from,
// made by the encoders the program's own blocks are made by:
//
//   skin_fuzz_seeds DIR    writes DIR/picture_block/* and DIR/region_block/*

#include <climits>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "panel/skin/shape.h"
#include "panel/skin/skin_picture.h"
#include "panel/skin/stored_forms.h"

namespace {

namespace fs = std::filesystem;

bool Write(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) std::fprintf(stderr, "skin_fuzz_seeds: cannot write %s\n", path.c_str());
  return static_cast<bool>(out);
}

// Every pixel different, so that the shape derived from it has many bands.
tk::RgbImage Pattern(int width, int height) {
  tk::RgbImage picture(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      picture.set(x, y, {static_cast<std::uint8_t>(x * 40), static_cast<std::uint8_t>(y * 60),
                         static_cast<std::uint8_t>((x + y) % 2 * 255)});
  return picture;
}

tk::Rect Edges(int left, int top, int right, int bottom) {
  return tk::Rect::FromEdges(left, top, right, bottom);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: skin_fuzz_seeds DIR\n");
    return 2;
  }
  const fs::path pictures = fs::path(argv[1]) / "picture_block";
  const fs::path regions = fs::path(argv[1]) / "region_block";
  std::error_code error;
  fs::create_directories(pictures, error);
  fs::create_directories(regions, error);

  const tk::RgbImage skin = skin::GenerateSkinPicture();
  bool ok = Write(pictures / "skin", skin::EncodePictureBlock(skin));
  // Widths 1 to 4 need every amount of row padding.
  for (int width = 1; width <= 4; ++width) {
    ok &= Write(pictures / ("pattern_" + std::to_string(width) + "x3"),
                skin::EncodePictureBlock(Pattern(width, 3)));
  }
  // Top-down rows: the same 3 x 2 picture with a negative height and its
  // rows in the other order.
  {
    std::vector<std::uint8_t> block = skin::EncodePictureBlock(Pattern(3, 2));
    const std::size_t pixels = 12 + 54, stride = 12;
    std::vector<std::uint8_t> top_down(block.begin(), block.begin() + pixels);
    top_down.insert(top_down.end(), block.begin() + pixels + stride, block.end());
    top_down.insert(top_down.end(), block.begin() + pixels,
                    block.begin() + pixels + stride);
    const std::uint32_t height = static_cast<std::uint32_t>(-2);
    for (int i = 0; i < 4; ++i)
      top_down[12 + 22 + i] = static_cast<std::uint8_t>(height >> 8 * i);
    ok &= Write(pictures / "pattern_3x2_top_down", top_down);
  }

  ok &= Write(regions / "skin", skin::EncodeRegionBlock(skin::ShapeFromPicture(skin)));
  ok &= Write(regions / "derive", skin::EncodeRegionBlock({}));
  ok &= Write(regions / "one", skin::EncodeRegionBlock({Edges(0, 0, 1, 1)}));
  ok &= Write(regions / "bands",
              skin::EncodeRegionBlock(
                  {Edges(2, 0, 5, 3), Edges(0, 3, 7, 4), Edges(9, 3, 10, 4)}));
  ok &= Write(regions / "extremes",
              skin::EncodeRegionBlock({Edges(INT_MIN, 0, -1, INT_MAX)}));
  ok &= Write(regions / "pattern",
              skin::EncodeRegionBlock(skin::ShapeFromPicture(Pattern(4, 3))));
  return ok ? 0 : 1;
}

#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "toolkit/geometry.h"
#include "toolkit/image.h"

namespace skin {

// The panel's skin: the picture painted over the whole window and the shape
// the window is cut to.
struct Skin {
  tk::RgbImage picture;         // empty when the stored picture was unreadable
  std::vector<tk::Rect> shape;  // empty means the full window rectangle
};

// Reads the skin from its two stored forms. A stored region is used when it
// is valid; an invalid one leaves the panel its full 175 x 258 rectangle
// (as a single rectangle); with no region stored the shape is derived from
// the picture. Never fails: whatever cannot be read is left out quietly.
Skin LoadSkin(std::span<const std::uint8_t> picture_block,
              std::span<const std::uint8_t> region_block);

// The skin built into the program.
Skin LoadBuiltInSkin();

}  // namespace skin

#pragma once

#include "toolkit/image.h"

namespace skin {

// The skin covers the whole panel window, which is this size.
inline constexpr int kSkinWidth = 175;
inline constexpr int kSkinHeight = 258;

// Whether pixel (column, row) lies inside the panel's upright oval.
bool InOval(int column, int row);

// Paints the skin: a glossy blue oval with a pale-yellow rim on white. Every
// pixel of the oval differs from white, so the oval is exactly the set of
// non-white pixels and the panel's shape can be read back from the picture.
tk::RgbImage GenerateSkinPicture();

}  // namespace skin

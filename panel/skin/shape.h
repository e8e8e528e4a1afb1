#pragma once

#include <vector>

#include "toolkit/geometry.h"
#include "toolkit/image.h"

namespace skin {

// The pixels of `picture` whose colour differs from its bottom-left pixel's,
// as a region stores them: each row is scanned from left to right and every
// run of such pixels becomes a one-row rectangle; consecutive rows with the
// same runs are merged into one band, so each band holds one rectangle per
// run. Rectangles come ordered by top, then by left, and never overlap.
// An empty picture, or one of a single colour, gives no rectangles.
std::vector<tk::Rect> ShapeFromPicture(const tk::RgbImage& picture);

}  // namespace skin

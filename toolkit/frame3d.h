#pragma once

#include "toolkit/canvas.h"

namespace tk {

// A one-pixel 3-D frame on the edge pixels of `r`: the top and left edges in
// `top_left`, the right and bottom edges in `bottom_right`, which also takes
// the top-right and bottom-left corners.
inline void DrawFrame3D(Canvas& canvas, Rect r, Rgb top_left, Rgb bottom_right) {
  if (r.empty()) return;
  int right = r.right() - 1;
  int bottom = r.bottom() - 1;
  canvas.DrawLine({r.left, r.top}, {right, r.top}, top_left);
  canvas.DrawLine({r.left, r.top}, {r.left, bottom}, top_left);
  canvas.DrawLine({right, r.top}, {right, bottom}, bottom_right);
  canvas.DrawLine({r.left, bottom}, {right, bottom}, bottom_right);
}

}  // namespace tk

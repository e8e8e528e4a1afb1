#include "platform/x11/x11_shape.h"

#include <X11/extensions/shape.h>

#include <algorithm>
#include <climits>

namespace x11 {

namespace {

short Clamp16(int v) { return static_cast<short>(std::clamp(v, SHRT_MIN, SHRT_MAX)); }
unsigned short ClampU16(int v) {
  return static_cast<unsigned short>(std::clamp(v, 0, USHRT_MAX));
}

}  // namespace

void SetWindowShape(Connection& c, ::Window window, const std::vector<tk::Rect>& rects) {
  if (!c.has_shape()) return;
  for (int kind : {ShapeBounding, ShapeInput}) {
    if (rects.empty()) {
      XShapeCombineMask(c.display(), window, kind, 0, 0, None, ShapeSet);
      continue;
    }
    std::vector<XRectangle> xrects;
    xrects.reserve(rects.size());
    for (const tk::Rect& r : rects) {
      if (r.empty()) continue;
      xrects.push_back({Clamp16(r.left), Clamp16(r.top), ClampU16(r.width),
                        ClampU16(r.height)});
    }
    XShapeCombineRectangles(c.display(), window, kind, 0, 0, xrects.data(),
                            static_cast<int>(xrects.size()), ShapeSet, Unsorted);
  }
}

void ClearInputShape(Connection& c, ::Window window) {
  if (!c.has_shape()) return;
  XShapeCombineRectangles(c.display(), window, ShapeInput, 0, 0, nullptr, 0, ShapeSet,
                          Unsorted);
}

}  // namespace x11

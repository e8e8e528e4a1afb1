#pragma once

#include <algorithm>
#include <compare>

namespace tk {

struct Point {
  int x = 0;
  int y = 0;
  friend bool operator==(const Point&, const Point&) = default;
  friend Point operator+(Point a, Point b) { return {a.x + b.x, a.y + b.y}; }
  friend Point operator-(Point a, Point b) { return {a.x - b.x, a.y - b.y}; }
};

// A rectangle of whole pixels: left and top inclusive, right and bottom
// exclusive.
struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;

  static Rect FromEdges(int left, int top, int right, int bottom) {
    return {left, top, right - left, bottom - top};
  }
  int right() const { return left + width; }
  int bottom() const { return top + height; }
  bool empty() const { return width <= 0 || height <= 0; }
  bool Contains(Point p) const {
    return p.x >= left && p.x < right() && p.y >= top && p.y < bottom();
  }
  Point origin() const { return {left, top}; }
  Rect Translated(Point d) const { return {left + d.x, top + d.y, width, height}; }
  Rect Intersected(const Rect& o) const {
    int l = std::max(left, o.left), t = std::max(top, o.top);
    int r = std::min(right(), o.right()), b = std::min(bottom(), o.bottom());
    if (r <= l || b <= t) return {};
    return FromEdges(l, t, r, b);
  }
  friend bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace tk

#pragma once

#include <string_view>

#include "toolkit/color.h"
#include "toolkit/geometry.h"
#include "toolkit/image.h"
#include "toolkit/platform.h"

namespace tk {

enum class HAlign { kLeft, kCenter, kRight };
enum class VAlign { kTop, kCenter, kBottom };

struct FontSpec {
  std::string_view family = "MS Sans Serif";
  int pixel_height = 11;
  bool bold = false;
};

struct TextLayout {
  HAlign halign = HAlign::kLeft;
  VAlign valign = VAlign::kTop;
  bool word_wrap = false;
  // "&&" shows as one "&"; a single "&" underlines the next character.
  bool prefix = true;
};

// Where controls draw. Coordinates are relative to the current origin, which
// the toolkit moves to each control's top-left corner; drawing is clipped to
// the current clip rectangle. Colours are resolved RGB values.
class Canvas {
 public:
  virtual ~Canvas() = default;

  // The pixels drawn so far, for Platform::Present.
  virtual Frame frame() = 0;

  virtual void SetOrigin(Point origin) = 0;
  virtual void SetClip(Rect clip) = 0;  // in current coordinates

  virtual void FillRect(Rect r, Rgb color) = 0;
  // Pixel (x, y) is `even` when x + y is even, `odd` otherwise.
  virtual void FillCheckerboard(Rect r, Rgb even, Rgb odd) = 0;
  // A one-pixel line from `from` to `to`, both ends included; horizontal or
  // vertical.
  virtual void DrawLine(Point from, Point to, Rgb color) = 0;
  virtual void DrawImage(const RgbImage& image, Point at) = 0;

  // The size that DrawText would give `text` laid out within `width` (or
  // unbounded when width < 0).
  virtual Point MeasureText(std::string_view text, const FontSpec& font,
                            const TextLayout& layout, int width) = 0;
  virtual void DrawText(std::string_view text, Rect box, const FontSpec& font,
                        Rgb color, const TextLayout& layout) = 0;
};

}  // namespace tk

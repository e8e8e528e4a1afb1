#pragma once

#include <memory>
#include <string>
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

// A piece of text prepared by a canvas for drawing many times in changing
// colours: laid out and rasterised once, so that each drawing costs about a
// fill of its box. For a caption whose colour changes often and whose words,
// font and box seldom do. It keeps what it was made from, so any canvas can
// draw it: one that cannot use another's prepared pixels lays the text out
// again.
class TextMask {
 public:
  TextMask(std::string_view text, Point size, const FontSpec& font, const TextLayout& layout)
      : text_(text), size_(size), family_(font.family), pixel_height_(font.pixel_height),
        bold_(font.bold), layout_(layout) {}
  virtual ~TextMask() = default;
  TextMask(const TextMask&) = delete;
  TextMask& operator=(const TextMask&) = delete;

  const std::string& text() const { return text_; }
  Point size() const { return size_; }
  FontSpec font() const { return {family_, pixel_height_, bold_}; }
  const TextLayout& layout() const { return layout_; }
  // Whether it shows `text` as laid out with these in a box of `size`.
  bool Matches(std::string_view text, Point size, const FontSpec& font,
               const TextLayout& layout) const {
    return text == text_ && size == size_ && font.family == family_ &&
           font.pixel_height == pixel_height_ && font.bold == bold_ &&
           layout.halign == layout_.halign && layout.valign == layout_.valign &&
           layout.word_wrap == layout_.word_wrap && layout.prefix == layout_.prefix;
  }

 private:
  std::string text_;
  Point size_;
  std::string family_;
  int pixel_height_;
  bool bold_;
  TextLayout layout_;
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

  // `text` as DrawText lays it out in a box of `size`, prepared for
  // DrawTextMask. This one only keeps what the text was made from.
  virtual std::unique_ptr<TextMask> MakeTextMask(std::string_view text, Point size,
                                                 const FontSpec& font,
                                                 const TextLayout& layout) {
    return std::make_unique<TextMask>(text, size, font, layout);
  }
  // Draws `mask` with its box's top-left corner at `at`: the same pixels as
  // DrawText of its text in that box and `color`. This one is that DrawText.
  virtual void DrawTextMask(const TextMask& mask, Point at, Rgb color) {
    DrawText(mask.text(), {at.x, at.y, mask.size().x, mask.size().y}, mask.font(), color,
             mask.layout());
  }
};

}  // namespace tk

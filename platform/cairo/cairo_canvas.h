#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "toolkit/canvas.h"

// The libraries' own handle types, declared here so that users of the canvas
// need not see cairo's and pango's headers.
typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;
typedef struct _PangoContext PangoContext;
typedef struct _PangoLayout PangoLayout;
typedef struct _PangoFontDescription PangoFontDescription;

namespace cr {

// A tk::Canvas over a cairo image surface (32-bit pixels 0x??RRGGBB, the top
// byte undefined), with text by pango. Rectangles, lines, checkerboards and
// pictures are written pixel by pixel, so they are exact; text is rendered
// with grey antialiasing and full hinting, as a small UI font wants.
class CairoCanvas final : public tk::Canvas {
 public:
  CairoCanvas(int width, int height);
  ~CairoCanvas() override;
  CairoCanvas(const CairoCanvas&) = delete;
  CairoCanvas& operator=(const CairoCanvas&) = delete;

  int width() const { return width_; }
  int height() const { return height_; }
  // The pixel at (x, y) of the surface, ignoring origin and clip.
  tk::Rgb PixelAt(int x, int y);
  // Writes the surface as a PNG file; false when that failed.
  bool WritePng(const std::string& path);

  tk::Frame frame() override;
  void SetOrigin(tk::Point origin) override;
  void SetClip(tk::Rect clip) override;
  void FillRect(tk::Rect r, tk::Rgb color) override;
  void FillCheckerboard(tk::Rect r, tk::Rgb even, tk::Rgb odd) override;
  void DrawLine(tk::Point from, tk::Point to, tk::Rgb color) override;
  void DrawImage(const tk::RgbImage& image, tk::Point at) override;
  tk::Point MeasureText(std::string_view text, const tk::FontSpec& font,
                        const tk::TextLayout& layout, int width) override;
  void DrawText(std::string_view text, tk::Rect box, const tk::FontSpec& font,
                tk::Rgb color, const tk::TextLayout& layout) override;
  // The text's coverage of its box as an 8-bit alpha picture, rendered as
  // DrawText renders it; drawing it is one masked fill of the box.
  std::unique_ptr<tk::TextMask> MakeTextMask(std::string_view text, tk::Point size,
                                             const tk::FontSpec& font,
                                             const tk::TextLayout& layout) override;
  void DrawTextMask(const tk::TextMask& mask, tk::Point at, tk::Rgb color) override;

 private:
  // Pixel access: cairo's pending drawing is finished first, and cairo is
  // told afterwards which pixels changed behind its back.
  std::uint32_t* Row(int y);
  void BeginPixels();
  void EndPixels(tk::Rect changed);
  void Plot(int x, int y, std::uint32_t pixel);  // absolute, clipped
  // Lays `text` out in the reused layout; returns its logical extent.
  tk::Rect Layout(std::string_view text, const tk::FontSpec& font,
                  const tk::TextLayout& layout, int wrap_width);
  void SetFont(const tk::FontSpec& font);
  // Lays `text` out for `box` (absolute) and returns where DrawText puts the
  // layout's origin.
  tk::Point PlaceText(std::string_view text, tk::Rect box, const tk::FontSpec& font,
                      const tk::TextLayout& layout);

  int width_;
  int height_;
  cairo_surface_t* surface_ = nullptr;
  cairo_t* cr_ = nullptr;
  PangoContext* context_ = nullptr;
  PangoLayout* layout_ = nullptr;
  PangoFontDescription* font_ = nullptr;
  // The FontSpec `font_` was made from, to skip rebuilding it.
  std::string font_family_;
  int font_pixels_ = 0;
  bool font_bold_ = false;

  tk::Point origin_;
  tk::Rect clip_;  // absolute, within the surface
};

}  // namespace cr

#pragma once

#include <cstdint>

namespace tk {

// Colour values as the panel's form data stores them: 0x00BBGGRR for fixed
// colours, or a system colour (high bit set, low byte the scheme index) whose
// RGB value is looked up in the desktop's colour scheme at the moment of use.
using TColor = std::uint32_t;

struct Rgb {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

constexpr TColor kSystemColorFlag = 0x80000000u;

constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clBlack = 0x000000;
constexpr TColor clSilver = 0xC0C0C0;

// System colours, indexed as the classic desktop colour scheme indexes them.
constexpr TColor clBtnFace = kSystemColorFlag | 15;
constexpr TColor clBtnShadow = kSystemColorFlag | 16;
constexpr TColor clHighlightText = kSystemColorFlag | 14;
constexpr TColor clBtnHighlight = kSystemColorFlag | 20;
constexpr TColor cl3DLight = kSystemColorFlag | 22;
constexpr TColor clWindowText = kSystemColorFlag | 8;
constexpr TColor clInfoBk = kSystemColorFlag | 24;

constexpr bool IsSystemColor(TColor c) { return (c & kSystemColorFlag) != 0; }

constexpr Rgb FixedColorToRgb(TColor c) {
  return {static_cast<std::uint8_t>(c & 0xFF),
          static_cast<std::uint8_t>((c >> 8) & 0xFF),
          static_cast<std::uint8_t>((c >> 16) & 0xFF)};
}

// The desktop's colour scheme: the RGB values of the system colours. Looked
// up at every paint, so a change shows at the next repaint.
struct ColorScheme {
  Rgb btn_face{192, 192, 192};
  Rgb btn_shadow{128, 128, 128};
  Rgb btn_highlight{255, 255, 255};
  Rgb light_3d{223, 223, 223};
  Rgb window_text{0, 0, 0};
  Rgb highlight_text{255, 255, 255};
  Rgb info_bk{255, 255, 225};

  // The classic light 3-D scheme.
  static constexpr ColorScheme Classic() { return {}; }

  constexpr Rgb Resolve(TColor c) const {
    if (!IsSystemColor(c)) return FixedColorToRgb(c);
    switch (c) {
      case clBtnFace: return btn_face;
      case clBtnShadow: return btn_shadow;
      case clBtnHighlight: return btn_highlight;
      case cl3DLight: return light_3d;
      case clWindowText: return window_text;
      case clHighlightText: return highlight_text;
      case clInfoBk: return info_bk;
      default: return btn_face;
    }
  }
};

constexpr TColor RgbToColor(Rgb c) {
  return static_cast<TColor>(c.r) | (static_cast<TColor>(c.g) << 8) |
         (static_cast<TColor>(c.b) << 16);
}

}  // namespace tk

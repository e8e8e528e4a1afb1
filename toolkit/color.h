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

constexpr TColor RgbToColor(Rgb c) {
  return static_cast<TColor>(c.r) | (static_cast<TColor>(c.g) << 8) |
         (static_cast<TColor>(c.b) << 16);
}

}  // namespace tk

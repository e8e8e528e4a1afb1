#include "panel/skin/skin_picture.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace skin {
namespace {

constexpr tk::Rgb kWhite{255, 255, 255};
constexpr tk::Rgb kRim{253, 255, 194};

// The background gradient, top to bottom, sampled down the middle column.
// Rows between samples are interpolated; rows beyond them take the nearest.
struct GradientStop {
  int row;
  tk::Rgb color;
};
constexpr std::array<GradientStop, 5> kGradient{{
    {10, {44, 138, 205}},
    {50, {70, 153, 211}},
    {127, {147, 196, 229}},
    {200, {222, 237, 247}},
    {243, {252, 253, 254}},
}};

// The bevel just inside the rim: light where the edge faces up and left, as
// if lit from there, lavender where it faces down and right. The colour is
// interpolated by the direction of the edge's outward normal, counter-
// clockwise from "right"; the first entry repeats to close the circle.
constexpr std::array<tk::Rgb, 5> kBevelByDirection{{
    {125, 159, 210},  // facing right
    {139, 191, 227},  // facing up
    {174, 211, 235},  // facing left
    {194, 176, 221},  // facing down
    {125, 159, 210},  // facing right again
}};
// The bevel is this many pixels wide, followed by one pixel blending it into
// the gradient.
constexpr double kBevelWidth = 4.0;

// The oval in doubled pixel coordinates, so that pixel centres and the
// half-pixel centre are whole numbers: the pixel (c, r) has its centre at
// (2c + 1, 2r + 1). Centre (88.5, 127), semi-axes 86 and 126.5.
constexpr std::int64_t kOvalCentreX2 = 177;
constexpr std::int64_t kOvalCentreY2 = 254;
constexpr std::int64_t kOvalAxisX2 = 172;
constexpr std::int64_t kOvalAxisY2 = 253;

// The inner edge of the rim, an ellipse nested in the oval so that the rim
// is 3 to 4 pixels wide all round: centre (88, 127.5), semi-axes 82, 122.5.
constexpr std::int64_t kRimCentreX2 = 176;
constexpr std::int64_t kRimCentreY2 = 255;
constexpr std::int64_t kRimAxisX2 = 164;
constexpr std::int64_t kRimAxisY2 = 245;

// Whether the centre of pixel (c, r) lies strictly inside the ellipse, all
// in doubled coordinates: (dx / ax)^2 + (dy / ay)^2 < 1, multiplied out.
// 64-bit, since the products pass 2^31.
bool InEllipse(int column, int row, std::int64_t centre_x2,
               std::int64_t centre_y2, std::int64_t axis_x2,
               std::int64_t axis_y2) {
  const std::int64_t dx = 2 * std::int64_t{column} + 1 - centre_x2;
  const std::int64_t dy = 2 * std::int64_t{row} + 1 - centre_y2;
  return dx * dx * axis_y2 * axis_y2 + dy * dy * axis_x2 * axis_x2 <
         axis_x2 * axis_x2 * axis_y2 * axis_y2;
}

std::uint8_t MixChannel(std::uint8_t a, std::uint8_t b, double t) {
  return static_cast<std::uint8_t>(std::lround(a + (b - a) * t));
}

// `a` at t = 0, `b` at t = 1.
tk::Rgb Mix(tk::Rgb a, tk::Rgb b, double t) {
  return {MixChannel(a.r, b.r, t), MixChannel(a.g, b.g, t),
          MixChannel(a.b, b.b, t)};
}

tk::Rgb GradientAt(int row) {
  if (row <= kGradient.front().row) return kGradient.front().color;
  for (std::size_t i = 1; i < kGradient.size(); ++i) {
    const GradientStop& upper = kGradient[i - 1];
    const GradientStop& lower = kGradient[i];
    if (row <= lower.row) {
      return Mix(
          upper.color, lower.color,
          static_cast<double>(row - upper.row) / (lower.row - upper.row));
    }
  }
  return kGradient.back().color;
}

// The bevel colour at pixel (c, r), by the direction that the rim's inner
// edge faces there. Directions are taken about (88.5, 127.5), the point
// from which the middle column and the middle row face exactly up, down,
// left and right.
tk::Rgb BevelAt(int column, int row) {
  const double a = kRimAxisX2 / 2.0;
  const double b = kRimAxisY2 / 2.0;
  const double x = column + 0.5 - 88.5;
  const double y = row + 0.5 - 127.5;
  // The outward normal of the ellipse through the point; y grows downward,
  // angles grow counter-clockwise on the screen.
  double angle = std::atan2(-y / (b * b), x / (a * a));
  if (angle < 0) angle += 2 * std::numbers::pi;
  const double quarter = angle / (std::numbers::pi / 2);
  const auto index =
      std::min<std::size_t>(static_cast<std::size_t>(quarter), 3);
  return Mix(kBevelByDirection[index], kBevelByDirection[index + 1],
             quarter - static_cast<double>(index));
}

// How far the centre of pixel (c, r) lies inside the rim's inner edge, in
// pixels: the ellipse function's first-order distance (1 - F) / |grad F|,
// close to the true distance near the edge, which is all the bevel needs.
double DepthInsideRim(int column, int row) {
  const double a = kRimAxisX2 / 2.0;
  const double b = kRimAxisY2 / 2.0;
  const double x = column + 0.5 - kRimCentreX2 / 2.0;
  const double y = row + 0.5 - kRimCentreY2 / 2.0;
  const double f = (x * x) / (a * a) + (y * y) / (b * b);
  const double grad = 2 * std::hypot(x / (a * a), y / (b * b));
  if (grad == 0) return a + b;  // the very centre: as deep as it gets
  return (1 - f) / grad;
}

tk::Rgb InteriorAt(int column, int row) {
  const tk::Rgb gradient = GradientAt(row);
  const double depth = DepthInsideRim(column, row);
  if (depth >= kBevelWidth + 1) return gradient;
  const tk::Rgb bevel = BevelAt(column, row);
  if (depth < kBevelWidth) return bevel;
  return Mix(bevel, gradient, depth - kBevelWidth);
}

}  // namespace

bool InOval(int column, int row) {
  return InEllipse(column, row, kOvalCentreX2, kOvalCentreY2, kOvalAxisX2,
                   kOvalAxisY2);
}

tk::RgbImage GenerateSkinPicture() {
  tk::RgbImage picture(kSkinWidth, kSkinHeight, kWhite);
  for (int row = 0; row < kSkinHeight; ++row) {
    for (int column = 0; column < kSkinWidth; ++column) {
      if (!InOval(column, row)) continue;
      const bool in_rim = !InEllipse(column, row, kRimCentreX2, kRimCentreY2,
                                     kRimAxisX2, kRimAxisY2);
      tk::Rgb color = in_rim ? kRim : InteriorAt(column, row);
      // White would fall outside the shape, which is the non-white pixels.
      if (color == kWhite) color = {254, 254, 254};
      picture.set(column, row, color);
    }
  }
  return picture;
}

}  // namespace skin

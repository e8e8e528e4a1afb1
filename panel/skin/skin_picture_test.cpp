#include "panel/skin/skin_picture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "panel/skin/shape.h"

namespace skin {
namespace {

constexpr tk::Rgb kWhite{255, 255, 255};
constexpr tk::Rgb kRim{253, 255, 194};

tk::Rect Edges(int left, int top, int right, int bottom) {
  return tk::Rect::FromEdges(left, top, right, bottom);
}

// The panel's oval: pixel centres strictly inside the ellipse of centre
// (88.5, 127) and semi-axes 86 and 126.5, in doubled whole numbers.
bool InsideOval(int c, int r) {
  const std::int64_t dx = 2 * c + 1 - 177;
  const std::int64_t dy = 2 * r + 1 - 254;
  return dx * dx * 253 * 253 + dy * dy * 172 * 172 <
         std::int64_t{172} * 172 * 253 * 253;
}

class SkinPicture : public testing::Test {
 protected:
  const tk::RgbImage picture_ = GenerateSkinPicture();
  const std::vector<tk::Rect> shape_ = ShapeFromPicture(picture_);
};

TEST_F(SkinPicture, OvalIsExactlyTheNonWhitePixelsAndTheShape) {
  ASSERT_EQ(picture_.width(), kSkinWidth);
  ASSERT_EQ(picture_.height(), kSkinHeight);
  std::vector<int> covered(kSkinWidth * kSkinHeight, 0);
  for (const tk::Rect& r : shape_) {
    for (int y = r.top; y < r.bottom(); ++y)
      for (int x = r.left; x < r.right(); ++x) ++covered[y * kSkinWidth + x];
  }
  for (int y = 0; y < kSkinHeight; ++y) {
    for (int x = 0; x < kSkinWidth; ++x) {
      SCOPED_TRACE(testing::Message() << "pixel " << x << ", " << y);
      const bool inside = InsideOval(x, y);
      ASSERT_EQ(InOval(x, y), inside);
      ASSERT_EQ(picture_.at(x, y) != kWhite, inside);
      ASSERT_EQ(covered[y * kSkinWidth + x], inside ? 1 : 0);
    }
  }
}

TEST_F(SkinPicture, ShapeIsOneSymmetricBandPerRowExtent) {
  ASSERT_EQ(shape_.size(), 117u);
  EXPECT_EQ(shape_.front().top, 1);
  EXPECT_EQ(shape_.back().bottom(), 253);
  int left = shape_.front().left, right = shape_.front().right();
  for (std::size_t i = 0; i < shape_.size(); ++i) {
    SCOPED_TRACE(testing::Message() << "band " << i);
    // Mirroring about column 88 takes column c to 176 - c.
    EXPECT_EQ(shape_[i].left + shape_[i].right(), 177);
    if (i > 0) {
      EXPECT_EQ(shape_[i].top, shape_[i - 1].bottom());
      EXPECT_NE(shape_[i].left, shape_[i - 1].left);
    }
    left = std::min(left, shape_[i].left);
    right = std::max(right, shape_[i].right());
  }
  EXPECT_EQ(left, 3);
  EXPECT_EQ(right, 174);

  const std::vector<tk::Rect> first = {shape_.begin(), shape_.begin() + 3};
  const std::vector<tk::Rect> last = {shape_.end() - 3, shape_.end()};
  EXPECT_EQ(first, (std::vector{Edges(78, 1, 99, 2), Edges(73, 2, 104, 3),
                                Edges(70, 3, 107, 4)}));
  EXPECT_EQ(last,
            (std::vector{Edges(70, 250, 107, 251), Edges(73, 251, 104, 252),
                         Edges(78, 252, 99, 253)}));
  const auto widest =
      std::find(shape_.begin(), shape_.end(), Edges(3, 108, 174, 146));
  ASSERT_NE(widest, shape_.end());
  EXPECT_EQ(*(widest - 1), Edges(4, 100, 173, 108));
  EXPECT_EQ(*(widest + 1), Edges(4, 146, 173, 154));
}

TEST_F(SkinPicture, SampleColours) {
  struct Area {
    int first_column, last_column, first_row, last_row;
    tk::Rgb color;
  };
  const Area areas[] = {
      // The gradient down the middle column, and across the middle row.
      {88, 88, 10, 10, {44, 138, 205}},
      {88, 88, 50, 50, {70, 153, 211}},
      {88, 88, 200, 200, {222, 237, 247}},
      {88, 88, 243, 243, {252, 253, 254}},
      {11, 164, 127, 127, {147, 196, 229}},
      // The bevel inside the rim: light at the top and left, lavender at
      // the bottom and right.
      {88, 88, 5, 6, {139, 191, 227}},
      {6, 9, 127, 127, {174, 211, 235}},
      {166, 169, 127, 127, {125, 159, 210}},
      {88, 88, 246, 249, {194, 176, 221}},
      // The rim where the axes cross it.
      {88, 88, 1, 4, kRim},
      {88, 88, 250, 252, kRim},
      {3, 5, 127, 127, kRim},
      {170, 173, 127, 127, kRim},
      // Outside the oval.
      {0, 2, 127, 127, kWhite},
      {88, 88, 0, 0, kWhite},
      {0, 0, 257, 257, kWhite},
  };
  for (const Area& a : areas) {
    for (int y = a.first_row; y <= a.last_row; ++y) {
      for (int x = a.first_column; x <= a.last_column; ++x) {
        SCOPED_TRACE(testing::Message() << "pixel " << x << ", " << y);
        const tk::Rgb c = picture_.at(x, y);
        EXPECT_EQ((std::vector<int>{c.r, c.g, c.b}),
                  (std::vector<int>{a.color.r, a.color.g, a.color.b}));
      }
    }
  }
}

TEST_F(SkinPicture, RimRunsAllAroundTheEdge) {
  // Every pixel of the oval next to one outside it is rim, so the rim is
  // unbroken and nothing else touches the white.
  for (int y = 0; y < kSkinHeight; ++y) {
    for (int x = 0; x < kSkinWidth; ++x) {
      if (!InsideOval(x, y)) continue;
      const bool on_edge = !InsideOval(x - 1, y) || !InsideOval(x + 1, y) ||
                           !InsideOval(x, y - 1) || !InsideOval(x, y + 1);
      if (on_edge) {
        SCOPED_TRACE(testing::Message() << "pixel " << x << ", " << y);
        EXPECT_EQ(picture_.at(x, y), kRim);
      }
    }
  }
}

}  // namespace
}  // namespace skin

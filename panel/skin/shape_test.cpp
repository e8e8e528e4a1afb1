#include "panel/skin/shape.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace skin {
namespace {

// A picture drawn in characters: '.' white, '#' blue, 'o' yellow.
tk::RgbImage Picture(const std::vector<std::string>& rows) {
  tk::RgbImage picture(static_cast<int>(rows.front().size()),
                       static_cast<int>(rows.size()));
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) {
      const char c = rows[y][x];
      picture.set(x, y,
                  c == '.'   ? tk::Rgb{255, 255, 255}
                  : c == '#' ? tk::Rgb{40, 130, 200}
                             : tk::Rgb{253, 255, 194});
    }
  }
  return picture;
}

tk::Rect Edges(int left, int top, int right, int bottom) {
  return tk::Rect::FromEdges(left, top, right, bottom);
}

TEST(ShapeFromPicture, RunsOfRowsMergeIntoBands) {
  struct Case {
    const char* what;
    std::vector<std::string> rows;
    std::vector<tk::Rect> shape;
  };
  const Case cases[] = {
      {"two runs in a row; equal rows share a band; a change starts one",
       {"##..##",  //
        "##..##",  //
        "#....#",  //
        "......"},
       {Edges(0, 0, 2, 2), Edges(4, 0, 6, 2), Edges(0, 2, 1, 3),
        Edges(5, 2, 6, 3)}},
      {"equal runs either side of an empty row stay separate bands",
       {".##.",  //
        "....",  //
        ".##.",  //
        "...."},
       {Edges(1, 0, 3, 1), Edges(1, 2, 3, 3)}},
      {"rows that differ only in their second run are different bands",
       {"#.#.",  //
        "#..#",  //
        "...."},
       {Edges(0, 0, 1, 1), Edges(2, 0, 3, 1), Edges(0, 1, 1, 2),
        Edges(3, 1, 4, 2)}},
      {"runs reach both edges of the picture",
       {"####",  //
        "####",  //
        "...."},
       {Edges(0, 0, 4, 2)}},
      {"the bottom-left pixel's colour is the background, whatever it is; "
       "every other colour belongs to the shape",
       {"#..#",  //
        "#o.#",  //
        "####"},
       {Edges(1, 0, 3, 2)}},
      {"a picture of one colour has no shape",
       {"oo",  //
        "oo"},
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ShapeFromPicture(Picture(c.rows)), c.shape);
  }
}

TEST(ShapeFromPicture, EmptyPictureHasNoShape) {
  EXPECT_TRUE(ShapeFromPicture(tk::RgbImage()).empty());
}

}  // namespace
}  // namespace skin

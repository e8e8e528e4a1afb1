#include "panel/skin/shape.h"

#include <utility>

namespace skin {

std::vector<tk::Rect> ShapeFromPicture(const tk::RgbImage& picture) {
  std::vector<tk::Rect> rects;
  if (picture.empty()) return rects;
  const tk::Rgb background = picture.at(0, picture.height() - 1);

  // The runs of the band being built, as (left, right exclusive), and the
  // index of its first rectangle in `rects`.
  std::vector<std::pair<int, int>> band_runs;
  std::size_t band_start = 0;
  std::vector<std::pair<int, int>> runs;
  for (int row = 0; row < picture.height(); ++row) {
    runs.clear();
    for (int column = 0; column < picture.width();) {
      if (picture.at(column, row) == background) {
        ++column;
        continue;
      }
      const int left = column;
      while (column < picture.width() && picture.at(column, row) != background)
        ++column;
      runs.emplace_back(left, column);
    }
    // An empty row empties band_runs, so a band never spans a gap.
    if (!runs.empty() && runs == band_runs) {
      for (std::size_t i = band_start; i < rects.size(); ++i) ++rects[i].height;
      continue;
    }
    band_runs = runs;
    band_start = rects.size();
    for (const auto& [left, right] : runs)
      rects.push_back(tk::Rect::FromEdges(left, row, right, row + 1));
  }
  return rects;
}

}  // namespace skin

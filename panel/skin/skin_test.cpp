#include "panel/skin/skin.h"

#include <gtest/gtest.h>

#include <vector>

#include "panel/skin/shape.h"
#include "panel/skin/skin_data.h"
#include "panel/skin/skin_picture.h"
#include "panel/skin/stored_forms.h"

namespace skin {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(BuiltInSkin, IsTheGeneratedSkinInItsStoredForms) {
  const tk::RgbImage picture = GenerateSkinPicture();
  const std::vector<tk::Rect> shape = ShapeFromPicture(picture);
  EXPECT_EQ(Bytes(kSkinPictureBlock, kSkinPictureBlock + kSkinPictureBlockSize),
            EncodePictureBlock(picture));
  EXPECT_EQ(Bytes(kPanelRegionBlock, kPanelRegionBlock + kPanelRegionBlockSize),
            EncodeRegionBlock(shape));

  const Skin skin = LoadBuiltInSkin();
  EXPECT_EQ(skin.picture, picture);
  EXPECT_EQ(skin.shape, shape);
  EXPECT_EQ(skin.shape.size(), 117u);
}

TEST(LoadSkin, TakesTheShapeFromTheRegionBlock) {
  // A small picture with a 2 x 2 blob in a white 4 x 3 field.
  tk::RgbImage picture(4, 3, {255, 255, 255});
  for (int y = 0; y < 2; ++y)
    for (int x = 1; x < 3; ++x) picture.set(x, y, {40, 130, 200});
  const Bytes picture_block = EncodePictureBlock(picture);
  const std::vector<tk::Rect> derived = {tk::Rect{1, 0, 2, 2}};
  const std::vector<tk::Rect> stored = {tk::Rect{0, 0, 4, 1},
                                        tk::Rect{2, 1, 1, 2}};
  Bytes invalid = EncodeRegionBlock(stored);
  invalid[8] = 2;  // not a rectangle list

  struct Case {
    const char* what;
    Bytes picture_block;
    Bytes region_block;
    std::vector<tk::Rect> shape;
  };
  const Case cases[] = {
      {"a stored region is used as it is", picture_block,
       EncodeRegionBlock(stored), stored},
      {"no region stored: derived from the picture", picture_block,
       EncodeRegionBlock({}), derived},
      {"an invalid region leaves the full window",
       picture_block,
       invalid,
       {tk::Rect{0, 0, 175, 258}}},
      {"an unreadable region block leaves the full window",
       picture_block,
       Bytes{1, 0},
       {tk::Rect{0, 0, 175, 258}}},
      {"nothing to derive from an unreadable picture",
       Bytes{7, 'T'},
       EncodeRegionBlock({}),
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Skin skin = LoadSkin(c.picture_block, c.region_block);
    EXPECT_EQ(skin.shape, c.shape);
  }
  EXPECT_EQ(LoadSkin(picture_block, invalid).picture, picture);
  EXPECT_TRUE(LoadSkin(Bytes{7, 'T'}, invalid).picture.empty());
}

}  // namespace
}  // namespace skin

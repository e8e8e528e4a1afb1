#include "panel/skin/skin.h"

#include <utility>

#include "panel/skin/shape.h"
#include "panel/skin/skin_data.h"
#include "panel/skin/skin_picture.h"
#include "panel/skin/stored_forms.h"

namespace skin {

Skin LoadSkin(std::span<const std::uint8_t> picture_block,
              std::span<const std::uint8_t> region_block) {
  Skin skin;
  if (auto picture = LoadPictureBlock(picture_block))
    skin.picture = std::move(*picture);
  ShapeLoad region = LoadRegionBlock(region_block);
  switch (region.kind) {
    case ShapeLoad::Kind::kRegion:
      skin.shape = std::move(region.rects);
      break;
    case ShapeLoad::Kind::kDerive:
      skin.shape = ShapeFromPicture(skin.picture);
      break;
    case ShapeLoad::Kind::kInvalid:
      skin.shape = {tk::Rect{0, 0, kSkinWidth, kSkinHeight}};
      break;
  }
  return skin;
}

Skin LoadBuiltInSkin() {
  return LoadSkin({kSkinPictureBlock, kSkinPictureBlockSize},
                  {kPanelRegionBlock, kPanelRegionBlockSize});
}

}  // namespace skin

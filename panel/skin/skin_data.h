#pragma once

#include <cstddef>

// The skin's two stored forms as built into the program. They are generated
// at build time by skin_gen (see skin_gen.cpp), so they always agree with
// the picture generator and the encoders.

namespace skin {

extern const unsigned char kSkinPictureBlock[];
extern const std::size_t kSkinPictureBlockSize;

extern const unsigned char kPanelRegionBlock[];
extern const std::size_t kPanelRegionBlockSize;

}  // namespace skin

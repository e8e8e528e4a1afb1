// Feeds arbitrary bytes to the picture-block loader. Besides the sanitizers'
// checks it aborts when a picture it accepts is not one the block can hold,
// does not survive being stored and read again, or gives a shape reaching
// outside itself.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>

#include "panel/skin/shape.h"
#include "panel/skin/stored_forms.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  const std::optional<tk::RgbImage> picture =
      skin::LoadPictureBlock(std::span<const std::uint8_t>(data, size));
  if (!picture) return 0;
  // Three bytes a pixel, all inside the block.
  if (picture->empty() ||
      std::size_t{3} * picture->width() * picture->height() > size)
    abort();
  if (skin::LoadPictureBlock(skin::EncodePictureBlock(*picture)) != picture)
    abort();
  for (const tk::Rect& r : skin::ShapeFromPicture(*picture)) {
    if (r.empty() || r.left < 0 || r.top < 0 || r.right() > picture->width() ||
        r.bottom() > picture->height())
      abort();
  }
  return 0;
}

#pragma once

#include <string>

#include "toolkit/control.h"
#include "toolkit/image.h"

namespace panel {

// The skin: a picture covering the whole panel, drawn at its natural size.
class SkinImage : public tk::Control {
 public:
  SkinImage(tk::Control* parent, std::string name, tk::Rect bounds)
      : tk::Control(parent, std::move(name), bounds, /*windowed=*/false) {}

  const tk::RgbImage& Picture() const { return picture_; }
  void SetPicture(tk::RgbImage picture) {
    picture_ = std::move(picture);
    Invalidate();
  }

  void Paint(tk::Canvas& canvas) override {
    if (!picture_.empty()) canvas.DrawImage(picture_, {0, 0});
  }

 private:
  tk::RgbImage picture_;
};

}  // namespace panel

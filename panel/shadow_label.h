#pragma once

#include <string>

#include "toolkit/color.h"
#include "toolkit/control.h"

namespace panel {

// A caption drawn on its parent's surface with a drop shadow; transparent,
// so the surface shows around the letters.
class ShadowLabel : public tk::Control {
 public:
  ShadowLabel(tk::Control* parent, std::string name, tk::Rect bounds, std::string caption)
      : tk::Control(parent, std::move(name), bounds, /*windowed=*/false),
        caption_(std::move(caption)) {}

  const std::string& Caption() const { return caption_; }
  int ShadowOffset = 2;
  tk::TColor ShadowColor = tk::clBtnShadow;
  tk::TColor FontColor = tk::clWindowText;

  void Paint(tk::Canvas& canvas) override {
    tk::Rect box = ClientRect();
    tk::FontSpec font;
    tk::TextLayout layout;
    canvas.DrawText(caption_, box.Translated({ShadowOffset, ShadowOffset}), font,
                    Resolve(ShadowColor), layout);
    canvas.DrawText(caption_, box, font, Resolve(FontColor), layout);
  }

 private:
  std::string caption_;
};

}  // namespace panel

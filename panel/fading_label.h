#pragma once

#include <string>

#include "toolkit/control.h"

namespace panel {

// The title drawn on its parent's surface, its text colour pulsing between
// the background colour and the font colour.
class FadingLabel : public tk::Control {
 public:
  FadingLabel(tk::Control* parent, std::string name, tk::Rect bounds,
              std::string caption)
      : tk::Control(parent, std::move(name), bounds, /*windowed=*/false),
        caption_(std::move(caption)) {}

  const std::string& Caption() const { return caption_; }

 private:
  std::string caption_;
};

}  // namespace panel

#pragma once

#include <string>

#include "toolkit/control.h"

namespace panel {

// A caption drawn on its parent's surface with a drop shadow.
class ShadowLabel : public tk::Control {
 public:
  ShadowLabel(tk::Control* parent, std::string name, tk::Rect bounds,
              std::string caption)
      : tk::Control(parent, std::move(name), bounds, /*windowed=*/false),
        caption_(std::move(caption)) {}

  const std::string& Caption() const { return caption_; }

 private:
  std::string caption_;
};

}  // namespace panel

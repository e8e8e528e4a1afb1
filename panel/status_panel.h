#pragma once

#include <string>

#include "toolkit/color.h"
#include "toolkit/control.h"

namespace panel {

// The status line: one line of text centred on a raised silver face. A text
// too wide for the line is cut at both ends, never wrapped or shortened.
class StatusPanel : public tk::Control {
 public:
  StatusPanel(tk::Control* parent, std::string name, tk::Rect bounds)
      : tk::Control(parent, std::move(name), bounds, /*windowed=*/true) {}

  const std::string& Caption() const { return caption_; }
  // Every new text repaints the whole line.
  void SetCaption(std::string caption) {
    caption_ = std::move(caption);
    Invalidate();
  }
  tk::TColor Color = tk::clSilver;
  tk::TColor FontColor = tk::clWindowText;

  void Paint(tk::Canvas& canvas) override;

 private:
  std::string caption_;
};

}  // namespace panel

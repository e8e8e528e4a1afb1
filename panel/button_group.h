#pragma once

#include <functional>
#include <string>
#include <vector>

#include "panel/shape_button.h"
#include "toolkit/color.h"
#include "toolkit/control.h"

namespace panel {

// A panel-like control that stacks its buttons from top to bottom, keeps at
// most one of them latched, marks the latched one bold, and lets the keyboard
// choose among them while it has the focus.
class ButtonGroup : public tk::Control {
 public:
  ButtonGroup(tk::Control* parent, std::string name, tk::Rect bounds);

  tk::TColor Color = tk::clBtnFace;
  int ControlSpacing = 1;
  int BorderWidth = 0;
  int MaxControlSize = 0;  // largest button height; 0 for no limit
  bool AutoBold = true;

  // The buttons in list order: the group's children that are buttons.
  std::vector<ShapeButton*> Buttons() const;
  // Places the visible buttons one above the other, sharing the height.
  void ArrangeButtons();
  // A button of the group has latched.
  void ButtonLatched(ShapeButton& button);

  std::function<void(ButtonGroup&)> OnEnter;

  // The group's own area, seen in the gaps between its buttons; no frame and
  // no focus mark.
  void Paint(tk::Canvas& canvas) override { canvas.FillRect(ClientRect(), Resolve(Color)); }
  void FocusEnter() override;
  bool KeyDown(tk::Key key) override;
};

}  // namespace panel

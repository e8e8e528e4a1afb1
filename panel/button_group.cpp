#include "panel/button_group.h"

#include <algorithm>

namespace panel {

ButtonGroup::ButtonGroup(tk::Control* parent, std::string name, tk::Rect bounds)
    : tk::Control(parent, std::move(name), bounds, /*windowed=*/true) {}

std::vector<ShapeButton*> ButtonGroup::Buttons() const {
  std::vector<ShapeButton*> buttons;
  for (tk::Control* c : children()) {
    if (auto* b = dynamic_cast<ShapeButton*>(c)) buttons.push_back(b);
  }
  return buttons;
}

void ButtonGroup::ArrangeButtons() {
  std::vector<ShapeButton*> visible;
  for (ShapeButton* b : Buttons()) {
    if (b->Visible()) visible.push_back(b);
  }
  int n = static_cast<int>(visible.size());
  if (n == 0) return;
  int available = bounds().height - 2 * BorderWidth - (n - 1) * ControlSpacing;
  int each = available / n;
  int spare = available % n;
  if (MaxControlSize > 0 && each >= MaxControlSize) {
    each = MaxControlSize;
    spare = 0;
  }
  int top = BorderWidth;
  for (int i = 0; i < n; ++i) {
    int height = std::max(0, each + (i < spare ? 1 : 0));
    visible[i]->SetBounds(
        {BorderWidth, top, bounds().width - 2 * BorderWidth, height});
    top += height + ControlSpacing;
  }
}

void ButtonGroup::ButtonLatched(ShapeButton& button) {
  ArrangeButtons();
  if (!AutoBold) return;
  for (ShapeButton* b : Buttons()) b->SetBold(b == &button);
}

void ButtonGroup::FocusEnter() {
  if (OnEnter) OnEnter(*this);
}

bool ButtonGroup::KeyDown(tk::Key key) {
  std::vector<ShapeButton*> buttons = Buttons();
  if (buttons.empty()) return false;
  int n = static_cast<int>(buttons.size());
  auto latched = std::find_if(buttons.begin(), buttons.end(),
                              [](ShapeButton* b) { return b->Down(); });
  int current = static_cast<int>(latched - buttons.begin());
  int chosen;
  switch (key) {
    case tk::Key::kHome:
      chosen = 0;
      break;
    case tk::Key::kEnd:
      chosen = n - 1;
      break;
    case tk::Key::kLeft:
    case tk::Key::kUp:
      chosen = (current + n - 1) % n;
      break;
    case tk::Key::kRight:
    case tk::Key::kDown:
      chosen = (current + 1) % n;
      break;
    default:
      return false;
  }
  // With nothing latched every key chooses the first button.
  if (latched == buttons.end()) chosen = 0;
  buttons[chosen]->SetDown(true);
  return true;
}

}  // namespace panel

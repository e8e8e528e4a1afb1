#pragma once

#include <string>
#include <vector>

#include "toolkit/canvas.h"
#include "toolkit/geometry.h"
#include "toolkit/platform.h"

namespace tk {

class Form;

// A node of the control tree. A control is either windowed (it takes pointer
// input for its own rectangle) or drawn on its parent's surface (it is seen
// by the pointer check, but its parent takes the input). Children register
// with their parent; whoever creates a control owns it, and a parent outlives
// its children.
class Control {
 public:
  Control(Control* parent, std::string name, Rect bounds, bool windowed);
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const std::string& name() const { return name_; }
  Control* parent() const { return parent_; }
  const std::vector<Control*>& children() const { return children_; }
  Form* form();

  // In the parent's client area.
  Rect bounds() const { return bounds_; }
  void SetBounds(Rect bounds);
  Rect ClientRect() const { return {0, 0, bounds_.width, bounds_.height}; }
  // Top-left corner of the client area in the form's client area.
  Point OriginInForm() const;

  bool windowed() const { return windowed_; }
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled) { enabled_ = enabled; }
  bool TabStop() const { return tab_stop_; }
  int TabOrder() const { return tab_order_; }
  void SetTabOrder(int order, bool tab_stop) {
    tab_order_ = order;
    tab_stop_ = tab_stop;
  }

  // The innermost visible control at `p` (client coordinates of this
  // control), this one included; disabled controls count. With
  // `windowed_only`, controls drawn on a surface are passed over, so the
  // answer is the control that takes pointer input there.
  Control* ControlAt(Point p, bool windowed_only);
  bool IsAncestorOf(const Control* other) const;

  // The RGB value of `color`, system colours taken from the current scheme.
  Rgb Resolve(TColor color);

  // Asks for this control to be painted again.
  void Invalidate();
  // Paints the whole control; the canvas origin is its top-left corner.
  virtual void Paint(Canvas& /*canvas*/) {}

  // Notices from the loop, for the control to handle and pass on to its
  // owner's callbacks. Positions are in the control's client area.
  virtual void MouseEnter() {}
  virtual void MouseLeave() {}
  virtual void MouseDown(MouseButton /*button*/, Point /*p*/) {}
  virtual void MouseMove(Point /*p*/) {}
  virtual void MouseUp(MouseButton /*button*/, Point /*p*/) {}
  // Returns whether the key was used.
  virtual bool KeyDown(Key /*key*/) { return false; }
  // The keyboard focus came to this control from outside it.
  virtual void FocusEnter() {}

 private:
  Control* parent_;
  std::string name_;
  Rect bounds_;
  bool windowed_;
  bool visible_ = true;
  bool enabled_ = true;
  bool tab_stop_ = false;
  int tab_order_ = -1;
  std::vector<Control*> children_;
};

}  // namespace tk

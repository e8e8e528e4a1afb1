#pragma once

#include <functional>
#include <string>

#include "toolkit/color.h"
#include "toolkit/control.h"

namespace panel {

// A push button with a window of its own. With a group index it latches when
// clicked and releases the other buttons of its parent with the same index;
// with group index 0 it only sinks while held. Its face colour belongs to its
// owner; the button itself only changes how far down it is.
class ShapeButton : public tk::Control {
 public:
  ShapeButton(tk::Control* parent, std::string name, tk::Rect bounds);

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);
  tk::TColor Color() const { return color_; }
  void SetColor(tk::TColor color);
  tk::TColor DitherColor = tk::clWhite;
  int GroupIndex = 0;
  bool AllowAllUp = false;
  bool WordWrap = false;

  bool Down() const { return down_; }
  // From the program: no event is raised. Down on a group button latches it
  // and releases its siblings; on a button without a group it does nothing.
  void SetDown(bool down);
  // Caption weight, set by the group for its latched button.
  bool Bold() const { return bold_; }
  void SetBold(bool bold);
  // Whether a left press on the button is being tracked.
  bool Tracking() const { return tracking_; }

  std::function<void(ShapeButton&)> OnMouseEnter;
  std::function<void(ShapeButton&)> OnMouseLeave;
  std::function<void(ShapeButton&, tk::MouseButton, tk::Point)> OnMouseDown;
  std::function<void(ShapeButton&)> OnClick;

  // Bevel colours: outer and inner line of the lit edges, inner and outer
  // line of the shaded ones.
  tk::TColor BtnHighlight = tk::clBtnHighlight;
  tk::TColor Btn3DLight = tk::cl3DLight;
  tk::TColor BtnShadow = tk::clBtnShadow;
  tk::TColor BtnBlack = tk::clBlack;
  tk::TColor FontColor = tk::clWindowText;
  // How far the caption moves while the button is down.
  int TextDownX = 1;
  int TextDownY = 1;

  void Paint(tk::Canvas& canvas) override;
  void MouseEnter() override;
  void MouseLeave() override;
  void MouseDown(tk::MouseButton button, tk::Point p) override;
  void MouseMove(tk::Point p) override;
  void MouseUp(tk::MouseButton button, tk::Point p) override;

 private:
  void SetDownState(bool down);
  void Latch();

  std::string caption_;
  tk::TColor color_ = tk::clBtnFace;
  bool down_ = false;
  bool bold_ = false;
  bool down_at_press_ = false;
  bool tracking_ = false;
};

}  // namespace panel

#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/control.h"
#include "toolkit/platform.h"

namespace tk {

class Application;

// What a press on a point of a form's own surface means.
enum class HitCode { kClient, kCaption };

// A top-level window and the root of its control tree. Its bounds are in
// screen coordinates; its client area is the whole window (no frame).
class Form : public Control {
 public:
  Form(Application& app, std::string name, Rect screen_bounds);
  ~Form() override;

  Application& application() { return app_; }
  WindowHandle window() const { return window_; }

  std::string Caption;
  TColor Color = clInfoBk;

  // Creates the window, hidden, frameless and above others, at the stored
  // position. Idempotent.
  void CreateHandle();
  // Cuts the window to `rects`; an empty list leaves the full rectangle.
  void SetShape(std::vector<Rect> rects);
  const std::vector<Rect>& shape() const { return shape_; }
  void Show();
  // Ends the form: OnClose runs, then the program ends if this is the main
  // form.
  void Close();

  std::function<void()> OnCreate;
  std::function<void()> OnClose;

  // The answer to "what is this point of the surface": a press where it is
  // kCaption moves the window.
  virtual HitCode HitTest(Point /*client*/) { return HitCode::kClient; }

  // Keyboard focus. A change raises FocusEnter on the controls between the
  // new focus and the form that did not hold it before.
  Control* ActiveControl() const { return active_control_; }
  void SetActiveControl(Control* control);
  // The window became active: with no focused control, the first tab stop
  // takes the focus.
  void Activated();
  void KeyPress(Key key);

  // Pointer capture by one control: all pointer events go to it.
  Control* Capture() const { return capture_; }
  void SetCapture(Control* control);
  void ReleaseCapture(Control* control);

  // Painting: areas in client coordinates.
  void InvalidateArea(Rect area);
  Rect TakeDamage();
  // Paints `area` of every visible control, bottom to top.
  void PaintArea(Canvas& canvas, Rect area);

  // A control is being destroyed: forget it.
  void ControlGone(Control* control);

 private:
  std::vector<Control*> TabStops();
  void PaintControl(Control* control, Canvas& canvas, Rect area);

  Application& app_;
  WindowHandle window_ = kNoWindow;
  std::vector<Rect> shape_;
  Control* active_control_ = nullptr;
  Control* capture_ = nullptr;
  Rect damage_;
};

}  // namespace tk

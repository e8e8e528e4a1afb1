#pragma once

#include <X11/Xlib.h>

#include <memory>
#include <string>

#include "platform/cairo/cairo_canvas.h"
#include "platform/x11/x11_display.h"

namespace x11 {

// The error report: a small framed window titled `title` with the message and
// an OK button. It does not hold up the loop; a click on OK, Return, Escape,
// or the window manager's close takes it away.
class MessageWindow {
 public:
  MessageWindow(Connection& c, const std::string& title, const std::string& message);
  ~MessageWindow();
  MessageWindow(const MessageWindow&) = delete;
  MessageWindow& operator=(const MessageWindow&) = delete;

  ::Window window() const { return window_; }
  tk::Rect ok_button() const { return ok_; }
  // Handles an event of this window; true when it asks to be closed.
  bool HandleEvent(const XEvent& event);

 private:
  void Paint(bool ok_down);
  void Present();

  Connection& c_;
  ::Window window_ = None;
  GC gc_ = nullptr;
  std::string message_;
  tk::Rect text_;
  tk::Rect ok_;
  bool pressed_on_ok_ = false;
  std::unique_ptr<cr::CairoCanvas> canvas_;
};

}  // namespace x11

#pragma once

#include <X11/Xlib.h>

#include <optional>

#include "platform/x11/x11_display.h"
#include "toolkit/platform.h"

namespace x11 {

// Moving a window by dragging it. With an EWMH window manager the move is
// handed over to it, as a press on a title bar would; without one the window
// follows the pointer itself until the button comes up.
class UserMove {
 public:
  explicit UserMove(Connection& c) : c_(c) {}

  // Called while `button`, pressed at `screen`, is still down.
  void Begin(::Window window, tk::Point screen, tk::MouseButton button);
  // Takes the events of a move the window makes itself: motion moves the
  // window, the button's release ends the move. True when the event was
  // taken; the program never sees it.
  bool Filter(const XEvent& event);
  // The window is going: forget any move of it.
  void Forget(::Window window);
  bool active() const { return own_.has_value(); }

 private:
  struct OwnMove {
    ::Window window;
    unsigned button;
    tk::Point start_pointer;
    tk::Point start_origin;
  };
  void End();

  Connection& c_;
  std::optional<OwnMove> own_;
};

}  // namespace x11

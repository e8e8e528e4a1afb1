#pragma once

#include <X11/Xlib.h>

#include <functional>

#include "platform/x11/x11_display.h"
#include "toolkit/platform.h"

namespace x11 {

// Where the pointer is, and which of the program's windows it is over: the
// server's own answer, which takes stacking and input shapes into account,
// followed down from the root through the frames that hold our windows
// (`is_frame`) until one of ours (`is_ours`). One round trip while the
// pointer is elsewhere, a few while it is over the panel.
tk::PointerState QueryPointer(Connection& c,
                              const std::function<bool(::Window)>& is_ours,
                              const std::function<bool(::Window)>& is_frame);

}  // namespace x11

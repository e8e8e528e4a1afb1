#pragma once

#include <X11/Xlib.h>

#include "platform/x11/x11_display.h"
#include "toolkit/platform.h"

namespace x11 {

// What kind of top-level a window is, for the window manager.
enum class WindowRole {
  kPanel,   // a normal window; its WindowSpec says whether framed, above, listed
  kDialog,  // a message with the window manager's frame
};

// Creates a top-level window, unmapped, with every hint the window manager
// needs to place and keep it as `window_spec` says in force before it is mapped:
// names and class, the exact position and fixed size, no frame, above other
// windows, left out of taskbars and pagers, the close protocol. It paints
// nothing by itself (no background), so nothing flickers before a frame is
// presented.
::Window CreateTopLevel(Connection& c, const tk::WindowSpec& window_spec, WindowRole role);

// An override-redirect window for transient pictures (the tooltip): the
// window manager neither frames nor places it.
::Window CreatePopup(Connection& c, tk::Rect bounds, int border_width);

// Sets the window's title (WM_NAME and _NET_WM_NAME).
void SetTitle(Connection& c, ::Window window, const std::string& title);

// The window's top-left corner on the screen, whatever frames it.
tk::Point ScreenOrigin(Connection& c, ::Window window);

// Copies `area` of `frame` (32-bit 0x??RRGGBB pixels, the canvas's format)
// to the same place in the window.
void PutFrame(Connection& c, ::Window window, GC gc, const tk::Frame& frame,
              tk::Rect area);

}  // namespace x11

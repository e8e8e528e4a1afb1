#pragma once

#include <X11/Xlib.h>

#include <vector>

#include "platform/x11/x11_display.h"
#include "toolkit/geometry.h"

namespace x11 {

// Cuts the window to the union of `rects` for drawing and for the pointer
// alike, so that a press outside them reaches the window beneath; an empty
// list gives the window back its whole rectangle. Without the SHAPE
// extension the window stays rectangular.
void SetWindowShape(Connection& c, ::Window window, const std::vector<tk::Rect>& rects);

// Makes the window transparent to the pointer: it is drawn, but every press
// and every motion over it belongs to what lies beneath.
void ClearInputShape(Connection& c, ::Window window);

}  // namespace x11

#pragma once

#include <X11/Xlib.h>

#include <optional>

#include "platform/x11/x11_display.h"
#include "toolkit/platform.h"

namespace x11 {

// Translates an event of one of the program's top-level windows into the
// toolkit's; nothing for the events the toolkit has no use for.
std::optional<tk::Event> TranslateEvent(const XEvent& event, const Atoms& atoms);

// Buttons 1 to 3; the wheel (4 to 7) and extra buttons are none of ours.
std::optional<tk::MouseButton> TranslateButton(unsigned number);

tk::Key TranslateKey(const XKeyEvent& event);

}  // namespace x11

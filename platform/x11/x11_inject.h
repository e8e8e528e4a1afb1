#pragma once

#include "platform/x11/x11_display.h"
#include "toolkit/platform.h"

namespace x11 {

// Puts one button event into the server's input stream at the pointer's
// position, as the physical device would, and sends it on its way. Without
// the XTEST extension it does nothing (the program said so at start-up).
void InjectButton(Connection& c, tk::MouseButton button, bool press);

// The core protocol's number of a button.
unsigned ButtonNumber(tk::MouseButton button);

}  // namespace x11

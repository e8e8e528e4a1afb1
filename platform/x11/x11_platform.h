#pragma once

#include <memory>
#include <string>

#include "toolkit/platform.h"

namespace x11 {

// The desktop of an X server: opens the display named by $DISPLAY. On
// failure returns null with a one-line reason in `error`.
std::unique_ptr<tk::Platform> OpenPlatform(std::string* error);

// The same for a named display (":5"); null names $DISPLAY's.
std::unique_ptr<tk::Platform> OpenPlatform(const char* display_name, std::string* error);

}  // namespace x11

// The dwell-click panel. Reads no arguments; ends with exit code 0 when the
// panel is closed.

#include <cstdio>
#include <memory>
#include <string>

#include "app/program.h"
#include "settings/settings.h"

#ifdef MOUSE_HAVE_X11
#include "platform/x11/x11_platform.h"
#endif

int main() {
#ifdef MOUSE_HAVE_X11
  std::string error;
  std::unique_ptr<tk::Platform> platform = x11::OpenPlatform(&error);
  if (!platform) {
    std::fprintf(stderr, "mouse: %s\n", error.c_str());
    return 1;
  }
  app::Program program(*platform, settings::ExecutablePath());
  return program.Run();
#else
  std::fprintf(stderr, "mouse: no desktop backend is built yet (X11 comes next)\n");
  return 1;
#endif
}

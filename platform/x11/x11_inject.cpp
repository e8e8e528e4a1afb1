#include "platform/x11/x11_inject.h"

#include <X11/extensions/XTest.h>

namespace x11 {

unsigned ButtonNumber(tk::MouseButton button) {
  switch (button) {
    case tk::MouseButton::kLeft: return Button1;
    case tk::MouseButton::kMiddle: return Button2;
    case tk::MouseButton::kRight: return Button3;
  }
  return Button1;
}

void InjectButton(Connection& c, tk::MouseButton button, bool press) {
  if (!c.has_xtest()) return;
  XTestFakeButtonEvent(c.display(), ButtonNumber(button), press ? True : False,
                       CurrentTime);
  XFlush(c.display());
}

}  // namespace x11

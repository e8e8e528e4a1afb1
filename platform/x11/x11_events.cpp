#include "platform/x11/x11_events.h"

#include <X11/keysym.h>

namespace x11 {

namespace {

tk::Event Make(tk::Event::Kind kind, ::Window window) {
  tk::Event e;
  e.kind = kind;
  e.window = static_cast<tk::WindowHandle>(window);
  return e;
}

tk::Event Pointer(tk::Event::Kind kind, ::Window window, int x, int y, int x_root,
                  int y_root) {
  tk::Event e = Make(kind, window);
  e.position = {x, y};
  e.screen = {x_root, y_root};
  return e;
}

// Focus moves that count as the window becoming (or ceasing to be) the
// active one: not the transient ones of a keyboard grab, and not the pointer
// dragging focus along below a focused window.
bool IsActivation(const XFocusChangeEvent& f) {
  return (f.mode == NotifyNormal || f.mode == NotifyWhileGrabbed) &&
         f.detail != NotifyPointer && f.detail != NotifyInferior;
}

}  // namespace

std::optional<tk::MouseButton> TranslateButton(unsigned number) {
  switch (number) {
    case Button1: return tk::MouseButton::kLeft;
    case Button2: return tk::MouseButton::kMiddle;
    case Button3: return tk::MouseButton::kRight;
    default: return std::nullopt;
  }
}

tk::Key TranslateKey(const XKeyEvent& event) {
  XKeyEvent copy = event;
  switch (XLookupKeysym(&copy, 0)) {
    case XK_Home:
    case XK_KP_Home: return tk::Key::kHome;
    case XK_End:
    case XK_KP_End: return tk::Key::kEnd;
    case XK_Left:
    case XK_KP_Left: return tk::Key::kLeft;
    case XK_Up:
    case XK_KP_Up: return tk::Key::kUp;
    case XK_Right:
    case XK_KP_Right: return tk::Key::kRight;
    case XK_Down:
    case XK_KP_Down: return tk::Key::kDown;
    case XK_Tab: return (event.state & ShiftMask) ? tk::Key::kBackTab : tk::Key::kTab;
    case XK_ISO_Left_Tab: return tk::Key::kBackTab;
    default: return tk::Key::kOther;
  }
}

std::optional<tk::Event> TranslateEvent(const XEvent& ev, const Atoms& atoms) {
  using Kind = tk::Event::Kind;
  switch (ev.type) {
    case ButtonPress:
    case ButtonRelease: {
      const XButtonEvent& b = ev.xbutton;
      std::optional<tk::MouseButton> button = TranslateButton(b.button);
      if (!button) return std::nullopt;
      tk::Event e = Pointer(ev.type == ButtonPress ? Kind::kButtonPress
                                                   : Kind::kButtonRelease,
                            b.window, b.x, b.y, b.x_root, b.y_root);
      e.button = *button;
      return e;
    }
    case MotionNotify: {
      const XMotionEvent& m = ev.xmotion;
      return Pointer(Kind::kMotion, m.window, m.x, m.y, m.x_root, m.y_root);
    }
    case EnterNotify:
    case LeaveNotify: {
      // Coming and going wake the pointer check at once, which is what
      // raises pointer-left when the pointer leaves straight off the panel.
      const XCrossingEvent& c = ev.xcrossing;
      return Pointer(Kind::kMotion, c.window, c.x, c.y, c.x_root, c.y_root);
    }
    case KeyPress: {
      tk::Event e = Make(Kind::kKeyPress, ev.xkey.window);
      e.key = TranslateKey(ev.xkey);
      return e;
    }
    case FocusIn:
    case FocusOut:
      if (!IsActivation(ev.xfocus)) return std::nullopt;
      return Make(ev.type == FocusIn ? Kind::kActivate : Kind::kDeactivate,
                  ev.xfocus.window);
    case ClientMessage: {
      const XClientMessageEvent& m = ev.xclient;
      if (m.message_type == atoms.wm_protocols && m.format == 32 &&
          static_cast<Atom>(m.data.l[0]) == atoms.wm_delete_window) {
        return Make(Kind::kCloseRequest, m.window);
      }
      return std::nullopt;
    }
    case Expose: {
      const XExposeEvent& x = ev.xexpose;
      tk::Event e = Make(Kind::kExpose, x.window);
      e.area = {x.x, x.y, x.width, x.height};
      return e;
    }
    default:
      return std::nullopt;
  }
}

}  // namespace x11

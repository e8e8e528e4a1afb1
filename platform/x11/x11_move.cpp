#include "platform/x11/x11_move.h"

#include "platform/x11/x11_inject.h"
#include "platform/x11/x11_window.h"

namespace x11 {

namespace {

constexpr long kMoveResizeMove = 8;      // _NET_WM_MOVERESIZE_MOVE
constexpr long kSourceApplication = 1;  // a request from a normal program

}  // namespace

void UserMove::Begin(::Window window, tk::Point screen, tk::MouseButton button) {
  End();
  Display* d = c_.display();
  unsigned number = ButtonNumber(button);
  if (c_.WindowManagerSupports(c_.atoms().net_wm_moveresize)) {
    // HACK: the press that starts the move gave us an implicit pointer grab;
    // the window manager cannot grab the pointer to run the move while we
    // hold it (openbox then ignores the request), so let it go first.
    XUngrabPointer(d, CurrentTime);
    XEvent m = {};
    m.xclient.type = ClientMessage;
    m.xclient.window = window;
    m.xclient.message_type = c_.atoms().net_wm_moveresize;
    m.xclient.format = 32;
    m.xclient.data.l[0] = screen.x;
    m.xclient.data.l[1] = screen.y;
    m.xclient.data.l[2] = kMoveResizeMove;
    m.xclient.data.l[3] = number;
    m.xclient.data.l[4] = kSourceApplication;
    XSendEvent(d, c_.root(), False, SubstructureRedirectMask | SubstructureNotifyMask, &m);
    XFlush(d);
    return;
  }
  // No window manager: the implicit grab of the press already brings the
  // motion and the release here; the explicit grab makes sure of the motion
  // events whatever mask the press was delivered under.
  XGrabPointer(d, window, False, ButtonReleaseMask | PointerMotionMask, GrabModeAsync,
               GrabModeAsync, None, None, CurrentTime);
  own_ = OwnMove{window, number, screen, ScreenOrigin(c_, window)};
}

bool UserMove::Filter(const XEvent& event) {
  if (!own_) return false;
  if (event.type == MotionNotify) {
    // Only the latest position matters; skip the motion queued behind it.
    XEvent latest = event;
    while (XCheckTypedEvent(c_.display(), MotionNotify, &latest)) {
    }
    tk::Point d = tk::Point{latest.xmotion.x_root, latest.xmotion.y_root} -
                  own_->start_pointer;
    tk::Point to = own_->start_origin + d;
    XMoveWindow(c_.display(), own_->window, to.x, to.y);
    return true;
  }
  if (event.type == ButtonRelease && event.xbutton.button == own_->button) {
    End();
    return true;
  }
  return false;
}

void UserMove::Forget(::Window window) {
  if (own_ && own_->window == window) End();
}

void UserMove::End() {
  if (!own_) return;
  own_.reset();
  XUngrabPointer(c_.display(), CurrentTime);
  XFlush(c_.display());
}

}  // namespace x11

#include "platform/x11/x11_display.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/shape.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <iterator>

namespace x11 {

namespace {

// The server is gone: nothing the program holds can be saved or shown, and
// Xlib must not return from here.
int LostConnection(Display*) {
  std::fputs("mouse: lost the connection to the X display\n", stderr);
  _exit(1);
}

// A protocol error outside any trap: a fault of ours or a race we did not
// foresee; worth a line, not worth stopping for.
int ReportProtocolError(Display* display, XErrorEvent* e) {
  char text[256];
  XGetErrorText(display, e->error_code, text, sizeof text);
  std::fprintf(stderr, "mouse: X error: %s (request %d.%d, resource 0x%lx)\n", text,
               e->request_code, e->minor_code, e->resourceid);
  return 0;
}

ErrorTrap* g_trap = nullptr;

}  // namespace

std::unique_ptr<Connection> Connection::Open(const char* name, std::string* error) {
  Display* display = XOpenDisplay(name);
  if (!display) {
    const char* shown = XDisplayName(name);
    *error = std::string("cannot open the X display \"") + (shown ? shown : "") + "\"";
    return nullptr;
  }
  XSetIOErrorHandler(LostConnection);
  XSetErrorHandler(ReportProtocolError);
  std::unique_ptr<Connection> c(new Connection(display));
  if (!c->FindVisual()) {
    *error = "the X display has no 24-bit TrueColor visual";
    return nullptr;
  }
  return c;
}

Connection::Connection(Display* display)
    : display_(display),
      screen_(DefaultScreen(display)),
      root_(RootWindow(display, screen_)) {
  static const char* const kNames[] = {
      "WM_PROTOCOLS",
      "WM_DELETE_WINDOW",
      "UTF8_STRING",
      "_NET_WM_NAME",
      "_NET_WM_PID",
      "_NET_WM_STATE",
      "_NET_WM_STATE_ABOVE",
      "_NET_WM_STATE_SKIP_TASKBAR",
      "_NET_WM_STATE_SKIP_PAGER",
      "_NET_WM_WINDOW_TYPE",
      "_NET_WM_WINDOW_TYPE_NORMAL",
      "_NET_WM_WINDOW_TYPE_DIALOG",
      "_NET_WM_WINDOW_TYPE_TOOLTIP",
      "_NET_WM_MOVERESIZE",
      "_NET_SUPPORTED",
      "_NET_SUPPORTING_WM_CHECK",
      "_MOTIF_WM_HINTS",
  };
  static_assert(std::size(kNames) * sizeof(Atom) == sizeof(Atoms));
  XInternAtoms(display_, const_cast<char**>(kNames), std::size(kNames), False,
               reinterpret_cast<Atom*>(&atoms_));

  int event_base, error_base;
  has_shape_ = XShapeQueryExtension(display_, &event_base, &error_base);
  int major, minor;
  has_xtest_ = XTestQueryExtension(display_, &event_base, &error_base, &major, &minor);
}

Connection::~Connection() {
  if (own_colormap_) XFreeColormap(display_, colormap_);
  XCloseDisplay(display_);
}

bool Connection::FindVisual() {
  Visual* v = DefaultVisual(display_, screen_);
  if (DefaultDepth(display_, screen_) == kDepth && v->c_class == TrueColor &&
      v->red_mask == 0xFF0000 && v->green_mask == 0xFF00 && v->blue_mask == 0xFF) {
    visual_ = v;
    colormap_ = DefaultColormap(display_, screen_);
    return true;
  }
  XVisualInfo info;
  if (!XMatchVisualInfo(display_, screen_, kDepth, TrueColor, &info) ||
      info.red_mask != 0xFF0000 || info.green_mask != 0xFF00 || info.blue_mask != 0xFF) {
    return false;
  }
  visual_ = info.visual;
  colormap_ = XCreateColormap(display_, root_, visual_, AllocNone);
  own_colormap_ = true;
  return true;
}

bool Connection::WindowManagerSupports(Atom feature) {
  // A window manager that has died leaves _NET_SUPPORTED behind; the check
  // window, which dies with it, says whether one is running.
  ErrorTrap trap(display_);
  std::vector<long> check =
      GetProperty32(display_, root_, atoms_.net_supporting_wm_check, XA_WINDOW);
  if (check.empty()) return false;
  std::vector<long> self = GetProperty32(display_, static_cast<::Window>(check[0]),
                                         atoms_.net_supporting_wm_check, XA_WINDOW);
  if (trap.Failed() || self.empty() || self[0] != check[0]) return false;
  for (long a : GetProperty32(display_, root_, atoms_.net_supported, XA_ATOM)) {
    if (static_cast<Atom>(a) == feature) return true;
  }
  return false;
}

std::vector<long> GetProperty32(Display* display, ::Window window, Atom property,
                                Atom type) {
  Atom actual_type;
  int actual_format;
  unsigned long count, remaining;
  unsigned char* data = nullptr;
  std::vector<long> out;
  if (XGetWindowProperty(display, window, property, 0, 1024, False, type, &actual_type,
                         &actual_format, &count, &remaining, &data) == Success &&
      actual_type == type && actual_format == 32 && data) {
    const long* values = reinterpret_cast<const long*>(data);
    out.assign(values, values + count);
  }
  if (data) XFree(data);
  return out;
}

ErrorTrap::ErrorTrap(Display* display)
    : display_(display), previous_trap_(g_trap) {
  SyncIfOutstanding();
  previous_handler_ = XSetErrorHandler(Handle);
  g_trap = this;
}

ErrorTrap::~ErrorTrap() {
  SyncIfOutstanding();
  XSetErrorHandler(previous_handler_);
  g_trap = previous_trap_;
}

bool ErrorTrap::Failed() {
  SyncIfOutstanding();
  return failed_;
}

void ErrorTrap::SyncIfOutstanding() {
  if (LastKnownRequestProcessed(display_) != NextRequest(display_) - 1) {
    XSync(display_, False);
  }
}

int ErrorTrap::Handle(Display*, XErrorEvent*) {
  if (g_trap) g_trap->failed_ = true;
  return 0;
}

}  // namespace x11

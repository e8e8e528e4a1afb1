#include "platform/x11/x11_window.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <bit>
#include <climits>
#include <vector>

namespace x11 {

namespace {

constexpr long kEventMask = ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                            EnterWindowMask | LeaveWindowMask | KeyPressMask |
                            FocusChangeMask | ExposureMask | StructureNotifyMask;

// The Motif hints, which window managers still read for "no frame".
struct MotifHints {
  long flags;
  long functions;
  long decorations;
  long input_mode;
  long status;
};
constexpr long kMotifHintsDecorations = 1L << 1;

void SetAtoms(Connection& c, ::Window w, Atom property, const std::vector<Atom>& atoms) {
  XChangeProperty(c.display(), w, property, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(atoms.data()),
                  static_cast<int>(atoms.size()));
}

void SetIdentity(Connection& c, ::Window w) {
  XClassHint class_hint;
  char name[] = "mouse";
  char class_name[] = "Mouse";
  class_hint.res_name = name;
  class_hint.res_class = class_name;
  XSetClassHint(c.display(), w, &class_hint);

  // The pid is only meaningful with the machine it runs on.
  char host[HOST_NAME_MAX + 1] = {};
  if (gethostname(host, sizeof host - 1) == 0) {
    XTextProperty machine;
    char* list[] = {host};
    if (XStringListToTextProperty(list, 1, &machine)) {
      XSetWMClientMachine(c.display(), w, &machine);
      XFree(machine.value);
    }
    long pid = getpid();
    XChangeProperty(c.display(), w, c.atoms().net_wm_pid, XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<unsigned char*>(&pid), 1);
  }
}

void SetPlacement(Connection& c, ::Window w, tk::Rect bounds) {
  // "User-specified" position and size, fixed: the window manager puts the
  // window exactly where asked and offers no resizing.
  XSizeHints* size = XAllocSizeHints();
  size->flags = USPosition | PPosition | USSize | PSize | PMinSize | PMaxSize | PWinGravity;
  size->x = bounds.left;
  size->y = bounds.top;
  size->width = size->min_width = size->max_width = bounds.width;
  size->height = size->min_height = size->max_height = bounds.height;
  size->win_gravity = NorthWestGravity;
  XSetWMNormalHints(c.display(), w, size);
  XFree(size);

  XWMHints* hints = XAllocWMHints();
  hints->flags = InputHint | StateHint;
  hints->input = True;
  hints->initial_state = NormalState;
  XSetWMHints(c.display(), w, hints);
  XFree(hints);
}

}  // namespace

::Window CreateTopLevel(Connection& c, const tk::WindowSpec& window_spec, WindowRole role) {
  const Atoms& a = c.atoms();
  XSetWindowAttributes attrs = {};
  attrs.background_pixmap = None;
  attrs.border_pixel = 0;
  attrs.colormap = c.colormap();
  attrs.event_mask = kEventMask;
  attrs.bit_gravity = NorthWestGravity;
  ::Window w = XCreateWindow(
      c.display(), c.root(), window_spec.bounds.left, window_spec.bounds.top,
      static_cast<unsigned>(window_spec.bounds.width), static_cast<unsigned>(window_spec.bounds.height),
      0, Connection::kDepth, InputOutput, c.visual(),
      CWBackPixmap | CWBorderPixel | CWColormap | CWEventMask | CWBitGravity, &attrs);

  SetTitle(c, w, window_spec.title);
  SetIdentity(c, w);
  SetPlacement(c, w, window_spec.bounds);
  Atom protocols[] = {a.wm_delete_window};
  XSetWMProtocols(c.display(), w, protocols, 1);

  // A normal window, which window managers keep above when asked and leave
  // unframed when asked. (Openbox does not give the focus to a new normal
  // window that skips the taskbar: there the panel is first activated by
  // the first press on it, a start-up the program allows for.)
  SetAtoms(c, w, a.net_wm_window_type,
           {role == WindowRole::kDialog ? a.net_wm_window_type_dialog
                                        : a.net_wm_window_type_normal});
  if (window_spec.frameless) {
    MotifHints motif = {kMotifHintsDecorations, 0, 0, 0, 0};
    XChangeProperty(c.display(), w, a.motif_wm_hints, a.motif_wm_hints, 32,
                    PropModeReplace, reinterpret_cast<unsigned char*>(&motif), 5);
  }
  // Set before mapping, the state is part of the window manager's first
  // look at the window: it starts in the "above" layer and unlisted.
  std::vector<Atom> state;
  if (window_spec.topmost) state.push_back(a.net_wm_state_above);
  if (window_spec.skip_taskbar) {
    state.push_back(a.net_wm_state_skip_taskbar);
    state.push_back(a.net_wm_state_skip_pager);
  }
  if (!state.empty()) SetAtoms(c, w, a.net_wm_state, state);
  return w;
}

::Window CreatePopup(Connection& c, tk::Rect bounds, int border_width) {
  XSetWindowAttributes attrs = {};
  attrs.background_pixmap = None;
  attrs.border_pixel = 0;  // black in a TrueColor visual
  attrs.colormap = c.colormap();
  attrs.override_redirect = True;
  attrs.save_under = True;
  attrs.event_mask = ExposureMask;
  ::Window w = XCreateWindow(
      c.display(), c.root(), bounds.left, bounds.top,
      static_cast<unsigned>(bounds.width), static_cast<unsigned>(bounds.height),
      static_cast<unsigned>(border_width), Connection::kDepth, InputOutput, c.visual(),
      CWBackPixmap | CWBorderPixel | CWColormap | CWOverrideRedirect | CWSaveUnder |
          CWEventMask,
      &attrs);
  SetIdentity(c, w);
  SetAtoms(c, w, c.atoms().net_wm_window_type, {c.atoms().net_wm_window_type_tooltip});
  return w;
}

void SetTitle(Connection& c, ::Window w, const std::string& title) {
  const Atoms& a = c.atoms();
  const auto* bytes = reinterpret_cast<const unsigned char*>(title.data());
  int length = static_cast<int>(title.size());
  // WM_NAME is Latin-1 by its type; a title beyond ASCII goes there as
  // UTF-8, which is what window managers make of it anyway.
  bool ascii = true;
  for (unsigned char ch : title) ascii &= ch < 0x80;
  XChangeProperty(c.display(), w, XA_WM_NAME, ascii ? XA_STRING : a.utf8_string, 8,
                  PropModeReplace, bytes, length);
  XChangeProperty(c.display(), w, a.net_wm_name, a.utf8_string, 8, PropModeReplace, bytes,
                  length);
}

tk::Point ScreenOrigin(Connection& c, ::Window window) {
  int x = 0, y = 0;
  ::Window child;
  XTranslateCoordinates(c.display(), window, c.root(), 0, 0, &x, &y, &child);
  return {x, y};
}

void PutFrame(Connection& c, ::Window window, GC gc, const tk::Frame& frame,
              tk::Rect area) {
  area = area.Intersected({0, 0, frame.width, frame.height});
  if (area.empty() || !frame.data) return;
  XImage* image = XCreateImage(c.display(), c.visual(), Connection::kDepth, ZPixmap, 0,
                               reinterpret_cast<char*>(const_cast<std::uint8_t*>(frame.data)),
                               static_cast<unsigned>(frame.width),
                               static_cast<unsigned>(frame.height), 32, frame.stride);
  if (!image) return;
  // The canvas writes whole native-endian words; Xlib converts when the
  // server's order differs.
  image->byte_order = std::endian::native == std::endian::little ? LSBFirst : MSBFirst;
  XPutImage(c.display(), window, gc, image, area.left, area.top, area.left, area.top,
            static_cast<unsigned>(area.width), static_cast<unsigned>(area.height));
  image->data = nullptr;  // the canvas owns the pixels
  XDestroyImage(image);
}

}  // namespace x11

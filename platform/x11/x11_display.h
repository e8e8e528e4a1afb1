#pragma once

#include <X11/Xlib.h>

#include <memory>
#include <string>
#include <vector>

namespace x11 {

// The atoms the backend speaks, interned once in one round trip.
struct Atoms {
  Atom wm_protocols;
  Atom wm_delete_window;
  Atom utf8_string;
  Atom net_wm_name;
  Atom net_wm_pid;
  Atom net_wm_state;
  Atom net_wm_state_above;
  Atom net_wm_state_skip_taskbar;
  Atom net_wm_state_skip_pager;
  Atom net_wm_window_type;
  Atom net_wm_window_type_normal;
  Atom net_wm_window_type_dialog;
  Atom net_wm_window_type_tooltip;
  Atom net_wm_moveresize;
  Atom net_supported;
  Atom net_supporting_wm_check;
  Atom motif_wm_hints;
};

// The one connection to the X server, with what the backend found out about
// it when it opened: atoms, the visual it paints with, the extensions.
class Connection {
 public:
  // Opens `name` (null: $DISPLAY). On failure returns null and says why.
  static std::unique_ptr<Connection> Open(const char* name, std::string* error);
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  Display* display() const { return display_; }
  ::Window root() const { return root_; }
  int screen_width() const { return DisplayWidth(display_, screen_); }
  int screen_height() const { return DisplayHeight(display_, screen_); }
  const Atoms& atoms() const { return atoms_; }

  // A 24-bit TrueColor visual whose pixels are 0x00RRGGBB, as canvases draw.
  Visual* visual() const { return visual_; }
  Colormap colormap() const { return colormap_; }
  static constexpr int kDepth = 24;

  bool has_shape() const { return has_shape_; }
  bool has_xtest() const { return has_xtest_; }

  // Whether a running EWMH window manager announces `feature`. Asked each
  // time, since a window manager may come or go while the program runs.
  bool WindowManagerSupports(Atom feature);

 private:
  explicit Connection(Display* display);
  bool FindVisual();

  Display* display_;
  int screen_;
  ::Window root_;
  Atoms atoms_{};
  Visual* visual_ = nullptr;
  Colormap colormap_ = 0;
  bool own_colormap_ = false;
  bool has_shape_ = false;
  bool has_xtest_ = false;
};

// Traps the protocol errors of the requests made while it lives (a window of
// another client may vanish at any moment). It syncs with the server before
// it installs itself and before it restores the previous handler, so the
// errors it sees are exactly those of its own requests; when no request is
// outstanding it skips the sync, which keeps a trap around a request with a
// reply as cheap as the request.
class ErrorTrap {
 public:
  explicit ErrorTrap(Display* display);
  ~ErrorTrap();
  ErrorTrap(const ErrorTrap&) = delete;
  ErrorTrap& operator=(const ErrorTrap&) = delete;

  // Whether an error has come so far (syncs first).
  bool Failed();

 private:
  static int Handle(Display* display, XErrorEvent* event);
  void SyncIfOutstanding();

  Display* display_;
  int (*previous_handler_)(Display*, XErrorEvent*);
  ErrorTrap* previous_trap_;
  bool failed_ = false;
};

// A 32-bit property of `window` as a list of longs (Xlib's format-32 form);
// empty when absent or of another type.
std::vector<long> GetProperty32(Display* display, ::Window window, Atom property,
                                Atom type);

}  // namespace x11

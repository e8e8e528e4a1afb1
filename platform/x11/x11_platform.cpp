#include "platform/x11/x11_platform.h"

#include <X11/Xlib.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/cairo/cairo_canvas.h"
#include "platform/x11/x11_display.h"
#include "platform/x11/x11_events.h"
#include "platform/x11/x11_inject.h"
#include "platform/x11/x11_message_window.h"
#include "platform/x11/x11_move.h"
#include "platform/x11/x11_pointer.h"
#include "platform/x11/x11_shape.h"
#include "platform/x11/x11_tooltip.h"
#include "platform/x11/x11_wait.h"
#include "platform/x11/x11_window.h"

namespace x11 {

namespace {

::Window ToX(tk::WindowHandle h) { return static_cast<::Window>(h); }
tk::WindowHandle ToHandle(::Window w) { return static_cast<tk::WindowHandle>(w); }

// The toolkit's Platform over one Xlib connection, on the loop's thread.
// Window handles are the X window ids.
class X11Platform final : public tk::Platform {
 public:
  explicit X11Platform(std::unique_ptr<Connection> connection)
      : c_(std::move(connection)), move_(*c_), tooltip_(*c_) {}

  ~X11Platform() override {
    messages_.clear();
    if (gc_) XFreeGC(c_->display(), gc_);
  }

  tk::Millis Now() override { return MonotonicMillis(); }

  std::optional<tk::Event> PollEvent() override {
    Display* d = c_->display();
    for (;;) {
      // A signal ends the program the way the window manager's close does.
      if (signals_.Take() && !windows_.empty()) {
        tk::Event e;
        e.kind = tk::Event::Kind::kCloseRequest;
        e.window = ToHandle(windows_.front().window);
        return e;
      }
      if (XPending(d) == 0) return std::nullopt;
      XEvent event;
      XNextEvent(d, &event);
      if (std::optional<tk::Event> e = Handle(event)) return e;
    }
  }

  void WaitEvents(std::optional<tk::Millis> deadline) override {
    Display* d = c_->display();
    // Events in Xlib's queue would not wake the poll, and flushing reads
    // what has come into the socket into that queue: so flush first, then
    // look at the queue. What comes after that wakes the poll.
    XFlush(d);
    if (XEventsQueued(d, QueuedAlready) > 0 || signals_.Pending()) return;
    WaitReadable(ConnectionNumber(d), signals_.fd(), deadline);
  }

  tk::PointerState QueryPointer() override {
    return x11::QueryPointer(
        *c_, [this](::Window w) { return Find(w) != nullptr; },
        [this](::Window w) {
          return std::any_of(windows_.begin(), windows_.end(), [w](const TopLevel& t) {
            return std::find(t.frames.begin(), t.frames.end(), w) != t.frames.end();
          });
        });
  }

  tk::WindowHandle CreateWindow(const tk::WindowSpec& window_spec) override {
    ::Window w = CreateTopLevel(*c_, window_spec, WindowRole::kPanel);
    windows_.push_back({w, window_spec.bounds.origin(), false, {}});
    if (!gc_) gc_ = XCreateGC(c_->display(), w, 0, nullptr);
    // Once this returns the window exists for every client, the window
    // manager included; it costs one round trip per window.
    XSync(c_->display(), False);
    return ToHandle(w);
  }

  void DestroyWindow(tk::WindowHandle window) override {
    TopLevel* t = Find(ToX(window));
    if (!t) return;
    move_.Forget(t->window);
    XDestroyWindow(c_->display(), t->window);
    XFlush(c_->display());
    std::erase_if(windows_, [&](const TopLevel& w) { return w.window == ToX(window); });
  }

  void SetShape(tk::WindowHandle window, const std::vector<tk::Rect>& rects) override {
    if (!Find(ToX(window))) return;
    SetWindowShape(*c_, ToX(window), rects);
    XFlush(c_->display());
  }

  void ShowWindow(tk::WindowHandle window) override {
    if (!Find(ToX(window))) return;
    XMapRaised(c_->display(), ToX(window));
    XFlush(c_->display());
  }

  std::unique_ptr<tk::Canvas> CreateCanvas(int width, int height) override {
    return std::make_unique<cr::CairoCanvas>(width, height);
  }

  void Present(tk::WindowHandle window, const tk::Frame& frame, tk::Rect area) override {
    if (!Find(ToX(window))) return;
    PutFrame(*c_, ToX(window), gc_, frame, area);
    XFlush(c_->display());
  }

  void BeginUserMove(tk::WindowHandle window, tk::Point screen,
                     tk::MouseButton button) override {
    if (!Find(ToX(window))) return;
    move_.Begin(ToX(window), screen, button);
  }

  // The implicit grab that a press starts already brings every motion and
  // the release to the pressed window, wherever the pointer goes; that is
  // all the toolkit captures for. No grab of our own, so none can be left
  // behind.
  void SetCapture(tk::WindowHandle) override {}
  void ReleaseCapture() override {}

  void ShowTooltip(const std::string& text, tk::Point screen) override {
    tooltip_.Show(text, screen);
  }
  void HideTooltip() override { tooltip_.Hide(); }

  void InjectButton(tk::MouseButton button, bool press) override {
    x11::InjectButton(*c_, button, press);
  }

  void ReportError(const std::string& title, const std::string& message) override {
    std::fprintf(stderr, "%s: %s\n", title.c_str(), message.c_str());
    messages_.push_back(std::make_unique<MessageWindow>(*c_, title, message));
  }

 private:
  struct TopLevel {
    ::Window window;
    tk::Point requested;  // where the program asked for it
    bool placement_checked = false;
    // The window manager's windows between it and the root, innermost first.
    std::vector<::Window> frames;
  };

  TopLevel* Find(::Window w) {
    for (TopLevel& t : windows_) {
      if (t.window == w) return &t;
    }
    return nullptr;
  }

  // Routes one X event: the backend's own windows and moves first, then the
  // program's windows.
  std::optional<tk::Event> Handle(const XEvent& event) {
    if (move_.Filter(event)) return std::nullopt;
    if (tooltip_.HandleEvent(event)) return std::nullopt;
    for (auto it = messages_.begin(); it != messages_.end(); ++it) {
      if ((*it)->window() != event.xany.window) continue;
      if ((*it)->HandleEvent(event)) messages_.erase(it);
      return std::nullopt;
    }
    TopLevel* t = Find(event.xany.window);
    if (!t) return std::nullopt;
    if (event.type == MapNotify) {
      CheckPlacement(*t);
      return std::nullopt;
    }
    if (event.type == ReparentNotify) {
      FindFrames(*t);
      return std::nullopt;
    }
    return TranslateEvent(event, c_->atoms());
  }

  void FindFrames(TopLevel& t) {
    t.frames.clear();
    ErrorTrap trap(c_->display());  // the frames may go as we look
    ::Window w = t.window;
    while (t.frames.size() < 8) {
      ::Window root, parent;
      ::Window* children = nullptr;
      unsigned count = 0;
      if (!XQueryTree(c_->display(), w, &root, &parent, &children, &count)) break;
      if (children) XFree(children);
      if (parent == root || parent == None) break;
      t.frames.push_back(parent);
      w = parent;
    }
  }

  void CheckPlacement(TopLevel& t) {
    if (t.placement_checked) return;
    t.placement_checked = true;
    if (ScreenOrigin(*c_, t.window) == t.requested) return;
    // HACK: some window managers place a new window by their own policy
    // whatever its position hints say; moving it once after it is mapped is
    // a request they do follow.
    XMoveWindow(c_->display(), t.window, t.requested.x, t.requested.y);
    XFlush(c_->display());
  }

  std::unique_ptr<Connection> c_;
  SignalPipe signals_;
  UserMove move_;
  Tooltip tooltip_;
  std::vector<TopLevel> windows_;  // made by CreateWindow; the first is the main one
  std::vector<std::unique_ptr<MessageWindow>> messages_;
  GC gc_ = nullptr;
};

}  // namespace

std::unique_ptr<tk::Platform> OpenPlatform(const char* display_name, std::string* error) {
  std::unique_ptr<Connection> c = Connection::Open(display_name, error);
  if (!c) return nullptr;
  if (!c->has_shape()) {
    std::fputs("mouse: the X server has no SHAPE extension; the panel stays rectangular\n",
               stderr);
  }
  if (!c->has_xtest()) {
    std::fputs("mouse: the X server has no XTEST extension; the panel cannot click\n",
               stderr);
  }
  return std::make_unique<X11Platform>(std::move(c));
}

std::unique_ptr<tk::Platform> OpenPlatform(std::string* error) {
  return OpenPlatform(nullptr, error);
}

}  // namespace x11

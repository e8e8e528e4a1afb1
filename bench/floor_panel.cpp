// The floor the panel is measured against: the least a bare Xlib program
// must do to behave like the panel as the benchmark sees it. One window
// where the panel stands, a Click button that clicks itself after 3 s of
// rest and then clicks at the pointer DELAY seconds later, a status line
// repainted when the pointer comes and goes, and a title box whose colour
// steps every 16 ms. No toolkit, no fonts, no text.
//
//   floor_panel [DELAY-SECONDS]   (1 when not given)

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <poll.h>
#include <time.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

struct Box {
  int x, y, w, h;
  bool Contains(int px, int py) const { return px >= x && py >= y && px < x + w && py < y + h; }
};
constexpr Box kWindow{297, 229, 175, 258};
constexpr Box kClick{32, 56, 57, 33};
constexpr Box kStatus{24, 160, 121, 25};
constexpr Box kTitle{66, 221, 39, 14};
constexpr std::int64_t kDwellNs = 3'000'000'000;
constexpr std::int64_t kTickNs = 16'000'000;

std::int64_t NowNs() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

class Floor {
 public:
  Floor(Display* d, std::int64_t delay_ns) : d_(d), delay_ns_(delay_ns) {
    XSetWindowAttributes attrs = {};
    attrs.background_pixmap = None;
    attrs.event_mask = ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                       EnterWindowMask | LeaveWindowMask | ExposureMask;
    w_ = XCreateWindow(d_, DefaultRootWindow(d_), kWindow.x, kWindow.y,
                       static_cast<unsigned>(kWindow.w), static_cast<unsigned>(kWindow.h), 0,
                       CopyFromParent, InputOutput, CopyFromParent,
                       CWBackPixmap | CWEventMask, &attrs);
    XSizeHints* size = XAllocSizeHints();
    size->flags = USPosition | USSize;
    size->x = kWindow.x;
    size->y = kWindow.y;
    XSetWMNormalHints(d_, w_, size);
    XFree(size);
    long motif[5] = {2, 0, 0, 0, 0};
    Atom motif_atom = XInternAtom(d_, "_MOTIF_WM_HINTS", False);
    XChangeProperty(d_, w_, motif_atom, motif_atom, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(motif), 5);
    Atom state = XInternAtom(d_, "_NET_WM_STATE", False);
    Atom above = XInternAtom(d_, "_NET_WM_STATE_ABOVE", False);
    XChangeProperty(d_, w_, state, XInternAtom(d_, "ATOM", False), 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&above), 1);
    XStoreName(d_, w_, "Floor");
    gc_ = XCreateGC(d_, w_, 0, nullptr);
    pixels_.resize(static_cast<std::size_t>(kTitle.w * kTitle.h));
    title_ = XCreateImage(d_, DefaultVisual(d_, DefaultScreen(d_)), 24, ZPixmap, 0,
                          reinterpret_cast<char*>(pixels_.data()),
                          static_cast<unsigned>(kTitle.w), static_cast<unsigned>(kTitle.h),
                          32, kTitle.w * 4);
    XMapRaised(d_, w_);
    tick_at_ = NowNs() + kTickNs;
  }

  void Run() {
    for (;;) {
      while (XPending(d_) > 0) {
        XEvent e;
        XNextEvent(d_, &e);
        Handle(e);
      }
      std::int64_t now = NowNs();
      if (now >= tick_at_) {
        tick_at_ += kTickNs;
        if (tick_at_ <= now) tick_at_ = now + kTickNs;
        Tick();
      }
      if (dwell_at_ && now >= dwell_at_) {
        dwell_at_ = 0;
        Click();
      }
      if (action_at_ && now >= action_at_) {
        action_at_ = 0;
        Click();
      }
      XFlush(d_);
      std::int64_t next = tick_at_;
      if (dwell_at_) next = std::min(next, dwell_at_);
      if (action_at_) next = std::min(next, action_at_);
      std::int64_t left = next - NowNs();
      if (left <= 0) continue;
      pollfd fd{ConnectionNumber(d_), POLLIN, 0};
      timespec timeout{static_cast<time_t>(left / 1'000'000'000),
                       static_cast<long>(left % 1'000'000'000)};
      ppoll(&fd, 1, &timeout, nullptr);
    }
  }

 private:
  void Handle(const XEvent& e) {
    switch (e.type) {
      case Expose:
        Fill({0, 0, kWindow.w, kWindow.h}, 0x93c4e5);
        Fill(kStatus, 0xc0c0c0);
        break;
      case MotionNotify:
        Hover(kClick.Contains(e.xmotion.x, e.xmotion.y));
        break;
      case EnterNotify:
        Hover(kClick.Contains(e.xcrossing.x, e.xcrossing.y));
        break;
      case LeaveNotify:
        Hover(false);
        break;
      case ButtonRelease:
        if (e.xbutton.button == Button1 && kClick.Contains(e.xbutton.x, e.xbutton.y)) {
          action_at_ = NowNs() + delay_ns_;
        }
        break;
      default:
        break;
    }
  }

  void Hover(bool on) {
    if (on == on_click_) return;
    on_click_ = on;
    dwell_at_ = on ? NowNs() + kDwellNs : 0;
    Fill(kStatus, on ? 0xb0b0b0 : 0xc0c0c0);
  }

  void Fill(Box b, unsigned long pixel) {
    XSetForeground(d_, gc_, pixel);
    XFillRectangle(d_, w_, gc_, b.x, b.y, static_cast<unsigned>(b.w),
                   static_cast<unsigned>(b.h));
  }

  void Tick() {
    step_ = (step_ + 1) % 28;
    int level = step_ < 15 ? step_ : 28 - step_;
    std::uint32_t grey = static_cast<std::uint32_t>(255 - 17 * level);
    std::fill(pixels_.begin(), pixels_.end(), grey << 16 | grey << 8 | grey);
    XPutImage(d_, w_, gc_, title_, 0, 0, kTitle.x, kTitle.y, static_cast<unsigned>(kTitle.w),
              static_cast<unsigned>(kTitle.h));
  }

  void Click() {
    XTestFakeButtonEvent(d_, Button1, True, CurrentTime);
    XTestFakeButtonEvent(d_, Button1, False, CurrentTime);
  }

  Display* d_;
  std::int64_t delay_ns_;
  Window w_;
  GC gc_;
  std::vector<std::uint32_t> pixels_;
  XImage* title_;
  bool on_click_ = false;
  int step_ = 0;
  std::int64_t tick_at_ = 0;
  std::int64_t dwell_at_ = 0;
  std::int64_t action_at_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  Display* d = XOpenDisplay(nullptr);
  if (!d) return 1;
  long delay_s = argc > 1 ? std::atol(argv[1]) : 1;
  Floor floor(d, delay_s * 1'000'000'000);
  floor.Run();
}

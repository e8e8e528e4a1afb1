// GoogleTest first: Xlib's macros (None, Bool, Status) would break its
// headers.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/shape.h>
#include <X11/keysym.h>
#include <signal.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/x11/x11_platform.h"
#include "platform/x11/x11_wait.h"
#include "platform/x11/xvfb_server.h"
#include "toolkit/canvas.h"

namespace {

using tk::Event;
using tk::Point;
using tk::Rect;

// The panel as the program creates it, cut to a rough oval: its corners,
// (1, 1) among them, lie outside.
const Rect kPanel{297, 229, 175, 258};
const std::vector<Rect> kShape = {
    {10, 0, 155, 10}, {0, 10, 175, 238}, {10, 248, 155, 10}};

// One Xvfb for the suite; each test has a fresh platform connection and an
// observer connection that plays the other clients and the user's hand.
class X11PlatformTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    server_ = new x11_testing::XvfbServer;
    if (!server_->Start()) {
      delete server_;
      server_ = nullptr;
    }
  }
  static void TearDownTestSuite() {
    delete server_;
    server_ = nullptr;
  }

  void SetUp() override {
    if (!server_) GTEST_SKIP() << "no Xvfb to run against";
    std::string error;
    platform_ = x11::OpenPlatform(server_->name().c_str(), &error);
    ASSERT_TRUE(platform_) << error;
    observer_ = XOpenDisplay(server_->name().c_str());
    ASSERT_TRUE(observer_);
    root_ = DefaultRootWindow(observer_);
  }

  void TearDown() override {
    platform_.reset();
    if (observer_) XCloseDisplay(observer_);
  }

  Atom A(const char* name) { return XInternAtom(observer_, name, False); }

  // Takes every event the platform has, keeping them in events_.
  void Pump() {
    while (std::optional<Event> e = platform_->PollEvent()) events_.push_back(*e);
  }

  // Runs the platform's side of the loop until `done` holds or 5 s pass.
  bool WaitFor(const std::function<bool()>& done) {
    tk::Millis give_up = platform_->Now() + 5000;
    for (;;) {
      Pump();
      if (done()) return true;
      if (platform_->Now() >= give_up) return false;
      platform_->WaitEvents(platform_->Now() + 10);
    }
  }

  // The first event of `kind` taken so far, removing it and all before it.
  std::optional<Event> Take(Event::Kind kind) {
    for (std::size_t i = 0; i < events_.size(); ++i) {
      if (events_[i].kind == kind) {
        Event e = events_[i];
        events_.erase(events_.begin(), events_.begin() + static_cast<long>(i) + 1);
        return e;
      }
    }
    return std::nullopt;
  }

  std::optional<Event> WaitForEvent(Event::Kind kind) {
    std::optional<Event> found;
    WaitFor([&] { return (found = Take(kind)).has_value(); });
    return found;
  }

  // Whether `w` is mapped and visible; false too when it is gone.
  bool Viewable(Window w) {
    XSync(observer_, False);
    auto previous = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    XWindowAttributes a;
    bool viewable = XGetWindowAttributes(observer_, w, &a) && a.map_state == IsViewable;
    XSetErrorHandler(previous);
    return viewable;
  }

  Point OriginOf(Window w) {
    int x, y;
    Window child;
    XTranslateCoordinates(observer_, w, root_, 0, 0, &x, &y, &child);
    return {x, y};
  }

  tk::WindowHandle ShowPanel(bool shaped = true) {
    tk::WindowSpec window_spec;
    window_spec.title = "Mouse";
    window_spec.bounds = kPanel;
    tk::WindowHandle h = platform_->CreateWindow(window_spec);
    if (shaped) platform_->SetShape(h, kShape);
    platform_->ShowWindow(h);
    EXPECT_TRUE(WaitFor([&] { return Viewable(h); }));
    return h;
  }

  void MovePointer(Point screen) {
    XTestFakeMotionEvent(observer_, 0, screen.x, screen.y, CurrentTime);
    XSync(observer_, False);
  }

  void FakeButton(unsigned button, bool press) {
    XTestFakeButtonEvent(observer_, button, press, CurrentTime);
    XSync(observer_, False);
  }

  // A plain window of "another program", above everything mapped before it.
  Window MapOtherWindow(Rect r, long mask) {
    XSetWindowAttributes attrs = {};
    attrs.override_redirect = True;
    attrs.event_mask = mask;
    attrs.background_pixel = 0x808080;
    Window w = XCreateWindow(observer_, root_, r.left, r.top, r.width, r.height, 0,
                             CopyFromParent, InputOutput, CopyFromParent,
                             CWOverrideRedirect | CWEventMask | CWBackPixel, &attrs);
    XMapRaised(observer_, w);
    XSync(observer_, False);
    return w;
  }

  // The observer's next event of `type`, waiting up to 5 s.
  std::optional<XEvent> ObserverEvent(int type) {
    auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < give_up) {
      while (XPending(observer_)) {
        XEvent e;
        XNextEvent(observer_, &e);
        if (e.type == type) return e;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return std::nullopt;
  }

  tk::Rgb ScreenPixel(Point p) {
    XImage* image = XGetImage(observer_, root_, p.x, p.y, 1, 1, AllPlanes, ZPixmap);
    unsigned long v = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    return {static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8),
            static_cast<std::uint8_t>(v)};
  }

  std::string StringProperty(Window w, Atom property, Atom type) {
    Atom actual;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    std::string out;
    if (XGetWindowProperty(observer_, w, property, 0, 1024, False, type, &actual, &format,
                           &count, &after, &data) == Success &&
        data && actual == type) {
      out.assign(reinterpret_cast<char*>(data), count);
    }
    if (data) XFree(data);
    return out;
  }

  std::vector<long> LongsProperty(Window w, Atom property, Atom type) {
    Atom actual;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    std::vector<long> out;
    if (XGetWindowProperty(observer_, w, property, 0, 1024, False, type, &actual, &format,
                           &count, &after, &data) == Success &&
        data && actual == type && format == 32) {
      out.assign(reinterpret_cast<long*>(data), reinterpret_cast<long*>(data) + count);
    }
    if (data) XFree(data);
    return out;
  }

  static x11_testing::XvfbServer* server_;
  std::unique_ptr<tk::Platform> platform_;
  Display* observer_ = nullptr;
  Window root_ = 0;
  std::vector<Event> events_;
};

x11_testing::XvfbServer* X11PlatformTest::server_ = nullptr;

TEST_F(X11PlatformTest, WindowIsCreatedHiddenWithEveryHintTheWindowManagerNeeds) {
  tk::WindowSpec window_spec;
  window_spec.title = "Mouse";
  window_spec.bounds = kPanel;
  Window w = platform_->CreateWindow(window_spec);
  XWindowAttributes attrs;
  ASSERT_TRUE(XGetWindowAttributes(observer_, w, &attrs));
  EXPECT_EQ(attrs.map_state, IsUnmapped);
  EXPECT_FALSE(attrs.override_redirect);  // managed, so the manager keeps it above
  EXPECT_EQ(attrs.width, 175);
  EXPECT_EQ(attrs.height, 258);
  EXPECT_EQ(attrs.depth, 24);

  EXPECT_EQ(StringProperty(w, XA_WM_NAME, XA_STRING), "Mouse");
  EXPECT_EQ(StringProperty(w, A("_NET_WM_NAME"), A("UTF8_STRING")), "Mouse");
  EXPECT_EQ(StringProperty(w, XA_WM_CLASS, XA_STRING), std::string("mouse\0Mouse\0", 12));

  std::vector<long> motif = LongsProperty(w, A("_MOTIF_WM_HINTS"), A("_MOTIF_WM_HINTS"));
  ASSERT_EQ(motif.size(), 5u);
  EXPECT_TRUE(motif[0] & 2) << "decorations field in use";
  EXPECT_EQ(motif[2], 0) << "no decorations";

  std::vector<long> state = LongsProperty(w, A("_NET_WM_STATE"), XA_ATOM);
  for (const char* s : {"_NET_WM_STATE_ABOVE", "_NET_WM_STATE_SKIP_TASKBAR",
                        "_NET_WM_STATE_SKIP_PAGER"}) {
    EXPECT_NE(std::find(state.begin(), state.end(), static_cast<long>(A(s))), state.end())
        << s;
  }
  EXPECT_EQ(LongsProperty(w, A("_NET_WM_WINDOW_TYPE"), XA_ATOM),
            std::vector<long>{static_cast<long>(A("_NET_WM_WINDOW_TYPE_NORMAL"))});

  XSizeHints size;
  long supplied;
  ASSERT_TRUE(XGetWMNormalHints(observer_, w, &size, &supplied));
  EXPECT_TRUE(size.flags & USPosition);
  EXPECT_TRUE((size.flags & PMinSize) && (size.flags & PMaxSize));
  EXPECT_EQ(size.min_width, 175);
  EXPECT_EQ(size.max_width, 175);
  EXPECT_EQ(size.min_height, 258);
  EXPECT_EQ(size.max_height, 258);

  XWMHints* hints = XGetWMHints(observer_, w);
  ASSERT_TRUE(hints);
  EXPECT_TRUE((hints->flags & InputHint) && hints->input);
  XFree(hints);

  Atom* protocols = nullptr;
  int count = 0;
  ASSERT_TRUE(XGetWMProtocols(observer_, w, &protocols, &count));
  EXPECT_NE(std::find(protocols, protocols + count, A("WM_DELETE_WINDOW")),
            protocols + count);
  XFree(protocols);

  platform_->ShowWindow(w);
  ASSERT_TRUE(WaitFor([&] { return Viewable(w); }));
  EXPECT_EQ(OriginOf(w), kPanel.origin());
}

TEST_F(X11PlatformTest, ShapeCutsDrawingAndPointerAlike) {
  Window w = ShowPanel();
  for (int kind : {ShapeBounding, ShapeInput}) {
    SCOPED_TRACE(kind == ShapeBounding ? "bounding" : "input");
    int count = 0, ordering = 0;
    XRectangle* rects = XShapeGetRectangles(observer_, w, kind, &count, &ordering);
    // The server may split or merge bands; what counts is the set of pixels.
    auto in_server_shape = [&](int x, int y) {
      for (int i = 0; i < count; ++i) {
        const XRectangle& r = rects[i];
        if (x >= r.x && x < r.x + r.width && y >= r.y && y < r.y + r.height) return true;
      }
      return false;
    };
    for (int y = 0; y < kPanel.height; y += 3) {
      for (int x = 0; x < kPanel.width; x += 3) {
        bool expected = false;
        for (const Rect& r : kShape) expected |= r.Contains({x, y});
        ASSERT_EQ(in_server_shape(x, y), expected) << x << "," << y;
      }
    }
    XFree(rects);
  }
  // No rectangles: the whole window again.
  platform_->SetShape(w, {});
  XSync(observer_, False);
  Bool bounding_shaped = False, clip_shaped = False;
  int bx, by, cx, cy;
  unsigned bw, bh, cw, ch;
  ASSERT_TRUE(XShapeQueryExtents(observer_, w, &bounding_shaped, &bx, &by, &bw, &bh,
                                 &clip_shaped, &cx, &cy, &cw, &ch));
  EXPECT_FALSE(bounding_shaped);
}

TEST_F(X11PlatformTest, PointerIsOverTheWindowOnlyInsideItsShapeAndUncovered) {
  Window w = ShowPanel();
  Point o = kPanel.origin();
  // Another program's window over part of the panel.
  MapOtherWindow({o.x + 100, o.y + 100, 50, 50}, 0);
  struct Case {
    const char* what;
    Point screen;
    bool ours;
  };
  const Case cases[] = {
      {"on a button", o + Point{60, 72}, true},
      {"at the top edge's band", o + Point{20, 2}, true},
      {"in the corner cut off by the shape", o + Point{1, 1}, false},
      {"under the other window", o + Point{120, 120}, false},
      {"beside the other window", o + Point{99, 120}, true},
      {"off the panel", {100, 100}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MovePointer(c.screen);
    tk::PointerState s = platform_->QueryPointer();
    EXPECT_EQ(s.screen, c.screen);
    EXPECT_EQ(s.window, c.ours ? w : tk::kNoWindow);
    if (c.ours) {
      EXPECT_EQ(s.position, c.screen - o);
    }
  }
}

TEST_F(X11PlatformTest, PointerIsFoundInsideAWindowManagersFrame) {
  Window w = ShowPanel();
  // What a reparenting window manager does: a frame, with the panel inside
  // it at an offset, the frame shaped as the panel.
  Point o = kPanel.origin();
  Window frame = MapOtherWindow({o.x - 4, o.y - 6, kPanel.width + 8, kPanel.height + 12}, 0);
  XReparentWindow(observer_, w, frame, 4, 6);
  XSync(observer_, False);
  ASSERT_TRUE(WaitFor([&] {
    MovePointer(o + Point{60, 72});
    return platform_->QueryPointer().window == w;
  }));
  EXPECT_EQ(platform_->QueryPointer().position, (Point{60, 72}));
  MovePointer(o + Point{1, 1});  // outside the panel's shape, on the frame
  EXPECT_EQ(platform_->QueryPointer().window, tk::kNoWindow);
}

TEST_F(X11PlatformTest, InjectedButtonsReachTheWindowUnderThePointer) {
  Window target = MapOtherWindow({700, 100, 200, 200}, ButtonPressMask | ButtonReleaseMask);
  MovePointer({750, 150});
  struct Case {
    tk::MouseButton button;
    unsigned number;
  };
  for (Case c : {Case{tk::MouseButton::kLeft, 1}, Case{tk::MouseButton::kMiddle, 2},
                 Case{tk::MouseButton::kRight, 3}}) {
    SCOPED_TRACE(c.number);
    platform_->InjectButton(c.button, true);
    platform_->InjectButton(c.button, false);
    // Nothing is pumped on the platform's side: the events must already be
    // on their way when InjectButton returns.
    std::optional<XEvent> press = ObserverEvent(ButtonPress);
    ASSERT_TRUE(press);
    EXPECT_EQ(press->xbutton.window, target);
    EXPECT_EQ(press->xbutton.button, c.number);
    EXPECT_EQ(press->xbutton.x_root, 750);
    EXPECT_EQ(press->xbutton.y_root, 150);
    std::optional<XEvent> release = ObserverEvent(ButtonRelease);
    ASSERT_TRUE(release);
    EXPECT_EQ(release->xbutton.button, c.number);
    EXPECT_EQ(release->xbutton.x_root, 750);
  }
}

TEST_F(X11PlatformTest, ButtonsOnTheWindowBecomeToolkitEvents) {
  Window w = ShowPanel();
  Point at = kPanel.origin() + Point{60, 72};
  MovePointer(at);
  struct Case {
    unsigned number;
    std::optional<tk::MouseButton> button;
  };
  const Case cases[] = {{1, tk::MouseButton::kLeft},
                        {2, tk::MouseButton::kMiddle},
                        {3, tk::MouseButton::kRight},
                        {4, std::nullopt},  // the wheel is not a button here
                        {5, std::nullopt}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.number);
    events_.clear();
    FakeButton(c.number, true);
    FakeButton(c.number, false);
    // A left click after it marks where this case's events end.
    FakeButton(1, true);
    FakeButton(1, false);
    ASSERT_TRUE(WaitFor([&] {
      return !events_.empty() && events_.back().kind == Event::Kind::kButtonRelease &&
             std::count_if(events_.begin(), events_.end(), [](const Event& e) {
               return e.kind == Event::Kind::kButtonRelease;
             }) == (c.button ? 2 : 1);
    }));
    std::optional<Event> press = Take(Event::Kind::kButtonPress);
    ASSERT_TRUE(press);
    EXPECT_EQ(press->window, w);
    EXPECT_EQ(press->button, c.button.value_or(tk::MouseButton::kLeft));
    EXPECT_EQ(press->position, (Point{60, 72}));
    EXPECT_EQ(press->screen, at);
    std::optional<Event> release = Take(Event::Kind::kButtonRelease);
    ASSERT_TRUE(release);
    EXPECT_EQ(release->button, press->button);
  }
}

TEST_F(X11PlatformTest, FocusAndKeysBecomeToolkitEvents) {
  Window w = ShowPanel();
  XSetInputFocus(observer_, w, RevertToPointerRoot, CurrentTime);
  XSync(observer_, False);
  std::optional<Event> activate = WaitForEvent(Event::Kind::kActivate);
  ASSERT_TRUE(activate);
  EXPECT_EQ(activate->window, w);

  struct Case {
    KeySym sym;
    bool shift;
    tk::Key key;
  };
  const Case cases[] = {
      {XK_Home, false, tk::Key::kHome},   {XK_End, false, tk::Key::kEnd},
      {XK_Left, false, tk::Key::kLeft},   {XK_Up, false, tk::Key::kUp},
      {XK_Right, false, tk::Key::kRight}, {XK_Down, false, tk::Key::kDown},
      {XK_Tab, false, tk::Key::kTab},     {XK_Tab, true, tk::Key::kBackTab},
      {XK_a, false, tk::Key::kOther},
  };
  KeyCode shift = XKeysymToKeycode(observer_, XK_Shift_L);
  for (const Case& c : cases) {
    SCOPED_TRACE(XKeysymToString(c.sym));
    KeyCode code = XKeysymToKeycode(observer_, c.sym);
    ASSERT_NE(code, 0);
    if (c.shift) XTestFakeKeyEvent(observer_, shift, True, CurrentTime);
    XTestFakeKeyEvent(observer_, code, True, CurrentTime);
    XTestFakeKeyEvent(observer_, code, False, CurrentTime);
    if (c.shift) XTestFakeKeyEvent(observer_, shift, False, CurrentTime);
    XSync(observer_, False);
    if (c.shift) {
      std::optional<Event> shift_key = WaitForEvent(Event::Kind::kKeyPress);
      ASSERT_TRUE(shift_key);
      EXPECT_EQ(shift_key->key, tk::Key::kOther);
    }
    std::optional<Event> key = WaitForEvent(Event::Kind::kKeyPress);
    ASSERT_TRUE(key);
    EXPECT_EQ(key->key, c.key);
  }

  XSetInputFocus(observer_, PointerRoot, RevertToPointerRoot, CurrentTime);
  XSync(observer_, False);
  EXPECT_TRUE(WaitForEvent(Event::Kind::kDeactivate));
}

TEST_F(X11PlatformTest, WindowManagerCloseAndSignalsAskTheMainWindowToClose) {
  Window main = ShowPanel();
  tk::WindowSpec second_spec;
  second_spec.bounds = {0, 0, 20, 20};
  Window second = platform_->CreateWindow(second_spec);

  XEvent m = {};
  m.xclient.type = ClientMessage;
  m.xclient.window = second;
  m.xclient.message_type = A("WM_PROTOCOLS");
  m.xclient.format = 32;
  m.xclient.data.l[0] = static_cast<long>(A("WM_DELETE_WINDOW"));
  m.xclient.data.l[1] = CurrentTime;
  XSendEvent(observer_, second, False, NoEventMask, &m);
  XSync(observer_, False);
  std::optional<Event> close = WaitForEvent(Event::Kind::kCloseRequest);
  ASSERT_TRUE(close);
  EXPECT_EQ(close->window, second);

  // A hang-up counts only where the tests were not started to ignore it.
  struct sigaction hang_up;
  sigaction(SIGHUP, nullptr, &hang_up);
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
    if (signal == SIGHUP && hang_up.sa_handler == SIG_IGN) continue;
    SCOPED_TRACE(signal);
    Pump();
    events_.clear();
    raise(signal);
    // The signal must also end a wait that has no deadline.
    platform_->WaitEvents(std::nullopt);
    std::optional<Event> e = platform_->PollEvent();
    ASSERT_TRUE(e);
    EXPECT_EQ(e->kind, Event::Kind::kCloseRequest);
    EXPECT_EQ(e->window, main);
  }
}

TEST(SignalPipe, AHangUpIgnoredFromTheStartStaysIgnored) {
  struct sigaction ignore = {}, saved;
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  ASSERT_EQ(sigaction(SIGHUP, &ignore, &saved), 0);
  {
    x11::SignalPipe signals;
    raise(SIGHUP);
    EXPECT_FALSE(signals.Pending()) << "nohup no longer keeps the panel";
    raise(SIGTERM);
    EXPECT_TRUE(signals.Take());
  }
  struct sigaction after;
  sigaction(SIGHUP, nullptr, &after);
  EXPECT_EQ(after.sa_handler, SIG_IGN);
  sigaction(SIGHUP, &saved, nullptr);
}

TEST_F(X11PlatformTest, WaitingEndsAtTheDeadlineOrAtAnEventAlreadyRead) {
  Window w = ShowPanel();
  Pump();
  tk::Millis start = platform_->Now();
  platform_->WaitEvents(start + 30);
  EXPECT_GE(platform_->Now(), start + 30);

  // Two events arrive together; taking the first reads both into Xlib's
  // queue, where the second wakes no poll on the socket.
  XEvent m = {};
  m.xclient.type = ClientMessage;
  m.xclient.window = w;
  m.xclient.message_type = A("WM_PROTOCOLS");
  m.xclient.format = 32;
  m.xclient.data.l[0] = static_cast<long>(A("WM_DELETE_WINDOW"));
  XSendEvent(observer_, w, False, NoEventMask, &m);
  XSendEvent(observer_, w, False, NoEventMask, &m);
  XSync(observer_, False);
  platform_->WaitEvents(platform_->Now() + 5000);
  std::optional<Event> first = platform_->PollEvent();
  ASSERT_TRUE(first);
  start = platform_->Now();
  platform_->WaitEvents(start + 5000);
  EXPECT_LT(platform_->Now() - start, 2500) << "slept with an event in Xlib's queue";
  std::optional<Event> second = platform_->PollEvent();
  ASSERT_TRUE(second);
  EXPECT_EQ(second->kind, Event::Kind::kCloseRequest);

  // One event waits in the socket, unread: the flush before the poll reads
  // it into Xlib's queue, where the poll would not see it either.
  XSendEvent(observer_, w, False, NoEventMask, &m);
  XSync(observer_, False);
  start = platform_->Now();
  platform_->WaitEvents(start + 5000);
  EXPECT_LT(platform_->Now() - start, 2500) << "slept with an event the flush had read";
  ASSERT_TRUE(platform_->PollEvent());
}

TEST_F(X11PlatformTest, PresentedPixelsAppearOnScreen) {
  Window w = ShowPanel(/*shaped=*/false);
  std::unique_ptr<tk::Canvas> canvas = platform_->CreateCanvas(kPanel.width, kPanel.height);
  ASSERT_TRUE(canvas);
  canvas->FillRect({0, 0, kPanel.width, kPanel.height}, {0x11, 0x22, 0x33});
  canvas->FillRect({10, 20, 1, 1}, {0xF0, 0x80, 0x10});
  platform_->Present(w, canvas->frame(), {0, 0, kPanel.width, kPanel.height});
  XSync(observer_, False);
  Point o = kPanel.origin();
  ASSERT_TRUE(WaitFor([&] { return ScreenPixel(o + Point{10, 20}) == tk::Rgb{0xF0, 0x80, 0x10}; }));
  EXPECT_EQ(ScreenPixel(o + Point{11, 20}), (tk::Rgb{0x11, 0x22, 0x33}));

  // Presenting an area copies that area only.
  canvas->FillRect({0, 0, kPanel.width, kPanel.height}, {0, 0, 0xFF});
  platform_->Present(w, canvas->frame(), {50, 60, 10, 10});
  ASSERT_TRUE(WaitFor([&] { return ScreenPixel(o + Point{50, 60}) == tk::Rgb{0, 0, 0xFF}; }));
  EXPECT_EQ(ScreenPixel(o + Point{59, 69}), (tk::Rgb{0, 0, 0xFF}));
  EXPECT_EQ(ScreenPixel(o + Point{60, 60}), (tk::Rgb{0x11, 0x22, 0x33}));
  EXPECT_EQ(ScreenPixel(o + Point{49, 60}), (tk::Rgb{0x11, 0x22, 0x33}));
}

TEST_F(X11PlatformTest, WithoutWindowManagerTheWindowFollowsTheDragItself) {
  Window w = ShowPanel();
  Point start = kPanel.origin() + Point{20, 128};
  MovePointer(start);
  FakeButton(1, true);
  std::optional<Event> press = WaitForEvent(Event::Kind::kButtonPress);
  ASSERT_TRUE(press);
  platform_->BeginUserMove(w, press->screen, tk::MouseButton::kLeft);
  MovePointer(start + Point{25, 20});
  MovePointer(start + Point{50, 40});
  Point moved = kPanel.origin() + Point{50, 40};
  ASSERT_TRUE(WaitFor([&] { return OriginOf(w) == moved; }));
  FakeButton(1, false);
  // The move ends with the release: the grab is let go...
  ASSERT_TRUE(WaitFor([&] {
    bool free = XGrabPointer(observer_, root_, False, ButtonPressMask, GrabModeAsync,
                             GrabModeAsync, None, None, CurrentTime) == GrabSuccess;
    if (free) XUngrabPointer(observer_, CurrentTime);
    return free;
  })) << "a grab was left behind";
  // ...the release is the move's, not the program's...
  EXPECT_FALSE(Take(Event::Kind::kButtonRelease));
  // ...and the window stays when the pointer moves on.
  events_.clear();
  MovePointer(start + Point{80, 80});
  ASSERT_TRUE(WaitForEvent(Event::Kind::kMotion));
  EXPECT_EQ(OriginOf(w), moved);
}

TEST_F(X11PlatformTest, TooltipShowsOnTopWithoutTakingThePointer) {
  Window w = ShowPanel();
  Point pointer = kPanel.origin() + Point{20, 100};
  MovePointer(pointer);
  platform_->ShowTooltip("Left click \xE0\xB8\x84\xE0\xB8\xA5\xE0\xB8\xB4\xE0\xB8\x81", pointer);

  // The only other top-level: the tooltip.
  Window tip = None;
  ASSERT_TRUE(WaitFor([&] {
    Window root_return, parent;
    Window* children = nullptr;
    unsigned n = 0;
    XQueryTree(observer_, root_, &root_return, &parent, &children, &n);
    for (unsigned i = 0; i < n; ++i) {
      if (children[i] != w && Viewable(children[i])) tip = children[i];
    }
    if (children) XFree(children);
    return tip != None;
  }));
  XWindowAttributes attrs;
  ASSERT_TRUE(XGetWindowAttributes(observer_, tip, &attrs));
  EXPECT_TRUE(attrs.override_redirect);
  EXPECT_EQ(attrs.border_width, 1);
  int count = -1, ordering;
  XRectangle* input = XShapeGetRectangles(observer_, tip, ShapeInput, &count, &ordering);
  EXPECT_EQ(count, 0) << "the tooltip must never take the pointer";
  if (input) XFree(input);

  // It lies over the panel, below the pointer; the pointer on it is still on
  // the panel.
  Point inside = OriginOf(tip) + Point{attrs.width / 2, 2};
  ASSERT_TRUE(kPanel.Contains(inside));
  ASSERT_TRUE(WaitFor([&] { return ScreenPixel(inside) == tk::Rgb{255, 255, 225}; }));
  EXPECT_EQ(ScreenPixel(OriginOf(tip) - Point{1, 1}), (tk::Rgb{0, 0, 0}));
  MovePointer(inside);
  EXPECT_EQ(platform_->QueryPointer().window, w);

  platform_->HideTooltip();
  EXPECT_TRUE(WaitFor([&] { return !Viewable(tip); }));
}

TEST_F(X11PlatformTest, ErrorReportIsAWindowThatTheLoopKeepsRunningBeside) {
  testing::internal::CaptureStderr();
  platform_->ReportError("Mouse", "Not enough timers available.");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Mouse: Not enough timers available.\n");

  Window box = None;
  ASSERT_TRUE(WaitFor([&] {
    Window root_return, parent;
    Window* children = nullptr;
    unsigned n = 0;
    XQueryTree(observer_, root_, &root_return, &parent, &children, &n);
    for (unsigned i = 0; i < n; ++i) {
      if (Viewable(children[i]) &&
          StringProperty(children[i], XA_WM_NAME, XA_STRING) == "Mouse") {
        box = children[i];
      }
    }
    if (children) XFree(children);
    return box != None;
  }));
  XWindowAttributes attrs;
  ASSERT_TRUE(XGetWindowAttributes(observer_, box, &attrs));
  // A click on OK, centred at the bottom, closes it.
  Point ok = OriginOf(box) + Point{attrs.width / 2, attrs.height - 23};
  MovePointer(ok);
  FakeButton(1, true);
  FakeButton(1, false);
  EXPECT_TRUE(WaitFor([&] { return !Viewable(box); }));
  EXPECT_TRUE(events_.empty()) << "its events are not the program's";
}

TEST_F(X11PlatformTest, OpeningAMissingDisplaySaysWhich) {
  std::string error;
  EXPECT_FALSE(x11::OpenPlatform(":65000", &error));
  EXPECT_EQ(error, "cannot open the X display \":65000\"");
}

TEST(X11PlatformDeathTest, LosingTheServerEndsTheProgramWithOneLine) {
  x11_testing::XvfbServer probe;
  if (!probe.Start("320x240x24")) GTEST_SKIP() << "no Xvfb to run against";
  probe.Stop();
  EXPECT_EXIT(
      {
        x11_testing::XvfbServer server;
        if (!server.Start("320x240x24")) std::exit(2);
        std::string error;
        std::unique_ptr<tk::Platform> p = x11::OpenPlatform(server.name().c_str(), &error);
        if (!p) std::exit(3);
        server.Kill();
        for (;;) {
          p->WaitEvents(p->Now() + 100);
          while (p->PollEvent()) {
          }
          p->QueryPointer();
        }
      },
      testing::ExitedWithCode(1), "^mouse: lost the connection to the X display\n$");
}

}  // namespace

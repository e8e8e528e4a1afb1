#include "platform/sim/sim_desktop.h"

#include <cstdlib>
#include <stdexcept>

#include "platform/cairo/cairo_canvas.h"
#include "toolkit/application.h"
#include "toolkit/canvas.h"

namespace sim {

namespace {

int Index(MouseButton b) { return static_cast<int>(b); }

bool Near(Point a, Point b, int distance) {
  return std::abs(a.x - b.x) <= distance && std::abs(a.y - b.y) <= distance;
}

bool ShapeContains(const std::vector<Rect>& shape, Rect bounds, Point local) {
  if (!Rect{0, 0, bounds.width, bounds.height}.Contains(local)) return false;
  if (shape.empty()) return true;
  for (const Rect& r : shape) {
    if (r.Contains(local)) return true;
  }
  return false;
}

}  // namespace

void TargetWindow::Receive(const ButtonEvent& event) {
  events_.push_back(event);
  int i = Index(event.button);
  if (event.press) {
    press_[i] = event;
    return;
  }
  if (!press_[i]) return;
  ButtonEvent press = *press_[i];
  press_[i].reset();
  Gesture g;
  g.time = event.time;
  g.from = press.screen;
  g.to = event.screen;
  if (event.button == MouseButton::kRight) {
    g.kind = Gesture::Kind::kRightClick;
  } else if (event.button == MouseButton::kMiddle) {
    g.kind = Gesture::Kind::kMiddleClick;
  } else if (!Near(press.screen, event.screen, kDoubleClickDistance)) {
    g.kind = Gesture::Kind::kDrag;
    last_click_.reset();
  } else if (last_click_ && event.time - last_click_->time <= kDoubleClickTime &&
             Near(last_click_->to, event.screen, kDoubleClickDistance)) {
    g.kind = Gesture::Kind::kDoubleClick;
    last_click_.reset();  // a third click starts a new pair
  } else {
    g.kind = Gesture::Kind::kClick;
    last_click_ = g;
  }
  gestures_.push_back(g);
}

SimDesktop::SimDesktop(Rect screen) : screen_(screen) {}
SimDesktop::~SimDesktop() = default;

TargetWindow& SimDesktop::AddTarget(std::string name, Rect bounds, bool above_panel) {
  targets_.push_back(std::make_unique<TargetWindow>(std::move(name), bounds, above_panel));
  return *targets_.back();
}

void SimDesktop::MovePointer(Point screen) {
  pointer_ = screen;
  Push(Pending::Kind::kMotion);
}

void SimDesktop::Press(MouseButton button) {
  held_[Index(button)] = true;
  Push(Pending::Kind::kButton, button, true);
}

void SimDesktop::Release(MouseButton button) {
  held_[Index(button)] = false;
  Push(Pending::Kind::kButton, button, false);
}

void SimDesktop::PressKey(tk::Key key) {
  Push(Pending::Kind::kKey, MouseButton::kLeft, false, key);
}

void SimDesktop::RequestClose() { Push(Pending::Kind::kClose); }

void SimDesktop::ActivateProgram() { Push(Pending::Kind::kActivate); }

void SimDesktop::SetNow(Millis now) {
  if (now > now_) now_ = now;
}

bool SimDesktop::ButtonHeld(MouseButton button) const { return held_[Index(button)]; }

const SimDesktop::Window* SimDesktop::FirstWindow() const {
  return windows_.empty() ? nullptr : windows_.front().get();
}

Rect SimDesktop::WindowBounds() const {
  const Window* w = FirstWindow();
  return w ? w->bounds : Rect{};
}

bool SimDesktop::WindowShown() const {
  const Window* w = FirstWindow();
  return w && w->shown;
}

const std::vector<Rect>& SimDesktop::WindowShape() const {
  static const std::vector<Rect> kNone;
  const Window* w = FirstWindow();
  return w ? w->shape : kNone;
}

SimDesktop::Window* SimDesktop::FindWindow(tk::WindowHandle handle) {
  for (auto& w : windows_) {
    if (w->handle == handle) return w.get();
  }
  return nullptr;
}

SimDesktop::Hit SimDesktop::HitAt(Point screen) {
  for (auto it = targets_.rbegin(); it != targets_.rend(); ++it) {
    if ((*it)->above_panel() && (*it)->bounds().Contains(screen)) return {nullptr, it->get()};
  }
  for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
    Window& w = **it;
    if (w.shown && ShapeContains(w.shape, w.bounds, screen - w.bounds.origin())) {
      return {&w, nullptr};
    }
  }
  for (auto it = targets_.rbegin(); it != targets_.rend(); ++it) {
    if (!(*it)->above_panel() && (*it)->bounds().Contains(screen)) return {nullptr, it->get()};
  }
  return {};
}

void SimDesktop::Push(Pending::Kind kind, MouseButton button, bool press, tk::Key key) {
  Pending p;
  p.kind = kind;
  p.button = button;
  p.press = press;
  p.key = key;
  p.at = pointer_;
  stream_.push_back(p);
}

tk::Event SimDesktop::MakeEvent(tk::Event::Kind kind, const Window& w, Point at) const {
  tk::Event e;
  e.kind = kind;
  e.window = w.handle;
  e.screen = at;
  e.position = at - w.bounds.origin();
  return e;
}

std::optional<tk::Event> SimDesktop::PollEvent() {
  while (!stream_.empty()) {
    Pending p = stream_.front();
    stream_.pop_front();
    if (std::optional<tk::Event> e = Deliver(p)) return e;
  }
  return std::nullopt;
}

std::optional<tk::Event> SimDesktop::Deliver(const Pending& p) {
  Window* first = windows_.empty() ? nullptr : windows_.front().get();
  switch (p.kind) {
    case Pending::Kind::kMotion: {
      if (move_) {
        if (Window* w = FindWindow(move_->window)) {
          Point d = p.at - move_->start_pointer;
          w->bounds.left = move_->start_origin.x + d.x;
          w->bounds.top = move_->start_origin.y + d.y;
        }
      }
      // Motion, entering and leaving all wake the program's pointer check.
      if (!first || !first->shown) return std::nullopt;
      return MakeEvent(tk::Event::Kind::kMotion, *first, p.at);
    }
    case Pending::Kind::kButton: {
      bool any_held = grab_.window || grab_.target;
      Hit dest = any_held ? grab_ : HitAt(p.at);
      if (capture_ != tk::kNoWindow) dest = {FindWindow(capture_), nullptr};
      if (p.press && dest.window && !active_) {
        // Pressing on a window that takes focus activates it first.
        active_ = true;
        stream_.push_front(p);
        return MakeEvent(tk::Event::Kind::kActivate, *dest.window, p.at);
      }
      if (move_ && !p.press && p.button == MouseButton::kLeft) {
        // The window manager took the press over; it ends the move and the
        // program sees no release.
        move_.reset();
        grab_ = {};
        delivered_held_[Index(p.button)] = false;
        return std::nullopt;
      }
      if (p.press && !any_held) grab_ = dest;
      delivered_held_[Index(p.button)] = p.press;
      if (!p.press) {
        // As in X, the grab lasts until all buttons are up.
        bool still_held = false;
        for (bool held : delivered_held_) still_held |= held;
        if (!still_held) grab_ = {};
      }
      ButtonEvent be{now_, p.button, p.press, p.at};
      if (dest.target) {
        dest.target->Receive(be);
        return std::nullopt;
      }
      if (!dest.window) return std::nullopt;
      tk::Event e = MakeEvent(p.press ? tk::Event::Kind::kButtonPress
                                      : tk::Event::Kind::kButtonRelease,
                              *dest.window, p.at);
      e.button = p.button;
      return e;
    }
    case Pending::Kind::kKey: {
      if (!first || !active_) return std::nullopt;
      tk::Event e = MakeEvent(tk::Event::Kind::kKeyPress, *first, p.at);
      e.key = p.key;
      return e;
    }
    case Pending::Kind::kActivate:
      if (!first || !first->shown || active_) return std::nullopt;
      active_ = true;
      return MakeEvent(tk::Event::Kind::kActivate, *first, p.at);
    case Pending::Kind::kClose:
      if (!first) return std::nullopt;
      return MakeEvent(tk::Event::Kind::kCloseRequest, *first, p.at);
  }
  return std::nullopt;
}

void SimDesktop::WaitEvents(std::optional<Millis> deadline) {
  if (!stream_.empty()) return;
  if (!deadline) {
    throw std::logic_error("the simulated desktop would wait for ever");
  }
  SetNow(*deadline);
}

tk::PointerState SimDesktop::QueryPointer() {
  tk::PointerState s;
  s.screen = pointer_;
  Hit h = HitAt(pointer_);
  if (h.window) {
    s.window = h.window->handle;
    s.position = pointer_ - h.window->bounds.origin();
  }
  return s;
}

tk::WindowHandle SimDesktop::CreateWindow(const tk::WindowSpec& window_spec) {
  auto w = std::make_unique<Window>();
  w->handle = next_handle_++;
  w->bounds = window_spec.bounds;
  windows_.push_back(std::move(w));
  return windows_.back()->handle;
}

void SimDesktop::DestroyWindow(tk::WindowHandle window) {
  std::erase_if(windows_, [window](const auto& w) { return w->handle == window; });
}

void SimDesktop::SetShape(tk::WindowHandle window, const std::vector<Rect>& rects) {
  if (Window* w = FindWindow(window)) w->shape = rects;
}

void SimDesktop::ShowWindow(tk::WindowHandle window) {
  Window* w = FindWindow(window);
  if (!w || w->shown) return;
  w->shown = true;
  if (activate_on_show_) Push(Pending::Kind::kActivate);
}

std::unique_ptr<tk::Canvas> SimDesktop::CreateCanvas(int width, int height) {
  return std::make_unique<cr::CairoCanvas>(width, height);
}

void SimDesktop::Present(tk::WindowHandle window, const tk::Frame& frame, Rect area) {
  Window* w = FindWindow(window);
  if (!w || !frame.data) return;
  if (w->picture.width() != w->bounds.width || w->picture.height() != w->bounds.height) {
    w->picture = tk::RgbImage(w->bounds.width, w->bounds.height);
  }
  area = area.Intersected({0, 0, frame.width, frame.height})
             .Intersected({0, 0, w->bounds.width, w->bounds.height});
  for (int y = area.top; y < area.bottom(); ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(frame.data + y * frame.stride);
    for (int x = area.left; x < area.right(); ++x) {
      std::uint32_t p = row[x];
      w->picture.set(x, y, {static_cast<std::uint8_t>(p >> 16),
                            static_cast<std::uint8_t>(p >> 8), static_cast<std::uint8_t>(p)});
    }
  }
}

const tk::RgbImage& SimDesktop::Screen() const {
  static const tk::RgbImage kNothing;
  const Window* w = FirstWindow();
  return w ? w->picture : kNothing;
}

void SimDesktop::BeginUserMove(tk::WindowHandle window, Point screen, MouseButton) {
  Window* w = FindWindow(window);
  if (!w) return;
  move_ = Move{window, screen, w->bounds.origin()};
}

void SimDesktop::SetCapture(tk::WindowHandle window) { capture_ = window; }
void SimDesktop::ReleaseCapture() { capture_ = tk::kNoWindow; }

void SimDesktop::ShowTooltip(const std::string& text, Point) { tooltip_ = text; }
void SimDesktop::HideTooltip() { tooltip_.reset(); }

void SimDesktop::InjectButton(MouseButton button, bool press) {
  injections_.push_back({now_, button, press, pointer_});
  held_[Index(button)] = press;
  Push(Pending::Kind::kButton, button, press);
}

void SimDesktop::ReportError(const std::string& title, const std::string& message) {
  errors_.push_back(title + ": " + message);
}

void RunUntil(SimDesktop& desktop, tk::Application& app, Millis until) {
  for (;;) {
    while (!app.Terminated() && app.Step()) {
    }
    if (app.Terminated()) return;
    std::optional<Millis> next = app.NextDeadline();
    if (!next || *next > until) {
      desktop.SetNow(until);
      app.Step();  // the pointer check at the final moment
      return;
    }
    desktop.SetNow(*next);
  }
}

}  // namespace sim

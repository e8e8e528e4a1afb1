#pragma once

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "toolkit/image.h"
#include "toolkit/platform.h"

namespace tk {
class Application;
}

namespace sim {

using tk::Millis;
using tk::MouseButton;
using tk::Point;
using tk::Rect;

// A pointer-button event as a window received it.
struct ButtonEvent {
  Millis time = 0;
  MouseButton button = MouseButton::kLeft;
  bool press = false;
  Point screen;
  friend bool operator==(const ButtonEvent&, const ButtonEvent&) = default;
};

// What a window made of the events it received, by the usual desktop rules.
struct Gesture {
  enum class Kind { kClick, kDoubleClick, kRightClick, kMiddleClick, kDrag };
  Kind kind = Kind::kClick;
  Millis time = 0;  // of the release that completed it
  Point from;       // where the press was
  Point to;         // where the release was
  friend bool operator==(const Gesture&, const Gesture&) = default;
};

// Another program's window: it records what reaches it.
class TargetWindow {
 public:
  // Two clicks within this time and distance make a double click; a press
  // and release further apart than the distance make a drag.
  static constexpr Millis kDoubleClickTime = 500;
  static constexpr int kDoubleClickDistance = 4;

  TargetWindow(std::string name, Rect bounds, bool above_panel)
      : name_(std::move(name)), bounds_(bounds), above_panel_(above_panel) {}

  const std::string& name() const { return name_; }
  Rect bounds() const { return bounds_; }
  bool above_panel() const { return above_panel_; }
  const std::vector<ButtonEvent>& events() const { return events_; }
  const std::vector<Gesture>& gestures() const { return gestures_; }
  void Receive(const ButtonEvent& event);

 private:
  std::string name_;
  Rect bounds_;
  bool above_panel_;
  std::vector<ButtonEvent> events_;
  std::vector<Gesture> gestures_;
  std::optional<ButtonEvent> press_[3];
  std::optional<Gesture> last_click_;
};

// Every button event that entered the input stream by injection.
struct Injection {
  Millis time = 0;
  MouseButton button = MouseButton::kLeft;
  bool press = false;
  Point screen;
  friend bool operator==(const Injection&, const Injection&) = default;
};

// A small, deterministic model of a desktop: a virtual clock, a pointer that
// tests move, the program's windows (shaped, always above other programs'
// windows unless one is marked to lie above them), other windows that record
// what they receive, and an input stream shared by the user's hand and by
// injection. Events enter the stream at once and are delivered when the
// program next takes an event: to the window holding the pointer grab (from
// a press until all buttons are up, as X does) or to the window under the
// pointer.
class SimDesktop : public tk::Platform {
 public:
  explicit SimDesktop(Rect screen = {0, 0, 1280, 1024});
  ~SimDesktop() override;

  // --- What a test does.
  TargetWindow& AddTarget(std::string name, Rect bounds, bool above_panel = false);
  void MovePointer(Point screen);
  void Press(MouseButton button);    // by the user's hand
  void Release(MouseButton button);
  void PressKey(tk::Key key);
  void RequestClose();               // the window manager's close request
  void ActivateProgram();            // the user gives the program the focus
  // Whether showing a window activates it (most window managers do this for
  // ordinary windows; some never for windows without a taskbar entry).
  void SetActivateOnShow(bool activate) { activate_on_show_ = activate; }
  void SetNow(Millis now);

  // --- What a test reads.
  const std::vector<Injection>& injections() const { return injections_; }
  bool ButtonHeld(MouseButton button) const;
  Point pointer() const { return pointer_; }
  // The program's first window: where it is, and whether shown.
  Rect WindowBounds() const;
  bool WindowShown() const;
  bool WindowActive() const { return active_; }
  const std::vector<Rect>& WindowShape() const;
  std::optional<std::string> tooltip() const { return tooltip_; }
  // What the program's first window shows, as last presented: its client
  // area, pixel (0, 0) at its top-left corner; empty before any painting.
  const tk::RgbImage& Screen() const;
  tk::Rgb FramePixel(int x, int y) const { return Screen().at(x, y); }
  const std::vector<std::string>& errors() const { return errors_; }

  // --- tk::Platform.
  Millis Now() override { return now_; }
  std::optional<tk::Event> PollEvent() override;
  void WaitEvents(std::optional<Millis> deadline) override;
  tk::PointerState QueryPointer() override;
  tk::WindowHandle CreateWindow(const tk::WindowSpec& window_spec) override;
  void DestroyWindow(tk::WindowHandle window) override;
  void SetShape(tk::WindowHandle window, const std::vector<Rect>& rects) override;
  void ShowWindow(tk::WindowHandle window) override;
  std::unique_ptr<tk::Canvas> CreateCanvas(int width, int height) override;
  void Present(tk::WindowHandle window, const tk::Frame& frame, Rect area) override;
  void BeginUserMove(tk::WindowHandle window, Point screen, MouseButton button) override;
  void SetCapture(tk::WindowHandle window) override;
  void ReleaseCapture() override;
  void ShowTooltip(const std::string& text, Point screen) override;
  void HideTooltip() override;
  void InjectButton(MouseButton button, bool press) override;
  void ReportError(const std::string& title, const std::string& message) override;

 private:
  struct Window {
    tk::WindowHandle handle;
    Rect bounds;
    std::vector<Rect> shape;  // empty: the whole rectangle
    bool shown = false;
    tk::RgbImage picture;     // what Present put there
  };
  // One entry of the input stream, or a notice for the program.
  struct Pending {
    enum class Kind { kButton, kMotion, kKey, kActivate, kClose };
    Kind kind;
    MouseButton button = MouseButton::kLeft;
    bool press = false;
    tk::Key key = tk::Key::kOther;
    Point at;  // the pointer when the event entered the stream
  };
  // Where the pointer is: a program window or a target, topmost first.
  struct Hit {
    Window* window = nullptr;
    TargetWindow* target = nullptr;
  };
  Hit HitAt(Point screen);
  Window* FindWindow(tk::WindowHandle handle);
  const Window* FirstWindow() const;
  std::optional<tk::Event> Deliver(const Pending& p);
  tk::Event MakeEvent(tk::Event::Kind kind, const Window& w, Point at) const;
  void Push(Pending::Kind kind, MouseButton button = MouseButton::kLeft,
            bool press = false, tk::Key key = tk::Key::kOther);

  Rect screen_;
  Millis now_ = 0;
  Point pointer_{0, 0};
  std::vector<std::unique_ptr<Window>> windows_;
  std::vector<std::unique_ptr<TargetWindow>> targets_;  // bottom to top
  std::deque<Pending> stream_;
  std::vector<Injection> injections_;
  bool held_[3] = {false, false, false};            // as the stream left them
  bool delivered_held_[3] = {false, false, false};  // as delivered so far
  Hit grab_;  // who gets pointer events while a button is held
  tk::WindowHandle capture_ = tk::kNoWindow;
  tk::WindowHandle next_handle_ = 1;
  bool activate_on_show_ = true;
  bool active_ = false;
  bool activation_pending_ = false;
  struct Move {
    tk::WindowHandle window;
    Point start_pointer;
    Point start_origin;
  };
  std::optional<Move> move_;
  std::optional<std::string> tooltip_;
  std::vector<std::string> errors_;
};

// Runs the program's loop on the desktop's virtual clock until `until`:
// events as they are waiting, timers at their deadlines. Stops early when the
// program ends.
void RunUntil(SimDesktop& desktop, tk::Application& app, Millis until);

}  // namespace sim

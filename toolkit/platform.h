#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "toolkit/geometry.h"

namespace tk {

class Canvas;

// Milliseconds of a monotonic clock. 64 bits, so that intervals of up to
// 2^32 - 1 ms can be added to any reading without overflow.
using Millis = std::int64_t;

// Opaque handle of a top-level window made by a Platform; 0 is no window.
using WindowHandle = std::uintptr_t;
constexpr WindowHandle kNoWindow = 0;

enum class MouseButton { kLeft, kMiddle, kRight };

enum class Key { kOther, kHome, kEnd, kLeft, kUp, kRight, kDown, kTab, kBackTab };

// One input or window-system notice, already translated from the native one.
struct Event {
  enum class Kind {
    kButtonPress,
    kButtonRelease,
    kMotion,         // also enter and leave of the window: wakes the pointer check
    kKeyPress,
    kActivate,       // the window became the active one (it has the focus)
    kDeactivate,
    kCloseRequest,   // the window system, or a signal, asks the program to end
    kExpose,         // the window needs `area` painted again
  };
  Kind kind = Kind::kMotion;
  WindowHandle window = kNoWindow;
  Point position;  // in the window's client area
  Point screen;    // on the screen
  MouseButton button = MouseButton::kLeft;
  Key key = Key::kOther;
  Rect area;
};

// What lies under the pointer, as far as the program's windows go.
struct PointerState {
  Point screen;
  // The program's window whose shape holds the pointer and which is not
  // covered there by another window; kNoWindow otherwise.
  WindowHandle window = kNoWindow;
  Point position;  // in that window's client area
};

struct WindowSpec {
  std::string title;
  Rect bounds;  // on the screen
  bool frameless = true;
  bool topmost = true;
  bool skip_taskbar = true;
};

// A painted picture of a whole window, 32-bit pixels 0x00RRGGBB, rows from
// the top, `stride` bytes apart.
struct Frame {
  int width = 0;
  int height = 0;
  int stride = 0;
  const std::uint8_t* data = nullptr;
};

// What a desktop must give the toolkit. One implementation per backend; all
// calls come from the one thread that runs the loop.
class Platform {
 public:
  virtual ~Platform() = default;

  virtual Millis Now() = 0;
  // The next waiting event, without waiting.
  virtual std::optional<Event> PollEvent() = 0;
  // Blocks until an event is waiting or `deadline` (on Now()'s clock) has
  // come; without a deadline, until an event is waiting.
  virtual void WaitEvents(std::optional<Millis> deadline) = 0;

  virtual PointerState QueryPointer() = 0;

  // Creates the window hidden, with the placement of `window_spec` already in force.
  virtual WindowHandle CreateWindow(const WindowSpec& window_spec) = 0;
  virtual void DestroyWindow(WindowHandle window) = 0;
  // Cuts the window to the union of `rects` (client coordinates), for drawing
  // and for the pointer alike.
  virtual void SetShape(WindowHandle window, const std::vector<Rect>& rects) = 0;
  virtual void ShowWindow(WindowHandle window) = 0;
  // An off-screen canvas of the given size, whose frame() Present copies;
  // null when this desktop draws nothing.
  virtual std::unique_ptr<Canvas> CreateCanvas(int width, int height) = 0;
  // Copies `area` of `frame` to the same place in the window.
  virtual void Present(WindowHandle window, const Frame& frame, Rect area) = 0;
  // Hands a move of the window to the window system, as a press on a title
  // bar would, or follows the pointer until `button` is released.
  virtual void BeginUserMove(WindowHandle window, Point screen,
                             MouseButton button) = 0;

  // While set, all pointer events go to `window`, wherever the pointer is.
  virtual void SetCapture(WindowHandle window) = 0;
  virtual void ReleaseCapture() = 0;

  // A small window near `screen` that never takes pointer input.
  virtual void ShowTooltip(const std::string& text, Point screen) = 0;
  virtual void HideTooltip() = 0;

  // Puts one pointer-button event into the desktop's input stream, at the
  // pointer's current position. It is on its way when this returns.
  virtual void InjectButton(MouseButton button, bool press) = 0;

  // Tells the user about an error that ended a reaction.
  virtual void ReportError(const std::string& title,
                           const std::string& message) = 0;
};

}  // namespace tk

#pragma once

#include <X11/Xlib.h>

#include <memory>
#include <string>

#include "platform/cairo/cairo_canvas.h"
#include "platform/x11/x11_display.h"

namespace x11 {

// The hint window: a small picture near the pointer on the tooltip colour,
// with a black border, that never takes the pointer (so the control beneath
// keeps it, and the hint is not taken for leaving the panel).
class Tooltip {
 public:
  explicit Tooltip(Connection& c) : c_(c) {}
  ~Tooltip();
  Tooltip(const Tooltip&) = delete;
  Tooltip& operator=(const Tooltip&) = delete;

  void Show(const std::string& text, tk::Point pointer);
  void Hide();
  // Repaints on exposure; true when the event was the tooltip's.
  bool HandleEvent(const XEvent& event);
  ::Window window() const { return window_; }

 private:
  void Present();

  Connection& c_;
  ::Window window_ = None;
  GC gc_ = nullptr;
  std::unique_ptr<cr::CairoCanvas> canvas_;
};

}  // namespace x11

#include "platform/x11/x11_tooltip.h"

#include <algorithm>

#include "platform/x11/x11_shape.h"
#include "platform/x11/x11_window.h"

namespace x11 {

namespace {

constexpr tk::Rgb kInfoBackground{255, 255, 225};
constexpr tk::Rgb kInfoText{0, 0, 0};
constexpr int kBorder = 1;
constexpr int kPadX = 3;
constexpr int kPadY = 1;
// Below the pointer's arrow, as desktops show hints.
constexpr int kBelowPointer = 20;
// Longer hints wrap rather than cross the screen.
constexpr int kMaxTextWidth = 400;

}  // namespace

Tooltip::~Tooltip() {
  if (gc_) XFreeGC(c_.display(), gc_);
  if (window_ != None) XDestroyWindow(c_.display(), window_);
}

void Tooltip::Show(const std::string& text, tk::Point pointer) {
  tk::FontSpec font;
  tk::TextLayout layout;
  layout.prefix = false;  // hints show their text as it is
  layout.word_wrap = true;
  if (!canvas_) canvas_ = std::make_unique<cr::CairoCanvas>(1, 1);
  tk::Point text_size = canvas_->MeasureText(text, font, layout, kMaxTextWidth);
  int width = text_size.x + 2 * kPadX;
  int height = text_size.y + 2 * kPadY;
  int outer_w = width + 2 * kBorder, outer_h = height + 2 * kBorder;
  int x = std::clamp(pointer.x, 0, std::max(0, c_.screen_width() - outer_w));
  int y = pointer.y + kBelowPointer;
  if (y + outer_h > c_.screen_height()) y = pointer.y - outer_h;  // above instead
  y = std::max(y, 0);

  if (canvas_->width() != width || canvas_->height() != height) {
    canvas_ = std::make_unique<cr::CairoCanvas>(width, height);
  }
  canvas_->FillRect({0, 0, width, height}, kInfoBackground);
  canvas_->DrawText(text, {kPadX, kPadY, text_size.x, text_size.y}, font, kInfoText,
                    layout);

  Display* d = c_.display();
  if (window_ == None) {
    window_ = CreatePopup(c_, {x, y, width, height}, kBorder);
    ClearInputShape(c_, window_);
    gc_ = XCreateGC(d, window_, 0, nullptr);
  } else {
    XMoveResizeWindow(d, window_, x, y, static_cast<unsigned>(width),
                      static_cast<unsigned>(height));
  }
  XMapRaised(d, window_);
  Present();
}

void Tooltip::Hide() {
  if (window_ == None) return;
  XUnmapWindow(c_.display(), window_);
  XFlush(c_.display());
}

bool Tooltip::HandleEvent(const XEvent& event) {
  if (window_ == None || event.xany.window != window_) return false;
  if (event.type == Expose && event.xexpose.count == 0) Present();
  return true;
}

void Tooltip::Present() {
  if (!canvas_) return;
  PutFrame(c_, window_, gc_, canvas_->frame(), {0, 0, canvas_->width(), canvas_->height()});
  XFlush(c_.display());
}

}  // namespace x11

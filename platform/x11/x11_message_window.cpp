#include "platform/x11/x11_message_window.h"

#include <X11/Xatom.h>
#include <X11/keysym.h>

#include <algorithm>

#include "platform/x11/x11_window.h"
#include "toolkit/frame3d.h"

namespace x11 {

namespace {

// The classic dialog look.
constexpr tk::Rgb kFace{192, 192, 192};
constexpr tk::Rgb kText{0, 0, 0};
constexpr tk::Rgb kHighlight{255, 255, 255};
constexpr tk::Rgb kShadow{128, 128, 128};
constexpr tk::Rgb kDarkShadow{0, 0, 0};
constexpr int kMargin = 12;
constexpr int kTextWidth = 320;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;

}  // namespace

MessageWindow::MessageWindow(Connection& c, const std::string& title,
                             const std::string& message)
    : c_(c), message_(message) {
  tk::TextLayout layout;
  layout.prefix = false;
  layout.word_wrap = true;
  canvas_ = std::make_unique<cr::CairoCanvas>(1, 1);
  tk::Point size = canvas_->MeasureText(message_, {}, layout, kTextWidth);
  int width = std::max(size.x, kButtonWidth) + 2 * kMargin;
  int height = size.y + kButtonHeight + 3 * kMargin;
  text_ = {kMargin, kMargin, width - 2 * kMargin, size.y};
  ok_ = {(width - kButtonWidth) / 2, height - kMargin - kButtonHeight, kButtonWidth,
         kButtonHeight};
  canvas_ = std::make_unique<cr::CairoCanvas>(width, height);

  tk::WindowSpec window_spec;
  window_spec.title = title;
  window_spec.bounds = {(c_.screen_width() - width) / 2, (c_.screen_height() - height) / 2,
                 width, height};
  window_spec.frameless = false;
  window_spec.topmost = true;  // the panel is above others; the message must be too
  window_spec.skip_taskbar = false;
  window_ = CreateTopLevel(c_, window_spec, WindowRole::kDialog);
  gc_ = XCreateGC(c_.display(), window_, 0, nullptr);
  Paint(false);
  XMapRaised(c_.display(), window_);
  XFlush(c_.display());
}

MessageWindow::~MessageWindow() {
  XFreeGC(c_.display(), gc_);
  XDestroyWindow(c_.display(), window_);
  XFlush(c_.display());
}

void MessageWindow::Paint(bool ok_down) {
  tk::Canvas& cv = *canvas_;
  cv.FillRect({0, 0, canvas_->width(), canvas_->height()}, kFace);
  tk::TextLayout layout;
  layout.prefix = false;
  layout.word_wrap = true;
  cv.DrawText(message_, text_, {}, kText, layout);
  tk::Rect inner{ok_.left + 1, ok_.top + 1, ok_.width - 2, ok_.height - 2};
  if (ok_down) {
    tk::DrawFrame3D(cv, ok_, kDarkShadow, kDarkShadow);
    tk::DrawFrame3D(cv, inner, kShadow, kShadow);
  } else {
    tk::DrawFrame3D(cv, ok_, kHighlight, kDarkShadow);
    tk::DrawFrame3D(cv, inner, kFace, kShadow);
  }
  tk::TextLayout centred;
  centred.halign = tk::HAlign::kCenter;
  centred.valign = tk::VAlign::kCenter;
  tk::Rect label = ok_down ? ok_.Translated({1, 1}) : ok_;
  cv.DrawText("OK", label, {}, kText, centred);
}

void MessageWindow::Present() {
  PutFrame(c_, window_, gc_, canvas_->frame(), {0, 0, canvas_->width(), canvas_->height()});
  XFlush(c_.display());
}

bool MessageWindow::HandleEvent(const XEvent& event) {
  switch (event.type) {
    case Expose:
      if (event.xexpose.count == 0) Present();
      return false;
    case ButtonPress:
      if (event.xbutton.button == Button1 &&
          ok_.Contains({event.xbutton.x, event.xbutton.y})) {
        pressed_on_ok_ = true;
        Paint(true);
        Present();
      }
      return false;
    case ButtonRelease: {
      if (event.xbutton.button != Button1 || !pressed_on_ok_) return false;
      pressed_on_ok_ = false;
      if (ok_.Contains({event.xbutton.x, event.xbutton.y})) return true;
      Paint(false);
      Present();
      return false;
    }
    case KeyPress: {
      XKeyEvent key = event.xkey;
      KeySym sym = XLookupKeysym(&key, 0);
      return sym == XK_Return || sym == XK_KP_Enter || sym == XK_Escape ||
             sym == XK_space;
    }
    case ClientMessage:
      return event.xclient.message_type == c_.atoms().wm_protocols &&
             static_cast<Atom>(event.xclient.data.l[0]) == c_.atoms().wm_delete_window;
    default:
      return false;
  }
}

}  // namespace x11

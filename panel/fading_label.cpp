#include "panel/fading_label.h"

#include <algorithm>
#include <cmath>

namespace panel {

namespace {

// b + step * (f - b) / (n - 1), to the nearest integer. The divisor is odd
// with the panel's settings, so there are no halves to break.
std::uint8_t Blend(int b, int f, int step, int n) {
  double v = b + static_cast<double>(step) * (f - b) / (n - 1);
  return static_cast<std::uint8_t>(std::clamp(static_cast<int>(std::lround(v)), 0, 255));
}

}  // namespace

FadingLabel::FadingLabel(tk::Control* parent, std::string name, tk::Rect bounds,
                         std::string caption, tk::TimerQueue& timers)
    : tk::Control(parent, std::move(name), bounds, /*windowed=*/false),
      caption_(std::move(caption)),
      fade_timer_(timers, this->name() + " fade") {
  fade_timer_.OnTimer = [this] { Tick(); };
  SetFadeSpeed(fade_speed_);
  text_color_ = Resolve(Color);
  box_color_ = text_color_;
  fade_timer_.SetEnabled(true);
}

void FadingLabel::SetFadeSpeed(std::uint32_t ms) {
  fade_speed_ = ms;
  fade_timer_.SetInterval(std::max(ms, kFinestTick));
}

void FadingLabel::SetShowing(bool showing) {
  step_ = showing ? BetweenColors : 1;
  Tick();
}

void FadingLabel::Tick() {
  step_ += rising_ ? 1 : -1;
  if (Fade() && BetweenColors > 1) {
    tk::Rgb b = Resolve(Color), f = Resolve(FontColor);
    tk::Rgb color = {Blend(b.r, f.r, step_, BetweenColors),
                     Blend(b.g, f.g, step_, BetweenColors),
                     Blend(b.b, f.b, step_, BetweenColors)};
    if (color != text_color_ || b != box_color_) {
      text_color_ = color;
      box_color_ = b;
      Invalidate();
    }
  }
  if (step_ >= BetweenColors - 1) {
    rising_ = false;
    if (!FadeAlltheTime) SetFade(false);
  }
  if (step_ <= 1) {
    rising_ = true;
    if (!FadeAlltheTime) SetFade(false);
  }
}

void FadingLabel::Paint(tk::Canvas& canvas) {
  canvas.FillRect(ClientRect(), Resolve(Color));
  tk::FontSpec font;
  tk::TextLayout layout;
  layout.word_wrap = true;
  tk::Point size{bounds().width, bounds().height};
  if (!caption_mask_ || !caption_mask_->Matches(caption_, size, font, layout)) {
    caption_mask_ = canvas.MakeTextMask(caption_, size, font, layout);
  }
  canvas.DrawTextMask(*caption_mask_, {0, 0}, text_color_);
}

}  // namespace panel

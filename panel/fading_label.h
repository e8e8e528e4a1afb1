#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "toolkit/color.h"
#include "toolkit/control.h"
#include "toolkit/timer.h"

namespace panel {

// The title, drawn on its parent's surface on a box of its own colour, its
// text colour stepping back and forth between that colour and the font
// colour, one step per tick of its own timer.
class FadingLabel : public tk::Control {
 public:
  // The finest regular tick we let the fade run at: 1/64 s, the rate of a
  // common desktop timer tick. Asked for anything faster, the fade would
  // flicker at a rate that is unpleasant and unsafe for people sensitive to
  // flashing.
  static constexpr std::uint32_t kFinestTick = 16;

  FadingLabel(tk::Control* parent, std::string name, tk::Rect bounds, std::string caption,
              tk::TimerQueue& timers);

  const std::string& Caption() const { return caption_; }
  tk::TColor Color = tk::clHighlightText;
  tk::TColor FontColor = tk::clWindowText;
  int BetweenColors = 16;
  bool FadeAlltheTime = true;

  std::uint32_t FadeSpeed() const { return fade_speed_; }
  void SetFadeSpeed(std::uint32_t ms);
  bool Fade() const { return fade_timer_.Enabled(); }
  void SetFade(bool fade) { fade_timer_.SetEnabled(fade); }
  // Off starts the fade from the background colour, on from the font colour.
  void SetShowing(bool showing);

  int Step() const { return step_; }
  bool Rising() const { return rising_; }
  tk::Rgb TextColor() const { return text_color_; }
  // One step of the fade. The box is painted again only when its colours
  // changed.
  void Tick();

  // The box in its colour and the caption over it. The caption is laid out
  // once into a mask that each tick only fills with the new colour: the fade
  // runs all day, 64 times a second.
  void Paint(tk::Canvas& canvas) override;

 private:
  std::string caption_;
  std::unique_ptr<tk::TextMask> caption_mask_;
  std::uint32_t fade_speed_ = 2;
  int step_ = 1;
  bool rising_ = false;
  tk::Rgb text_color_;
  tk::Rgb box_color_;  // as of the last tick that painted
  tk::Timer fade_timer_;
};

}  // namespace panel

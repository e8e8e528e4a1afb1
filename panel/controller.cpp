#include "panel/controller.h"

#include <string>

namespace panel {

namespace {

// The action timers' interval: the delay times 1000 in wrapping 32-bit
// arithmetic.
std::uint32_t DelayInterval(std::int32_t delay_seconds) {
  return static_cast<std::uint32_t>(delay_seconds) * 1000u;
}

}  // namespace

void TFormMouse::FormCreate() {
  settings::Settings opened = settings::OpenSettings(executable_path_);
  ProgramDir = std::move(opened.ProgramDir);
  SettingsPath = std::move(opened.SettingsPath);
  SettingsFile = std::move(opened.SettingsFile);
  DelaySeconds = settings::ReadDelay(*SettingsFile);
  TimerL->SetInterval(DelayInterval(settings::ReadDelay(*SettingsFile)));
  TimerR->SetInterval(DelayInterval(settings::ReadDelay(*SettingsFile)));
  TimerDD->SetInterval(DelayInterval(settings::ReadDelay(*SettingsFile)));
  TimerDB->SetInterval(DelayInterval(settings::ReadDelay(*SettingsFile)));
  PanelStatus->SetCaption(std::to_string(DelaySeconds) + " sec");
}

// A drag whose drop is still to come holds the left button down on the
// desktop. Nobody could release it once we are gone, so it is released now.
void TFormMouse::FormClose() {
  if (TimerDrop->Enabled()) injector_.LeftUp();
}

void TFormMouse::PointerEntered(ShapeButton& button, const char* status) {
  pointer_on_ = &button;
  dwell_done_ = false;
  button.SetColor(tk::clYellow);
  TimerClick->SetEnabled(true);
  PanelStatus->SetCaption(status);
}

void TFormMouse::PointerLeft(ShapeButton& button, tk::TColor rest_color) {
  if (pointer_on_ == &button) pointer_on_ = nullptr;
  button.SetColor(rest_color);
  TimerClick->SetEnabled(false);
  PanelStatus->SetCaption("");
}

void TFormMouse::Chosen(tk::Timer& timer, const char* action) {
  timer.SetEnabled(true);
  PanelStatus->SetCaption(std::string(action) + " in " +
                          std::to_string(DelaySeconds) + " sec");
}

void TFormMouse::MouseLbtnClickMouseEnter() { PointerEntered(*MouseLbtnClick, "Left Click"); }
void TFormMouse::MouseLbtnDBclickMouseEnter() {
  PointerEntered(*MouseLbtnDBclick, "Double Click");
}
void TFormMouse::MouseLbtnDDclickMouseEnter() {
  PointerEntered(*MouseLbtnDDclick, "Drag && Drop click");
}
void TFormMouse::MouseRbtnClickMouseEnter() { PointerEntered(*MouseRbtnClick, "Right Click"); }
void TFormMouse::BtnCloseMouseEnter() { PointerEntered(*BtnClose, "Close Program"); }

void TFormMouse::MouseLbtnClickMouseLeave() { PointerLeft(*MouseLbtnClick, tk::clAqua); }
void TFormMouse::MouseLbtnDBclickMouseLeave() { PointerLeft(*MouseLbtnDBclick, tk::clAqua); }
void TFormMouse::MouseLbtnDDclickMouseLeave() { PointerLeft(*MouseLbtnDDclick, tk::clAqua); }
void TFormMouse::MouseRbtnClickMouseLeave() { PointerLeft(*MouseRbtnClick, tk::clAqua); }
void TFormMouse::BtnCloseMouseLeave() { PointerLeft(*BtnClose, tk::clSkyBlue); }

void TFormMouse::MouseLbtnClickMouseDown() { MouseLbtnClick->SetColor(tk::clRed); }
void TFormMouse::MouseLbtnDBclickMouseDown() { MouseLbtnDBclick->SetColor(tk::clRed); }
void TFormMouse::MouseLbtnDDclickMouseDown() { MouseLbtnDDclick->SetColor(tk::clRed); }
void TFormMouse::MouseRbtnClickMouseDown() { MouseRbtnClick->SetColor(tk::clRed); }
void TFormMouse::BtnCloseMouseDown() { BtnClose->SetColor(tk::clRed); }

void TFormMouse::MouseLbtnClickClick() { Chosen(*TimerL, "Left Click"); }
void TFormMouse::MouseLbtnDBclickClick() { Chosen(*TimerDB, "Double Click"); }
void TFormMouse::MouseLbtnDDclickClick() { Chosen(*TimerDD, "Drag && Drop"); }
void TFormMouse::MouseRbtnClickClick() { Chosen(*TimerR, "Right Click"); }
void TFormMouse::BtnCloseClick() { Close(); }

// Focus coming into the left group (at the panel's first activation, or from
// the keyboard) starts a dwell only while the pointer rests on a button whose
// dwell click has not been made yet; anywhere else it would click whatever
// lies under the pointer three seconds later.
void TFormMouse::MouseLbtnEnter() {
  if (pointer_on_ && !dwell_done_) TimerClick->SetEnabled(true);
}

void TFormMouse::TimerClickTimer() {
  DelaySeconds = settings::ReadDelay(*SettingsFile);
  injector_.LeftDown();
  injector_.LeftUp();
  TimerClick->SetEnabled(false);
  dwell_done_ = true;
}

void TFormMouse::TimerLTimer() {
  injector_.LeftDown();
  injector_.LeftUp();
  TimerL->SetEnabled(false);
  MouseLbtnClick->SetDown(false);
}

void TFormMouse::TimerDBTimer() {
  injector_.LeftDown();
  injector_.LeftUp();
  injector_.LeftDown();
  injector_.LeftUp();
  TimerDB->SetEnabled(false);
  MouseLbtnDBclick->SetDown(false);
}

void TFormMouse::TimerDDTimer() {
  injector_.LeftDown();
  TimerDrop->SetEnabled(true);
  TimerDD->SetEnabled(false);
  PanelStatus->SetCaption("Drop in 5 sec");
}

void TFormMouse::TimerRTimer() {
  injector_.RightDown();
  injector_.RightUp();
  MouseRbtnClick->SetDown(false);
  TimerR->SetEnabled(false);
}

void TFormMouse::TimerDropTimer() {
  injector_.LeftUp();
  TimerDrop->SetEnabled(false);
  PanelStatus->SetCaption("");
  MouseLbtnDDclick->SetDown(false);
}

tk::HitCode TFormMouse::PanelHitTest(tk::Point) {
  // Without a frame every point of the surface is client area by default;
  // answering "caption" instead turns a press there into a move.
  return tk::HitCode::kCaption;
}

}  // namespace panel

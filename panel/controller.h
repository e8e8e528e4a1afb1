#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "input/pointer_injector.h"
#include "panel/button_group.h"
#include "panel/fading_label.h"
#include "panel/shadow_label.h"
#include "panel/shape_button.h"
#include "panel/skin_image.h"
#include "panel/status_panel.h"
#include "settings/settings.h"
#include "toolkit/form.h"
#include "toolkit/timer.h"

namespace panel {

// The dwell-click panel. Resting the pointer on one of its five buttons for
// three seconds clicks that button (the dwell click); the click on an action
// button chooses the action, which is performed at the pointer when the
// action's timer fires, wherever the pointer then is. The handlers below are
// the whole of the panel's behaviour; each reacts to one event of one control.
class TFormMouse : public tk::Form {
 public:
  // Builds the panel from its form data: every control and timer with its
  // stored settings, the window hidden, cut to the skin's shape. The timers
  // are all disarmed until FormCreate and the pointer arm them.
  TFormMouse(tk::Application& app, input::PointerInjector& injector,
             std::string executable_path);
  ~TFormMouse() override;

  // Controls and timers, owned by the panel.
  std::unique_ptr<ButtonGroup> MouseLbtn;
  std::unique_ptr<ButtonGroup> MouseRbtn;
  std::unique_ptr<ShapeButton> MouseLbtnDBclick;
  std::unique_ptr<ShapeButton> MouseLbtnDDclick;
  std::unique_ptr<ShapeButton> MouseRbtnClick;
  std::unique_ptr<ShapeButton> BtnClose;
  std::unique_ptr<ShapeButton> MouseLbtnClick;
  std::unique_ptr<StatusPanel> PanelStatus;
  std::unique_ptr<tk::Timer> TimerL;
  std::unique_ptr<tk::Timer> TimerDrop;
  std::unique_ptr<tk::Timer> TimerClick;
  std::unique_ptr<tk::Timer> TimerDB;
  std::unique_ptr<tk::Timer> TimerDD;
  std::unique_ptr<tk::Timer> TimerR;
  std::unique_ptr<SkinImage> BgForm;
  std::unique_ptr<ShadowLabel> fcLabel1;
  std::unique_ptr<ShadowLabel> fcLabel2;
  std::unique_ptr<FadingLabel> AHMFadingLabel1;

  // The settings, opened by FormCreate.
  std::string ProgramDir;
  std::string SettingsPath;
  std::unique_ptr<settings::SettingsFile> SettingsFile;
  std::int32_t DelaySeconds = 0;

  // Fixed times, in milliseconds.
  static constexpr std::uint32_t kDwellInterval = 3000;
  static constexpr std::uint32_t kDropInterval = 5000;

  // Handlers.
  void FormCreate();
  void FormClose();
  void MouseLbtnClickMouseEnter();
  void MouseLbtnDBclickMouseEnter();
  void MouseLbtnDDclickMouseEnter();
  void MouseRbtnClickMouseEnter();
  void BtnCloseMouseEnter();
  void MouseLbtnClickMouseLeave();
  void MouseLbtnDBclickMouseLeave();
  void MouseLbtnDDclickMouseLeave();
  void MouseRbtnClickMouseLeave();
  void BtnCloseMouseLeave();
  void MouseLbtnClickMouseDown();
  void MouseLbtnDBclickMouseDown();
  void MouseLbtnDDclickMouseDown();
  void MouseRbtnClickMouseDown();
  void BtnCloseMouseDown();
  void MouseLbtnClickClick();
  void MouseLbtnDBclickClick();
  void MouseLbtnDDclickClick();
  void MouseRbtnClickClick();
  void BtnCloseClick();
  void MouseLbtnEnter();
  void TimerClickTimer();
  void TimerLTimer();
  void TimerDBTimer();
  void TimerDDTimer();
  void TimerRTimer();
  void TimerDropTimer();

  // The whole surface of the panel (skin and captions) answers as a title
  // bar, so pressing there and moving drags the panel.
  tk::HitCode PanelHitTest(tk::Point client);
  tk::HitCode HitTest(tk::Point client) override { return PanelHitTest(client); }

 private:
  void LoadFormData();
  void BindEvents();
  void PointerEntered(ShapeButton& button, const char* status);
  void PointerLeft(ShapeButton& button, tk::TColor rest_color);
  void Chosen(tk::Timer& timer, const char* action);

  input::PointerInjector& injector_;
  std::string executable_path_;
  // The button the pointer rests on, from the entered and left events, and
  // whether its dwell click has already been made.
  ShapeButton* pointer_on_ = nullptr;
  bool dwell_done_ = false;
};

}  // namespace panel

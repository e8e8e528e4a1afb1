// The panel's reactions, driven one scripted event at a time: the pointer
// entering and leaving buttons, presses and clicks on them, timers firing.

#include "panel/controller.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_desktop.h"
#include "tests/support/temp_dir.h"
#include "toolkit/application.h"

namespace panel {
namespace {

using tk::MouseButton;
using Events = std::vector<std::string>;

class RecordingInjector : public input::PointerInjector {
 public:
  void LeftDown() override { events.push_back("LeftDown"); }
  void LeftUp() override { events.push_back("LeftUp"); }
  void RightDown() override { events.push_back("RightDown"); }
  void RightUp() override { events.push_back("RightUp"); }
  Events Take() { return std::exchange(events, {}); }
  Events events;
};

class Controller : public ::testing::Test {
 protected:
  void Create(const std::string& ini = "[MouseSetting]\nDelay=5\n") {
    dir_.Write("setting.ini", ini);
    form_ = std::make_unique<TFormMouse>(app_, injector_, dir_.File("mouse"));
    form_->FormCreate();
  }
  TFormMouse& f() { return *form_; }
  // What the desktop does with a dwell click on a button: a press and a
  // release, after the injecting reaction.
  void ClickButton(ShapeButton& b) {
    b.MouseDown(MouseButton::kLeft, {3, 3});
    b.MouseUp(MouseButton::kLeft, {3, 3});
  }

  testing_support::TempDir dir_;
  sim::SimDesktop desktop_;
  tk::Application app_{desktop_};
  RecordingInjector injector_;
  std::unique_ptr<TFormMouse> form_;
};

TEST_F(Controller, CreationReadsTheDelayIntoEveryActionTimer) {
  Create("[MouseSetting]\nDelay=7\n");
  EXPECT_EQ(f().DelaySeconds, 7);
  EXPECT_EQ(f().SettingsPath, dir_.File("setting.ini"));
  EXPECT_EQ(f().ProgramDir, dir_.path() + "/");
  for (tk::Timer* t : {f().TimerL.get(), f().TimerR.get(), f().TimerDD.get(), f().TimerDB.get()}) {
    SCOPED_TRACE(t->name());
    EXPECT_EQ(t->Interval(), 7000u);
    EXPECT_FALSE(t->Enabled());
  }
  EXPECT_EQ(f().TimerClick->Interval(), 3000u);
  EXPECT_EQ(f().TimerDrop->Interval(), 5000u);
  EXPECT_FALSE(f().TimerClick->Enabled());
  EXPECT_FALSE(f().TimerDrop->Enabled());
  EXPECT_EQ(f().PanelStatus->Caption(), "7 sec");
}

// A delay that would promise an action that never comes (0), or comes at
// another time than announced (negative, or too large for the timers), is
// taken as the default 5 s.
TEST_F(Controller, UnusableDelayFallsBackToFiveSeconds) {
  for (const char* value : {"0", "-1", "4294968", "2147483647", "abc", ""}) {
    SCOPED_TRACE(value);
    Create(std::string("[MouseSetting]\nDelay=") + value + "\n");
    EXPECT_EQ(f().DelaySeconds, 5);
    EXPECT_EQ(f().TimerL->Interval(), 5000u);
    EXPECT_EQ(f().PanelStatus->Caption(), "5 sec");
    form_.reset();
  }
}

struct Action {
  const char* name;
  ShapeButton* (*button)(TFormMouse&);
  tk::Timer* (*timer)(TFormMouse&);
  const char* hover_status;
  const char* countdown;
  Events performed;
};

const Action kActions[] = {
    {"left click", [](TFormMouse& f) { return f.MouseLbtnClick.get(); },
     [](TFormMouse& f) { return f.TimerL.get(); }, "Left Click", "Left Click in 5 sec",
     {"LeftDown", "LeftUp"}},
    {"double click", [](TFormMouse& f) { return f.MouseLbtnDBclick.get(); },
     [](TFormMouse& f) { return f.TimerDB.get(); }, "Double Click", "Double Click in 5 sec",
     {"LeftDown", "LeftUp", "LeftDown", "LeftUp"}},
    {"drag and drop", [](TFormMouse& f) { return f.MouseLbtnDDclick.get(); },
     [](TFormMouse& f) { return f.TimerDD.get(); }, "Drag && Drop click",
     "Drag && Drop in 5 sec", {"LeftDown"}},
    {"right click", [](TFormMouse& f) { return f.MouseRbtnClick.get(); },
     [](TFormMouse& f) { return f.TimerR.get(); }, "Right Click", "Right Click in 5 sec",
     {"RightDown", "RightUp"}},
};

TEST_F(Controller, EachActionFromHoverToPerformed) {
  Create();
  for (const Action& a : kActions) {
    SCOPED_TRACE(a.name);
    ShapeButton& button = *a.button(f());
    tk::Timer& timer = *a.timer(f());

    button.MouseEnter();
    EXPECT_EQ(button.Color(), tk::clYellow);
    EXPECT_TRUE(f().TimerClick->Enabled());
    EXPECT_EQ(f().PanelStatus->Caption(), a.hover_status);

    f().TimerClickTimer();
    EXPECT_EQ(injector_.Take(), (Events{"LeftDown", "LeftUp"}));
    EXPECT_FALSE(f().TimerClick->Enabled());

    ClickButton(button);
    EXPECT_EQ(button.Color(), tk::clRed);
    EXPECT_TRUE(button.Down());
    EXPECT_TRUE(timer.Enabled());
    EXPECT_EQ(f().PanelStatus->Caption(), a.countdown);

    button.MouseLeave();
    EXPECT_EQ(button.Color(), tk::clAqua);
    EXPECT_EQ(f().PanelStatus->Caption(), "");
    EXPECT_TRUE(timer.Enabled());

    timer.OnTimer();
    EXPECT_EQ(injector_.Take(), a.performed);
    EXPECT_FALSE(timer.Enabled());
    if (&timer == f().TimerDD.get()) {
      EXPECT_TRUE(f().TimerDrop->Enabled());
      EXPECT_EQ(f().PanelStatus->Caption(), "Drop in 5 sec");
      EXPECT_TRUE(button.Down());
      f().TimerDropTimer();
      EXPECT_EQ(injector_.Take(), (Events{"LeftUp"}));
      EXPECT_FALSE(f().TimerDrop->Enabled());
      EXPECT_EQ(f().PanelStatus->Caption(), "");
    }
    EXPECT_FALSE(button.Down());
    EXPECT_FALSE(button.Bold());
  }
}

TEST_F(Controller, CloseButtonDwellClosesTheProgram) {
  Create();
  f().BtnClose->MouseEnter();
  EXPECT_EQ(f().BtnClose->Color(), tk::clYellow);
  EXPECT_EQ(f().PanelStatus->Caption(), "Close Program");
  f().TimerClickTimer();
  EXPECT_EQ(injector_.Take(), (Events{"LeftDown", "LeftUp"}));
  EXPECT_FALSE(app_.Terminated());
  ClickButton(*f().BtnClose);
  EXPECT_EQ(f().BtnClose->Color(), tk::clRed);
  EXPECT_TRUE(app_.Terminated());
  EXPECT_TRUE(injector_.Take().empty());
}

TEST_F(Controller, LeavingCloseButtonRestoresItsOwnColour) {
  Create();
  f().BtnClose->MouseEnter();
  f().BtnClose->MouseLeave();
  EXPECT_EQ(f().BtnClose->Color(), tk::clSkyBlue);
  EXPECT_FALSE(f().TimerClick->Enabled());
  EXPECT_EQ(f().PanelStatus->Caption(), "");
}

TEST_F(Controller, RightPressOnlyTurnsTheFaceRed) {
  Create();
  f().MouseLbtnClick->MouseDown(MouseButton::kRight, {3, 3});
  f().MouseLbtnClick->MouseUp(MouseButton::kRight, {3, 3});
  EXPECT_EQ(f().MouseLbtnClick->Color(), tk::clRed);
  EXPECT_FALSE(f().TimerL->Enabled());
  EXPECT_FALSE(f().MouseLbtnClick->Down());
}

// Focus coming into the left group arms the dwell only for a pointer that
// rests on a button not yet dwell-clicked; otherwise a click would land on
// whatever is under the pointer three seconds later.
TEST_F(Controller, FocusEnteringLeftGroupArmsDwellOnlyOnAFreshButton) {
  Create();
  f().MouseLbtnEnter();
  EXPECT_FALSE(f().TimerClick->Enabled());

  f().MouseLbtnDBclick->MouseEnter();
  f().MouseLbtnEnter();
  EXPECT_TRUE(f().TimerClick->Enabled());

  f().TimerClickTimer();
  injector_.Take();
  f().MouseLbtnEnter();  // the activation that a dwell click's press brings
  EXPECT_FALSE(f().TimerClick->Enabled());

  f().MouseLbtnDBclick->MouseLeave();
  f().MouseLbtnEnter();
  EXPECT_FALSE(f().TimerClick->Enabled());
}

TEST_F(Controller, DwellReReadsTheDelayButActionTimersKeepTheirs) {
  Create();
  dir_.Write("setting.ini", "[MouseSetting]\nDelay=9\n");
  f().MouseLbtnClick->MouseEnter();
  f().TimerClickTimer();
  ClickButton(*f().MouseLbtnClick);
  EXPECT_EQ(f().DelaySeconds, 9);
  EXPECT_EQ(f().PanelStatus->Caption(), "Left Click in 9 sec");
  EXPECT_EQ(f().TimerL->Interval(), 5000u);
}

TEST_F(Controller, ClosingReleasesAPendingDropAndNothingElse) {
  Create();
  f().TimerL->SetEnabled(true);
  f().TimerDD->SetEnabled(true);
  f().FormClose();
  EXPECT_TRUE(injector_.Take().empty());  // no drag started yet

  f().TimerDDTimer();
  EXPECT_EQ(injector_.Take(), (Events{"LeftDown"}));
  f().Close();
  EXPECT_EQ(injector_.Take(), (Events{"LeftUp"}));
  EXPECT_TRUE(app_.Terminated());
}

TEST_F(Controller, SurfaceAnswersAsTitleBar) {
  Create();
  EXPECT_EQ(f().PanelHitTest({20, 128}), tk::HitCode::kCaption);
}

}  // namespace
}  // namespace panel

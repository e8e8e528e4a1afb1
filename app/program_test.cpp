// The whole program on the simulated desktop: the real panel, loop, timers
// and injector, with the pointer moved by the test and the injected events
// delivered back to the panel or to another program's window.

#include "app/program.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_desktop.h"
#include "tests/support/temp_dir.h"

namespace app {
namespace {

using sim::Gesture;
using sim::Injection;
using tk::MouseButton;
using tk::Point;

// Screen points: the panel stands at (297, 229).
constexpr Point kClick{357, 301};
constexpr Point kDoubleClick{357, 335};
constexpr Point kDragDrop{357, 369};
constexpr Point kRightClick{417, 335};
constexpr Point kClose{381, 430};
constexpr Point kAway{800, 600};
constexpr Point kElsewhere{900, 700};

class WholeProgram : public ::testing::Test {
 protected:
  void Start(const std::string& ini = "[MouseSetting]\nDelay=5\n",
             Point pointer = kAway) {
    if (!ini.empty()) dir_.Write("setting.ini", ini);
    desktop_.MovePointer(pointer);
    program_ = std::make_unique<Program>(desktop_, dir_.File("mouse"));
    program_->Start();
    Run(0);
  }
  void Run(tk::Millis until) { sim::RunUntil(desktop_, program_->application(), until); }
  void MoveAt(tk::Millis at, Point p) {
    Run(at);
    desktop_.MovePointer(p);
    Run(at);
  }
  panel::TFormMouse& form() { return program_->form(); }
  bool Ended() { return program_->application().Terminated(); }
  std::vector<Gesture::Kind> Kinds() {
    std::vector<Gesture::Kind> kinds;
    for (const Gesture& g : target_.gestures()) kinds.push_back(g.kind);
    return kinds;
  }

  testing_support::TempDir dir_;
  sim::SimDesktop desktop_;
  // Another program's window filling the screen beneath the panel.
  sim::TargetWindow& target_ = desktop_.AddTarget("desktop", {0, 0, 1280, 1024});
  std::unique_ptr<Program> program_;
};

struct Road {
  const char* name;
  Point button;
  std::vector<Injection> action;  // what lands at kAway, from t = 9000 on
  std::vector<Gesture::Kind> seen;
};

// Every action, the whole road: the pointer rests on the button from 1 s,
// the dwell click lands on the button at 4 s, the button latches and counts
// down, the pointer goes to the target at 5 s, and the action lands there at
// 9 s.
TEST_F(WholeProgram, EveryActionLandsWhereThePointerIsWhenItsTimeComes) {
  const Road roads[] = {
      {"left click", kClick,
       {{9000, MouseButton::kLeft, true, kAway}, {9000, MouseButton::kLeft, false, kAway}},
       {Gesture::Kind::kClick}},
      {"double click", kDoubleClick,
       {{9000, MouseButton::kLeft, true, kAway}, {9000, MouseButton::kLeft, false, kAway},
        {9000, MouseButton::kLeft, true, kAway}, {9000, MouseButton::kLeft, false, kAway}},
       {Gesture::Kind::kClick, Gesture::Kind::kDoubleClick}},
      {"right click", kRightClick,
       {{9000, MouseButton::kRight, true, kAway}, {9000, MouseButton::kRight, false, kAway}},
       {Gesture::Kind::kRightClick}},
      {"drag and drop", kDragDrop,
       {{9000, MouseButton::kLeft, true, kAway}, {14000, MouseButton::kLeft, false, kElsewhere}},
       {Gesture::Kind::kDrag}},
  };
  for (const Road& road : roads) {
    SCOPED_TRACE(road.name);
    sim::SimDesktop desktop;
    sim::TargetWindow& target = desktop.AddTarget("desktop", {0, 0, 1280, 1024});
    dir_.Write("setting.ini", "[MouseSetting]\nDelay=5\n");
    desktop.MovePointer(kAway);
    Program program(desktop, dir_.File("mouse"));
    program.Start();
    auto run = [&](tk::Millis t) { sim::RunUntil(desktop, program.application(), t); };
    panel::TFormMouse& f = program.form();
    run(1000);
    desktop.MovePointer(road.button);
    run(3999);
    EXPECT_TRUE(desktop.injections().empty());
    run(4000);
    // The dwell click landed on the button: it latched and counts down.
    std::vector<Injection> dwell = {{4000, MouseButton::kLeft, true, road.button},
                                    {4000, MouseButton::kLeft, false, road.button}};
    EXPECT_EQ(desktop.injections(), dwell);
    panel::ShapeButton* button =
        dynamic_cast<panel::ShapeButton*>(program.application().ControlUnderPointer());
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->Down());
    EXPECT_EQ(button->Color(), tk::clRed);
    EXPECT_NE(f.PanelStatus->Caption().find(" in 5 sec"), std::string::npos);
    EXPECT_TRUE(target.events().empty());

    run(5000);
    desktop.MovePointer(kAway);
    run(8999);
    EXPECT_EQ(f.PanelStatus->Caption(), "");
    EXPECT_EQ(button->Color(), tk::clAqua);
    EXPECT_EQ(desktop.injections().size(), 2u);
    run(11000);
    desktop.MovePointer(kElsewhere);
    run(20000);
    std::vector<Injection> all = dwell;
    all.insert(all.end(), road.action.begin(), road.action.end());
    EXPECT_EQ(desktop.injections(), all);
    std::vector<Gesture::Kind> kinds;
    for (const Gesture& g : target.gestures()) kinds.push_back(g.kind);
    EXPECT_EQ(kinds, road.seen);
    EXPECT_FALSE(button->Down());
    EXPECT_FALSE(desktop.ButtonHeld(MouseButton::kLeft));
    EXPECT_FALSE(program.application().Terminated());
  }
}

TEST_F(WholeProgram, StartingWithThePointerAwayClicksNothing) {
  Start();
  EXPECT_TRUE(desktop_.WindowShown());
  EXPECT_TRUE(desktop_.WindowActive());
  EXPECT_EQ(desktop_.WindowBounds(), (tk::Rect{297, 229, 175, 258}));
  EXPECT_EQ(form().PanelStatus->Caption(), "5 sec");
  Run(60000);
  EXPECT_TRUE(desktop_.injections().empty());
}

// Resting on a button from the start gives one dwell click; the chosen left
// click then lands on the button itself, which is a click on it like any
// other and chooses it again.
TEST_F(WholeProgram, StartingWithThePointerOnAButtonDwellClicksItOnce) {
  Start("[MouseSetting]\nDelay=5\n", kClick);
  Run(7999);
  ASSERT_EQ(desktop_.injections().size(), 2u);
  EXPECT_EQ(desktop_.injections()[0].time, 3000);
  EXPECT_TRUE(form().MouseLbtnClick->Down());
  EXPECT_EQ(form().PanelStatus->Caption(), "Left Click in 5 sec");
  Run(8000);
  ASSERT_EQ(desktop_.injections().size(), 4u);
  EXPECT_EQ(desktop_.injections()[2].screen, kClick);
  EXPECT_TRUE(form().MouseLbtnClick->Down());
  EXPECT_TRUE(form().TimerL->Enabled());
  EXPECT_TRUE(target_.events().empty());
}

TEST_F(WholeProgram, LeavingBeforeTheDwellInjectsNothing) {
  Start();
  MoveAt(1000, kClick);
  MoveAt(3999, kAway);
  Run(30000);
  EXPECT_TRUE(desktop_.injections().empty());
  EXPECT_EQ(form().MouseLbtnClick->Color(), tk::clAqua);
  EXPECT_EQ(form().PanelStatus->Caption(), "");
}

TEST_F(WholeProgram, MovingStraightToAnotherButtonNeedsItsOwnFullDwell) {
  Start();
  MoveAt(1000, kClick);
  MoveAt(3000, kDoubleClick);
  Run(5999);
  EXPECT_TRUE(desktop_.injections().empty());
  Run(6000);
  ASSERT_EQ(desktop_.injections().size(), 2u);
  EXPECT_EQ(desktop_.injections()[0].screen, kDoubleClick);
  EXPECT_TRUE(form().MouseLbtnDBclick->Down());
  EXPECT_FALSE(form().MouseLbtnClick->Down());
  EXPECT_EQ(form().MouseLbtnClick->Color(), tk::clAqua);
}

// Choosing again while the countdown runs does not restart it: one action,
// Delay seconds after the first choice.
TEST_F(WholeProgram, SameActionChosenTwiceActsOnceAtTheFirstTime) {
  Start();
  MoveAt(1000, kClick);   // dwell click at 4000, action due at 9000
  MoveAt(5000, kAway);
  MoveAt(5500, kClick);   // second dwell click at 8500
  Run(8500);
  EXPECT_EQ(form().PanelStatus->Caption(), "Left Click in 5 sec");
  MoveAt(8600, kAway);
  Run(30000);
  EXPECT_EQ(desktop_.injections().size(), 6u);
  EXPECT_EQ(Kinds(), (std::vector<Gesture::Kind>{Gesture::Kind::kClick}));
  EXPECT_EQ(target_.gestures()[0].time, 9000);
}

TEST_F(WholeProgram, SecondActionWhileOneCountsDownBothComeInTime) {
  Start();
  MoveAt(1000, kClick);        // left click due at 9000
  MoveAt(4500, kRightClick);   // dwell at 7500, right click due at 12500
  Run(7500);
  EXPECT_TRUE(form().MouseLbtnClick->Down());
  EXPECT_TRUE(form().MouseRbtnClick->Down());
  MoveAt(8000, kAway);
  MoveAt(10000, kElsewhere);
  Run(30000);
  ASSERT_EQ(target_.gestures().size(), 2u);
  EXPECT_EQ(target_.gestures()[0], (Gesture{Gesture::Kind::kClick, 9000, kAway, kAway}));
  EXPECT_EQ(target_.gestures()[1],
            (Gesture{Gesture::Kind::kRightClick, 12500, kElsewhere, kElsewhere}));
  EXPECT_FALSE(form().MouseLbtnClick->Down());
  EXPECT_FALSE(form().MouseRbtnClick->Down());
}

TEST_F(WholeProgram, EditedDelayShowsInTextsWhileTimersKeepTheFirst) {
  Start();
  dir_.Write("setting.ini", "[MouseSetting]\nDelay=9\n");
  MoveAt(1000, kClick);
  Run(4000);
  EXPECT_EQ(form().PanelStatus->Caption(), "Left Click in 9 sec");
  MoveAt(5000, kAway);
  Run(30000);
  ASSERT_EQ(target_.gestures().size(), 1u);
  EXPECT_EQ(target_.gestures()[0].time, 9000);
}

TEST_F(WholeProgram, ClosingWithActionsPendingInjectsNothingMore) {
  Start();
  MoveAt(1000, kClick);   // left click due at 9000
  MoveAt(4500, kClose);   // dwell click on Close at 7500
  Run(7499);
  EXPECT_EQ(form().BtnClose->Color(), tk::clYellow);
  EXPECT_EQ(form().PanelStatus->Caption(), "Close Program");
  Run(7500);
  EXPECT_TRUE(Ended());
  program_.reset();
  EXPECT_EQ(desktop_.injections().size(), 4u);
  EXPECT_TRUE(target_.events().empty());
}

// A drag whose drop is still to come holds the left button down; closing
// releases it, so the user is not left with a held button.
TEST_F(WholeProgram, ClosingDuringADragReleasesTheButton) {
  Start();
  MoveAt(1000, kDragDrop);  // drag starts at 9000, drop due at 14000
  MoveAt(5000, kAway);
  MoveAt(10000, kElsewhere);
  EXPECT_TRUE(desktop_.ButtonHeld(MouseButton::kLeft));
  desktop_.RequestClose();
  Run(10000);
  EXPECT_TRUE(Ended());
  program_.reset();
  EXPECT_FALSE(desktop_.ButtonHeld(MouseButton::kLeft));
  while (desktop_.PollEvent()) {
  }
  EXPECT_EQ(Kinds(), (std::vector<Gesture::Kind>{Gesture::Kind::kDrag}));
  EXPECT_EQ(desktop_.injections().back(),
            (Injection{10000, MouseButton::kLeft, false, kElsewhere}));
}

TEST_F(WholeProgram, CloseRequestEndsLikeTheCloseButton) {
  Start();
  MoveAt(1000, kClick);
  desktop_.RequestClose();
  Run(1000);
  EXPECT_TRUE(Ended());
  EXPECT_TRUE(desktop_.injections().empty());
}

TEST_F(WholeProgram, NoSettingsFileMeansFiveSecondsAndNoFileIsMade) {
  Start("");
  EXPECT_EQ(form().PanelStatus->Caption(), "5 sec");
  MoveAt(1000, kClick);
  Run(4000);
  EXPECT_EQ(form().PanelStatus->Caption(), "Left Click in 5 sec");
  form().Close();
  program_.reset();
  EXPECT_FALSE(dir_.Exists("setting.ini"));
}

// Only the close button has a tooltip: 500 ms after the pointer comes onto
// it, gone as soon as the pointer leaves or a button is pressed (the dwell
// click's press included).
TEST_F(WholeProgram, CloseButtonAloneShowsItsTooltip) {
  Start();
  for (Point p : {kClick, kDoubleClick, kRightClick, Point{297 + 60, 229 + 56 + 33}}) {
    MoveAt(desktop_.Now() + 100, p);
    Run(desktop_.Now() + 1000);
    EXPECT_FALSE(desktop_.tooltip());
    MoveAt(desktop_.Now(), kAway);
  }
  tk::Millis on = desktop_.Now() + 100;
  MoveAt(on, kClose);
  Run(on + 600);
  EXPECT_EQ(desktop_.tooltip(), "ปิดโปรแกรมจ้า");
  MoveAt(on + 700, kAway);
  EXPECT_FALSE(desktop_.tooltip());

  on += 1000;
  MoveAt(on, kClose);
  Run(on + 499);
  EXPECT_FALSE(desktop_.tooltip());
  Run(on + 500);
  EXPECT_TRUE(desktop_.tooltip());
  Run(on + 2999);
  EXPECT_TRUE(desktop_.tooltip());
  Run(on + 3000);  // the dwell click
  EXPECT_FALSE(desktop_.tooltip());
  EXPECT_TRUE(Ended());
}

TEST_F(WholeProgram, DraggingTheSkinMovesThePanel) {
  Start();
  MoveAt(1000, {297 + 20, 229 + 128});
  desktop_.Press(MouseButton::kLeft);
  MoveAt(1100, {297 + 70, 229 + 168});
  desktop_.Release(MouseButton::kLeft);
  Run(1200);
  EXPECT_EQ(desktop_.WindowBounds(), (tk::Rect{347, 269, 175, 258}));
  EXPECT_TRUE(target_.events().empty());
}

}  // namespace
}  // namespace app

#include "toolkit/application.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/sim/sim_desktop.h"
#include "toolkit/form.h"

namespace tk {
namespace {

// Records the notices it gets; takes the capture on a left press, as a
// button does.
class Probe : public Control {
 public:
  Probe(Control* parent, std::string name, Rect bounds, std::vector<std::string>* log)
      : Control(parent, std::move(name), bounds, true), log_(log) {}
  void MouseEnter() override { log_->push_back("enter " + name()); }
  void MouseLeave() override { log_->push_back("leave " + name()); }
  void MouseDown(MouseButton, Point p) override {
    log_->push_back("down " + name() + " " + std::to_string(p.x) + "," + std::to_string(p.y));
    form()->SetCapture(this);
  }
  void MouseUp(MouseButton, Point) override {
    log_->push_back("up " + name());
    form()->ReleaseCapture(this);
  }

 private:
  std::vector<std::string>* log_;
};

class MovableForm : public Form {
 public:
  using Form::Form;
  HitCode HitTest(Point) override { return HitCode::kCaption; }
};

class Loop : public ::testing::Test {
 protected:
  void SetUp() override {
    form_.CreateHandle();
    form_.Show();
    Run(0);
    log_.clear();
  }
  void Run(Millis until) { sim::RunUntil(desktop_, app_, until); }
  void MoveTo(Point form_point, Millis at) {
    Run(at);
    desktop_.MovePointer(form_point + Point{100, 100});
    Run(at);
  }

  sim::SimDesktop desktop_;
  Application app_{desktop_};
  std::vector<std::string> log_;
  MovableForm form_{app_, "form", {100, 100, 200, 200}};
  Probe a_{&form_, "a", {10, 10, 50, 50}, &log_};
  Probe b_{&form_, "b", {61, 10, 50, 50}, &log_};
};

TEST_F(Loop, LeftThenEnteredAsThePointerMoves) {
  MoveTo({20, 20}, 10);
  MoveTo({70, 20}, 20);      // straight from a to b
  MoveTo({70, 300}, 30);     // off the form
  EXPECT_EQ(log_, (std::vector<std::string>{"enter a", "leave a", "enter b", "leave b"}));
  EXPECT_EQ(app_.ControlUnderPointer(), nullptr);
}

TEST_F(Loop, WindowOverTheFormHidesItsControls) {
  MoveTo({20, 20}, 10);
  desktop_.AddTarget("dialog", {105, 105, 40, 40}, /*above_panel=*/true);
  Run(20);  // no motion at all: the pointer check still sees it
  EXPECT_EQ(log_, (std::vector<std::string>{"enter a", "leave a"}));
}

// While a holds the capture only a hears of the pointer coming and going, and
// b, passed over meanwhile, hears nothing until the pointer leaves it and
// comes back.
TEST_F(Loop, CaptureKeepsNoticesToTheCapturingControl) {
  MoveTo({20, 20}, 10);
  desktop_.Press(MouseButton::kLeft);
  Run(10);
  MoveTo({70, 20}, 20);
  MoveTo({20, 20}, 30);
  MoveTo({70, 20}, 40);
  desktop_.Release(MouseButton::kLeft);
  Run(40);
  MoveTo({75, 25}, 50);
  MoveTo({5, 5}, 60);
  MoveTo({70, 20}, 70);
  EXPECT_EQ(log_, (std::vector<std::string>{"enter a", "down a 10,10", "leave a", "enter a",
                                             "leave a", "up a", "leave b", "enter b"}));
}

TEST_F(Loop, PressOnTheSurfaceMovesTheWindow) {
  MoveTo({5, 150}, 10);
  desktop_.Press(MouseButton::kLeft);
  Run(10);
  desktop_.MovePointer({155, 290});
  desktop_.Release(MouseButton::kLeft);
  Run(20);
  EXPECT_EQ(desktop_.WindowBounds(), (Rect{150, 140, 200, 200}));
  EXPECT_TRUE(log_.empty());
}

TEST_F(Loop, ErrorInAReactionIsReportedAndTheLoopGoesOn) {
  Timer failing(app_.timers());
  failing.SetInterval(100);
  failing.OnTimer = [&] {
    failing.SetEnabled(false);
    throw std::runtime_error("Not enough timers available");
  };
  Timer after(app_.timers());
  after.SetInterval(200);
  int ticks = 0;
  after.OnTimer = [&] { ++ticks; };
  failing.SetEnabled(true);
  after.SetEnabled(true);
  Run(450);
  ASSERT_EQ(desktop_.errors().size(), 1u);
  EXPECT_EQ(desktop_.errors()[0], ": Not enough timers available.");
  EXPECT_EQ(ticks, 2);
}

TEST_F(Loop, ErrorTextGetsAFullStopOnlyAfterACharacterAboveIt) {
  std::vector<std::string> shown;
  app_.OnError = [&](const std::string& m) { shown.push_back(m); };
  for (const char* m : {"Failed", "Failed.", "Failed!", "3", "x-"}) app_.ReportError(m);
  EXPECT_EQ(shown, (std::vector<std::string>{"Failed.", "Failed.", "Failed!", "3.", "x-"}));
}

TEST_F(Loop, HintShowsAfterAPauseAndHidesLater) {
  app_.SetHint(&b_, "tip");
  MoveTo({20, 20}, 1000);
  Run(3000);
  EXPECT_FALSE(desktop_.tooltip());
  MoveTo({70, 20}, 3000);
  Run(3499);
  EXPECT_FALSE(desktop_.tooltip());
  Run(3500);
  EXPECT_EQ(desktop_.tooltip(), "tip");
  Run(5999);
  EXPECT_TRUE(desktop_.tooltip());
  Run(6000);
  EXPECT_FALSE(desktop_.tooltip());
  Run(20000);  // not again while the pointer stays
  EXPECT_FALSE(desktop_.tooltip());
  MoveTo({20, 20}, 20000);
  MoveTo({70, 20}, 20100);
  Run(20600);
  EXPECT_TRUE(desktop_.tooltip());
  MoveTo({20, 20}, 20700);  // leaving hides it at once
  EXPECT_FALSE(desktop_.tooltip());
}

// Counts how often the loop asks the desktop where the pointer is.
class PointerQueries : public sim::SimDesktop {
 public:
  PointerState QueryPointer() override {
    ++count;
    return sim::SimDesktop::QueryPointer();
  }
  int count = 0;
};

// A timer's turn and the turn right after it share one question to the
// desktop, so a fade ticking all day costs one round trip a tick, not two;
// a pointer that moves in between is still seen by the turn that follows.
TEST(LoopCost, ATickAsksWhereThePointerIsOnce) {
  PointerQueries desktop;
  Application app{desktop};
  std::vector<std::string> log;
  Form form{app, "form", {100, 100, 200, 200}};
  Probe a{&form, "a", {10, 10, 50, 50}, &log};
  form.Show();
  Timer tick{app.timers(), "tick"};
  tick.SetInterval(16);
  tick.OnTimer = [] {};
  tick.SetEnabled(true);
  sim::RunUntil(desktop, app, 0);
  int before = desktop.count;
  for (Millis t = 16; t <= 160; t += 16) {
    desktop.SetNow(t);
    while (app.Step()) {
    }
  }
  EXPECT_EQ(desktop.count - before, 10);

  desktop.SetNow(176);
  ASSERT_TRUE(app.Step());          // the tick
  desktop.MovePointer({120, 120});  // onto a
  while (app.Step()) {
  }
  EXPECT_EQ(log, std::vector<std::string>{"enter a"});
}

}  // namespace
}  // namespace tk

#include "toolkit/control.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_desktop.h"
#include "toolkit/application.h"
#include "toolkit/form.h"

namespace tk {
namespace {

class FocusRecorder : public Control {
 public:
  FocusRecorder(Control* parent, std::string name, Rect bounds,
                std::vector<std::string>* log)
      : Control(parent, std::move(name), bounds, true), log_(log) {}
  void FocusEnter() override { log_->push_back(name()); }

 private:
  std::vector<std::string>* log_;
};

// A form with a surface picture and label, and windowed children: a group
// holding two buttons with a gap between them, and a separate button.
class ControlTree : public ::testing::Test {
 protected:
  sim::SimDesktop desktop_;
  Application app_{desktop_};
  std::vector<std::string> focus_log_;
  Form form_{app_, "form", {100, 100, 200, 200}};
  Control skin_{&form_, "skin", {0, 0, 200, 200}, false};
  Control label_{&form_, "label", {10, 10, 50, 20}, false};
  FocusRecorder group_{&form_, "group", {20, 40, 60, 100}, &focus_log_};
  Control first_{&group_, "first", {0, 0, 60, 49}, true};
  Control second_{&group_, "second", {0, 50, 60, 50}, true};
  FocusRecorder other_{&form_, "other", {100, 40, 60, 100}, &focus_log_};
};

TEST_F(ControlTree, ControlAtFindsTheInnermostControl) {
  struct Case {
    Point p;
    const char* any;
    const char* windowed;
  } cases[] = {
      {{5, 5}, "skin", "form"},         // bare surface
      {{15, 15}, "label", "form"},      // a label drawn on the surface
      {{25, 45}, "first", "first"},
      {{25, 89}, "group", "group"},     // the gap between the buttons
      {{25, 90}, "second", "second"},
      {{199, 199}, "skin", "form"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.p.x << "," << c.p.y);
    EXPECT_EQ(form_.ControlAt(c.p, false)->name(), c.any);
    EXPECT_EQ(form_.ControlAt(c.p, true)->name(), c.windowed);
  }
  EXPECT_EQ(form_.ControlAt({200, 5}, false), nullptr);
  EXPECT_EQ(second_.OriginInForm(), (Point{20, 90}));
}

TEST_F(ControlTree, HiddenControlsAreNotFound) {
  first_.SetVisible(false);
  EXPECT_EQ(form_.ControlAt({25, 45}, false)->name(), "group");
  first_.SetEnabled(false);  // disabled ones still count
  first_.SetVisible(true);
  EXPECT_EQ(form_.ControlAt({25, 45}, false)->name(), "first");
}

TEST_F(ControlTree, FirstActivationFocusesFirstTabStopOnce) {
  group_.SetTabOrder(1, true);
  other_.SetTabOrder(0, true);
  form_.Activated();
  form_.Activated();
  EXPECT_EQ(focus_log_, (std::vector<std::string>{"other"}));
  form_.KeyPress(Key::kTab);
  form_.KeyPress(Key::kTab);
  EXPECT_EQ(focus_log_, (std::vector<std::string>{"other", "group", "other"}));
  EXPECT_EQ(form_.ActiveControl(), &other_);
}

TEST_F(ControlTree, DestroyedControlIsForgotten) {
  auto temp = std::make_unique<Control>(&form_, "temp", Rect{0, 0, 5, 5}, true);
  temp->SetTabOrder(0, true);
  form_.Activated();
  EXPECT_EQ(form_.ActiveControl(), temp.get());
  form_.SetCapture(temp.get());
  temp.reset();
  EXPECT_EQ(form_.ActiveControl(), nullptr);
  EXPECT_EQ(form_.Capture(), nullptr);
  EXPECT_EQ(form_.ControlAt({1, 1}, true), &form_);
}

}  // namespace
}  // namespace tk

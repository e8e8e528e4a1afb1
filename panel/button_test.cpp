#include <gtest/gtest.h>

#include "panel/button_group.h"
#include "panel/shape_button.h"
#include "platform/sim/sim_desktop.h"
#include "toolkit/application.h"
#include "toolkit/form.h"

namespace panel {
namespace {

using tk::MouseButton;

// Two groups side by side, as on the panel, and a lone button; every event
// of every button goes to one log.
class Buttons : public ::testing::Test {
 protected:
  Buttons() {
    for (ShapeButton* b : {&click_, &dbclick_, &ddclick_, &right_}) b->GroupIndex = 1;
    for (ShapeButton* b : {&click_, &dbclick_, &ddclick_, &right_, &close_}) {
      b->OnMouseDown = [this](ShapeButton& s, MouseButton, tk::Point) { Log("down", s); };
      b->OnClick = [this](ShapeButton& s) { Log("click", s); };
    }
    left_.ArrangeButtons();
    right_group_.ArrangeButtons();
  }
  void Log(const char* what, ShapeButton& b) {
    log_.push_back(std::string(what) + " " + b.name() + (b.Down() ? " down" : " up") +
                   (b.Bold() ? " bold" : ""));
  }
  void Click(ShapeButton& b) {
    b.MouseDown(MouseButton::kLeft, {5, 5});
    b.MouseUp(MouseButton::kLeft, {5, 5});
  }
  std::vector<std::string> Latched() {
    std::vector<std::string> names;
    for (ShapeButton* b : {&click_, &dbclick_, &ddclick_, &right_, &close_}) {
      if (b->Down()) names.push_back(b->name() + (b->Bold() ? "*" : ""));
    }
    return names;
  }

  sim::SimDesktop desktop_;
  tk::Application app_{desktop_};
  tk::Form form_{app_, "form", {0, 0, 175, 258}};
  ButtonGroup left_{&form_, "left", {32, 56, 57, 100}};
  ShapeButton click_{&left_, "click", {}};
  ShapeButton dbclick_{&left_, "dbclick", {}};
  ShapeButton ddclick_{&left_, "ddclick", {}};
  ButtonGroup right_group_{&form_, "right", {96, 56, 49, 100}};
  ShapeButton right_{&right_group_, "rclick", {}};
  ShapeButton close_{&form_, "close", {56, 193, 57, 17}};
  std::vector<std::string> log_;
};

TEST_F(Buttons, GroupStacksButtonsWithOnePixelGaps) {
  EXPECT_EQ(click_.bounds(), (tk::Rect{0, 0, 57, 33}));
  EXPECT_EQ(dbclick_.bounds(), (tk::Rect{0, 34, 57, 33}));
  EXPECT_EQ(ddclick_.bounds(), (tk::Rect{0, 68, 57, 32}));
  EXPECT_EQ(right_.bounds(), (tk::Rect{0, 0, 49, 100}));
  struct Case {
    int height, spacing, border, max;
    std::vector<int> tops, heights;
  } cases[] = {
      {100, 1, 0, 0, {0, 34, 68}, {33, 33, 32}},
      {99, 0, 0, 0, {0, 33, 66}, {33, 33, 33}},
      {100, 1, 2, 0, {2, 35, 67}, {32, 31, 31}},
      {100, 1, 0, 20, {0, 21, 42}, {20, 20, 20}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.height);
    left_.SetBounds({32, 56, 57, c.height});
    left_.ControlSpacing = c.spacing;
    left_.BorderWidth = c.border;
    left_.MaxControlSize = c.max;
    left_.ArrangeButtons();
    std::vector<int> tops, heights;
    for (ShapeButton* b : left_.Buttons()) {
      tops.push_back(b->bounds().top);
      heights.push_back(b->bounds().height);
    }
    EXPECT_EQ(tops, c.tops);
    EXPECT_EQ(heights, c.heights);
  }
}

// The press is reported with the button already down; the click comes after
// the latch, with the caption bold.
TEST_F(Buttons, ClickLatchesAndReleasesOnlyItsOwnGroup) {
  Click(right_);
  Click(click_);
  Click(ddclick_);
  EXPECT_EQ(log_, (std::vector<std::string>{
                      "down rclick down", "click rclick down bold",
                      "down click down", "click click down bold",
                      "down ddclick down", "click ddclick down bold"}));
  EXPECT_EQ(Latched(), (std::vector<std::string>{"ddclick*", "rclick*"}));
}

TEST_F(Buttons, LatchedButtonClickedAgainStaysLatched) {
  Click(click_);
  Click(click_);
  Click(click_);  // and a double click is two clicks
  EXPECT_EQ(log_.size(), 6u);
  EXPECT_EQ(log_.back(), "click click down bold");
  EXPECT_EQ(Latched(), (std::vector<std::string>{"click*"}));
}

TEST_F(Buttons, PressMovedOffAndReleasedElsewhereDoesNothing) {
  Click(dbclick_);
  log_.clear();
  click_.MouseDown(MouseButton::kLeft, {5, 5});
  EXPECT_TRUE(click_.Down());
  EXPECT_EQ(form_.Capture(), &click_);
  click_.MouseMove({5, 40});  // off: comes up at once
  EXPECT_FALSE(click_.Down());
  click_.MouseMove({5, 6});   // back on: down again
  EXPECT_TRUE(click_.Down());
  click_.MouseMove({70, 6});
  click_.MouseUp(MouseButton::kLeft, {70, 6});
  EXPECT_EQ(log_, (std::vector<std::string>{"down click down"}));
  EXPECT_EQ(Latched(), (std::vector<std::string>{"dbclick*"}));
  EXPECT_EQ(form_.Capture(), nullptr);
}

TEST_F(Buttons, LatchedButtonStaysDownWhenPressMovesOff) {
  Click(click_);
  click_.MouseDown(MouseButton::kLeft, {5, 5});
  click_.MouseMove({5, 40});
  EXPECT_TRUE(click_.Down());
  click_.MouseUp(MouseButton::kLeft, {5, 40});
  EXPECT_EQ(Latched(), (std::vector<std::string>{"click*"}));
}

TEST_F(Buttons, RightAndMiddlePressesAreOnlyReported) {
  for (MouseButton b : {MouseButton::kRight, MouseButton::kMiddle}) {
    click_.MouseDown(b, {5, 5});
    click_.MouseUp(b, {5, 5});
  }
  EXPECT_EQ(log_, (std::vector<std::string>{"down click up", "down click up"}));
  EXPECT_TRUE(Latched().empty());
  EXPECT_EQ(form_.Capture(), nullptr);
}

TEST_F(Buttons, CloseButtonSinksWhileHeldAndNeverLatches) {
  close_.MouseDown(MouseButton::kLeft, {5, 5});
  EXPECT_TRUE(close_.Down());
  close_.MouseUp(MouseButton::kLeft, {5, 5});
  close_.SetDown(true);
  EXPECT_EQ(log_, (std::vector<std::string>{"down close down", "click close up"}));
  EXPECT_FALSE(close_.Down());
  EXPECT_FALSE(close_.Bold());
}

TEST_F(Buttons, ProgramReleaseRaisesNothingAndTouchesNoOther) {
  Click(click_);
  Click(right_);
  log_.clear();
  click_.SetDown(false);
  click_.SetDown(false);
  EXPECT_TRUE(log_.empty());
  EXPECT_FALSE(click_.Bold());
  EXPECT_EQ(Latched(), (std::vector<std::string>{"rclick*"}));
}

TEST_F(Buttons, KeysChooseWithinTheFocusedGroupWithoutEvents) {
  struct Case {
    std::vector<tk::Key> keys;
    const char* latched;
  } cases[] = {
      {{tk::Key::kEnd}, "click*"},  // nothing latched: any key picks the first
      {{tk::Key::kHome, tk::Key::kEnd}, "ddclick*"},
      {{tk::Key::kHome, tk::Key::kDown}, "dbclick*"},
      {{tk::Key::kHome, tk::Key::kUp}, "ddclick*"},  // wraps round
      {{tk::Key::kEnd, tk::Key::kRight}, "dbclick*"},
      {{tk::Key::kHome, tk::Key::kEnd, tk::Key::kRight}, "click*"},
      {{tk::Key::kHome, tk::Key::kRight, tk::Key::kLeft}, "click*"},
  };
  for (const Case& c : cases) {
    for (ShapeButton* b : left_.Buttons()) b->SetDown(false);
    for (tk::Key k : c.keys) left_.KeyDown(k);
    EXPECT_EQ(Latched(), (std::vector<std::string>{c.latched}));
  }
  EXPECT_TRUE(log_.empty());
  EXPECT_FALSE(left_.KeyDown(tk::Key::kOther));
}

}  // namespace
}  // namespace panel

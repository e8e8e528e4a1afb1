#include "platform/sim/sim_desktop.h"

#include <gtest/gtest.h>

namespace sim {
namespace {

using Kind = Gesture::Kind;

void Drain(SimDesktop& d) {
  while (d.PollEvent()) {
  }
}

// The target's reading of button events follows the usual desktop rules:
// two clicks within 500 ms and 4 px are a double click, a press and release
// further apart are a drag.
TEST(TargetWindow, RecognisesGestures) {
  struct Step {
    Millis time;
    MouseButton button;
    bool press;
    Point at;
  };
  struct Case {
    const char* name;
    std::vector<Step> steps;
    std::vector<Kind> expected;
  } cases[] = {
      {"click", {{0, MouseButton::kLeft, true, {10, 10}}, {0, MouseButton::kLeft, false, {10, 10}}},
       {Kind::kClick}},
      {"double click",
       {{0, MouseButton::kLeft, true, {10, 10}}, {0, MouseButton::kLeft, false, {10, 10}},
        {0, MouseButton::kLeft, true, {10, 10}}, {0, MouseButton::kLeft, false, {10, 10}}},
       {Kind::kClick, Kind::kDoubleClick}},
      {"two clicks too slow",
       {{0, MouseButton::kLeft, true, {10, 10}}, {0, MouseButton::kLeft, false, {10, 10}},
        {501, MouseButton::kLeft, true, {10, 10}}, {501, MouseButton::kLeft, false, {10, 10}}},
       {Kind::kClick, Kind::kClick}},
      {"two clicks too far apart",
       {{0, MouseButton::kLeft, true, {10, 10}}, {0, MouseButton::kLeft, false, {10, 10}},
        {1, MouseButton::kLeft, true, {15, 10}}, {1, MouseButton::kLeft, false, {15, 10}}},
       {Kind::kClick, Kind::kClick}},
      {"drag", {{0, MouseButton::kLeft, true, {10, 10}}, {5000, MouseButton::kLeft, false, {90, 60}}},
       {Kind::kDrag}},
      {"right click",
       {{0, MouseButton::kRight, true, {10, 10}}, {0, MouseButton::kRight, false, {10, 10}}},
       {Kind::kRightClick}},
      {"release without press", {{0, MouseButton::kLeft, false, {10, 10}}}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TargetWindow target("t", {0, 0, 100, 100}, false);
    for (const Step& s : c.steps) target.Receive({s.time, s.button, s.press, s.at});
    std::vector<Kind> kinds;
    for (const Gesture& g : target.gestures()) kinds.push_back(g.kind);
    EXPECT_EQ(kinds, c.expected);
  }
}

// A press grabs the pointer for the window it landed on: the release goes
// there too, even over another window.
TEST(SimDesktop, ReleaseGoesToTheWindowThatGotThePress) {
  SimDesktop desktop;
  TargetWindow& left = desktop.AddTarget("left", {0, 0, 100, 100});
  TargetWindow& right = desktop.AddTarget("right", {100, 0, 100, 100});
  desktop.MovePointer({50, 50});
  desktop.InjectButton(MouseButton::kLeft, true);
  desktop.MovePointer({150, 50});
  desktop.InjectButton(MouseButton::kLeft, false);
  Drain(desktop);
  EXPECT_EQ(left.events().size(), 2u);
  EXPECT_TRUE(right.events().empty());
  ASSERT_EQ(left.gestures().size(), 1u);
  EXPECT_EQ(left.gestures()[0].kind, Kind::kDrag);
}

// Our window is cut to its shape and lies above other programs' windows,
// except one marked to lie above it.
TEST(SimDesktop, PointerOverShapedWindow) {
  SimDesktop desktop;
  TargetWindow& below = desktop.AddTarget("below", {0, 0, 400, 400});
  tk::WindowHandle w = desktop.CreateWindow({"w", {100, 100, 50, 50}});
  desktop.SetShape(w, {{10, 0, 30, 50}});
  EXPECT_EQ(desktop.QueryPointer().window, tk::kNoWindow);  // hidden
  desktop.ShowWindow(w);
  desktop.MovePointer({120, 120});
  EXPECT_EQ(desktop.QueryPointer().window, w);
  EXPECT_EQ(desktop.QueryPointer().position, (Point{20, 20}));
  desktop.MovePointer({101, 101});  // outside the shape
  EXPECT_EQ(desktop.QueryPointer().window, tk::kNoWindow);
  desktop.InjectButton(MouseButton::kLeft, true);
  desktop.InjectButton(MouseButton::kLeft, false);
  Drain(desktop);
  EXPECT_EQ(below.gestures().size(), 1u);
  desktop.AddTarget("above", {115, 115, 10, 10}, /*above_panel=*/true);
  desktop.MovePointer({120, 120});
  EXPECT_EQ(desktop.QueryPointer().window, tk::kNoWindow);
}

}  // namespace
}  // namespace sim

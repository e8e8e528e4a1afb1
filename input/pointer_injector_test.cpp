#include "input/pointer_injector.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_desktop.h"

namespace input {
namespace {

using sim::Injection;
using tk::MouseButton;

// Each operation is one event at the pointer, the pointer stays put, and
// nothing is balanced: a second press or a stray release goes out as it is.
TEST(PlatformPointerInjector, EachOperationIsOneEventAtThePointer) {
  sim::SimDesktop desktop;
  desktop.MovePointer({40, 50});
  PlatformPointerInjector injector(desktop);
  injector.LeftDown();
  injector.LeftDown();
  injector.LeftUp();
  injector.LeftUp();
  injector.RightDown();
  injector.RightUp();
  std::vector<Injection> expected = {
      {0, MouseButton::kLeft, true, {40, 50}},   {0, MouseButton::kLeft, true, {40, 50}},
      {0, MouseButton::kLeft, false, {40, 50}},  {0, MouseButton::kLeft, false, {40, 50}},
      {0, MouseButton::kRight, true, {40, 50}},  {0, MouseButton::kRight, false, {40, 50}},
  };
  EXPECT_EQ(desktop.injections(), expected);
  EXPECT_EQ(desktop.pointer(), (tk::Point{40, 50}));
}

// A press held by injection stays held until an injected release, however
// the pointer moves: that is what makes a drag.
TEST(PlatformPointerInjector, InjectedPressDragsUntilRelease) {
  sim::SimDesktop desktop;
  sim::TargetWindow& target = desktop.AddTarget("editor", {0, 0, 800, 600});
  PlatformPointerInjector injector(desktop);
  desktop.MovePointer({100, 100});
  injector.LeftDown();
  while (desktop.PollEvent()) {
  }
  desktop.MovePointer({300, 250});
  EXPECT_TRUE(desktop.ButtonHeld(MouseButton::kLeft));
  injector.LeftUp();
  while (desktop.PollEvent()) {
  }
  EXPECT_FALSE(desktop.ButtonHeld(MouseButton::kLeft));
  ASSERT_EQ(target.gestures().size(), 1u);
  EXPECT_EQ(target.gestures()[0].kind, sim::Gesture::Kind::kDrag);
  EXPECT_EQ(target.gestures()[0].from, (tk::Point{100, 100}));
  EXPECT_EQ(target.gestures()[0].to, (tk::Point{300, 250}));
}

}  // namespace
}  // namespace input

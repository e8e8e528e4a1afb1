#include "panel/fading_label.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_desktop.h"
#include "toolkit/application.h"
#include "toolkit/form.h"

namespace panel {
namespace {

class Fade : public ::testing::Test {
 protected:
  Fade() {
    label_.SetShowing(false);  // as the panel loads it
  }
  sim::SimDesktop desktop_;
  tk::Application app_{desktop_};
  tk::Form form_{app_, "form", {0, 0, 175, 258}};
  FadingLabel label_{&form_, "title", {66, 221, 39, 14}, "MOUSE", app_.timers()};
};

// Loaded hidden, the title starts invisible and then climbs to the font
// colour and back, 28 ticks a cycle; white to black is 255 - 17 * step.
TEST_F(Fade, StepsUpAndDownInATwentyEightTickCycle) {
  EXPECT_EQ(label_.Step(), 0);
  EXPECT_TRUE(label_.Rising());
  EXPECT_EQ(label_.TextColor(), (tk::Rgb{255, 255, 255}));
  std::vector<int> steps;
  for (int i = 0; i < 29; ++i) {
    label_.Tick();
    steps.push_back(label_.Step());
    std::uint8_t grey = static_cast<std::uint8_t>(255 - 17 * label_.Step());
    ASSERT_EQ(label_.TextColor(), (tk::Rgb{grey, grey, grey})) << "tick " << i;
  }
  std::vector<int> expected = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15,
                               14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1};
  EXPECT_EQ(steps, expected);
  // After 28 more ticks it is back where it was.
  tk::Rgb before = label_.TextColor();
  for (int i = 0; i < 28; ++i) label_.Tick();
  EXPECT_EQ(label_.TextColor(), before);
}

TEST_F(Fade, ColoursOfOtherSchemesRoundToNearest) {
  app_.Scheme.highlight_text = {0, 128, 250};
  app_.Scheme.window_text = {200, 0, 10};
  for (int i = 0; i < 8; ++i) label_.Tick();  // step 8
  ASSERT_EQ(label_.Step(), 8);
  // 0 + 8*200/15 = 106.67; 128 - 8*128/15 = 59.73; 250 - 8*240/15 = 122
  EXPECT_EQ(label_.TextColor(), (tk::Rgb{107, 60, 122}));
}

TEST_F(Fade, RunsOnItsOwnTimerAtNoMoreThanSixtyFourTicksASecond) {
  EXPECT_TRUE(label_.Fade());
  EXPECT_EQ(label_.FadeSpeed(), 2u);
  int before = label_.Step();
  sim::RunUntil(desktop_, app_, 160);
  EXPECT_EQ(label_.Step(), before + 10);
}

TEST_F(Fade, StopsAtTheEndsWhenNotFadingAllTheTime) {
  label_.FadeAlltheTime = false;
  for (int i = 0; i < 40; ++i) label_.Tick();
  EXPECT_FALSE(label_.Fade());
}

}  // namespace
}  // namespace panel

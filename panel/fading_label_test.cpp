#include "panel/fading_label.h"

#include <gtest/gtest.h>

#include <vector>

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

// The fade runs all day: a tick asks for a repaint of the title's own box
// when the text's colour changed, and for none when it did not.
TEST_F(Fade, ATickRepaintsTheBoxOnlyWhenTheColourChanges) {
  struct Case {
    const char* what;
    tk::Rgb box, font;
    int repaints_per_cycle;
  };
  const Case cases[] = {
      {"white to black", {255, 255, 255}, {0, 0, 0}, 28},
      {"font colour the box colour", {200, 10, 10}, {200, 10, 10}, 0},
      {"colours one step apart", {100, 100, 100}, {101, 101, 101}, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    app_.Scheme.highlight_text = c.box;
    app_.Scheme.window_text = c.font;
    label_.Tick();  // settles on this scheme
    int repaints = 0;
    for (int i = 0; i < 28; ++i) {
      form_.TakeDamage();
      tk::Rgb before = label_.TextColor();
      label_.Tick();
      tk::Rect damage = form_.TakeDamage();
      if (label_.TextColor() != before) {
        EXPECT_EQ(damage, label_.bounds()) << "tick " << i;
        ++repaints;
      } else {
        EXPECT_TRUE(damage.empty()) << "tick " << i;
      }
    }
    EXPECT_EQ(repaints, c.repaints_per_cycle);
  }
}

// Records the areas the program sends to the screen.
class PresentLog : public sim::SimDesktop {
 public:
  void Present(tk::WindowHandle window, const tk::Frame& frame, tk::Rect area) override {
    areas.push_back(area);
    sim::SimDesktop::Present(window, frame, area);
  }
  std::vector<tk::Rect> areas;
};

// The fade ticks all day: each tick sends the title's own box and no more.
TEST(FadeOnScreen, EachTickPresentsOnlyTheTitlesBox) {
  PresentLog desktop;
  tk::Application app{desktop};
  tk::Form form{app, "form", {0, 0, 175, 258}};
  const tk::Rect box{66, 221, 39, 14};
  FadingLabel label{&form, "title", box, "MOUSE", app.timers()};
  label.SetShowing(false);  // as the panel loads it: every tick a new colour
  form.Show();
  sim::RunUntil(desktop, app, 0);
  ASSERT_EQ(desktop.areas, std::vector<tk::Rect>{form.ClientRect()});
  desktop.areas.clear();
  sim::RunUntil(desktop, app, 5 * FadingLabel::kFinestTick);
  EXPECT_EQ(desktop.areas, std::vector<tk::Rect>(5, box));
}

TEST_F(Fade, StopsAtTheEndsWhenNotFadingAllTheTime) {
  label_.FadeAlltheTime = false;
  for (int i = 0; i < 40; ++i) label_.Tick();
  EXPECT_FALSE(label_.Fade());
}

}  // namespace
}  // namespace panel

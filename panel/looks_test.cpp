// What the panel looks like: the pixels it presents on the simulated
// desktop, painted through the same canvas as on the real one.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "input/pointer_injector.h"
#include "panel/controller.h"
#include "platform/cairo/cairo_canvas.h"
#include "platform/sim/sim_desktop.h"
#include "tests/support/temp_dir.h"
#include "toolkit/application.h"
#include "toolkit/frame3d.h"

namespace panel {
namespace {

using tk::Rect;
using tk::Rgb;

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kAqua{0, 255, 255};
constexpr Rgb kSilver{192, 192, 192};
constexpr Rgb kShadow{128, 128, 128};
constexpr Rgb kLight{223, 223, 223};

bool Dark(Rgb c) { return c.r < 100 && c.g < 100 && c.b < 100; }

class Looks : public ::testing::Test {
 protected:
  Looks() {
    form_.FormCreate();
    form_.Show();
    Paint();
  }
  void Paint() { sim::RunUntil(desktop_, app_, desktop_.Now()); }
  Rgb At(const tk::Control& c, int x, int y) {
    tk::Point o = c.OriginInForm();
    return desktop_.FramePixel(o.x + x, o.y + y);
  }
  // Bounding box of the dark pixels within `area` of control `c`.
  Rect DarkBox(const tk::Control& c, Rect area, int* count = nullptr) {
    int l = 1 << 20, t = 1 << 20, r = -1, b = -1, n = 0;
    for (int y = area.top; y < area.bottom(); ++y) {
      for (int x = area.left; x < area.right(); ++x) {
        if (!Dark(At(c, x, y))) continue;
        l = std::min(l, x), t = std::min(t, y), r = std::max(r, x), b = std::max(b, y);
        ++n;
      }
    }
    if (count) *count = n;
    return r < 0 ? Rect{} : Rect::FromEdges(l, t, r + 1, b + 1);
  }

  testing_support::TempDir dir_;
  sim::SimDesktop desktop_;
  tk::Application app_{desktop_};
  input::PlatformPointerInjector injector_{desktop_};
  TFormMouse form_{app_, injector_, dir_.File("mouse")};
};

TEST_F(Looks, LatchedGroupButtonIsCheckeredTheHeldCloseButtonIsNot) {
  ShapeButton& b = *form_.MouseLbtnDBclick;
  b.SetDown(true);
  Paint();
  for (int y = 2; y < 5; ++y) {
    for (int x = 2; x < b.bounds().width - 2; ++x) {
      ASSERT_EQ(At(b, x, y), (x + y) % 2 == 0 ? kWhite : kAqua) << x << "," << y;
    }
  }
  ShapeButton& close = *form_.BtnClose;
  close.MouseDown(tk::MouseButton::kLeft, {5, 5});  // its handler turns it red
  Paint();
  EXPECT_TRUE(close.Down());
  for (int x = 2; x < close.bounds().width - 2; ++x) {
    ASSERT_EQ(At(close, x, 2), (Rgb{255, 0, 0})) << x;
  }
}

TEST_F(Looks, BevelIsRaisedWhenUpAndSunkenWhenDown) {
  ShapeButton& b = *form_.MouseRbtnClick;
  int w = b.bounds().width, h = b.bounds().height;
  struct Pixel {
    int x, y;
    Rgb up, down;
  } pixels[] = {
      {0, 0, kWhite, kBlack},       {0, h / 2, kWhite, kBlack},   {w / 2, 0, kWhite, kBlack},
      {1, 1, kLight, kShadow},      {1, h / 2, kLight, kShadow},  {w - 1, h / 2, kBlack, kWhite},
      {w / 2, h - 1, kBlack, kWhite}, {w - 2, h / 2, kShadow, kLight},
      {w / 2, h - 2, kShadow, kLight},
      {w - 1, 0, kBlack, kWhite},   // the top-right corner belongs to the shaded edge
      {0, h - 1, kBlack, kWhite},   // and so does the bottom-left
  };
  for (bool down : {false, true}) {
    b.SetDown(down);
    Paint();
    for (const Pixel& p : pixels) {
      EXPECT_EQ(At(b, p.x, p.y), down ? p.down : p.up) << p.x << "," << p.y << " down " << down;
    }
  }
}

TEST_F(Looks, CaptionIsCentredAndMovesDownRightWhileDownAndBoldWhenLatched) {
  ShapeButton& b = *form_.MouseLbtnClick;
  Rect face{2, 2, b.bounds().width - 4, b.bounds().height - 4};
  int up_count = 0, down_count = 0;
  Rect up = DarkBox(b, face, &up_count);
  ASSERT_FALSE(up.empty());
  EXPECT_NEAR(up.left + up.width / 2.0, face.left + face.width / 2.0, 1.0);
  EXPECT_NEAR(up.top + up.height / 2.0, face.top + face.height / 2.0, 2.0);

  b.MouseDown(tk::MouseButton::kLeft, {5, 5});  // held: down but not yet bold
  Paint();
  Rect held = DarkBox(b, face);
  EXPECT_EQ(held, up.Translated({1, 1}));

  b.MouseUp(tk::MouseButton::kLeft, {5, 5});  // latched: bold
  Paint();
  EXPECT_TRUE(b.Bold());
  DarkBox(b, face, &down_count);
  EXPECT_GT(down_count, up_count);
  EXPECT_FALSE(form_.MouseLbtnDBclick->Bold());
  EXPECT_FALSE(form_.MouseRbtnClick->Bold());
}

TEST_F(Looks, GroupShowsItsColourInTheGapsBetweenButtons) {
  for (int x = 0; x < 57; ++x) {
    ASSERT_EQ(At(*form_.MouseLbtn, x, 33), kAqua);
    ASSERT_EQ(At(*form_.MouseLbtn, x, 67), kAqua);
  }
}

TEST_F(Looks, StatusLineHasARaisedFrameOnASilverFace) {
  StatusPanel& s = *form_.PanelStatus;
  s.SetCaption("");
  Paint();
  int w = s.bounds().width, h = s.bounds().height;
  EXPECT_EQ(At(s, 0, 0), kWhite);
  EXPECT_EQ(At(s, w / 2, 0), kWhite);
  EXPECT_EQ(At(s, 0, h / 2), kWhite);
  EXPECT_EQ(At(s, w - 1, 0), kShadow);
  EXPECT_EQ(At(s, 0, h - 1), kShadow);
  EXPECT_EQ(At(s, w - 1, h - 1), kShadow);
  for (int y = 1; y < h - 1; ++y) {
    for (int x = 1; x < w - 1; ++x) ASSERT_EQ(At(s, x, y), kSilver) << x << "," << y;
  }
}

// "&&" shows as one "&": the status line looks exactly like the same text
// holding one literal "&" drawn without the prefix rule.
TEST_F(Looks, DoubledAmpersandShowsAsOne) {
  StatusPanel& s = *form_.PanelStatus;
  s.SetCaption("Drag && Drop click");
  Paint();
  cr::CairoCanvas expected(s.bounds().width, s.bounds().height);
  Rect inner{1, 1, s.bounds().width - 2, s.bounds().height - 2};
  expected.FillRect(s.ClientRect(), kSilver);
  tk::FontSpec font;
  tk::TextLayout layout;
  layout.halign = tk::HAlign::kCenter;
  layout.prefix = false;
  int line = expected.MeasureText("W", font, layout, -1).y;
  expected.DrawText("Drag & Drop click",
                    {inner.left, (inner.top + inner.bottom() - line) / 2, inner.width, line},
                    font, kBlack, layout);
  for (int y = 1; y < inner.bottom(); ++y) {
    for (int x = 1; x < inner.right(); ++x) {
      ASSERT_EQ(At(s, x, y), expected.PixelAt(x, y)) << x << "," << y;
    }
  }
}

TEST_F(Looks, TooWideStatusIsCentredAndCutAtBothEnds) {
  StatusPanel& s = *form_.PanelStatus;
  s.SetCaption("Left Click in 2147483 sec and then some more words to read");
  Paint();
  Rect inner{1, 1, s.bounds().width - 2, s.bounds().height - 2};
  Rect box = DarkBox(s, inner);
  EXPECT_LE(box.left, 3);
  EXPECT_GE(box.right(), inner.right() - 3);
  EXPECT_LT(box.height, 14);  // one line, not wrapped
  // The frame is intact: the text never spills over it.
  EXPECT_EQ(At(s, 0, s.bounds().height / 2), kWhite);
  EXPECT_EQ(At(s, s.bounds().width - 1, s.bounds().height / 2), kShadow);
}

TEST_F(Looks, CaptionsCarryAShadowTwoPixelsDownRight) {
  for (ShadowLabel* label : {form_.fcLabel1.get(), form_.fcLabel2.get()}) {
    SCOPED_TRACE(label->Caption());
    Rect area = label->ClientRect();
    Rect text = DarkBox(*label, area);
    ASSERT_FALSE(text.empty());
    // The text and its shadow fit the label's box.
    EXPECT_LE(text.right() + 2, area.right() + 1);
    int grey = 0;
    for (int y = 0; y < area.height; ++y) {
      for (int x = 0; x < area.width; ++x) {
        Rgb c = At(*label, x, y);
        if (c == kShadow) {
          ++grey;
          EXPECT_GE(x, text.left + 2 - 1);
          EXPECT_GE(y, text.top + 2 - 1);
        }
      }
    }
    EXPECT_GT(grey, 5);
  }
}

TEST_F(Looks, TitleBoxIsHighlightColourAndItsTextPulses) {
  FadingLabel& title = *form_.AHMFadingLabel1;
  EXPECT_EQ(At(title, 0, 0), kWhite);
  EXPECT_EQ(At(title, title.bounds().width - 1, title.bounds().height - 1), kWhite);
  int darkest_sum = 3 * 255;
  for (int i = 0; i < 14; ++i) {
    title.Tick();
    Paint();
    for (int y = 0; y < title.bounds().height; ++y) {
      for (int x = 0; x < title.bounds().width; ++x) {
        Rgb c = At(title, x, y);
        darkest_sum = std::min(darkest_sum, c.r + c.g + c.b);
      }
    }
  }
  EXPECT_EQ(title.Step(), 14);
  EXPECT_LT(darkest_sum, 100);
}

TEST_F(Looks, ThePanelIsCutToTheSkinsOval) {
  const std::vector<Rect>& shape = desktop_.WindowShape();
  EXPECT_EQ(shape.size(), 117u);
  EXPECT_EQ(shape.front(), Rect::FromEdges(78, 1, 99, 2));
  EXPECT_EQ(desktop_.FramePixel(15, 127), (Rgb{147, 196, 229}));  // the skin
}

}  // namespace
}  // namespace panel

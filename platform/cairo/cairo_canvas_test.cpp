#include "platform/cairo/cairo_canvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <set>
#include <utility>

namespace cr {
namespace {

using tk::Point;
using tk::Rect;
using tk::Rgb;

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kBlue{0, 0, 255};

// A canvas painted white, with helpers to read what was drawn.
class CanvasTest : public ::testing::Test {
 protected:
  static constexpr int kW = 160;
  static constexpr int kH = 60;

  CanvasTest() { canvas_.FillRect({0, 0, kW, kH}, kWhite); }

  void Clear() {
    canvas_.SetOrigin({0, 0});
    canvas_.SetClip({0, 0, kW, kH});
    canvas_.FillRect({0, 0, kW, kH}, kWhite);
  }

  // The pixels (absolute) whose colour is not white.
  std::set<std::pair<int, int>> Painted() {
    std::set<std::pair<int, int>> out;
    for (int y = 0; y < kH; ++y) {
      for (int x = 0; x < kW; ++x) {
        if (canvas_.PixelAt(x, y) != kWhite) out.insert({x, y});
      }
    }
    return out;
  }

  // The bounding box of pixels noticeably darker than white (text ink).
  Rect InkBounds() {
    int l = kW, t = kH, r = -1, b = -1;
    for (int y = 0; y < kH; ++y) {
      for (int x = 0; x < kW; ++x) {
        Rgb p = canvas_.PixelAt(x, y);
        if (p.r + p.g + p.b < 3 * 160) {
          l = std::min(l, x);
          t = std::min(t, y);
          r = std::max(r, x + 1);
          b = std::max(b, y + 1);
        }
      }
    }
    if (r < 0) return {};
    return Rect::FromEdges(l, t, r, b);
  }

  std::vector<Rgb> Snapshot() {
    std::vector<Rgb> out;
    for (int y = 0; y < kH; ++y) {
      for (int x = 0; x < kW; ++x) out.push_back(canvas_.PixelAt(x, y));
    }
    return out;
  }

  std::vector<Rgb> Rendered(std::string_view text, bool prefix,
                            tk::FontSpec font = {}) {
    Clear();
    tk::TextLayout layout;
    layout.prefix = prefix;
    canvas_.DrawText(text, {4, 4, kW - 8, kH - 8}, font, kBlack, layout);
    return Snapshot();
  }

  CairoCanvas canvas_{kW, kH};
};

TEST_F(CanvasTest, FrameIsTheSurfaceInRgbPixels) {
  canvas_.FillRect({2, 1, 1, 1}, Rgb{0x12, 0x34, 0x56});
  tk::Frame f = canvas_.frame();
  ASSERT_EQ(f.width, kW);
  ASSERT_EQ(f.height, kH);
  ASSERT_GE(f.stride, kW * 4);
  const auto* row = reinterpret_cast<const std::uint32_t*>(f.data + f.stride);
  EXPECT_EQ(row[2] & 0xFFFFFF, 0x123456u);
  EXPECT_EQ(row[1] & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(CanvasTest, CheckerboardParityFollowsTheCurrentOrigin) {
  // With an odd origin the surface's parity and the caller's disagree; the
  // caller's coordinates decide.
  for (Point origin : {Point{1, 1}, Point{3, 4}, Point{8, 1}}) {
    SCOPED_TRACE(testing::Message() << "origin " << origin.x << "," << origin.y);
    Clear();
    canvas_.SetOrigin(origin);
    Rect r{1, 2, 5, 3};
    canvas_.FillCheckerboard(r, kRed, kBlue);
    for (int y = -1; y <= r.bottom(); ++y) {
      for (int x = -1; x <= r.right(); ++x) {
        Rgb expected = !r.Contains({x, y}) ? kWhite : (x + y) % 2 == 0 ? kRed : kBlue;
        EXPECT_EQ(canvas_.PixelAt(origin.x + x, origin.y + y), expected)
            << "at " << x << "," << y;
      }
    }
  }
}

TEST_F(CanvasTest, LinesIncludeBothEndsAndNothingElse) {
  struct Case {
    Point from, to;
    std::set<std::pair<int, int>> pixels;  // absolute, origin (10, 20)
  };
  const Case cases[] = {
      {{0, 0}, {3, 0}, {{10, 20}, {11, 20}, {12, 20}, {13, 20}}},
      {{3, 0}, {0, 0}, {{10, 20}, {11, 20}, {12, 20}, {13, 20}}},
      {{2, 3}, {2, 1}, {{12, 21}, {12, 22}, {12, 23}}},
      {{5, 5}, {5, 5}, {{15, 25}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.from.x << "," << c.from.y << " to " << c.to.x
                                    << "," << c.to.y);
    Clear();
    canvas_.SetOrigin({10, 20});
    canvas_.DrawLine(c.from, c.to, kBlack);
    EXPECT_EQ(Painted(), c.pixels);
  }
}

TEST_F(CanvasTest, EveryOperationKeepsInsideTheClip) {
  tk::RgbImage picture(30, 30, kBlue);
  tk::TextLayout layout;
  std::unique_ptr<tk::TextMask> mask =
      canvas_.MakeTextMask("WWWWWWWWWWWWWWWW", {80, 20}, {}, layout);
  const std::function<void()> draws[] = {
      [&] { canvas_.FillRect({-10, -10, 50, 50}, kRed); },
      [&] { canvas_.FillCheckerboard({-10, -10, 50, 50}, kRed, kBlue); },
      [&] { canvas_.DrawLine({-10, 2}, {40, 2}, kRed); },
      [&] { canvas_.DrawLine({3, -10}, {3, 40}, kRed); },
      [&] { canvas_.DrawImage(picture, {-5, -5}); },
      [&] {
        canvas_.DrawText("WWWWWWWWWWWWWWWW", {-20, -4, 80, 20}, {}, kBlack, layout);
      },
      [&] { canvas_.DrawTextMask(*mask, {-20, -4}, kBlack); },
  };
  const Rect clip{2, 1, 8, 6};  // in coordinates relative to the origin
  const Point origin{20, 10};
  for (std::size_t i = 0; i < std::size(draws); ++i) {
    SCOPED_TRACE(testing::Message() << "drawing " << i);
    Clear();
    canvas_.SetOrigin(origin);
    canvas_.SetClip(clip);
    draws[i]();
    std::set<std::pair<int, int>> painted = Painted();
    EXPECT_FALSE(painted.empty());
    for (auto [x, y] : painted) {
      EXPECT_TRUE(clip.Translated(origin).Contains({x, y})) << x << "," << y;
    }
  }
}

// A text mask is a cache, never a look of its own: drawn in any colour, on
// any background, shifted and clipped, it gives DrawText's pixels exactly,
// also on a canvas other than the one that made it.
TEST_F(CanvasTest, TextMaskDrawsExactlyWhatDrawTextDraws) {
  tk::TextLayout centred;
  centred.halign = tk::HAlign::kCenter;
  centred.valign = tk::VAlign::kCenter;
  tk::TextLayout wrapped = centred;
  wrapped.word_wrap = true;
  tk::TextLayout plain;
  plain.prefix = false;
  tk::FontSpec bold;
  bold.bold = true;
  struct Case {
    const char* text;
    Rect box;
    tk::FontSpec font;
    tk::TextLayout layout;
  };
  const Case cases[] = {
      {"MOUSE", {60, 20, 39, 14}, {}, wrapped},
      {"Drag&&Drop Click", {10, 4, 57, 32}, {}, wrapped},
      {"&Close AVAWATo", {3, 30, 150, 20}, bold, centred},
      {"\xE0\xB8\x9B\xE0\xB8\xB4\xE0\xB8\x94 fi ff", {0, 0, 70, 30}, {}, plain},
      {"Left Click in 5 sec", {-12, 30, 121, 25}, {}, centred},
  };
  const Rgb colours[] = {kBlack, {119, 119, 119}, {0, 128, 250}, {254, 1, 77}};
  const Rgb grounds[] = {kWhite, {192, 192, 192}, {147, 196, 229}};
  const Point origin{5, 3};
  const Rect clip{8, 2, 130, 50};
  CairoCanvas other(kW, kH);
  for (const Case& c : cases) {
    std::unique_ptr<tk::TextMask> mask =
        other.MakeTextMask(c.text, {c.box.width, c.box.height}, c.font, c.layout);
    std::unique_ptr<tk::TextMask> own =
        canvas_.MakeTextMask(c.text, {c.box.width, c.box.height}, c.font, c.layout);
    ASSERT_TRUE(own->Matches(c.text, {c.box.width, c.box.height}, c.font, c.layout));
    for (Rgb colour : colours) {
      for (Rgb ground : grounds) {
        SCOPED_TRACE(testing::Message() << c.text << " in " << int{colour.r} << ","
                                        << int{colour.g} << "," << int{colour.b} << " on "
                                        << int{ground.r});
        auto draw = [&](const std::function<void()>& text) {
          canvas_.SetOrigin({0, 0});
          canvas_.SetClip({0, 0, kW, kH});
          canvas_.FillCheckerboard({0, 0, kW, kH}, ground, kWhite);
          canvas_.SetOrigin(origin);
          canvas_.SetClip(clip);
          text();
          return Snapshot();
        };
        std::vector<Rgb> want =
            draw([&] { canvas_.DrawText(c.text, c.box, c.font, colour, c.layout); });
        ASSERT_NE(want, draw([] {})) << "the text is drawn at all";
        EXPECT_EQ(draw([&] { canvas_.DrawTextMask(*own, c.box.origin(), colour); }), want);
        EXPECT_EQ(draw([&] { canvas_.DrawTextMask(*mask, c.box.origin(), colour); }), want);
      }
    }
  }
}

// A mask that holds no pixels, as a canvas without its own kind makes, is
// drawn by laying its text out again.
TEST_F(CanvasTest, TextMaskOfAnotherKindIsDrawnAsText) {
  tk::TextLayout layout;
  tk::TextMask bare("Hg &Ok", {80, 20}, {}, layout);
  canvas_.DrawText("Hg &Ok", {7, 9, 80, 20}, {}, kRed, layout);
  std::vector<Rgb> want = Snapshot();
  Clear();
  canvas_.DrawTextMask(bare, {7, 9}, kRed);
  EXPECT_EQ(Snapshot(), want);
}

TEST_F(CanvasTest, ClipBeyondTheSurfaceIsHarmless) {
  canvas_.SetOrigin({kW - 2, kH - 2});
  canvas_.SetClip({-5, -5, 100, 100});
  canvas_.FillRect({0, 0, 100, 100}, kRed);
  canvas_.DrawLine({0, 0}, {100, 0}, kRed);
  canvas_.DrawImage(tk::RgbImage(50, 50, kRed), {-1, -1});
  EXPECT_EQ(canvas_.PixelAt(kW - 1, kH - 1), kRed);
  EXPECT_EQ(canvas_.PixelAt(kW - 4, kH - 4), kWhite);
}

TEST_F(CanvasTest, ImageIsCopiedAtItsNaturalSize) {
  tk::RgbImage picture(3, 2, kBlue);
  picture.set(0, 0, kRed);
  picture.set(2, 1, kBlack);
  canvas_.SetOrigin({5, 6});
  canvas_.DrawImage(picture, {1, 1});
  EXPECT_EQ(canvas_.PixelAt(6, 7), kRed);
  EXPECT_EQ(canvas_.PixelAt(7, 7), kBlue);
  EXPECT_EQ(canvas_.PixelAt(8, 8), kBlack);
  EXPECT_EQ(Painted().size(), 6u);
}

TEST_F(CanvasTest, TextIsPlacedByItsAlignment) {
  // The box is wide and tall so that a wrong placement cannot hide in the
  // rounding; the ink box of "Hg" spans ascender to descender, so its centre
  // lies within a pixel of the line's centre.
  const Rect box{20, 8, 120, 44};
  struct Case {
    tk::HAlign h;
    tk::VAlign v;
  };
  for (Case c : {Case{tk::HAlign::kCenter, tk::VAlign::kCenter},
                 Case{tk::HAlign::kLeft, tk::VAlign::kTop},
                 Case{tk::HAlign::kRight, tk::VAlign::kBottom}}) {
    SCOPED_TRACE(testing::Message() << "h " << static_cast<int>(c.h) << " v "
                                    << static_cast<int>(c.v));
    Clear();
    tk::TextLayout layout;
    layout.halign = c.h;
    layout.valign = c.v;
    canvas_.DrawText("Hg", box, {}, kBlack, layout);
    Rect ink = InkBounds();
    ASSERT_FALSE(ink.empty());
    switch (c.h) {
      case tk::HAlign::kCenter:
        EXPECT_NEAR(ink.left + ink.right(), box.left + box.right(), 2);
        break;
      case tk::HAlign::kLeft:
        EXPECT_NEAR(ink.left, box.left, 1);
        break;
      case tk::HAlign::kRight:
        EXPECT_NEAR(ink.right(), box.right(), 1);
        break;
    }
    switch (c.v) {
      case tk::VAlign::kCenter:
        EXPECT_NEAR(ink.top + ink.bottom(), box.top + box.bottom(), 2);
        break;
      case tk::VAlign::kTop:
        EXPECT_NEAR(ink.top, box.top, 3);  // the ascent lies above capitals
        break;
      case tk::VAlign::kBottom:
        EXPECT_NEAR(ink.bottom(), box.bottom(), 1);
        break;
    }
  }
}

TEST_F(CanvasTest, PanelFontIsElevenPixelsWithTheMetricsOfTheDesignFont) {
  tk::FontSpec panel_font;  // "MS Sans Serif", 11 px
  tk::FontSpec twin;
  twin.family = "Liberation Sans";
  EXPECT_EQ(Rendered("Left Click", false, panel_font),
            Rendered("Left Click", false, twin));
  // One line is 13 pixels high, as the design font's 8-point line is.
  tk::TextLayout layout;
  EXPECT_EQ(canvas_.MeasureText("W", panel_font, layout, -1).y, 13);
  tk::FontSpec bold = panel_font;
  bold.bold = true;
  EXPECT_GT(canvas_.MeasureText("Right", bold, layout, -1).x,
            canvas_.MeasureText("Right", panel_font, layout, -1).x);
}

TEST_F(CanvasTest, DoubleAmpersandShowsOneLiteralAmpersand) {
  EXPECT_EQ(Rendered("Drag && Drop", true), Rendered("Drag & Drop", false));
  // Markup-like text stays literal either way.
  EXPECT_EQ(Rendered("<b>&&amp;</b>", true), Rendered("<b>&amp;</b>", false));
}

TEST_F(CanvasTest, SingleAmpersandUnderlinesTheNextCharacterOnly) {
  std::vector<Rgb> plain = Rendered("File", false);
  Rect plain_ink = InkBounds();
  std::vector<Rgb> prefixed = Rendered("&File", true);
  ASSERT_NE(plain, prefixed);
  // The extra ink is a line under the "F" alone: below the letters, within
  // the first character's width.
  int f_width = canvas_.MeasureText("F", {}, {}, -1).x;
  for (int y = 0; y < kH; ++y) {
    for (int x = 0; x < kW; ++x) {
      std::size_t i = static_cast<std::size_t>(y) * kW + x;
      if (plain[i] == prefixed[i]) continue;
      EXPECT_GE(y, plain_ink.bottom() - 1) << x << "," << y;
      EXPECT_LT(x, plain_ink.left + f_width + 1) << x << "," << y;
    }
  }
}

TEST_F(CanvasTest, WordWrapBreaksAtSpacesWithinTheBoxWidth) {
  tk::TextLayout wrap;
  wrap.word_wrap = true;
  tk::Point one_line = canvas_.MeasureText("Drag and drop", {}, wrap, -1);
  tk::Point wrapped = canvas_.MeasureText("Drag and drop", {}, wrap, 40);
  EXPECT_LE(wrapped.x, 40);
  EXPECT_GE(wrapped.y, 2 * one_line.y);
  // Without word wrap the width is not a limit.
  tk::TextLayout single;
  EXPECT_EQ(canvas_.MeasureText("Drag and drop", {}, single, 40), one_line);

  Clear();
  canvas_.DrawText("Drag and drop", {10, 5, 40, 50}, {}, kBlack, wrap);
  Rect ink = InkBounds();
  EXPECT_GE(ink.left, 10);
  EXPECT_LE(ink.right(), 50);
  EXPECT_GT(ink.height, one_line.y);
}

TEST_F(CanvasTest, MalformedUtf8IsDrawnNotRejected) {
  Clear();
  canvas_.DrawText("ok\xFF\xFEok", {0, 0, kW, kH}, {}, kBlack, {});
  EXPECT_FALSE(InkBounds().empty());
}

}  // namespace
}  // namespace cr

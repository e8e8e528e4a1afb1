// A day of random pointer journeys over and off the panel, on the simulated
// desktop, checked event by event against a reference model of what must be
// injected: every press and release, its time, its button and its place.
// The model is written from the rules of the panel and of the desktop, not
// from the program's code, and it never reads the program's state: it is fed
// the same pointer path and works out on its own which clicks land on panel
// buttons and what they choose.

#include <gtest/gtest.h>
#include <malloc.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/program.h"
#include "platform/sim/sim_desktop.h"
#include "tests/support/temp_dir.h"

namespace app {
namespace {

using sim::Injection;
using tk::Millis;
using tk::MouseButton;
using tk::Point;
using tk::Rect;

constexpr Millis kDay = 24 * 60 * 60 * 1000;
// Where every fresh panel stands.
constexpr Point kHome{297, 229};
constexpr Rect kScreen{0, 0, 1280, 1024};
constexpr Point kPanelSize{175, 258};
constexpr Millis kDwell = 3000;
constexpr Millis kDrop = 5000;

// What lies at a point. The first five are the panel's buttons, in the order
// of kButtonNames.
enum class Place {
  kClick,
  kDoubleClick,
  kDragDrop,
  kRightClick,
  kClose,
  kGap,      // a one-pixel gap between the left group's buttons
  kStatus,   // the status line
  kCaption,  // a caption drawn on the panel's surface
  kSkin,     // the bare surface
  kCorner,   // inside the panel's rectangle but outside its oval
  kOff,      // another program's window
};
constexpr int kNoButton = -1;
constexpr int kCloseButton = static_cast<int>(Place::kClose);
constexpr const char* kButtonNames[] = {"Click", "DoubleClick", "DragDrop",
                                        "RightClick", "Close"};
constexpr const char* kPlaceNames[] = {
    "Click",  "DoubleClick", "DragDrop", "RightClick", "Close", "gap",
    "status", "caption",     "skin",     "corner",     "off"};

int ButtonAt(Place p) {
  return p <= Place::kClose ? static_cast<int>(p) : kNoButton;
}
bool OnPanel(Place p) { return p != Place::kCorner && p != Place::kOff; }
// A left press there, outside any child window, drags the panel.
bool MovesPanel(Place p) { return p == Place::kCaption || p == Place::kSkin; }

// Parts of the panel, relative to its top-left corner. The surface areas and
// the corners keep well clear of the oval's edge (centre 88.5, 127; half axes
// 86 and 126.5), so no point is in doubt.
struct Area {
  Place place;
  Rect rect;
};
constexpr Area kAreas[] = {
    {Place::kClick, {32, 56, 57, 33}},
    {Place::kDoubleClick, {32, 90, 57, 33}},
    {Place::kDragDrop, {32, 124, 57, 32}},
    {Place::kRightClick, {96, 56, 49, 100}},
    {Place::kClose, {56, 193, 57, 17}},
    {Place::kGap, {32, 89, 57, 1}},
    {Place::kGap, {32, 123, 57, 1}},
    {Place::kStatus, {24, 160, 121, 25}},
    {Place::kCaption, {48, 32, 28, 16}},
    {Place::kCaption, {96, 32, 36, 16}},
    {Place::kCaption, {66, 221, 39, 14}},
    {Place::kSkin, {89, 56, 7, 100}},
    {Place::kSkin, {16, 80, 16, 70}},
    {Place::kSkin, {145, 80, 16, 70}},
    {Place::kSkin, {40, 188, 15, 25}},
    {Place::kSkin, {70, 14, 41, 16}},
    {Place::kCorner, {0, 0, 11, 21}},
    {Place::kCorner, {164, 0, 11, 21}},
    {Place::kCorner, {0, 237, 11, 21}},
    {Place::kCorner, {164, 237, 11, 21}},
};
constexpr int kOffArea = -1;

// Where the pointer is: the screen point and, while a panel stands, what of
// the panel lies there.
struct Spot {
  Point screen;
  Place place = Place::kOff;
  int area = kOffArea;
  Point on_panel;  // the point relative to the panel
};

std::string Clock(Millis t) {
  char text[32];
  std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld.%03lld",
                static_cast<long long>(t / 3600000),
                static_cast<long long>(t / 60000 % 60),
                static_cast<long long>(t / 1000 % 60),
                static_cast<long long>(t % 1000));
  return text;
}

std::string Describe(const Injection& i) {
  std::ostringstream out;
  out << Clock(i.time) << " (" << i.time << " ms) "
      << (i.button == MouseButton::kLeft    ? "Left"
          : i.button == MouseButton::kRight ? "Right"
                                            : "Middle")
      << (i.press ? "Down" : "Up") << " at (" << i.screen.x << ", "
      << i.screen.y << ")";
  return out.str();
}

// The reference: the panel's rules (a dwell of 3 s on a button clicks it; a
// click on an action button arms that action's timer unless it is armed; the
// action is injected at the pointer when the timer fires; a drag's release
// follows 5 s after its press; a click on Close ends the program, releasing a
// pending drag) and the desktop's (a press goes to the window under the
// pointer and all events go there until every button is up; a left press on
// a button makes it track the press, so that the release clicks it only over
// it, and meanwhile only it hears of the pointer coming and going; a left
// press on the bare surface drags the panel until the release).
class Reference {
 public:
  enum Timer {
    kDwellTimer,
    kLeftTimer,
    kDoubleTimer,
    kDragTimer,
    kRightTimer,
    kDropTimer
  };
  static constexpr int kTimers = 6;
  static constexpr const char* kTimerNames[kTimers] = {
      "dwell", "left click", "double click", "drag", "right click", "drop"};

  // What happened, for the report of a discrepancy.
  struct Note {
    Millis time = 0;
    std::string text;
  };

  struct Counts {
    int dwell_clicks = 0;
    int actions = 0;
    // An action's click choosing a panel button.
    int clicks_by_actions = 0;
    // A drag from a button dropped back on it, which clicks it.
    int clicks_by_drops = 0;
    // A dwell click taken by another window holding the grab.
    int lost_to_grab = 0;
    // The panel dragged by an action's press on its surface.
    int panel_drags = 0;
  };

  explicit Reference(Millis delay_ms) : delay_ms_(delay_ms) {}

  const std::vector<Injection>& expected() const { return expected_; }
  const Counts& counts() const { return counts_; }
  bool running() const { return running_; }
  bool dragging_panel() const { return moving_; }
  Point origin() const { return origin_; }
  const Spot& pointer() const { return pointer_; }

  std::string RecentNotes() const {
    std::string text;
    for (std::size_t i = 0; i < notes_.size(); ++i) {
      const Note& n = notes_[(next_note_ + i) % notes_.size()];
      if (n.text.empty()) continue;
      text += "  " + Clock(n.time) + " " + n.text + "\n";
    }
    return text;
  }

  // A fresh program starts with the pointer where it is.
  void Start(Millis now) {
    now_ = now;
    running_ = true;
    origin_ = kHome;
    moving_ = false;
    capture_ = kNoButton;
    for (ModelTimer& t : timers_) t.armed = false;
    Log("program started");
    if (int b = ButtonAt(pointer_.place); b != kNoButton) Enter(b);
  }

  // Fires every timer due by `until`, earliest first; equal deadlines in the
  // order the timers were armed.
  void AdvanceTo(Millis until) {
    for (;;) {
      int due = -1;
      for (int i = 0; i < kTimers; ++i) {
        const ModelTimer& t = timers_[i];
        if (!t.armed || t.deadline > until) continue;
        if (due < 0 || t.deadline < timers_[due].deadline ||
            (t.deadline == timers_[due].deadline &&
             t.order < timers_[due].order)) {
          due = i;
        }
      }
      if (due < 0) break;
      now_ = timers_[due].deadline;
      Fire(static_cast<Timer>(due));
    }
    now_ = until;
  }

  void MovePointer(const Spot& to) {
    int before = running_ ? ButtonAt(pointer_.place) : kNoButton;
    if (moving_) {
      // The panel follows the pointer, which stays on the same spot of it.
      EXPECT_EQ(to.place, pointer_.place);
      EXPECT_EQ(to.on_panel, pointer_.on_panel);
      origin_ = move_origin_ + (to.screen - move_pointer_);
    }
    pointer_ = to;
    Log(std::string("pointer to ") + kPlaceNames[static_cast<int>(to.place)] +
        " (" + std::to_string(to.screen.x) + ", " +
        std::to_string(to.screen.y) + ")");
    if (!running_) return;
    int after = ButtonAt(pointer_.place);
    if (before == after) return;
    if (before != kNoButton && (capture_ == kNoButton || capture_ == before))
      Leave(before);
    if (after != kNoButton && (capture_ == kNoButton || capture_ == after))
      Enter(after);
  }

 private:
  enum class Window { kNone, kPanel, kOther };
  struct ModelTimer {
    bool armed = false;
    Millis deadline = 0;
    std::uint64_t order = 0;
  };
  struct Event {
    MouseButton button;
    bool press;
  };

  void Log(std::string text) {
    notes_[next_note_] = {now_, std::move(text)};
    next_note_ = (next_note_ + 1) % notes_.size();
  }

  void Arm(Timer t, Millis interval) {
    ModelTimer& m = timers_[t];
    if (m.armed) return;
    m = {true, now_ + interval, next_order_++};
  }
  void Disarm(Timer t) { timers_[t].armed = false; }

  void Enter(int button) {
    Log(std::string("enter ") + kButtonNames[button]);
    Arm(kDwellTimer, kDwell);
  }
  void Leave(int button) {
    Log(std::string("leave ") + kButtonNames[button]);
    Disarm(kDwellTimer);
  }

  void Inject(MouseButton button, bool press) {
    expected_.push_back({now_, button, press, pointer_.screen});
    pending_.push_back({button, press});
  }

  void Fire(Timer t) {
    Log(std::string("timer ") + kTimerNames[t] + " fires");
    constexpr MouseButton kL = MouseButton::kLeft, kR = MouseButton::kRight;
    switch (t) {
      case kDwellTimer:
        ++counts_.dwell_clicks;
        Inject(kL, true);
        Inject(kL, false);
        break;
      case kLeftTimer:
        Inject(kL, true);
        Inject(kL, false);
        break;
      case kDoubleTimer:
        for (int i = 0; i < 2; ++i) {
          Inject(kL, true);
          Inject(kL, false);
        }
        break;
      case kDragTimer:
        Inject(kL, true);
        Arm(kDropTimer, kDrop);
        break;
      case kRightTimer:
        Inject(kR, true);
        Inject(kR, false);
        break;
      case kDropTimer:
        Inject(kL, false);
        break;
    }
    if (t != kDwellTimer && t != kDropTimer) ++counts_.actions;
    Disarm(t);
    // The events reach their windows after the reaction, one by one.
    while (!pending_.empty()) {
      Event e = pending_.front();
      pending_.erase(pending_.begin());
      Deliver(e, t);
    }
  }

  void Deliver(const Event& e, Timer by) {
    const int b = e.button == MouseButton::kLeft ? 0 : 1;
    if (running_ && moving_ && !e.press && e.button == MouseButton::kLeft) {
      // The window manager ends the drag of the panel.
      moving_ = false;
      grab_ = Window::kNone;
      held_[0] = false;
      Log("panel dragged to (" + std::to_string(origin_.x) + ", " +
          std::to_string(origin_.y) + ")");
      return;
    }
    Window under =
        running_ && OnPanel(pointer_.place) ? Window::kPanel : Window::kOther;
    Window dest = grab_ != Window::kNone ? grab_ : under;
    if (capture_ != kNoButton) dest = Window::kPanel;
    if (e.press && grab_ == Window::kNone) grab_ = dest;
    held_[b] = e.press;
    if (!e.press && !held_[0] && !held_[1]) grab_ = Window::kNone;
    if (dest != Window::kPanel || e.button != MouseButton::kLeft) {
      if (by == kDwellTimer && e.press && dest != Window::kPanel &&
          under == Window::kPanel) {
        ++counts_.lost_to_grab;
        Log("the dwell press goes to the window holding the grab");
      }
      return;
    }
    const int at = ButtonAt(pointer_.place);
    if (e.press) {
      if (capture_ != kNoButton) return;  // the tracking button has it
      if (at != kNoButton) {
        capture_ = at;
        Log(std::string("press tracked by ") + kButtonNames[at]);
      } else if (MovesPanel(pointer_.place)) {
        moving_ = true;
        move_pointer_ = pointer_.screen;
        move_origin_ = origin_;
        if (by == kDragTimer) ++counts_.panel_drags;
        Log("panel drag starts");
      }
      return;
    }
    if (capture_ == kNoButton) return;
    const int tracked = capture_;
    capture_ = kNoButton;
    if (at != tracked) {
      Log(std::string("release off ") + kButtonNames[tracked] + ": no click");
      return;
    }
    if (by == kDropTimer) ++counts_.clicks_by_drops;
    if (by != kDwellTimer && by != kDropTimer) ++counts_.clicks_by_actions;
    Click(tracked);
  }

  void Click(int button) {
    Log(std::string("click on ") + kButtonNames[button]);
    if (button == kCloseButton) {
      Close();
      return;
    }
    static constexpr Timer kActionTimer[] = {kLeftTimer, kDoubleTimer,
                                             kDragTimer, kRightTimer};
    Arm(kActionTimer[button], delay_ms_);
  }

  void Close() {
    // A drag still waiting for its drop is released before the program goes.
    if (timers_[kDropTimer].armed) Inject(MouseButton::kLeft, false);
    for (ModelTimer& t : timers_) t.armed = false;
    running_ = false;
    capture_ = kNoButton;
    moving_ = false;
    origin_ = kHome;  // where the next program's panel will stand
    Log("program closed");
  }

  const Millis delay_ms_;
  Millis now_ = 0;
  bool running_ = false;
  Spot pointer_;
  Point origin_ = kHome;
  ModelTimer timers_[kTimers];
  std::uint64_t next_order_ = 0;
  std::vector<Injection> expected_;
  std::vector<Event> pending_;
  // The desktop: buttons held as delivered, the window holding the grab, the
  // panel button tracking a left press, the drag of the panel.
  bool held_[2] = {false, false};
  Window grab_ = Window::kNone;
  int capture_ = kNoButton;
  bool moving_ = false;
  Point move_pointer_;
  Point move_origin_;
  Counts counts_;
  std::array<Note, 48> notes_;
  std::size_t next_note_ = 0;
};

// The user's hand: journeys of random length between random places.
class Journeys {
 public:
  explicit Journeys(std::uint64_t seed) : rng_(seed) {}

  // The time until the next move: quick hops, rests around the dwell time
  // to probe its boundary, and long rests.
  Millis NextPause() {
    int kind = Uniform(0, 99);
    if (kind < 50) return Uniform(50, 500);
    if (kind < 80) return Uniform(2900, 3100);
    return Uniform(3000, 15000);
  }

  Spot Next(const Reference& model) {
    const Spot& now = model.pointer();
    if (model.dragging_panel()) {
      // The panel moves with the pointer; keep it on the screen near home.
      Point origin{kHome.x + Uniform(-150, 150), kHome.y + Uniform(-120, 120)};
      Spot s = now;
      s.screen = origin + now.on_panel;
      return s;
    }
    int kind = Uniform(0, 999);
    if (kind < 150) {
      // Another point of the same place: a stay that wobbles.
      return now.area == kOffArea ? Off(model.origin())
                                  : InArea(now.area, model.origin());
    }
    if (kind < 590)
      return InArea((kind - 150) / 110, model.origin());  // the action buttons
    if (kind < 592) return InArea(kCloseButton, model.origin());
    if (kind < 630) return InArea(5 + Uniform(0, 1), model.origin());  // gaps
    if (kind < 680) return InArea(7, model.origin());  // status line
    if (kind < 730)
      return InArea(8 + Uniform(0, 2), model.origin());  // captions
    if (kind < 810)
      return InArea(11 + Uniform(0, 4), model.origin());  // bare surface
    if (kind < 840)
      return InArea(16 + Uniform(0, 3), model.origin());  // corners
    return Off(model.origin());
  }

 private:
  int Uniform(int lo, int hi) {
    return lo +
           static_cast<int>(rng_() % static_cast<std::uint64_t>(hi - lo + 1));
  }

  Spot InArea(int area, Point origin) {
    const Rect& r = kAreas[area].rect;
    Point p{r.left + Uniform(0, r.width - 1), r.top + Uniform(0, r.height - 1)};
    return {origin + p, kAreas[area].place, area, p};
  }

  // Anywhere on the screen clear of the panel's rectangle.
  Spot Off(Point origin) {
    Rect panel{origin.x - 2, origin.y - 2, kPanelSize.x + 4, kPanelSize.y + 4};
    for (;;) {
      Point p{Uniform(0, kScreen.width - 1), Uniform(0, kScreen.height - 1)};
      if (!panel.Contains(p)) return {p, Place::kOff, kOffArea, p - origin};
    }
  }

  std::mt19937_64 rng_;
};

// Bytes held by the logs that grow by design: the desktop's record of
// injections, what the other window received, and the model's expectations.
std::size_t LogBytes(const sim::SimDesktop& desktop,
                     const sim::TargetWindow& target, const Reference& model) {
  return desktop.injections().capacity() * sizeof(Injection) +
         target.events().capacity() * sizeof(sim::ButtonEvent) +
         target.gestures().capacity() * sizeof(sim::Gesture) +
         model.expected().capacity() * sizeof(Injection);
}

struct SoakRun {
  const char* name;
  std::uint64_t seed;
  int delay_seconds;
};

void PrintTo(const SoakRun& run, std::ostream* out) {
  *out << "seed " << run.seed << ", Delay " << run.delay_seconds;
}

class Soak : public ::testing::TestWithParam<SoakRun> {};

TEST_P(Soak, ADayOfJourneysInjectsExactlyWhatWasChosen) {
  const SoakRun run = GetParam();
  SCOPED_TRACE("seed " + std::to_string(run.seed) + ", Delay " +
               std::to_string(run.delay_seconds));
  testing_support::TempDir dir;
  dir.Write("setting.ini", "[MouseSetting]\nDelay=" +
                               std::to_string(run.delay_seconds) + "\n");
  sim::SimDesktop desktop;
  // Another program's window filling the screen beneath the panel.
  sim::TargetWindow& target = desktop.AddTarget("desktop", kScreen);
  Reference model(run.delay_seconds * 1000);
  Journeys hand(run.seed);
  std::unique_ptr<Program> program;

  auto start_program = [&](Millis now) {
    program = std::make_unique<Program>(desktop, dir.File("mouse"));
    program->Start();
    // The title's fade ticks every 16 ms and only repaints the title; the
    // controller never looks at it, so a day runs fast without it.
    program->form().AHMFadingLabel1->SetFade(false);
    model.Start(now);
    sim::RunUntil(desktop, program->application(), now);
  };
  auto move = [&](const Spot& s) {
    desktop.MovePointer(s.screen);
    model.MovePointer(s);
  };

  std::size_t checked = 0;
  // Compares what has been injected so far; false at the first difference.
  auto matches = [&](Millis now) {
    const std::vector<Injection>& got = desktop.injections();
    const std::vector<Injection>& want = model.expected();
    std::size_t n = std::min(got.size(), want.size());
    std::size_t i = checked;
    while (i < n && got[i] == want[i]) ++i;
    if (i == got.size() && i == want.size()) {
      checked = i;
    } else {
      std::ostringstream out;
      out << "by " << Clock(now) << ", injection #" << i << " differs (seed "
          << run.seed << ", Delay " << run.delay_seconds << ")\n";
      std::size_t from = i >= 4 ? i - 4 : 0;
      out << "expected:\n";
      for (std::size_t k = from; k < std::min(want.size(), i + 4); ++k) {
        out << (k == i ? "> " : "  ") << Describe(want[k]) << "\n";
      }
      out << "injected:\n";
      for (std::size_t k = from; k < std::min(got.size(), i + 4); ++k) {
        out << (k == i ? "> " : "  ") << Describe(got[k]) << "\n";
      }
      out << "what the model saw last:\n" << model.RecentNotes();
      const std::vector<sim::ButtonEvent>& received = target.events();
      out << "what the other window received last:\n";
      for (std::size_t k = received.size() >= 6 ? received.size() - 6 : 0;
           k < received.size(); ++k) {
        const sim::ButtonEvent& e = received[k];
        out << "  " << Describe({e.time, e.button, e.press, e.screen}) << "\n";
      }
      ADD_FAILURE() << out.str();
      return false;
    }
    if (program && program->application().Terminated() == model.running()) {
      ADD_FAILURE() << "by " << Clock(now) << " the program has "
                    << (model.running() ? "ended" : "not ended") << " (seed "
                    << run.seed << ")\n"
                    << model.RecentNotes();
      return false;
    }
    if (model.running() && desktop.WindowBounds().origin() != model.origin()) {
      ADD_FAILURE() << "by " << Clock(now) << " the panel stands at ("
                    << desktop.WindowBounds().left << ", "
                    << desktop.WindowBounds().top << "), expected ("
                    << model.origin().x << ", " << model.origin().y
                    << ") (seed " << run.seed << ")\n"
                    << model.RecentNotes();
      return false;
    }
    return true;
  };

  move(hand.Next(model));
  start_program(0);
  ASSERT_TRUE(matches(0));

  constexpr Millis kWarmUp = 2 * 60 * 60 * 1000;
  std::optional<std::size_t> heap_after_warm_up;
  std::size_t logs_after_warm_up = 0;
  int restarts = 0;

  for (Millis now = 0; now < kDay;) {
    now += hand.NextPause();
    if (model.running()) sim::RunUntil(desktop, program->application(), now);
    model.AdvanceTo(now);
    if (!matches(now)) return;
    if (!model.running()) {
      // Closed: the program is gone, and what it injected last reaches
      // whatever lies beneath. The user moves on and starts it again.
      program.reset();
      while (desktop.PollEvent()) {
      }
      desktop.SetNow(now);
      move(hand.Next(model));
      start_program(now);
      ++restarts;
    } else {
      move(hand.Next(model));
      sim::RunUntil(desktop, program->application(), now);
    }
    if (!matches(now)) return;
    if (!heap_after_warm_up && now >= kWarmUp) {
      heap_after_warm_up = mallinfo2().uordblks;
      logs_after_warm_up = LogBytes(desktop, target, model);
    }
  }

  // Memory stays flat: beyond the logs that grow by design, the heap holds
  // no more than after the first two hours (timers, queue entries, windows,
  // controls and the desktop's own records would all show here).
  ASSERT_TRUE(heap_after_warm_up);
  std::size_t logs_growth =
      LogBytes(desktop, target, model) - logs_after_warm_up;
  std::size_t heap_now = mallinfo2().uordblks;
  std::size_t other_growth = heap_now > *heap_after_warm_up + logs_growth
                                 ? heap_now - *heap_after_warm_up - logs_growth
                                 : 0;
  EXPECT_LT(other_growth, 128u * 1024u)
      << "heap grew by " << heap_now - *heap_after_warm_up << " bytes, logs by "
      << logs_growth;
  EXPECT_TRUE(desktop.errors().empty());

  // The day went through the paths that matter, not only the easy ones.
  const Reference::Counts& c = model.counts();
  EXPECT_GT(c.dwell_clicks, 1000);
  EXPECT_GT(c.actions, 1000);
  EXPECT_GT(c.clicks_by_actions, 0);
  EXPECT_GT(c.clicks_by_drops, 0);
  EXPECT_GT(c.lost_to_grab, 0);
  EXPECT_GT(c.panel_drags, 0);
  EXPECT_GT(restarts, 0);
  std::printf(
      "seed %llu, Delay %d: %zu injections, %d dwell clicks, %d actions, "
      "%d panel buttons clicked by actions, %d by drops, %d dwell clicks taken "
      "by a grab, %d panel drags, %d restarts\n",
      static_cast<unsigned long long>(run.seed), run.delay_seconds,
      model.expected().size(), c.dwell_clicks, c.actions, c.clicks_by_actions,
      c.clicks_by_drops, c.lost_to_grab, c.panel_drags, restarts);
}

INSTANTIATE_TEST_SUITE_P(Delays, Soak,
                         ::testing::Values(SoakRun{"Delay1", 0x5eed0001, 1},
                                           SoakRun{"Delay2", 0x5eed0002, 2},
                                           SoakRun{"Delay5", 0x5eed0005, 5}),
                         [](const ::testing::TestParamInfo<SoakRun>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace app

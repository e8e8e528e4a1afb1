#include "toolkit/timer.h"

#include <gtest/gtest.h>

#include <vector>

namespace tk {
namespace {

// A queue driven by hand: Advance moves the clock and fires whatever has
// come due, in order, recording when each timer fired.
class TimerFixture : public ::testing::Test {
 protected:
  void Advance(Millis to) {
    for (;;) {
      std::optional<Millis> next = queue_.NextDeadline();
      if (!next || *next > to) break;
      queue_.SetNow(*next);
      queue_.FireDue();
    }
    queue_.SetNow(to);
  }
  Timer& Make(std::uint32_t interval, bool disarm_on_fire = false) {
    timers_.push_back(std::make_unique<Timer>(queue_));
    Timer& t = *timers_.back();
    t.SetInterval(interval);
    t.OnTimer = [this, &t, disarm_on_fire] {
      fired_.push_back(queue_.now());
      if (disarm_on_fire) t.SetEnabled(false);
    };
    return t;
  }

  TimerQueue queue_;
  std::vector<std::unique_ptr<Timer>> timers_;
  std::vector<Millis> fired_;
};

TEST_F(TimerFixture, FiresOncePerIntervalFromItsStart) {
  queue_.SetNow(100);
  Timer& t = Make(3000);
  t.SetEnabled(true);
  Advance(9200);
  EXPECT_EQ(fired_, (std::vector<Millis>{3100, 6100, 9100}));
}

TEST_F(TimerFixture, ArmingAnArmedTimerDoesNotRestartIt) {
  Timer& t = Make(5000, /*disarm_on_fire=*/true);
  t.SetEnabled(true);
  Advance(2000);
  t.SetEnabled(true);
  Advance(20000);
  EXPECT_EQ(fired_, (std::vector<Millis>{5000}));
}

TEST_F(TimerFixture, DisarmThenArmStartsAFreshCountdown) {
  Timer& t = Make(3000, /*disarm_on_fire=*/true);
  t.SetEnabled(true);
  Advance(2000);
  t.SetEnabled(false);
  t.SetEnabled(true);
  Advance(10000);
  EXPECT_EQ(fired_, (std::vector<Millis>{5000}));
}

TEST_F(TimerFixture, NewIntervalRestartsSameIntervalDoesNot) {
  Timer& t = Make(3000, /*disarm_on_fire=*/true);
  t.SetEnabled(true);
  Advance(1000);
  t.SetInterval(3000);  // unchanged: keeps counting
  Advance(3500);
  EXPECT_EQ(fired_, (std::vector<Millis>{3000}));
  t.SetEnabled(true);   // fresh start at 3500
  Advance(4000);
  t.SetInterval(2000);  // restarts at 4000
  Advance(10000);
  EXPECT_EQ(fired_, (std::vector<Millis>{3000, 6000}));
}

TEST_F(TimerFixture, IntervalZeroNeverFiresThoughArmed) {
  Timer& t = Make(0);
  t.SetEnabled(true);
  EXPECT_TRUE(t.Enabled());
  EXPECT_FALSE(t.Running());
  EXPECT_FALSE(queue_.NextDeadline());
  // Giving it an interval later starts it.
  t.SetInterval(10);
  Advance(10);
  EXPECT_EQ(fired_, (std::vector<Millis>{10}));
}

TEST_F(TimerFixture, LargestIntervalFiresAfterAlmostFiftyDays) {
  Timer& t = Make(0xFFFFFFFFu, /*disarm_on_fire=*/true);
  t.SetEnabled(true);
  Advance(Millis{0xFFFFFFFF} - 1);
  EXPECT_TRUE(fired_.empty());
  Advance(Millis{0xFFFFFFFF});
  EXPECT_EQ(fired_, (std::vector<Millis>{Millis{0xFFFFFFFF}}));
}

TEST_F(TimerFixture, DueTimersFireOneAtATimeInDeadlineOrder) {
  std::vector<int> order;
  Timer& a = Make(200, true);
  Timer& b = Make(100, true);
  Timer& c = Make(100, true);
  a.OnTimer = [&] { order.push_back(1); a.SetEnabled(false); };
  b.OnTimer = [&] { order.push_back(2); b.SetEnabled(false); };
  c.OnTimer = [&] { order.push_back(3); c.SetEnabled(false); };
  a.SetEnabled(true);
  b.SetEnabled(true);
  c.SetEnabled(true);
  queue_.SetNow(500);  // a late turn: all three are due
  EXPECT_TRUE(queue_.FireDue());
  EXPECT_EQ(order, (std::vector<int>{2}));
  while (queue_.FireDue()) {
  }
  EXPECT_EQ(order, (std::vector<int>{2, 3, 1}));
}

TEST_F(TimerFixture, DestroyedTimerNeverFires) {
  Timer& t = Make(100);
  t.SetEnabled(true);
  timers_.clear();
  Advance(1000);
  EXPECT_TRUE(fired_.empty());
  EXPECT_FALSE(queue_.NextDeadline());
}

}  // namespace
}  // namespace tk

#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "toolkit/platform.h"

namespace tk {

class Timer;

// Keeps the deadlines of the armed timers. The loop that owns it is the only
// reader of the clock: it tells the queue the time of each turn.
class TimerQueue {
 public:
  Millis now() const { return now_; }
  void SetNow(Millis now) { now_ = now; }

  std::optional<Millis> NextDeadline() const;
  // Fires the timer with the earliest deadline if that deadline has come.
  // Returns whether one fired.
  bool FireDue();

 private:
  friend class Timer;
  struct Entry {
    Timer* timer;
    Millis deadline;
    std::uint64_t order;  // ties go to the timer started first
  };
  void Schedule(Timer* timer, Millis deadline);
  void Cancel(Timer* timer);

  Millis now_ = 0;
  std::uint64_t next_order_ = 0;
  std::vector<Entry> entries_;
};

// A repeating timer: while armed with a non-zero interval it fires once per
// interval, counted from when it was last started.
//  - Arming an armed timer, or disarming a disarmed one, changes nothing.
//  - Disarming and arming again starts a fresh countdown.
//  - A new interval restarts an armed timer; the same interval changes nothing.
//  - An interval of 0 never fires, though the timer can be armed.
class Timer {
 public:
  explicit Timer(TimerQueue& queue, std::string name = {});
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  const std::string& name() const { return name_; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  std::uint32_t Interval() const { return interval_; }
  void SetInterval(std::uint32_t interval);
  // Whether a countdown is running (armed with a non-zero interval).
  bool Running() const { return running_; }

  std::function<void()> OnTimer;

 private:
  friend class TimerQueue;
  void Restart();
  void Stop();

  TimerQueue& queue_;
  std::string name_;
  bool enabled_ = false;
  bool running_ = false;
  std::uint32_t interval_ = 1000;
};

}  // namespace tk

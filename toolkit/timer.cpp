#include "toolkit/timer.h"

#include <algorithm>

namespace tk {

std::optional<Millis> TimerQueue::NextDeadline() const {
  std::optional<Millis> next;
  for (const Entry& e : entries_) {
    if (!next || e.deadline < *next) next = e.deadline;
  }
  return next;
}

bool TimerQueue::FireDue() {
  auto due = entries_.end();
  for (auto it = entries_.begin(); it != entries_.end(); ++it) {
    if (it->deadline > now_) continue;
    if (due == entries_.end() || it->deadline < due->deadline ||
        (it->deadline == due->deadline && it->order < due->order)) {
      due = it;
    }
  }
  if (due == entries_.end()) return false;
  Timer* timer = due->timer;
  // The next period counts from this deadline, so a late turn does not make
  // the timer drift; a turn later than a whole period counts from now.
  Millis next = due->deadline + timer->interval_;
  due->deadline = next > now_ ? next : now_ + timer->interval_;
  due->order = next_order_++;
  if (timer->OnTimer) timer->OnTimer();
  return true;
}

void TimerQueue::Schedule(Timer* timer, Millis deadline) {
  Cancel(timer);
  entries_.push_back({timer, deadline, next_order_++});
}

void TimerQueue::Cancel(Timer* timer) {
  std::erase_if(entries_, [timer](const Entry& e) { return e.timer == timer; });
}

Timer::Timer(TimerQueue& queue, std::string name)
    : queue_(queue), name_(std::move(name)) {}

Timer::~Timer() { Stop(); }

void Timer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  if (enabled_) {
    Restart();
  } else {
    Stop();
  }
}

void Timer::SetInterval(std::uint32_t interval) {
  if (interval == interval_) return;
  interval_ = interval;
  if (enabled_) Restart();
}

void Timer::Restart() {
  Stop();
  if (interval_ == 0) return;
  running_ = true;
  queue_.Schedule(this, queue_.now() + interval_);
}

void Timer::Stop() {
  if (!running_) return;
  running_ = false;
  queue_.Cancel(this);
}

}  // namespace tk

#pragma once

#include <optional>

#include "toolkit/platform.h"

namespace x11 {

// Milliseconds of CLOCK_MONOTONIC.
tk::Millis MonotonicMillis();

// SIGTERM, SIGINT and SIGHUP (unless ignored from the start), turned into
// something the loop can wait for: the handler only notes the signal and
// writes a byte into a pipe. One instance at a time; the previous handlers
// come back when it goes.
class SignalPipe {
 public:
  SignalPipe();
  ~SignalPipe();
  SignalPipe(const SignalPipe&) = delete;
  SignalPipe& operator=(const SignalPipe&) = delete;

  // The read end, readable once a signal has come.
  int fd() const { return read_fd_; }
  // Whether a signal has come since the last call; empties the pipe.
  bool Take();
  // Whether a signal is waiting to be taken, without taking it.
  bool Pending() const;

 private:
  int read_fd_ = -1;
};

// Waits until `fd` (the X connection) or `signal_fd` is readable, or until
// `deadline` on MonotonicMillis()'s clock; without a deadline, for as long
// as it takes.
void WaitReadable(int fd, int signal_fd, std::optional<tk::Millis> deadline);

}  // namespace x11

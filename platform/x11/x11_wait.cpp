#include "platform/x11/x11_wait.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <iterator>

namespace x11 {

namespace {

// SIGHUP too: a terminal that closes sends it to a panel started from it, and
// left to its default it would end the program without letting go of a
// button that a pending drag holds down. A panel started with hang-ups
// ignored (nohup) keeps ignoring them.
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

volatile sig_atomic_t g_signalled = 0;
int g_write_fd = -1;
struct sigaction g_previous[std::size(kSignals)];

void OnSignal(int) {
  int saved = errno;
  g_signalled = 1;
  // The pipe is non-blocking: when it is full, a wake-up is already waiting.
  [[maybe_unused]] ssize_t n = write(g_write_fd, "s", 1);
  errno = saved;
}

}  // namespace

tk::Millis MonotonicMillis() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<tk::Millis>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

SignalPipe::SignalPipe() {
  int fds[2];
  if (pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0) return;
  read_fd_ = fds[0];
  g_write_fd = fds[1];
  g_signalled = 0;
  struct sigaction action = {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (std::size_t i = 0; i < std::size(kSignals); ++i) {
    sigaction(kSignals[i], nullptr, &g_previous[i]);
    if (kSignals[i] == SIGHUP && g_previous[i].sa_handler == SIG_IGN) continue;
    sigaction(kSignals[i], &action, nullptr);
  }
}

SignalPipe::~SignalPipe() {
  if (read_fd_ < 0) return;
  for (std::size_t i = 0; i < std::size(kSignals); ++i) {
    sigaction(kSignals[i], &g_previous[i], nullptr);
  }
  close(read_fd_);
  close(g_write_fd);
  g_write_fd = -1;
}

bool SignalPipe::Pending() const { return g_signalled != 0; }

bool SignalPipe::Take() {
  if (!g_signalled) return false;
  g_signalled = 0;
  char buffer[64];
  while (read(read_fd_, buffer, sizeof buffer) > 0) {
  }
  return true;
}

void WaitReadable(int fd, int signal_fd, std::optional<tk::Millis> deadline) {
  pollfd fds[2] = {{fd, POLLIN, 0}, {signal_fd, POLLIN, 0}};
  nfds_t count = signal_fd >= 0 ? 2 : 1;
  for (;;) {
    timespec timeout;
    timespec* timeout_ptr = nullptr;
    if (deadline) {
      // To the deadline's millisecond exactly, not a whole millisecond from
      // now: a timer due at T then fires at T, not up to 1 ms late.
      timespec now;
      clock_gettime(CLOCK_MONOTONIC, &now);
      long long left_ns = (static_cast<long long>(*deadline) * 1000000) -
                          (static_cast<long long>(now.tv_sec) * 1000000000 + now.tv_nsec);
      if (left_ns <= 0) return;
      timeout.tv_sec = static_cast<time_t>(left_ns / 1000000000);
      timeout.tv_nsec = static_cast<long>(left_ns % 1000000000);
      timeout_ptr = &timeout;
    }
    int n = ppoll(fds, count, timeout_ptr, nullptr);
    if (n >= 0 || errno != EINTR) return;
    // A signal: its byte in the pipe ends the next poll at once.
  }
}

}  // namespace x11

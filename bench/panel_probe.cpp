// Measures a dwell-click panel from outside, as its user feels it, on the X
// server of $DISPLAY: it starts the program, moves the pointer with XTest and
// watches the server with XInput 2 raw events (when the server handles a
// motion or a button), DAMAGE (when a window's pixels change) and a window of
// its own that records the clicks landing on it. Every time is taken by this
// one process from CLOCK_MONOTONIC as the server's notice arrives, so the
// delivery delay is the same at both ends of an interval and cancels out.
//
//   panel_probe [options] -- PROGRAM [ARGS...]
//     --samples DIR      writes each measurement's samples there, one a line
//     --server-pid PID   also reports the X server's CPU while the panel idles
//     --startup N        launches to time (after 3 unrecorded warm-up ones)
//     --leave N          pointer-left repetitions
//     --dwell N          dwell-and-action repetitions (each one is an action)
//     --idle SECONDS     length of the idle measurement
//     --delay SECONDS    the program's action delay (its setting.ini)
//
// The program must show a 175 x 258 window at (297, 229) with the Click
// button at (32, 56, 57, 33), the status line at (24, 160, 121, 25) and the
// Close button at (56, 193, 57, 17) of it, as the panel does. Prints one
// line per figure: NAME MEDIAN P99 COUNT, or NAME VALUE for single figures.

#include <X11/Xlib.h>
#include <X11/extensions/XI2.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

// --- Where things are, in screen pixels.
struct Box {
  int x, y, w, h;
  bool Meets(int ox, int oy, int ow, int oh) const {
    return ox < x + w && x < ox + ow && oy < y + h && y < oy + oh;
  }
};
constexpr Box kPanel{297, 229, 175, 258};
constexpr Box kStatus{kPanel.x + 24, kPanel.y + 160, 121, 25};
constexpr int kClickX = kPanel.x + 32 + 28, kClickY = kPanel.y + 56 + 16;
// The Close button, whose hint (in Thai) is the one text in another script.
constexpr int kCloseX = kPanel.x + 56 + 28, kCloseY = kPanel.y + 193 + 8;
// On the probe's own window, well away from the panel.
constexpr int kAwayX = 800, kAwayY = 600;

double NowMs() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

// --- What the server told us, with when.
struct Notice {
  enum class Kind { kRawMotion, kRawPress, kRawRelease, kTargetPress, kDamage };
  Kind kind;
  double at;
  int button = 0;
  int x = 0, y = 0, w = 0, h = 0;
  bool more = false;
};

class Server {
 public:
  bool Open(std::string* error) {
    d_ = XOpenDisplay(nullptr);
    if (!d_) return Fail(error, "cannot open the X display");
    root_ = DefaultRootWindow(d_);
    int event, err, major = 2, minor = 2;
    if (!XQueryExtension(d_, "XInputExtension", &xi_opcode_, &event, &err) ||
        XIQueryVersion(d_, &major, &minor) != Success) {
      return Fail(error, "the server has no XInput 2.2");
    }
    if (!XDamageQueryExtension(d_, &damage_event_, &err)) {
      return Fail(error, "the server has no DAMAGE");
    }
    int xt_event, xt_err, xt_major, xt_minor;
    if (!XTestQueryExtension(d_, &xt_event, &xt_err, &xt_major, &xt_minor)) {
      return Fail(error, "the server has no XTEST");
    }
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(bits, XI_RawMotion);
    XISetMask(bits, XI_RawButtonPress);
    XISetMask(bits, XI_RawButtonRelease);
    XIEventMask mask{XIAllMasterDevices, sizeof bits, bits};
    XISelectEvents(d_, root_, &mask, 1);
    if (!MakeTarget()) return Fail(error, "the probe's window is not shown");
    return true;
  }

  Display* display() const { return d_; }

  // Moves the pointer to (x, y) and returns once the server has handled it.
  void MoveTo(int x, int y) {
    XTestFakeMotionEvent(d_, 0, x, y, CurrentTime);
    XSync(d_, False);
  }

  // Watches the damage of the whole screen while it lives.
  void WatchDamage(bool on) {
    if (on && !damage_) damage_ = XDamageCreate(d_, root_, XDamageReportRawRectangles);
    if (!on && damage_) {
      XDamageDestroy(d_, damage_);
      damage_ = 0;
    }
    XSync(d_, False);
  }

  // Takes notices until `done` says so or `timeout_ms` passes; false then.
  bool Until(double timeout_ms, const std::function<bool(const Notice&)>& done) {
    double deadline = NowMs() + timeout_ms;
    for (;;) {
      while (XPending(d_) > 0) {
        XEvent e;
        XNextEvent(d_, &e);
        double at = NowMs();
        if (std::optional<Notice> n = Translate(e, at); n && done(*n)) return true;
      }
      double left = deadline - NowMs();
      if (left <= 0) return false;
      pollfd fd{ConnectionNumber(d_), POLLIN, 0};
      poll(&fd, 1, static_cast<int>(std::ceil(left)));
    }
  }
  // Lets `ms` pass, dropping what comes.
  void Idle(double ms) {
    Until(ms, [](const Notice&) { return false; });
  }

 private:
  static bool Fail(std::string* error, const char* why) {
    *error = why;
    return false;
  }

  // A window over the screen that the actions land on, beneath the panel.
  bool MakeTarget() {
    int s = DefaultScreen(d_);
    XSetWindowAttributes attrs = {};
    attrs.background_pixel = 0x707070;
    attrs.event_mask = ButtonPressMask | StructureNotifyMask;
    // HACK: one row short of the screen, or openbox takes it for a
    // full-screen window and stacks it above the panel while it is active.
    target_ = XCreateWindow(d_, root_, 0, 0, static_cast<unsigned>(DisplayWidth(d_, s)),
                            static_cast<unsigned>(DisplayHeight(d_, s) - 1), 0,
                            CopyFromParent, InputOutput, CopyFromParent,
                            CWBackPixel | CWEventMask, &attrs);
    long motif[5] = {2, 0, 0, 0, 0};
    Atom motif_atom = XInternAtom(d_, "_MOTIF_WM_HINTS", False);
    XChangeProperty(d_, target_, motif_atom, motif_atom, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(motif), 5);
    XStoreName(d_, target_, "panel probe");
    // HACK: openbox answers as the window manager a moment before it takes
    // map requests, and drops one made then; so ask again until it is shown.
    for (int attempt = 0; attempt < 20; ++attempt) {
      XMapWindow(d_, target_);
      XSync(d_, False);
      for (double until = NowMs() + 500; NowMs() < until;) {
        XEvent e;
        if (XCheckTypedWindowEvent(d_, target_, MapNotify, &e)) return true;
        pollfd fd{ConnectionNumber(d_), POLLIN, 0};
        poll(&fd, 1, 20);
      }
    }
    return false;
  }

  std::optional<Notice> Translate(XEvent& e, double at) {
    Notice n{Notice::Kind::kRawMotion, at};
    if (e.type == GenericEvent && e.xcookie.extension == xi_opcode_ &&
        XGetEventData(d_, &e.xcookie)) {
      auto* raw = static_cast<XIRawEvent*>(e.xcookie.data);
      std::optional<Notice> out;
      if (e.xcookie.evtype == XI_RawMotion) {
        out = n;
      } else if (e.xcookie.evtype == XI_RawButtonPress ||
                 e.xcookie.evtype == XI_RawButtonRelease) {
        n.kind = e.xcookie.evtype == XI_RawButtonPress ? Notice::Kind::kRawPress
                                                       : Notice::Kind::kRawRelease;
        n.button = raw->detail;
        out = n;
      }
      XFreeEventData(d_, &e.xcookie);
      return out;
    }
    if (e.type == damage_event_ + XDamageNotify) {
      auto& dn = reinterpret_cast<XDamageNotifyEvent&>(e);
      n.kind = Notice::Kind::kDamage;
      n.x = dn.area.x, n.y = dn.area.y, n.w = dn.area.width, n.h = dn.area.height;
      n.more = dn.more;
      return n;
    }
    if (e.type == ButtonPress && e.xbutton.window == target_) {
      n.kind = Notice::Kind::kTargetPress;
      n.button = static_cast<int>(e.xbutton.button);
      n.x = e.xbutton.x_root, n.y = e.xbutton.y_root;
      return n;
    }
    return std::nullopt;
  }

  Display* d_ = nullptr;
  Window root_ = None;
  Window target_ = None;
  int xi_opcode_ = 0;
  int damage_event_ = 0;
  Damage damage_ = 0;
};

// --- The program under test.
class Program {
 public:
  explicit Program(std::vector<char*> argv) : argv_(std::move(argv)) {
    argv_.push_back(nullptr);
  }
  ~Program() { Stop(); }

  pid_t Start() {
    pid_ = fork();
    if (pid_ == 0) {
      execvp(argv_[0], argv_.data());
      std::perror(argv_[0]);
      _exit(127);
    }
    return pid_;
  }
  pid_t pid() const { return pid_; }
  bool Running() { return pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0; }
  void Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

 private:
  std::vector<char*> argv_;
  pid_t pid_ = -1;
};

// --- /proc readings.
struct ProcStat {
  double cpu_ms = 0;      // utime + stime
  double run_ms = 0;      // schedstat: time on a core, to the nanosecond
  long voluntary = 0;     // context switches
  long involuntary = 0;
  long hwm_kb = 0, rss_kb = 0;
};

ProcStat ReadProc(pid_t pid) {
  ProcStat s;
  std::string dir = "/proc/" + std::to_string(pid);
  {
    std::ifstream f(dir + "/stat");
    std::string all((std::istreambuf_iterator<char>(f)), {});
    // Fields after the command's closing parenthesis; utime and stime are
    // the 14th and 15th of the line.
    std::istringstream rest(all.substr(all.rfind(')') + 2));
    std::vector<std::string> fields;
    for (std::string w; rest >> w;) fields.push_back(w);
    if (fields.size() > 13) {
      double tick_ms = 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
      s.cpu_ms = (std::stod(fields[11]) + std::stod(fields[12])) * tick_ms;
    }
  }
  {
    std::ifstream f(dir + "/schedstat");
    double ns = 0;
    if (f >> ns) s.run_ms = ns / 1e6;
  }
  std::ifstream f(dir + "/status");
  for (std::string line; std::getline(f, line);) {
    auto value = [&line] { return std::atol(line.c_str() + line.find(':') + 1); };
    if (line.rfind("VmHWM:", 0) == 0) s.hwm_kb = value();
    if (line.rfind("VmRSS:", 0) == 0) s.rss_kb = value();
    if (line.rfind("voluntary_ctxt_switches:", 0) == 0) s.voluntary = value();
    if (line.rfind("nonvoluntary_ctxt_switches:", 0) == 0) s.involuntary = value();
  }
  return s;
}

// --- Figures.
struct Options {
  std::string samples_dir;
  pid_t server_pid = 0;
  int startup = 30;
  int leave = 300;
  int dwell = 100;
  double idle_s = 60;
  int delay_s = 1;
  std::vector<char*> command;
};

void Report(const Options& o, const char* name, std::vector<double> v) {
  if (!o.samples_dir.empty()) {
    std::ofstream f(o.samples_dir + "/" + name + ".txt");
    for (double x : v) f << x << "\n";
  }
  if (v.empty()) {
    std::printf("%s - - 0\n", name);
    return;
  }
  std::sort(v.begin(), v.end());
  std::size_t n = v.size();
  double median = n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
  // Nearest rank: the smallest value at or above 99 % of the samples.
  double p99 = v[static_cast<std::size_t>(std::ceil(0.99 * static_cast<double>(n))) - 1];
  std::printf("%s %.3f %.3f %zu\n", name, median, p99, n);
  std::fflush(stdout);
}

void Single(const char* name, double value) {
  std::printf("%s %.3f\n", name, value);
  std::fflush(stdout);
}

bool InPanel(const Notice& n) {
  return n.kind == Notice::Kind::kDamage && kPanel.Meets(n.x, n.y, n.w, n.h);
}

// Launches the program and waits for its first paint on the screen: the end
// of the first burst of damage inside the panel's rectangle. Returns the
// milliseconds from the launch, or nothing when it never painted.
std::optional<double> Launch(Server& s, Program& p) {
  s.WatchDamage(true);
  s.Idle(20);  // drop what is left of the previous run
  double start = NowMs();
  p.Start();
  double painted = -1;
  bool ok = s.Until(10000, [&](const Notice& n) {
    if (!InPanel(n)) return false;
    painted = n.at;
    return !n.more;
  });
  s.WatchDamage(false);
  if (!ok) return std::nullopt;
  return painted - start;
}

int Run(const Options& o) {
  Server s;
  std::string error;
  if (!s.Open(&error)) {
    std::fprintf(stderr, "panel_probe: %s\n", error.c_str());
    return 1;
  }
  Program p(o.command);
  s.MoveTo(kAwayX, kAwayY);

  // Start-up, with warm caches: the first launches are not counted.
  std::vector<double> startup;
  for (int i = o.startup > 0 ? -3 : 0; i < o.startup; ++i) {
    std::optional<double> t = Launch(s, p);
    if (!t) {
      std::fprintf(stderr, "panel_probe: the program showed nothing\n");
      return 1;
    }
    if (i >= 0) startup.push_back(*t);
    p.Stop();
  }
  if (o.startup > 0) Report(o, "startup_ms", startup);

  if (!Launch(s, p)) return 1;
  s.Idle(1000);
  ProcStat first = ReadProc(p.pid());
  Single("vmhwm_start_kb", static_cast<double>(first.hwm_kb));

  // Idle: the pointer away from the panel, the program waiting.
  if (o.idle_s > 0) {
    s.Idle(2000);
    ProcStat a = ReadProc(p.pid());
    std::optional<ProcStat> xa;
    if (o.server_pid) xa = ReadProc(o.server_pid);
    double t0 = NowMs();
    s.Idle(o.idle_s * 1000);
    double elapsed = NowMs() - t0;
    ProcStat b = ReadProc(p.pid());
    Single("idle_cpu_percent", 100 * (b.cpu_ms - a.cpu_ms) / elapsed);
    Single("idle_run_percent", 100 * (b.run_ms - a.run_ms) / elapsed);
    Single("idle_wakeups_per_s",
           static_cast<double>(b.voluntary - a.voluntary) / (elapsed / 1000));
    Single("idle_preempted_per_s",
           static_cast<double>(b.involuntary - a.involuntary) / (elapsed / 1000));
    if (xa) {
      ProcStat xb = ReadProc(o.server_pid);
      Single("idle_xserver_run_percent", 100 * (xb.run_ms - xa->run_ms) / elapsed);
    }
  }

  // Pointer-left: onto the Click button, a pause, then straight off the
  // panel; the reaction is the status line's repaint.
  {
    std::vector<double> leave;
    s.WatchDamage(true);
    for (int i = 0; i < o.leave; ++i) {
      s.MoveTo(kClickX, kClickY);
      s.Idle(120);
      double moved = -1, reacted = -1;
      XTestFakeMotionEvent(s.display(), 0, kAwayX, kAwayY, CurrentTime);
      XFlush(s.display());
      s.Until(1000, [&](const Notice& n) {
        if (n.kind == Notice::Kind::kRawMotion && moved < 0) moved = n.at;
        if (moved < 0 || n.kind != Notice::Kind::kDamage) return false;
        if (!kStatus.Meets(n.x, n.y, n.w, n.h)) return false;
        reacted = n.at;
        return true;
      });
      if (reacted < 0) {
        std::fprintf(stderr, "panel_probe: no reaction to pointer-left %d\n", i);
        continue;
      }
      leave.push_back(reacted - moved);
      s.Idle(30);
    }
    s.WatchDamage(false);
    Report(o, "leave_ms", leave);
  }

  // Dwell and action: onto the Click button until the panel clicks itself,
  // then off to the probe's window, where the action lands.
  {
    std::vector<double> dwell_error, action_error, recorded_error;
    const double dwell_ms = 3000, action_ms = o.delay_s * 1000.0;
    for (int i = 0; i < o.dwell; ++i) {
      s.Idle(300);
      double arrived = -1, clicked = -1, sent = -1, landed = -1;
      XTestFakeMotionEvent(s.display(), 0, kClickX, kClickY, CurrentTime);
      XFlush(s.display());
      s.Until(dwell_ms + 2000, [&](const Notice& n) {
        if (n.kind == Notice::Kind::kRawMotion && arrived < 0) arrived = n.at;
        if (n.kind == Notice::Kind::kRawPress && n.button == 1 && arrived >= 0) {
          clicked = n.at;
        }
        return clicked >= 0 && n.kind == Notice::Kind::kRawRelease;
      });
      if (clicked < 0) {
        std::fprintf(stderr, "panel_probe: no dwell click %d\n", i);
        continue;
      }
      s.Idle(100);
      s.MoveTo(kAwayX, kAwayY);
      // The action's press as the server handles it, and as the recorder
      // gets it: a window manager that focuses windows on a click (openbox
      // does) holds the press until it has done so.
      s.Until(action_ms + 2000, [&](const Notice& n) {
        if (n.kind == Notice::Kind::kRawPress && n.button == 1 && sent < 0) sent = n.at;
        if (n.kind != Notice::Kind::kTargetPress || n.button != 1) return false;
        landed = n.at;
        return true;
      });
      dwell_error.push_back(std::abs(clicked - arrived - dwell_ms));
      if (sent < 0 || landed < 0) {
        std::fprintf(stderr, "panel_probe: no action %d\n", i);
        continue;
      }
      action_error.push_back(std::abs(sent - clicked - action_ms));
      recorded_error.push_back(std::abs(landed - clicked - action_ms));
    }
    Report(o, "dwell_abs_error_ms", dwell_error);
    Report(o, "action_abs_error_ms", action_error);
    Report(o, "action_recorded_abs_error_ms", recorded_error);
  }
  s.Idle(1000);
  Single("vmhwm_after_kb", static_cast<double>(ReadProc(p.pid()).hwm_kb));

  // The hint, shown once: its script brings its own fonts and tables.
  s.MoveTo(kCloseX, kCloseY);
  s.Idle(1500);
  s.MoveTo(kAwayX, kAwayY);
  s.Idle(1000);
  ProcStat last = ReadProc(p.pid());
  Single("vmhwm_hint_kb", static_cast<double>(last.hwm_kb));
  Single("vmrss_hint_kb", static_cast<double>(last.rss_kb));
  p.Stop();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  int i = 1;
  for (; i < argc; ++i) {
    std::string a = argv[i];
    auto next = [&]() -> const char* { return i + 1 < argc ? argv[++i] : ""; };
    if (a == "--") {
      ++i;
      break;
    }
    if (a == "--samples") o.samples_dir = next();
    else if (a == "--server-pid") o.server_pid = std::atoi(next());
    else if (a == "--startup") o.startup = std::atoi(next());
    else if (a == "--leave") o.leave = std::atoi(next());
    else if (a == "--dwell") o.dwell = std::atoi(next());
    else if (a == "--idle") o.idle_s = std::atof(next());
    else if (a == "--delay") o.delay_s = std::atoi(next());
    else {
      std::fprintf(stderr, "panel_probe: unknown option %s\n", a.c_str());
      return 2;
    }
  }
  for (; i < argc; ++i) o.command.push_back(argv[i]);
  if (o.command.empty()) {
    std::fprintf(stderr, "usage: panel_probe [options] -- PROGRAM [ARGS...]\n");
    return 2;
  }
  return Run(o);
}

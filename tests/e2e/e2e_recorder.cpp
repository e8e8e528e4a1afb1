// Another program for the panel to click into: a plain window over (nearly)
// the whole screen that writes one line per pointer-button event it receives,
//
//   press BUTTON X Y MILLIS
//   release BUTTON X Y MILLIS
//
// with X and Y on the screen and MILLIS from CLOCK_MONOTONIC; and "ready"
// once its window is on the screen. Lines are flushed as they are written.
//
//   e2e_recorder [OUTPUT-FILE]      (stdout without one)
//   e2e_recorder --now              prints the clock's reading and ends

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <time.h>

#include <cstdio>
#include <cstring>

namespace {

long long MonotonicMillis() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<long long>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--now") == 0) {
    std::printf("%lld\n", MonotonicMillis());
    return 0;
  }
  FILE* out = stdout;
  if (argc > 1) {
    out = std::fopen(argv[1], "w");
    if (!out) {
      std::perror(argv[1]);
      return 2;
    }
  }
  Display* d = XOpenDisplay(nullptr);
  if (!d) {
    std::fprintf(stderr, "e2e_recorder: cannot open the X display\n");
    return 1;
  }
  int screen = DefaultScreen(d);
  unsigned width = static_cast<unsigned>(DisplayWidth(d, screen));
  // HACK: one row short of the screen. Openbox takes an unframed window
  // that covers the whole screen for an old-style full-screen window and
  // stacks it above even the "always on top" layer while it has the focus.
  unsigned height = static_cast<unsigned>(DisplayHeight(d, screen)) - 1;

  XSetWindowAttributes attrs = {};
  attrs.background_pixel = 0x707070;
  attrs.event_mask = ButtonPressMask | ButtonReleaseMask | StructureNotifyMask;
  Window w = XCreateWindow(d, RootWindow(d, screen), 0, 0, width, height, 0,
                           CopyFromParent, InputOutput, CopyFromParent,
                           CWBackPixel | CWEventMask, &attrs);
  XStoreName(d, w, "e2e recorder");
  // Where asked and unframed, so that nothing but it lies under the spots
  // the tests click.
  XSizeHints* size = XAllocSizeHints();
  size->flags = USPosition | USSize;
  XSetWMNormalHints(d, w, size);
  XFree(size);
  long motif[5] = {2, 0, 0, 0, 0};
  Atom motif_atom = XInternAtom(d, "_MOTIF_WM_HINTS", False);
  XChangeProperty(d, w, motif_atom, motif_atom, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(motif), 5);
  XMapWindow(d, w);

  for (;;) {
    XEvent e;
    XNextEvent(d, &e);
    switch (e.type) {
      case MapNotify:
        std::fprintf(out, "ready\n");
        break;
      case ButtonPress:
      case ButtonRelease:
        std::fprintf(out, "%s %u %d %d %lld\n", e.type == ButtonPress ? "press" : "release",
                     e.xbutton.button, e.xbutton.x_root, e.xbutton.y_root,
                     MonotonicMillis());
        break;
      default:
        continue;
    }
    std::fflush(out);
  }
}

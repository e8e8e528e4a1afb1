#include "platform/x11/x11_pointer.h"

#include <optional>

namespace x11 {

namespace {

// Deeper than any window manager nests its frames.
constexpr int kMaxDepth = 8;

}  // namespace

tk::PointerState QueryPointer(Connection& c,
                              const std::function<bool(::Window)>& is_ours,
                              const std::function<bool(::Window)>& is_frame) {
  tk::PointerState state;
  // Frames belong to the window manager and may be destroyed between two
  // queries; the root, queried first, never is.
  std::optional<ErrorTrap> trap;
  ::Window window = c.root();
  for (int depth = 0; depth < kMaxDepth; ++depth) {
    ::Window root, child;
    int root_x, root_y, x, y;
    unsigned mask;
    if (window != c.root() && !trap) trap.emplace(c.display());
    if (!XQueryPointer(c.display(), window, &root, &child, &root_x, &root_y, &x, &y,
                       &mask)) {
      break;  // on another screen, or the window has gone
    }
    state.screen = {root_x, root_y};
    if (window != c.root() && is_ours(window)) {
      state.window = static_cast<tk::WindowHandle>(window);
      state.position = {x, y};
      break;
    }
    // HACK: a reparenting window manager (openbox) puts each top-level in a
    // frame window, so the root's child under the pointer is the frame; our
    // window is one or more levels further down. Any other window there is
    // another program's, over ours or beside it.
    if (child == None || !(is_ours(child) || is_frame(child))) break;
    window = child;
  }
  return state;
}

}  // namespace x11

// Writes the whole screen of $DISPLAY (or a part: x y width height) to a PNG
// file, for looking at what an end-to-end run left on the screen.
//
//   e2e_screenshot OUT.png [X Y WIDTH HEIGHT]

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 2 && argc != 6) {
    std::fprintf(stderr, "usage: %s OUT.png [X Y WIDTH HEIGHT]\n", argv[0]);
    return 2;
  }
  Display* d = XOpenDisplay(nullptr);
  if (!d) {
    std::fprintf(stderr, "e2e_screenshot: cannot open the X display\n");
    return 1;
  }
  int screen = DefaultScreen(d);
  int x = 0, y = 0;
  int w = DisplayWidth(d, screen), h = DisplayHeight(d, screen);
  if (argc == 6) {
    x = std::atoi(argv[2]);
    y = std::atoi(argv[3]);
    w = std::atoi(argv[4]);
    h = std::atoi(argv[5]);
  }
  XImage* image = XGetImage(d, RootWindow(d, screen), x, y, static_cast<unsigned>(w),
                            static_cast<unsigned>(h), AllPlanes, ZPixmap);
  if (!image) {
    std::fprintf(stderr, "e2e_screenshot: cannot read the screen\n");
    return 1;
  }
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
  unsigned char* data = cairo_image_surface_get_data(s);
  int stride = cairo_image_surface_get_stride(s);
  for (int row = 0; row < h; ++row) {
    auto* out = reinterpret_cast<unsigned*>(data + row * stride);
    for (int col = 0; col < w; ++col) {
      unsigned long p = XGetPixel(image, col, row);
      out[col] = static_cast<unsigned>(p & 0xFFFFFF);  // the depth-24 visual's RGB
    }
  }
  cairo_surface_mark_dirty(s);
  cairo_status_t status = cairo_surface_write_to_png(s, argv[1]);
  cairo_surface_destroy(s);
  XDestroyImage(image);
  XCloseDisplay(d);
  return status == CAIRO_STATUS_SUCCESS ? 0 : 1;
}

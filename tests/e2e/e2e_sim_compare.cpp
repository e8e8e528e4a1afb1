// Compares a screenshot of the real panel just after start-up with the
// simulated desktop's rendering of the same state, pixel by pixel inside the
// panel's shape. The fading title changes from tick to tick, so its box is
// left out. Prints how closely the two agree; exits 1 when they differ by
// more than font antialiasing could explain.
//
//   e2e_sim_compare REAL.png DELAY

#include <cairo.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/program.h"
#include "platform/sim/sim_desktop.h"
#include "tests/support/temp_dir.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s REAL.png DELAY\n", argv[0]);
    return 2;
  }
  cairo_surface_t* real = cairo_image_surface_create_from_png(argv[1]);
  if (cairo_surface_status(real) != CAIRO_STATUS_SUCCESS) {
    std::fprintf(stderr, "e2e_sim_compare: cannot read %s\n", argv[1]);
    return 2;
  }
  testing_support::TempDir dir;
  dir.Write("setting.ini", std::string("[MouseSetting]\nDelay=") + argv[2] + "\n");
  sim::SimDesktop desktop;
  desktop.MovePointer({1000, 900});
  app::Program program(desktop, dir.File("mouse"));
  program.Start();
  sim::RunUntil(desktop, program.application(), 0);
  const tk::RgbImage& sim = desktop.Screen();

  cairo_surface_flush(real);
  int width = cairo_image_surface_get_width(real);
  int height = cairo_image_surface_get_height(real);
  int stride = cairo_image_surface_get_stride(real);
  const unsigned char* data = cairo_image_surface_get_data(real);
  if (width != sim.width() || height != sim.height()) {
    std::fprintf(stderr, "e2e_sim_compare: %dx%d against %dx%d\n", width, height,
                 sim.width(), sim.height());
    return 1;
  }
  tk::Rect title = program.form().AHMFadingLabel1->bounds();
  int compared = 0, equal = 0, close = 0, worst = 0;
  for (const tk::Rect& band : desktop.WindowShape()) {
    for (int y = band.top; y < band.bottom(); ++y) {
      const auto* row = reinterpret_cast<const std::uint32_t*>(data + y * stride);
      for (int x = band.left; x < band.right(); ++x) {
        if (title.Contains({x, y})) continue;
        std::uint32_t p = row[x];
        tk::Rgb r{static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8),
                  static_cast<std::uint8_t>(p)};
        tk::Rgb s = sim.at(x, y);
        int diff = std::max({std::abs(r.r - s.r), std::abs(r.g - s.g), std::abs(r.b - s.b)});
        ++compared;
        equal += diff == 0;
        close += diff <= 48;
        worst = std::max(worst, diff);
      }
    }
  }
  cairo_surface_destroy(real);
  double equal_pct = 100.0 * equal / compared, close_pct = 100.0 * close / compared;
  std::printf("%d pixels compared: %.2f%% identical, %.2f%% within 48, largest difference %d\n",
              compared, equal_pct, close_pct, worst);
  return close_pct >= 99.0 ? 0 : 1;
}

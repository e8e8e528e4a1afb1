// The panel's memory over many actions: the whole program (panel, loop,
// timers, cairo canvas) on the simulated desktop, whose virtual clock lets
// it perform a thousand actions in seconds. Prints the process's peak and
// current resident size after start-up and after the actions, and how much
// the heap in use grew, less what the simulated desktop itself keeps (it
// records every event it delivers, so that tests can read them).
//
//   sim_memory [ACTIONS]   (1000 when not given)

#include <malloc.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/program.h"
#include "platform/sim/sim_desktop.h"

namespace {

// Screen points of the panel standing at (297, 229).
constexpr tk::Point kButtons[] = {
    {357, 301},  // Left Click
    {357, 335},  // Double Click
    {357, 369},  // Drag & Drop
    {417, 335},  // Right Click
};
constexpr tk::Point kAway{800, 600};
constexpr tk::Millis kDelayMs = 1000;
constexpr tk::Millis kDwellMs = 3000;
constexpr tk::Millis kDropMs = 5000;

long StatusKb(const char* key) {
  std::ifstream f("/proc/self/status");
  for (std::string line; std::getline(f, line);) {
    if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + line.find(':') + 1);
  }
  return -1;
}

long HeapInUse() {
  struct mallinfo2 m = mallinfo2();
  return static_cast<long>(m.uordblks + m.hblkhd);
}

template <typename T>
long Bytes(const std::vector<T>& v) {
  return static_cast<long>(v.capacity() * sizeof(T));
}

void Print(const char* when) {
  std::printf("sim_vmhwm_%s_kb %ld\nsim_vmrss_%s_kb %ld\n", when, StatusKb("VmHWM:"), when,
              StatusKb("VmRSS:"));
}

}  // namespace

int main(int argc, char** argv) {
  int actions = argc > 1 ? std::atoi(argv[1]) : 1000;
  std::string dir = (std::filesystem::temp_directory_path() / "mouse-bench-XXXXXX").string();
  if (!mkdtemp(dir.data())) return 1;
  std::ofstream(dir + "/setting.ini") << "[MouseSetting]\nDelay=" << kDelayMs / 1000 << "\n";

  sim::SimDesktop desktop;
  sim::TargetWindow& target = desktop.AddTarget("desktop", {0, 0, 1280, 1024});
  desktop.MovePointer(kAway);
  int landed = 0;
  long heap_start = 0, heap_after = 0, records = 0;
  {
    app::Program program(desktop, dir + "/mouse");
    tk::Application& app = program.application();
    program.Start();
    tk::Millis t = 0;
    sim::RunUntil(desktop, app, t);
    Print("start");
    heap_start = HeapInUse();
    for (int i = 0; i < actions; ++i) {
      tk::Point button = kButtons[i % std::size(kButtons)];
      desktop.MovePointer(button);
      sim::RunUntil(desktop, app, t += kDwellMs + 100);
      desktop.MovePointer(kAway);
      sim::RunUntil(desktop, app, t += kDelayMs + kDropMs + 100);
    }
    Print("after");
    heap_after = HeapInUse();
    records = Bytes(desktop.injections()) + Bytes(target.events()) + Bytes(target.gestures());
    landed = static_cast<int>(target.gestures().size());
  }
  std::printf("sim_actions %d\nsim_gestures %d\n", actions, landed);
  std::printf("sim_heap_growth_kb %ld\nsim_records_kb %ld\n", (heap_after - heap_start) / 1024,
              records / 1024);
  std::filesystem::remove_all(dir);
  return 0;
}

#pragma once

#include <memory>
#include <string>

#include "input/pointer_injector.h"
#include "panel/controller.h"
#include "toolkit/application.h"
#include "toolkit/platform.h"

namespace app {

// The program on one desktop: the application titled "Mouse", its one panel
// and the injector the panel clicks with.
class Program {
 public:
  // Creates the panel from its form data; its window exists, hidden.
  Program(tk::Platform& platform, std::string executable_path);
  ~Program();

  tk::Application& application() { return app_; }
  panel::TFormMouse& form() { return *form_; }

  // Runs the panel's creation handler and shows the panel.
  void Start();
  // Start(), then the loop until the panel is closed. The exit code is 0.
  int Run();

 private:
  tk::Application app_;
  input::PlatformPointerInjector injector_;
  std::unique_ptr<panel::TFormMouse> form_;
};

}  // namespace app

#include "app/program.h"

namespace app {

Program::Program(tk::Platform& platform, std::string executable_path)
    : app_(platform), injector_(platform) {
  app_.Title = "Mouse";
  form_ = std::make_unique<panel::TFormMouse>(app_, injector_,
                                              std::move(executable_path));
}

Program::~Program() {
  // The panel and its timers go before the loop they belong to.
  form_.reset();
}

void Program::Start() {
  // An error in the creation handler is reported and start-up goes on.
  app_.Guarded([this] {
    if (form_->OnCreate) form_->OnCreate();
  });
  form_->Show();
}

int Program::Run() {
  Start();
  app_.Run();
  return 0;
}

}  // namespace app

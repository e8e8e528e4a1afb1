#pragma once

#include "toolkit/platform.h"

namespace input {

// Presses and releases the pointer's buttons on the user's behalf: each
// operation puts exactly one button event into the desktop's input stream,
// at the pointer's current position, without moving the pointer. Stateless:
// it never balances presses against releases.
class PointerInjector {
 public:
  virtual ~PointerInjector() = default;
  virtual void LeftDown() = 0;
  virtual void LeftUp() = 0;
  virtual void RightDown() = 0;
  virtual void RightUp() = 0;
};

// Injects through the desktop the program runs on.
class PlatformPointerInjector : public PointerInjector {
 public:
  explicit PlatformPointerInjector(tk::Platform& platform) : platform_(platform) {}
  void LeftDown() override { platform_.InjectButton(tk::MouseButton::kLeft, true); }
  void LeftUp() override { platform_.InjectButton(tk::MouseButton::kLeft, false); }
  void RightDown() override { platform_.InjectButton(tk::MouseButton::kRight, true); }
  void RightUp() override { platform_.InjectButton(tk::MouseButton::kRight, false); }

 private:
  tk::Platform& platform_;
};

}  // namespace input

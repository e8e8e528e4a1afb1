#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "toolkit/canvas.h"
#include "toolkit/platform.h"
#include "toolkit/timer.h"

namespace tk {

class Control;
class Form;

// The program's event loop over one Platform, on one thread. One turn handles
// one event; when none is waiting it runs the pointer check (pointer-left and
// pointer-entered notices, the hint), paints what is damaged, fires one due
// timer, and otherwise waits for the next event or timer deadline.
class Application {
 public:
  explicit Application(Platform& platform);
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  Platform& platform() { return platform_; }
  TimerQueue& timers() { return timers_; }

  std::string Title;
  // The desktop's colour scheme; controls resolve system colours in it.
  ColorScheme Scheme = ColorScheme::Classic();

  // Runs until Terminate().
  void Run();
  // One turn without waiting. Returns false when there was nothing to do, so
  // the caller may wait until NextDeadline() or the next event.
  bool Step();
  std::optional<Millis> NextDeadline() const { return timers_.NextDeadline(); }
  void Terminate() { terminated_ = true; }
  bool Terminated() const { return terminated_; }

  // The first form added is the main form; closing it ends the program.
  Form* MainForm() const { return forms_.empty() ? nullptr : forms_.front(); }

  // The control under the pointer as of the last pointer check.
  Control* ControlUnderPointer() const { return hover_; }
  // Runs the pointer check now.
  void CheckPointer();

  // Shows an error that ended a reaction; the loop goes on. Replaceable so
  // that tests can watch it.
  std::function<void(const std::string& message)> OnError;
  void ReportError(const std::string& message);
  // Runs `reaction`, reporting anything it throws.
  void Guarded(const std::function<void()>& reaction);

  // Tooltips: the hint of the control under the pointer appears after
  // kHintPause and goes after kHintHide.
  static constexpr std::uint32_t kHintPause = 500;
  static constexpr std::uint32_t kHintHide = 2500;
  void SetHint(const Control* control, std::string text);

 private:
  friend class Form;
  void AddForm(Form* form);
  void RemoveForm(Form* form);
  void FormDamaged(Form* form);
  void ControlGone(Control* control);

  void CheckPointerAt(const PointerState& pointer);
  void Dispatch(const Event& event);
  void DispatchPointer(Form* form, const Event& event);
  void PaintDamaged();
  void UpdateHint();
  void CancelHint();
  Form* FormOf(WindowHandle window) const;

  Platform& platform_;
  TimerQueue timers_;
  std::vector<Form*> forms_;
  bool terminated_ = false;
  bool damaged_ = false;
  // The pointer as the last turn found it, and whether the current turn may
  // take it from there instead of asking the desktop again.
  PointerState pointer_;
  bool pointer_current_ = false;
  Control* hover_ = nullptr;
  std::unique_ptr<Canvas> canvas_;

  struct Hint {
    const Control* control;
    std::string text;
  };
  std::vector<Hint> hints_;
  const Control* hint_control_ = nullptr;
  bool hint_shown_ = false;
  Timer hint_show_timer_{timers_, "hint show"};
  Timer hint_hide_timer_{timers_, "hint hide"};
};

}  // namespace tk

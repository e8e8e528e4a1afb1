#include "toolkit/application.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "toolkit/form.h"

namespace tk {

Application::Application(Platform& platform) : platform_(platform) {
  timers_.SetNow(platform_.Now());
  hint_show_timer_.SetInterval(kHintPause);
  hint_show_timer_.OnTimer = [this] {
    hint_show_timer_.SetEnabled(false);
    auto it = std::find_if(hints_.begin(), hints_.end(), [this](const Hint& h) {
      return h.control == hint_control_;
    });
    if (it == hints_.end()) return;
    platform_.ShowTooltip(it->text, platform_.QueryPointer().screen);
    hint_shown_ = true;
    hint_hide_timer_.SetEnabled(true);
  };
  hint_hide_timer_.SetInterval(kHintHide);
  hint_hide_timer_.OnTimer = [this] { CancelHint(); };
}

Application::~Application() = default;

void Application::Run() {
  while (!terminated_) {
    if (!Step() && !terminated_) platform_.WaitEvents(NextDeadline());
  }
}

bool Application::Step() {
  if (terminated_) return false;
  bool pointer_current = std::exchange(pointer_current_, false);
  timers_.SetNow(platform_.Now());
  if (std::optional<Event> event = platform_.PollEvent()) {
    Guarded([&] { Dispatch(*event); });
    return true;
  }
  // The pointer check runs before any timer fires, so that a pointer that
  // has already left a button cancels its dwell before the dwell can click.
  if (!pointer_current) pointer_ = platform_.QueryPointer();
  CheckPointerAt(pointer_);
  PaintDamaged();
  bool fired = false;
  Guarded([&] { fired = timers_.FireDue(); });
  // A turn that fired a timer is followed at once by another, with no wait
  // and no event between them: that one checks the controls again (the
  // timer may have changed them) at the pointer found here, which saves a
  // round trip to the desktop on every tick of the fade.
  pointer_current_ = fired;
  return fired;
}

void Application::Guarded(const std::function<void()>& reaction) {
  try {
    reaction();
  } catch (const std::exception& e) {
    ReportError(e.what());
  } catch (...) {
    ReportError("Unknown error");
  }
}

void Application::ReportError(const std::string& message) {
  // The message ends with a full stop unless it already ends in punctuation
  // or a character below ".".
  std::string text = message;
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') {
    text += '.';
  }
  if (OnError) {
    OnError(text);
  } else {
    platform_.ReportError(Title, text);
  }
}

void Application::AddForm(Form* form) { forms_.push_back(form); }

void Application::RemoveForm(Form* form) {
  std::erase(forms_, form);
  if (hover_ && form->IsAncestorOf(hover_)) hover_ = nullptr;
}

void Application::ControlGone(Control* control) {
  if (hover_ == control) hover_ = nullptr;
  if (hint_control_ == control) CancelHint();
  std::erase_if(hints_, [control](const Hint& h) { return h.control == control; });
}

Form* Application::FormOf(WindowHandle window) const {
  if (window == kNoWindow) return nullptr;
  for (Form* f : forms_) {
    if (f->window() == window) return f;
  }
  return nullptr;
}

void Application::Dispatch(const Event& event) {
  Form* form = FormOf(event.window);
  if (!form) return;
  switch (event.kind) {
    case Event::Kind::kButtonPress:
      CancelHint();
      DispatchPointer(form, event);
      break;
    case Event::Kind::kButtonRelease:
    case Event::Kind::kMotion:
      DispatchPointer(form, event);
      break;
    case Event::Kind::kKeyPress:
      CancelHint();
      form->KeyPress(event.key);
      break;
    case Event::Kind::kActivate:
      form->Activated();
      break;
    case Event::Kind::kDeactivate:
      break;
    case Event::Kind::kCloseRequest:
      form->Close();
      break;
    case Event::Kind::kExpose:
      form->InvalidateArea(event.area);
      break;
  }
}

void Application::DispatchPointer(Form* form, const Event& event) {
  Control* target = form->Capture();
  if (!target) target = form->ControlAt(event.position, /*windowed_only=*/true);
  if (!target) return;
  Point local = event.position - target->OriginInForm();
  switch (event.kind) {
    case Event::Kind::kButtonPress:
      if (target == form && form->HitTest(event.position) == HitCode::kCaption) {
        if (event.button == MouseButton::kLeft) {
          platform_.BeginUserMove(form->window(), event.screen, event.button);
        }
        return;
      }
      target->MouseDown(event.button, local);
      break;
    case Event::Kind::kButtonRelease:
      target->MouseUp(event.button, local);
      break;
    default:
      target->MouseMove(local);
      break;
  }
}

void Application::CheckPointer() { CheckPointerAt(platform_.QueryPointer()); }

void Application::CheckPointerAt(const PointerState& pointer) {
  Control* under = nullptr;
  Form* form = FormOf(pointer.window);
  if (form) under = form->ControlAt(pointer.position, /*windowed_only=*/false);
  if (under == hover_) return;
  Control* previous = hover_;
  // While a control holds the capture only it hears of the pointer coming
  // and going; the others are passed by silently.
  Control* capture = nullptr;
  if (previous && previous->form()) capture = previous->form()->Capture();
  if (!capture && under && under->form()) capture = under->form()->Capture();
  hover_ = under;
  UpdateHint();
  Guarded([&] {
    if (previous && (!capture || capture == previous)) previous->MouseLeave();
  });
  // The left handler may have closed things; look again.
  if (hover_ != under) return;
  Guarded([&] {
    if (under && (!capture || capture == under)) under->MouseEnter();
  });
}

void Application::SetHint(const Control* control, std::string text) {
  std::erase_if(hints_, [control](const Hint& h) { return h.control == control; });
  if (!text.empty()) hints_.push_back({control, std::move(text)});
}

void Application::UpdateHint() {
  if (hover_ == hint_control_) return;
  CancelHint();
  bool has_hint = std::any_of(hints_.begin(), hints_.end(), [this](const Hint& h) {
    return h.control == hover_;
  });
  hint_control_ = hover_;
  if (has_hint) hint_show_timer_.SetEnabled(true);
}

void Application::CancelHint() {
  hint_show_timer_.SetEnabled(false);
  hint_hide_timer_.SetEnabled(false);
  if (hint_shown_) platform_.HideTooltip();
  hint_shown_ = false;
  // The pointer has to leave the control and come back for the hint to show
  // again.
}

void Application::FormDamaged(Form*) { damaged_ = true; }

void Application::PaintDamaged() {
  if (!damaged_) return;
  damaged_ = false;
  for (Form* form : forms_) {
    Rect area = form->TakeDamage();
    if (area.empty() || form->window() == kNoWindow) continue;
    if (!canvas_) {
      canvas_ = platform_.CreateCanvas(form->bounds().width, form->bounds().height);
      if (!canvas_) return;
    }
    form->PaintArea(*canvas_, area);
    platform_.Present(form->window(), canvas_->frame(), area);
  }
}

}  // namespace tk

#include "toolkit/form.h"

#include <algorithm>
#include <utility>

#include "toolkit/application.h"

namespace tk {

Form::Form(Application& app, std::string name, Rect screen_bounds)
    : Control(nullptr, std::move(name), screen_bounds, true), app_(app) {
  app_.AddForm(this);
}

Form::~Form() {
  app_.RemoveForm(this);
  if (window_ != kNoWindow) app_.platform().DestroyWindow(window_);
}

void Form::CreateHandle() {
  if (window_ != kNoWindow) return;
  WindowSpec window_spec;
  window_spec.title = Caption;
  window_spec.bounds = bounds();
  window_ = app_.platform().CreateWindow(window_spec);
  if (!shape_.empty()) app_.platform().SetShape(window_, shape_);
}

void Form::SetShape(std::vector<Rect> rects) {
  shape_ = std::move(rects);
  if (window_ != kNoWindow) app_.platform().SetShape(window_, shape_);
  Invalidate();
}

void Form::Show() {
  CreateHandle();
  Invalidate();
  app_.platform().ShowWindow(window_);
}

void Form::Close() {
  if (OnClose) OnClose();
  if (app_.MainForm() == this) app_.Terminate();
}

void Form::SetActiveControl(Control* control) {
  Control* old = active_control_;
  if (control == old) return;
  active_control_ = control;
  // Outermost first, as focus comes in from outside.
  std::vector<Control*> entered;
  for (Control* c = control; c && c != this; c = c->parent()) {
    if (!(old && c->IsAncestorOf(old))) entered.push_back(c);
  }
  for (auto it = entered.rbegin(); it != entered.rend(); ++it) {
    (*it)->FocusEnter();
  }
}

void Form::Activated() {
  if (active_control_) return;
  std::vector<Control*> stops = TabStops();
  if (!stops.empty()) SetActiveControl(stops.front());
}

std::vector<Control*> Form::TabStops() {
  std::vector<Control*> stops;
  std::function<void(Control*)> walk = [&](Control* parent) {
    std::vector<Control*> kids;
    for (Control* c : parent->children()) {
      if (c->windowed() && c->Visible() && c->TabOrder() >= 0) kids.push_back(c);
    }
    std::stable_sort(kids.begin(), kids.end(), [](Control* a, Control* b) {
      return a->TabOrder() < b->TabOrder();
    });
    for (Control* c : kids) {
      if (c->TabStop() && c->Enabled()) stops.push_back(c);
      walk(c);
    }
  };
  walk(this);
  return stops;
}

void Form::KeyPress(Key key) {
  if (key == Key::kTab || key == Key::kBackTab) {
    std::vector<Control*> stops = TabStops();
    if (stops.empty()) return;
    auto it = std::find(stops.begin(), stops.end(), active_control_);
    std::size_t i = it == stops.end() ? stops.size() - 1
                                      : static_cast<std::size_t>(it - stops.begin());
    std::size_t n = stops.size();
    i = key == Key::kTab ? (i + 1) % n : (i + n - 1) % n;
    SetActiveControl(stops[i]);
    return;
  }
  if (active_control_) active_control_->KeyDown(key);
}

void Form::SetCapture(Control* control) {
  capture_ = control;
  if (window_ != kNoWindow) app_.platform().SetCapture(window_);
}

void Form::ReleaseCapture(Control* control) {
  if (capture_ != control) return;
  capture_ = nullptr;
  if (window_ != kNoWindow) app_.platform().ReleaseCapture();
}

void Form::InvalidateArea(Rect area) {
  area = area.Intersected(ClientRect());
  if (area.empty()) return;
  if (damage_.empty()) {
    damage_ = area;
  } else {
    damage_ = Rect::FromEdges(std::min(damage_.left, area.left),
                              std::min(damage_.top, area.top),
                              std::max(damage_.right(), area.right()),
                              std::max(damage_.bottom(), area.bottom()));
  }
  app_.FormDamaged(this);
}

Rect Form::TakeDamage() { return std::exchange(damage_, Rect{}); }

void Form::PaintArea(Canvas& canvas, Rect area) { PaintControl(this, canvas, area); }

void Form::PaintControl(Control* control, Canvas& canvas, Rect area) {
  Point origin = control->OriginInForm();
  Rect own{origin.x, origin.y, control->bounds().width,
           control->bounds().height};
  Rect clip = own.Intersected(area);
  if (clip.empty()) return;
  canvas.SetOrigin(origin);
  canvas.SetClip(clip.Translated({-origin.x, -origin.y}));
  control->Paint(canvas);
  // The surface first, then the windowed children over it.
  for (bool windowed : {false, true}) {
    for (Control* child : control->children()) {
      if (child->windowed() == windowed && child->Visible()) {
        PaintControl(child, canvas, clip);
      }
    }
  }
}

void Form::ControlGone(Control* control) {
  if (active_control_ == control) active_control_ = nullptr;
  if (capture_ == control) capture_ = nullptr;
  app_.ControlGone(control);
}

}  // namespace tk

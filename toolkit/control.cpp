#include "toolkit/control.h"

#include <algorithm>

#include "toolkit/application.h"
#include "toolkit/form.h"

namespace tk {

Control::Control(Control* parent, std::string name, Rect bounds, bool windowed)
    : parent_(parent), name_(std::move(name)), bounds_(bounds),
      windowed_(windowed) {
  if (parent_) parent_->children_.push_back(this);
}

Control::~Control() {
  if (Form* f = form(); f && f != this) f->ControlGone(this);
  if (parent_) std::erase(parent_->children_, this);
  for (Control* child : children_) child->parent_ = nullptr;
}

Form* Control::form() {
  Control* c = this;
  while (c->parent_) c = c->parent_;
  return dynamic_cast<Form*>(c);
}

void Control::SetBounds(Rect bounds) {
  if (bounds == bounds_) return;
  Invalidate();
  bounds_ = bounds;
  Invalidate();
}

Point Control::OriginInForm() const {
  Point p;
  for (const Control* c = this; c->parent_; c = c->parent_) {
    p = p + c->bounds_.origin();
  }
  return p;
}

void Control::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  if (parent_) parent_->Invalidate();
}

Control* Control::ControlAt(Point p, bool windowed_only) {
  if (!ClientRect().Contains(p)) return nullptr;
  // Windowed children lie above everything drawn on this surface; among
  // siblings of one kind a later one lies above an earlier one.
  for (bool windowed_pass : {true, false}) {
    if (!windowed_pass && windowed_only) break;
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
      Control* child = *it;
      if (child->windowed_ != windowed_pass || !child->visible_) continue;
      if (!child->bounds_.Contains(p)) continue;
      if (Control* hit = child->ControlAt(p - child->bounds_.origin(),
                                          windowed_only)) {
        return hit;
      }
    }
  }
  return this;
}

bool Control::IsAncestorOf(const Control* other) const {
  for (; other; other = other->parent_) {
    if (other == this) return true;
  }
  return false;
}

Rgb Control::Resolve(TColor color) {
  Form* f = form();
  return f ? f->application().Scheme.Resolve(color)
           : ColorScheme::Classic().Resolve(color);
}

void Control::Invalidate() {
  if (Form* f = form()) {
    f->InvalidateArea({OriginInForm().x, OriginInForm().y, bounds_.width,
                       bounds_.height});
  }
}

}  // namespace tk

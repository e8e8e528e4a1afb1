#include "panel/shape_button.h"

#include <utility>

#include "panel/button_group.h"
#include "toolkit/form.h"
#include "toolkit/frame3d.h"

namespace panel {

ShapeButton::ShapeButton(tk::Control* parent, std::string name, tk::Rect bounds)
    : tk::Control(parent, std::move(name), bounds, /*windowed=*/true) {}

void ShapeButton::SetCaption(std::string caption) {
  if (caption == caption_) return;
  caption_ = std::move(caption);
  Invalidate();
}

void ShapeButton::SetColor(tk::TColor color) {
  if (color == color_) return;
  color_ = color;
  Invalidate();
}

void ShapeButton::SetBold(bool bold) {
  if (bold == bold_) return;
  bold_ = bold;
  Invalidate();
}

void ShapeButton::SetDownState(bool down) {
  if (down == down_) return;
  down_ = down;
  Invalidate();
}

void ShapeButton::SetDown(bool down) {
  if (down == down_) return;
  if (!down) {
    SetDownState(false);
    SetBold(false);
    return;
  }
  if (GroupIndex == 0) return;
  SetDownState(true);
  Latch();
}

// Releases the siblings of the same group index and lets the group know, so
// that it can mark its latched button.
void ShapeButton::Latch() {
  if (parent()) {
    for (tk::Control* c : parent()->children()) {
      auto* sibling = dynamic_cast<ShapeButton*>(c);
      if (sibling && sibling != this && sibling->GroupIndex == GroupIndex &&
          sibling->down_) {
        sibling->SetDownState(false);
      }
    }
  }
  if (auto* group = dynamic_cast<ButtonGroup*>(parent())) group->ButtonLatched(*this);
}

void ShapeButton::Paint(tk::Canvas& canvas) {
  tk::Rect face = ClientRect();
  tk::Rgb color = Resolve(color_);
  // A latched group button shows a checkered face; the close button, which
  // never latches, only sinks.
  if (down_ && GroupIndex != 0) {
    canvas.FillCheckerboard(face, Resolve(DitherColor), color);
  } else {
    canvas.FillRect(face, color);
  }
  tk::Rgb lit_outer = Resolve(BtnHighlight), lit_inner = Resolve(Btn3DLight);
  tk::Rgb dark_outer = Resolve(BtnBlack), dark_inner = Resolve(BtnShadow);
  if (down_) {
    std::swap(lit_outer, dark_outer);
    std::swap(lit_inner, dark_inner);
  }
  tk::DrawFrame3D(canvas, face, lit_outer, dark_outer);
  tk::DrawFrame3D(canvas, {face.left + 1, face.top + 1, face.width - 2, face.height - 2},
                  lit_inner, dark_inner);

  tk::Rect text{2, 2, face.width - 4, face.height - 4};
  if (down_) text = text.Translated({TextDownX, TextDownY});
  tk::FontSpec font;
  font.bold = bold_;
  tk::TextLayout layout;
  layout.halign = tk::HAlign::kCenter;
  layout.valign = tk::VAlign::kCenter;
  layout.word_wrap = WordWrap;
  canvas.DrawText(caption_, text, font, Resolve(FontColor), layout);
}

void ShapeButton::MouseEnter() {
  if (OnMouseEnter) OnMouseEnter(*this);
}

void ShapeButton::MouseLeave() {
  if (OnMouseLeave) OnMouseLeave(*this);
}

void ShapeButton::MouseDown(tk::MouseButton button, tk::Point p) {
  // Right and middle presses are only reported.
  if (button == tk::MouseButton::kLeft) {
    tracking_ = true;
    if (tk::Form* f = form()) f->SetCapture(this);
    down_at_press_ = down_;
    SetDownState(true);
  }
  if (OnMouseDown) OnMouseDown(*this, button, p);
}

void ShapeButton::MouseMove(tk::Point p) {
  if (!tracking_) return;
  bool over = ClientRect().Contains(p);
  if (over && !down_) {
    SetDownState(true);
  } else if (!over && down_ && !down_at_press_) {
    SetDownState(false);
  }
}

void ShapeButton::MouseUp(tk::MouseButton button, tk::Point p) {
  if (button != tk::MouseButton::kLeft || !tracking_) return;
  bool over = ClientRect().Contains(p);
  if (GroupIndex == 0) {
    SetDownState(false);
  } else if (over) {
    if (down_at_press_ && AllowAllUp) {
      SetDownState(false);
    } else {
      // A fresh latch, or a latched button clicked again, which stays down.
      SetDownState(true);
      Latch();
    }
  } else if (!down_at_press_) {
    SetDownState(false);
  }
  if (tk::Form* f = form()) f->ReleaseCapture(this);
  if (over && OnClick) OnClick(*this);
  tracking_ = false;
}

}  // namespace panel

#include "panel/status_panel.h"

#include "toolkit/frame3d.h"

namespace panel {

void StatusPanel::Paint(tk::Canvas& canvas) {
  tk::Rect area = ClientRect();
  tk::DrawFrame3D(canvas, area, Resolve(tk::clBtnHighlight), Resolve(tk::clBtnShadow));
  area = {area.left + 1, area.top + 1, area.width - 2, area.height - 2};
  canvas.FillRect(area, Resolve(Color));

  // A band one text line high, as tall as a "W", centred by halving.
  tk::FontSpec font;
  tk::TextLayout layout;
  layout.halign = tk::HAlign::kCenter;
  int line = canvas.MeasureText("W", font, layout, -1).y;
  int top = (area.top + area.bottom() - line) / 2;
  canvas.DrawText(caption_, {area.left, top, area.width, line}, font, Resolve(FontColor),
                  layout);
}

}  // namespace panel

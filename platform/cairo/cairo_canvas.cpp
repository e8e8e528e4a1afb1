#include "platform/cairo/cairo_canvas.h"

#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cstdlib>
#include <new>

#include "platform/cairo/prefix_text.h"

namespace cr {

namespace {

// The panel's fonts are named as on the desktop they were designed for;
// Liberation Sans has the same metrics as that one's sans serif.
constexpr std::string_view kDesignFamily = "MS Sans Serif";
constexpr const char* kMetricTwin = "Liberation Sans";

std::uint32_t Pack(tk::Rgb c) {
  return (std::uint32_t{c.r} << 16) | (std::uint32_t{c.g} << 8) | c.b;
}

PangoAlignment ToPango(tk::HAlign a) {
  switch (a) {
    case tk::HAlign::kLeft: return PANGO_ALIGN_LEFT;
    case tk::HAlign::kCenter: return PANGO_ALIGN_CENTER;
    case tk::HAlign::kRight: return PANGO_ALIGN_RIGHT;
  }
  return PANGO_ALIGN_LEFT;
}

// Where a run of `size` pixels starts inside `room` pixels.
int Offset(int room, int size, tk::HAlign a) {
  if (a == tk::HAlign::kCenter) return (room - size) / 2;
  if (a == tk::HAlign::kRight) return room - size;
  return 0;
}

int Offset(int room, int size, tk::VAlign a) {
  if (a == tk::VAlign::kCenter) return (room - size) / 2;
  if (a == tk::VAlign::kBottom) return room - size;
  return 0;
}

}  // namespace

CairoCanvas::CairoCanvas(int width, int height)
    : width_(std::max(width, 1)), height_(std::max(height, 1)) {
  surface_ = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width_, height_);
  if (cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS) throw std::bad_alloc();
  cr_ = cairo_create(surface_);
  clip_ = {0, 0, width_, height_};

  // One context and one layout serve every piece of text, so a redraw only
  // changes the layout's text and attributes.
  context_ = pango_font_map_create_context(pango_cairo_font_map_get_default());
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_FULL);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
  pango_cairo_context_set_font_options(context_, options);
  cairo_font_options_destroy(options);
  pango_cairo_context_set_resolution(context_, 96);
  pango_cairo_update_context(cr_, context_);
  layout_ = pango_layout_new(context_);
  SetFont(tk::FontSpec{});
}

CairoCanvas::~CairoCanvas() {
  if (font_) pango_font_description_free(font_);
  if (layout_) g_object_unref(layout_);
  if (context_) g_object_unref(context_);
  if (cr_) cairo_destroy(cr_);
  if (surface_) cairo_surface_destroy(surface_);
}

tk::Frame CairoCanvas::frame() {
  cairo_surface_flush(surface_);
  return {width_, height_, cairo_image_surface_get_stride(surface_),
          cairo_image_surface_get_data(surface_)};
}

std::uint32_t* CairoCanvas::Row(int y) {
  unsigned char* data = cairo_image_surface_get_data(surface_);
  return reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) *
                                                     cairo_image_surface_get_stride(surface_));
}

tk::Rgb CairoCanvas::PixelAt(int x, int y) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return {};
  cairo_surface_flush(surface_);
  std::uint32_t p = Row(y)[x];
  return {static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8),
          static_cast<std::uint8_t>(p)};
}

bool CairoCanvas::WritePng(const std::string& path) {
  cairo_surface_flush(surface_);
  return cairo_surface_write_to_png(surface_, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

void CairoCanvas::SetOrigin(tk::Point origin) { origin_ = origin; }

void CairoCanvas::SetClip(tk::Rect clip) {
  clip_ = clip.Translated(origin_).Intersected({0, 0, width_, height_});
}

void CairoCanvas::BeginPixels() { cairo_surface_flush(surface_); }

void CairoCanvas::EndPixels(tk::Rect changed) {
  if (changed.empty()) return;
  cairo_surface_mark_dirty_rectangle(surface_, changed.left, changed.top,
                                     changed.width, changed.height);
}

void CairoCanvas::Plot(int x, int y, std::uint32_t pixel) {
  if (clip_.Contains({x, y})) Row(y)[x] = pixel;
}

void CairoCanvas::FillRect(tk::Rect r, tk::Rgb color) {
  tk::Rect a = r.Translated(origin_).Intersected(clip_);
  if (a.empty()) return;
  BeginPixels();
  std::uint32_t pixel = Pack(color);
  for (int y = a.top; y < a.bottom(); ++y) {
    std::fill_n(Row(y) + a.left, a.width, pixel);
  }
  EndPixels(a);
}

void CairoCanvas::FillCheckerboard(tk::Rect r, tk::Rgb even, tk::Rgb odd) {
  tk::Rect a = r.Translated(origin_).Intersected(clip_);
  if (a.empty()) return;
  BeginPixels();
  std::uint32_t pixels[2] = {Pack(even), Pack(odd)};
  for (int y = a.top; y < a.bottom(); ++y) {
    std::uint32_t* row = Row(y);
    // Parity in the caller's coordinates, not the surface's.
    for (int x = a.left; x < a.right(); ++x) {
      row[x] = pixels[((x - origin_.x) + (y - origin_.y)) & 1];
    }
  }
  EndPixels(a);
}

void CairoCanvas::DrawLine(tk::Point from, tk::Point to, tk::Rgb color) {
  tk::Point a = from + origin_, b = to + origin_;
  BeginPixels();
  std::uint32_t pixel = Pack(color);
  // Bresenham, both ends included; the toolkit only draws straight lines,
  // which this walks one pixel at a time.
  int dx = std::abs(b.x - a.x), sx = a.x < b.x ? 1 : -1;
  int dy = -std::abs(b.y - a.y), sy = a.y < b.y ? 1 : -1;
  int err = dx + dy;
  for (tk::Point p = a;;) {
    Plot(p.x, p.y, pixel);
    if (p == b) break;
    int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      p.x += sx;
    }
    if (e2 <= dx) {
      err += dx;
      p.y += sy;
    }
  }
  EndPixels(tk::Rect::FromEdges(std::min(a.x, b.x), std::min(a.y, b.y),
                                std::max(a.x, b.x) + 1, std::max(a.y, b.y) + 1)
                .Intersected(clip_));
}

void CairoCanvas::DrawImage(const tk::RgbImage& image, tk::Point at) {
  tk::Point o = at + origin_;
  tk::Rect a = tk::Rect{o.x, o.y, image.width(), image.height()}.Intersected(clip_);
  if (a.empty()) return;
  BeginPixels();
  for (int y = a.top; y < a.bottom(); ++y) {
    std::uint32_t* row = Row(y);
    for (int x = a.left; x < a.right(); ++x) row[x] = Pack(image.at(x - o.x, y - o.y));
  }
  EndPixels(a);
}

void CairoCanvas::SetFont(const tk::FontSpec& font) {
  if (font_ && font.family == font_family_ && font.pixel_height == font_pixels_ &&
      font.bold == font_bold_) {
    return;
  }
  font_family_ = std::string(font.family);
  font_pixels_ = font.pixel_height;
  font_bold_ = font.bold;
  if (font_) pango_font_description_free(font_);
  font_ = pango_font_description_new();
  pango_font_description_set_family(
      font_, font.family == kDesignFamily ? kMetricTwin : font_family_.c_str());
  pango_font_description_set_absolute_size(font_, font.pixel_height * PANGO_SCALE);
  pango_font_description_set_weight(font_, font.bold ? PANGO_WEIGHT_BOLD
                                                     : PANGO_WEIGHT_NORMAL);
  pango_layout_set_font_description(layout_, font_);
}

tk::Rect CairoCanvas::Layout(std::string_view text, const tk::FontSpec& font,
                             const tk::TextLayout& layout, int wrap_width) {
  SetFont(font);
  PrefixedText shown;
  if (layout.prefix) {
    shown = StripPrefixes(text);
  } else {
    shown.text = std::string(text);
  }
  // Pango takes only valid UTF-8; a bad byte becomes a replacement mark.
  if (!g_utf8_validate(shown.text.data(), static_cast<gssize>(shown.text.size()),
                       nullptr)) {
    gchar* valid =
        g_utf8_make_valid(shown.text.data(), static_cast<gssize>(shown.text.size()));
    shown.text = valid;
    g_free(valid);
    shown.underlined.clear();
  }
  // Plain text with attributes: no markup, so nothing in a caption is ever
  // read as a tag or an entity.
  pango_layout_set_text(layout_, shown.text.data(), static_cast<int>(shown.text.size()));
  PangoAttrList* attrs = pango_attr_list_new();
  for (const PrefixedText::Span& span : shown.underlined) {
    PangoAttribute* u = pango_attr_underline_new(PANGO_UNDERLINE_SINGLE);
    u->start_index = static_cast<guint>(span.begin);
    u->end_index = static_cast<guint>(span.end);
    pango_attr_list_insert(attrs, u);
  }
  pango_layout_set_attributes(layout_, attrs);
  pango_attr_list_unref(attrs);

  pango_layout_set_alignment(layout_, ToPango(layout.halign));
  if (wrap_width >= 0) {
    pango_layout_set_wrap(layout_, PANGO_WRAP_WORD);
    pango_layout_set_width(layout_, wrap_width * PANGO_SCALE);
  } else {
    pango_layout_set_width(layout_, -1);
  }
  PangoRectangle logical;
  pango_layout_get_pixel_extents(layout_, nullptr, &logical);
  return {logical.x, logical.y, logical.width, logical.height};
}

tk::Point CairoCanvas::MeasureText(std::string_view text, const tk::FontSpec& font,
                                   const tk::TextLayout& layout, int width) {
  int wrap = layout.word_wrap && width >= 0 ? width : -1;
  tk::Rect logical = Layout(text, font, layout, wrap);
  return {logical.width, logical.height};
}

tk::Point CairoCanvas::PlaceText(std::string_view text, tk::Rect box,
                                 const tk::FontSpec& font, const tk::TextLayout& layout) {
  int wrap = layout.word_wrap ? std::max(box.width, 0) : -1;
  tk::Rect logical = Layout(text, font, layout, wrap);
  // A wrapped layout aligns its lines inside the box's width itself; an
  // unwrapped one is placed as a block.
  int x = box.left;
  if (wrap < 0) {
    x += Offset(box.width, logical.width, layout.halign) - logical.left;
  }
  int y = box.top + Offset(box.height, logical.height, layout.valign) - logical.top;
  return {x, y};
}

void CairoCanvas::DrawText(std::string_view text, tk::Rect box, const tk::FontSpec& font,
                           tk::Rgb color, const tk::TextLayout& layout) {
  tk::Rect abs_box = box.Translated(origin_);
  tk::Rect visible = abs_box.Intersected(clip_);
  if (visible.empty()) return;
  tk::Point at = PlaceText(text, abs_box, font, layout);

  cairo_save(cr_);
  cairo_rectangle(cr_, visible.left, visible.top, visible.width, visible.height);
  cairo_clip(cr_);
  cairo_set_source_rgb(cr_, color.r / 255.0, color.g / 255.0, color.b / 255.0);
  cairo_move_to(cr_, at.x, at.y);
  pango_cairo_show_layout(cr_, layout_);
  cairo_restore(cr_);
}

namespace {

// A text mask with the pixels of the canvas that made it.
class CairoTextMask final : public tk::TextMask {
 public:
  CairoTextMask(std::string_view text, tk::Point size, const tk::FontSpec& font,
                const tk::TextLayout& layout, cairo_surface_t* alpha)
      : tk::TextMask(text, size, font, layout), alpha_(alpha) {}
  ~CairoTextMask() override { cairo_surface_destroy(alpha_); }
  cairo_surface_t* alpha() const { return alpha_; }

 private:
  cairo_surface_t* alpha_;
};

}  // namespace

std::unique_ptr<tk::TextMask> CairoCanvas::MakeTextMask(std::string_view text,
                                                        tk::Point size,
                                                        const tk::FontSpec& font,
                                                        const tk::TextLayout& layout) {
  tk::Point at = PlaceText(text, {0, 0, size.x, size.y}, font, layout);
  cairo_surface_t* alpha =
      cairo_image_surface_create(CAIRO_FORMAT_A8, std::max(size.x, 1), std::max(size.y, 1));
  if (cairo_surface_status(alpha) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(alpha);
    throw std::bad_alloc();
  }
  // The glyphs land on the mask as they would on the surface: the same
  // layout, fonts and whole-pixel origin, only the target differs.
  cairo_t* cr = cairo_create(alpha);
  cairo_move_to(cr, at.x, at.y);
  pango_cairo_show_layout(cr, layout_);
  cairo_destroy(cr);
  cairo_surface_flush(alpha);
  return std::make_unique<CairoTextMask>(text, size, font, layout, alpha);
}

void CairoCanvas::DrawTextMask(const tk::TextMask& mask, tk::Point at, tk::Rgb color) {
  const auto* prepared = dynamic_cast<const CairoTextMask*>(&mask);
  if (!prepared) {
    tk::Canvas::DrawTextMask(mask, at, color);
    return;
  }
  tk::Rect abs_box = tk::Rect{at.x, at.y, mask.size().x, mask.size().y}.Translated(origin_);
  tk::Rect visible = abs_box.Intersected(clip_);
  if (visible.empty()) return;
  cairo_save(cr_);
  cairo_rectangle(cr_, visible.left, visible.top, visible.width, visible.height);
  cairo_clip(cr_);
  cairo_set_source_rgb(cr_, color.r / 255.0, color.g / 255.0, color.b / 255.0);
  cairo_mask_surface(cr_, prepared->alpha(), abs_box.left, abs_box.top);
  cairo_restore(cr_);
}

}  // namespace cr

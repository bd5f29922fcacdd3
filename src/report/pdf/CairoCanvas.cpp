#include "report/pdf/CairoCanvas.h"

#include <cairo.h>
#include <pango/pangocairo.h>

#include <cmath>

#include "chart/Fonts.h"

namespace pelmora {

std::string PangoFamily(const std::string& name) {
  // The Windows names are no installed faces here: their fallbacks stand for them. Any
  // other name is tried first itself.
  const bool windows = name == "宋体" || name == "SimSun" || name == "Times New Roman";
  return chart::FamilyList(name, !windows, ",");
}

namespace {

void SetColour(cairo_t* cr, Color c) {
  Rgb rgb = ToRgb(c);
  cairo_set_source_rgb(cr, rgb.r / 255.0, rgb.g / 255.0, rgb.b / 255.0);
}

PangoLayout* MakeLayout(cairo_t* cr, const std::string& utf8, const chart::TextStyle& style) {
  PangoLayout* layout = pango_cairo_create_layout(cr);
  PangoFontDescription* d = pango_font_description_new();
  pango_font_description_set_family(d, PangoFamily(style.fontName).c_str());
  pango_font_description_set_absolute_size(d, style.pixelSize * PANGO_SCALE);
  pango_font_description_set_weight(d, style.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  pango_layout_set_font_description(layout, d);
  pango_font_description_free(d);
  pango_layout_set_text(layout, utf8.c_str(), static_cast<int>(utf8.size()));
  return layout;
}

}  // namespace

void CairoCanvas::Clear(Color background) {
  cairo_save(cr_);
  SetColour(cr_, background);
  cairo_rectangle(cr_, 0, 0, width_, height_);
  cairo_fill(cr_);
  cairo_restore(cr_);
}

void CairoCanvas::SetPen(Color color, double width) {
  pen_ = color;
  penWidth_ = width > 0 ? width : 1;
}

void CairoCanvas::Stroke() {
  SetColour(cr_, pen_);
  cairo_set_line_width(cr_, penWidth_);
  cairo_stroke(cr_);
}

void CairoCanvas::Line(double x1, double y1, double x2, double y2) {
  cairo_move_to(cr_, x1, y1);
  cairo_line_to(cr_, x2, y2);
  Stroke();
}

void CairoCanvas::Rectangle(double x, double y, double w, double h, bool filled, Color fill) {
  cairo_rectangle(cr_, x, y, w, h);
  if (filled) {
    SetColour(cr_, fill);
    cairo_fill_preserve(cr_);
  }
  Stroke();
}

void CairoCanvas::Ellipse(double cx, double cy, double rx, double ry, bool filled, Color fill) {
  if (rx <= 0 || ry <= 0) return;
  cairo_save(cr_);
  cairo_translate(cr_, cx, cy);
  cairo_scale(cr_, rx, ry);
  cairo_arc(cr_, 0, 0, 1, 0, 2 * M_PI);
  cairo_restore(cr_);
  if (filled) {
    SetColour(cr_, fill);
    cairo_fill_preserve(cr_);
  }
  Stroke();
}

void CairoCanvas::Text(double x, double y, const std::string& utf8, const chart::TextStyle& style, chart::HAlign h,
                       chart::VAlign v) {
  PangoLayout* layout = MakeLayout(cr_, utf8, style);
  int w = 0, hgt = 0;
  pango_layout_get_size(layout, &w, &hgt);
  const double tw = double(w) / PANGO_SCALE, th = double(hgt) / PANGO_SCALE;
  double left = h == chart::HAlign::Left ? x : h == chart::HAlign::Center ? x - tw / 2 : x - tw;
  double top = v == chart::VAlign::Top ? y : v == chart::VAlign::Middle ? y - th / 2 : y - th;
  SetColour(cr_, style.color);
  cairo_move_to(cr_, left, top);
  pango_cairo_show_layout(cr_, layout);
  cairo_new_path(cr_);
  g_object_unref(layout);
}

double CairoCanvas::TextWidth(const std::string& utf8, const chart::TextStyle& style) const {
  PangoLayout* layout = MakeLayout(cr_, utf8, style);
  int w = 0, h = 0;
  pango_layout_get_size(layout, &w, &h);
  g_object_unref(layout);
  return double(w) / PANGO_SCALE;
}

}  // namespace pelmora

#include "report/ReportPdf.h"

#include <cairo-pdf.h>
#include <cairo.h>
#include <pango/pangocairo.h>

#include "report/pdf/CairoCanvas.h"

namespace pelmora {

namespace {

cairo_status_t Append(void* closure, const unsigned char* data, unsigned int length) {
  static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
  return CAIRO_STATUS_SUCCESS;
}

// One paragraph as a pango layout: each run with its face, size and weight.
PangoLayout* ParagraphLayout(cairo_t* cr, const RichParagraph& para, double& fallbackPoints) {
  std::string text;
  PangoAttrList* attrs = pango_attr_list_new();
  for (const auto& r : para) {
    const auto start = static_cast<guint>(text.size());
    text += r.text;
    const auto end = static_cast<guint>(text.size());
    const double pt = r.pointSize > 0 ? r.pointSize : 10.5;
    fallbackPoints = pt;
    PangoFontDescription* d = pango_font_description_new();
    pango_font_description_set_family(d, PangoFamily(r.fontName).c_str());
    pango_font_description_set_absolute_size(d, pt * PANGO_SCALE);
    pango_font_description_set_weight(d, r.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    PangoAttribute* a = pango_attr_font_desc_new(d);
    pango_font_description_free(d);
    a->start_index = start;
    a->end_index = end == start ? start + 1 : end;
    pango_attr_list_insert(attrs, a);
    Rgb rgb = ToRgb(r.color);
    PangoAttribute* c = pango_attr_foreground_new(static_cast<guint16>(rgb.r * 257), static_cast<guint16>(rgb.g * 257),
                                                  static_cast<guint16>(rgb.b * 257));
    c->start_index = start;
    c->end_index = end;
    pango_attr_list_insert(attrs, c);
  }
  PangoLayout* layout = pango_cairo_create_layout(cr);
  PangoFontDescription* d = pango_font_description_new();
  pango_font_description_set_family(d, PangoFamily("宋体").c_str());
  pango_font_description_set_absolute_size(d, fallbackPoints * PANGO_SCALE);
  pango_layout_set_font_description(layout, d);
  pango_font_description_free(d);
  pango_layout_set_text(layout, text.c_str(), static_cast<int>(text.size()));
  pango_layout_set_attributes(layout, attrs);
  pango_attr_list_unref(attrs);
  return layout;
}

void Footer(cairo_t* cr, const PdfPage& page, const std::string& footer, int number) {
  chart::TextStyle style;
  style.pixelSize = 9;
  CairoCanvas canvas(cr, page.width, page.height);
  const double y = page.height - page.bottom / 2;
  canvas.Text(page.left, y, footer, style, chart::HAlign::Left, chart::VAlign::Middle);
  canvas.Text(page.width - page.right, y, "第 " + std::to_string(number) + " 页", style, chart::HAlign::Right,
              chart::VAlign::Middle);
}

}  // namespace

std::string ReportPdfBytes(const std::vector<RichParagraph>& paragraphs,
                           const std::function<void(chart::Canvas&)>& chart, const std::string& footer,
                           const PdfPage& page) {
  std::string bytes;
  cairo_surface_t* surface = cairo_pdf_surface_create_for_stream(Append, &bytes, page.width, page.height);
  cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_TITLE, "计算报表");
  cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_CREATOR, "佩莫拉(Pelmora)");
  cairo_t* cr = cairo_create(surface);
  int number = 1;
  const double bottom = page.height - page.bottom;
  double y = page.top;
  bool pageHasText = false;
  for (const auto& para : paragraphs) {
    double points = 10.5;
    PangoLayout* layout = ParagraphLayout(cr, para, points);
    int w = 0, h = 0;
    pango_layout_get_size(layout, &w, &h);
    const double height = double(h) / PANGO_SCALE;
    if (pageHasText && y + height > bottom) {
      Footer(cr, page, footer, number++);
      cairo_show_page(cr);
      y = page.top;
    }
    cairo_move_to(cr, page.left, y);
    pango_cairo_show_layout(cr, layout);
    cairo_new_path(cr);
    g_object_unref(layout);
    y += height;
    pageHasText = true;
  }
  Footer(cr, page, footer, number++);
  cairo_show_page(cr);
  if (chart) {
    const double w = page.width - page.left - page.right;
    cairo_save(cr);
    cairo_translate(cr, page.left, page.top);
    CairoCanvas canvas(cr, w, w * 0.75);
    chart(canvas);
    cairo_restore(cr);
    Footer(cr, page, footer, number++);
    cairo_show_page(cr);
  }
  cairo_destroy(cr);
  cairo_surface_finish(surface);
  const bool ok = cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(surface);
  return ok ? bytes : std::string();
}

}  // namespace pelmora

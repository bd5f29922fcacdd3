#pragma once
// The page of the manual (A4, its margins and faces) and the writer that sets text on
// it: pages with a running title and a page number, text flowed across pages, rules,
// frames and links to headings.
#include <cairo-pdf.h>
#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "ManualSource.h"

namespace manual {

constexpr double kPageW = 595.28, kPageH = 841.89;  // A4 in points
constexpr double kLeft = 64, kRight = 64, kTop = 64, kBottom = 72;
constexpr double kTextW = kPageW - kLeft - kRight;
constexpr const char* kBodyFont = "AR PL UMing CN,WenQuanYi Micro Hei,serif";
// Noto CJK has a real bold face; UMing has none.
constexpr const char* kHeadFont = "Noto Sans CJK SC,WenQuanYi Micro Hei,sans";
constexpr const char* kMonoFont = "Liberation Serif,AR PL UMing CN,serif";
constexpr const char* kContentsTitle = "目录";

class Writer {
 public:
  Writer(cairo_surface_t* surface, const std::map<std::string, Heading*>& headings, bool final)
      : surface_(surface), headings_(headings), final_(final) {
    cr_ = cairo_create(surface_);
  }
  ~Writer() { cairo_destroy(cr_); }

  int Page() const { return page_; }
  double Y() const { return y_; }

  void NewPage() {
    if (page_ > 0) {
      Footer();
      cairo_show_page(cr_);
    }
    ++page_;
    y_ = kTop;
  }
  void Finish() {
    Footer();
    cairo_show_page(cr_);
  }
  void SetRunningTitle(std::string t) { running_ = std::move(t); }
  void Space(double pts) { y_ += pts; }
  double Remaining() const { return kPageH - kBottom - y_; }

  PangoLayout* Layout(const std::string& markup, const char* family, double size, bool bold, double width) {
    PangoLayout* l = pango_cairo_create_layout(cr_);
    PangoFontDescription* d = pango_font_description_from_string("serif");
    pango_font_description_set_family(d, family);
    pango_font_description_set_absolute_size(d, size * PANGO_SCALE);
    pango_font_description_set_weight(d, bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_layout_set_font_description(l, d);
    pango_font_description_free(d);
    pango_layout_set_width(l, static_cast<int>(width * PANGO_SCALE));
    pango_layout_set_wrap(l, PANGO_WRAP_WORD_CHAR);
    pango_layout_set_spacing(l, static_cast<int>(size * 0.45 * PANGO_SCALE));
    pango_layout_set_markup(l, markup.c_str(), -1);
    return l;
  }

  static double Height(PangoLayout* l) {
    int w, h;
    pango_layout_get_size(l, &w, &h);
    return h / double(PANGO_SCALE);
  }

  // Sets a layout at x, line by line, breaking to a new page where a line does not fit.
  void Flow(PangoLayout* l, double x, const std::vector<LinkSpan>& links) {
    PangoLayoutIter* it = pango_layout_get_iter(l);
    double shift = 0;  // where the layout's line tops are on the current page, minus their layout y
    double startY = y_;
    bool first = true;
    do {
      PangoRectangle logical;
      pango_layout_iter_get_line_extents(it, nullptr, &logical);
      const double top = logical.y / double(PANGO_SCALE);
      const double h = logical.height / double(PANGO_SCALE);
      if (first) {
        shift = startY - top;
        first = false;
      }
      if (shift + top + h > kPageH - kBottom) {
        NewPage();
        shift = y_ - top;
      }
      PangoLayoutLine* line = pango_layout_iter_get_line_readonly(it);
      const double baseline = shift + pango_layout_iter_get_baseline(it) / double(PANGO_SCALE);
      cairo_move_to(cr_, x + logical.x / double(PANGO_SCALE), baseline);
      pango_cairo_show_layout_line(cr_, line);
      LineLinks(line, x + logical.x / double(PANGO_SCALE), shift + top, h, links);
      y_ = shift + top + h;
    } while (pango_layout_iter_next_line(it));
    pango_layout_iter_free(it);
  }

  // Link rectangles over the parts of one line that belong to links.
  void LineLinks(PangoLayoutLine* line, double x0, double top, double h, const std::vector<LinkSpan>& links) {
    for (const LinkSpan& s : links) {
      const int from = std::max(s.start, line->start_index);
      const int to = std::min(s.end, line->start_index + line->length);
      if (from >= to) continue;
      int* ranges = nullptr;
      int n = 0;
      pango_layout_line_get_x_ranges(line, from, to, &ranges, &n);
      for (int r = 0; r < n; ++r) {
        const double a = ranges[2 * r] / double(PANGO_SCALE), b = ranges[2 * r + 1] / double(PANGO_SCALE);
        Link(x0 + a, top, b - a, h, s.target);
      }
      g_free(ranges);
    }
  }

  void Link(double x, double y, double w, double h, const std::string& target) {
    auto it = headings_.find(target);
    if (it == headings_.end()) throw std::runtime_error("link to a heading that does not exist: " + target);
    if (!final_) return;
    char attr[200];
    std::snprintf(attr, sizeof attr, "rect=[%.2f %.2f %.2f %.2f] page=%d pos=[%.2f %.2f]", x, y, w, h, it->second->page,
                  kLeft, std::max(0.0, it->second->y - 8));
    cairo_tag_begin(cr_, CAIRO_TAG_LINK, attr);
    cairo_tag_end(cr_, CAIRO_TAG_LINK);
  }

  void Rule(double y, double x1, double x2, double width, double grey) {
    cairo_save(cr_);
    cairo_set_source_rgb(cr_, grey, grey, grey);
    cairo_set_line_width(cr_, width);
    cairo_move_to(cr_, x1, y);
    cairo_line_to(cr_, x2, y);
    cairo_stroke(cr_);
    cairo_restore(cr_);
  }
  void Box(double x, double y, double w, double h) {
    cairo_save(cr_);
    cairo_set_source_rgb(cr_, 0.95, 0.96, 0.98);
    cairo_rectangle(cr_, x, y, w, h);
    cairo_fill_preserve(cr_);
    cairo_set_source_rgb(cr_, 0.55, 0.6, 0.7);
    cairo_set_line_width(cr_, 0.6);
    cairo_stroke(cr_);
    cairo_restore(cr_);
  }
  void Show(PangoLayout* l, double x, double y) {
    cairo_move_to(cr_, x, y);
    pango_cairo_show_layout(cr_, l);
  }
  cairo_t* Cr() { return cr_; }

 private:
  void Footer() {
    PangoLayout* l = Layout(std::to_string(page_), kBodyFont, 9, false, kTextW);
    pango_layout_set_alignment(l, PANGO_ALIGN_CENTER);
    Show(l, kLeft, kPageH - kBottom + 30);
    g_object_unref(l);
    if (!running_.empty() && page_ > 1) {
      PangoLayout* r = Layout(Escape("佩莫拉使用手册 · " + running_), kBodyFont, 8.5, false, kTextW);
      pango_layout_set_alignment(r, PANGO_ALIGN_RIGHT);
      Show(r, kLeft, kTop - 30);
      g_object_unref(r);
      Rule(kTop - 14, kLeft, kPageW - kRight, 0.4, 0.6);
    }
  }

  cairo_surface_t* surface_;
  cairo_t* cr_;
  const std::map<std::string, Heading*>& headings_;
  bool final_;
  int page_ = 0;
  double y_ = kTop;
  std::string running_;
};

}  // namespace manual

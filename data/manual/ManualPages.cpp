#include "ManualPages.h"

#include <algorithm>
#include <stdexcept>

namespace manual {

void WriteContents(Writer& w, Document& doc, bool final) {
  w.NewPage();
  doc.contentsPage = w.Page();
  w.SetRunningTitle(kContentsTitle);
  PangoLayout* t = w.Layout(Escape(kContentsTitle), kHeadFont, 20, true, kTextW);
  pango_layout_set_alignment(t, PANGO_ALIGN_CENTER);
  w.Show(t, kLeft, w.Y());
  w.Space(Writer::Height(t) + 18);
  g_object_unref(t);
  for (const Heading& h : doc.headings) {
    if (h.level > 2) continue;
    const double size = h.level == 1 ? 11.5 : 10;
    const double indent = h.level == 1 ? 0 : 18;
    PangoLayout* title =
        w.Layout(Escape(h.title), h.level == 1 ? kHeadFont : kBodyFont, size, h.level == 1, kTextW - indent - 40);
    pango_layout_set_wrap(title, PANGO_WRAP_CHAR);
    pango_layout_set_spacing(title, 0);
    const double lh = Writer::Height(title) + (h.level == 1 ? 7 : 3.5);
    if (h.level == 1) w.Space(5);
    if (w.Remaining() < lh) w.NewPage();
    const double y = w.Y();
    w.Show(title, kLeft + indent, y);
    PangoLayout* page = w.Layout(std::to_string(h.page), kBodyFont, size, false, 40);
    pango_layout_set_alignment(page, PANGO_ALIGN_RIGHT);
    w.Show(page, kPageW - kRight - 40, y);
    // Dot leader between the title and the page number.
    int tw, th;
    pango_layout_get_pixel_size(title, &tw, &th);
    const double from = kLeft + indent + tw + 6, to = kPageW - kRight - 26;
    if (to > from) {
      cairo_t* cr = w.Cr();
      cairo_save(cr);
      cairo_set_source_rgb(cr, 0.5, 0.5, 0.5);
      for (double x = from; x < to; x += 4) cairo_rectangle(cr, x, y + size * 0.95, 0.8, 0.8);
      cairo_fill(cr);
      cairo_restore(cr);
    }
    if (final) w.Link(kLeft + indent, y, kTextW - indent, Writer::Height(title), h.title);
    w.Space(lh);
    g_object_unref(title);
    g_object_unref(page);
  }
}

void WriteTitlePage(Writer& w, const Document& doc) {
  w.NewPage();
  PangoLayout* a = w.Layout(Escape("佩莫拉 (Pelmora)"), kHeadFont, 30, true, kTextW);
  pango_layout_set_alignment(a, PANGO_ALIGN_CENTER);
  w.Show(a, kLeft, 260);
  PangoLayout* b = w.Layout(Escape("容器内加热、冷却盘管热力设计程序"), kHeadFont, 16, false, kTextW);
  pango_layout_set_alignment(b, PANGO_ALIGN_CENTER);
  w.Show(b, kLeft, 320);
  PangoLayout* c = w.Layout(Escape("使用手册"), kHeadFont, 22, true, kTextW);
  pango_layout_set_alignment(c, PANGO_ALIGN_CENTER);
  w.Show(c, kLeft, 380);
  PangoLayout* d = w.Layout(Escape("版本 " + doc.version), kBodyFont, 11, false, kTextW);
  pango_layout_set_alignment(d, PANGO_ALIGN_CENTER);
  w.Show(d, kLeft, 640);
  for (PangoLayout* l : {a, b, c, d}) g_object_unref(l);
}

namespace {

// A chapter (on a new page, ruled), a section or a subsection (kept with what follows).
void WriteHeading(Writer& w, const Block& b, Heading& h) {
  const double size = b.kind == BlockKind::Chapter ? 19 : b.kind == BlockKind::Section ? 13.5 : 11.5;
  PangoLayout* l = w.Layout(Escape(h.title), kHeadFont, size, true, kTextW);
  const double lh = Writer::Height(l);
  if (b.kind == BlockKind::Chapter) {
    w.NewPage();
    w.SetRunningTitle(h.title);
    w.Space(20);
  } else {
    w.Space(b.kind == BlockKind::Section ? 12 : 8);
    // Keep a heading with at least three lines of what follows.
    if (w.Remaining() < lh + 50) w.NewPage();
  }
  h.page = w.Page();
  h.y = w.Y();
  w.Show(l, kLeft, w.Y());
  w.Space(lh + (b.kind == BlockKind::Chapter ? 8 : 4));
  if (b.kind == BlockKind::Chapter) {
    w.Rule(w.Y(), kLeft, kPageW - kRight, 1.2, 0.2);
    w.Space(14);
  } else if (b.kind == BlockKind::Section) {
    w.Rule(w.Y(), kLeft, kPageW - kRight, 0.4, 0.6);
    w.Space(6);
  }
  g_object_unref(l);
}

// A paragraph (first line indented) or a bullet item.
void WriteParagraph(Writer& w, const Document& doc, const Block& b, const std::string& where, bool final) {
  std::vector<LinkSpan> links;
  const bool bullet = b.kind == BlockKind::Bullet;
  const double indent = bullet ? 16 : 0;
  PangoLayout* l = w.Layout(ToPango(b.text, links, where), kBodyFont, 10.5, false, kTextW - indent);
  if (!bullet) pango_layout_set_indent(l, static_cast<int>(21 * PANGO_SCALE));
  if (w.Remaining() < 16) w.NewPage();
  if (bullet) {
    PangoLayout* dot = w.Layout("•", kBodyFont, 10.5, false, 12);
    w.Show(dot, kLeft + 4, w.Y());
    g_object_unref(dot);
  }
  w.Flow(l, kLeft + indent, final ? links : std::vector<LinkSpan>{});
  if (!final)
    for (const LinkSpan& s : links)
      if (!doc.byTitle.count(s.target)) throw std::runtime_error(where + ": no heading " + s.target);
  w.Space(bullet ? 3 : 6);
  g_object_unref(l);
}

// A note in a frame.
void WriteNote(Writer& w, const Block& b, const std::string& where, bool final) {
  std::vector<LinkSpan> links;
  PangoLayout* l = w.Layout(ToPango(b.text, links, where), kBodyFont, 10, false, kTextW - 20);
  const double h = Writer::Height(l);
  if (w.Remaining() < h + 12) w.NewPage();
  w.Box(kLeft, w.Y(), kTextW, h + 12);
  w.Space(6);
  w.Flow(l, kLeft + 10, final ? links : std::vector<LinkSpan>{});
  w.Space(12);
  g_object_unref(l);
}

// A figure: the picture centred and framed, its caption below.
void WriteFigure(Writer& w, const Block& b, const std::string& where) {
  cairo_surface_t* img = cairo_image_surface_create_from_png(b.rows[0][0].c_str());
  if (cairo_surface_status(img) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(img);
    throw std::runtime_error(where + ": cannot read the picture " + b.rows[0][0]);
  }
  const double iw = cairo_image_surface_get_width(img), ih = cairo_image_surface_get_height(img);
  // Screenshots are taken at 96 dpi: 0.75 pt a pixel at most, and never wider than
  // the text or taller than half a page.
  const double scale = std::min({0.75, kTextW / iw, (kPageH - kTop - kBottom) * 0.5 / ih});
  std::vector<LinkSpan> links;
  PangoLayout* cap = w.Layout(ToPango(b.text, links, where), kBodyFont, 9, false, kTextW);
  pango_layout_set_alignment(cap, PANGO_ALIGN_CENTER);
  const double h = ih * scale + 6 + Writer::Height(cap);
  if (w.Remaining() < h + 8) w.NewPage();
  w.Space(4);
  const double x = kLeft + (kTextW - iw * scale) / 2;
  cairo_t* cr = w.Cr();
  cairo_save(cr);
  cairo_translate(cr, x, w.Y());
  cairo_scale(cr, scale, scale);
  cairo_set_source_surface(cr, img, 0, 0);
  cairo_paint(cr);
  cairo_restore(cr);
  cairo_save(cr);
  cairo_set_source_rgb(cr, 0.6, 0.6, 0.6);
  cairo_set_line_width(cr, 0.5);
  cairo_rectangle(cr, x, w.Y(), iw * scale, ih * scale);
  cairo_stroke(cr);
  cairo_restore(cr);
  w.Space(ih * scale + 6);
  w.Show(cap, kLeft, w.Y());
  w.Space(Writer::Height(cap) + 8);
  g_object_unref(cap);
  cairo_surface_destroy(img);
}

// A formula line, in italics and indented.
void WriteFormula(Writer& w, const Block& b, const std::string& where) {
  std::vector<LinkSpan> links;
  PangoLayout* l = w.Layout("<i>" + ToPango(b.text, links, where) + "</i>", kMonoFont, 11, false, kTextW - 40);
  const double h = Writer::Height(l);
  if (w.Remaining() < h + 6) w.NewPage();
  w.Space(2);
  w.Show(l, kLeft + 32, w.Y());
  w.Space(h + 6);
  g_object_unref(l);
}

// A table: column widths after the longest cell texts, the head row in bold.
void WriteTable(Writer& w, const Block& b, const std::string& where) {
  size_t cols = b.rows.front().size();
  for (const auto& r : b.rows)
    if (r.size() != cols)
      throw std::runtime_error(where + ": the rows of a table differ in their number of cells (a '|' in a cell?)");
  // Column widths follow the longest cell text, within limits.
  std::vector<double> want(cols, 1);
  for (const auto& r : b.rows)
    for (size_t c = 0; c < r.size(); ++c)
      want[c] = std::max(want[c], std::min(40.0, double(g_utf8_strlen(r[c].c_str(), -1))) + 2);
  double sum = 0;
  for (double x : want) sum += x;
  std::vector<double> width(cols);
  for (size_t c = 0; c < cols; ++c) width[c] = kTextW * want[c] / sum;
  w.Space(2);
  for (size_t r = 0; r < b.rows.size(); ++r) {
    std::vector<PangoLayout*> cells;
    double rowH = 0;
    for (size_t c = 0; c < cols; ++c) {
      std::vector<LinkSpan> links;
      const std::string text = c < b.rows[r].size() ? b.rows[r][c] : "";
      std::string m = ToPango(text, links, where);
      if (r == 0) m = "<b>" + m + "</b>";
      PangoLayout* l = w.Layout(m, r == 0 ? kHeadFont : kBodyFont, 9.5, false, width[c] - 8);
      pango_layout_set_spacing(l, static_cast<int>(2 * PANGO_SCALE));
      rowH = std::max(rowH, Writer::Height(l));
      cells.push_back(l);
    }
    rowH += 6;
    if (w.Remaining() < rowH) w.NewPage();
    if (r == 0) w.Rule(w.Y(), kLeft, kPageW - kRight, 0.9, 0.2);
    double x = kLeft;
    for (size_t c = 0; c < cols; ++c) {
      w.Show(cells[c], x + 4, w.Y() + 3);
      x += width[c];
      g_object_unref(cells[c]);
    }
    w.Space(rowH);
    w.Rule(w.Y(), kLeft, kPageW - kRight, r == 0 || r + 1 == b.rows.size() ? 0.9 : 0.3, r == 0 ? 0.2 : 0.6);
  }
  w.Space(8);
}

}  // namespace

void WriteBody(Writer& w, Document& doc, bool final) {
  size_t headingIndex = 0;
  for (const Block& b : doc.blocks) {
    const std::string where = b.file + ":" + std::to_string(b.line);
    switch (b.kind) {
      case BlockKind::Chapter:
      case BlockKind::Section:
      case BlockKind::Subsection: WriteHeading(w, b, doc.headings[headingIndex++]); break;
      case BlockKind::Paragraph:
      case BlockKind::Bullet: WriteParagraph(w, doc, b, where, final); break;
      case BlockKind::Note: WriteNote(w, b, where, final); break;
      case BlockKind::Figure: WriteFigure(w, b, where); break;
      case BlockKind::Formula: WriteFormula(w, b, where); break;
      case BlockKind::Table: WriteTable(w, b, where); break;
    }
  }
}

void AddOutline(cairo_surface_t* surface, Document& doc, std::ofstream& idx) {
  auto attr = [](int page, double y) {
    char a[100];
    std::snprintf(a, sizeof a, "page=%d pos=[%.2f %.2f]", page, kLeft, std::max(0.0, y - 8));
    return std::string(a);
  };
  auto add = [&](int parent, const std::string& title, int level, int page, double y, bool open) {
    char top[32];
    std::snprintf(top, sizeof top, "%.2f", std::max(0.0, y - 8));
    idx << page << '\t' << level << '\t' << top << '\t' << title << '\n';
    return cairo_pdf_surface_add_outline(surface, parent, title.c_str(), attr(page, y).c_str(),
                                         open ? CAIRO_PDF_OUTLINE_FLAG_OPEN : cairo_pdf_outline_flags_t(0));
  };
  add(CAIRO_PDF_OUTLINE_ROOT, kContentsTitle, 1, doc.contentsPage, kTop + 8, false);
  int chapter = CAIRO_PDF_OUTLINE_ROOT, section = CAIRO_PDF_OUTLINE_ROOT;
  for (const Heading& h : doc.headings) {
    int parent = h.level == 1 ? CAIRO_PDF_OUTLINE_ROOT : h.level == 2 ? chapter : section;
    int id = add(parent, h.title, h.level, h.page, h.y, false);
    for (const std::string& a : h.aliases) add(parent, a, h.level, h.page, h.y, false);
    if (h.level == 1) chapter = section = id;
    if (h.level == 2) section = id;
  }
}

}  // namespace manual

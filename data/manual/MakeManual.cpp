// Turns the manual's text sources into Manual.pdf (cairo + pango) and its bookmark index.
//
//   make_manual OUT.pdf SOURCE.txt...
//
// The sources are read in the order given. Their light markup, line by line:
//   # title        chapter: new page, outline entry, line in the contents
//   ## title       section: outline entry under its chapter, line in the contents
//   ### title      subsection: outline entry under its section
//   @also title    one more outline entry (same level) at the heading just above
//   - text         bullet item
//   $ text         formula line, set apart and indented
//   | a | b |      table row (the first row of a table is its head)
//   ! text         note, set in a frame
//   % file.png caption   figure: a PNG (path beside the source file) fitted to the text width
//   blank line     ends a paragraph; other lines are joined into one paragraph
// Inline: **bold**, [[heading title]] a link to that heading.
//
// The first page is the title page, then the contents ("目录", with the page of every
// chapter and section, each line a link), then the body. Next to OUT.pdf the tool writes
// OUT.pdf.idx: one line per outline entry, "page<TAB>level<TAB>top<TAB>title", pages
// from 1, top in points from the top of the page, so that programs without a PDF reader
// find the bookmarks too.
#include <cairo-pdf.h>
#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr double kPageW = 595.28, kPageH = 841.89;  // A4 in points
constexpr double kLeft = 64, kRight = 64, kTop = 64, kBottom = 72;
constexpr double kTextW = kPageW - kLeft - kRight;
constexpr const char* kBodyFont = "AR PL UMing CN,WenQuanYi Micro Hei,serif";
// Noto CJK has a real bold face; UMing has none.
constexpr const char* kHeadFont = "Noto Sans CJK SC,WenQuanYi Micro Hei,sans";
constexpr const char* kMonoFont = "Liberation Serif,AR PL UMing CN,serif";
constexpr const char* kContentsTitle = "目录";

enum class BlockKind { Chapter, Section, Subsection, Paragraph, Bullet, Formula, Table, Note, Figure };

struct Block {
  BlockKind kind;
  std::string text;                            // headings: the title; paragraphs: the markup source
  std::vector<std::vector<std::string>> rows;  // tables
  std::vector<std::string> aliases;            // headings: further outline titles
  std::string file;
  int line = 0;
};

struct Heading {
  std::string title;
  int level;     // 1 chapter, 2 section, 3 subsection
  int page = 0;  // from 1
  double y = 0;
  std::vector<std::string> aliases;
};

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return {};
  size_t e = s.find_last_not_of(" \t\r");
  return s.substr(b, e - b + 1);
}

bool StartsWith(const std::string& s, const char* p) { return s.rfind(p, 0) == 0; }

// Joins two source lines of one paragraph: Chinese text runs on without a blank.
void JoinLine(std::string& para, const std::string& line) {
  if (para.empty()) {
    para = line;
    return;
  }
  const unsigned char last = static_cast<unsigned char>(para.back());
  const unsigned char first = static_cast<unsigned char>(line.front());
  if (last < 0x80 && first < 0x80) para += ' ';
  para += line;
}

std::vector<std::string> SplitRow(const std::string& line) {
  std::vector<std::string> cells;
  std::string s = Trim(line);
  if (!s.empty() && s.front() == '|') s.erase(0, 1);
  if (!s.empty() && s.back() == '|') s.pop_back();
  std::string cell;
  for (char c : s) {
    if (c == '|') {
      cells.push_back(Trim(cell));
      cell.clear();
    } else {
      cell += c;
    }
  }
  cells.push_back(Trim(cell));
  return cells;
}

std::vector<Block> Parse(const std::vector<std::string>& files) {
  std::vector<Block> blocks;
  for (const std::string& file : files) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + file);
    std::string raw;
    int lineNo = 0;
    std::string para;
    BlockKind paraKind = BlockKind::Paragraph;
    int paraLine = 0;
    auto flush = [&] {
      if (!para.empty()) blocks.push_back({paraKind, para, {}, {}, file, paraLine});
      para.clear();
      paraKind = BlockKind::Paragraph;
    };
    while (std::getline(in, raw)) {
      ++lineNo;
      if (!raw.empty() && raw.back() == '\r') raw.pop_back();
      const std::string line = Trim(raw);
      if (line.empty()) {
        flush();
        continue;
      }
      auto heading = [&](BlockKind k, size_t skip) {
        flush();
        std::string title = line.substr(skip);
        if (Trim(title).empty()) throw std::runtime_error(file + ":" + std::to_string(lineNo) + ": empty heading");
        // The title is the bookmark as written (no trimming of inner blanks).
        while (!title.empty() && title.back() == ' ') title.pop_back();
        blocks.push_back({k, title, {}, {}, file, lineNo});
      };
      if (StartsWith(line, "### ")) {
        heading(BlockKind::Subsection, 4);
      } else if (StartsWith(line, "## ")) {
        heading(BlockKind::Section, 3);
      } else if (StartsWith(line, "# ")) {
        heading(BlockKind::Chapter, 2);
      } else if (StartsWith(line, "@also ")) {
        flush();
        if (blocks.empty() || blocks.back().kind > BlockKind::Subsection)
          throw std::runtime_error(file + ":" + std::to_string(lineNo) + ": @also must follow a heading");
        blocks.back().aliases.push_back(Trim(line.substr(6)));
      } else if (StartsWith(line, "- ")) {
        flush();
        para = line.substr(2);
        paraKind = BlockKind::Bullet;
        paraLine = lineNo;
      } else if (StartsWith(line, "$ ")) {
        flush();
        blocks.push_back({BlockKind::Formula, line.substr(2), {}, {}, file, lineNo});
      } else if (StartsWith(line, "% ")) {
        flush();
        const std::string rest = Trim(line.substr(2));
        const size_t blank = rest.find(' ');
        const std::string name = rest.substr(0, blank);
        const size_t slash = file.rfind('/');
        const std::string dir = slash == std::string::npos ? std::string() : file.substr(0, slash + 1);
        Block fig{BlockKind::Figure, blank == std::string::npos ? "" : Trim(rest.substr(blank)), {}, {}, file, lineNo};
        fig.rows.push_back({dir + name});
        blocks.push_back(fig);
      } else if (StartsWith(line, "! ")) {
        flush();
        para = line.substr(2);
        paraKind = BlockKind::Note;
        paraLine = lineNo;
      } else if (line.front() == '|') {
        if (!para.empty() || blocks.empty() || blocks.back().kind != BlockKind::Table ||
            blocks.back().line + static_cast<int>(blocks.back().rows.size()) != lineNo) {
          flush();
          blocks.push_back({BlockKind::Table, "", {}, {}, file, lineNo});
        }
        blocks.back().rows.push_back(SplitRow(line));
      } else {
        if (para.empty()) paraLine = lineNo;
        JoinLine(para, line);
      }
    }
    flush();
  }
  return blocks;
}

std::string Escape(const std::string& s) {
  gchar* e = g_markup_escape_text(s.c_str(), static_cast<gssize>(s.size()));
  std::string r(e);
  g_free(e);
  return r;
}

struct LinkSpan {
  int start, end;  // byte offsets in the layout's text
  std::string target;
};

// Source markup → pango markup, and the byte ranges of the links in the plain text.
std::string ToPango(const std::string& src, std::vector<LinkSpan>& links, const std::string& where) {
  std::string out;
  int plainLen = 0;
  bool bold = false;
  size_t i = 0;
  std::string run;
  auto put = [&](const std::string& text) {
    out += Escape(text);
    plainLen += static_cast<int>(text.size());
  };
  while (i < src.size()) {
    if (src.compare(i, 2, "**") == 0) {
      put(run);
      run.clear();
      out += bold ? "</b>" : "<b>";
      bold = !bold;
      i += 2;
    } else if (src.compare(i, 2, "[[") == 0) {
      size_t close = src.find("]]", i + 2);
      if (close == std::string::npos) throw std::runtime_error(where + ": [[ without ]]");
      put(run);
      run.clear();
      std::string target = src.substr(i + 2, close - i - 2);
      LinkSpan span{plainLen, 0, target};
      out += "<span foreground=\"#1a4fa0\" underline=\"single\">";
      put(target);
      out += "</span>";
      span.end = plainLen;
      links.push_back(span);
      i = close + 2;
    } else {
      run += src[i++];
    }
  }
  put(run);
  if (bold) throw std::runtime_error(where + ": ** not closed");
  return out;
}

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

struct Document {
  std::vector<Block> blocks;
  std::vector<Heading> headings;  // in order; blocks of heading kind refer to them in order
  std::map<std::string, Heading*> byTitle;
  int contentsPage = 2;
  std::string version;
};

// The contents: one line per chapter and section with its page, each line a link.
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

void WriteBody(Writer& w, Document& doc, bool final) {
  size_t headingIndex = 0;
  for (const Block& b : doc.blocks) {
    const std::string where = b.file + ":" + std::to_string(b.line);
    switch (b.kind) {
      case BlockKind::Chapter:
      case BlockKind::Section:
      case BlockKind::Subsection: {
        Heading& h = doc.headings[headingIndex++];
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
        break;
      }
      case BlockKind::Paragraph:
      case BlockKind::Bullet: {
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
        break;
      }
      case BlockKind::Note: {
        std::vector<LinkSpan> links;
        PangoLayout* l = w.Layout(ToPango(b.text, links, where), kBodyFont, 10, false, kTextW - 20);
        const double h = Writer::Height(l);
        if (w.Remaining() < h + 12) w.NewPage();
        w.Box(kLeft, w.Y(), kTextW, h + 12);
        w.Space(6);
        w.Flow(l, kLeft + 10, final ? links : std::vector<LinkSpan>{});
        w.Space(12);
        g_object_unref(l);
        break;
      }
      case BlockKind::Figure: {
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
        break;
      }
      case BlockKind::Formula: {
        std::vector<LinkSpan> links;
        PangoLayout* l = w.Layout("<i>" + ToPango(b.text, links, where) + "</i>", kMonoFont, 11, false, kTextW - 40);
        const double h = Writer::Height(l);
        if (w.Remaining() < h + 6) w.NewPage();
        w.Space(2);
        w.Show(l, kLeft + 32, w.Y());
        w.Space(h + 6);
        g_object_unref(l);
        break;
      }
      case BlockKind::Table: {
        size_t cols = b.rows.front().size();
        for (const auto& r : b.rows)
          if (r.size() != cols)
            throw std::runtime_error(where +
                                     ": the rows of a table differ in their number of cells (a '|' in a cell?)");
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
        break;
      }
    }
  }
}

cairo_status_t Discard(void*, const unsigned char*, unsigned int) { return CAIRO_STATUS_SUCCESS; }

void Render(Document& doc, cairo_surface_t* surface, bool final) {
  std::map<std::string, Heading*> byTitle = doc.byTitle;
  Writer w(surface, byTitle, final);
  WriteTitlePage(w, doc);
  WriteContents(w, doc, final);
  WriteBody(w, doc, final);
  w.Finish();
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

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::cerr << "usage: make_manual OUT.pdf VERSION SOURCE.txt...\n";
    return 2;
  }
  try {
    Document doc;
    doc.version = argv[2];
    std::vector<std::string> files(argv + 3, argv + argc);
    doc.blocks = Parse(files);
    for (const Block& b : doc.blocks) {
      if (b.kind == BlockKind::Chapter || b.kind == BlockKind::Section || b.kind == BlockKind::Subsection) {
        int level = b.kind == BlockKind::Chapter ? 1 : b.kind == BlockKind::Section ? 2 : 3;
        doc.headings.push_back({b.text, level, 0, 0, b.aliases});
      }
    }
    if (doc.headings.empty() || doc.headings.front().level != 1)
      throw std::runtime_error("the manual must begin with a chapter");
    for (Heading& h : doc.headings) {
      for (const std::string* t : [&] {
             std::vector<const std::string*> v{&h.title};
             for (const auto& a : h.aliases) v.push_back(&a);
             return v;
           }()) {
        if (*t == kContentsTitle || !doc.byTitle.emplace(*t, &h).second)
          throw std::runtime_error("bookmark title used twice: " + *t);
      }
    }

    // First pass: page of every heading (the contents page count does not depend on them).
    cairo_surface_t* dry = cairo_pdf_surface_create_for_stream(Discard, nullptr, kPageW, kPageH);
    Render(doc, dry, false);
    cairo_surface_finish(dry);
    cairo_surface_destroy(dry);

    const std::string out = argv[1];
    const std::string tmp = out + ".part";
    cairo_surface_t* pdf = cairo_pdf_surface_create(tmp.c_str(), kPageW, kPageH);
    cairo_pdf_surface_set_metadata(pdf, CAIRO_PDF_METADATA_TITLE, "佩莫拉帮助");
    cairo_pdf_surface_set_metadata(pdf, CAIRO_PDF_METADATA_SUBJECT, "佩莫拉使用手册");
    cairo_pdf_surface_set_metadata(pdf, CAIRO_PDF_METADATA_CREATOR, "Pelmora make_manual");
    std::ofstream idx(out + ".idx.part", std::ios::binary);
    AddOutline(pdf, doc, idx);
    Render(doc, pdf, true);
    cairo_surface_finish(pdf);
    const cairo_status_t st = cairo_surface_status(pdf);
    cairo_surface_destroy(pdf);
    if (st != CAIRO_STATUS_SUCCESS) throw std::runtime_error(std::string("cairo: ") + cairo_status_to_string(st));
    idx.close();
    if (!idx) throw std::runtime_error("cannot write " + out + ".idx");
    if (std::rename(tmp.c_str(), out.c_str()) != 0 ||
        std::rename((out + ".idx.part").c_str(), (out + ".idx").c_str()) != 0)
      throw std::runtime_error("cannot write " + out);
    std::cout << "make_manual: " << doc.headings.size() << " headings\n";
    return 0;
  } catch (const std::exception& e) {
    std::cerr << "make_manual: " << e.what() << "\n";
    return 1;
  }
}

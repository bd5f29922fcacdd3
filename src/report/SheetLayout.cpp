#include "report/SheetLayout.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "fields/Text.h"

namespace pelmora {

namespace {

using chart::HAlign;
using chart::TextStyle;

constexpr Color kGrid = RGBColor(90, 90, 90);
constexpr Color kHeaderFill = RGBColor(222, 222, 222);
constexpr Color kResultFill = RGBColor(236, 242, 250);
constexpr Color kLabel = RGBColor(100, 100, 100);
constexpr double kPadX = 3, kPadY = 2.5;
constexpr int kTitleValueLines = 2;  // a longer name is given whole in the table 项目信息

const TextStyle kBody{"宋体", 9, false, colors::Black};
const TextStyle kNumber{"Times New Roman", 9, false, colors::Black};
const TextStyle kSmall{"宋体", 7, false, kLabel};
const TextStyle kFooter{"宋体", 8, false, colors::Black};

// The next character of a UTF-8 text (its bytes), moving `i` past it.
std::string NextChar(const std::string& s, size_t& i) {
  const auto b = static_cast<unsigned char>(s[i]);
  const size_t len = std::min(Utf8Length(b), s.size() - i);
  std::string c = s.substr(i, len);
  i += len;
  return c;
}

// The code point of one character's bytes.
char32_t CodePoint(const std::string& c) {
  size_t i = 0;
  return NextCodePoint(c, i);
}

// Chinese, Japanese and full-width characters: a line may break before and after each.
// Signs inside numbers and units (×, ⁻⁵, ², ·, ℃) belong to their word.
bool IsIdeographic(char32_t cp) { return cp >= 0x2E80; }

// Punctuation that never starts a line: it takes the character before it along.
bool NoLineStart(char32_t cp) {
  static const char32_t closing[] = {0xFF0C, 0x3002, 0x3001, 0xFF1A, 0xFF1B, 0xFF09, 0xFF01, 0xFF1F,
                                     0x201D, 0x2019, 0x300B, 0x3011, 0x300D, 0xFF05, 0x2026};
  return std::find(std::begin(closing), std::end(closing), cp) != std::end(closing);
}

// Pieces a line may break between: a Latin word with the blanks after it (a word also
// ends after a hyphen or a slash), or one ideographic character.
std::vector<std::string> Pieces(const std::string& text) {
  std::vector<std::string> out;
  std::string word;
  auto flush = [&] {
    if (!word.empty()) out.push_back(std::move(word));
    word.clear();
  };
  for (size_t i = 0; i < text.size();) {
    std::string c = NextChar(text, i);
    if (IsIdeographic(CodePoint(c))) {
      flush();
      out.push_back(std::move(c));
    } else if (c == " " || c == "-" || c == "/" || c == "\\") {
      word += c;
      // Blanks stay with the word before them.
      while (c == " " && i < text.size() && text[i] == ' ') word += text[i++];
      flush();
    } else {
      word += c;
    }
  }
  flush();
  return out;
}

}  // namespace

std::vector<std::string> SheetLayout::Wrap(const std::string& text, const TextStyle& style, double width,
                                           const chart::Canvas& measure) {
  std::vector<std::string> lines;
  for (const std::string& paragraph : SplitLines(text)) {
    std::vector<std::string> line;  // the pieces of the line being filled
    auto joined = [&line] { return std::accumulate(line.begin(), line.end(), std::string()); };
    // Blanks at the end of a line take no room.
    auto fits = [&](const std::string& s) { return measure.TextWidth(std::string(TrimRight(s)), style) <= width; };
    auto emit = [&] {
      std::string l = std::string(TrimRight(joined()));
      if (!l.empty()) lines.push_back(std::move(l));
      line.clear();
    };
    for (const std::string& piece : Pieces(paragraph)) {
      if (fits(joined() + piece)) {
        line.push_back(piece);
        continue;
      }
      // A closing mark does not start a line: the piece before it goes down with it.
      std::vector<std::string> carry;
      if (NoLineStart(CodePoint(piece)) && line.size() > 1) {
        carry.push_back(line.back());
        line.pop_back();
      }
      emit();
      line = std::move(carry);
      if (fits(joined() + piece)) {
        if (!(line.empty() && TrimStr(piece).empty())) line.push_back(piece);
        continue;
      }
      emit();
      // A word wider than the line: broken between characters (each line at least one).
      std::string part;
      for (size_t i = 0; i < piece.size();) {
        std::string c = NextChar(piece, i);
        if (!part.empty() && measure.TextWidth(part + c, style) > width) {
          lines.push_back(part);
          part.clear();
        }
        part += c;
      }
      line.push_back(part);
    }
    const std::string last = std::string(TrimRight(joined()));
    if (!last.empty() || lines.empty() || paragraph.empty()) lines.push_back(last);
  }
  if (lines.empty()) lines.emplace_back();
  return lines;
}

SheetLayout::Op SheetLayout::TextOp(double x, double y, const std::string& text, const TextStyle& style,
                                    HAlign align) const {
  Op op;
  op.kind = Op::Kind::Text;
  op.x = x;
  op.y = y;
  op.text = text;
  op.style = style;
  op.align = align;
  return op;
}

SheetLayout::SheetLayout(const CalcSheet& sheet, const chart::Canvas& measure, SheetPageSize page)
    : measure_(measure), page_(page) {
  contentWidth_ = page_.width - page_.left - page_.right;
  TitleBlock(sheet.title);
  bodyBottom_ = page_.height - page_.bottom - LineHeight(kFooter) - 6;
  NewPage();
  for (size_t i = 0; i < sheet.blocks.size(); ++i) {
    const SheetBlock& b = sheet.blocks[i];
    const double keep = i + 1 < sheet.blocks.size() ? FirstUnit(sheet.blocks[i + 1]) : 0;
    switch (b.kind) {
      case SheetBlock::Kind::Heading: Heading(b.text, 12, keep); break;
      case SheetBlock::Kind::Subheading: Heading(b.text, 10, keep); break;
      case SheetBlock::Kind::Text: Paragraph(b.text); break;
      case SheetBlock::Kind::Table: Table(b.table); break;
    }
  }
  if (!sheet.chartHeading.empty()) Chart(sheet.chartHeading);
  Footers();
}

// The title block: the sheet's title beside the project's names, then the file, the
// date, the revision and the boxes for the signatures.
void SheetLayout::TitleBlock(const SheetTitle& t) {
  const double x0 = page_.left, y0 = page_.top, W = contentWidth_;
  auto valueLines = [this](const std::string& text, double width) {
    std::vector<std::string> lines = Wrap(text, kBody, width - 2 * kPadX, measure_);
    if (lines.size() > kTitleValueLines) {
      lines.resize(kTitleValueLines);
      std::string& last = lines.back();
      while (!last.empty() && measure_.TextWidth(last + "…", kBody) > width - 2 * kPadX) {
        size_t i = last.size() - 1;
        while (i > 0 && (static_cast<unsigned char>(last[i]) & 0xC0) == 0x80) --i;
        last.resize(i);
      }
      last += "…";
    }
    return lines;
  };
  struct Box {
    double x, w;
    const char* label;
    std::string value;
  };
  auto rowHeight = [&](const std::vector<Box>& boxes) {
    size_t lines = 1;
    for (const Box& b : boxes) lines = std::max(lines, valueLines(b.value, b.w).size());
    return 2 * kPadY + LineHeight(kSmall) + static_cast<double>(lines) * LineHeight(kBody);
  };
  auto drawRow = [&](const std::vector<Box>& boxes, double y, double h) {
    for (const Box& b : boxes) {
      Op r;
      r.kind = Op::Kind::Rect;
      r.x = b.x;
      r.y = y;
      r.w = b.w;
      r.h = h;
      r.pen = kGrid;
      title_.push_back(r);
      title_.push_back(TextOp(b.x + kPadX, y + kPadY, b.label, kSmall));
      double ly = y + kPadY + LineHeight(kSmall);
      for (const std::string& l : valueLines(b.value, b.w)) {
        title_.push_back(TextOp(b.x + kPadX, ly, l, kBody));
        ly += LineHeight(kBody);
      }
    }
  };
  const double titleW = W * 0.40, nameW = W * 0.36, stageW = W - titleW - nameW;
  const std::vector<Box> row1{{x0 + titleW, nameW, "项目名称", t.project},
                              {x0 + titleW + nameW, stageW, "项目阶段", t.stage}};
  const std::vector<Box> row2{{x0 + titleW, nameW, "设备名称", t.item},
                              {x0 + titleW + nameW, stageW, "设备位号", t.tag}};
  const double widths[] = {0.27, 0.15, 0.10, 0.16, 0.16, 0.16};
  std::vector<Box> row3;
  const char* labels[] = {"文件", "日期", "版次", "编制", "校核", "审核"};
  const std::string values[] = {t.file, t.date, t.revision, "", "", ""};
  double x = x0;
  for (int i = 0; i < 6; ++i) {
    const double w = i == 5 ? x0 + W - x : W * widths[i];
    row3.push_back({x, w, labels[i], values[i]});
    x += w;
  }
  const double h1 = rowHeight(row1), h2 = rowHeight(row2);
  // The signature boxes leave room to sign.
  const double h3 = std::max(rowHeight(row3), 2 * kPadY + LineHeight(kSmall) + 2 * LineHeight(kBody));
  drawRow(row1, y0, h1);
  drawRow(row2, y0 + h1, h2);
  drawRow(row3, y0 + h1 + h2, h3);

  // The title cell over the first two rows, its texts centred.
  Op r;
  r.kind = Op::Kind::Rect;
  r.x = x0;
  r.y = y0;
  r.w = titleW;
  r.h = h1 + h2;
  r.pen = kGrid;
  title_.push_back(r);
  const TextStyle big{"宋体", 15, true, colors::Black};
  const TextStyle sub{"宋体", 8, false, colors::Black};
  std::vector<std::string> subLines = Wrap(t.subtitle, sub, titleW - 2 * kPadX, measure_);
  if (subLines.size() > 2) subLines.resize(2);
  const double textH = LineHeight(big) + static_cast<double>(subLines.size()) * LineHeight(sub);
  double ty = y0 + std::max(kPadY, (h1 + h2 - textH) / 2);
  title_.push_back(TextOp(x0 + titleW / 2, ty, t.title, big, HAlign::Center));
  ty += LineHeight(big);
  for (const std::string& l : subLines) {
    title_.push_back(TextOp(x0 + titleW / 2, ty, l, sub, HAlign::Center));
    ty += LineHeight(sub);
  }
  bodyTop_ = y0 + h1 + h2 + h3 + 10;
}

void SheetLayout::NewPage() {
  pages_.emplace_back(title_);
  y_ = bodyTop_;
}

void SheetLayout::Heading(const std::string& text, double size, double keep) {
  const TextStyle style{"宋体", size, true, colors::Black};
  heading_ = text;
  const std::vector<std::string> lines = Wrap(text, style, contentWidth_, measure_);
  const double gap = size >= 12 ? 6 : 3;
  const double h = gap + static_cast<double>(lines.size()) * LineHeight(style) + 2;
  // Kept with the first row of what follows.
  if (y_ > bodyTop_ && h + keep > Room()) NewPage();
  y_ += y_ > bodyTop_ ? gap : 0;
  for (const std::string& l : lines) {
    pages_.back().push_back(TextOp(page_.left, y_, l, style));
    y_ += LineHeight(style);
  }
  y_ += 2;
}

void SheetLayout::Paragraph(const std::string& text) {
  y_ += 2;
  for (const std::string& l : Wrap(text, kBody, contentWidth_, measure_)) {
    if (LineHeight(kBody) > Room() && y_ > bodyTop_) NewPage();
    pages_.back().push_back(TextOp(page_.left, y_, l, kBody));
    y_ += LineHeight(kBody);
  }
  y_ += 4;
}

std::vector<SheetLayout::Cell> SheetLayout::RowCells(const SheetTable& t, const SheetRow& row,
                                                     const std::vector<double>& widths, bool header) const {
  std::vector<Cell> cells;
  for (size_t i = 0; i < widths.size(); ++i) {
    Cell c;
    c.width = widths[i];
    if (i > 0 && row.span == static_cast<int>(i) - 1) {
      c.width = 0;
      cells.push_back(std::move(c));
      continue;
    }
    if (row.span == static_cast<int>(i) && i + 1 < widths.size()) c.width += widths[i + 1];
    c.style = !header && t.columns[i].numeric ? kNumber : kBody;
    c.style.bold = header || row.bold || (row.shaded && row.boldCell == static_cast<int>(i));
    c.style.color = header ? colors::Black : row.color;
    const std::string text = i < row.cells.size() ? row.cells[i] : std::string();
    c.lines = Wrap(text, c.style, c.width - 2 * kPadX, measure_);
    cells.push_back(std::move(c));
  }
  return cells;
}

double SheetLayout::FirstUnit(const SheetBlock& b) const {
  if (b.kind == SheetBlock::Kind::Text) return 2 + 2 * LineHeight(kBody);
  if (b.kind != SheetBlock::Kind::Table || b.table.rows.empty()) return LineHeight(kBody) * 2;
  // A header and one row of one line each is enough to keep a heading with.
  return (b.table.header ? 2 : 1) * (LineHeight(kBody) + 2 * kPadY) + 4;
}

void SheetLayout::DrawRow(const SheetRow& row, const std::vector<Cell>& cells, size_t from, size_t to, double height,
                          bool header) {
  double x = page_.left;
  for (size_t i = 0; i < cells.size(); ++i) {
    if (cells[i].width <= 0) continue;
    Op r;
    r.kind = Op::Kind::Rect;
    r.x = x;
    r.y = y_;
    r.w = cells[i].width;
    r.h = height;
    r.pen = kGrid;
    r.filled = header || row.shaded || row.fill.has_value();
    r.fill = header ? kHeaderFill : row.fill ? *row.fill : kResultFill;
    pages_.back().push_back(r);
    double ly = y_ + kPadY;
    for (size_t k = from; k < std::min(to, cells[i].lines.size()); ++k) {
      pages_.back().push_back(TextOp(x + kPadX, ly, cells[i].lines[k], cells[i].style));
      ly += LineHeight(cells[i].style);
    }
    x += cells[i].width;
  }
  y_ += height;
}

void SheetLayout::Table(const SheetTable& t) {
  if (t.columns.empty()) return;
  const double total = std::accumulate(t.columns.begin(), t.columns.end(), 0.0,
                                       [](double s, const SheetColumn& c) { return s + std::max(c.width, 0.0); });
  std::vector<double> widths;
  for (const SheetColumn& c : t.columns)
    widths.push_back(total > 0 ? contentWidth_ * std::max(c.width, 0.0) / total : contentWidth_ / t.columns.size());
  SheetRow headerRow;
  for (const SheetColumn& c : t.columns) headerRow.cells.push_back(c.header);
  const std::vector<Cell> headerCells = RowCells(t, headerRow, widths, true);
  auto linesOf = [](const std::vector<Cell>& cells) {
    size_t n = 1;
    for (const Cell& c : cells) n = std::max(n, c.lines.size());
    return n;
  };
  const double lh = LineHeight(kBody);
  const double headerH = static_cast<double>(linesOf(headerCells)) * lh + 2 * kPadY;
  auto header = [&] {
    if (t.header) DrawRow(headerRow, headerCells, 0, linesOf(headerCells), headerH, true);
  };
  // On a new page the table goes on under its heading marked as continued.
  const TextStyle continued{"宋体", 9, true, colors::Black};
  auto nextPage = [&] {
    NewPage();
    if (!heading_.empty()) {
      pages_.back().push_back(TextOp(page_.left, y_, heading_ + "（续）", continued));
      y_ += LineHeight(continued) + 2;
    }
    header();
  };
  const double continuedH = heading_.empty() ? 0 : LineHeight(continued) + 2;
  // Lines of one row that a page holds under the title block and the table's header.
  const size_t freshLines =
      static_cast<size_t>(std::max(1.0, std::floor((bodyBottom_ - bodyTop_ - continuedH - headerH - 2 * kPadY) / lh)));
  y_ += 2;
  if (Room() < (t.header ? headerH : 0) + lh + 2 * kPadY && y_ > bodyTop_) NewPage();
  header();
  for (const SheetRow& row : t.rows) {
    const std::vector<Cell> cells = RowCells(t, row, widths, false);
    const size_t n = linesOf(cells);
    size_t from = 0;
    // Bounded: every pass places at least one line of the row.
    while (from < n) {
      size_t fit = static_cast<size_t>(std::max(0.0, std::floor((Room() - 2 * kPadY) / lh)));
      const bool freshPage = y_ <= bodyTop_ + continuedH + (t.header ? headerH : 0) + 2.5;
      if (fit == 0 && freshPage) fit = 1;  // a page too short for a line still takes one
      const bool wholeFits = fit >= n - from;
      // A row that fits on a page of its own is not split; a taller one is split by lines.
      if (!wholeFits && (fit == 0 || (!freshPage && n - from <= freshLines))) {
        nextPage();
        continue;
      }
      const size_t to = from + std::min(fit, n - from);
      DrawRow(row, cells, from, to, static_cast<double>(to - from) * lh + 2 * kPadY, false);
      from = to;
    }
  }
  y_ += 4;
}

void SheetLayout::Chart(const std::string& heading) {
  NewPage();
  Heading(heading, 12, 0);
  Op op;
  op.kind = Op::Kind::Chart;
  op.x = page_.left;
  op.y = y_ + 4;
  op.w = contentWidth_;
  op.h = std::min(contentWidth_ * 0.75, bodyBottom_ - op.y);
  pages_.back().push_back(op);
}

void SheetLayout::Footers() {
  const int count = PageCount();
  const double y = page_.height - page_.bottom - LineHeight(kFooter);
  for (int i = 0; i < count; ++i) {
    Op rule;
    rule.kind = Op::Kind::Line;
    rule.x = page_.left;
    rule.y = y - 3;
    rule.w = contentWidth_;
    rule.pen = kGrid;
    pages_[static_cast<size_t>(i)].push_back(rule);
    pages_[static_cast<size_t>(i)].push_back(TextOp(page_.left, y, TFormPelmora::kTitle, kFooter));
    pages_[static_cast<size_t>(i)].push_back(
        TextOp(page_.left + contentWidth_, y, "第 " + std::to_string(i + 1) + " 页 共 " + std::to_string(count) + " 页",
               kFooter, HAlign::Right));
  }
}

namespace {

// A canvas drawing into a rectangle of another one (the chart's place on its page).
class OffsetCanvas : public chart::Canvas {
 public:
  OffsetCanvas(chart::Canvas& inner, double x, double y, double w, double h) : c_(inner), x_(x), y_(y), w_(w), h_(h) {}
  double Width() const override { return w_; }
  double Height() const override { return h_; }
  void Clear(Color background) override {
    c_.SetPen(background, 0.1);
    c_.Rectangle(x_, y_, w_, h_, true, background);
  }
  void SetPen(Color color, double width) override { c_.SetPen(color, width); }
  void Line(double x1, double y1, double x2, double y2) override { c_.Line(x1 + x_, y1 + y_, x2 + x_, y2 + y_); }
  void Rectangle(double x, double y, double w, double h, bool filled, Color fill) override {
    c_.Rectangle(x + x_, y + y_, w, h, filled, fill);
  }
  void Ellipse(double cx, double cy, double rx, double ry, bool filled, Color fill) override {
    c_.Ellipse(cx + x_, cy + y_, rx, ry, filled, fill);
  }
  void Text(double x, double y, const std::string& utf8, const TextStyle& style, HAlign h, chart::VAlign v) override {
    c_.Text(x + x_, y + y_, utf8, style, h, v);
  }
  double TextWidth(const std::string& utf8, const TextStyle& style) const override { return c_.TextWidth(utf8, style); }
  double TextHeight(const TextStyle& style) const override { return c_.TextHeight(style); }

 private:
  chart::Canvas& c_;
  double x_, y_, w_, h_;
};

}  // namespace

void SheetLayout::DrawPage(int index, chart::Canvas& canvas, const std::function<void(chart::Canvas&)>& chart) const {
  if (index < 0 || index >= PageCount()) return;
  for (const Op& op : pages_[static_cast<size_t>(index)]) {
    switch (op.kind) {
      case Op::Kind::Text: canvas.Text(op.x, op.y, op.text, op.style, op.align, chart::VAlign::Top); break;
      case Op::Kind::Rect:
        canvas.SetPen(op.pen, op.penWidth);
        canvas.Rectangle(op.x, op.y, op.w, op.h, op.filled, op.fill);
        break;
      case Op::Kind::Line:
        canvas.SetPen(op.pen, op.penWidth);
        canvas.Line(op.x, op.y, op.x + op.w, op.y + op.h);
        break;
      case Op::Kind::Chart:
        if (chart) {
          OffsetCanvas area(canvas, op.x, op.y, op.w, op.h);
          chart(area);
        }
        break;
    }
  }
}

}  // namespace pelmora

#pragma once
// The calculation sheet on A4 pages: a title block at the top of every page, "第 x 页
// 共 y 页" at the foot, headings kept with what follows them, ruled tables whose texts
// wrap inside their cells (a table that runs on repeats its header), and the curve on
// a page of its own. Everything stays inside the margins. The layout measures text with
// the canvas it will draw on (cairo for the PDF, Qt for the printer), so that each
// keeps to its own font metrics; units are points.
#include <functional>
#include <string>
#include <vector>

#include "chart/Canvas.h"
#include "report/CalcSheet.h"

namespace pelmora {

struct SheetPageSize {
  double width = 595.276;  // A4, points
  double height = 841.89;
  // The printed report's margins: 1.0 inch left and right, 0.7 inch top and bottom.
  double left = 72, right = 72, top = 50.4, bottom = 50.4;
};

class SheetLayout {
 public:
  SheetLayout(const CalcSheet& sheet, const chart::Canvas& measure, SheetPageSize page = {});

  int PageCount() const { return static_cast<int>(pages_.size()); }
  // Draws page `index` (from 0) on a canvas of the page's size in points; `chart` draws
  // the curve into the canvas it is given (its own width and height).
  void DrawPage(int index, chart::Canvas& canvas, const std::function<void(chart::Canvas&)>& chart) const;

  // The lines of a text no wider than `width`: breaks after blanks and around Chinese
  // characters, inside a word only when the word alone is wider; line breaks kept.
  static std::vector<std::string> Wrap(const std::string& text, const chart::TextStyle& style, double width,
                                       const chart::Canvas& measure);

 private:
  struct Op {
    enum class Kind { Text, Rect, Line, Chart } kind = Kind::Text;
    double x = 0, y = 0, w = 0, h = 0;
    std::string text;
    chart::TextStyle style;
    chart::HAlign align = chart::HAlign::Left;
    bool filled = false;
    Color fill = colors::White;
    Color pen = colors::Black;
    double penWidth = 0.5;
  };
  struct Cell {
    std::vector<std::string> lines;
    chart::TextStyle style;
    double width = 0;  // 0: a cell covered by the one before it
  };

  void TitleBlock(const SheetTitle& title);
  void NewPage();
  double Room() const { return bodyBottom_ - y_; }
  void Heading(const std::string& text, double size, double keep);
  void Paragraph(const std::string& text);
  void Table(const SheetTable& table);
  // The first row of a block (what a heading must be kept with), in points.
  double FirstUnit(const SheetBlock& block) const;
  std::vector<Cell> RowCells(const SheetTable& t, const SheetRow& row, const std::vector<double>& widths,
                             bool header) const;
  void DrawRow(const SheetRow& row, const std::vector<Cell>& cells, size_t from, size_t to, double height, bool header);
  void Chart(const std::string& heading);
  void Footers();
  static double LineHeight(const chart::TextStyle& s) { return s.pixelSize * 1.3; }
  Op TextOp(double x, double y, const std::string& text, const chart::TextStyle& style,
            chart::HAlign align = chart::HAlign::Left) const;

  std::string heading_;  // the latest heading, repeated over a table that runs on
  const chart::Canvas& measure_;
  SheetPageSize page_;
  double contentWidth_ = 0;
  std::vector<Op> title_;  // drawn on every page
  double bodyTop_ = 0, bodyBottom_ = 0, y_ = 0;
  std::vector<std::vector<Op>> pages_;
};

}  // namespace pelmora

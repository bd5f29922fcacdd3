#pragma once
// The calculation sheet (计算书): the document an engineer files with a design, built
// from the fields of the window (never from the edited report text). It holds a title
// block, the design summary, the resistance breakdown of the overall coefficient, the
// design checks, the second opinion when there is one, ruled tables of every group of
// the window with inputs and results told apart, and a page for the time–temperature
// curve. This is the content only; SheetLayout puts it on pages.
#include <optional>
#include <string>
#include <vector>

#include "calc/Checks.h"
#include "fields/Catalogue.h"

namespace pelmora {

// A row of the second opinion ("方法校核"): a quantity the program computed, the same
// quantity from an independent method, and how far apart they lie.
struct MethodCheckRow {
  std::string field;                        // the value field, e.g. "kiD" (caption and unit as the window shows)
  std::optional<double> value;              // this program's value, SI
  std::optional<double> independent;        // the independent estimate, SI; empty where the method does not apply
  std::string method;                       // e.g. "Gnielinski（Petukhov 摩擦系数）"
  std::string source;                       // book, edition, equation
  std::optional<double> deviation;          // independent / value − 1
  std::optional<DesignCheck::Level> level;  // none where the two agree or there is no number
  std::string note;                         // said where a number cannot be given
};

struct SheetColumn {
  std::string header;
  double width = 1;      // share of the table's width (the shares are normalised)
  bool numeric = false;  // set in the face for numbers, units and formulas (Times New Roman)
};

struct SheetRow {
  std::vector<std::string> cells;
  bool shaded = false;  // a computed result: shaded, its value cell bold
  int boldCell = -1;    // the cell set bold in a shaded row
  bool bold = false;    // every cell bold (a total)
  int span = -1;        // a cell that also takes the next column's width (whose text is dropped)
  Color color = colors::Black;
  std::optional<Color> fill;  // a fill of its own (a banner)
};

struct SheetTable {
  std::vector<SheetColumn> columns;
  std::vector<SheetRow> rows;
  bool header = true;  // the first line names the columns (repeated on every page)
};

struct SheetBlock {
  enum class Kind { Heading, Subheading, Text, Table };
  Kind kind = Kind::Text;
  std::string text;
  SheetTable table;
};

struct SheetTitle {
  std::string title = "盘管传热计算书";
  std::string subtitle;                   // vessel, operating mode, convection
  std::string project, stage, item, tag;  // 项目信息
  std::string file, date, revision;
};

struct CalcSheet {
  SheetTitle title;
  std::vector<SheetBlock> blocks;
  // The time–temperature curve on a page of its own, under this heading; empty: none.
  std::string chartHeading;
};

// What the sheet takes besides the fields.
struct SheetSources {
  std::vector<DesignCheck> checks;           // of the last completed run
  std::vector<MethodCheckRow> methodChecks;  // the second opinion, when computed
  std::string recommendedMargin;             // its conclusion in words, when given
  bool curve = false;                        // a time–temperature curve is stored
  std::string date;                          // "2024-05-01"
};

CalcSheet BuildCalcSheet(const TFormPelmora& form, const SheetSources& sources);

// A value field as the sheet lists it; nothing for a disabled or hidden field.
struct SheetValue {
  std::string caption, value, unit, source;
  bool result = false;
};
std::optional<SheetValue> SheetValueOf(const TFormPelmora& form, const EditD& field);

// Where a field's value comes from, as the window's colour legend says it in words:
// "输入", "管程热平衡求解", "容器热平衡求解", "总热平衡求解", "容器几何求解" or "计算结果".
std::string FieldSource(const EditD& field);

// The order of the checks on the sheet: the most severe level first, the order of the
// run within a level.
std::vector<DesignCheck> ChecksBySeverity(std::vector<DesignCheck> checks);

}  // namespace pelmora

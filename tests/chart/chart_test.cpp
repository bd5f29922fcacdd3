// The chart engine on a recording canvas and on the SVG canvas: data-to-canvas mapping
// over the plot area, axis divisions and their labels, markers, the legend box at its
// anchor, the title, and charts with degenerate input that must still draw.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "chart/Chart.h"
#include "chart/Fonts.h"
#include "chart/SvgCanvas.h"

namespace pelmora::chart {
namespace {

// Records what was drawn.
struct Recorder : Canvas {
  struct Op {
    char kind;  // L line, R rectangle, E ellipse, T text
    double a, b, c, d;
    Color pen;
    std::string text;
  };
  std::vector<Op> ops;
  Color pen = 0;
  Color background = -1;
  double Width() const override { return 600; }
  double Height() const override { return 400; }
  void Clear(Color bg) override { background = bg; }
  void SetPen(Color c, double) override { pen = c; }
  void Line(double x1, double y1, double x2, double y2) override { ops.push_back({'L', x1, y1, x2, y2, pen, ""}); }
  void Rectangle(double x, double y, double w, double h, bool, Color) override {
    ops.push_back({'R', x, y, w, h, pen, ""});
  }
  void Ellipse(double cx, double cy, double rx, double ry, bool, Color) override {
    ops.push_back({'E', cx, cy, rx, ry, pen, ""});
  }
  void Text(double x, double y, const std::string& t, const TextStyle& s, HAlign, VAlign) override {
    ops.push_back({'T', x, y, 0, 0, s.color, t});
  }
  double TextWidth(const std::string& t, const TextStyle& s) const override {
    return static_cast<double>(t.size()) * s.pixelSize / 2;
  }
  int Count(char kind) const {
    int n = 0;
    for (const auto& o : ops) n += o.kind == kind;
    return n;
  }
  bool HasText(const std::string& t) const {
    for (const auto& o : ops)
      if (o.kind == 'T' && o.text == t) return true;
    return false;
  }
};

TEST(AxisLabels, DecimalsFollowTheStep) {
  EXPECT_EQ(AxisLabel(1440, 720), "1440");
  EXPECT_EQ(AxisLabel(80.5, 0.5), "80.5");
  EXPECT_EQ(AxisLabel(27.37, 7.37), "27.37");
  EXPECT_EQ(AxisLabel(20 + 7.371234 * 3, 7.371234), "42.11");  // at most two digits beyond the step
  EXPECT_EQ(AxisLabel(-1e-17, 0.1), "0.0");
  EXPECT_EQ(AxisLabel(0.003, 0.001), "0.003");
}

TEST(Chart, DataPointsMapOntoThePlotArea) {
  Recorder r;
  Chart c;
  c.Begin(&r, colors::White);
  EXPECT_EQ(r.background, colors::White);
  c.SetLayout(0.1, 0.95, 0.1, 0.85, {10, 10, 10, 10});
  c.XAxis("Times / S", 0, 3600, 360, 72);
  c.YAxis("Temperature / ℃", 20, 80, 6, 1.2);
  Point lo = c.ToCanvas(0, 20), hi = c.ToCanvas(3600, 80), mid = c.ToCanvas(1800, 50);
  EXPECT_DOUBLE_EQ(lo.x, 60);
  EXPECT_DOUBLE_EQ(lo.y, 340);
  EXPECT_DOUBLE_EQ(hi.x, 570);
  EXPECT_DOUBLE_EQ(hi.y, 40);
  EXPECT_DOUBLE_EQ(mid.x, 315);
  EXPECT_DOUBLE_EQ(mid.y, 190);
  // Eleven labels per axis, captions drawn.
  for (const char* t : {"0", "360", "1800", "3600", "20", "26", "50", "80", "Times / S", "Temperature / ℃"})
    EXPECT_TRUE(r.HasText(t)) << t;
  EXPECT_FALSE(r.HasText("3960"));
  c.End();
}

TEST(Chart, SeriesMarkersLegendAndTitle) {
  Recorder r;
  Chart c;
  c.Begin(&r, colors::White);
  c.XAxis("x", 0, 10, 1, 0.2);
  c.YAxis("y", 0, 10, 1, 0.2);
  const size_t before = r.ops.size();
  c.SetPen(colors::Red, 1);
  c.MoveTo(0, 0);
  for (int i = 1; i <= 10; ++i) {
    c.LineTo(i, i);
    c.Marker(1, 6);
  }
  c.AddLegend("-管程出口温度");
  c.SetPen(colors::Blue, 1);
  c.MoveTo(0, 10);
  for (int i = 1; i <= 10; ++i) {
    c.LineTo(i, 10 - i);
    c.Marker(2, 6);
  }
  c.AddLegend("-槽罐温度");
  std::vector<Recorder::Op> series(r.ops.begin() + static_cast<long>(before), r.ops.end());
  int redLines = 0, circles = 0, squares = 0;
  for (const auto& o : series) {
    if (o.kind == 'L' && o.pen == colors::Red) ++redLines;
    if (o.kind == 'E' && o.pen == colors::Red) ++circles;
    if (o.kind == 'R' && o.pen == colors::Blue) ++squares;
  }
  EXPECT_EQ(redLines, 10);
  EXPECT_EQ(circles, 10);
  EXPECT_EQ(squares, 10);
  // The last red segment ends at (10, 10), the top right of the plot.
  Point p = c.ToCanvas(10, 10);
  bool found = false;
  for (const auto& o : series)
    if (o.kind == 'L' && o.pen == colors::Red && o.c == p.x && o.d == p.y) found = true;
  EXPECT_TRUE(found);

  // The legend box hangs from its anchor by the given edges.
  const size_t legendStart = r.ops.size();
  c.DrawLegend(500, 300, HAlign::Right, VAlign::Bottom);
  ASSERT_GT(r.ops.size(), legendStart);
  const auto& box = r.ops[legendStart];
  ASSERT_EQ(box.kind, 'R');
  EXPECT_DOUBLE_EQ(box.a + box.c, 500);
  EXPECT_DOUBLE_EQ(box.b + box.d, 300);
  EXPECT_TRUE(r.HasText("-管程出口温度"));
  EXPECT_TRUE(r.HasText("-槽罐温度"));
  c.DrawLegend(100, 200, HAlign::Left, VAlign::Middle);
  const auto& box2 = r.ops[r.ops.size() - 7];  // box, then per entry a line, a marker and a text
  ASSERT_EQ(box2.kind, 'R');
  EXPECT_DOUBLE_EQ(box2.a, 100);
  EXPECT_DOUBLE_EQ(box2.b + box2.d / 2, 200);

  c.Title("时间—温度曲线", colors::Red);
  EXPECT_EQ(r.ops.back().text, "时间—温度曲线");
  EXPECT_EQ(r.ops.back().pen, colors::Red);
  c.End();
}

TEST(Chart, DegenerateRangesStillDraw) {
  SvgCanvas svg(600, 400);
  Chart c;
  c.Begin(&svg, colors::White);
  c.XAxis("x", 5, 5, 0, 0);      // empty range
  c.YAxis("y", 80, 20, 6, 1.2);  // reversed
  EXPECT_LT(c.X().min, 5);
  EXPECT_GT(c.X().max, 5);
  EXPECT_EQ(c.Y().min, 20);
  EXPECT_EQ(c.Y().max, 80);
  c.XAxis("x", 0, 1, 1e-12, 1e-15);  // steps far too fine: the axis keeps a readable division
  EXPECT_DOUBLE_EQ(c.X().major, 0.1);
  c.SetPen(colors::Red, 1);
  c.MoveTo(5, 50);
  c.LineTo(5, 50);
  c.Marker(7, 6);
  c.End();
  const std::string s = svg.Svg();
  EXPECT_EQ(s.find("nan"), std::string::npos);
  EXPECT_EQ(s.find("inf"), std::string::npos);
}

TEST(SvgCanvas, WritesAWellFormedDocument) {
  SvgCanvas svg(300, 200);
  svg.Clear(colors::White);
  svg.SetPen(colors::Blue, 1);
  svg.Line(0, 0, 10.5, 20);
  svg.Text(5, 5, "a<b & \"c\"", TextStyle{}, HAlign::Center, VAlign::Top);
  const std::string s = svg.Svg();
  EXPECT_EQ(s.rfind("<?xml", 0), 0u);
  EXPECT_NE(s.find("width=\"300\" height=\"200\""), std::string::npos);
  EXPECT_NE(s.find("<line x1=\"0\" y1=\"0\" x2=\"10.5\" y2=\"20\" stroke=\"#0000ff\""), std::string::npos);
  EXPECT_NE(s.find("a&lt;b &amp; &quot;c&quot;"), std::string::npos);
  EXPECT_NE(s.find("text-anchor=\"middle\""), std::string::npos);
  EXPECT_EQ(s.substr(s.size() - 7), "</svg>\n");
  EXPECT_EQ(CssColor(RGBColor(255, 128, 1)), "#ff8001");
  EXPECT_EQ(CssColor(colors::Window), "#ffffff");
  // A Chinese character counts as one em, a Latin letter as about half.
  TextStyle st;
  st.pixelSize = 10;
  EXPECT_DOUBLE_EQ(svg.TextWidth("温度", st), 20);
  EXPECT_DOUBLE_EQ(svg.TextWidth("ab", st), 11);
}

// An SVG viewer on this desktop has none of the Windows faces: the text of the chart
// names after them the installed faces that draw Chinese, the same the window and the
// PDF use (the Ming face first), so that 温度 and ℃ are never drawn as boxes.
TEST(SvgCanvas, ChineseTextNamesTheInstalledFacesAfterTheWindowsNames) {
  SvgCanvas svg(300, 200);
  svg.Text(5, 5, "温度", TextStyle{"宋体", 12, false, colors::Black}, HAlign::Left, VAlign::Top);
  svg.Text(5, 30, "25 ℃", TextStyle{"Times New Roman", 12, false, colors::Black}, HAlign::Left, VAlign::Top);
  const std::string s = svg.Svg();
  EXPECT_NE(s.find("font-family=\"宋体, SimSun, AR PL UMing CN, Noto Serif CJK SC, WenQuanYi Micro Hei, serif\""),
            std::string::npos)
      << s;
  EXPECT_NE(s.find("font-family=\"Times New Roman, Liberation Serif, AR PL UMing CN, Noto Serif CJK SC, serif\""),
            std::string::npos)
      << s;
  EXPECT_EQ(FontFallbacks("宋体").front(), "AR PL UMing CN");
  EXPECT_EQ(FontFallbacks("SimSun"), FontFallbacks("宋体"));
}

}  // namespace
}  // namespace pelmora::chart

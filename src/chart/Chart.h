#pragma once
// An x–y line chart on an abstract canvas: a plot area with two axes (caption, range,
// labelled and minor divisions), polylines in data coordinates with point markers,
// a legend box and a title. Usage: Begin, SetLayout, XAxis, YAxis, then per series
// SetPen, MoveTo/LineTo, Marker, AddLegend; DrawLegend, Title, End.
#include <string>
#include <vector>

#include "chart/Canvas.h"

namespace pelmora::chart {

struct Point {
  double x = 0, y = 0;
};

// Gaps in pixels around the plot area.
struct Spacing {
  double tick = 10;     // length of a labelled tick (minor ticks are half)
  double label = 10;    // between the ticks and their numbers
  double caption = 10;  // between the numbers and the axis caption
  double title = 10;    // between the plot and the title
};

struct Axis {
  std::string caption;
  double min = 0, max = 1;
  double major = 0.1, minor = 0.02;
};

class Chart {
 public:
  // Starts a chart on the canvas, filling it with the background colour.
  void Begin(Canvas* canvas, Color background);
  // The plot area as fractions of the canvas width (left, right) and height (top,
  // bottom), and the gaps around it.
  void SetLayout(double left, double right, double top, double bottom, Spacing spacing = {});
  // Draws the horizontal or the vertical axis. A range that is empty or reversed is
  // widened so that the axis can still be drawn; steps that do not fit are adjusted.
  void XAxis(const std::string& caption, double min, double max, double major, double minor);
  void YAxis(const std::string& caption, double min, double max, double major, double minor);

  // Data coordinates to canvas pixels.
  Point ToCanvas(double x, double y) const;
  double CanvasX(double x) const;
  double CanvasY(double y) const;

  void SetPen(Color color, double width);
  void MoveTo(double x, double y);
  void LineTo(double x, double y);
  // A point marker at the current point: type 1 a circle, type 2 a square, other types
  // a cross; `size` is its width in pixels.
  void Marker(int type, double size);
  // A legend entry for the series just drawn (its pen and its last marker).
  void AddLegend(const std::string& text);
  // The legend box anchored at a canvas point; the alignment says which edge (or the
  // middle) of the box lies on the point.
  void DrawLegend(double x, double y, HAlign h, VAlign v);
  void Title(const std::string& text, Color color);
  void End();

  // The plot area in canvas pixels.
  double PlotLeft() const { return left_; }
  double PlotRight() const { return right_; }
  double PlotTop() const { return top_; }
  double PlotBottom() const { return bottom_; }
  const Axis& X() const { return x_; }
  const Axis& Y() const { return y_; }

  TextStyle labelStyle{"Times New Roman", 12, false, colors::Black};
  TextStyle captionStyle{"Times New Roman", 13, false, colors::Black};
  TextStyle legendStyle{"宋体", 12, false, colors::Black};
  TextStyle titleStyle{"宋体", 16, true, colors::Red};

 private:
  struct LegendEntry {
    Color color;
    double width;
    int marker;
    std::string text;
  };
  static Axis Normalised(const std::string& caption, double min, double max, double major, double minor);
  void Frame();

  Canvas* canvas_ = nullptr;
  Spacing spacing_;
  double left_ = 0, right_ = 1, top_ = 0, bottom_ = 1;
  Axis x_, y_;
  Color pen_ = colors::Black;
  double penWidth_ = 1;
  Point current_;
  int lastMarker_ = 0;
  double lastMarkerSize_ = 6;
  std::vector<LegendEntry> legend_;
};

// Digits after the decimal point that make labels at multiples of `step` distinct.
int LabelDecimals(double step);
// The label of an axis value.
std::string AxisLabel(double value, double step);

}  // namespace pelmora::chart

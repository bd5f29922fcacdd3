#pragma once
// The drawing surface a chart is painted on. The chart engine draws only through this
// interface; the SVG canvas (core) and the Qt canvas (desktop view) implement it.
// Coordinates are canvas pixels, origin top left, y downwards.
#include <string>

#include "fields/Color.h"

namespace pelmora::chart {

enum class HAlign { Left, Center, Right };
enum class VAlign { Top, Middle, Bottom };

struct TextStyle {
  std::string fontName = "宋体";
  double pixelSize = 12;
  bool bold = false;
  Color color = colors::Black;
};

class Canvas {
 public:
  virtual ~Canvas() = default;
  virtual double Width() const = 0;
  virtual double Height() const = 0;
  // Fills the whole surface.
  virtual void Clear(Color background) = 0;
  virtual void SetPen(Color color, double width) = 0;
  virtual void Line(double x1, double y1, double x2, double y2) = 0;
  // Outline in the pen, optionally filled with `fill`.
  virtual void Rectangle(double x, double y, double w, double h, bool filled, Color fill) = 0;
  virtual void Ellipse(double cx, double cy, double rx, double ry, bool filled, Color fill) = 0;
  // Text anchored at (x, y) with the given alignment.
  virtual void Text(double x, double y, const std::string& utf8, const TextStyle& style, HAlign h, VAlign v) = 0;
  virtual double TextWidth(const std::string& utf8, const TextStyle& style) const = 0;
  virtual double TextHeight(const TextStyle& style) const { return style.pixelSize * 1.2; }
};

}  // namespace pelmora::chart

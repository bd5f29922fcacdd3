#pragma once
// A canvas that records the drawing as an SVG document (the command line's chart
// output, and tests that look at what was drawn).
#include <string>

#include "chart/Canvas.h"

namespace pelmora::chart {

class SvgCanvas : public Canvas {
 public:
  SvgCanvas(double width, double height) : width_(width), height_(height) {}
  double Width() const override { return width_; }
  double Height() const override { return height_; }
  void Clear(Color background) override;
  void SetPen(Color color, double width) override;
  void Line(double x1, double y1, double x2, double y2) override;
  void Rectangle(double x, double y, double w, double h, bool filled, Color fill) override;
  void Ellipse(double cx, double cy, double rx, double ry, bool filled, Color fill) override;
  void Text(double x, double y, const std::string& utf8, const TextStyle& style, HAlign h, VAlign v) override;
  double TextWidth(const std::string& utf8, const TextStyle& style) const override;

  // The complete document.
  std::string Svg() const;
  // The drawing elements only.
  const std::string& Body() const { return body_; }
  // Plain texts drawn, in order (for tests).
  const std::string& Texts() const { return texts_; }

 private:
  std::string Stroke() const;
  double width_, height_;
  std::string body_;
  std::string texts_;
  Color pen_ = colors::Black;
  double penWidth_ = 1;
};

// "#rrggbb" of a colour.
std::string CssColor(Color c);
// Text with &, <, > and quotes escaped for XML.
std::string XmlEscape(const std::string& s);

}  // namespace pelmora::chart

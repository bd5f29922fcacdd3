#pragma once
// A chart canvas on a cairo context (vector output such as PDF), with text set by
// pango. Coordinates are cairo user units (points on a PDF page).
#include <string>

#include "chart/Canvas.h"

typedef struct _cairo cairo_t;

namespace pelmora {

// The installed face for a font name of the window ("宋体" has none of its own). Faces
// whose PDF text maps back to Unicode completely come first.
std::string PangoFamily(const std::string& name);

class CairoCanvas : public chart::Canvas {
 public:
  CairoCanvas(cairo_t* cr, double width, double height) : cr_(cr), width_(width), height_(height) {}
  double Width() const override { return width_; }
  double Height() const override { return height_; }
  void Clear(Color background) override;
  void SetPen(Color color, double width) override;
  void Line(double x1, double y1, double x2, double y2) override;
  void Rectangle(double x, double y, double w, double h, bool filled, Color fill) override;
  void Ellipse(double cx, double cy, double rx, double ry, bool filled, Color fill) override;
  void Text(double x, double y, const std::string& utf8, const chart::TextStyle& style, chart::HAlign h,
            chart::VAlign v) override;
  double TextWidth(const std::string& utf8, const chart::TextStyle& style) const override;

 private:
  void Stroke();
  cairo_t* cr_;
  double width_, height_;
  Color pen_ = colors::Black;
  double penWidth_ = 1;
};

}  // namespace pelmora

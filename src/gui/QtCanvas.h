#pragma once
// The chart surface on a QPainter (the paint box of the report page).
#include <QPainter>

#include "chart/Canvas.h"

namespace pelmora::gui {

QColor ToQColor(Color c);

class QtCanvas : public chart::Canvas {
 public:
  QtCanvas(QPainter& painter, double width, double height);
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
  double TextHeight(const chart::TextStyle& style) const override;
  // Whether a chart began on it (its background was cleared).
  bool Used() const { return used_; }

 private:
  bool used_ = false;
  QPainter& p_;
  double width_, height_;
};

}  // namespace pelmora::gui

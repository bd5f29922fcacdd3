#include "gui/QtCanvas.h"

#include <QFontMetricsF>

namespace pelmora::gui {

QColor ToQColor(Color c) {
  Rgb rgb = ToRgb(c);
  return QColor(rgb.r, rgb.g, rgb.b);
}

namespace {
QFont FontOf(const chart::TextStyle& s) {
  QFont f(QString::fromStdString(s.fontName));
  f.setPixelSize(std::max(1, static_cast<int>(s.pixelSize + 0.5)));
  f.setBold(s.bold);
  return f;
}
}  // namespace

QtCanvas::QtCanvas(QPainter& painter, double width, double height) : p_(painter), width_(width), height_(height) {
  p_.setRenderHint(QPainter::Antialiasing, true);
  p_.setRenderHint(QPainter::TextAntialiasing, true);
}

void QtCanvas::Clear(Color background) {
  used_ = true;
  p_.fillRect(QRectF(0, 0, width_, height_), ToQColor(background));
}

void QtCanvas::SetPen(Color color, double width) {
  QPen pen(ToQColor(color));
  pen.setWidthF(width);
  p_.setPen(pen);
}

void QtCanvas::Line(double x1, double y1, double x2, double y2) { p_.drawLine(QPointF(x1, y1), QPointF(x2, y2)); }

void QtCanvas::Rectangle(double x, double y, double w, double h, bool filled, Color fill) {
  p_.setBrush(filled ? QBrush(ToQColor(fill)) : Qt::NoBrush);
  p_.drawRect(QRectF(x, y, w, h));
  p_.setBrush(Qt::NoBrush);
}

void QtCanvas::Ellipse(double cx, double cy, double rx, double ry, bool filled, Color fill) {
  p_.setBrush(filled ? QBrush(ToQColor(fill)) : Qt::NoBrush);
  p_.drawEllipse(QPointF(cx, cy), rx, ry);
  p_.setBrush(Qt::NoBrush);
}

void QtCanvas::Text(double x, double y, const std::string& utf8, const chart::TextStyle& style, chart::HAlign h,
                    chart::VAlign v) {
  QString s = QString::fromStdString(utf8);
  QFont f = FontOf(style);
  QFontMetricsF fm(f);
  double w = fm.horizontalAdvance(s);
  double left = x;
  if (h == chart::HAlign::Center) left -= w / 2;
  if (h == chart::HAlign::Right) left -= w;
  double base = y + fm.ascent();
  if (v == chart::VAlign::Middle) base = y + (fm.ascent() - fm.descent()) / 2;
  if (v == chart::VAlign::Bottom) base = y - fm.descent();
  QPen old = p_.pen();
  p_.setFont(f);
  p_.setPen(ToQColor(style.color));
  p_.drawText(QPointF(left, base), s);
  p_.setPen(old);
}

double QtCanvas::TextWidth(const std::string& utf8, const chart::TextStyle& style) const {
  return QFontMetricsF(FontOf(style)).horizontalAdvance(QString::fromStdString(utf8));
}

double QtCanvas::TextHeight(const chart::TextStyle& style) const { return QFontMetricsF(FontOf(style)).height(); }

}  // namespace pelmora::gui

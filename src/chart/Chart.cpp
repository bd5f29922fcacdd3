#include "chart/Chart.h"

#include <algorithm>
#include <cmath>

#include "fields/NumberFormat.h"

namespace pelmora::chart {

namespace {
constexpr int kMaxDivisions = 1000;  // labelled divisions per axis
constexpr int kMaxMinor = 5000;      // minor divisions per axis
constexpr Color kGrid = RGBColor(220, 220, 220);
}  // namespace

int LabelDecimals(double step) {
  if (!(step > 0) || !std::isfinite(step)) return 0;
  const int least = std::max(0, static_cast<int>(std::ceil(-std::log10(step) - 1e-12)));
  int d = least;
  while (d < least + 2 && d < 8) {
    const double scaled = step * std::pow(10.0, d);
    if (std::fabs(scaled - std::round(scaled)) <= 1e-6 * scaled) break;
    ++d;
  }
  return d;
}

std::string AxisLabel(double value, double step) {
  if (std::fabs(value) < std::fabs(step) * 1e-9) value = 0;  // no "-0.0"
  return FormatFixed(value, LabelDecimals(step));
}

Axis Chart::Normalised(const std::string& caption, double min, double max, double major, double minor) {
  Axis a;
  a.caption = caption;
  if (!std::isfinite(min)) min = 0;
  if (!std::isfinite(max)) max = min + 1;
  if (max < min) std::swap(min, max);
  if (max == min) {
    const double pad = std::max(std::fabs(min) * 0.05, 1.0);
    min -= pad;
    max += pad;
  }
  const double range = max - min;
  if (!(major > 0) || !std::isfinite(major) || range / major > kMaxDivisions) major = range / 10;
  if (!(minor > 0) || !std::isfinite(minor) || minor > major || range / minor > kMaxMinor) minor = major / 5;
  a.min = min;
  a.max = max;
  a.major = major;
  a.minor = minor;
  return a;
}

void Chart::Begin(Canvas* canvas, Color background) {
  canvas_ = canvas;
  legend_.clear();
  lastMarker_ = 0;
  if (!canvas_) return;
  canvas_->Clear(background);
  SetLayout(0.1, 0.95, 0.1, 0.85, spacing_);
}

void Chart::SetLayout(double left, double right, double top, double bottom, Spacing spacing) {
  spacing_ = spacing;
  if (!canvas_) return;
  const double w = canvas_->Width(), h = canvas_->Height();
  left_ = left * w;
  right_ = std::max(left_ + 1, right * w);
  top_ = top * h;
  bottom_ = std::max(top_ + 1, bottom * h);
}

double Chart::CanvasX(double x) const { return left_ + (x - x_.min) / (x_.max - x_.min) * (right_ - left_); }
double Chart::CanvasY(double y) const { return bottom_ - (y - y_.min) / (y_.max - y_.min) * (bottom_ - top_); }
Point Chart::ToCanvas(double x, double y) const { return {CanvasX(x), CanvasY(y)}; }

void Chart::Frame() {
  canvas_->SetPen(colors::Black, 1);
  canvas_->Rectangle(left_, top_, right_ - left_, bottom_ - top_, false, colors::White);
}

void Chart::XAxis(const std::string& caption, double min, double max, double major, double minor) {
  x_ = Normalised(caption, min, max, major, minor);
  if (!canvas_) return;
  const int n = static_cast<int>(std::floor((x_.max - x_.min) / x_.major + 1e-9));
  const int m = static_cast<int>(std::floor((x_.max - x_.min) / x_.minor + 1e-9));
  canvas_->SetPen(kGrid, 1);
  for (int k = 1; k < n; ++k) {
    const double x = CanvasX(x_.min + k * x_.major);
    canvas_->Line(x, top_, x, bottom_);
  }
  Frame();
  for (int k = 0; k <= m; ++k) {
    const double x = CanvasX(x_.min + k * x_.minor);
    canvas_->Line(x, bottom_, x, bottom_ - spacing_.tick / 2);
  }
  for (int k = 0; k <= n; ++k) {
    const double v = x_.min + k * x_.major, x = CanvasX(v);
    canvas_->Line(x, bottom_, x, bottom_ - spacing_.tick);
    canvas_->Text(x, bottom_ + spacing_.label / 2, AxisLabel(v, x_.major), labelStyle, HAlign::Center, VAlign::Top);
  }
  const double capY = bottom_ + spacing_.label / 2 + canvas_->TextHeight(labelStyle) + spacing_.caption / 2;
  canvas_->Text((left_ + right_) / 2, capY, caption, captionStyle, HAlign::Center, VAlign::Top);
}

void Chart::YAxis(const std::string& caption, double min, double max, double major, double minor) {
  y_ = Normalised(caption, min, max, major, minor);
  if (!canvas_) return;
  const int n = static_cast<int>(std::floor((y_.max - y_.min) / y_.major + 1e-9));
  const int m = static_cast<int>(std::floor((y_.max - y_.min) / y_.minor + 1e-9));
  canvas_->SetPen(kGrid, 1);
  for (int k = 1; k < n; ++k) {
    const double y = CanvasY(y_.min + k * y_.major);
    canvas_->Line(left_, y, right_, y);
  }
  Frame();
  for (int k = 0; k <= m; ++k) {
    const double y = CanvasY(y_.min + k * y_.minor);
    canvas_->Line(left_, y, left_ + spacing_.tick / 2, y);
  }
  for (int k = 0; k <= n; ++k) {
    const double v = y_.min + k * y_.major, y = CanvasY(v);
    canvas_->Line(left_, y, left_ + spacing_.tick, y);
    canvas_->Text(left_ - spacing_.label / 2, y, AxisLabel(v, y_.major), labelStyle, HAlign::Right, VAlign::Middle);
  }
  // The caption stands above the axis, clear of the top label.
  const double capY = top_ - canvas_->TextHeight(labelStyle) / 2 - spacing_.caption / 2;
  canvas_->Text(std::max(2.0, left_ - spacing_.label), capY, caption, captionStyle, HAlign::Left, VAlign::Bottom);
}

void Chart::SetPen(Color color, double width) {
  pen_ = color;
  penWidth_ = width;
  if (canvas_) canvas_->SetPen(color, width);
}

void Chart::MoveTo(double x, double y) { current_ = ToCanvas(x, y); }

void Chart::LineTo(double x, double y) {
  const Point p = ToCanvas(x, y);
  if (canvas_) canvas_->Line(current_.x, current_.y, p.x, p.y);
  current_ = p;
}

namespace {
void DrawMarker(Canvas& c, Point p, int type, double size, Color color, double width) {
  const double r = size / 2;
  c.SetPen(color, width);
  switch (type) {
    case 1: c.Ellipse(p.x, p.y, r, r, true, colors::White); break;
    case 2: c.Rectangle(p.x - r, p.y - r, size, size, true, color); break;
    default:
      c.Line(p.x - r, p.y - r, p.x + r, p.y + r);
      c.Line(p.x - r, p.y + r, p.x + r, p.y - r);
      break;
  }
}
}  // namespace

void Chart::Marker(int type, double size) {
  lastMarker_ = type;
  lastMarkerSize_ = size;
  if (canvas_) DrawMarker(*canvas_, current_, type, size, pen_, penWidth_);
}

void Chart::AddLegend(const std::string& text) { legend_.push_back({pen_, penWidth_, lastMarker_, text}); }

void Chart::DrawLegend(double x, double y, HAlign h, VAlign v) {
  if (!canvas_ || legend_.empty()) return;
  const double pad = 6, sample = 30, gap = 6;
  const double row = std::max(canvas_->TextHeight(legendStyle), lastMarkerSize_) + 4;
  double textW = 0;
  for (const auto& e : legend_) textW = std::max(textW, canvas_->TextWidth(e.text, legendStyle));
  const double w = pad + sample + gap + textW + pad, hgt = pad + row * static_cast<double>(legend_.size()) + pad;
  const double bx = h == HAlign::Left ? x : h == HAlign::Center ? x - w / 2 : x - w;
  const double by = v == VAlign::Top ? y : v == VAlign::Middle ? y - hgt / 2 : y - hgt;
  canvas_->SetPen(colors::Black, 1);
  canvas_->Rectangle(bx, by, w, hgt, true, colors::White);
  for (size_t i = 0; i < legend_.size(); ++i) {
    const auto& e = legend_[i];
    const double cy = by + pad + row * (static_cast<double>(i) + 0.5);
    canvas_->SetPen(e.color, e.width);
    canvas_->Line(bx + pad, cy, bx + pad + sample, cy);
    if (e.marker != 0) DrawMarker(*canvas_, {bx + pad + sample / 2, cy}, e.marker, lastMarkerSize_, e.color, e.width);
    canvas_->Text(bx + pad + sample + gap, cy, e.text, legendStyle, HAlign::Left, VAlign::Middle);
  }
  canvas_->SetPen(pen_, penWidth_);
}

void Chart::Title(const std::string& text, Color color) {
  if (!canvas_) return;
  TextStyle s = titleStyle;
  s.color = color;
  canvas_->Text((left_ + right_) / 2, std::max(top_ / 2, canvas_->TextHeight(s) / 2), text, s, HAlign::Center,
                VAlign::Middle);
}

void Chart::End() {
  canvas_ = nullptr;
  legend_.clear();
}

}  // namespace pelmora::chart

#include "chart/SvgCanvas.h"

#include <cmath>

#include "chart/Fonts.h"
#include "fields/NumberFormat.h"

namespace pelmora::chart {

namespace {
std::string N(double x) {
  if (!std::isfinite(x)) x = 0;
  std::string s = FormatFixed(x, 2);
  // 12.50 -> 12.5, 12.00 -> 12
  if (s.find('.') != std::string::npos) {
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
  }
  return s == "-0" ? "0" : s;
}

// Fonts the desktop maps the Windows names to, so that an SVG viewer finds a face.
std::string Family(const std::string& name) {
  if (name == "宋体") return "宋体, " + FamilyList("SimSun", true, ", ");
  return XmlEscape(FamilyList(name, true, ", "));
}
}  // namespace

std::string CssColor(Color c) {
  const Rgb rgb = ToRgb(c);
  static const char* hex = "0123456789abcdef";
  std::string s = "#";
  for (int v : {rgb.r, rgb.g, rgb.b}) {
    s += hex[(v >> 4) & 15];
    s += hex[v & 15];
  }
  return s;
}

std::string XmlEscape(const std::string& s) {
  std::string r;
  for (char c : s) {
    switch (c) {
      case '&': r += "&amp;"; break;
      case '<': r += "&lt;"; break;
      case '>': r += "&gt;"; break;
      case '"': r += "&quot;"; break;
      case '\'': r += "&apos;"; break;
      default: r += c;
    }
  }
  return r;
}

std::string SvgCanvas::Stroke() const {
  return " stroke=\"" + CssColor(pen_) + "\" stroke-width=\"" + N(penWidth_) + "\"";
}

void SvgCanvas::Clear(Color background) {
  body_.clear();
  texts_.clear();
  body_ += "<rect x=\"0\" y=\"0\" width=\"" + N(width_) + "\" height=\"" + N(height_) + "\" fill=\"" +
           CssColor(background) + "\"/>\n";
}

void SvgCanvas::SetPen(Color color, double width) {
  pen_ = color;
  penWidth_ = width;
}

void SvgCanvas::Line(double x1, double y1, double x2, double y2) {
  body_ +=
      "<line x1=\"" + N(x1) + "\" y1=\"" + N(y1) + "\" x2=\"" + N(x2) + "\" y2=\"" + N(y2) + "\"" + Stroke() + "/>\n";
}

void SvgCanvas::Rectangle(double x, double y, double w, double h, bool filled, Color fill) {
  body_ += "<rect x=\"" + N(x) + "\" y=\"" + N(y) + "\" width=\"" + N(w) + "\" height=\"" + N(h) + "\" fill=\"" +
           (filled ? CssColor(fill) : std::string("none")) + "\"" + Stroke() + "/>\n";
}

void SvgCanvas::Ellipse(double cx, double cy, double rx, double ry, bool filled, Color fill) {
  body_ += "<ellipse cx=\"" + N(cx) + "\" cy=\"" + N(cy) + "\" rx=\"" + N(rx) + "\" ry=\"" + N(ry) + "\" fill=\"" +
           (filled ? CssColor(fill) : std::string("none")) + "\"" + Stroke() + "/>\n";
}

void SvgCanvas::Text(double x, double y, const std::string& utf8, const TextStyle& style, HAlign h, VAlign v) {
  const double size = style.pixelSize;
  // Baseline from the anchor: the em box is taken as 0.8 above and 0.2 below it.
  const double base = v == VAlign::Top ? y + 0.8 * size : v == VAlign::Middle ? y + 0.3 * size : y - 0.2 * size;
  const char* anchor = h == HAlign::Left ? "start" : h == HAlign::Center ? "middle" : "end";
  body_ += "<text x=\"" + N(x) + "\" y=\"" + N(base) + "\" font-family=\"" + Family(style.fontName) +
           "\" font-size=\"" + N(size) + "\"" + (style.bold ? " font-weight=\"bold\"" : "") + " fill=\"" +
           CssColor(style.color) + "\" text-anchor=\"" + anchor + "\">" + XmlEscape(utf8) + "</text>\n";
  texts_ += utf8 + "\n";
}

double SvgCanvas::TextWidth(const std::string& utf8, const TextStyle& style) const {
  // Estimate: a CJK character (three UTF-8 bytes and more) is one em wide, others about half.
  double em = 0;
  for (size_t i = 0; i < utf8.size();) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    const size_t len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    em += len >= 3 ? 1.0 : 0.55;
    i += len;
  }
  return em * style.pixelSize;
}

std::string SvgCanvas::Svg() const {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + N(width_) +
         "\" height=\"" + N(height_) + "\" viewBox=\"0 0 " + N(width_) + " " + N(height_) + "\">\n" + body_ +
         "</svg>\n";
}

}  // namespace pelmora::chart

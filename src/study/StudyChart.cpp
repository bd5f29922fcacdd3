#include "study/StudyChart.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <optional>
#include <set>

#include "chart/Chart.h"
#include "fields/NumberFormat.h"
#include "fields/Text.h"

namespace pelmora {

double NiceStep(double span, int parts) {
  if (!(span > 0) || !std::isfinite(span) || parts < 1) return 1;
  const double raw = span / parts;
  const double p = std::pow(10.0, std::floor(std::log10(raw)));
  for (double m : {1.0, 2.0, 5.0, 10.0})
    if (m * p >= raw) return m * p;
  return 10 * p;
}

namespace {

bool Number(const std::string& text, double& out) {
  auto v = ParseDecimal(Trim(text));
  if (!v || !std::isfinite(*v)) return false;
  out = *v;
  return true;
}

// The point of a row: the first input and the output column, when the row has both.
bool PointOf(const StudyRow& r, size_t output, double& x, double& y) {
  return r.ok && !r.inputs.empty() && output < r.outputs.size() && Number(r.inputs[0], x) &&
         Number(r.outputs[output], y);
}

// Lower and upper axis ends on multiples of the step.
void AxisRange(double lo, double hi, double& min, double& max, double& step) {
  if (hi - lo < std::max(1e-12, std::fabs(hi) * 1e-9)) {
    const double pad = lo == 0 ? 1 : std::fabs(lo) * 0.1;
    lo -= pad;
    hi += pad;
  }
  step = NiceStep(hi - lo, 5);
  min = std::floor(lo / step) * step;
  max = std::ceil(hi / step) * step;
}

constexpr Color kSeriesColors[] = {RGBColor(0, 0, 255),   RGBColor(255, 0, 0),   RGBColor(0, 128, 0),
                                   RGBColor(128, 0, 128), RGBColor(255, 128, 0), RGBColor(0, 128, 128),
                                   RGBColor(128, 128, 0), RGBColor(0, 0, 0)};

}  // namespace

bool DrawStudyChart(chart::Canvas& canvas, const StudyResult& result, size_t inputCount, size_t output) {
  chart::Chart c;
  c.Begin(&canvas, colors::White);
  c.SetLayout(0.12, 0.80, 0.10, 0.85);
  const size_t column = inputCount + output;
  if (inputCount < 1 || inputCount > 2 || column + 1 >= result.headers.size()) {
    c.End();
    return false;
  }
  // Series by the second input's text, in table order.
  std::vector<std::string> seriesKeys;
  double xlo = std::numeric_limits<double>::max(), xhi = -xlo, ylo = xlo, yhi = -xlo;
  size_t points = 0;
  for (const StudyRow& r : result.rows) {
    const std::string key = inputCount == 2 && r.inputs.size() > 1 ? r.inputs[1] : std::string();
    if (std::find(seriesKeys.begin(), seriesKeys.end(), key) == seriesKeys.end()) seriesKeys.push_back(key);
    double x = 0, y = 0;
    if (!PointOf(r, output, x, y)) continue;
    xlo = std::min(xlo, x), xhi = std::max(xhi, x);
    ylo = std::min(ylo, y), yhi = std::max(yhi, y);
    ++points;
  }
  double x0 = 0, x1 = 1, xs = 0.2, y0 = 0, y1 = 1, ys = 0.2;
  if (points > 0) {
    AxisRange(xlo, xhi, x0, x1, xs);
    AxisRange(ylo, yhi, y0, y1, ys);
  }
  c.XAxis(result.headers[0], x0, x1, xs, xs / 5);
  c.YAxis(result.headers[column], y0, y1, ys, ys / 5);
  if (points == 0) {
    c.End();
    return false;
  }
  size_t s = 0;
  for (const std::string& key : seriesKeys) {
    const Color color = kSeriesColors[s % std::size(kSeriesColors)];
    const int marker = static_cast<int>(s % 3) + 1;
    c.SetPen(color, 2);
    bool down = false;
    for (const StudyRow& r : result.rows) {
      const std::string rk = inputCount == 2 && r.inputs.size() > 1 ? r.inputs[1] : std::string();
      if (rk != key) continue;
      double x = 0, y = 0;
      if (!PointOf(r, output, x, y)) {
        down = false;  // a failed point leaves a gap
        continue;
      }
      if (down)
        c.LineTo(x, y);
      else
        c.MoveTo(x, y);
      down = true;
      c.Marker(marker, 7);
    }
    c.AddLegend(inputCount == 2 ? result.headers[1] + " = " + key : result.headers[column]);
    ++s;
  }
  c.DrawLegend(canvas.Width() * 0.82, canvas.Height() * 0.10, chart::HAlign::Left, chart::VAlign::Top);
  c.End();
  return true;
}

}  // namespace pelmora

#pragma once
// The context menu of a chart (the time–temperature curve, the study chart): 复制为图像,
// 另存为 PNG…, 另存为 SVG…, 打印…. The chart is drawn again for each of them through the
// chart engine, on an image, an SVG document or the printer's page, at the size the
// chart has on the screen.
#include <QImage>
#include <functional>
#include <string>

#include "chart/Canvas.h"
#include "fields/UiPort.h"

class QMenu;
class QWidget;

namespace pelmora::gui {

struct ChartSource {
  std::string name;                          // file name and print job ("时间温度曲线")
  std::function<bool()> available;           // whether there is a chart to draw
  std::function<void(chart::Canvas&)> draw;  // draws it over the whole canvas
  static constexpr const char* kNothing = "尚无图表：先计算出曲线";
};

// Gives `chart` the menu on a right-click. File names are asked through `port`; a
// write that fails says why there.
void AttachChartMenu(QWidget* chart, UiPort& port, ChartSource source);
// The menu of a chart, filled for the chart as it is now (tests trigger its actions).
QMenu* ChartMenuOf(QWidget* chart);

// The chart on an image of `width` × `height` pixels, white behind it.
QImage RenderChart(const ChartSource& source, int width, int height);
// The chart as an SVG document.
std::string ChartSvg(const ChartSource& source, int width, int height);

}  // namespace pelmora::gui

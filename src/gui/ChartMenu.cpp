#include "gui/ChartMenu.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QMenu>
#include <QPainter>
#include <QWidget>
#include <algorithm>

#include "chart/SvgCanvas.h"
#include "fields/DurableFile.h"
#include "gui/Extras.h"
#include "gui/QtCanvas.h"
#include "gui/Widgets.h"

namespace pelmora::gui {

namespace {

constexpr const char* kMenuName = "ChartMenu";
constexpr int kMinWidth = 640, kMinHeight = 400;

QSize ExportSize(const QWidget* chart) {
  return {std::max(chart->width(), kMinWidth), std::max(chart->height(), kMinHeight)};
}

void Fail(UiPort& port, const std::string& path, const std::string& why) {
  port.MessageBox("无法写入“" + path + "”：" + why, "", MsgType::Error, Buttons::Ok, Answer::Ok);
}

// Asks for a file name and writes the bytes that `make` returns.
void SaveAs(UiPort& port, const ChartSource& source, const char* filter, const char* ext,
            const std::function<std::string()>& make) {
  FileDialogRequest r;
  r.title = "保存图表";
  r.filter = filter;
  r.defaultExt = ext;
  r.fileName = source.name + "." + ext;
  r.overwritePrompt = true;
  const auto path = port.SaveDialog(r);
  if (!path) return;
  const std::string bytes = make();
  if (bytes.empty()) return Fail(port, *path, "图像生成失败");
  if (std::string why = WriteFileDurably(*path, bytes); !why.empty()) Fail(port, *path, why);
}

std::string PngBytes(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) return {};
  return bytes.toStdString();
}

void Fill(QMenu* menu, QWidget* chart, UiPort& port, const ChartSource& source) {
  menu->clear();
  const bool there = source.available && source.available();
  const QSize size = ExportSize(chart);
  QAction* copy = menu->addAction("复制为图像", chart, [size, source] {
    QApplication::clipboard()->setImage(RenderChart(source, size.width(), size.height()));
  });
  QAction* png = menu->addAction("另存为 PNG…", chart, [&port, size, source] {
    SaveAs(port, source, "PNG 图像（*.png）|*.png", "png",
           [&] { return PngBytes(RenderChart(source, size.width(), size.height())); });
  });
  QAction* svg = menu->addAction("另存为 SVG…", chart, [&port, size, source] {
    SaveAs(port, source, "SVG 矢量图（*.svg）|*.svg", "svg",
           [&] { return ChartSvg(source, size.width(), size.height()); });
  });
  menu->addSeparator();
  QAction* print = menu->addAction("打印…", chart, [chart, size, source] {
    extras::PrintChart(chart->window(), source.name, [source, size](QPainter& p, const QRect& page) {
      // The chart keeps its screen proportions and is scaled onto the page.
      const double scale = std::min(page.width() / double(size.width()), page.height() / double(size.height()));
      p.translate(page.topLeft());
      p.scale(scale, scale);
      QtCanvas canvas(p, size.width(), size.height());
      canvas.Clear(colors::White);
      source.draw(canvas);
    });
  });
  for (QAction* a : {copy, png, svg, print}) {
    a->setEnabled(there);
    if (!there) a->setToolTip(ChartSource::kNothing);
  }
  menu->setToolTipsVisible(true);
}

}  // namespace

QImage RenderChart(const ChartSource& source, int width, int height) {
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  QPainter p(&image);
  QtCanvas canvas(p, width, height);
  canvas.Clear(colors::White);
  source.draw(canvas);
  return image;
}

std::string ChartSvg(const ChartSource& source, int width, int height) {
  chart::SvgCanvas canvas(width, height);
  canvas.Clear(colors::White);
  source.draw(canvas);
  return canvas.Svg();
}

QMenu* ChartMenuOf(QWidget* chart) { return chart->findChild<QMenu*>(kMenuName, Qt::FindDirectChildrenOnly); }

void AttachChartMenu(QWidget* chart, UiPort& port, ChartSource source) {
  auto* menu = new QMenu(chart);
  menu->setObjectName(kMenuName);
  menu->setFont(WindowFont());
  chart->setContextMenuPolicy(Qt::CustomContextMenu);
  auto fill = [chart, &port, source, menu] { Fill(menu, chart, port, source); };
  fill();
  QObject::connect(chart, &QWidget::customContextMenuRequested, menu,
                   [chart, menu](const QPoint& at) { menu->popup(chart->mapToGlobal(at)); });
  // Filled for the chart as it is when the menu opens.
  QObject::connect(menu, &QMenu::aboutToShow, menu, fill);
}

}  // namespace pelmora::gui

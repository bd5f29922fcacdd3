#include "gui/ColorLegend.h"

#include <QHBoxLayout>
#include <QLabel>

#include "calc/Balance.h"
#include "gui/Widgets.h"

namespace pelmora::gui {

QWidget* MakeColorLegend(QWidget* parent) {
  auto* legend = new QWidget(parent);
  legend->setObjectName("ColorLegend");
  legend->setFont(WindowFont());
  auto* h = new QHBoxLayout(legend);
  h->setContentsMargins(4, 0, 4, 0);
  h->setSpacing(4);
  auto* title = new QLabel("颜色说明：", legend);
  h->addWidget(title);
  struct Entry {
    Color color;
    const char* text;
    const char* hint;
  };
  const Entry entries[] = {
      {colors::White, "输入", "白色：由用户输入的数据"},
      {TubeBalanceColor, "管程热平衡求解", "管程热平衡中唯一空缺的量，由平衡式求出"},
      {VesselBalanceColor, "容器热平衡求解", "容器侧热平衡中唯一空缺的量，由平衡式求出"},
      {HeatBalanceColor, "总热平衡求解", "管程与容器之间的总热平衡中唯一空缺的量，由平衡式求出"},
      {GeometryColor, "容器几何求解", "容器几何尺寸中由其余尺寸求出的量"},
      {ResultColor, "计算结果", "由计算得到的其余结果，只读"},
  };
  for (const Entry& e : entries) {
    auto* swatch = new QLabel(legend);
    swatch->setFixedSize(22, 12);
    swatch->setStyleSheet(QString("background:%1; border:1px solid #808080;").arg(ToColor(e.color).name()));
    swatch->setToolTip(e.hint);
    auto* text = new QLabel(e.text, legend);
    text->setToolTip(e.hint);
    h->addWidget(swatch);
    h->addWidget(text);
    h->addSpacing(8);
  }
  h->addStretch(1);
  return legend;
}

}  // namespace pelmora::gui

#include "gui/ColorLegend.h"

#include <QPainter>

#include "calc/Balance.h"
#include "gui/Widgets.h"

namespace pelmora::gui {

namespace {

struct Entry {
  Color color;
  const char* text;
};

const Entry kEntries[] = {
    {colors::White, "输入"},
    {TubeBalanceColor, "管程热平衡求解"},
    {VesselBalanceColor, "容器热平衡求解"},
    {HeatBalanceColor, "总热平衡求解"},
    {GeometryColor, "容器几何求解"},
    {ResultColor, "计算结果"},
};

// One line drawn by itself: a swatch and a word for each colour.
class ColorLegend : public QWidget {
 public:
  explicit ColorLegend(QWidget* parent) : QWidget(parent) {
    setObjectName("ColorLegend");
    setFont(WindowFont());
    setFixedHeight(fontMetrics().height() + 4);
    setToolTip(
        "白色：用户输入的数据\n"
        "天蓝：管程热平衡中唯一空缺的量，由平衡式求出\n"
        "黄色：容器侧热平衡中唯一空缺的量，由平衡式求出\n"
        "青色：总热平衡中唯一空缺的量，由平衡式求出\n"
        "粉色：由其余尺寸求出的容器几何尺寸\n"
        "浅蓝：其余计算结果（只读）");
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const QFontMetrics fm = fontMetrics();
    int x = 4;
    const int mid = height() / 2;
    p.setPen(palette().color(QPalette::WindowText));
    QString title = "颜色说明：";
    p.drawText(x, mid + fm.ascent() / 2 - 1, title);
    x += fm.horizontalAdvance(title) + 4;
    for (const Entry& e : kEntries) {
      QRect swatch(x, mid - 6, 22, 12);
      p.fillRect(swatch, ToColor(e.color));
      p.setPen(QColor(128, 128, 128));
      p.drawRect(swatch.adjusted(0, 0, -1, -1));
      x += 26;
      p.setPen(palette().color(QPalette::WindowText));
      QString t = QString::fromUtf8(e.text);
      p.drawText(x, mid + fm.ascent() / 2 - 1, t);
      x += fm.horizontalAdvance(t) + 14;
    }
  }
};

}  // namespace

QWidget* MakeColorLegend(QWidget* parent) { return new ColorLegend(parent); }

}  // namespace pelmora::gui

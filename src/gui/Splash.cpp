#include "gui/Splash.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <cmath>

#include "fields/Version.h"

namespace pelmora::gui {

TFormGG::TFormGG(QWidget* parent) : QDialog(parent) {
  // A splash screen proper: no frame, above the window while it comes up.
  setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
  setFixedSize(kWidth, kHeight);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::white);
  setPalette(pal);
  version_ = PELMORA_NAME " " PELMORA_VERSION_TEXT;
  setWindowTitle(PELMORA_NAME_ZH);
  if (QScreen* s = QGuiApplication::primaryScreen()) {
    QRect g = s->availableGeometry();
    move(g.center() - QPoint(kWidth / 2, kHeight / 2));
  }
}

void DrawCoilInVessel(QPainter& p, const QRectF& r) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing, true);
  const double w = r.width(), h = r.height();
  const double x0 = r.left() + w * 0.12, x1 = r.right() - w * 0.12;
  const double top = r.top() + h * 0.14, bottom = r.bottom() - h * 0.06;
  const double head = w * 0.12;
  // Vessel shell with domed ends.
  QPainterPath shell;
  shell.moveTo(x0, top + head);
  shell.cubicTo(x0, top - head * 0.2, x1, top - head * 0.2, x1, top + head);
  shell.lineTo(x1, bottom - head);
  shell.cubicTo(x1, bottom + head * 0.2, x0, bottom + head * 0.2, x0, bottom - head);
  shell.closeSubpath();
  QLinearGradient steel(x0, 0, x1, 0);
  steel.setColorAt(0, QColor(150, 160, 172));
  steel.setColorAt(0.45, QColor(236, 240, 245));
  steel.setColorAt(1, QColor(120, 130, 142));
  p.setPen(QPen(QColor(60, 66, 76), 2));
  p.setBrush(steel);
  p.drawPath(shell);
  // Liquid up to the fill level.
  const double level = top + head + (bottom - top - 2 * head) * 0.18;
  QPainterPath liquid;
  liquid.moveTo(x0 + 2, level);
  liquid.lineTo(x1 - 2, level);
  liquid.lineTo(x1 - 2, bottom - head);
  liquid.cubicTo(x1 - 2, bottom + head * 0.15, x0 + 2, bottom + head * 0.15, x0 + 2, bottom - head);
  liquid.closeSubpath();
  QLinearGradient water(0, level, 0, bottom);
  water.setColorAt(0, QColor(120, 180, 235, 200));
  water.setColorAt(1, QColor(40, 100, 190, 220));
  p.setPen(Qt::NoPen);
  p.setBrush(water);
  p.drawPath(liquid);
  // Helical coil: back half thin and dark, front half thick and copper.
  const double cx = (x0 + x1) / 2, rx = (x1 - x0) * 0.32, ry = rx * 0.22;
  const double c0 = level + (bottom - level) * 0.12, c1 = bottom - head * 0.9;
  const int turns = 6;
  const double pitch = (c1 - c0) / turns;
  for (int pass = 0; pass < 2; ++pass) {
    p.setPen(pass == 0 ? QPen(QColor(130, 60, 20), 3, Qt::SolidLine, Qt::RoundCap)
                       : QPen(QColor(214, 110, 40), 5, Qt::SolidLine, Qt::RoundCap));
    for (int t = 0; t < turns; ++t) {
      QPainterPath arc;
      double yc = c0 + t * pitch;
      const int steps = 24;
      for (int i = 0; i <= steps; ++i) {
        double a = (pass == 0 ? 0.0 : M_PI) + M_PI * i / steps;
        double x = cx + rx * std::cos(a);
        double y = yc + ry * std::sin(a) + pitch * (a / (2 * M_PI));
        if (i == 0)
          arc.moveTo(x, y);
        else
          arc.lineTo(x, y);
      }
      p.setBrush(Qt::NoBrush);
      p.drawPath(arc);
    }
  }
  // Inlet and outlet through the top head.
  p.setPen(QPen(QColor(214, 110, 40), 5, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(cx - rx, c0), QPointF(cx - rx, top - h * 0.08));
  p.drawLine(QPointF(cx + rx, c1), QPointF(cx + rx * 0.55, c1 - pitch * 0.2));
  p.drawLine(QPointF(cx + rx * 0.55, c1 - pitch * 0.2), QPointF(cx + rx * 0.55, top - h * 0.08));
  // Flow arrows: hot in (red), cooled out (blue).
  auto arrow = [&p](QPointF tip, bool down, QColor c) {
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    double d = down ? 1 : -1;
    QPolygonF tri;
    tri << tip << QPointF(tip.x() - 6, tip.y() - 9 * d) << QPointF(tip.x() + 6, tip.y() - 9 * d);
    p.drawPolygon(tri);
  };
  arrow(QPointF(cx - rx, top - h * 0.02), true, QColor(220, 30, 30));
  arrow(QPointF(cx + rx * 0.55, top - h * 0.12), false, QColor(30, 60, 220));
  p.restore();
}

void TFormGG::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), Qt::white);
  DrawCoilInVessel(p, QRectF(12, 14, 170, 230));
  p.setRenderHint(QPainter::TextAntialiasing, true);
  QFont name("AR PL UKai CN");
  name.setFamilies({"AR PL UKai CN", "AR PL UMing CN", "Noto Serif CJK SC"});
  name.setPixelSize(64);
  name.setBold(true);
  name.setItalic(true);
  p.setFont(name);
  p.setPen(QColor(255, 0, 0));
  p.drawText(QRect(190, 40, 262, 100), Qt::AlignCenter, PELMORA_NAME_ZH);
  QFont ver("Times New Roman");
  ver.setPixelSize(18);
  ver.setBold(true);
  p.setFont(ver);
  p.drawText(QRect(190, 150, 262, 30), Qt::AlignCenter, version_);
}

void TFormGG::mousePressEvent(QMouseEvent* e) {
  e->accept();
  accept();
}

}  // namespace pelmora::gui

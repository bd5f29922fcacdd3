#include "gui/MyStatusBar.h"

#include <QPainter>
#include <QStyleOption>

namespace pelmora::gui {

TMyStatusBar::TMyStatusBar(ViewContext& ctx, StatusBar* bar, QWidget* parent) : QWidget(parent), bar_(bar) {
  setObjectName(Q(bar->Name()));
  progress_ = new QProgressBar(this);
  progress_->setObjectName("ProgressBar");
  progress_->setRange(0, 100);
  progress_->setValue(0);
  progress_->setTextVisible(false);
  progress_->hide();
  setFont(WindowFont());
  ctx.Bind(bar, this);
  Refresh();
  sub_.Reset(bar, [this](pelmora::Component&) { Refresh(); });
}

QSize TMyStatusBar::sizeHint() const { return {650, 20}; }

QRect TMyStatusBar::PanelRect(int i) const {
  const auto& panels = bar_->Panels();
  int x = 0;
  for (int k = 0; k < static_cast<int>(panels.size()); ++k) {
    int w = panels[static_cast<size_t>(k)].width;
    bool last = k + 1 == static_cast<int>(panels.size());
    if (last) w = std::max(w, width() - x);
    if (k == i) return QRect(x, 2, w - 2, height() - 3);
    x += w;
  }
  return {};
}

void TMyStatusBar::Refresh() {
  progress_->setValue(bar_->ProgressPosition());
  setEnabled(bar_->Enabled());
  PlaceProgress();
  update();
}

void TMyStatusBar::PlaceProgress() {
  const int n = static_cast<int>(bar_->Panels().size());
  const int i = bar_->PIndex();
  // Shown only while a long action runs; otherwise the panel shows its own text.
  if (!bar_->ProgressVisible() || i < 0 || i >= n || !bar_->Panels()[static_cast<size_t>(i)].ownerDrawn) {
    progress_->hide();
    return;
  }
  QRect r = PanelRect(i);
  QRect g = r;
  g.setLeft(r.left() - 1);
  g.setTop(r.top() - 1);
  g.setBottom(r.bottom() + 1);
  if (i == n - 1) g.setRight(r.right() - 12);
  progress_->setGeometry(g);
  progress_->show();
}

void TMyStatusBar::resizeEvent(QResizeEvent*) { PlaceProgress(); }

void TMyStatusBar::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().color(QPalette::Window));
  const auto& panels = bar_->Panels();
  for (int i = 0; i < static_cast<int>(panels.size()); ++i) {
    QRect r = PanelRect(i);
    p.setPen(palette().color(QPalette::Dark));
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(palette().color(QPalette::Light));
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(r.adjusted(3, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter,
               fontMetrics().elidedText(Q(panels[static_cast<size_t>(i)].text), Qt::ElideRight, r.width() - 5));
  }
  // Size grip in the corner.
  p.setPen(palette().color(QPalette::Dark));
  for (int k = 0; k < 3; ++k) {
    int o = 4 * k + 3;
    p.drawLine(width() - 1 - o, height() - 1, width() - 1, height() - 1 - o);
  }
}

}  // namespace pelmora::gui

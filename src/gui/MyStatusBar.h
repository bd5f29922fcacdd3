#pragma once
// TMyStatusBar: a status bar of fixed-width panels with a progress bar over the
// owner-drawn panel PIndex while a long action runs (the core's ProgressVisible). The
// last panel reaches the right edge; a progress bar in it ends 12 pixels short of the
// edge to leave room for the size grip.
#include <QProgressBar>
#include <QWidget>

#include "gui/Widgets.h"

namespace pelmora::gui {

class TMyStatusBar : public QWidget {
  Q_OBJECT

 public:
  TMyStatusBar(ViewContext& ctx, StatusBar* bar, QWidget* parent = nullptr);
  QProgressBar* ProgressBar() const { return progress_; }
  // The rectangle of panel i in widget coordinates.
  QRect PanelRect(int i) const;
  void Refresh();
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  void PlaceProgress();
  StatusBar* bar_;
  QProgressBar* progress_;
  Subscription sub_;
};

}  // namespace pelmora::gui

#pragma once
// The page "管道系列" on Qt: the read-only grid over the tube series and its navigator
// (first, previous, next, last), both bound to the core's DataGrid.
#include <QTableWidget>
#include <QWidget>

#include "gui/Widgets.h"

namespace pelmora::gui {

class DataGridView : public QTableWidget {
  Q_OBJECT

 public:
  DataGridView(ViewContext& ctx, DataGrid* grid, QWidget* parent = nullptr);
  void Refresh();

 private:
  ViewContext& ctx_;
  DataGrid* grid_;
  bool refreshing_ = false;
  Subscription sub_;
};

class NavigatorView : public QWidget {
  Q_OBJECT

 public:
  NavigatorView(ViewContext& ctx, DataGrid* grid, QWidget* parent = nullptr);
  void Refresh();

 private:
  DataGrid* grid_;
  QToolButton* buttons_[4];
  Subscription sub_;
};

}  // namespace pelmora::gui

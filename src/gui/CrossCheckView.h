#pragma once
// The method check of the last run in the window: the tab "方法校核" beside the list of
// the design checks at the foot of the page 计算, a table of the quantity, this
// program's value, the independent value, the method with its source, the deviation and
// the level, with the area and margin the check asks for above it.
#include <QWidget>

class QLabel;
class QTableWidget;
class QTabWidget;

namespace pelmora::gui {

class ChecksView;
class MainWindow;

class CrossCheckView : public QWidget {
 public:
  CrossCheckView(MainWindow& window, QWidget* parent);
  void Refresh();
  QTableWidget* Table() const { return table_; }
  QLabel* Summary() const { return summary_; }

  // The tabs "计算检查" (the checks list) and "方法校核" that the checks bar opens and
  // closes, for the page to lay out; the bar stays usable while the method check has
  // rows, also when the run has no checks.
  static QTabWidget* MakeTabs(MainWindow& window, QWidget* page, ChecksView& checks, CrossCheckView*& view);

 private:
  MainWindow& window_;
  ChecksView* checks_ = nullptr;  // the bar that opens the tabs
  QLabel* summary_;
  QTableWidget* table_;
};

}  // namespace pelmora::gui

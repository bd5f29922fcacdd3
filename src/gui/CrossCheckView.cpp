#include "gui/CrossCheckView.h"

#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "calc/CrossCheck.h"
#include "gui/ChecksView.h"
#include "gui/MainWindow.h"
#include "gui/Widgets.h"

namespace pelmora::gui {

namespace {
enum Column { kQuantity, kProgram, kIndependent, kMethod, kDeviation, kLevel, kColumns };
}

CrossCheckView::CrossCheckView(MainWindow& window, QWidget* parent) : QWidget(parent), window_(window) {
  setObjectName("CrossCheckView");
  auto* v = new QVBoxLayout(this);
  v->setContentsMargins(0, 0, 0, 0);
  v->setSpacing(0);
  // The margin sentence sits beside the tab titles (MakeTabs), leaving the height to the rows.
  summary_ = new QLabel(this);
  summary_->setObjectName("LBCrossCheckSummary");
  summary_->setContentsMargins(0, 0, 6, 0);
  table_ = new QTableWidget(0, kColumns, this);
  table_->setObjectName("TBCrossChecks");
  table_->setHorizontalHeaderLabels({"量", "本程序", "独立方法", "方法与出处", "偏差", "级别"});
  table_->verticalHeader()->hide();
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setWordWrap(false);
  QHeaderView* h = table_->horizontalHeader();
  h->setSectionResizeMode(QHeaderView::Interactive);
  h->setStretchLastSection(false);
  h->setSectionResizeMode(kMethod, QHeaderView::Stretch);
  table_->setColumnWidth(kQuantity, 178);
  table_->setColumnWidth(kProgram, 80);
  table_->setColumnWidth(kIndependent, 80);
  table_->setColumnWidth(kDeviation, 56);
  table_->setColumnWidth(kLevel, 40);
  table_->verticalHeader()->setDefaultSectionSize(18);
  v->addWidget(table_);
  Refresh();
}

void CrossCheckView::Refresh() {
  const CrossCheckResult& r = window_.App().calc.crossCheck;
  table_->setRowCount(static_cast<int>(r.rows.size()));
  int i = 0;
  for (const CrossCheckRow& row : r.rows) {
    const QString tip = Q(row.method + "\n出处：" + row.source + (row.note.empty() ? "" : "\n" + row.note));
    const std::string independent = row.independent ? CrossCheckNumber(row.independent) : "不适用";
    const std::string cells[kColumns] = {row.quantity + (row.unit.empty() ? "" : "，" + row.unit),
                                         CrossCheckNumber(row.value),
                                         independent,
                                         row.method + "；" + row.source,
                                         CrossCheckPercent(row.deviation),
                                         row.level ? LevelText(*row.level) : ""};
    for (int c = 0; c < kColumns; ++c) {
      auto* item = new QTableWidgetItem(Q(cells[c]));
      item->setToolTip(c == kIndependent && !row.independent ? Q(row.note) : tip);
      if (c == kProgram || c == kIndependent || c == kDeviation)
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      if (row.level)
        item->setForeground(*row.level == DesignCheck::Level::Hint ? QColor(0, 0, 160) : QColor(176, 0, 0));
      else if (!row.independent)
        item->setForeground(QColor(110, 110, 110));
      table_->setItem(i, c, item);
    }
    ++i;
  }
  // The bar opens the tabs also after a run without design checks.
  if (checks_ && !r.rows.empty()) checks_->setEnabled(true);
  if (r.rows.empty()) {
    summary_->setText("方法校核：上次计算没有可校核的结果");
    summary_->setStyleSheet("");
  } else {
    summary_->setText(Q(r.summary.empty() ? std::string("方法校核：无法求出校核所需面积") : r.summary));
    const bool short_ = r.recommendedMargin && window_.App().form.sfD->Number() &&
                        *window_.App().form.sfD->Number() * window_.App().form.sfD->Exchange() < *r.recommendedMargin;
    summary_->setStyleSheet(short_ ? "color: rgb(176,0,0);" : "");
  }
  // The whole sentence beside the tab titles: the tabs lay the corner out again when its
  // size hint changes; while they are hidden it takes its size here.
  summary_->adjustSize();
}

QTabWidget* CrossCheckView::MakeTabs(MainWindow& window, QWidget* page, ChecksView& checks, CrossCheckView*& view) {
  auto* tabs = new QTabWidget(page);
  tabs->setObjectName("TabChecks");
  tabs->setDocumentMode(true);
  tabs->setMaximumHeight(170);
  checks.List()->setMaximumHeight(QWIDGETSIZE_MAX);
  tabs->addTab(checks.List(), "计算检查");
  view = new CrossCheckView(window, tabs);
  view->checks_ = &checks;
  view->Refresh();  // a run before the page was built: the bar opens its method check
  tabs->addTab(view, "方法校核");
  tabs->setTabToolTip(0, "超出关联式适用范围或常用设计范围的项目");
  tabs->setTabToolTip(1, "用另一种公开发表的方法复核膜系数、总传热系数、面积和压力降，并给出建议的富余度");
  tabs->setCornerWidget(view->summary_, Qt::TopRightCorner);
  tabs->setAutoFillBackground(true);  // over the page: nothing of the fields shows through
  return tabs;
}

}  // namespace pelmora::gui

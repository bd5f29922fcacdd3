#include "gui/PipesView.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QStyle>
#include <QToolButton>

#include "fields/GridNavigator.h"

namespace pelmora::gui {

namespace {
// The navigator's buttons, left to right.
constexpr GridMove kMoves[4] = {GridMove::First, GridMove::Prior, GridMove::Next, GridMove::Last};
}  // namespace

DataGridView::DataGridView(ViewContext& ctx, DataGrid* grid, QWidget* parent)
    : QTableWidget(parent), ctx_(ctx), grid_(grid) {
  setObjectName(Q(grid->Name()));
  verticalHeader()->hide();
  setShowGrid(true);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setFont(WindowFont());
  connect(this, &QTableWidget::currentCellChanged, this, [this](int row, int, int, int) {
    if (refreshing_ || row < 0 || row == grid_->Current()) return;
    ctx_.Run([this, row] { grid_->SetCurrent(row); });
  });
  sub_.Reset(grid, [this](Component&) { Refresh(); });
  Refresh();
}

void DataGridView::Refresh() {
  refreshing_ = true;
  const auto& cols = grid_->Columns();
  const auto& rows = grid_->Rows();
  setColumnCount(static_cast<int>(cols.size()));
  QStringList titles;
  for (const auto& c : cols) titles << Q(c.title);
  setHorizontalHeaderLabels(titles);
  // Columns with a given width keep it; the others share the rest of the page.
  for (size_t c = 0; c < cols.size(); ++c) {
    if (cols[c].width > 0) {
      horizontalHeader()->setSectionResizeMode(static_cast<int>(c), QHeaderView::Interactive);
      setColumnWidth(static_cast<int>(c), cols[c].width);
    } else {
      horizontalHeader()->setSectionResizeMode(static_cast<int>(c), QHeaderView::Stretch);
    }
  }
  setRowCount(static_cast<int>(rows.size()));
  for (size_t r = 0; r < rows.size(); ++r) {
    for (size_t c = 0; c < cols.size() && c < rows[r].size(); ++c) {
      auto* item = new QTableWidgetItem(Q(rows[r][c]));
      item->setTextAlignment(Qt::AlignVCenter | (cols[c].leftAlign ? Qt::AlignLeft : Qt::AlignRight));
      setItem(static_cast<int>(r), static_cast<int>(c), item);
    }
    setRowHeight(static_cast<int>(r), 18);
  }
  if (grid_->Current() >= 0) {
    setCurrentCell(grid_->Current(), 0);
    selectRow(grid_->Current());
  }
  setEnabled(grid_->Enabled());
  refreshing_ = false;
}

NavigatorView::NavigatorView(ViewContext& ctx, DataGrid* grid, QWidget* parent) : QWidget(parent), grid_(grid) {
  auto* h = new QHBoxLayout(this);
  h->setContentsMargins(0, 0, 0, 0);
  h->setSpacing(0);
  const QStyle::StandardPixmap icons[] = {QStyle::SP_MediaSkipBackward, QStyle::SP_MediaSeekBackward,
                                          QStyle::SP_MediaSeekForward, QStyle::SP_MediaSkipForward};
  const char* names[] = {"nbFirst", "nbPrior", "nbNext", "nbLast"};
  const char* hints[] = {"第一行", "上一行", "下一行", "最后一行"};
  for (int i = 0; i < 4; ++i) {
    auto* b = new QToolButton(this);
    b->setObjectName(names[i]);
    b->setIcon(style()->standardIcon(icons[i]));
    b->setToolTip(hints[i]);
    b->setFixedSize(25, 25);
    h->addWidget(b);
    buttons_[i] = b;
    connect(b, &QToolButton::clicked, this, [this, &ctx, i] { ctx.Run([this, i] { Move(*grid_, kMoves[i]); }); });
  }
  sub_.Reset(grid, [this](Component&) { Refresh(); });
  Refresh();
}

void NavigatorView::Refresh() {
  for (int i = 0; i < 4; ++i) buttons_[i]->setEnabled(CanMove(*grid_, kMoves[i]));
}

}  // namespace pelmora::gui

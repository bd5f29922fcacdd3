#include "gui/PickListDialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "gui/Widgets.h"

namespace pelmora::gui {

PickListDialog::PickListDialog(const PickListRequest& request, QWidget* parent) : QDialog(parent) {
  form_.Fill(request);
  setObjectName("TFormPickList");
  setWindowTitle(Q(form_.caption));
  setWindowFlags((windowFlags() | Qt::MSWindowsFixedSizeDialogHint) & ~Qt::WindowContextHelpButtonHint);
  setFont(WindowFont());

  auto* v = new QVBoxLayout(this);
  prompt_ = new QLabel(Q(form_.prompt), this);
  prompt_->setObjectName("LPrompt");
  v->addWidget(prompt_);

  list_ = new QTableWidget(static_cast<int>(form_.rows.size()), 4, this);
  list_->setObjectName("PickListView");
  list_->setHorizontalHeaderLabels({"序号", "名称", "数据", "单位"});
  list_->verticalHeader()->hide();
  list_->setShowGrid(true);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->setMouseTracking(true);  // hot tracking
  list_->horizontalHeader()->setHighlightSections(false);
  const int widths[] = {40, 100, 100, 100};
  for (int c = 0; c < 4; ++c) list_->setColumnWidth(c, widths[c]);
  list_->setFixedWidth(kListWidth);
  list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  for (size_t r = 0; r < form_.rows.size(); ++r) {
    const auto& row = form_.rows[r];
    const std::string cells[] = {row.no, row.name, row.value, row.unit};
    for (int c = 0; c < 4; ++c) list_->setItem(static_cast<int>(r), c, new QTableWidgetItem(Q(cells[c])));
    list_->setRowHeight(static_cast<int>(r), 18);
  }
  if (form_.selected >= 0) list_->selectRow(form_.selected);
  v->addWidget(list_);

  auto* h = new QHBoxLayout;
  auto* label = new QLabel("输入：", this);
  input_ = new QLineEdit(Q(form_.input), this);
  input_->setObjectName("LEPickStr");
  label->setBuddy(input_);
  h->addWidget(label);
  h->addWidget(input_, 1);
  v->addLayout(h);

  auto* b = new QHBoxLayout;
  b->addStretch(1);
  ok_ = new QPushButton("&O 确定", this);
  ok_->setObjectName("BPickOK");
  ok_->setDefault(true);
  ok_->setAutoDefault(true);
  cancel_ = new QPushButton("&C 取消", this);
  cancel_->setObjectName("BPickCancel");
  cancel_->setAutoDefault(false);
  b->addWidget(ok_);
  b->addWidget(cancel_);
  v->addLayout(b);

  connect(list_, &QTableWidget::cellClicked, this, [this](int row, int) { RowClicked(row); });
  connect(list_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
    RowClicked(row);
    accept();
  });
  connect(list_, &QTableWidget::currentCellChanged, this, [this](int row, int, int, int) {
    if (row >= 0 && row != form_.selected) RowClicked(row);  // moving with the arrow keys
  });
  connect(input_, &QLineEdit::textEdited, this, [this](const QString& t) { form_.input = U(t); });
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  input_->setFocus();
  input_->selectAll();
  adjustSize();
  setFixedSize(sizeHint());
}

void PickListDialog::RowClicked(int row) {
  form_.ClickRow(row);
  input_->setText(Q(form_.input));
}

std::optional<std::string> PickListDialog::Ask() {
  if (exec() != QDialog::Accepted) return std::nullopt;
  return form_.input;
}

}  // namespace pelmora::gui

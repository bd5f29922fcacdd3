#include "gui/SimpPLDialog.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "fields/Dispatch.h"
#include "gui/QtPort.h"

namespace pelmora::gui {

namespace {

QTableWidget* MakeGrid(QWidget* parent, const std::vector<DataGrid::Column>& cols) {
  auto* t = new QTableWidget(0, static_cast<int>(cols.size()), parent);
  QStringList titles;
  for (const auto& c : cols) titles << Q(c.title);
  t->setHorizontalHeaderLabels(titles);
  for (size_t i = 0; i < cols.size(); ++i) t->setColumnWidth(static_cast<int>(i), cols[i].width);
  t->verticalHeader()->hide();
  t->verticalHeader()->setDefaultSectionSize(ValueGrid::kRowHeight);
  t->verticalHeader()->setMinimumSectionSize(ValueGrid::kRowHeight);
  t->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  t->horizontalHeader()->setFixedHeight(ValueGrid::kRowHeight + 2);
  t->horizontalHeader()->setHighlightSections(false);
  t->setShowGrid(true);
  return t;
}

// A read-only text of the record (its range, sources, note) that wraps over a few lines
// instead of running out of a single-line field; the whole text is also its tooltip.
class WrappedText : public QLabel {
 public:
  WrappedText(ViewContext& ctx, Edit* edit, int lines, QWidget* parent) : QLabel(parent), edit_(edit) {
    setObjectName(Q(edit->Name()));
    setWordWrap(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTextFormat(Qt::PlainText);
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    setContentsMargins(2, 1, 2, 1);
    setFixedHeight(fontMetrics().lineSpacing() * lines + 6);
    ctx.Bind(edit, this);
    Refresh();
    sub_.Reset(edit, [this](pelmora::Component&) { Refresh(); });
  }
  void Refresh() {
    const QString t = Q(edit_->Text());
    if (text() != t) setText(t);
    setToolTip(t);
  }

 private:
  Edit* edit_;
  Subscription sub_;
};

}  // namespace

SimpPLDialog::SimpPLDialog(TFormSimpPL& form, QWidget* parent) : QDialog(parent), form_(form) {
  setObjectName("TFormSimpPL");
  setWindowTitle(Q(TFormSimpPL::kCaption));
  setWindowFlags((windowFlags() | Qt::MSWindowsFixedSizeDialogHint) & ~Qt::WindowContextHelpButtonHint);
  setFont(WindowFont());
  setModal(true);

  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(4, 4, 4, 2);
  auto* row = new QHBoxLayout;
  outer->addLayout(row, 1);

  row->addLayout(BuildLibrary());

  // Right: the two pages.
  pages_ = new QTabWidget(this);
  pages_->setObjectName("PageControlP");
  row->addWidget(pages_, 1);
  pages_->addTab(BuildDataPage(), Q(form_.TStGetP->Caption()));
  pages_->addTab(BuildMaintenancePage(), Q(form_.TSManP->Caption()));
  connect(pages_, &QTabWidget::currentChanged, this, [this](int i) {
    if (filling_) return;
    GroupBox* page = i == 1 ? form_.TSManP : form_.TStGetP;
    if (form_.PageControlP->ActivePage() != page) Run([this, page] { form_.PageControlP->UserSelect(page); });
  });

  status_ = new QLabel(this);
  status_->setObjectName("StatusBar1");
  status_->setFrameShape(QFrame::StyledPanel);
  status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  outer->addWidget(status_);

  libSub_.Reset(form_.DBGrid1, [this](Component&) { RefreshLibrary(); });
  valSub_.Reset(form_.MyValues1, [this](Component&) { RefreshValues(); });
  pageSub_.Reset(form_.PageControlP, [this](Component&) { RefreshForm(); });
  tabSub_.Reset(form_.TSManP, [this](Component&) { RefreshForm(); });
  statusSub_.Reset(form_.StatusBar1, [this](Component&) { status_->setText(Q(form_.StatusBar1->PanelText(0))); });
  formSub_ = form_.Subscribe([this](Form&) { RefreshForm(); });
  form_.closeView = [this] { done(form_.Result() == ModalResult::Ok ? QDialog::Accepted : QDialog::Rejected); };

  RefreshLibrary();
  RefreshValues();
  RefreshForm();
  status_->setText(Q(form_.StatusBar1->PanelText(0)));
}

// Left: the navigator over the library grid.
QLayout* SimpPLDialog::BuildLibrary() {
  auto* left = new QVBoxLayout;
  auto* nav = new QHBoxLayout;
  nav->setSpacing(0);
  for (Button* b : form_.Nav) {
    auto* v = new ButtonView(*this, b, this);
    // Glyph-sized, or as wide as a word caption needs (刷新).
    v->setFixedSize(std::max(24, v->fontMetrics().horizontalAdvance(v->text()) + 10), 22);
    v->setAutoDefault(false);
    v->setFocusPolicy(Qt::NoFocus);
    nav->addWidget(v);
  }
  nav->addStretch(1);
  left->addLayout(nav);
  library_ = MakeGrid(this, form_.DBGrid1->Columns());
  library_->setObjectName("DBGrid1");
  library_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  library_->setSelectionBehavior(QAbstractItemView::SelectRows);
  library_->setSelectionMode(QAbstractItemView::SingleSelection);
  library_->horizontalHeader()->setStretchLastSection(true);
  library_->setFixedWidth(kLibraryWidth);
  left->addWidget(library_, 1);
  Bind(form_.DBGrid1, library_);
  connect(library_, &QTableWidget::currentCellChanged, this, [this](int r, int, int, int) {
    if (filling_ || r < 0 || r == form_.DBGrid1->Current()) return;
    Run([this, r] { form_.DBGrid1->SetCurrent(r); });
  });

  return left;
}

// Page 物性数据: the record, the value grid, the value fields, the buttons and the password.
QWidget* SimpPLDialog::BuildDataPage() {
  auto* data = new QWidget;
  data->setObjectName("TStGetP");
  auto* dg = new QGridLayout(data);
  dg->setVerticalSpacing(3);
  int r = 0;
  // The short texts in single-line fields; the range, the sources and the note wrap.
  const std::pair<Edit*, int> texts[] = {{form_.DBTextNO, 0}, {form_.DBTextCN, 0},    {form_.DBTextEN, 0},
                                         {form_.DBTextFM, 0}, {form_.DBTextRange, 2}, {form_.DBTextSR, 3},
                                         {form_.DBTextNT, 2}};
  for (const auto& [e, lines] : texts) {
    std::string field = e->Name().substr(6);
    auto* caption = new CaptionLabel(*this, form_.FindAs<Label>("DBLabel" + field), data);
    if (lines > 0) caption->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    dg->addWidget(caption, r, 0);
    if (lines > 0)
      dg->addWidget(new WrappedText(*this, e, lines, data), r, 1, 1, 3);
    else
      dg->addWidget(new ValueEdit(*this, e, data), r, 1, 1, 3);
    ++r;
  }
  r = AddValueGrid(data, dg, r);
  dg->addLayout(BuildDataButtons(data), r++, 0, 1, 4);
  dg->setRowStretch(r, 1);
  dg->setColumnStretch(1, 1);
  return data;
}

// The value grid (t, p and formula rows) and the eight value fields below it; returns
// the next free row of `dg`.
int SimpPLDialog::AddValueGrid(QWidget* data, QGridLayout* dg, int r) {
  values_ = MakeGrid(data, form_.MyValues1->Columns());
  values_->setObjectName("MyValues1");
  values_->setSelectionMode(QAbstractItemView::SingleSelection);
  values_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::AnyKeyPressed);
  values_->setFixedHeight(ValueGrid::kRowHeight * 3 + 8);  // title row and t, p; more rows scroll
  values_->installEventFilter(this);
  Bind(form_.MyValues1, values_);
  dg->addWidget(values_, r++, 0, 1, 4);
  connect(values_, &QTableWidget::cellChanged, this, [this](int row, int col) {
    if (filling_) return;
    QTableWidgetItem* it = values_->item(row, col);
    std::string text = it ? U(it->text()) : std::string();
    Run([this, row, col, text] { form_.MyValues1->SetCell(col, row + 1, text); });
  });
  connect(values_, &QTableWidget::currentCellChanged, this, [this](int row, int col, int, int) {
    if (filling_ || row < 0) return;
    Run([this, row, col] { form_.MyValues1->SelectCell(col, row + 1); });
  });
  for (const auto& [field, name] : form_.ValueFields()) {
    std::string stem = field->Name().substr(0, field->Name().size() - 1);
    dg->addWidget(new CaptionLabel(*this, form_.FindAs<Label>(stem + "L"), data), r, 0);
    dg->addWidget(new ValueEdit(*this, field, data), r, 1, 1, 2);
    dg->addWidget(new ChoiceCombo(*this, form_.FindAs<ComboBox>(stem + "U"), data), r, 3);
    ++r;
  }
  return r;
}

// 计算, 确定, 关闭, 维护 and the maintenance password.
QLayout* SimpPLDialog::BuildDataButtons(QWidget* data) {
  auto* buttons = new QHBoxLayout;
  for (Button* b : {form_.BBCal, form_.BBOK, form_.BBCancle, form_.BitBtn1}) {
    auto* v = new ButtonView(*this, b, data);
    v->setAutoDefault(false);
    buttons->addWidget(v);
  }
  password_ = new QLineEdit(data);
  password_->setObjectName("MaskEdit1");
  password_->setEchoMode(QLineEdit::Password);
  password_->setToolTip(Q(form_.MaskEdit1->Hint()));
  password_->setFixedWidth(64);
  Bind(form_.MaskEdit1, password_);
  auto* passwordLabel = new QLabel("口令：", data);
  passwordLabel->setObjectName("MaskEdit1Label");
  passwordLabel->setBuddy(password_);
  passwordLabel->setToolTip(password_->toolTip());
  connect(password_, &QLineEdit::textEdited, this,
          [this](const QString& t) { Run([this, s = U(t)] { form_.MaskEdit1->Type(s); }); });
  maskSub_.Reset(form_.MaskEdit1, [this](Component&) {
    if (form_.MaskEdit1->Typed().empty() && !password_->text().isEmpty()) password_->clear();
  });
  buttons->addSpacing(6);
  buttons->addWidget(passwordLabel);
  buttons->addWidget(password_);
  return buttons;
}

// Page 数据库维护: an edit per library column, 保存系统库 and 关闭; the page scrolls.
QWidget* SimpPLDialog::BuildMaintenancePage() {
  auto* man = new QWidget;
  man->setObjectName("TSManP");
  auto* mg = new QGridLayout(man);
  mg->setVerticalSpacing(3);
  int r = 0;
  for (const auto& [field, e] : form_.DBEdits) {
    mg->addWidget(new CaptionLabel(*this, form_.FindAs<Label>("DBEditL" + field), man), r, 0);
    mg->addWidget(new ValueEdit(*this, e, man), r, 1, 1, 3);
    ++r;
  }
  auto* save = new ButtonView(*this, form_.BBSaveSys, man);
  save->setDefault(true);  // Enter on this page saves
  auto* close = new ButtonView(*this, form_.BBClose, man);
  close->setAutoDefault(false);
  auto* mb = new QHBoxLayout;
  mb->addStretch(1);
  mb->addWidget(save);
  mb->addWidget(close);
  mg->addLayout(mb, r++, 0, 1, 4);
  mg->setRowStretch(r, 1);
  mg->setColumnStretch(1, 1);
  // The record has more columns than the page is high: the page scrolls.
  auto* manScroll = new QScrollArea;
  manScroll->setObjectName("TSManPScroll");
  manScroll->setWidget(man);
  manScroll->setWidgetResizable(true);
  manScroll->setFrameShape(QFrame::NoFrame);
  return manScroll;
}

SimpPLDialog::~SimpPLDialog() {
  form_.Unsubscribe(formSub_);
  form_.closeView = nullptr;
}

bool SimpPLDialog::Run(const std::function<void()>& action) { return Dispatch(form_, action); }

QWidget* SimpPLDialog::WidgetOf(const std::string& name) const {
  auto it = widgets_.find(form_.Find(name));
  return it == widgets_.end() ? nullptr : it->second;
}

void SimpPLDialog::ShowModal() {
  RefreshForm();
  password_->clear();
  pages_->setCurrentIndex(0);
  exec();
}

void SimpPLDialog::reject() {
  Run([this] { form_.CloseQuery(); });
}

void SimpPLDialog::RefreshForm() {
  filling_ = true;
  pages_->setTabVisible(1, form_.TSManP->Visible());
  pages_->setCurrentIndex(form_.PageControlP->ActivePage() == form_.TSManP ? 1 : 0);
  filling_ = false;
  setFixedSize(form_.Width(), TFormSimpPL::kHeight);
}

void SimpPLDialog::RefreshLibrary() {
  filling_ = true;
  const auto& rows = form_.DBGrid1->Rows();
  library_->setRowCount(static_cast<int>(rows.size()));
  for (size_t i = 0; i < rows.size(); ++i)
    for (size_t c = 0; c < rows[i].size() && c < static_cast<size_t>(library_->columnCount()); ++c) {
      auto* it = library_->item(static_cast<int>(i), static_cast<int>(c));
      if (!it) library_->setItem(static_cast<int>(i), static_cast<int>(c), it = new QTableWidgetItem);
      it->setText(Q(rows[i][c]));
    }
  if (form_.DBGrid1->Current() >= 0) library_->selectRow(form_.DBGrid1->Current());
  filling_ = false;
}

void SimpPLDialog::RefreshValues() {
  // While a cell editor is open its own text stands.
  if (QWidget* fw = QApplication::focusWidget(); fw && fw != values_ && values_->isAncestorOf(fw)) return;
  filling_ = true;
  const auto& rows = form_.MyValues1->Rows();
  if (values_->rowCount() != static_cast<int>(rows.size())) values_->setRowCount(static_cast<int>(rows.size()));
  for (size_t i = 0; i < rows.size(); ++i) {
    const int r = static_cast<int>(i);
    if (values_->rowHeight(r) != ValueGrid::kRowHeight) values_->setRowHeight(r, ValueGrid::kRowHeight);
    for (size_t c = 0; c < rows[i].size(); ++c) {
      auto* it = values_->item(r, static_cast<int>(c));
      if (!it) {
        it = new QTableWidgetItem;
        // The name column is fixed: names come with the grid or with a formula's variables.
        if (c == 0) it->setFlags(Qt::ItemIsEnabled);
        values_->setItem(r, static_cast<int>(c), it);
      }
      if (it->text() != Q(rows[i][c])) it->setText(Q(rows[i][c]));
    }
  }
  filling_ = false;
}

bool SimpPLDialog::eventFilter(QObject* o, QEvent* e) {
  if (o == values_ && e->type() == QEvent::KeyPress) {
    auto* k = static_cast<QKeyEvent*>(e);
    if (k->key() == Qt::Key_Down && values_->currentRow() == values_->rowCount() - 1) {
      Run([this] { form_.MyValues1->KeyDown(TMyValues::Key::Down); });
      return false;
    }
  }
  return QDialog::eventFilter(o, e);
}

// The port's showing of a core form: the property dialog, made on its first showing.
void QtPort::ShowForm(Form& form) {
  auto* simp = dynamic_cast<TFormSimpPL*>(&form);
  if (!simp) return;
  if (!simp_) {
    simp_ = new SimpPLDialog(*simp, parent_);
    QObject::connect(simp_, &QObject::destroyed, [this] { simp_ = nullptr; });
  }
  simp_->ShowModal();
}

}  // namespace pelmora::gui

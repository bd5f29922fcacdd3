// The five pages of the calculation window and the widgets of their components, laid
// out as the window description says (fields/Layout.h). The page "计算" is dense: each
// group box is a compact grid of cells "label | field | unit | button", filled row by
// row in the core's creation order, so that Enter walks through a group left to right
// and top to bottom.
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QTabWidget>
#include <QToolButton>
#include <algorithm>

#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>
#include "gui/ColorLegend.h"

#include <map>
#include <variant>

#include <QListWidget>
#include "fields/Properties.h"
#include "gui/ChecksView.h"
#include "gui/CrossCheckView.h"
#include "gui/Icons.h"
#include "gui/MainWindow.h"
#include "gui/MyStatusBar.h"
#include "gui/PipesView.h"

namespace pelmora::gui {

namespace {
constexpr int kRowHeight = 20;
constexpr int kLabelWidth = 72;
constexpr int kFieldWidth = 78;
constexpr int kUnitWidth = 70;
constexpr int kButtonSize = 18;

QVariant ToVariant(const PropValue& v) {
  return std::visit(
      [](const auto& x) -> QVariant {
        using T = std::decay_t<decltype(x)>;
        if constexpr (std::is_same_v<T, bool>)
          return x;
        else if constexpr (std::is_same_v<T, long long>)
          return QVariant::fromValue(x);
        else if constexpr (std::is_same_v<T, double>)
          return x;
        else if constexpr (std::is_same_v<T, std::string>)
          return Q(x);
        else if constexpr (std::is_same_v<T, std::vector<std::string>>) {
          QStringList l;
          for (const auto& s : x) l << Q(s);
          return l;
        } else {
          QStringList l;
          for (const auto& item : x) l << Q(item.text);
          return l;
        }
      },
      v);
}
}  // namespace

// The widget of a component is the one its kind's description names. Every property of
// the description is mirrored on the widget as a Qt dynamic property of the same name.
QWidget* MainWindow::Make(Component* c, QWidget* parent) {
  if (!c) return nullptr;
  using Factory = QWidget* (*)(MainWindow&, Component*, QWidget*);
  static const std::map<std::string, Factory, std::less<>> views = {
      {"CaptionLabel",
       [](MainWindow& w, Component* c, QWidget* p) -> QWidget* {
         return new CaptionLabel(w, static_cast<Label*>(c), p);
       }},
      {"ValueEdit",
       [](MainWindow& w, Component* c, QWidget* p) -> QWidget* { return new ValueEdit(w, static_cast<Edit*>(c), p); }},
      {"ChoiceCombo",
       [](MainWindow& w, Component* c, QWidget* p) -> QWidget* {
         return new ChoiceCombo(w, static_cast<ComboBox*>(c), p);
       }},
      {"RadioGroupView",
       [](MainWindow& w, Component* c, QWidget* p) -> QWidget* {
         return new RadioGroupView(w, static_cast<RadioGroup*>(c), p);
       }},
      {"RichTextView",
       [](MainWindow& w, Component* c, QWidget* p) -> QWidget* {
         return new RichTextView(w, static_cast<RichEdit*>(c), p);
       }},
      {"ButtonView",
       [](MainWindow& w, Component* c, QWidget* p) -> QWidget* {
         return new ButtonView(w, static_cast<SpeedButton*>(c), p);
       }},
      {"SpeedButtonView",
       [](MainWindow& w, Component* c, QWidget* p) -> QWidget* {
         auto* b = new SpeedButtonView(w, static_cast<SpeedButton*>(c), p);
         b->setIcon(ToolGlyph(c->Name()));
         b->setIconSize(QSize(14, 14));
         b->setFixedSize(kButtonSize, kButtonSize);
         return b;
       }},
      {"GroupView",
       [](MainWindow& w, Component* c, QWidget* p) -> QWidget* {
         return new GroupView(w, static_cast<GroupBox*>(c), p);
       }},
      {"PaintBoxView",
       [](MainWindow& w, Component* c, QWidget* p) -> QWidget* {
         return new PaintBoxView(w, static_cast<PaintBox*>(c), p);
       }},
      {"StatusBar",
       [](MainWindow& w, Component* c, QWidget* p) -> QWidget* {
         return w.statusBar_ = new TMyStatusBar(w, static_cast<StatusBar*>(c), p);
       }},
  };
  const KindInfo& kind = Describe(c->GetKind());
  auto view = views.find(kind.view);
  if (view == views.end()) return nullptr;
  QWidget* w = view->second(*this, c, parent);
  auto mirror = [w, &kind](pelmora::Component& comp) {
    for (const Property& p : kind.properties) w->setProperty(p.name.c_str(), ToVariant(p.get(comp)));
  };
  mirror(*c);
  subs_.push_back(std::make_unique<Subscription>());
  subs_.back()->Reset(c, mirror);
  return w;
}

// Cells of a group box grid; `columns` cells side by side.
class CellGrid {
 public:
  CellGrid(MainWindow& win, QWidget* box, int columns) : win_(win), box_(box), columns_(columns) {
    grid_ = new QGridLayout(box);
    grid_->setContentsMargins(3, 2, 2, 3);
    grid_->setHorizontalSpacing(2);
    grid_->setVerticalSpacing(3);
    for (int c = 0; c < columns; ++c) {
      grid_->setColumnMinimumWidth(c * 5 + 0, kLabelWidth);
      if (c + 1 < columns) grid_->setColumnMinimumWidth(c * 5 + 4, 4);
    }
  }

  // A cell of the description, in its shape.
  void Place(const LayoutCell& cell) {
    using Shape = LayoutCell::Shape;
    switch (cell.shape) {
      case Shape::Quantity: Qty(cell); break;
      case Shape::Wide: Wide(cell); break;
      case Shape::Row: Row(cell.caption, win_.Make(cell.control, box_), 40); break;
      case Shape::Whole:
      case Shape::Other: Cell(win_.Make(cell.control, box_)); break;
      case Shape::Group: break;  // groups hold either groups or cells
    }
  }
  // A group shorter than the one beside it keeps its rows at the top.
  void Close() { grid_->setRowStretch((index_ + columns_ - 1) / columns_, 1); }

 private:
  // A quantity: caption, value field, unit selector and an optional speed button.
  void Qty(const LayoutCell& cell) {
    auto [row, col] = Next();
    Put(cell.caption, row, col, 1, Qt::AlignLeft | Qt::AlignVCenter);
    QWidget* e = win_.Make(cell.control, box_);
    e->setFixedSize(kFieldWidth, kRowHeight);
    grid_->addWidget(e, row, col + 1);
    if (cell.unit) {
      QWidget* u = win_.Make(cell.unit, box_);
      u->setFixedSize(kUnitWidth, kRowHeight);
      grid_->addWidget(u, row, col + 2);
    }
    if (cell.button) Button(cell.button, row, col);
  }
  // A caption and a choice list or plain edit across the field and unit columns.
  void Wide(const LayoutCell& cell) {
    auto [row, col] = Next();
    Put(cell.caption, row, col, 1, Qt::AlignLeft | Qt::AlignVCenter);
    QWidget* w = win_.Make(cell.control, box_);
    w->setFixedHeight(kRowHeight);
    w->setFixedWidth(kFieldWidth + kUnitWidth + 2);
    grid_->addWidget(w, row, col + 1, 1, 2);
    if (cell.button) Button(cell.button, row, col);
  }
  // A widget over one whole cell.
  void Cell(QWidget* w) {
    if (!w) return;
    auto [row, col] = Next();
    grid_->addWidget(w, row, col, 1, 4);
  }
  // A caption and a widget over the rest of a new row.
  void Row(Component* caption, QWidget* w, int height) {
    if (index_ % columns_) index_ += columns_ - index_ % columns_;
    int row = index_ / columns_;
    Put(caption, row, 0, 1, Qt::AlignLeft | Qt::AlignTop);
    w->setFixedHeight(height);
    grid_->addWidget(w, row, 1, 1, columns_ * 5 - 2);
    index_ += columns_;
  }
  void Button(Component* button, int row, int col) {
    QWidget* b = win_.Make(button, box_);
    grid_->addWidget(b, row, col + 3, Qt::AlignLeft | Qt::AlignVCenter);
  }
  std::pair<int, int> Next() {
    int i = index_++;
    return {i / columns_, (i % columns_) * 5};
  }
  void Put(Component* c, int row, int col, int span, Qt::Alignment a) {
    QWidget* w = win_.Make(c, box_);
    if (!w) return;
    w->setFixedHeight(kRowHeight);
    grid_->addWidget(w, row, col, 1, span, a);
  }
  MainWindow& win_;
  QWidget* box_;
  QGridLayout* grid_;
  int columns_;
  int index_ = 0;
};

// A group of the description: a grid of its cells, or its inner groups one under the
// other (all of them made before any is filled).
QWidget* MainWindow::MakeGroup(Component* group, QWidget* parent) {
  const WindowLayout& layout = Form().Layout();
  QWidget* box = Make(group, parent);
  const std::vector<LayoutCell> cells = layout.Cells(Form(), group);
  const bool nested =
      std::any_of(cells.begin(), cells.end(), [](const LayoutCell& c) { return c.shape == LayoutCell::Shape::Group; });
  if (!nested) {
    CellGrid grid(*this, box, layout.ColumnsOf(As<GroupBox>(group)));
    for (const LayoutCell& cell : cells) grid.Place(cell);
    grid.Close();
    return box;
  }
  auto* v = new QVBoxLayout(box);
  v->setContentsMargins(2, 2, 2, 2);
  v->setSpacing(2);
  std::vector<std::pair<Component*, QWidget*>> inner;
  for (const LayoutCell& cell : cells)
    if (cell.shape == LayoutCell::Shape::Group) {
      inner.emplace_back(cell.control, Make(cell.control, box));
      v->addWidget(inner.back().second);
    }
  v->addStretch(1);
  for (auto [g, w] : inner) FillGroup(g, w);
  return box;
}

// The cells of a group made already.
void MainWindow::FillGroup(Component* group, QWidget* box) {
  const WindowLayout& layout = Form().Layout();
  CellGrid grid(*this, box, layout.ColumnsOf(As<GroupBox>(group)));
  for (const LayoutCell& cell : layout.Cells(Form(), group)) grid.Place(cell);
  grid.Close();
}

// Groups side by side, as many a row as the page says; under them the colour legend and
// the checks, then the page's other controls (the status bar).
void MainWindow::BuildGroupsPage(GroupBox* sheet, QWidget* page) {
  const WindowLayout& layout = Form().Layout();
  auto* v = new QVBoxLayout(page);
  v->setContentsMargins(2, 2, 2, 0);
  v->setSpacing(3);
  const int perRow = layout.ColumnsOf(sheet);
  QHBoxLayout* row = nullptr;
  int inRow = 0;
  std::vector<Component*> others;
  for (const LayoutCell& cell : layout.Cells(Form(), sheet)) {
    if (cell.shape != LayoutCell::Shape::Group) {
      others.push_back(cell.control);
      continue;
    }
    if (!row || inRow == perRow) {
      row = new QHBoxLayout;
      row->setSpacing(4);
      v->addLayout(row);
      inRow = 0;
    }
    row->addWidget(MakeGroup(cell.control, page));
    ++inRow;
  }
  v->addStretch(1);
  // The colour legend and, at the right of the same row, the checks bar; the checks
  // list opens over the foot of the page (ChecksView), so the page keeps its layout.
  auto* foot = new QHBoxLayout;
  foot->setSpacing(4);
  foot->addWidget(MakeColorLegend(page), 1);
  checksView_ = new ChecksView(*this, page);
  foot->addWidget(checksView_, 0, Qt::AlignRight | Qt::AlignVCenter);
  v->addLayout(foot);
  // The bar opens the tabs 计算检查 and 方法校核 over the foot of the page.
  checksView_->SetPanel(CrossCheckView::MakeTabs(*this, page, *checksView_, crossCheckView_));
  app_.calc.checksChanged = app_.calc.crossCheckChanged = [this] {
    checksView_->Refresh();
    crossCheckView_->Refresh();
  };
  for (Component* c : others) {
    QWidget* w = Make(c, page);
    if (!w) continue;
    w->setFixedHeight(20);
    v->addWidget(w);
  }
}

// A caption and a plain edit a row.
void MainWindow::BuildFieldsPage(GroupBox* sheet, QWidget* page) {
  auto* grid = new QGridLayout(page);
  grid->setContentsMargins(24, 24, 24, 24);
  grid->setHorizontalSpacing(8);
  grid->setVerticalSpacing(10);
  int row = 0;
  for (const LayoutCell& cell : Form().Layout().Cells(Form(), sheet)) {
    grid->addWidget(Make(cell.caption, page), row, 0);
    QWidget* e = Make(cell.control, page);
    e->setFixedWidth(520);
    e->setFont(WindowFont());
    grid->addWidget(e, row, 1, Qt::AlignLeft);
    ++row;
  }
  grid->setRowStretch(row, 1);
  grid->setColumnStretch(2, 1);
}

void MainWindow::BuildPipesPage(QWidget* page) {
  auto& f = Form();
  auto* v = new QVBoxLayout(page);
  // The grid and navigator over the tube series, the user's own sizes below.
  auto* table = new DataGridView(*this, f.DBGPiples, page);
  Bind(f.DBGPiples, table);
  auto* nav = new NavigatorView(*this, f.DBGPiples, page);
  nav->setObjectName("DBNPiples");
  Bind(f.DBNPiples, nav);
  v->addWidget(table, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(nav);
  buttons->addStretch(1);
  buttons->addWidget(Make(f.Button3, page));
  buttons->addWidget(Make(f.Button2, page));
  v->addLayout(buttons);
  if (Component* add = f.Find("BPipeAdd")) {
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel("自定规格：", page));
    row->addWidget(Make(add, page));
    row->addWidget(Make(f.Find("BPipeDel"), page));
    row->addStretch(1);
    v->addLayout(row);
  }
}

// Each group starts a column; the controls after a group stand under it, at its left.
void MainWindow::BuildColumnsPage(GroupBox* sheet, QWidget* page) {
  auto* h = new QHBoxLayout(page);
  h->setContentsMargins(8, 8, 8, 8);
  QVBoxLayout* column = nullptr;
  auto close = [&] {
    if (!column) return;
    column->addStretch(1);
    h->addLayout(column);
  };
  for (const LayoutCell& cell : Form().Layout().Cells(Form(), sheet)) {
    if (cell.shape == LayoutCell::Shape::Group) {
      close();
      column = new QVBoxLayout;
      column->addWidget(MakeGroup(cell.control, page));
    } else if (QWidget* w = Make(cell.control, page); w && column) {
      column->addWidget(w, 0, Qt::AlignLeft);
    }
  }
  close();
  h->addStretch(1);
}

void MainWindow::BuildReportPage(QWidget* page) {
  auto& f = Form();
  auto* h = new QHBoxLayout(page);
  h->setContentsMargins(3, 3, 3, 3);
  // The report text and the chart side by side; the divider moves.
  auto* split = new QSplitter(Qt::Horizontal, page);
  split->setObjectName("ReportSplitter");
  split->setChildrenCollapsible(false);
  h->addWidget(split);

  auto* left = new QWidget(split);
  auto* lv = new QVBoxLayout(left);
  lv->setContentsMargins(0, 0, 0, 0);
  QWidget* report = Make(f.RichEditReport, left);
  lv->addWidget(report, 1);
  auto textButton = [](QWidget* w) {
    auto* b = qobject_cast<QToolButton*>(w);
    if (!b) return b;
    b->setAutoRaise(false);  // a plain button, not a flat tool-bar one
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    b->setFixedSize(b->sizeHint().width() + 16, 24);
    return b;
  };
  if (auto* pdf = textButton(Make(f.FindAs<SpeedButton>("SBRPdf"), left))) lv->addWidget(pdf, 0, Qt::AlignLeft);

  auto* right = new QWidget(split);
  auto* rv = new QVBoxLayout(right);
  rv->setContentsMargins(0, 0, 0, 0);
  auto* chart = static_cast<PaintBoxView*>(Make(f.PaintBox1, right));
  chart->setMinimumSize(320, 240);
  // Without a curve the box says how one is made, instead of standing blank.
  chart->emptyText = [this] {
    if (!app_.curve.Applies()) return QString(Curve::kPrepareMode);
    return QString(
        "尚无时间温度曲线。\n\n设计完成后按工具栏的“时间温度曲线”计算，曲线画在这里。\n"
        "管程质量流量由热平衡求出时（例如按出口温度设计），先按下面的“准备绘制曲线”：流量改为输入，"
        "出口温度改由热平衡求出。");
  };
  rv->addWidget(chart, 1);
  auto* under = new QHBoxLayout;
  QWidget* legend = Make(f.RGLGDY, right);
  legend->setFixedHeight(40);
  under->addWidget(legend, 1);
  if (auto* prep = textButton(Make(f.FindAs<SpeedButton>("SBPrepCurve"), right)))
    under->addWidget(prep, 0, Qt::AlignRight | Qt::AlignVCenter);
  rv->addLayout(under);

  // The text as wide as the report's rows of figures (caption, value, unit: some 72
  // columns of the report font), the chart the rest, which leaves its time axis room
  // for its labels at 1024 pixels.
  QFont reportFont(Q(f.RichEditReport->defaultFont.fontName));
  reportFont.setPointSizeF(f.RichEditReport->defaultFont.pointSize);
  const int line = QFontMetrics(reportFont).horizontalAdvance(QString(72, u'0')) + 40;
  split->setStretchFactor(0, 1);
  split->setStretchFactor(1, 1);
  split->setSizes({line, std::max(420, kWidth - line)});
}

void MainWindow::BuildPages() {
  auto& f = Form();
  pages_ = new QTabWidget(this);
  pages_->setObjectName("PageControl1");
  pages_->setFont(WindowFont());
  Bind(f.PageControl1, pages_);
  // Each page is bound to its sheet at once; its contents are built into it when the
  // page is first needed (EnsurePage), all of them before the window is complete.
  const auto& sheets = f.PageControl1->Pages();
  const size_t count = std::min<size_t>(sheets.size(), 5);
  pageBuilt_.assign(count, false);
  for (size_t i = 0; i < count; ++i) {
    auto* page = new QWidget;
    page->setObjectName(Q(sheets[i]->Name()));
    Bind(sheets[i], page);
    pages_->addTab(page, Q(sheets[i]->Caption()));
  }
  // The page 计算 carries the status bar and the checks: always there.
  if (count > 1) EnsurePage(1);
  setCentralWidget(pages_);
  connect(pages_, &QTabWidget::currentChanged, this, [this](int i) {
    if (i >= 0) EnsurePage(static_cast<size_t>(i));
    if (syncingPage_) return;
    const auto& sheets = Form().PageControl1->Pages();
    if (i < 0 || i >= static_cast<int>(sheets.size())) return;
    GroupBox* page = sheets[static_cast<size_t>(i)];
    Run([this, page] { Form().PageControl1->UserSelect(page); });
  });
  subs_.push_back(std::make_unique<Subscription>());
  subs_.back()->Reset(f.PageControl1, [this](pelmora::Component&) { SyncPage(); });
  SyncPage();
}

void MainWindow::EnsurePage(size_t i) {
  if (i >= pageBuilt_.size() || pageBuilt_[i]) return;
  pageBuilt_[i] = true;
  QWidget* page = pages_->widget(static_cast<int>(i));
  GroupBox* sheet = Form().PageControl1->Pages()[i];
  switch (Form().Layout().PageOf(sheet)) {
    case PageKind::Fields: BuildFieldsPage(sheet, page); break;
    case PageKind::Groups: BuildGroupsPage(sheet, page); break;
    case PageKind::Pipes: BuildPipesPage(page); break;
    case PageKind::Columns: BuildColumnsPage(sheet, page); break;
    case PageKind::Report: BuildReportPage(page); break;
  }
  // Children added to a widget already shown are not shown with it.
  if (page->isVisible())
    for (QWidget* child : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      if (!child->isHidden() || !child->testAttribute(Qt::WA_WState_ExplicitShowHide)) child->show();
}

void MainWindow::SyncPage() {
  const auto& sheets = Form().PageControl1->Pages();
  for (size_t i = 0; i < sheets.size(); ++i)
    if (sheets[i] == Form().PageControl1->ActivePage() && pages_->currentIndex() != static_cast<int>(i)) {
      syncingPage_ = true;
      pages_->setCurrentIndex(static_cast<int>(i));
      syncingPage_ = false;
    }
}

}  // namespace pelmora::gui

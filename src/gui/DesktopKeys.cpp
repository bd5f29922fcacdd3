#include "gui/DesktopKeys.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QTableView>
#include <QTextEdit>
#include <QTreeView>
#include <map>
#include <set>

#include "gui/ChartMenu.h"
#include "gui/ChecksView.h"
#include "gui/MainWindow.h"
#include "gui/Widgets.h"

namespace pelmora::gui {

QList<QKeySequence> ShortcutsOf(const std::vector<std::string>& keys) {
  QList<QKeySequence> out;
  for (const std::string& k : keys)
    out << QKeySequence::fromString(QString::fromStdString(k), QKeySequence::PortableText);
  return out;
}

void ApplyShortcuts(QAction* action, const std::vector<std::string>& keys) {
  const QList<QKeySequence> shortcuts = ShortcutsOf(keys);
  if (shortcuts.isEmpty()) return;
  action->setShortcuts(shortcuts);
  action->setShortcutContext(Qt::WindowShortcut);
}

// ---------------------------------------------------------------- copying tables

namespace {

constexpr const char* kCopyRowsName = "pelmoraCopyRows";

class CopyRowsHolder : public QObject {
 public:
  CopyRowsHolder(QObject* parent, CopyRows rows) : QObject(parent), rows(std::move(rows)) {
    setObjectName(kCopyRowsName);
  }
  CopyRows rows;
};

QString CellText(const QAbstractItemModel& model, const QModelIndex& index) {
  return model.data(index, Qt::DisplayRole).toString();
}

QAbstractItemView* ItemViewOf(QObject* watched) {
  auto* w = qobject_cast<QWidget*>(watched);
  for (int depth = 0; w && depth < 2; ++depth, w = w->parentWidget())
    if (auto* v = qobject_cast<QAbstractItemView*>(w)) return v;
  return nullptr;
}

}  // namespace

void SetCopyRows(QAbstractItemView* view, CopyRows rows) {
  delete view->findChild<QObject*>(kCopyRowsName, Qt::FindDirectChildrenOnly);
  new CopyRowsHolder(view, std::move(rows));
}

TextTable SelectionTable(const QAbstractItemView& view) {
  const QAbstractItemModel* model = view.model();
  if (!model) return {};
  std::set<int> rows, columns;
  // A grid that selects one cell or row at a time (the tube series, the property
  // dialog's values) gives its current row, every column of it.
  const bool single = view.selectionMode() == QAbstractItemView::SingleSelection ||
                      view.selectionMode() == QAbstractItemView::NoSelection;
  if (single && view.currentIndex().isValid()) {
    rows.insert(view.currentIndex().row());
    for (int c = 0; c < model->columnCount(); ++c) columns.insert(c);
  } else if (view.selectionModel()) {
    for (const QModelIndex& i : view.selectionModel()->selectedIndexes()) {
      rows.insert(i.row());
      columns.insert(i.column());
    }
  }
  if (rows.empty()) {
    for (int r = 0; r < model->rowCount(); ++r) rows.insert(r);
    for (int c = 0; c < model->columnCount(); ++c) columns.insert(c);
  }
  if (auto* holder =
          dynamic_cast<CopyRowsHolder*>(view.findChild<QObject*>(kCopyRowsName, Qt::FindDirectChildrenOnly))) {
    QModelIndexList whole;
    for (int r : rows) whole << model->index(r, 0);
    return holder->rows(whole);
  }
  // Columns hidden in the view are not copied.
  const auto* table = qobject_cast<const QTableView*>(&view);
  std::erase_if(columns, [table](int c) { return table && table->isColumnHidden(c); });
  TextTable out;
  std::vector<std::string> header;
  // A list has no column titles: its one column is named after what the list holds.
  const bool titled = table || qobject_cast<const QTreeView*>(&view);
  for (int c : columns)
    header.push_back(titled ? U(model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString())
                            : (view.accessibleName().isEmpty() ? std::string("内容") : U(view.accessibleName())));
  out.push_back(std::move(header));
  for (int r : rows) {
    std::vector<std::string> line;
    for (int c : columns) line.push_back(U(CellText(*model, model->index(r, c))));
    out.push_back(std::move(line));
  }
  return out;
}

// ---------------------------------------------------------------- the window's parts

void AttachDesktopParts(MainWindow& window) {
  PelmoraApp& app = window.App();
  if (QWidget* curve = window.WidgetOf("PaintBox1"); curve && !ChartMenuOf(curve)) {
    ChartSource source;
    source.name = "时间温度曲线";
    source.available = [&app] { return app.curve.data.Intervals() >= 1; };
    source.draw = [&app](chart::Canvas& canvas) { app.curve.Draw(canvas); };
    AttachChartMenu(curve, app.form.Port(), std::move(source));
  }
  if (ChecksView* checks = window.Checks(); checks && checks->List()) {
    // Several checks can be selected (Shift, Ctrl, Ctrl+A) to be copied together.
    checks->List()->setSelectionMode(QAbstractItemView::ExtendedSelection);
    SetCopyRows(checks->List(), [&app](const QModelIndexList& rows) {
      std::vector<DesignCheck> chosen;
      for (const QModelIndex& i : rows)
        if (i.row() >= 0 && static_cast<size_t>(i.row()) < app.calc.checks.size())
          chosen.push_back(app.calc.checks[static_cast<size_t>(i.row())]);
      return ChecksTable(app.form, chosen);
    });
  }
}

// ---------------------------------------------------------------- the filter

DesktopKeys::DesktopKeys(MainWindow& window) : QObject(&window), window_(window) { qApp->installEventFilter(this); }

bool DesktopKeys::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() != QEvent::ShortcutOverride && e->type() != QEvent::KeyPress) return false;
  auto* k = static_cast<QKeyEvent*>(e);
  if (e->type() == QEvent::KeyPress && k->matches(QKeySequence::Copy)) {
    // The key reaches the view (or its viewport) when the view has the focus; an editor
    // inside a cell copies its own text.
    QAbstractItemView* view = ItemViewOf(watched);
    if (!view) return false;
    QApplication::clipboard()->setText(Q(TabSeparated(SelectionTable(*view))));
    return true;
  }
  auto* target = qobject_cast<QWidget*>(watched);
  if (!target || target->window() != &window_ || target != QApplication::focusWidget()) return false;
  const QKeyCombination key = k->keyCombination();
  const QKeyCombination undo(Qt::CTRL, Qt::Key_Z), redo(Qt::CTRL, Qt::Key_Y), redo2(Qt::CTRL | Qt::SHIFT, Qt::Key_Z);
  // A field's own undo would take back single keystrokes of its text only; the window's
  // history takes back the whole step, results and all. Not accepted as an override, the
  // key goes to the menu's shortcut; with nothing to undo it goes nowhere.
  if ((key == undo || key == redo || key == redo2) &&
      (qobject_cast<QLineEdit*>(target) || qobject_cast<QTextEdit*>(target) ||
       qobject_cast<QTextEdit*>(target->parentWidget())))
    return true;
  if (e->type() != QEvent::ShortcutOverride) return false;
  // F1 in a control with a key handler is help on that control, not the manual's start.
  if (key == QKeyCombination(Qt::Key_F1)) {
    Component* c = window_.ComponentOf(target);
    if (c && c->OnKeyDown) {
      e->accept();
      return true;
    }
  }
  return false;
}

}  // namespace pelmora::gui

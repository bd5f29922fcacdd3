#pragma once
// The keys a desktop program is expected to have. The menu items carry the shortcuts of
// their commands (Ctrl+N, Ctrl+O, Ctrl+S, Ctrl+Shift+S, Ctrl+P, Ctrl+Z, Ctrl+Y, F9, F1; the
// core's command table holds them), shown beside
// their captions; undo and redo reach the window's history also from inside a field,
// whose own editing would otherwise take the keys; F1 in a field or list stays help on
// that control. Ctrl+C on a table or list of the program copies the selection as
// tab-separated text with a header row, which a spreadsheet pastes into cells.
#include <QKeySequence>
#include <QModelIndexList>
#include <QObject>
#include <functional>
#include <string>
#include <vector>

#include "app/TableText.h"

class QAbstractItemView;
class QAction;

namespace pelmora::gui {

class MainWindow;

// The shortcuts of a command, from the keys of the core's command table ("Ctrl+N").
QList<QKeySequence> ShortcutsOf(const std::vector<std::string>& keys);
// Gives the action of a menu item its shortcuts.
void ApplyShortcuts(QAction* action, const std::vector<std::string>& keys);

// The selection of a table or list as rows: the header row (the column titles of the
// selected columns), then the selected rows, in view order. Without a selection the
// whole table. A view may say how its rows are made instead (SetCopyRows).
TextTable SelectionTable(const QAbstractItemView& view);
using CopyRows = std::function<TextTable(const QModelIndexList& selectedRows)>;
void SetCopyRows(QAbstractItemView* view, CopyRows rows);

// Once the window is complete: the chart menu of the time–temperature curve, and the
// checks list copied as 级别 / 位置 / 检查.
void AttachDesktopParts(MainWindow& window);

// Installed on the application by the calculation window.
class DesktopKeys : public QObject {
 public:
  explicit DesktopKeys(MainWindow& window);

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  MainWindow& window_;
};

}  // namespace pelmora::gui

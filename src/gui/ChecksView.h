#pragma once
// The design checks of the last run in the window: a compact bar at the foot of the
// page 计算 whose button opens the list, and a small sign on every field a check names
// (its tooltip the check's text).
#include <QToolButton>
#include <map>

class QListWidget;

namespace pelmora::gui {

class MainWindow;

// The bar is the button itself. The list opens over the foot of the page, above the
// bar, so that the page keeps its layout and the window its size; Esc or the button
// closes it.
class ChecksView : public QToolButton {
 public:
  ChecksView(MainWindow& window, QWidget* page);
  void Refresh();
  QToolButton* Button() { return this; }
  QListWidget* List() const { return list_; }
  // What the button opens over the page: the list itself, or a widget that holds it
  // (the tabs beside the method check).
  void SetPanel(QWidget* panel);
  QWidget* Panel() const { return panel_; }
  // The sign shown on a field's widget, or null when it has none.
  QWidget* SignOf(const std::string& field) const;

  // What the bar says when the last run left no checks: after a completed run, a
  // stopped one, or before the first.
  static constexpr const char* kNone = "计算检查：无";
  static constexpr const char* kUnfinished = "计算检查：未完成";
  // The command a check may offer; activating its row runs it.
  static constexpr const char* kUpdateProps = "更新物性";

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void PlaceList();
  MainWindow& window_;
  QWidget* page_;
  QListWidget* list_;
  QWidget* panel_;
  std::map<std::string, QWidget*> signs_;
};

}  // namespace pelmora::gui

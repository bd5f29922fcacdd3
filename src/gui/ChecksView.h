#pragma once
// The design checks of the last run in the window: a compact bar at the foot of the
// page 计算 whose button opens the list, and a small sign on every field a check names
// (its tooltip the check's text).
#include <QToolButton>
#include <map>

class QLabel;
class QListWidget;

namespace pelmora::gui {

class MainWindow;

// The bar is the button itself; the list is a sibling in `parent` that the button shows
// and hides (the page lays both out).
class ChecksView : public QToolButton {
 public:
  ChecksView(MainWindow& window, QWidget* parent);
  void Refresh();
  QToolButton* Button() { return this; }
  QListWidget* List() const { return list_; }
  // The sign shown on a field's widget, or null when it has none.
  QLabel* SignOf(const std::string& field) const;

 private:
  MainWindow& window_;
  QListWidget* list_;
  std::map<std::string, QLabel*> signs_;
};

}  // namespace pelmora::gui

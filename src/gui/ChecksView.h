#pragma once
// The design checks of the last run in the window: a compact bar at the foot of the
// page 计算 whose button opens the list, and a small sign on every field a check names
// (its tooltip the check's text).
#include <QWidget>
#include <map>

class QLabel;
class QListWidget;
class QToolButton;

namespace pelmora::gui {

class MainWindow;

class ChecksView : public QWidget {
 public:
  ChecksView(MainWindow& window, QWidget* parent = nullptr);
  void Refresh();
  QToolButton* Button() const { return button_; }
  QListWidget* List() const { return list_; }
  // The sign shown on a field's widget, or null when it has none.
  QLabel* SignOf(const std::string& field) const;

 private:
  MainWindow& window_;
  QToolButton* button_;
  QListWidget* list_;
  std::map<std::string, QLabel*> signs_;
};

}  // namespace pelmora::gui

#pragma once
// The property dialog "简易物性数据库" on Qt: a view of TFormSimpPL. The record navigator
// and the library grid on the left, the pages "物性数据" and "数据库维护" on the right,
// the status bar below. Every user action goes into the core form; the widgets redraw
// from it.
#include <QDialog>
#include <map>

#include "gui/Widgets.h"
#include "simp/FormSimpPL.h"

class QGridLayout;
class QLabel;
class QLayout;
class QLineEdit;
class QTabWidget;
class QTableWidget;

namespace pelmora::gui {

class SimpPLDialog : public QDialog, public ViewContext {
  Q_OBJECT

 public:
  SimpPLDialog(TFormSimpPL& form, QWidget* parent = nullptr);
  ~SimpPLDialog() override;

  bool Run(const std::function<void()>& action) override;
  bool RunPaint(const std::function<void()>& action) override { return Run(action); }
  void Bind(Component* c, QWidget* w) override { widgets_[c] = w; }
  QWidget* WidgetOf(const std::string& name) const;
  // Runs the dialog modally (the form was prepared by SBP1Click).
  void ShowModal();

  QTableWidget* LibraryGrid() const { return library_; }
  QTableWidget* ValuesGrid() const { return values_; }
  QTabWidget* Pages() const { return pages_; }
  QLineEdit* Password() const { return password_; }
  // The library grid: number, name and temperature range side by side, and its scroll bar.
  static constexpr int kLibraryWidth = 300;

 protected:
  void reject() override;  // Esc and the close box: as 关闭
  bool eventFilter(QObject* o, QEvent* e) override;

 private:
  // The parts of the dialog, built once by the constructor.
  QLayout* BuildLibrary();
  QWidget* BuildDataPage();
  int AddValueGrid(QWidget* data, QGridLayout* dg, int r);
  QLayout* BuildDataButtons(QWidget* data);
  QWidget* BuildMaintenancePage();
  void RefreshForm();
  void RefreshLibrary();
  void RefreshValues();
  TFormSimpPL& form_;
  std::map<Component*, QWidget*> widgets_;
  QTableWidget* library_ = nullptr;
  QTableWidget* values_ = nullptr;
  QTabWidget* pages_ = nullptr;
  QLineEdit* password_ = nullptr;
  QLabel* status_ = nullptr;
  bool filling_ = false;
  Subscription libSub_, valSub_, maskSub_, pageSub_, statusSub_, tabSub_;
  int formSub_ = 0;
};

}  // namespace pelmora::gui

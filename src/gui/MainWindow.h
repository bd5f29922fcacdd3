#pragma once
// The calculation window on Qt: the view of the core's TFormPelmora inside a PelmoraApp,
// with its menu, tool bar, five pages and status bar. Every user event goes through
// PelmoraApp::Run; every component change redraws its widget.
#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/PelmoraApp.h"
#include "gui/Widgets.h"

class QGridLayout;
class QMenu;
class QTabWidget;
class QToolBar;
class QAction;

namespace pelmora::gui {

class QtPort;
class TMyStatusBar;
class ChecksView;
class CrossCheckView;

class MainWindow : public QMainWindow, public ViewContext {
  Q_OBJECT

 public:
  // How much is built before the window is first shown.
  enum class Build {
    Whole,      // every page and menu at once (tests, dialogs that need them all)
    FirstPaint  // the menu bar, tool bar and the page shown; the rest once the window
                // has been painted, or earlier when a user or the core reaches it
  };
  // `port` is the Qt port when the window runs for a person (it then parents the
  // dialogs and defers boxes raised while painting); tests pass null.
  MainWindow(PelmoraApp& app, QtPort* port, QWidget* parent = nullptr, Build build = Build::Whole);
  ~MainWindow() override;

  PelmoraApp& App() { return app_; }
  pelmora::TFormPelmora& Form() { return app_.form; }

  bool Run(const std::function<void()>& action) override;
  bool RunPaint(const std::function<void()>& action) override;
  void Bind(Component* c, QWidget* w) override;

  // The widget that shows a component (for a radio group: the group box), or null.
  QWidget* WidgetOf(const Component* c) const;
  QWidget* WidgetOf(const std::string& name) const { return WidgetOf(app_.form.Find(name)); }
  // The component a widget (or one of its parents) shows, or null.
  Component* ComponentOf(QWidget* w) const override;

  // A navigation key in `target`, sent to the core; true when it moved the focus.
  bool PressKey(QWidget* target, Key key);
  // Each activation: top left corner, 1024 × 768, and the core's activation handler.
  void FormActivate();

  // Builds what the first paint left out (pages not yet shown, the menus' items), then
  // runs `whenComplete` once: the work that waits until the window is up.
  void CompleteBuild();
  std::function<void()> whenComplete;
  bool Complete() const { return complete_; }

  QTabWidget* Pages() const { return pages_; }
  TMyStatusBar* StatusBarView() const { return statusBar_; }
  QToolBar* ToolBar() const { return toolBar_; }
  // The design checks on the page 计算.
  ChecksView* Checks() const { return checksView_; }
  CrossCheckView* CrossChecks() const { return crossCheckView_; }
  QAction* ActionOf(const MenuItem* m) const;
  QMenu* MenuOf(const MenuItem* m) const;

  static constexpr int kWidth = 1024;
  static constexpr int kHeight = 768;

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;
  bool event(QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  void BuildMenu();
  void FillMenu(MenuItem* top);
  void BuildToolBar();
  void BuildPages();
  void EnsurePage(size_t i);
  // The pages by what the window description says each is (fields/Layout.h).
  void BuildFieldsPage(GroupBox* sheet, QWidget* page);
  void BuildGroupsPage(GroupBox* sheet, QWidget* page);
  void BuildColumnsPage(GroupBox* sheet, QWidget* page);
  void BuildPipesPage(QWidget* page);
  void BuildReportPage(QWidget* page);
  QWidget* MakeGroup(Component* group, QWidget* parent);
  void FillGroup(Component* group, QWidget* box);
  QWidget* Make(Component* c, QWidget* parent);
  void RefreshAction(MenuItem* m);
  void OnFormChanged();
  void OnFocusChanged(QWidget* old, QWidget* now);
  void SyncPage();

  friend class CellGrid;

  PelmoraApp& app_;
  QtPort* port_;
  QTabWidget* pages_ = nullptr;
  QToolBar* toolBar_ = nullptr;
  TMyStatusBar* statusBar_ = nullptr;
  ChecksView* checksView_ = nullptr;
  CrossCheckView* crossCheckView_ = nullptr;
  std::map<const Component*, QWidget*> widgets_;
  std::map<const QWidget*, Component*> components_;
  std::map<const MenuItem*, QAction*> actions_;
  std::map<const MenuItem*, QMenu*> menus_;
  std::vector<std::unique_ptr<Subscription>> subs_;
  int formSub_ = 0;
  bool syncingPage_ = false;
  // How the view moves its focus when the core moves it (a Tab selects a field's text).
  Qt::FocusReason focusReason_ = Qt::OtherFocusReason;
  bool menuRebuildPending_ = false;
  bool complete_ = false;
  // Whether each page (in tab order) has its contents.
  std::vector<bool> pageBuilt_;
};

}  // namespace pelmora::gui

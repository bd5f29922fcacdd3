#include "gui/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QWindow>
#include <optional>
#include <utility>

#include <QListWidget>

#include "gui/ChecksView.h"
#include "gui/DesktopKeys.h"
#include "gui/Extras.h"
#include "gui/Icons.h"
#include "gui/MyStatusBar.h"
#include "gui/OptimizerDialog.h"
#include "gui/QtPort.h"
#include "gui/StudyDialog.h"

namespace pelmora::gui {

MainWindow::MainWindow(PelmoraApp& app, QtPort* port, QWidget* parent, Build build)
    : QMainWindow(parent), app_(app), port_(port) {
  setObjectName("FormPelmora");
  setFont(WindowFont());
  // The tool buttons' hints show also while another window is the active one (the
  // splash above the window at start, a window manager that does not activate it).
  setAttribute(Qt::WA_AlwaysShowToolTips);
  if (port_) port_->SetParent(this);
  app_.shell.closeWindow = [this] { close(); };
  app_.report.print = [this] { extras::PrintReport(this, app_.form); };
  app_.report.printSheet = [this] {
    extras::PrintSheet(this, app_.form, app_.report.Sheet(), app_.report.ChartPainter());
  };
  app_.openStudy = [this] {
    StudyDialog dialog(app_, this);
    dialog.exec();
  };
  app_.openOptimizer = [this] {
    OptimizerDialog dialog(app_, this);
    dialog.exec();
  };
  BuildMenu();
  BuildToolBar();
  BuildPages();
  formSub_ = Form().Subscribe([this](pelmora::Form&) { OnFormChanged(); });
  connect(qApp, &QApplication::focusChanged, this, &MainWindow::OnFocusChanged);
  qApp->installEventFilter(this);
  new DesktopKeys(*this);
  OnFormChanged();
  resize(kWidth, kHeight);
  if (build == Build::Whole)
    CompleteBuild();
  else
    app_.undo.DeferStart();
}

void MainWindow::CompleteBuild() {
  if (complete_) return;
  complete_ = true;
  for (size_t i = 0; i < pageBuilt_.size(); ++i) EnsurePage(i);
  for (auto& [item, menu] : menus_) FillMenu(const_cast<MenuItem*>(item));
  AttachDesktopParts(*this);
  app_.undo.Start();  // the first capture of the window, after its first paint
  OnFormChanged();
  if (auto after = std::exchange(whenComplete, nullptr)) after();
}

MainWindow::~MainWindow() {
  // The widgets go while this object is still whole: their destruction moves the focus
  // and switches pages, which must not reach the handlers of a half-destroyed window.
  qApp->removeEventFilter(this);
  disconnect(qApp, nullptr, this, nullptr);
  Form().Unsubscribe(formSub_);
  pages_->blockSignals(true);
  delete pages_;
  delete toolBar_;
  subs_.clear();
  app_.shell.closeWindow = nullptr;
  app_.report.print = nullptr;
  app_.report.printSheet = nullptr;
  app_.openStudy = nullptr;
  app_.openOptimizer = nullptr;
  app_.calc.checksChanged = nullptr;
  app_.calc.crossCheckChanged = nullptr;
  if (port_) port_->SetParent(nullptr);
}

bool MainWindow::Run(const std::function<void()>& action) {
  if (port_) port_->ResetPaintMessages();
  return app_.Run(action);
}

bool MainWindow::RunPaint(const std::function<void()>& action) {
  if (port_) port_->BeginPaint();
  bool ok = app_.Run(action);
  if (port_) port_->EndPaint();
  return ok;
}

void MainWindow::Bind(Component* c, QWidget* w) {
  widgets_.emplace(c, w);  // the first widget of a component stands for it
  components_[w] = c;
}

QWidget* MainWindow::WidgetOf(const Component* c) const {
  auto it = widgets_.find(c);
  return it == widgets_.end() ? nullptr : it->second;
}

Component* MainWindow::ComponentOf(QWidget* w) const {
  for (; w; w = w->parentWidget()) {
    auto it = components_.find(w);
    if (it != components_.end()) return it->second;
  }
  return nullptr;
}

QAction* MainWindow::ActionOf(const MenuItem* m) const {
  auto it = actions_.find(m);
  return it == actions_.end() ? nullptr : it->second;
}

QMenu* MainWindow::MenuOf(const MenuItem* m) const {
  auto it = menus_.find(m);
  return it == menus_.end() ? nullptr : it->second;
}

// ---------------------------------------------------------------- menu

void MainWindow::RefreshAction(MenuItem* m) {
  QAction* a = ActionOf(m);
  if (!a) return;
  a->setText(Q(m->Caption()));
  a->setEnabled(m->Enabled());
  a->setVisible(m->Visible());
  a->setStatusTip(Q(m->Hint()));
  a->setToolTip(Q(m->Hint()));
  if (m->Checked() != a->isChecked()) {
    a->setCheckable(true);
    a->setChecked(m->Checked());
  }
}

void MainWindow::FillMenu(MenuItem* top) {
  QMenu* menu = MenuOf(top);
  if (!menu) return;
  for (QAction* a : menu->actions()) {
    for (auto it = actions_.begin(); it != actions_.end();) it = it->second == a ? actions_.erase(it) : std::next(it);
    menu->removeAction(a);
    a->deleteLater();
  }
  for (size_t i = 0; i < top->Count(); ++i) {
    MenuItem* item = top->Item(i);
    if (item->IsSeparator()) {
      menu->addSeparator();
      continue;
    }
    QAction* a = menu->addAction(Q(item->Caption()));
    if (!item->Name().empty()) a->setObjectName(Q(item->Name()));
    connect(a, &QAction::triggered, this, [this, item] { Run([item] { item->Click(); }); });
    ApplyShortcuts(a, Form().KeysOfControl(item->Name()));
    actions_[item] = a;
    RefreshAction(item);
  }
}

void MainWindow::BuildMenu() {
  QMenuBar* bar = menuBar();
  bar->setFont(WindowFont());
  for (Component* c : Form().Components()) {
    auto* m = As<MenuItem>(c);
    if (!m) continue;
    if (!m->Parent()) {
      if (m->Count() > 0) {
        QMenu* menu = bar->addMenu(Q(m->Caption()));
        menu->setObjectName(Q(m->Name()));
        menu->setFont(WindowFont());
        menus_[m] = menu;
        actions_[m] = menu->menuAction();
        // The items come with the rest of the window (CompleteBuild).
      } else {
        QAction* a = bar->addAction(Q(m->Caption()));
        a->setObjectName(Q(m->Name()));
        connect(a, &QAction::triggered, this, [this, m] { Run([m] { m->Click(); }); });
        actions_[m] = a;
      }
      RefreshAction(m);
    }
    // Named items live as long as the form: they keep their subscription. A menu whose
    // items change (the recent files) is refilled once the current event has ended,
    // since the change may come from the click of an item that goes away.
    subs_.push_back(std::make_unique<Subscription>());
    subs_.back()->Reset(m, [this, m](pelmora::Component&) {
      RefreshAction(m);
      if (MenuOf(m) && complete_ && !menuRebuildPending_) {
        menuRebuildPending_ = true;
        QTimer::singleShot(0, this, [this] {
          menuRebuildPending_ = false;
          for (auto& [item, menu] : menus_) FillMenu(const_cast<MenuItem*>(item));
        });
      }
    });
  }
}

// ---------------------------------------------------------------- tool bar

void MainWindow::BuildToolBar() {
  toolBar_ = addToolBar("ToolBar1");
  toolBar_->setObjectName("ToolBar1");
  toolBar_->setMovable(false);
  toolBar_->setFloatable(false);
  toolBar_->setIconSize(QSize(24, 24));
  toolBar_->setContextMenuPolicy(Qt::PreventContextMenu);
  Component* bar = Form().Find("ToolBar1");
  for (Component* c : Form().Components()) {
    auto* b = As<SpeedButton>(c);
    if (!b || c->Parent() != bar) continue;
    auto* v = new SpeedButtonView(*this, b, toolBar_);
    v->setIcon(ToolGlyph(b->Name()));
    v->setFixedSize(32, 32);
    v->setIconSize(QSize(24, 24));
    toolBar_->addWidget(v);
    if (b->Name() == "SBFTemp" || b->Name() == "SBTCurve" || b->Name() == "SBAutoRun") toolBar_->addSeparator();
  }
}

// ---------------------------------------------------------------- window events

void MainWindow::FormActivate() {
  move(0, 0);
  // The frame is part of the 1024 × 768 (the window is designed to fill the screen).
  QSize frameExtra = frameGeometry().size() - geometry().size();
  resize(kWidth - frameExtra.width(), kHeight - frameExtra.height());
  Run([this] { app_.shell.FormActivate(); });
}

bool MainWindow::event(QEvent* e) {
  if (e->type() == QEvent::WindowActivate) FormActivate();
  return QMainWindow::event(e);
}

// Unsaved changes are asked about before the window closes (the project commands).
void MainWindow::closeEvent(QCloseEvent* e) {
  bool close = true;
  Run([this, &close] { close = app_.project.CanClose(); });
  if (close)
    e->accept();
  else
    e->ignore();
}

void MainWindow::OnFormChanged() {
  // A project that differs from its file has a mark before its title.
  QString title = (Form().Unsaved() ? "*" : "") + Q(Form().Caption());
  if (windowTitle() != title) setWindowTitle(title);
  Component* want = Form().Focused();
  QWidget* w = WidgetOf(want);
  // The core has shown the page of a control on another page before it moved the focus.
  if (!w || ComponentOf(QApplication::focusWidget()) == want) return;
  w->setFocus(focusReason_);
}

void MainWindow::OnFocusChanged(QWidget*, QWidget* now) {
  if (!now || now->window() != this) return;
  if (Component* c = ComponentOf(now)) Form().FocusChangedByView(c);
}

namespace {
// The keys the core moves the focus with, as the window receives them: Enter and the
// arrows without modifiers and outside rich text (where they edit), Tab and Shift+Tab.
std::optional<Key> NavigationKey(const QKeyEvent& k, bool inRichText) {
  const Qt::KeyboardModifiers mods = k.modifiers() & ~Qt::KeypadModifier;
  switch (k.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (inRichText || mods != Qt::NoModifier) return std::nullopt;
      return Key::Enter;
    case Qt::Key_Up:
    case Qt::Key_Down:
      if (inRichText || mods != Qt::NoModifier) return std::nullopt;
      return k.key() == Qt::Key_Up ? Key::Up : Key::Down;
    case Qt::Key_Tab:
      if (mods & ~Qt::ShiftModifier) return std::nullopt;
      return mods & Qt::ShiftModifier ? Key::Backtab : Key::Tab;
    case Qt::Key_Backtab: return Key::Backtab;
    default: return std::nullopt;
  }
}
}  // namespace

bool MainWindow::PressKey(QWidget* target, Key key) {
  Component* c = ComponentOf(target);
  const bool handled = c && c->OnKeyDown && key != Key::Tab && key != Key::Backtab;
  const bool forward = key == Key::Enter || key == Key::Down || key == Key::Tab;
  // A field's key handler moves the focus as a click would; the window's Tab as a Tab.
  focusReason_ = handled ? Qt::OtherFocusReason : forward ? Qt::TabFocusReason : Qt::BacktabFocusReason;
  bool moved = false;
  Run([this, c, key, &moved] { moved = Form().KeyDown(c, key); });
  focusReason_ = Qt::OtherFocusReason;
  return moved;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* e) {
  // The rest of the window is built once its first paint has been flushed (the paint
  // follows this event; the timer after it).
  if (!complete_ && e->type() == QEvent::Expose && watched == static_cast<QObject*>(windowHandle()))
    QTimer::singleShot(0, this, [this] { CompleteBuild(); });
  if (e->type() != QEvent::KeyPress) return false;
  auto* target = qobject_cast<QWidget*>(watched);
  if (!target || target->window() != this || !isActiveWindow()) return false;
  // The key reaches the window once, through the widget that has the focus.
  if (target != QApplication::focusWidget()) return false;
  CompleteBuild();  // a key may lead anywhere: every page and menu item is there first
  auto* k = static_cast<QKeyEvent*>(e);
  const bool inRichText = qobject_cast<QTextEdit*>(target) || qobject_cast<QTextEdit*>(target->parentWidget());
  // Where the key goes is the core's (TFormPelmora::KeyDown), as for pelmora-calc.
  const std::optional<Key> key = NavigationKey(*k, inRichText);
  if (!key) return false;
  // Enter on a row of the checks list runs the command the row offers (ChecksView).
  if (*key == Key::Enter && Checks() && target == static_cast<QWidget*>(Checks()->List())) return false;
  Component* c = ComponentOf(target);
  const bool moved = PressKey(target, *key);
  // Up and Down are consumed once the focus has moved: the arrow must not also change
  // the selection of a list, nor move the focus a second time from a radio button (Qt's
  // own arrow navigation), which made Up and Down take different paths.
  if ((*key == Key::Up || *key == Key::Down) && !(c && c->OnKeyDown))
    return moved || qobject_cast<QComboBox*>(target) != nullptr;
  return true;  // Enter leaves the field as Tab does
}

}  // namespace pelmora::gui

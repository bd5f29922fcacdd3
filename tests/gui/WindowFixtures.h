#pragma once
// The calculation window as the GUI tests meet it: built whole, shown and active on the
// offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "app/PelmoraApp.h"
#include "gui/MainWindow.h"
#include "gui/QtPort.h"
#include "gui/SimpPLDialog.h"

namespace pelmora::guitest {

// Shows a window and waits until it has the keyboard (a test that gives focus before
// then finds none).
inline void ShowActive(QWidget* w) {
  w->show();
  QApplication::setActiveWindow(w);
  ASSERT_TRUE(QTest::qWaitForWindowActive(w));
}

// Over the build's program folder, questions answered by the scripted port.
struct ShownWindow : ::testing::Test {
  ScriptedPort port;
  PelmoraApp app{&port, PELMORA_PROGRAM_DIR "/"};
  TFormPelmora& f = app.form;
  gui::MainWindow win{app, nullptr};

  void SetUp() override { ShowActive(&win); }
  QWidget* W(const std::string& name) { return win.WidgetOf(name); }
  QWidget* Focus() { return QApplication::focusWidget(); }
  Component* FocusedComponent() { return win.ComponentOf(Focus()); }
  // Types `text` over a field's contents (on the page of the vessel's inputs) and presses
  // Enter, as a user does.
  void TypeInto(const std::string& field, const char* text) {
    auto* e = qobject_cast<QLineEdit*>(W(field));
    ASSERT_TRUE(e) << field;
    win.Pages()->setCurrentWidget(win.WidgetOf("TabSheet2"));
    QTest::mouseClick(e, Qt::LeftButton);
    QTest::keyClick(e, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(e, text);
    QTest::keyClick(e, Qt::Key_Return);
    QApplication::processEvents();
  }
};

// Runs `act` once the property dialog is up (it is modal), or fails the test when it does
// not come within two seconds.
inline void WhenSimpOpens(const std::function<void(gui::SimpPLDialog*)>& act) {
  QTimer::singleShot(0, [act] {
    gui::SimpPLDialog* d = nullptr;
    for (int i = 0; i < 200 && !d; ++i) {
      d = qobject_cast<gui::SimpPLDialog*>(QApplication::activeModalWidget());
      if (!d) QTest::qWait(10);
    }
    ASSERT_TRUE(d) << "the property dialog did not open";
    QApplication::setActiveWindow(d);
    EXPECT_TRUE(QTest::qWaitForWindowActive(d));
    act(d);
  });
}

// A shipped example opened as the program's start-up does, then the window built over it
// and shown (Open), or shown at 1024 x 768 with the keyboard (OpenActive); questions
// answered by the scripted port.
struct ExampleWindow : ::testing::Test {
  ScriptedPort port;
  PelmoraApp app{&port, PELMORA_PROGRAM_DIR "/"};
  TFormPelmora& f = app.form;
  std::unique_ptr<gui::MainWindow> win;

  void Open(const std::string& example) {
    Build(example);
    win->show();
    QApplication::processEvents();
  }
  void OpenActive(const std::string& example) {
    Build(example);
    win->resize(1024, 768);
    ShowActive(win.get());
  }
  // The text a value field shows.
  std::string Shown(const std::string& name) {
    return qobject_cast<QLineEdit*>(win->WidgetOf(name))->text().toStdString();
  }

 private:
  void Build(const std::string& example) {
    ASSERT_TRUE(app.Run(
        [&] { app.project.OpenAtStartup(std::string(PELMORA_PROGRAM_DIR) + "/examples/" + example + ".pmf"); }));
    win = std::make_unique<gui::MainWindow>(app, nullptr);
  }
};

// Over a program folder of its own that holds a copy of one shipped data file, with an
// empty per-user data folder, and Qt's own dialogs: for commands that write the property
// library or the tube catalogue.
struct OwnFolderWindow : ::testing::Test {
  QTemporaryDir program, user;
  gui::QtPort port;
  std::unique_ptr<PelmoraApp> app;
  std::unique_ptr<gui::MainWindow> win;

  void Open(const std::string& dataFile) {
    setenv("XDG_DATA_HOME", user.path().toStdString().c_str(), 1);
    std::filesystem::copy_file(std::string(PELMORA_PROGRAM_DIR) + "/" + dataFile,
                               program.path().toStdString() + "/" + dataFile);
    app = std::make_unique<PelmoraApp>(&port, program.path().toStdString() + "/");
    win = std::make_unique<gui::MainWindow>(*app, &port);
    port.SetParent(win.get());
    BeforeShow();
    ShowActive(win.get());
  }
  virtual void BeforeShow() {}
  void TearDown() override {
    win.reset();
    app.reset();
  }
  TFormPelmora& f() { return app->form; }
  // Clicks a control of the window, on whichever page it is.
  void ClickMain(const std::string& name) {
    QWidget* w = win->WidgetOf(name);
    ASSERT_TRUE(w) << name;
    for (int i = 0; i < win->Pages()->count(); ++i)
      if (win->Pages()->widget(i)->isAncestorOf(w)) win->Pages()->setCurrentIndex(i);
    QTest::mouseClick(w, Qt::LeftButton);
  }
};

}  // namespace pelmora::guitest

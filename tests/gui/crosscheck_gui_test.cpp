// The method check in the window, offscreen: the checks bar opens the tabs 计算检查 and
// 方法校核, the table shows the rows of the last run with the margin above them, a
// warning of the method check marks its field, and the window stays within 1024 x 768.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <cstdlib>

#include "WindowFixtures.h"
#include "app/PelmoraApp.h"
#include "gui/ChecksView.h"
#include "gui/CrossCheckView.h"
#include "gui/MainWindow.h"
#include "gui/Widgets.h"

namespace pelmora {
namespace {

struct CrossCheckWindow : guitest::ExampleWindow {
  // The example after a recalculation.
  void Open(const std::string& example) {
    OpenActive(example);
    app.Run([&] { app.calc.MaoDExit(nullptr); });
    QApplication::processEvents();
  }
  QTabWidget* Tabs() { return win->findChild<QTabWidget*>("TabChecks"); }
};

TEST_F(CrossCheckWindow, TheTabShowsTheRowsAndTheMargin) {
  Open("two-stream-vessel");
  gui::ChecksView* checks = win->Checks();
  gui::CrossCheckView* view = win->CrossChecks();
  ASSERT_TRUE(checks && view && Tabs());
  EXPECT_FALSE(Tabs()->isVisible());
  QTest::mouseClick(checks->Button(), Qt::LeftButton);
  ASSERT_TRUE(Tabs()->isVisible());
  EXPECT_EQ(Tabs()->tabText(0), "计算检查");
  EXPECT_EQ(Tabs()->tabText(1), "方法校核");
  EXPECT_TRUE(checks->List()->isVisible());
  // To the second tab with the keyboard, as a user moves along a tab bar.
  Tabs()->tabBar()->setFocus();
  QTest::keyClick(Tabs()->tabBar(), Qt::Key_Right);
  EXPECT_EQ(Tabs()->currentIndex(), 1);
  EXPECT_TRUE(view->Table()->isVisible());
  const auto& rows = app.calc.crossCheck.rows;
  ASSERT_EQ(view->Table()->rowCount(), static_cast<int>(rows.size()));
  EXPECT_EQ(view->Table()->horizontalHeaderItem(3)->text(), "方法与出处");
  // The area row: this program, the mixed vessel's area, +30 %, 提示.
  int area = -1;
  for (int i = 0; i < view->Table()->rowCount(); ++i)
    if (rows[static_cast<size_t>(i)].field == "AtD") area = i;
  ASSERT_GE(area, 0);
  EXPECT_EQ(view->Table()->item(area, 2)->text(), "25.24");
  EXPECT_EQ(view->Table()->item(area, 4)->text(), "+30 %");
  EXPECT_EQ(view->Table()->item(area, 5)->text(), "提示");
  EXPECT_EQ(view->Summary()->text(), "按校核方法需面积 25.2 m²，比计算面积大 30 %，建议富余度不低于 30 %");
  // The margin warning is a design check: listed, and its sign on 富余度.
  EXPECT_TRUE(checks->SignOf("sfD"));
  EXPECT_LE(win->frameGeometry().width(), 1024);
  EXPECT_LE(win->frameGeometry().height(), 768);
  if (const char* dir = std::getenv("PELMORA_SHOTS")) win->grab().save(QString(dir) + "/crosscheck.png");
}

TEST_F(CrossCheckWindow, ARunWithoutChecksStillOpensTheMethodCheck) {
  Open("constant-temperature-bath");
  ASSERT_TRUE(app.calc.checks.empty());
  ASSERT_FALSE(app.calc.crossCheck.rows.empty());
  EXPECT_TRUE(win->Checks()->Button()->isEnabled());
  QTest::mouseClick(win->Checks()->Button(), Qt::LeftButton);
  ASSERT_TRUE(Tabs()->isVisible());
  EXPECT_EQ(win->Checks()->List()->count(), 0);
  EXPECT_EQ(win->CrossChecks()->Table()->rowCount(), static_cast<int>(app.calc.crossCheck.rows.size()));
  // A run that stops leaves an empty table, said so above it.
  app.Run([&] { f.CopD->SetText(""); });
  app.Run([&] { app.calc.MaoDExit(nullptr); });
  QApplication::processEvents();
  EXPECT_EQ(win->CrossChecks()->Table()->rowCount(), 0);
  EXPECT_TRUE(win->CrossChecks()->Summary()->text().startsWith("方法校核："));
}

}  // namespace
}  // namespace pelmora

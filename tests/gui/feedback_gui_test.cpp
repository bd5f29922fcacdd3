// What the window tells the user while and after it works, driven with real clicks and
// keys: the checks list opens inside the window without moving anything, the checks bar
// tells a clean run from a stopped one, the progress bar shows only while the curve is
// computed, 准备绘制曲线 makes a shipped example ready for the curve, and the report
// page gives the text its room beside the chart.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QSplitter>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>
#include <cstdlib>
#include <string>
#include <vector>

#include "WindowFixtures.h"
#include "gui/ChecksView.h"
#include "gui/MyStatusBar.h"

namespace pelmora {
namespace {

struct FeedbackWindow : guitest::ShownWindow {
  void Open(const std::string& example) {
    ASSERT_TRUE(app.Run(
        [&] { app.project.OpenAtStartup(std::string(PELMORA_PROGRAM_DIR) + "/examples/" + example + ".pmf"); }));
    QApplication::processEvents();
  }
  // The tube count recalculates nothing when left: the coil diameter, typed again as
  // it stands, does.
  void Recalculate() {
    const std::string sl = f.SlD->Text();
    TypeInto("SlD", sl.c_str());
  }
  void Shot(const char* name) {
    if (const char* dir = std::getenv("PELMORA_SHOTS")) win.grab().save(QString("%1/%2.png").arg(dir, name));
  }
  // The rectangle of a widget in the window's coordinates.
  QRect InWindow(QWidget* w) { return QRect(w->mapTo(&win, QPoint(0, 0)), w->size()); }
};

TEST_F(FeedbackWindow, TheChecksListOpensInsideTheWindowAndLeavesItsSize) {
  Open("storage-tank-hot-water");
  const QSize before = win.frameGeometry().size();
  EXPECT_EQ(before, QSize(gui::MainWindow::kWidth, gui::MainWindow::kHeight));
  gui::ChecksView* checks = win.Checks();
  QWidget* bar = win.StatusBarView();
  const QRect barBefore = InWindow(bar);
  const QRect tubeBefore = InWindow(W("GBTube"));

  // A single tube carries the whole flow: far too fast, so there are checks to list.
  TypeInto("nD", "1");
  ASSERT_EQ(f.nD->Text(), "1");
  Recalculate();
  ASSERT_TRUE(checks->isEnabled());
  QTest::mouseClick(checks, Qt::LeftButton);
  QApplication::processEvents();
  QListWidget* list = checks->List();
  ASSERT_TRUE(list->isVisible());
  EXPECT_EQ(list->count(), static_cast<int>(app.calc.checks.size()));
  Shot("checks-open");

  // Nothing moved, nothing grew: the list lies over the foot of the page, above the
  // checks bar, and the status bar stays where it was, inside the window.
  EXPECT_EQ(win.frameGeometry().size(), before);
  EXPECT_EQ(InWindow(bar), barBefore);
  EXPECT_EQ(InWindow(W("GBTube")), tubeBefore);
  const QRect listRect = InWindow(list);
  EXPECT_LE(listRect.bottom(), InWindow(checks).top());
  EXPECT_GE(listRect.top(), InWindow(W("GBBasic")).bottom());
  EXPECT_LE(barBefore.bottom(), win.height());
  EXPECT_GE(listRect.height(), 40);

  // The button closes it; opened again, Esc in the list closes it.
  QTest::mouseClick(checks, Qt::LeftButton);
  EXPECT_FALSE(list->isVisible());
  QTest::mouseClick(checks, Qt::LeftButton);
  ASSERT_TRUE(list->isVisible());
  list->setFocus();
  QTest::keyClick(list, Qt::Key_Escape);
  EXPECT_FALSE(list->isVisible());
  EXPECT_FALSE(checks->isChecked());
  EXPECT_EQ(win.frameGeometry().size(), before);
  EXPECT_EQ(InWindow(bar), barBefore);
}

TEST_F(FeedbackWindow, TheChecksBarTellsACleanRunFromAStoppedOne) {
  Open("storage-tank-hot-water");
  gui::ChecksView* checks = win.Checks();
  // A sound design: nothing to list, said in the ordinary colour; the bar still opens
  // the method check of the run.
  TypeInto("nD", "5");  // five tubes: 1.08 m/s, 19.8 kPa
  Recalculate();
  ASSERT_TRUE(app.calc.checks.empty()) << app.calc.checks.front().text;
  EXPECT_EQ(checks->text(), gui::ChecksView::kNone);
  EXPECT_EQ(checks->isEnabled(), !app.calc.crossCheck.rows.empty());
  EXPECT_TRUE(checks->styleSheet().isEmpty()) << checks->styleSheet().toStdString();

  // A heating time that is not a number stops the run: no checks, and the bar says the
  // run did not finish instead of suggesting a clean design.
  TypeInto("TaoD", "abc");
  ASSERT_FALSE(port.Messages().empty());
  EXPECT_EQ(app.calc.lastRun, Calculation::RunState::Stopped);
  EXPECT_EQ(checks->text(), gui::ChecksView::kUnfinished);
  EXPECT_FALSE(checks->toolTip().isEmpty());
  EXPECT_FALSE(checks->styleSheet().contains("176,0,0")) << "not the warnings' red";

  // Mended: clean again.
  TypeInto("TaoD", "4");
  EXPECT_EQ(app.calc.lastRun, Calculation::RunState::Completed);
  EXPECT_EQ(checks->text(), gui::ChecksView::kNone);

  // With a warning the bar counts by level and its sign's tooltip is ordinary text.
  TypeInto("nD", "1");
  Recalculate();
  ASSERT_FALSE(app.calc.checks.empty());
  EXPECT_TRUE(checks->text().startsWith("计算检查：")) << checks->text().toStdString();
  EXPECT_TRUE(checks->text().contains("警告")) << checks->text().toStdString();
  QWidget* sign = checks->SignOf("UiD");
  ASSERT_TRUE(sign);
  EXPECT_TRUE(sign->styleSheet().isEmpty()) << "a style sheet would style the tooltip too";
  EXPECT_TRUE(sign->toolTip().contains("警告")) << sign->toolTip().toStdString();
  EXPECT_TRUE(sign->toolTip().contains("m/s")) << sign->toolTip().toStdString();
  EXPECT_FALSE(sign->toolTip().contains("•"));
  EXPECT_GE(sign->width(), 9);

  // Another project opened (unsaved changes discarded): the checks of this one go with it.
  port.files.push_back(std::string(PELMORA_PROGRAM_DIR) + "/examples/agitated-tank.pmf");
  win.ActionOf(f.FindAs<MenuItem>("MFOpen"))->trigger();
  QApplication::processEvents();
  ASSERT_EQ(f.CurrentProjectFile, std::string(PELMORA_PROGRAM_DIR) + "/examples/agitated-tank.pmf");
  // Its results were current when saved: the bar shows its own checks (the tube-side drop
  // of 126 kPa), none of the other's.
  ASSERT_EQ(app.calc.checks.size(), 2u);
  EXPECT_EQ(app.calc.checks[1].field, "DpiD");
  EXPECT_EQ(app.calc.lastRun, Calculation::RunState::Completed);
  EXPECT_TRUE(checks->text().contains("警告 1")) << checks->text().toStdString();
  EXPECT_EQ(checks->SignOf("UiD"), nullptr);
  EXPECT_NE(checks->SignOf("DpiD"), nullptr);
}

TEST_F(FeedbackWindow, PrepareForTheCurveThenDrawItWithTheProgressBarShownOnlyMeanwhile) {
  Open("storage-tank-hot-water");
  gui::TMyStatusBar* bar = win.StatusBarView();
  QProgressBar* progress = bar->ProgressBar();
  // Idle after start-up and activation: no progress bar, the panel's own text.
  EXPECT_FALSE(progress->isVisible());
  EXPECT_FALSE(f.MyStatusBar->ProgressVisible());

  // The example's flow is the balance's result: the curve refuses, as it always did.
  const double area = f.AtD->GetValue(), flow = f.WiD->GetValue(), outlet = f.Ti2D->GetValue();
  ASSERT_TRUE(f.WiD->ReadOnly());
  QTest::mouseClick(qobject_cast<QToolButton*>(W("SBTCurve")), Qt::LeftButton);
  ASSERT_FALSE(port.Messages().empty());
  EXPECT_EQ(port.Messages().back(), "管程质量流量必须为自由（输入）变量！");
  EXPECT_LT(app.curve.data.Intervals(), 1);

  // 准备绘制曲线 beside the chart: the flow becomes an input with its value, the outlet
  // temperature the balance's result, and the design stays the one it was.
  win.Pages()->setCurrentWidget(win.WidgetOf("TabSheet5"));
  QApplication::processEvents();
  auto* prepare = qobject_cast<QToolButton*>(W("SBPrepCurve"));
  ASSERT_TRUE(prepare);
  EXPECT_TRUE(prepare->isVisible());
  EXPECT_EQ(prepare->text(), "准备绘制曲线");
  const size_t said = port.Messages().size();
  QTest::mouseClick(prepare, Qt::LeftButton);
  EXPECT_EQ(port.Messages().size(), said) << port.Messages().back();
  EXPECT_FALSE(f.WiD->ReadOnly());
  EXPECT_TRUE(f.Ti2D->ReadOnly());
  EXPECT_NEAR(f.WiD->GetValue(), flow, 1e-6 * flow);
  EXPECT_NEAR(f.Ti2D->GetValue(), outlet, 0.01);
  EXPECT_NEAR(f.AtD->GetValue(), area, 0.01 * area);
  EXPECT_EQ(app.calc.lastRun, Calculation::RunState::Completed);

  // The curve: the progress bar shows while the intervals are stepped, climbing to 100,
  // and is gone afterwards.
  std::vector<int> shown;
  bool sawWidget = false;
  gui::Subscription watch;
  watch.Reset(f.MyStatusBar, [&](Component&) {
    if (f.MyStatusBar->ProgressVisible()) shown.push_back(f.MyStatusBar->ProgressPosition());
    sawWidget = sawWidget || progress->isVisible();
  });
  QTest::mouseClick(qobject_cast<QToolButton*>(W("SBTCurve")), Qt::LeftButton);
  EXPECT_EQ(app.curve.data.Intervals(), 10);
  EXPECT_EQ(port.Messages().size(), said);
  ASSERT_FALSE(shown.empty());
  EXPECT_TRUE(sawWidget);
  EXPECT_EQ(shown.back(), 100);
  for (size_t i = 1; i < shown.size(); ++i) EXPECT_GE(shown[i], shown[i - 1]);
  QApplication::processEvents();
  EXPECT_FALSE(f.MyStatusBar->ProgressVisible());
  EXPECT_FALSE(progress->isVisible());
  // The window's activation (switching back to it) leaves it hidden too.
  app.Run([&] { app.shell.FormActivate(); });
  EXPECT_FALSE(progress->isVisible());
  Shot("report-curve");
}

TEST_F(FeedbackWindow, PrepareSaysWhyWhenItCannotHelp) {
  Open("constant-temperature-bath");
  const std::string outlet = f.Ti2D->Text();
  app.Run([&] { f.FindAs<SpeedButton>("SBPrepCurve")->Click(); });
  ASSERT_FALSE(port.Messages().empty());
  EXPECT_EQ(port.Messages().back(), Curve::kPrepareMode);
  EXPECT_EQ(f.Ti2D->Text(), outlet);
}

TEST_F(FeedbackWindow, TheReportTextFillsThePageBesideTheChart) {
  Open("storage-tank-hot-water");
  win.Pages()->setCurrentWidget(win.WidgetOf("TabSheet5"));
  QApplication::processEvents();
  QWidget* text = W("RichEditReport");
  QWidget* chart = W("PaintBox1");
  ASSERT_TRUE(text && chart);
  const int page = win.WidgetOf("TabSheet5")->width();
  // The text as wide as a report line needs (or most of the page), the chart beside it,
  // together across the page.
  EXPECT_GE(text->width(), page / 2) << text->width() << " of " << page;
  EXPECT_GE(chart->width(), 320);
  EXPECT_GE(text->width() + chart->width(), page - 30);
  EXPECT_LT(InWindow(text).right(), InWindow(chart).left());
  Shot("report");
}

}  // namespace
}  // namespace pelmora

// The pick lists and the page "管道系列" on the real window: buttons clicked with the
// mouse, rows clicked and double-clicked in the dialog, text typed into "输入：".
#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include "WindowFixtures.h"
#include "app/PelmoraApp.h"
#include "gui/MainWindow.h"
#include "gui/PickListDialog.h"
#include "gui/QtPort.h"
#include "gui/Widgets.h"
#include "select/PipeCatalogue.h"

namespace pelmora {
namespace {

// Acts on the pick list once it is open (modal), then lets the test go on.
void WhenDialogOpens(const std::function<void(QDialog*)>& act) {
  QTimer::singleShot(0, [act] {
    QDialog* d = nullptr;
    for (int i = 0; i < 200 && !d; ++i) {
      d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (!d) QTest::qWait(10);
    }
    ASSERT_TRUE(d) << "no pick list opened";
    if (d->objectName() != "TFormPickList") {
      ADD_FAILURE() << "another dialog opened: " << d->windowTitle().toStdString();
      d->reject();
      return;
    }
    act(d);
  });
}

void ClickCell(QTableWidget* t, int row, bool twice = false) {
  QPoint p = t->visualRect(t->model()->index(row, 1)).center();
  QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, p);
  if (twice) {
    QTest::mousePress(t->viewport(), Qt::LeftButton, {}, p);
    QTest::mouseDClick(t->viewport(), Qt::LeftButton, {}, p);
    QTest::mouseRelease(t->viewport(), Qt::LeftButton, {}, p);
  }
}

TEST(PickListDialogGui, LooksAsDesignedAndAClickedRowIsConfirmed) {
  PickListRequest r{PitchValues(), PitchNames(), "螺距和外管径之比", "螺距选择", "2.0", "-"};
  gui::PickListDialog d(r);
  auto* list = d.findChild<QTableWidget*>("PickListView");
  auto* input = d.findChild<QLineEdit*>("LEPickStr");
  auto* ok = d.findChild<QPushButton*>("BPickOK");
  ASSERT_TRUE(list && input && ok);
  EXPECT_EQ(d.windowTitle(), QString("螺距选择"));
  EXPECT_EQ(d.findChild<QLabel*>("LPrompt")->text(), QString("螺距和外管径之比"));
  EXPECT_EQ(list->rowCount(), 7);
  const char* heads[] = {"序号", "名称", "数据", "单位"};
  const int widths[] = {40, 100, 100, 100};
  for (int c = 0; c < 4; ++c) {
    EXPECT_EQ(list->horizontalHeaderItem(c)->text(), QString(heads[c]));
    EXPECT_EQ(list->columnWidth(c), widths[c]);
  }
  EXPECT_TRUE(list->showGrid());
  EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectRows);
  EXPECT_EQ(list->width(), 344);
  EXPECT_TRUE(ok->isDefault());
  EXPECT_EQ(ok->text(), QString("&O 确定"));
  EXPECT_EQ(list->selectionModel()->selectedRows().value(0).row(), 2) << "\"2.0\" selects row 3";
  EXPECT_EQ(input->text(), QString("2.0"));

  WhenDialogOpens([&](QDialog*) {
    ClickCell(list, 4);
    EXPECT_EQ(input->text(), QString("3.0"));
    QTest::mouseClick(ok, Qt::LeftButton);
  });
  EXPECT_EQ(d.Ask().value_or("cancelled"), "3.0");
}

struct PickWindow : guitest::OwnFolderWindow {
  void SetUp() override { Open("Piples.mdb"); }
  void BeforeShow() override { app->select.OpenCatalogue(); }
  void Click(const std::string& name) {
    QWidget* w = win->WidgetOf(name);
    ASSERT_TRUE(w) << name;
    QTest::mouseClick(w, Qt::LeftButton);
  }
};

TEST_F(PickWindow, PitchRoughnessAndExpansionThroughTheirButtons) {
  win->Pages()->setCurrentIndex(1);
  f().DspD->SetText("2");
  WhenDialogOpens([](QDialog* d) {
    auto* list = d->findChild<QTableWidget*>("PickListView");
    EXPECT_EQ(list->selectionModel()->selectedRows().value(0).row(), 0) << "\"2\" matches no row";
    EXPECT_EQ(d->findChild<QLineEdit*>("LEPickStr")->text(), QString("2"));
    QTest::mouseClick(d->findChild<QPushButton*>("BPickCancel"), Qt::LeftButton);
  });
  Click("SBP3");
  EXPECT_EQ(f().DspD->Text(), "2");

  // Roughness: an empty field offers 0.01; a double click on row 1 confirms it.
  WhenDialogOpens([](QDialog* d) {
    EXPECT_EQ(d->windowTitle(), QString("管道绝对粗糟度选择"));
    EXPECT_EQ(d->findChild<QLineEdit*>("LEPickStr")->text(), QString("0.01"));
    ClickCell(d->findChild<QTableWidget*>("PickListView"), 0, true);
  });
  Click("SBDLT");
  EXPECT_DOUBLE_EQ(f().EiD->GetValue(), 0.00001);

  // Typed into "输入：" and confirmed with Enter (确定 is the default button).
  WhenDialogOpens([](QDialog* d) {
    auto* input = d->findChild<QLineEdit*>("LEPickStr");
    input->selectAll();
    QTest::keyClicks(input, "0.05");
    QTest::keyClick(input, Qt::Key_Return);
  });
  Click("SBDLT");
  EXPECT_DOUBLE_EQ(f().EiD->GetValue(), 0.00005);

  // Expansion coefficients: the listed value of the field selects its row; row 3 is taken.
  f().BtoD->SetEnabled(true);
  f().BtoD->SetText("0.000207");
  WhenDialogOpens([](QDialog* d) {
    auto* list = d->findChild<QTableWidget*>("PickListView");
    if (const char* dir = std::getenv("PELMORA_SHOTS")) d->grab().save(QString("%1/picklist.png").arg(dir));
    EXPECT_GE(list->rowCount(), 20);
    EXPECT_EQ(list->item(0, 1)->text(), QString("水（20 ℃）"));
    EXPECT_EQ(list->item(0, 3)->text(), QString("1/K"));
    EXPECT_EQ(list->selectionModel()->selectedRows().value(0).row(), 0);
    ClickCell(list, 2);
    QTest::keyClick(d->findChild<QLineEdit*>("LEPickStr"), Qt::Key_Return);
  });
  Click("SBP11");
  EXPECT_EQ(f().BtoD->Text(), "0.001199");
}

TEST_F(PickWindow, TubeTakenFromThePageWithGridAndNavigator) {
  Click("SBDi");
  EXPECT_EQ(win->Pages()->currentIndex(), 2);
  auto* grid = qobject_cast<QTableWidget*>(win->WidgetOf("DBGPiples"));
  ASSERT_TRUE(grid);
  EXPECT_EQ(grid->horizontalHeaderItem(1)->text(), QString("管子规格"));
  EXPECT_EQ(grid->columnWidth(0), 46);
  EXPECT_EQ(grid->rowCount(), static_cast<int>(app->select.catalogue.pipes.size()));
  // The series is sorted by size: 25×2.5 is found by its text, wherever it stands.
  const QList<QTableWidgetItem*> found = grid->findItems("25×2.5", Qt::MatchExactly);
  ASSERT_FALSE(found.isEmpty());
  const int row = found.front()->row();
  EXPECT_EQ(grid->item(row, 2)->text(), QString("25"));
  EXPECT_EQ(grid->item(row, 4)->text(), QString("2.5"));
  grid->scrollToItem(found.front());
  ClickCell(grid, row);
  EXPECT_EQ(f().DBGPiples->Current(), row);
  Click("Button3");
  EXPECT_EQ(win->Pages()->currentIndex(), 1);
  EXPECT_DOUBLE_EQ(f().dioD->GetValue(), 0.025);
  EXPECT_DOUBLE_EQ(f().diiD->GetValue(), 0.02);

  win->Pages()->setCurrentIndex(2);
  auto* last = win->WidgetOf("DBNPiples")->findChild<QToolButton*>("nbLast");
  ASSERT_TRUE(last);
  QTest::mouseClick(last, Qt::LeftButton);
  EXPECT_EQ(f().DBGPiples->Current(), grid->rowCount() - 1);
  EXPECT_EQ(grid->currentRow(), grid->rowCount() - 1);
  EXPECT_FALSE(last->isEnabled());
  QTest::mouseClick(win->WidgetOf("DBNPiples")->findChild<QToolButton*>("nbPrior"), Qt::LeftButton);
  EXPECT_EQ(f().DBGPiples->Current(), grid->rowCount() - 2);

  // An own size typed on the page and added.
  WhenDialogOpens([](QDialog* d) {
    EXPECT_EQ(d->windowTitle(), QString("添加管子规格"));
    auto* input = d->findChild<QLineEdit*>("LEPickStr");
    input->selectAll();
    QTest::keyClicks(input, "30x2.2");
    QTest::mouseClick(d->findChild<QPushButton*>("BPickOK"), Qt::LeftButton);
  });
  Click("BPipeAdd");
  // The new size stands among its neighbours in size, and is the current row.
  const int added = grid->currentRow();
  ASSERT_GE(added, 1);
  EXPECT_EQ(grid->item(added, 1)->text(), QString("30×2.2"));
  EXPECT_EQ(grid->item(added, 3)->text(), QString("25.6"));
  EXPECT_EQ(grid->item(added, 5)->text(), QString("自定规格"));
  EXPECT_LT(ParseTubeSize(gui::U(grid->item(added - 1, 1)->text())).outer, 30.0);
  EXPECT_GT(ParseTubeSize(gui::U(grid->item(added + 1, 1)->text())).outer, 30.0);
  if (const char* dir = std::getenv("PELMORA_SHOTS")) win->grab().save(QString("%1/pipes.png").arg(dir));
}

}  // namespace
}  // namespace pelmora

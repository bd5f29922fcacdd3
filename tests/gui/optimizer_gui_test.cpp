// The design optimizer in the window, offscreen: a search leaves the project exactly as
// it was (no recalculation of the window, no change, the modified flag as before), and
// 应用 changes it once — one recalculation, the chosen values in the fields.
#include <gtest/gtest.h>

#include <unistd.h>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "../common/ScratchFolder.h"
#include "WindowFixtures.h"
#include "app/PelmoraApp.h"
#include "gui/MainWindow.h"
#include "gui/OptimizerDialog.h"
#include "project/SaveFormData.h"

namespace pelmora {
namespace {

struct OptimizerWindow : guitest::ExampleWindow {
  int recalculations = 0;  // runs of the window's own recalculation

  void Open(const std::string& example) {
    ExampleWindow::Open(example);
    f.SetHandler("MaoDExit", [this](Component* s) {
      ++recalculations;
      app.calc.MaoDExit(s);
    });
  }
};

// Ticks exactly the sizes named in the dialog's list.
void TickSizes(gui::OptimizerDialog& dlg, const std::vector<QString>& sizes) {
  QListWidget* list = dlg.Sizes();
  for (int i = 0; i < list->count(); ++i)
    list->item(i)->setCheckState(
        std::find(sizes.begin(), sizes.end(), list->item(i)->text()) != sizes.end() ? Qt::Checked : Qt::Unchecked);
}

TEST_F(OptimizerWindow, ASearchLeavesTheProjectAndApplyChangesItOnce) {
  Open("storage-tank-hot-water");
  f.SetProjectModified(false, true);  // as just saved
  const auto before = CollectFormRecords(f);
  const std::string area = Shown("ArD");

  gui::OptimizerDialog dlg(app, win.get());
  dlg.show();
  QApplication::processEvents();
  EXPECT_LE(dlg.minimumSizeHint().width(), 1000);  // fits a screen 1024 pixels wide
  // The default search: the project's series ticked, 1 to 12 tubes, every pitch.
  EXPECT_TRUE(dlg.UseTube()->isChecked());
  EXPECT_TRUE(dlg.Series()->currentText().endsWith("种）"));
  EXPECT_TRUE(dlg.UseCount()->isChecked());
  EXPECT_EQ(dlg.CountTo()->value(), 12);
  EXPECT_TRUE(dlg.UsePitch()->isChecked());
  EXPECT_FALSE(dlg.UseCoil()->isChecked());
  EXPECT_TRUE(dlg.NoWarnings()->isChecked());
  EXPECT_TRUE(dlg.MarginCheck()->isEnabled());  // the method check offers its margin
  EXPECT_FALSE(dlg.MarginCheck()->isChecked());
  EXPECT_FALSE(dlg.MarginCheck()->toolTip().isEmpty());
  EXPECT_FALSE(dlg.ApplyButton()->isEnabled());
  EXPECT_FALSE(dlg.ApplyButton()->toolTip().isEmpty());
  EXPECT_FALSE(dlg.ExportButton()->isEnabled());

  // A smaller grid, chosen as a user does: three sizes ticked, 1 to 8 tubes.
  TickSizes(dlg, {"25×2.5", "32×3", "38×3"});
  EXPECT_EQ(dlg.Series()->currentText(), "勾选的规格");
  dlg.CountTo()->setValue(8);
  EXPECT_EQ(dlg.GridCount()->text(), "共 168 种组合");
  QTest::mouseClick(dlg.RunButton(), Qt::LeftButton);

  ASSERT_GT(dlg.Table()->rowCount(), 0) << dlg.Status()->text().toStdString();
  EXPECT_EQ(dlg.Table()->horizontalHeaderItem(0)->text(), "名次");
  EXPECT_EQ(dlg.Table()->horizontalHeaderItem(1)->text(), "管子规格");
  EXPECT_TRUE(dlg.Table()->horizontalHeaderItem(4)->text().endsWith("（目标）"));
  EXPECT_EQ(dlg.Table()->item(0, 0)->text(), "1");
  EXPECT_TRUE(dlg.Status()->text().contains("计算 168 点")) << dlg.Status()->text().toStdString();
  EXPECT_FALSE(dlg.Progress()->isVisible());
  // Rejected neighbours of the best, with the check that rejected them.
  bool neighbour = false;
  for (int r = 0; r < dlg.Table()->rowCount(); ++r)
    if (dlg.Table()->item(r, 0)->text() == "否决") {
      neighbour = true;
      EXPECT_TRUE(dlg.Table()->item(r, dlg.Table()->columnCount() - 1)->text().startsWith("相邻方案被否决："));
    }
  EXPECT_TRUE(neighbour);

  // The search changed nothing in the window.
  EXPECT_EQ(recalculations, 0);
  EXPECT_EQ(CollectFormRecords(f), before);
  EXPECT_FALSE(f.ProjectModified());
  EXPECT_EQ(Shown("ArD"), area);

  // For a person to look at (e.g. under xvfb-run): PELMORA_SHOTS=DIR.
  if (const char* dir = std::getenv("PELMORA_SHOTS")) {
    dlg.resize(980, 680);
    QApplication::processEvents();
    dlg.grab().save(QString(dir) + "/optimizer-dialog.png");
  }

  // 导出CSV: every point, through the save dialog of the port.
  ASSERT_TRUE(dlg.ExportButton()->isEnabled());
  testing::ScratchFolder scratch;
  const std::string csv = scratch / "optimize.csv";
  port.files.push_back(csv);
  QTest::mouseClick(dlg.ExportButton(), Qt::LeftButton);
  std::ifstream file(csv, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(file)), {});
  EXPECT_EQ(bytes.rfind("\xEF\xBB\xBF管子规格,", 0), 0u) << bytes.substr(0, 80);
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 169);

  // 应用 the best: one recalculation of the window, the chosen values in its fields.
  ASSERT_TRUE(dlg.ApplyButton()->isEnabled());
  const OptimizerPoint& best = dlg.Result().points[dlg.Result().ranking.front()];
  QTest::mouseClick(dlg.ApplyButton(), Qt::LeftButton);
  QApplication::processEvents();
  EXPECT_EQ(recalculations, 1);
  EXPECT_TRUE(f.ProjectModified());
  EXPECT_NE(CollectFormRecords(f), before);
  EXPECT_EQ(f.nD->Text(), best.values[1]);
  EXPECT_EQ(f.ArD->DrawOverlay().text, best.shown[0]);  // as the field shows it unfocused
  EXPECT_TRUE(Feasible(app.calc.checks));
  EXPECT_TRUE(dlg.Status()->text().startsWith("已把第 1 名方案"));
}

TEST_F(OptimizerWindow, TheMenuCommandOpensTheDialog) {
  Open("agitated-tank");
  bool seen = false;
  QTimer::singleShot(0, [&] {
    auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    seen = d && d->objectName() == "TFormOptimize" && d->windowTitle() == "设计优选";
    if (d) d->reject();
  });
  QAction* action = win->ActionOf(f.FindAs<MenuItem>("MCOptimize"));
  ASSERT_TRUE(action);
  EXPECT_EQ(action->text(), "&O 设计优选…");
  action->trigger();
  EXPECT_TRUE(seen);
}

}  // namespace
}  // namespace pelmora

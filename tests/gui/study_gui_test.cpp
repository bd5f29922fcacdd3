// The parameter study and the design checks in the window, offscreen: the study runs
// on a copy and leaves the project exactly as it was; the checks show as a bar on the
// page 计算 and as signs on the fields they name.
#include <gtest/gtest.h>

#include <unistd.h>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "../common/ScratchFolder.h"
#include "WindowFixtures.h"
#include "app/PelmoraApp.h"
#include "gui/ChecksView.h"
#include "gui/MainWindow.h"
#include "gui/StudyDialog.h"
#include "gui/Widgets.h"
#include "project/SaveFormData.h"

namespace pelmora {
namespace {

using StudyWindow = guitest::ExampleWindow;

int IndexOf(QComboBox* c, const QString& text) {
  for (int i = 0; i < c->count(); ++i)
    if (c->itemText(i) == text) return i;
  return -1;
}

TEST_F(StudyWindow, AStudyLeavesTheProjectAsItWas) {
  Open("storage-tank-hot-water");
  app.Run([&] { f.TaoD->SetText("4.5"); });  // an unsaved edit, as a user leaves it
  const auto before = CollectFormRecords(f);
  const bool modified = f.ProjectModified();
  const std::string area = Shown("AtD"), tao = Shown("TaoD");

  gui::StudyDialog dlg(app, win.get());
  dlg.show();
  auto& in = dlg.Input(0);
  const int tau = IndexOf(in.field, "加热时间");
  ASSERT_GE(tau, 0);
  in.field->setCurrentIndex(tau);
  EXPECT_EQ(in.unit->text(), "hr");
  in.from->setText("2");
  in.to->setText("6");
  in.points->setValue(5);
  // Preselected: area, length, mean difference, coefficient, tube flow and pressure drop.
  int checked = 0;
  for (int i = 0; i < dlg.Outputs()->count(); ++i) checked += dlg.Outputs()->item(i)->checkState() == Qt::Checked;
  EXPECT_EQ(checked, 6);
  EXPECT_FALSE(dlg.ExportButton()->isEnabled());
  EXPECT_FALSE(dlg.ExportButton()->toolTip().isEmpty());
  QTest::mouseClick(dlg.RunButton(), Qt::LeftButton);

  ASSERT_EQ(dlg.Table()->rowCount(), 5) << ::testing::PrintToString(port.Messages());
  EXPECT_EQ(dlg.Table()->horizontalHeaderItem(0)->text(), "加热时间(hr)");
  EXPECT_EQ(dlg.Table()->horizontalHeaderItem(1)->text(), "理论面积(m2)");
  EXPECT_EQ(dlg.Table()->item(4, 0)->text(), "6");
  EXPECT_FALSE(dlg.Table()->item(4, 1)->text().isEmpty());
  EXPECT_TRUE(dlg.ChartChoice()->isEnabled());
  EXPECT_EQ(dlg.ChartChoice()->count(), 6);

  EXPECT_EQ(CollectFormRecords(f), before);
  EXPECT_EQ(f.ProjectModified(), modified);
  EXPECT_EQ(Shown("AtD"), area);
  EXPECT_EQ(Shown("TaoD"), tao);

  // 导出CSV through the save dialog of the port.
  ASSERT_TRUE(dlg.ExportButton()->isEnabled());
  testing::ScratchFolder scratch;
  const std::string csv = scratch / "study.csv";
  port.files.push_back(csv);
  QTest::mouseClick(dlg.ExportButton(), Qt::LeftButton);
  std::ifstream file(csv, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(file)), {});
  EXPECT_EQ(bytes.rfind("\xEF\xBB\xBF加热时间(hr),理论面积(m2)", 0), 0u) << bytes.substr(0, 80);

  // The chart is drawn: a grab differs from a blank area.
  dlg.resize(980, 680);
  QApplication::processEvents();
  QImage img = dlg.Chart()->grab().toImage();
  int coloured = 0;
  for (int y = 0; y < img.height(); y += 2)
    for (int x = 0; x < img.width(); x += 2) {
      QColor c = img.pixelColor(x, y);
      coloured += c.blue() > 200 && c.red() < 80 && c.green() < 80;
    }
  EXPECT_GT(coloured, 20);
  // For a person to look at (e.g. under xvfb-run): PELMORA_SHOTS=DIR.
  if (const char* dir = std::getenv("PELMORA_SHOTS")) dlg.grab().save(QString(dir) + "/study-dialog.png");
}

TEST_F(StudyWindow, TheMenuCommandOpensTheDialog) {
  Open("agitated-tank");
  bool seen = false;
  QTimer::singleShot(0, [&] {
    auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    seen = d && d->objectName() == "TFormStudy" && d->windowTitle() == "参数研究";
    if (d) d->reject();
  });
  win->ActionOf(f.FindAs<MenuItem>("MCStudy"))->trigger();
  EXPECT_TRUE(seen);
  EXPECT_EQ(win->ActionOf(f.FindAs<MenuItem>("MCStudy"))->text(), "&P 参数研究…");
}

TEST_F(StudyWindow, ChecksShowAsABarAndSignsOnTheFields) {
  Open("storage-tank-hot-water");
  gui::ChecksView* view = win->Checks();
  ASSERT_TRUE(view);
  // A single tube carrying the whole flow: far too fast.
  app.Run([&] { f.nD->SetText("1"); });
  app.Run([&] { app.calc.MaoDExit(nullptr); });
  QApplication::processEvents();
  ASSERT_FALSE(app.calc.checks.empty());
  EXPECT_TRUE(view->Button()->isEnabled());
  EXPECT_TRUE(view->Button()->text().startsWith("计算检查："));
  QTest::mouseClick(view->Button(), Qt::LeftButton);
  EXPECT_TRUE(view->List()->isVisible());
  EXPECT_EQ(view->List()->count(), static_cast<int>(app.calc.checks.size()));
  QWidget* sign = view->SignOf("UiD");
  ASSERT_TRUE(sign);
  EXPECT_TRUE(sign->toolTip().contains("m/s")) << sign->toolTip().toStdString();
  if (const char* dir = std::getenv("PELMORA_SHOTS")) win->grab().save(QString(dir) + "/checks.png");

  // Back to a sound design (five tubes, 1.08 m/s, 19.8 kPa): the bar says so and the signs go.
  app.Run([&] { f.nD->SetText("5"); });
  app.Run([&] { app.calc.MaoDExit(nullptr); });
  QApplication::processEvents();
  EXPECT_TRUE(app.calc.checks.empty()) << app.calc.checks.front().text;
  // The bar still opens the method check of the run.
  EXPECT_EQ(view->Button()->isEnabled(), !app.calc.crossCheck.rows.empty());
  EXPECT_FALSE(view->Button()->toolTip().isEmpty());
  EXPECT_EQ(view->SignOf("UiD"), nullptr);
}

}  // namespace
}  // namespace pelmora

// 更新物性 from the checks list, with real keys: the engineer moves the vessel's
// temperatures away from those its water properties were taken at, the checks list
// offers 更新物性, and Enter on that row takes the properties again and recalculates.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <cstdlib>
#include <string>

#include "WindowFixtures.h"
#include "gui/ChecksView.h"

namespace pelmora {
namespace {

using SubstanceWindow = guitest::ShownWindow;

TEST_F(SubstanceWindow, EnterOnTheOfferedCheckUpdatesTheVesselProperties) {
  ASSERT_TRUE(app.Run(
      [&] { app.project.OpenAtStartup(std::string(PELMORA_PROGRAM_DIR) + "/examples/storage-tank-hot-water.pmf"); }));
  // The water of the example was filled from the library at its mean of 40 °C.
  f.Substances.Set(FluidSide::Vessel, SideSubstance{"0001", "水(液)", 40, 100});
  TypeInto("Tom1D", "50");
  TypeInto("Tom2D", "70");
  gui::ChecksView* checks = win.Checks();
  ASSERT_TRUE(checks->isEnabled());
  QTest::mouseClick(checks, Qt::LeftButton);
  QApplication::processEvents();
  QListWidget* list = checks->List();
  ASSERT_TRUE(list->isVisible());
  int row = -1;
  for (int i = 0; i < list->count(); ++i)
    if (list->item(i)->text().contains("更新物性")) row = i;
  ASSERT_GE(row, 0);
  EXPECT_FALSE(list->item(row)->toolTip().isEmpty());
  if (const char* dir = std::getenv("PELMORA_SHOTS")) win.grab().save(QString("%1/update-props-offered.png").arg(dir));
  list->setFocus();
  list->setCurrentRow(row);
  QTest::keyClick(list, Qt::Key_Return);
  QApplication::processEvents();
  // Water at 60 °C (IAPWS-95, 0.1 MPa): 983.2 kg/m3; the new run offers nothing more.
  EXPECT_NEAR(f.DenoD->GetValue(), 983.2, 0.5);
  EXPECT_EQ(f.Substances.Of(FluidSide::Vessel)->t, 60);
  EXPECT_EQ(app.undo.UndoName(), "更新物性");
  for (const DesignCheck& c : app.calc.checks) EXPECT_EQ(c.text.find("更新物性"), std::string::npos) << c.text;
  // 撤销 puts the 40 °C water back, and with it the remembered temperature.
  QTest::keyClick(&win, Qt::Key_Z, Qt::ControlModifier);
  QApplication::processEvents();
  EXPECT_NEAR(f.DenoD->GetValue(), 992.2, 0.5);
  EXPECT_EQ(f.Substances.Of(FluidSide::Vessel)->t, 40);
}

}  // namespace
}  // namespace pelmora

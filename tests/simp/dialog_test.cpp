// The property dialog as a user meets it: opened from a property button, 计算 at the t
// and p of the grid, 确定 copying into one side of the calculation window.
#include <cmath>

#include "SimpTestUtil.h"
#include "fields/Text.h"

namespace pelmora {
namespace {

using testing_simp::Window;

std::vector<std::string> Count(const std::vector<std::string>& msgs, const std::string& text) {
  std::vector<std::string> r;
  for (const auto& m : msgs)
    if (m == text) r.push_back(m);
  return r;
}

// The window starts without reading the library; the first opening of the dialog reads it.
TEST(SimpDialog, TheLibraryIsReadWhenTheDialogFirstOpens) {
  Window w;
  w.Open();
  EXPECT_EQ(w.app->simp.Library().Count(), 0);
  EXPECT_TRUE(w.app->simp.DBGrid1->Rows().empty());
  ASSERT_TRUE(w.Click(w.F().SBP1));
  EXPECT_EQ(w.app->simp.Library().Count(), 4);
  EXPECT_EQ(w.app->simp.DBGrid1->Rows().size(), 4u);
  EXPECT_EQ(w.app->simp.DBTextCN->Text(), "测试液");
  EXPECT_TRUE(w.port.Messages().empty());
}

TEST(SimpDialog, OpensFromEachPropertyButtonLockedAndOnTheDataPage) {
  Window w;
  w.Open();
  TFormSimpPL& d = w.D();
  ASSERT_EQ(d.Library().Count(), 4);
  EXPECT_EQ(d.DBGrid1->Rows().size(), 4u);
  EXPECT_EQ(d.DBGrid1->Rows()[0][1], "测试液");
  EXPECT_EQ(d.MyValues1->GetValueOf("t"), "20");
  EXPECT_EQ(d.MyValues1->GetValueOf("p"), "100");
  EXPECT_EQ(d.MyValues1->Columns()[3].width, 110);

  ASSERT_TRUE(w.Click(w.F().SBP2));
  EXPECT_EQ(w.port.events.back().kind, PortEvent::Kind::Form);
  EXPECT_EQ(d.Caller, w.F().SBP2);
  EXPECT_TRUE(d.Showing());
  EXPECT_FALSE(d.TSManP->Visible());
  EXPECT_EQ(d.PageControlP->ActivePage(), d.TStGetP);
  EXPECT_EQ(d.Width(), 745);
  EXPECT_EQ(d.PagesWidth(), 440);
  EXPECT_FALSE(d.Find("DBNavigator1.Insert")->Visible());
  EXPECT_TRUE(d.Find("DBNavigator1.Refresh")->Visible());

  // An empty or wrong password leaves the page locked and says why.
  w.Click("BitBtn1");
  EXPECT_FALSE(d.TSManP->Visible());
  ASSERT_EQ(w.port.Messages().size(), 1u);
  EXPECT_EQ(w.port.Messages().back(), TFormSimpPL::kPasswordEmpty);
  d.MaskEdit1->Type("velmas");
  w.Click("BitBtn1");
  EXPECT_FALSE(d.TSManP->Visible());
  ASSERT_EQ(w.port.Messages().size(), 2u);
  EXPECT_EQ(w.port.Messages().back(), TFormSimpPL::kPasswordWrong);
  d.MaskEdit1->Type("velmast");
  EXPECT_EQ(d.MaskEdit1->Text(), "*******");
  w.Click("BitBtn1");
  EXPECT_TRUE(d.TSManP->Visible());
  EXPECT_EQ(d.PageControlP->ActivePage(), d.TSManP);
  EXPECT_EQ(d.Width(), 945);
  EXPECT_EQ(d.PagesWidth(), 670);
  for (const char* b : TFormSimpPL::kNavButtons) EXPECT_TRUE(d.Find(std::string("DBNavigator1.") + b)->Visible()) << b;

  // Closed and opened again from another button: locked again, password empty.
  w.Click("BBCancle");
  EXPECT_FALSE(d.Showing());
  EXPECT_EQ(d.Result(), ModalResult::Cancel);
  w.Click(w.F().SBP1);
  EXPECT_EQ(d.Caller, w.F().SBP1);
  EXPECT_FALSE(d.TSManP->Visible());
  EXPECT_EQ(d.MaskEdit1->Typed(), "");
  EXPECT_EQ(d.MaskEdit1->Text(), "");
  EXPECT_EQ(d.Width(), 745);
}

TEST(SimpDialog, PasswordComparedExactly) {
  EXPECT_TRUE(TFormSimpPL::PasswordMatches("velmast"));
  for (const char* wrong : {"", "v", "velmas", "velmastt", "VELMAST", "velmasu", "xelmast"})
    EXPECT_FALSE(TFormSimpPL::PasswordMatches(wrong)) << wrong;
}

TEST(SimpDialog, DensityTableGivesExpansionCoefficientAndLeavesTheTypedTemperature) {
  Window w;
  w.Open();
  TFormSimpPL& d = w.D();
  w.Click(w.F().SBP2);
  ASSERT_TRUE(d.LocateNO("0001"));
  ASSERT_TRUE(w.Click("BBCal"));
  EXPECT_TRUE(w.port.Messages().empty());
  EXPECT_EQ(d.CPD->Text(), "4183");
  EXPECT_DOUBLE_EQ(d.MDD->GetValue(), 990);
  // ln(ρ(20)/ρ(21)) of the straight table: ln(990/989.5).
  EXPECT_NEAR(d.VexpkD->GetValue(), std::log(990.0 / 989.5), 1e-12);
  EXPECT_NEAR(d.VexpkD->GetValue(), 5.0518e-4, 1e-7);
  EXPECT_EQ(d.MyValues1->GetValueOf("t"), "20");
  EXPECT_DOUBLE_EQ(d.PcD->GetValue(), 22064000);
  EXPECT_DOUBLE_EQ(d.HVD->GetValue(), 2.3E6);
  // The unit selectors change only the display.
  d.Find("CPU")->Owner();
  static_cast<ComboBoxU*>(d.Find("CPU"))->UserSelect(1);
  EXPECT_EQ(d.CPD->Text(), "4.183");
  EXPECT_DOUBLE_EQ(d.CPD->GetValue(), 4183);
}

TEST(SimpDialog, RecordWithoutDensityStopsAfterCpAndKeepsNothingStale) {
  Window w;
  w.Open();
  TFormSimpPL& d = w.D();
  w.Click(w.F().SBP2);
  d.LocateNO("0001");
  w.Click("BBCal");
  ASSERT_FALSE(d.VID->Text().empty());
  // Another substance, without a density, at a typed temperature.
  d.LocateNO("0002");
  w.SetT("60");
  EXPECT_FALSE(w.Click("BBCal"));
  EXPECT_EQ(w.port.Messages().back(), "警告:“密度”是空白,请补充.");
  EXPECT_EQ(d.CPD->Text(), "2000");
  EXPECT_EQ(d.MyValues1->GetValueOf("t"), "60");
  // Viscosity, conductivity, heat of vaporisation, expansion: not computed, so empty.
  for (EditD* e : {d.VID, d.TCD, d.STD, d.HVD, d.VexpkD, d.PcD}) EXPECT_TRUE(Trim(e->Text()).empty()) << e->Name();

  // 确定 copies only what was computed; the tube-side fields keep their values.
  w.F().ViiD->SetText("0.5");
  w.F().LdiD->SetText("0.3");
  w.F().DHiD->SetText("1000");
  w.Click("BBOK");
  EXPECT_EQ(w.F().CipD->Text(), "2000");
  EXPECT_EQ(w.F().ViiD->Text(), "0.5");
  EXPECT_EQ(w.F().LdiD->Text(), "0.3");
  EXPECT_EQ(w.F().DHiD->Text(), "1000");
  EXPECT_FALSE(d.Showing());
  EXPECT_EQ(d.Result(), ModalResult::Ok);
}

TEST(SimpDialog, EmptyPressureSkipsTheDensityStep) {
  Window w;
  w.Open();
  TFormSimpPL& d = w.D();
  w.Click(w.F().SBP2);
  d.LocateNO("0001");
  w.Click("BBCal");
  w.SetP("");
  w.port.Clear();
  EXPECT_TRUE(w.Click("BBCal"));
  auto msgs = w.port.Messages();
  // One message for each of Cp, VI, TC, ST, HV and Pc; none for the density step.
  EXPECT_EQ(msgs.size(), 6u);
  EXPECT_EQ(Count(msgs, "请指定压力！").size(), 6u);
  EXPECT_TRUE(d.VexpkD->Text().empty());
  EXPECT_TRUE(d.MDD->Text().empty());
  // 确定 must not put a zero into the expansion coefficient.
  w.F().BtoD->SetText("0.0002");
  w.Click("BBOK");
  EXPECT_EQ(w.F().BtoD->Text(), "0.0002");

  // An empty t: "请指定温度！" once per property, the grid untouched.
  w.Click(w.F().SBP2);
  w.SetP("100");
  w.SetT("");
  w.port.Clear();
  w.Click("BBCal");
  EXPECT_EQ(Count(w.port.Messages(), "请指定温度！").size(), 6u);
  EXPECT_EQ(d.MyValues1->GetValueOf("t"), "");
}

TEST(SimpDialog, NoDensityAtTheTemperatureLeavesTheCoefficientEmptyAndGoesOn) {
  Window w;
  w.Open();
  TFormSimpPL& d = w.D();
  w.Click(w.F().SBP2);
  d.LocateNO("0003");
  EXPECT_TRUE(w.Click("BBCal"));
  EXPECT_TRUE(w.port.Messages().empty());
  EXPECT_TRUE(d.VexpkD->Text().empty());
  EXPECT_DOUBLE_EQ(d.VID->GetValue(), 0.003);
  EXPECT_DOUBLE_EQ(d.TCD->GetValue(), 0.1);
}

TEST(SimpDialog, CopyTableOfEachCaller) {
  Window w;
  w.Open();
  TFormSimpPL& d = w.D();
  TFormPelmora& f = w.F();
  // Vessel side: the expansion coefficient and the critical pressure go too.
  w.Click(f.SBP1);
  d.LocateNO("0001");
  w.Click("BBCal");
  w.Click("BBOK");
  EXPECT_EQ(f.CopD->Text(), "4183");
  EXPECT_DOUBLE_EQ(f.DenoD->GetValue(), 990);
  EXPECT_DOUBLE_EQ(f.VioD->GetValue(), 0.001);
  EXPECT_DOUBLE_EQ(f.LdoD->GetValue(), 0.6);
  EXPECT_NEAR(f.BtoD->GetValue(), std::log(990.0 / 989.5), 1e-12);
  EXPECT_TRUE(f.ProjectModified());

  // Vapour of the tube side: only the three enabled-and-named fields, only when enabled.
  f.CipD->SetText("1");
  f.CipvD->SetEnabled(true);
  f.denivD->SetEnabled(false);
  f.ViivD->SetEnabled(true);
  f.CipvD->SetText("");
  f.denivD->SetText("");
  f.ViivD->SetText("");
  f.RunHandler("SBP2vClick", f.SBP2v);  // the button itself is enabled only in phase modes
  ASSERT_EQ(d.Caller, f.SBP2v);
  w.Click("BBCal");
  w.Click("BBOK");
  EXPECT_EQ(f.CipvD->Text(), "4183");
  EXPECT_EQ(f.denivD->Text(), "");
  EXPECT_DOUBLE_EQ(f.ViivD->GetValue(), 0.001);
  EXPECT_EQ(f.CipD->Text(), "1");
  EXPECT_EQ(TFormSimpPL::CopyTable("SBP2v").size(), 3u);
  EXPECT_TRUE(TFormSimpPL::CopyTable("sbp2").empty());  // names compare exactly
}

TEST(SimpDialog, BadNumberInADialogFieldStopsTheCopyButCloses) {
  Window w;
  w.Open();
  TFormSimpPL& d = w.D();
  TFormPelmora& f = w.F();
  w.Click(f.SBP2);
  d.LocateNO("0001");
  w.Click("BBCal");
  d.MDD->SetText("abc");
  f.DeniD->SetText("7");
  EXPECT_FALSE(w.Click("BBOK"));
  EXPECT_EQ(f.CipD->Text(), "4183");
  EXPECT_EQ(f.DeniD->Text(), "7");
  EXPECT_TRUE(f.ViiD->Text().empty() || f.ViiD->Text() == "");
  EXPECT_FALSE(d.Showing());
}

TEST(SimpDialog, KeepsItsStateBetweenShowings) {
  Window w;
  w.Open();
  TFormSimpPL& d = w.D();
  w.Click(w.F().SBP2);
  d.LocateNO("0004");
  w.SetT("50");
  w.Click("BBCal");
  EXPECT_DOUBLE_EQ(d.CPD->GetValue(), 4100);
  w.Click("BBCancle");
  w.Click(w.F().SBP1);
  EXPECT_EQ(d.CurrentRecord(), 3);
  EXPECT_EQ(d.MyValues1->GetValueOf("t"), "50");
  EXPECT_EQ(d.CPD->Text(), "4100");  // nothing is computed on opening
  EXPECT_EQ(d.DBTextCN->Text(), "公式物质");
}

}  // namespace
}  // namespace pelmora

namespace pelmora {
namespace {

TEST(SimpValueGrid, RowRulesOfTheDialogsGrid) {
  testing_simp::Window w;
  w.Open();
  ValueGrid& g = *w.D().MyValues1;
  ASSERT_EQ(g.Rows().size(), 2u);
  EXPECT_EQ(g.Rows()[0], (std::vector<std::string>{"t", "20", "C", "温度"}));
  EXPECT_EQ(g.Rows()[1], (std::vector<std::string>{"p", "100", "kPa(A)", "绝对压力"}));
  // Down on the filled last row adds a row; selecting a cell above drops it again.
  g.SelectCell(1, 2);
  g.KeyDown(TMyValues::Key::Down);
  EXPECT_EQ(g.Rows().size(), 3u);
  g.SelectCell(1, 1);
  EXPECT_EQ(g.Rows().size(), 2u);
  // A formula's variable gets a row of its own, shown in the grid.
  g.Edit().AddValue("V", "", "", "");
  g.Sync();
  ASSERT_EQ(g.Rows().size(), 3u);
  EXPECT_EQ(g.Rows()[2][0], "V");
  // Never below the title row and two data rows.
  g.SetCell(0, 2, "");
  g.SetCell(0, 3, "");
  g.SelectCell(1, 1);
  EXPECT_EQ(g.Model().RowCount(), 3);
}

}  // namespace
}  // namespace pelmora

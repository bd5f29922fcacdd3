// The recalculation driver as a user meets it: fields typed and left one after the
// other, the open quantity of a balance solved, coloured, released and chosen anew, the
// automatic calculation switched off, the messages of the status bar and of the boxes.
#include <gtest/gtest.h>

#include <cmath>

#include "CaseFiles.h"
#include "app/PelmoraApp.h"
#include "fields/FieldOps.h"
#include "fields/NumberFormat.h"

namespace pelmora {
namespace {

struct Driver : ::testing::Test {
  ScriptedPort port;
  PelmoraApp app{&port, "/tmp/"};
  TFormPelmora& f = app.form;

  void Type(EditD* e, const std::string& text) {
    app.Run([&] {
      f.FocusChangedByView(e);
      e->SetText(text);
    });
  }
  // Tab out of the field: its exit handler runs through the dispatch point.
  bool Leave(Edit* e) {
    return app.Run([&] {
      f.FocusChangedByView(f.NextInTabOrder(e, true));
      e->Exit();
    });
  }
  bool Recalc() {
    return app.Run([&] { app.calc.MaoDExit(nullptr); });
  }
  // The clear-field command answered with Yes.
  void Clear(EditD* e) {
    e->SetText("");
    e->SetColor(colors::Window);
    e->SetEnabled(true);
    e->SetReadOnly(false);
  }
  // A reference design of data/cases, applied option by option.
  void Apply(const std::string& name) {
    auto args = testing_cases::CaseArgs(name);
    for (size_t i = 0; i < args.size(); i += 2) {
      const std::string& opt = args[i];
      if (opt == "--recalc") {
        Recalc();
        --i;
        continue;
      }
      ASSERT_LT(i + 1, args.size());
      const std::string& v = args[i + 1];
      size_t eq = v.find('=');
      std::string name = v.substr(0, eq);
      if (opt == "--set") {
        auto* e = f.FindAs<Edit>(name);
        ASSERT_TRUE(e) << name;
        e->SetText(v.substr(eq + 1));
      } else if (opt == "--select") {
        int idx = static_cast<int>(StrToInt(v.substr(eq + 1)));
        if (auto* r = f.FindAs<RadioGroup>(name))
          app.Run([&] { r->SetItemIndex(idx); });
        else
          app.Run([&] { f.FindAs<ComboBox>(name)->UserSelect(idx); });
      } else if (opt == "--exit") {
        Leave(f.FindAs<Edit>(name));
      }
    }
  }
  std::string Panel1() const { return f.MyStatusBar->PanelText(1); }
};

TEST_F(Driver, VesselHeatIsSolvedAndMarkedYellow) {
  Type(f.MaoD, "2000");
  Type(f.CopD, "4180");
  Type(f.Tom1D, "20");
  Type(f.Tom2D, "60");
  EXPECT_TRUE(Leave(f.Tom2D));
  EXPECT_NEAR(f.QoD->GetValue(), 2000 * 4180 * 40.0, 2000 * 4180 * 40.0 * 2e-6);
  EXPECT_EQ(f.QoD->GetColor(), VesselBalanceColor);
  EXPECT_EQ(ToRgb(f.QoD->GetColor()).r, 255);
  EXPECT_EQ(ToRgb(f.QoD->GetColor()).g, 255);
  EXPECT_EQ(ToRgb(f.QoD->GetColor()).b, 0);
  EXPECT_TRUE(f.QoD->ReadOnly());
  EXPECT_EQ(f.QoD->GetCursor(), Cursor::No);
  EXPECT_EQ(f.QLD->Text(), "0.00");
  EXPECT_TRUE(port.Messages().empty());
}

TEST_F(Driver, EmptyingAnotherMemberReleasesTheOpenQuantityThenSolvesTheNewOne) {
  Type(f.MaoD, "2000");
  Type(f.CopD, "4180");
  Type(f.Tom1D, "20");
  Type(f.Tom2D, "60");
  Leave(f.Tom2D);
  ASSERT_EQ(f.QoD->GetColor(), VesselBalanceColor);

  Clear(f.MaoD);
  Leave(f.CopD);
  EXPECT_EQ(f.QoD->Text(), "");  // released: empty, white, editable
  EXPECT_EQ(f.QoD->GetColor(), colors::Window);
  EXPECT_FALSE(f.QoD->ReadOnly());
  EXPECT_EQ(f.QoD->GetCursor(), Cursor::Default);
  EXPECT_EQ(f.MaoD->Text(), "");

  Leave(f.CopD);  // both empty: the group waits
  EXPECT_EQ(f.MaoD->Text(), "");
  EXPECT_EQ(f.QoD->Text(), "");

  Type(f.QoD, "1.672e8");  // the heat has no exit action: the next field left recalculates
  Leave(f.CopD);
  EXPECT_NEAR(f.MaoD->GetValue(), 1000, 1000 * 2e-6);
  EXPECT_EQ(f.MaoD->GetColor(), VesselBalanceColor);
  // On later runs the mass stays the open quantity and follows the heat.
  Type(f.Tom2D, "100");
  Leave(f.Tom2D);
  EXPECT_NEAR(f.MaoD->GetValue(), 500, 500 * 2e-6);
}

TEST_F(Driver, TwoEmptyMembersLeaveTheGroupUnsolved) {
  Type(f.CipD, "4190");
  Type(f.Ti1D, "90");
  Type(f.TaoD, "3600");
  Leave(f.Ti1D);  // WiD, Ti2D and QiD empty
  EXPECT_EQ(f.WiD->Text(), "");
  EXPECT_EQ(f.Ti2D->Text(), "");
  EXPECT_EQ(f.QiD->Text(), "");
}

TEST_F(Driver, DisabledOrMustInputMembersAreNeverSolvedFor) {
  Type(f.MaoD, "2000");
  Type(f.Tom1D, "20");
  Type(f.Tom2D, "60");
  Type(f.QoD, "1e8");
  Leave(f.Tom2D);  // only the specific heat is empty: it must be entered
  EXPECT_EQ(f.CopD->Text(), "");
  EXPECT_EQ(f.CopD->DrawOverlay().text, "[Must input]");

  Type(f.CopD, "4180");
  Type(f.QoD, "");
  f.QoD->SetEnabled(false);
  Leave(f.CopD);  // the one empty member is disabled: nothing to solve
  EXPECT_EQ(f.QoD->Text(), "");
}

TEST_F(Driver, TubeHeatFromTheOverallBalanceThenTheFlowFromTheTubeBalance) {
  Type(f.TaoD, "3600");
  Type(f.MaoD, "1000");
  Type(f.CopD, "4180");
  Type(f.Tom1D, "20");
  Type(f.Tom2D, "60");
  Type(f.CipD, "4190");
  Type(f.Ti1D, "90");
  Type(f.Ti2D, "70");
  Leave(f.Ti2D);
  EXPECT_NEAR(f.QiD->GetValue(), -1.672e8, 1.672e8 * 2e-6);
  EXPECT_EQ(f.QiD->GetColor(), HeatBalanceColor);
  Leave(f.Ti2D);
  // W cp (t2 - t1) tau = Qi.
  EXPECT_NEAR(f.WiD->GetValue(), 1.672e8 / (4190 * 20 * 3600.0), 1e-5);
  EXPECT_EQ(f.WiD->GetColor(), TubeBalanceColor);
}

TEST_F(Driver, AutomaticCalculationSwitchedOff) {
  EXPECT_EQ(f.SBAutoRun->Hint(), "自动计算");
  app.Run([&] { f.SBAutoRun->Click(); });
  EXPECT_TRUE(f.SBAutoRun->Down());
  EXPECT_EQ(f.SBAutoRun->Hint(), "禁止自动计算");
  Type(f.MaoD, "2000");
  Type(f.CopD, "4180");
  Type(f.Tom1D, "20");
  Type(f.Tom2D, "60");
  f.PageControl1->SetActivePage(f.TabSheet4);
  EXPECT_TRUE(Leave(f.Tom2D));
  EXPECT_EQ(f.QoD->Text(), "");
  EXPECT_EQ(f.PageControl1->ActivePage(), f.TabSheet2);  // the vessel is still copied over
  app.Run([&] { f.SBAutoRun->Click(); });
  EXPECT_EQ(f.SBAutoRun->Hint(), "允许自动计算");
  Leave(f.Tom2D);
  EXPECT_FALSE(Blank(*f.QoD));
}

TEST_F(Driver, FluidRolesFollowTheMeanTemperatures) {
  // Tube fluid cooling from 90 to 45 C against a vessel stream heated from 30 to 60 C:
  // the ranges overlap, but the tube fluid gives off heat.
  Type(f.Ti1D, "90");
  Type(f.Ti2D, "45");
  Type(f.Tom1D, "30");
  Type(f.Tom2D, "60");
  Leave(f.Tom2D);
  EXPECT_EQ(f.HTiD->Text(), "放热流体");
  EXPECT_EQ(f.HToD->Text(), "吸热流体");
  // A cooling coil: water 10 -> 30 C in a tank going from 80 to 40 C.
  Type(f.Ti1D, "10");
  Type(f.Ti2D, "30");
  Type(f.Tom1D, "80");
  Type(f.Tom2D, "40");
  Leave(f.Tom2D);
  EXPECT_EQ(f.HTiD->Text(), "吸热流体");
  EXPECT_EQ(f.HToD->Text(), "放热流体");
  Type(f.Ti2D, "");
  Leave(f.Tom2D);
  EXPECT_EQ(f.HTiD->Text(), "");
  EXPECT_EQ(f.HToD->Text(), "");
}

TEST_F(Driver, BadTextInABalanceIsReportedTwice) {
  Type(f.MaoD, "abc");
  Type(f.CopD, "4180");
  Type(f.Tom1D, "20");
  Type(f.Tom2D, "60");
  EXPECT_FALSE(Leave(f.Tom2D));
  auto m = port.Messages();
  ASSERT_EQ(m.size(), 2u);
  EXPECT_EQ(m[0], f.MaoL->Caption() + "是错误数据");
  EXPECT_EQ(m[1], "发现错误，可能是输入数据错误！");
  EXPECT_EQ(f.QoD->Text(), "");
}

TEST_F(Driver, NewtonThatDoesNotSettleIsABalanceError) {
  Type(f.MaoD, "2");
  Type(f.QoD, "");
  EXPECT_FALSE(app.Run([&] {
    SolveBalance({f.MaoD, f.QoD}, VesselBalanceColor, true, 1.2345,
                 [](const BalanceValues& v) { return v[0] * v[0] + v[1] * v[1] + 1; });
  }));
  auto m = port.Messages();
  ASSERT_EQ(m.size(), 2u);
  EXPECT_EQ(m[0], "发现错误，可能是输入数据错误！");
  EXPECT_EQ(m[1], "迭代未收敛，请检查输入数据！");
  EXPECT_EQ(f.QoD->Text(), "");
}

TEST_F(Driver, TemperatureCrossStopsTheRunWithoutABox) {
  // Vessel 20 -> 60 against a tube fluid 50 -> 70: the outlet ends cross.
  EXPECT_FALSE(app.Run([&] { app.calc.CounterFlowLmtd(20, 60, 50, 70); }));
  EXPECT_EQ(Panel1(), "温差交叉!");
  EXPECT_TRUE(port.Messages().empty());
  double lmtd = 0;
  EXPECT_TRUE(app.Run([&] { lmtd = app.calc.CounterFlowLmtd(20, 60, 90, 70); }));
  EXPECT_NEAR(lmtd, 20 / std::log(50.0 / 30), 1e-12);
  EXPECT_EQ(Panel1(), "");
  // Equal end differences need no logarithm.
  EXPECT_TRUE(app.Run([&] { lmtd = app.calc.CounterFlowLmtd(20, 60, 90, 50); }));
  EXPECT_DOUBLE_EQ(lmtd, 30);
}

TEST_F(Driver, CorrectionFactorThatCannotBeFormedIsTakenAsOneHalf) {
  EXPECT_DOUBLE_EQ(app.calc.CorrectionFactorF(90, 10, 20, 100), 0.5);
  EXPECT_EQ(Panel1(), "温差校正系数<0.8，如可能请调整工艺数据!");
  EXPECT_NEAR(app.calc.CorrectionFactorF(170, 100, 200, 390), 0.8917, 1e-4);
  EXPECT_EQ(Panel1(), "");
}

TEST_F(Driver, CrossedStreamsOfATwoStreamVesselStopAtTheMeanDifference) {
  Apply("two_stream");
  ASSERT_FALSE(Blank(*f.AtD));
  port.Clear();
  Type(f.Ti2D, "");
  Clear(f.WiD);  // the flow becomes an input, the outlet the open quantity
  Type(f.WiD, "3.3");
  Type(f.Ti1D, "50");  // tube 50 -> ~ 20 against the vessel stream 20 -> 40
  EXPECT_FALSE(Leave(f.Ti1D));
  // The results of the earlier run that this one did not reach are marked as out of date.
  EXPECT_EQ(Panel1(), "计算中断：温差交叉!");
  EXPECT_TRUE(f.AtD->Stale());
  EXPECT_TRUE(port.Messages().empty());
}

TEST_F(Driver, FlowModeNeverSizesWithoutThisRunsMeanDifference) {
  Apply("two_stream");
  const std::string area = f.AtD->Text();
  ASSERT_FALSE(area.empty());
  port.Clear();
  // Both tube temperatures gone: no mean difference can be formed in this run.
  Type(f.Ti1D, "");
  Type(f.Ti2D, "");
  Clear(f.AtD);
  EXPECT_TRUE(Leave(f.MaoD));
  EXPECT_EQ(f.AtD->Text(), "");
  EXPECT_TRUE(port.Messages().empty()) << port.Messages()[0];
}

TEST_F(Driver, AgitationWithACondensingVesselFluidHasNoCorrelation) {
  Apply("agitated_tank");
  ASSERT_FALSE(Blank(*f.koD));
  port.Clear();
  app.Run([&] { f.PhoD->UserSelect(1); });
  Type(f.DHoD, "2257000");
  Type(f.LaoD, "0");
  Type(f.CopvD, "2000");
  const std::string ko = f.koD->Text();
  EXPECT_FALSE(Leave(f.DHoD));
  EXPECT_EQ(Panel1(), "计算中断：搅拌方式不适用于壳程相变流体！");
  EXPECT_TRUE(port.Messages().empty());
  EXPECT_EQ(f.koD->Text(), ko);
  // Back to a liquid: the message goes with the next run.
  app.Run([&] { f.PhoD->UserSelect(0); });
  app.Run([&] { f.RGEType->SetItemIndex(0); });
  app.Run([&] { f.RGFType->SetItemIndex(1); });
  Leave(f.MaoD);
  EXPECT_NE(Panel1(), "搅拌方式不适用于壳程相变流体！");
}

TEST_F(Driver, CoilHeightIsCheckedOnlyAgainstAVesselHeightThatIsGiven) {
  Apply("storage_tank");
  ASSERT_FALSE(Blank(*f.mD));
  EXPECT_EQ(Panel1(), "");
  const double H = f.pHD->GetValue();
  EXPECT_NEAR(H, 0.032 + (f.mD->GetValue() - 1) * 2 * 0.032, 1e-9);

  f.HsD->SetEnabled(true);
  Type(f.HsD, "1.0");  // shorter than the coil
  Leave(f.MaoD);
  EXPECT_EQ(Panel1(), "壳体高度不够，放不下盘管！");

  Type(f.HsD, "");
  port.Clear();
  EXPECT_TRUE(Leave(f.MaoD));
  EXPECT_TRUE(port.Messages().empty());
  EXPECT_EQ(Panel1(), "");
  EXPECT_FALSE(Blank(*f.pHD));
  EXPECT_FALSE(Blank(*f.DpiD));
}

TEST_F(Driver, TankAtTheAirTemperatureOnAverageLosesNothing) {
  Apply("storage_tank");
  Type(f.TeD, "40");  // the mean of 20 and 60 C
  Leave(f.TeD);
  Leave(f.TeD);
  EXPECT_NEAR(f.QLD->GetValue(), 0, 1e-9);
  EXPECT_NEAR(f.TwaD->GetValue(), 40, 1e-9);  // no excess temperature of the skin
  // At the target temperature the tank is 20 K above the air: he = 9.8 + 0.07 theta.
  EXPECT_GT(f.KcD->GetValue(), f.KeD->GetValue());
  EXPECT_GT(f.WcD->GetValue(), 0);
}

TEST_F(Driver, TankOnTheGroundHasNoAirFilm) {
  Apply("storage_tank");
  const double airKe = f.KeD->GetValue();
  app.Run([&] { f.EVTD->UserSelect(1); });  // 地表
  Leave(f.TeD);
  Leave(f.TeD);
  EXPECT_EQ(f.TwaD->Text(), "");
  EXPECT_EQ(f.KcD->Text(), f.KeD->Text());
  // Ke = 1/Rw with Rw = St/52.34 + Bp/0.033 + 1/hw + Ro: without the air film the
  // coefficient is larger, though the insulation still dominates.
  EXPECT_GT(f.KeD->GetValue(), airKe);
  EXPECT_LT(f.KeD->GetValue(), 0.033 / 0.05 * 1.001);
  EXPECT_NEAR(f.QLD->GetValue(), f.KeD->GetValue() * 40 * 25, 1e-6);
}

TEST_F(Driver, ADriverThatNeverSettlesEndsWithAMessage) {
  Apply("storage_tank");
  ASSERT_FALSE(Blank(*f.AtD));
  // A zero tolerance counts every rewrite of the area as a change: the passes would
  // repeat for ever.
  Type(f.SetErrD, "0");
  port.Clear();
  EXPECT_FALSE(Leave(f.SetErrD));
  EXPECT_EQ(Panel1(), "计算中断：迭代未收敛，请检查输入数据！");
  EXPECT_TRUE(port.Messages().empty());
  Type(f.SetErrD, "0.0001");
  EXPECT_TRUE(Leave(f.SetErrD));
  EXPECT_EQ(Panel1(), "");
}

TEST_F(Driver, NothingIsWrittenAsNanOrInfinity) {
  Apply("storage_tank");
  port.Clear();
  Type(f.diiD, "0");  // a zero inner diameter divides by zero in the tube velocity
  EXPECT_FALSE(Leave(f.diiD));
  auto m = port.Messages();
  ASSERT_EQ(m.size(), 1u);
  // Worded for the engineer: the operation, the step and the inputs to check.
  EXPECT_EQ(m[0].rfind("计算管内流速时出现除以零，请检查输入数据（", 0), 0u) << m[0];
  // A zero viscosity is no property: refused before any division, naming the field.
  Type(f.diiD, "0.026");
  Type(f.ViiD, "0");
  port.Clear();
  EXPECT_FALSE(Leave(f.ViiD));
  ASSERT_EQ(port.Messages().size(), 1u);
  EXPECT_EQ(port.Messages()[0],
            "管程“动力粘度”为 0，不是有效的物性值：密度、比热、粘度、导热系数和相变热必须大于零"
            "（物性数据可能超出其适用温度范围），计算未进行。");
  for (EditD* e : f.ValueFields()) {
    EXPECT_EQ(e->Text().find("nan"), std::string::npos) << e->Name();
    EXPECT_EQ(e->Text().find("inf"), std::string::npos) << e->Name();
  }
}

TEST_F(Driver, ResultsSettleAndARepeatedRunChangesNothing) {
  Apply("storage_tank");
  Recalc();
  std::vector<std::string> before;
  for (EditD* e : f.ValueFields()) before.push_back(e->Text());
  int changes = 0;
  for (EditD* e : f.ValueFields()) e->Subscribe([&](Component&) { ++changes; });
  EXPECT_TRUE(Recalc());
  EXPECT_EQ(changes, 0);
  std::vector<std::string> after;
  for (EditD* e : f.ValueFields()) after.push_back(e->Text());
  EXPECT_EQ(before, after);
}

}  // namespace
}  // namespace pelmora

namespace pelmora {
namespace {

// The tube flow left open: the overall balance gives the tube heat, and the same exit
// must go on to solve the flow from it and size the coil.
TEST(DriverSweeps, OneExitCompletesADesignWhoseTubeFlowIsOpen) {
  ScriptedPort port;
  PelmoraApp app(&port);
  TFormPelmora& f = app.form;
  const std::vector<std::pair<EditD*, const char*>> inputs = {
      {f.TaoD, "7200"},  {f.sfD, "10"},       {f.MaoD, "5000"}, {f.CopD, "4180"},    {f.Tom1D, "20"},
      {f.Tom2D, "60"},   {f.VioD, "0.00065"}, {f.LdoD, "0.63"}, {f.DenoD, "992"},    {f.BtoD, "0.00039"},
      {f.CipD, "4190"},  {f.Ti1D, "95"},      {f.Ti2D, "75"},   {f.ViiD, "0.00033"}, {f.LdiD, "0.67"},
      {f.DeniD, "968"},  {f.dioD, "0.025"},   {f.diiD, "0.02"}, {f.RiD, "0.0002"},   {f.RoD, "0.0002"},
      {f.EiD, "0.0001"}, {f.DspD, "2"},       {f.SlD, "1"},     {f.DcD, "0"},        {f.BpD, "0.05"},
      {f.TeD, "20"},     {f.AeD, "20"},       {f.StD, "0.006"}};
  for (auto [field, text] : inputs) field->SetText(text);
  EXPECT_TRUE(app.Run([&] { f.StD->Exit(); }))
      << (port.Messages().empty() ? f.MyStatusBar->PanelText(1) : port.Messages()[0]);
  EXPECT_EQ(f.WiD->GetColor(), RGBColor(166, 202, 240));  // solved by the tube-side group
  EXPECT_FALSE(Blank(*f.AtD));
  EXPECT_FALSE(Blank(*f.mD));
  // Q = M cp (T2 - T1) over the heating time, carried by the tube flow's 20 K drop.
  const double Qo = 5000 * 4180 * 40.0;
  EXPECT_NEAR(f.QoD->GetValue(), Qo, Qo * 1e-6);
  EXPECT_NEAR(f.WiD->GetValue(), (Qo + f.QLD->GetValue() * 7200) / (4190 * 20 * 7200.0), 1e-3);
}

}  // namespace
}  // namespace pelmora

namespace pelmora {
namespace {

// A constant-temperature bath typed into a new project: the heat rate is the input, the
// disabled mass field is never read, and the coil carries the rate across K A dTm.
struct BathFromScratch : ::testing::Test {
  ScriptedPort port;
  PelmoraApp app{&port};
  TFormPelmora& f = app.form;
  void Enter() {
    app.Run([&] { f.RGEType->SetItemIndex(1); });
    const std::vector<std::pair<EditD*, const char*>> inputs = {
        {f.FixTempD, "80"}, {f.sfD, "20"},       {f.CopD, "4190"},    {f.VioD, "0.000355"}, {f.LdoD, "0.67"},
        {f.DenoD, "972"},   {f.BtoD, "0.00063"}, {f.BpD, "0.05"},     {f.TeD, "15"},        {f.AeD, "20"},
        {f.StD, "0.006"},   {f.DcD, "0"},        {f.HsD, "1.5"},      {f.DsD, "1.5"},       {f.CipD, "4200"},
        {f.Ti1D, "95"},     {f.Ti2D, "85"},      {f.ViiD, "0.00032"}, {f.LdiD, "0.67"},     {f.DeniD, "965"},
        {f.RiD, "0.0002"},  {f.RoD, "0.0002"},   {f.EiD, "0.0001"},   {f.dioD, "0.025"},    {f.diiD, "0.020"},
        {f.DspD, "2"},      {f.SlD, "0.6"},      {f.nD, "1"}};
    for (auto [field, text] : inputs) field->SetText(text);
  }
  bool Recalc() {
    return app.Run([&] { app.calc.MaoDExit(nullptr); });
  }
};

TEST_F(BathFromScratch, TypedHeatRateSizesTheCoil) {
  Enter();
  ASSERT_FALSE(f.MaoD->Enabled());
  ASSERT_TRUE(Blank(*f.MaoD));
  f.QoD->SetText("12000");
  ASSERT_TRUE(Recalc()) << (port.Messages().empty() ? f.MyStatusBar->PanelText(1) : port.Messages()[0]);
  ASSERT_TRUE(Recalc());
  EXPECT_TRUE(port.Messages().empty());
  EXPECT_EQ(f.QoD->Text(), "12000");  // the input is kept as typed
  EXPECT_TRUE(Blank(*f.MaoD));
  const double A = f.AtD->GetValue(), K = f.KTaD->GetValue(), dT = f.TTaD->GetValue();
  // Water 95 -> 85 C in a bath at 80 C: the log mean of 15 and 5 K, 10 / ln 3 = 9.10239 K
  // (the arithmetic mean 10 K would overstate it and undersize the coil).
  EXPECT_NEAR(dT, 9.10239, 1e-5);
  const double Qi = std::fabs(f.QiD->GetValue());
  // The tube carries the bath's rate and the wall loss; the area loop stops within 1 %.
  EXPECT_NEAR(Qi, 12000 + f.QLD->GetValue(), 1e-3 * Qi);
  EXPECT_NEAR(A * K * dT, Qi, 0.01 * Qi);
  EXPECT_NEAR(f.WiD->GetValue(), Qi / (4200 * 10.0), 1e-6 * f.WiD->GetValue());
  EXPECT_GT(f.LtD->GetValue(), 0);
}

TEST_F(BathFromScratch, EmptyHeatRateStopsWithTheBlankFieldWarning) {
  Enter();
  EXPECT_FALSE(Recalc());
  ASSERT_EQ(port.Messages().size(), 1u);
  EXPECT_EQ(port.Messages()[0], "警告:“" + f.QoL->Caption() + "”是空白,请补充.");
  EXPECT_EQ(f.QoL->Caption(), "容器热量");
  EXPECT_TRUE(Blank(*f.AtD));
}

TEST_F(BathFromScratch, HeatRateAgainstTheFlowDirectionIsRefused) {
  Enter();
  f.QoD->SetText("-12000");  // a hot coil cannot cool the bath
  EXPECT_FALSE(Recalc());
  ASSERT_FALSE(port.Messages().empty());
  EXPECT_EQ(port.Messages().back(), kBathHeatSign);
}

}  // namespace
}  // namespace pelmora

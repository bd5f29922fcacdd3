// The operating-mode rules as a user meets them: which quantities can be entered after
// a sequence of selections, the captions, the one-second heating time of the flow
// modes, the bath temperatures, the couplings between the selectors and the swap of the
// unit lists of the heats and of the vessel mass.
#include <gtest/gtest.h>

#include <random>

#include "app/PelmoraApp.h"
#include "fields/NumberFormat.h"

namespace pelmora {
namespace {

struct ModesTest : ::testing::Test {
  ScriptedPort port;
  PelmoraApp app{&port, "/tmp/"};
  TFormPelmora& f = app.form;

  // Label, field and unit selector all enabled (true) or all disabled (false); fails
  // when they disagree.
  ::testing::AssertionResult Quantity(const std::string& stem, bool enabled) {
    for (const char* suffix : {"L", "D", "U"}) {
      Component* c = f.Find(stem + suffix);
      if (!c) return ::testing::AssertionFailure() << "no " << stem << suffix;
      if (c->Enabled() != enabled)
        return ::testing::AssertionFailure() << stem << suffix << " enabled=" << c->Enabled();
    }
    return ::testing::AssertionSuccess();
  }
  void DriverCall() { app.modes.RGETypeClick(nullptr); }
};

TEST_F(ModesTest, BathFixesOneSecondAndSwitchesTheHeatsToPower) {
  f.TaoU->UserSelect(1);  // min
  f.TaoD->SetText("30");
  f.QoU->UserSelect(2);  // kJ
  f.QoD->SetText("5");
  f.QiU->UserSelect(3);  // kcal
  f.QiD->SetText("-2");
  f.MaoU->UserSelect(1);  // t
  f.MaoD->SetText("2");

  f.RGEType->SetItemIndex(1);  // 恒温浴

  EXPECT_NEAR(f.TaoD->GetValue(), 1.0, 1e-12);
  EXPECT_EQ(f.TaoD->Text(), Format15(1.0 / 60));  // still shown in minutes
  EXPECT_TRUE(f.TaoD->ReadOnly());
  EXPECT_TRUE(Quantity("Tao", false));
  EXPECT_TRUE(Quantity("Mao", false));
  EXPECT_TRUE(Quantity("Tom1", false));
  EXPECT_TRUE(Quantity("Tom2", false));
  EXPECT_TRUE(Quantity("FixTemp", true));

  for (ComboBoxU* u : {f.QoU, f.QiU}) {
    EXPECT_EQ(u->Items(), UnitList("Power"));
    EXPECT_EQ(u->ItemIndex(), 0);
    EXPECT_EQ(u->GetUnit(), "W");
  }
  EXPECT_EQ(f.QoD->Text(), "5000");
  EXPECT_EQ(f.QiD->Text(), "-8372");
  EXPECT_EQ(f.MaoU->Items(), UnitList("Mass"));
  EXPECT_EQ(f.MaoD->Text(), "2000");
  EXPECT_DOUBLE_EQ(f.MaoD->GetValue(), 2000);

  EXPECT_EQ(f.MaoL->Caption(), "浴液质量");
  EXPECT_EQ(f.TTaL->Caption(), "平均温差");
  EXPECT_EQ(f.KTaL->Caption(), "总传热系数");
  EXPECT_EQ(f.Tom1L->Caption(), "初始浴温");
  EXPECT_EQ(f.Tom2L->Caption(), "终了浴温");
  EXPECT_TRUE(f.ProjectModified());

  // Back to the storage tank: energies again, the time stays one second but editable.
  f.RGEType->SetItemIndex(0);
  EXPECT_EQ(f.QoU->Items(), UnitList("Energy"));
  EXPECT_EQ(f.QoU->GetUnit(), "J");
  EXPECT_EQ(f.QoD->Text(), "5000");
  EXPECT_FALSE(f.TaoD->ReadOnly());
  EXPECT_TRUE(Quantity("Tao", true));
  EXPECT_EQ(f.MaoL->Caption(), "总质量");
  EXPECT_EQ(f.Tom1L->Caption(), "初始温度");
}

TEST_F(ModesTest, BathTemperaturesStraddleTheBathByHalfAKelvin) {
  f.RGEType->SetItemIndex(1);
  f.FixTempD->SetText("80");
  f.Ti1D->SetText("120");  // the coil heats the bath
  DriverCall();
  EXPECT_EQ(f.Tom1D->Text(), "79.5");
  EXPECT_EQ(f.Tom2D->Text(), "80.5");
  f.Ti1D->SetText("20");  // the coil cools it
  DriverCall();
  EXPECT_EQ(f.Tom1D->Text(), "80.5");
  EXPECT_EQ(f.Tom2D->Text(), "79.5");
  f.Ti1D->SetText("80");  // equal counts as heating
  DriverCall();
  EXPECT_EQ(f.Tom1D->Text(), "79.5");
  // Without an inlet temperature nothing is written.
  f.Ti1D->SetText("");
  f.Tom1D->SetText("1");
  DriverCall();
  EXPECT_EQ(f.Tom1D->Text(), "1");
}

TEST_F(ModesTest, EvaporatingVesselSideForcesTwoStreams) {
  f.MaoD->SetText("3");
  f.QoD->SetText("7");
  f.PhoD->UserSelect(2);  // 液体蒸发
  EXPECT_EQ(f.RGEType->ItemIndex(), 2);
  EXPECT_EQ(f.MaoL->Caption(), "质量流量");
  EXPECT_EQ(f.Tom1L->Caption(), "入口温度");
  EXPECT_EQ(f.Tom2L->Caption(), "出口温度");
  EXPECT_EQ(f.TTaL->Caption(), "有效温差");
  EXPECT_EQ(f.MaoU->Items(), UnitList("MassFlow"));
  EXPECT_EQ(f.MaoU->GetUnit(), "kg/s");
  EXPECT_EQ(f.QoU->Items(), UnitList("Power"));
  EXPECT_DOUBLE_EQ(f.TaoD->GetValue(), 1.0);
  EXPECT_TRUE(f.TaoD->ReadOnly());
  EXPECT_EQ(f.MaoD->Text(), "3");
  EXPECT_TRUE(Quantity("Dpo", true));
  EXPECT_TRUE(Quantity("Cdt", true));
  EXPECT_TRUE(Quantity("Kc", false));
  EXPECT_EQ(f.LaoL->Caption(), "汽化率");
  EXPECT_TRUE(Quantity("Cop", true));
  EXPECT_EQ(f.CopD->GetColor(), colors::Window);
  EXPECT_TRUE(Quantity("Po", true));
  EXPECT_TRUE(Quantity("Pc", true));
  EXPECT_TRUE(Quantity("Copv", false));
  EXPECT_TRUE(Quantity("DHo", true));
  EXPECT_TRUE(f.SBP1v->Enabled());

  // Back to single phase: the vessel type stays, the phase fields go.
  f.PhoD->UserSelect(0);
  EXPECT_EQ(f.RGEType->ItemIndex(), 2);
  EXPECT_TRUE(Quantity("Po", false));
  EXPECT_TRUE(Quantity("Lao", false));
  EXPECT_EQ(f.LaoL->Caption(), "相变比例");
  // Enabled again by the later rule, but still drawn with the button face.
  EXPECT_TRUE(Quantity("Cop", true));
  EXPECT_EQ(f.CopD->GetColor(), colors::BtnFace);
}

TEST_F(ModesTest, PhaseChangingVesselSideKeepsTwoStreams) {
  f.PhoD->UserSelect(1);
  f.RGEType->SetItemIndex(0);  // the user tries the storage tank
  EXPECT_EQ(f.RGEType->ItemIndex(), 2);
  EXPECT_EQ(f.MaoU->Items(), UnitList("MassFlow"));
  EXPECT_EQ(f.MaoL->Caption(), "质量流量");
  f.PhoD->UserSelect(0);
  f.RGEType->SetItemIndex(0);
  EXPECT_EQ(f.RGEType->ItemIndex(), 0);
}

TEST_F(ModesTest, CondensingSidesEnableTheVapourFields) {
  f.PhoD->UserSelect(1);
  EXPECT_TRUE(Quantity("Cop", false));
  EXPECT_TRUE(Quantity("Copv", true));
  EXPECT_TRUE(Quantity("Po", false));
  EXPECT_EQ(f.LaoL->Caption(), "不凝气体");

  f.PhiD->UserSelect(1);
  EXPECT_TRUE(Quantity("Cip", false));
  EXPECT_TRUE(Quantity("Cipv", true));
  EXPECT_TRUE(Quantity("DHi", true));  // DHiL, DHiD, DhiU
  EXPECT_TRUE(f.DhiU->Enabled());
  EXPECT_TRUE(f.UivD->Enabled());
  EXPECT_TRUE(f.UivL->Enabled());
  EXPECT_FALSE(f.UivU->Enabled());  // keeps its state
  EXPECT_EQ(f.LaiL->Caption(), "不凝气体");
  EXPECT_TRUE(f.SBP2v->Enabled());
  f.PhiD->UserSelect(0);
  EXPECT_TRUE(Quantity("DHi", false));
  EXPECT_FALSE(f.UivD->Enabled());
  EXPECT_EQ(f.LaiL->Caption(), "相变比例");
}

TEST_F(ModesTest, TwoStreamsResetExternalCirculation) {
  f.RGFType->SetItemIndex(2);  // 外循环
  EXPECT_TRUE(Quantity("Wr", true));
  f.RGEType->SetItemIndex(2);  // 两流股
  EXPECT_EQ(f.RGFType->ItemIndex(), 0);
  EXPECT_TRUE(Quantity("Wr", false));
  // Agitation stays possible with two streams.
  f.RGFType->SetItemIndex(1);
  EXPECT_EQ(f.RGFType->ItemIndex(), 1);
  EXPECT_EQ(f.RGEType->ItemIndex(), 2);
}

TEST_F(ModesTest, AgitationClearsTheCentreColumnAndTheExpansionCoefficient) {
  f.DcD->SetText("0.3");
  f.RGFType->SetItemIndex(1);  // 搅拌
  EXPECT_DOUBLE_EQ(f.DcD->GetValue(), 0.0);
  EXPECT_TRUE(f.GBMix->Enabled());
  for (Component* c : {static_cast<Component*>(f.mitD), static_cast<Component*>(f.midD), static_cast<Component*>(f.rvD),
                       static_cast<Component*>(f.mitL)})
    EXPECT_TRUE(c->Enabled()) << c->Name();
  EXPECT_TRUE(Quantity("Bto", false));
  f.RGFType->SetItemIndex(0);
  EXPECT_FALSE(f.GBMix->Enabled());
  EXPECT_FALSE(f.midD->EffectivelyEnabled());
  EXPECT_TRUE(Quantity("Bto", true));
  EXPECT_DOUBLE_EQ(f.DcD->GetValue(), 0.0);
}

TEST_F(ModesTest, TheDriversCallLeavesTheTimeAndTheUnitListsAlone) {
  f.RGEType->SetItemIndex(2);
  f.TaoU->UserSelect(1);
  f.TaoD->SetText("7");   // whatever the field holds now
  f.QoU->UserSelect(2);   // kW
  f.MaoU->UserSelect(1);  // kg/h
  DriverCall();
  DriverCall();
  EXPECT_EQ(f.TaoD->Text(), "7");
  EXPECT_EQ(f.QoU->Items(), UnitList("Power"));
  EXPECT_EQ(f.QoU->ItemIndex(), 2);
  EXPECT_EQ(f.MaoU->Items(), UnitList("MassFlow"));
  EXPECT_EQ(f.MaoU->ItemIndex(), 1);
  EXPECT_EQ(f.TaoU->ItemIndex(), 1);

  // The same in the bath mode.
  f.RGEType->SetItemIndex(1);
  f.TaoD->SetText("9");
  f.QiU->UserSelect(4);
  DriverCall();
  EXPECT_EQ(f.TaoD->Text(), "9");
  EXPECT_EQ(f.QiU->ItemIndex(), 4);
}

TEST_F(ModesTest, CoilHeightFollowsTheShapeAfterTheNextRun) {
  f.TShapeD->UserSelect(1);  // 螺旋管
  EXPECT_EQ(f.DspL->Caption(), "螺距");
  DriverCall();
  EXPECT_TRUE(Quantity("pH", true));
  f.TShapeD->UserSelect(0);  // U型管
  EXPECT_EQ(f.DspL->Caption(), "管间距");
  EXPECT_TRUE(Quantity("pH", true));  // until the next run
  DriverCall();
  EXPECT_TRUE(Quantity("pH", false));
}

TEST_F(ModesTest, EnableQuantityTreatsTheWholeTripleOrTheFieldAlone) {
  app.modes.EnableQuantity({f.CopD}, false);
  EXPECT_TRUE(Quantity("Cop", false));
  EXPECT_EQ(f.CopD->GetColor(), colors::BtnFace);
  app.modes.EnableQuantity({f.CopD}, true);
  EXPECT_TRUE(Quantity("Cop", true));
  EXPECT_EQ(f.CopD->GetColor(), colors::Window);
  // A field without a label of its own.
  app.modes.EnableQuantity({f.HToD}, false);
  EXPECT_FALSE(f.HToD->Enabled());
  EXPECT_EQ(f.HToD->GetColor(), colors::BtnFace);
}

TEST_F(ModesTest, SummaryTablesHoldAfterAnySequenceOfSelections) {
  // The state after a project was opened: the mode handlers have run once.
  app.modes.PhiDChange(nullptr);
  app.modes.ifMixClick(nullptr);
  app.modes.PhoDChange(nullptr);
  app.modes.TShapeDChange(nullptr);
  f.QoD->SetText("1234");
  f.MaoD->SetText("55");
  std::mt19937 rng(20161205);
  for (int step = 0; step < 400; ++step) {
    const int which = static_cast<int>(rng() % 5), item = static_cast<int>(rng() % 3);
    switch (which) {
      case 0: f.RGEType->SetItemIndex(item); break;
      case 1: f.RGFType->SetItemIndex(item); break;
      case 2: f.PhoD->UserSelect(item); break;
      case 3: f.PhiD->UserSelect(item); break;
      case 4: f.TShapeD->UserSelect(item % 2); break;
    }
    if (rng() % 3 == 0) f.QoU->UserSelect(static_cast<int>(rng() % f.QoU->Items().size()));
    DriverCall();
    SCOPED_TRACE("step " + std::to_string(step));
    const int e = f.RGEType->ItemIndex(), fc = f.RGFType->ItemIndex(), p = f.PhoD->ItemIndex(), t = f.PhiD->ItemIndex(),
              s = f.TShapeD->ItemIndex();
    // Couplings.
    if (p > 0) {
      ASSERT_EQ(e, 2);
    }
    if (e == 2) {
      ASSERT_NE(fc, 2);
    }
    ASSERT_NE(fc, -1);
    // Enabled quantities.
    ASSERT_TRUE(Quantity("Tao", e <= 0));
    ASSERT_TRUE(Quantity("FixTemp", e == 1));
    for (const char* q : {"Mao", "Tom1", "Tom2"}) ASSERT_TRUE(Quantity(q, e != 1));
    for (const char* q : {"Kc", "Wc"}) ASSERT_TRUE(Quantity(q, e == 0));
    for (const char* q : {"Dpo", "Cdt"}) ASSERT_TRUE(Quantity(q, e == 2));
    ASSERT_TRUE(Quantity("Wr", fc == 2));
    ASSERT_TRUE(Quantity("Bto", fc != 1));
    for (Component* c : {static_cast<Component*>(f.GBMix), static_cast<Component*>(f.mitD),
                         static_cast<Component*>(f.midD), static_cast<Component*>(f.rvD)})
      ASSERT_EQ(c->Enabled(), fc == 1);
    ASSERT_TRUE(Quantity("pH", s == 1));
    for (const char* q : {"Lao", "DHo", "denov", "Viov"}) ASSERT_TRUE(Quantity(q, p > 0));
    ASSERT_EQ(f.SBP1v->Enabled(), p > 0);
    ASSERT_TRUE(Quantity("Cop", p != 1));
    ASSERT_TRUE(Quantity("Copv", p == 1));
    for (const char* q : {"Po", "Pc"}) ASSERT_TRUE(Quantity(q, p == 2));
    for (const char* q : {"Lai", "DHi", "deniv", "Viiv"}) ASSERT_TRUE(Quantity(q, t > 0));
    ASSERT_EQ(f.SBP2v->Enabled(), t > 0);
    ASSERT_EQ(f.UivD->Enabled(), t > 0);
    ASSERT_TRUE(Quantity("Cip", t != 1));
    ASSERT_TRUE(Quantity("Cipv", t == 1));
    // Captions.
    const char* mao[] = {"总质量", "浴液质量", "质量流量"};
    const char* tta[] = {"时均温差", "平均温差", "有效温差"};
    const char* kta[] = {"时均传热系数", "总传热系数", "总传热系数"};
    const char* tom1[] = {"初始温度", "初始浴温", "入口温度"};
    const char* tom2[] = {"目标温度", "终了浴温", "出口温度"};
    ASSERT_EQ(f.MaoL->Caption(), mao[e]);
    ASSERT_EQ(f.TTaL->Caption(), tta[e]);
    ASSERT_EQ(f.KTaL->Caption(), kta[e]);
    ASSERT_EQ(f.Tom1L->Caption(), tom1[e]);
    ASSERT_EQ(f.Tom2L->Caption(), tom2[e]);
    const char* phase[] = {"相变比例", "不凝气体", "汽化率"};
    ASSERT_EQ(f.LaoL->Caption(), phase[p]);
    ASSERT_EQ(f.LaiL->Caption(), phase[t]);
    ASSERT_EQ(f.DspL->Caption(), s == 0 ? "管间距" : "螺距");
    ASSERT_EQ(f.TaoD->ReadOnly(), e != 0);
    // Unit lists, and the SI values they carry.
    ASSERT_EQ(f.QoU->Items(), UnitList(e == 0 ? "Energy" : "Power"));
    ASSERT_EQ(f.QiU->Items(), UnitList(e == 0 ? "Energy" : "Power"));
    ASSERT_EQ(f.MaoU->Items(), UnitList(e == 2 ? "MassFlow" : "Mass"));
    ASSERT_NEAR(f.QoD->GetValue(), 1234, 1e-9);
    ASSERT_NEAR(f.MaoD->GetValue(), 55, 1e-9);
  }
}

}  // namespace
}  // namespace pelmora

namespace pelmora {
namespace {

// A new window shows the captions of its vessel type at once: the first recalculation
// changes none, and no caption says "无定义".
TEST(StartCaptions, TheFirstRecalculationChangesNoCaption) {
  ScriptedPort port;
  PelmoraApp app{&port, "/tmp/"};
  std::vector<std::pair<std::string, std::string>> before;
  for (Component* c : app.form.Components())
    if (auto* l = dynamic_cast<Label*>(c)) before.emplace_back(l->Name(), l->Caption());
  EXPECT_EQ(app.form.MaoL->Caption(), "总质量");
  app.modes.RGETypeClick(nullptr);
  for (const auto& [name, caption] : before) {
    EXPECT_EQ(app.form.FindAs<Label>(name)->Caption(), caption) << name;
    EXPECT_NE(caption, "无定义") << name;
  }
}

}  // namespace
}  // namespace pelmora

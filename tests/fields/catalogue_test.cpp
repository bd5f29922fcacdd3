// The calculation window as it opens: defaults, enabled states, looks, unit lists and
// the order of components that project files rely on.
#include <gtest/gtest.h>

#include "fields/Catalogue.h"
#include "fields/Text.h"

namespace pelmora {
namespace {

TEST(Catalogue, EnabledMustInputFieldsOfTheCalculationPageShowTheCue) {
  TFormPelmora f;
  std::vector<std::string> withoutCue;
  for (EditD* e : f.ValueFields()) {
    bool onCalcPage = false;
    for (Component* p = e->Parent(); p; p = p->Parent())
      if (p == f.TabSheet2) onCalcPage = true;
    if (!onCalcPage || e->MyResolved() || !e->Enabled()) continue;
    if (e->DrawOverlay().text != "[Must input]") withoutCue.push_back(e->Name());
  }
  EXPECT_EQ(withoutCue, (std::vector<std::string>{"SetErrD", "nD"}));
  EXPECT_EQ(f.SetErrD->Text(), "0.01");
  EXPECT_EQ(f.nD->Text(), "1");
  EXPECT_EQ(f.CmtoD->Lines(), std::vector<std::string>{"注释"});
}

TEST(Catalogue, PhaseAndModeFieldsStartDisabledWithLabelAndUnit) {
  TFormPelmora f;
  for (const char* stem :
       {"FixTemp", "Wr", "DHo", "Copv", "denov", "Viov", "Po", "Pc", "deniv", "Viiv", "Cipv", "Uiv"}) {
    const std::string s = stem;
    EXPECT_FALSE(f.Find(s + "D")->Enabled()) << s;
    EXPECT_FALSE(f.Find(s + "L")->Enabled()) << s;
    EXPECT_FALSE(f.Find(s + "U")->Enabled()) << s;
  }
  EXPECT_FALSE(f.DHiD->Enabled());
  EXPECT_FALSE(f.DhiU->Enabled());
  EXPECT_TRUE(f.TaoD->Enabled());
  EXPECT_FALSE(f.SBP1v->Enabled());
  EXPECT_FALSE(f.SBP2v->Enabled());
}

TEST(Catalogue, LooksByRole) {
  TFormPelmora f;
  // Must input: flat, blue, white.
  EXPECT_FALSE(f.CopD->MyResolved());
  EXPECT_FALSE(f.CopD->Ctl3D());
  EXPECT_EQ(f.CopD->GetFont().color, colors::Blue);
  // Free: 3-D, black, editable.
  EXPECT_TRUE(f.MaoD->MyResolved());
  EXPECT_TRUE(f.MaoD->Ctl3D());
  EXPECT_EQ(f.MaoD->GetFont().color, colors::Black);
  EXPECT_FALSE(f.MaoD->ReadOnly());
  // Results: button face, read-only.
  EXPECT_TRUE(f.AtD->ReadOnly());
  EXPECT_EQ(f.AtD->GetColor(), colors::BtnFace);
  EXPECT_EQ(f.AtD->GetCursor(), Cursor::Default);
  // The three flat fields of the vessel page with black text.
  for (EditD* e : {f.KvD, f.midD, f.rvD}) {
    EXPECT_FALSE(e->Ctl3D()) << e->Name();
    EXPECT_EQ(e->GetFont().color, colors::Black);
  }
  EXPECT_EQ(f.TaoD->GetFont().name, "Times New Roman");
  EXPECT_EQ(f.TaoD->GetFont().heightPx, 10);
  EXPECT_EQ(f.nU->font.name, "宋体");
}

TEST(Catalogue, UnitSelectorsStartOnTheirFirstUnitAndFollowTheExamples) {
  TFormPelmora f;
  for (ComboBoxU* u : f.UnitSelectors()) EXPECT_EQ(u->ItemIndex(), 0) << u->Name();
  EXPECT_FALSE(f.TaoU->TabStop());
  // kcal for the vessel heat: 4186 J shows as 1.
  f.QoD->SetValue(4186);
  f.QoU->UserSelect(3);
  EXPECT_EQ(f.QoD->Text(), "1");
  // Mkcal/h for the heat loss: 1163.1 W shows as 0.001.
  f.QLD->SetValue(1163.1);
  f.QLU->UserSelect(5);
  EXPECT_EQ(f.QLD->Text(), "0.001");
  // 1 m2 of heat-loss area in cm2.
  f.AeD->SetText("1");
  f.AeU->UserSelect(2);
  EXPECT_EQ(f.AeD->Text(), "10000");
  EXPECT_EQ(f.DhiU->Associated(), f.DHiD);
  EXPECT_EQ(f.QBakU->Associated(), nullptr);
  EXPECT_EQ(f.QBakU->Items(), UnitList("Energy"));
  EXPECT_EQ(f.MBakU->Items(), UnitList("Mass"));
}

TEST(Catalogue, ChoiceListsAndRadioGroups) {
  TFormPelmora f;
  EXPECT_EQ(f.SmD->Items().size(), 23u);
  EXPECT_EQ(f.TmD->Items().size(), 14u);
  EXPECT_EQ(f.PmD->Items().size(), 20u);
  EXPECT_EQ(f.mitD->Items().size(), 4u);
  EXPECT_EQ(f.TmD->Items().back(), "聚乙烯|0.3291");
  EXPECT_DOUBLE_EQ(f.TmD->NumberAfterBar(), 52.34);
  f.SmD->SetItemIndex(1);
  EXPECT_DOUBLE_EQ(f.SmD->NumberAfterBar(), 16.28);
  f.SmD->SetItemIndex(0);
  EXPECT_EQ(f.PhoD->Items()[1], "蒸汽冷凝");
  EXPECT_EQ(f.PhiD->Items()[1], "蒸气冷凝");
  for (ComboBox* c : {f.SmD, f.PmD, f.EVTD, f.PhoD, f.PhiD, f.TmD, f.TShapeD, f.VND, f.mitD})
    EXPECT_EQ(c->ItemIndex(), 0) << c->Name();
  EXPECT_EQ(f.RGEType->ItemIndex(), 0);
  EXPECT_EQ(f.RGFType->ItemIndex(), 0);
  EXPECT_EQ(f.RGLGDY->Items(), (std::vector<std::string>{"上", "中", "下"}));
  EXPECT_EQ(f.PageControl1->ActivePage(), f.TabSheet2);
}

TEST(Catalogue, CreationOrderFollowsTheLayout) {
  TFormPelmora f;
  auto pos = [&](const char* name) {
    const auto& c = f.Components();
    return std::find(c.begin(), c.end(), f.Find(name)) - c.begin();
  };
  EXPECT_LT(pos("TaoD"), pos("TaoU"));
  EXPECT_LT(pos("FixTempU"), pos("RGEType"));
  EXPECT_LT(pos("RGEType"), pos("RGFType"));
  EXPECT_LT(pos("RGFType"), pos("WrD"));
  EXPECT_LT(pos("OBJNameD"), pos("TaoD"));
  EXPECT_LT(pos("TabSheet2"), pos("GBBasic"));
  EXPECT_EQ(f.Find("maod"), f.MaoD);  // names without regard to case
}

TEST(Catalogue, ChangingAFieldMarksTheProjectModified) {
  TFormPelmora f;
  f.SetProjectModified(false);
  EXPECT_FALSE(f.MFSave->Enabled());
  f.MaoD->SetText("2000");
  EXPECT_TRUE(f.ProjectModified());
  EXPECT_TRUE(f.MFSave->Enabled());
  // Fields of the vessel page have no change handler.
  f.SetProjectModified(false);
  f.VsD->SetText("10");
  EXPECT_FALSE(f.ProjectModified());
}

TEST(Catalogue, TabOrderSkipsUnitSelectorsAndDisabledFields) {
  TFormPelmora f;
  EXPECT_EQ(f.NextInTabOrder(f.TaoD, true), f.sfD);
  EXPECT_EQ(f.NextInTabOrder(f.sfD, false), f.TaoD);
  // FixTempD is disabled at start: after SetErrD comes the radio group.
  EXPECT_EQ(f.NextInTabOrder(f.SetErrD, true), f.RGEType);
  // Focus stays on the page of the field.
  EXPECT_NE(f.NextInTabOrder(f.CmttD, true), nullptr);
}

}  // namespace
}  // namespace pelmora

namespace pelmora {
namespace {

TEST(StatusBar, ProgressPanelMovesOnlyToExistingPanels) {
  TFormPelmora f;
  StatusBar& bar = *f.MyStatusBar;
  ASSERT_EQ(bar.Panels().size(), 3u);
  EXPECT_EQ(bar.Panels()[0].width, 200);
  EXPECT_EQ(bar.Panels()[1].width, 400);
  EXPECT_EQ(bar.PIndex(), 2);
  EXPECT_TRUE(bar.Panels()[2].ownerDrawn);
  bar.SetPIndex(5);  // outside the panels: nothing changes
  EXPECT_EQ(bar.PIndex(), 2);
  EXPECT_TRUE(bar.Panels()[2].ownerDrawn);
  bar.SetPIndex(0);
  EXPECT_EQ(bar.PIndex(), 0);
  EXPECT_TRUE(bar.Panels()[0].ownerDrawn);
  EXPECT_FALSE(bar.Panels()[2].ownerDrawn);
}

TEST(Menu, FileMenuHoldsTheCommandsInOrder) {
  TFormPelmora f;
  std::vector<std::string> captions;
  for (size_t i = 0; i < f.MFile->Count(); ++i) captions.push_back(f.MFile->Item(i)->Caption());
  EXPECT_EQ(captions, (std::vector<std::string>{"&N 新建", "&O 打开", "-", "&S 保存", "&A 另存为", "&T 存为模板", "-",
                                                "&E 退出"}));
  EXPECT_TRUE(f.SBAutoRun->Toggle());
  EXPECT_EQ(f.SBAutoRun->Hint(), "自动计算");
}

}  // namespace
}  // namespace pelmora

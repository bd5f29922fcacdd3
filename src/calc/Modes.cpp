#include "calc/Modes.h"

#include "calc/Balance.h"
#include "fields/FieldOps.h"

namespace pelmora {

Modes::Modes(TFormPelmora& form) : f_(form) {
  f_.SetHandler("RGETypeClick", [this](Component* s) { RGETypeClick(s); });
  f_.SetHandler("RGFTypeClick", [this](Component* s) { RGFTypeClick(s); });
  f_.SetHandler("ifMixClick", [this](Component* s) { ifMixClick(s); });
  f_.SetHandler("PhoDChange", [this](Component* s) { PhoDChange(s); });
  f_.SetHandler("PhiDChange", [this](Component* s) { PhiDChange(s); });
  f_.SetHandler("TShapeDChange", [this](Component* s) { TShapeDChange(s); });
}

// Label, field and unit selector of a quantity (whichever of them exist).
void Modes::Enable(const std::string& stem, bool enabled) {
  for (const char* suffix : {"L", "D", "U"})
    if (Component* c = f_.Find(stem + suffix)) c->SetEnabled(enabled);
}

void Modes::EnableQuantity(const std::vector<Edit*>& fields, bool enabled) {
  for (Edit* field : fields) {
    if (!field) continue;
    const std::string& name = field->Name();
    std::string base = name.empty() ? name : name.substr(0, name.size() - 1);
    Component* label = f_.Find(base + "L");
    Edit* edit = field;
    Component* unit = nullptr;
    if (label) {
      edit = f_.FindAs<Edit>(base + "D");
      unit = f_.Find(base + "U");
      label->SetEnabled(enabled);
    }
    if (edit) {
      edit->SetEnabled(enabled);
      edit->SetColor(enabled ? colors::Window : colors::BtnFace);
    }
    if (unit) unit->SetEnabled(enabled);
  }
}

void Modes::RGETypeClick(Component* sender) {
  f_.SetProjectModified(true, false);
  // A vessel side that condenses or evaporates is a second stream whatever the user
  // clicks: the choice snaps back, and the rules run once more for "两流股".
  if (sender && f_.PhoD->ItemIndex() > 0 && f_.RGEType->ItemIndex() != 2) {
    f_.RGEType->SetItemIndex(2);
    return;
  }
  const int e = f_.RGEType->ItemIndex();
  const int s = f_.TShapeD->ItemIndex();

  Enable("Kc", e == 0);
  Enable("Wc", e == 0);
  Enable("Tao", e <= 0);
  Enable("FixTemp", e == 1);
  Enable("Tom1", e != 1);
  Enable("Tom2", e != 1);
  Enable("Mao", e != 1);
  Enable("Dpo", e == 2);
  Enable("Cdt", e == 2);
  Enable("pH", s == 1);
  Enable("Bto", f_.RGFType->ItemIndex() != 1);

  switch (e) {
    case 0:
      // Selecting a convection mode runs its own click, which comes back here without
      // a sender; by then the selection is no longer -1.
      if (f_.RGFType->ItemIndex() == -1) f_.RGFType->SetItemIndex(0);
      f_.MaoL->SetCaption("总质量");
      f_.TTaL->SetCaption("时均温差");
      f_.KTaL->SetCaption("时均传热系数");
      f_.Tom1L->SetCaption("初始温度");
      f_.Tom2L->SetCaption("目标温度");
      f_.TaoD->SetReadOnly(false);
      break;
    case 1:
      if (f_.RGFType->ItemIndex() == -1) f_.RGFType->SetItemIndex(0);
      f_.MaoL->SetCaption("无定义");
      if (sender) f_.TaoD->SetValue(1);
      f_.TaoD->SetReadOnly(true);
      f_.TTaL->SetCaption("平均温差");
      f_.KTaL->SetCaption("总传热系数");
      f_.Tom1L->SetCaption("无定义");
      f_.Tom2L->SetCaption("无定义");
      break;
    case 2:
      // External circulation is not offered with two streams.
      if (f_.RGFType->ItemIndex() == 2) f_.RGFType->SetItemIndex(0);
      f_.MaoL->SetCaption("质量流量");
      if (sender) f_.TaoD->SetValue(1);
      f_.TaoD->SetReadOnly(true);
      f_.TTaL->SetCaption("有效温差");
      f_.KTaL->SetCaption("总传热系数");
      f_.Tom1L->SetCaption("入口温度");
      f_.Tom2L->SetCaption("出口温度");
      break;
    default: break;
  }

  // A bath heated by the coil rises from 0.5 K below to 0.5 K above the bath
  // temperature; a cooled bath falls from 0.5 K above to 0.5 K below.
  if (e == 1 && AllFilled({f_.FixTempD, f_.Ti1D})) {
    const double bath = f_.FixTempD->GetValue();
    const double delta = f_.Ti1D->GetValue() >= bath ? -0.5 : 0.5;
    f_.Tom1D->SetValue(bath + delta);
    f_.Tom2D->SetValue(bath - delta);
  }

  // With the heating time fixed at one second the heats are rates, and with two
  // streams the vessel mass is a mass flow.
  if (sender) {
    // A bath is given its heat rate: a vessel heat solved in another mode is no rate.
    if (e == 1 && f_.QoD->GetColor() == VesselBalanceColor) ReleaseResult(*f_.QoD);
    const auto& heats = e == 0 ? f_.QBakU->Items() : f_.QLU->Items();
    f_.QoU->SetItems(heats);
    f_.QiU->SetItems(heats);
    f_.MaoU->SetItems(e == 0 || e == 1 ? f_.MBakU->Items() : f_.WiU->Items());
    f_.QoU->SetItemIndex(0);
    f_.QiU->SetItemIndex(0);
    f_.MaoU->SetItemIndex(0);
  }
}

void Modes::RGFTypeClick(Component*) {
  ifMixClick(nullptr);
  RGETypeClick(nullptr);
  Enable("Wr", f_.RGFType->ItemIndex() == 2);
}

void Modes::ifMixClick(Component*) {
  const bool agitated = f_.RGFType->ItemIndex() == 1;
  // No centre column in an agitated vessel.
  if (agitated) f_.DcD->SetValue(0);
  for (Component* c : f_.Components()) {
    for (const Component* p = c; p; p = p->Parent()) {
      if (p == f_.GBMix) {
        c->SetEnabled(agitated);
        break;
      }
    }
  }
  // The expansion coefficient only serves natural convection; its unit selector
  // follows with the vessel-type rules.
  f_.BtoL->SetEnabled(!agitated);
  f_.BtoD->SetEnabled(!agitated);
}

namespace {
const char* PhaseCaption(int phase) {
  switch (phase) {
    case 1: return "不凝气体";
    case 2: return "汽化率";
    default: return "无定义";
  }
}
}  // namespace

void Modes::PhoDChange(Component*) {
  f_.SetProjectModified(true);
  const int p = f_.PhoD->ItemIndex();
  // A vessel side that condenses or evaporates is always handled as a second stream.
  if (p > 0) f_.RGEType->SetItemIndex(2);
  Enable("Lao", p > 0);
  f_.LaoL->SetCaption(PhaseCaption(p));
  EnableQuantity({f_.CopD}, p == 2);
  Enable("Cop", p != 1);
  Enable("DHo", p > 0);
  Enable("Copv", p == 1);
  Enable("denov", p > 0);
  Enable("Po", p == 2);
  Enable("Pc", p == 2);
  Enable("Viov", p > 0);
  f_.SBP1v->SetEnabled(p > 0);
}

void Modes::PhiDChange(Component*) {
  f_.SetProjectModified(true);
  const int t = f_.PhiD->ItemIndex();
  Enable("Lai", t > 0);
  f_.LaiL->SetCaption(PhaseCaption(t));
  EnableQuantity({f_.CipD}, t == 2);
  Enable("Cip", t != 1);
  Enable("DHi", t > 0);  // DHiL, DHiD and DhiU (names are found without regard to case)
  Enable("Cipv", t == 1);
  Enable("deniv", t > 0);
  Enable("Viiv", t > 0);
  f_.SBP2v->SetEnabled(t > 0);
  // The vapour velocity is a result: its unit selector stays as it is.
  f_.UivL->SetEnabled(t > 0);
  f_.UivD->SetEnabled(t > 0);
}

void Modes::TShapeDChange(Component*) {
  f_.DspL->SetCaption(f_.TShapeD->ItemIndex() == 0 ? "管间距" : "螺距");
  // The next recalculation leaves the coil height enabled only for the helical shape.
  Enable("pH", true);
  f_.SetProjectModified(true);
}

}  // namespace pelmora

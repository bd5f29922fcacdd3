#include "calc/Modes.h"

#include "calc/Balance.h"
#include "fields/FieldOps.h"
#include "fields/ModeEnums.h"

namespace pelmora {

Modes::Modes(TFormPelmora& form) : f_(form) {
  f_.SetHandler("RGETypeClick", [this](Component* s) { RGETypeClick(s); });
  f_.SetHandler("RGFTypeClick", [this](Component* s) { RGFTypeClick(s); });
  f_.SetHandler("PhoDChange", [this](Component* s) { PhoDChange(s); });
  f_.SetHandler("PhiDChange", [this](Component* s) { PhiDChange(s); });
  f_.SetHandler("TShapeDChange", [this](Component* s) { TShapeDChange(s); });
  // The captions of the vessel type the window starts with, so that they do not change
  // at the first recalculation.
  SetTypeCaptions();
  // A bath is given the heat rate it takes up: there the field is an input, and leaving
  // it runs the recalculation as leaving any other input does.
  f_.QoD->OnExit = [this, result = f_.QoD->OnExit](Component* s) {
    if (ModeOf<VesselType>(*f_.RGEType) == VesselType::Bath)
      f_.RunHandler("MaoDExit", s);
    else if (result)
      result(s);
  };
}

// The vessel heat: the input of a bath (a result of the vessel balance otherwise, where
// its field is read-only until the user clears it).
void Modes::VesselHeatRole(VesselType e) {
  EditD& q = *f_.QoD;
  if (e != VesselType::Bath || !q.ReadOnly() || q.GetColor() == VesselBalanceColor) return;
  q.SetReadOnly(false);
  q.SetColor(colors::Window);
  q.SetCursor(Cursor::Default);
}

void Modes::SetTypeCaptions() {
  switch (ModeOf<VesselType>(*f_.RGEType)) {
    case VesselType::StorageTank:
      f_.MaoL->SetCaption("总质量");
      f_.TTaL->SetCaption("时均温差");
      f_.KTaL->SetCaption("时均传热系数");
      f_.Tom1L->SetCaption("初始温度");
      f_.Tom2L->SetCaption("目标温度");
      break;
    case VesselType::Bath:
      // The mass is not used; the two temperatures are the bath's ±0.5 K band.
      f_.MaoL->SetCaption("浴液质量");
      f_.TTaL->SetCaption("平均温差");
      f_.KTaL->SetCaption("总传热系数");
      f_.Tom1L->SetCaption("初始浴温");
      f_.Tom2L->SetCaption("终了浴温");
      break;
    case VesselType::TwoStreams:
      f_.MaoL->SetCaption("质量流量");
      f_.TTaL->SetCaption("有效温差");
      f_.KTaL->SetCaption("总传热系数");
      f_.Tom1L->SetCaption("入口温度");
      f_.Tom2L->SetCaption("出口温度");
      break;
    default: break;
  }
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
  if (sender && ChangesPhase(ModeOf<Phase>(*f_.PhoD)) && ModeOf<VesselType>(*f_.RGEType) != VesselType::TwoStreams) {
    SelectMode(*f_.RGEType, VesselType::TwoStreams);
    return;
  }
  const VesselType e = ModeOf<VesselType>(*f_.RGEType);
  const TubeShape s = ModeOf<TubeShape>(*f_.TShapeD);

  Enable("Kc", e == VesselType::StorageTank);
  Enable("Wc", e == VesselType::StorageTank);
  Enable("Tao", e <= VesselType::StorageTank);
  Enable("FixTemp", e == VesselType::Bath);
  Enable("Tom1", e != VesselType::Bath);
  Enable("Tom2", e != VesselType::Bath);
  Enable("Mao", e != VesselType::Bath);
  Enable("Dpo", e == VesselType::TwoStreams);
  Enable("Cdt", e == VesselType::TwoStreams);
  Enable("pH", s == TubeShape::Helical);
  Enable("Bto", ModeOf<Convection>(*f_.RGFType) != Convection::Agitated);

  switch (e) {
    case VesselType::StorageTank:
      // Selecting a convection mode runs its own click, which comes back here without
      // a sender; by then the selection is no longer -1.
      if (ModeOf<Convection>(*f_.RGFType) == Convection::None) SelectMode(*f_.RGFType, Convection::Natural);
      f_.TaoD->SetReadOnly(false);
      break;
    case VesselType::Bath:
      if (ModeOf<Convection>(*f_.RGFType) == Convection::None) SelectMode(*f_.RGFType, Convection::Natural);
      if (sender) f_.TaoD->SetValue(1);
      f_.TaoD->SetReadOnly(true);
      break;
    case VesselType::TwoStreams:
      // External circulation is not offered with two streams.
      if (ModeOf<Convection>(*f_.RGFType) == Convection::ExternalLoop) SelectMode(*f_.RGFType, Convection::Natural);
      if (sender) f_.TaoD->SetValue(1);
      f_.TaoD->SetReadOnly(true);
      break;
    default: break;
  }
  SetTypeCaptions();
  VesselHeatRole(e);

  // A bath heated by the coil rises from 0.5 K below to 0.5 K above the bath
  // temperature; a cooled bath falls from 0.5 K above to 0.5 K below.
  if (e == VesselType::Bath && AllFilled({f_.FixTempD, f_.Ti1D})) {
    const double bath = f_.FixTempD->GetValue();
    const double delta = f_.Ti1D->GetValue() >= bath ? -0.5 : 0.5;
    f_.Tom1D->SetValue(bath + delta);
    f_.Tom2D->SetValue(bath - delta);
  }

  // With the heating time fixed at one second the heats are rates, and with two
  // streams the vessel mass is a mass flow.
  if (sender) {
    // A bath is given its heat rate: a vessel heat solved in another mode is no rate.
    if (e == VesselType::Bath && f_.QoD->GetColor() == VesselBalanceColor) ReleaseResult(*f_.QoD);
    const auto& heats = e == VesselType::StorageTank ? f_.QBakU->Items() : f_.QLU->Items();
    f_.QoU->SetItems(heats);
    f_.QiU->SetItems(heats);
    f_.MaoU->SetItems(e == VesselType::StorageTank || e == VesselType::Bath ? f_.MBakU->Items() : f_.WiU->Items());
    f_.QoU->SetItemIndex(0);
    f_.QiU->SetItemIndex(0);
    f_.MaoU->SetItemIndex(0);
  }
}

void Modes::RGFTypeClick(Component*) {
  ifMixClick(nullptr);
  RGETypeClick(nullptr);
  Enable("Wr", ModeOf<Convection>(*f_.RGFType) == Convection::ExternalLoop);
}

void Modes::ifMixClick(Component*) {
  const bool agitated = ModeOf<Convection>(*f_.RGFType) == Convection::Agitated;
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
const char* PhaseCaption(Phase phase) {
  switch (phase) {
    case Phase::Condensing: return "不凝气体";
    case Phase::Evaporating: return "汽化率";
    default: return "相变比例";  // not used in single phase (the field is disabled)
  }
}
}  // namespace

void Modes::PhoDChange(Component*) {
  f_.SetProjectModified(true);
  const Phase p = ModeOf<Phase>(*f_.PhoD);
  const bool change = ChangesPhase(p);
  // A vessel side that condenses or evaporates is always handled as a second stream.
  if (change) SelectMode(*f_.RGEType, VesselType::TwoStreams);
  Enable("Lao", change);
  f_.LaoL->SetCaption(PhaseCaption(p));
  EnableQuantity({f_.CopD}, p == Phase::Evaporating);
  Enable("Cop", p != Phase::Condensing);
  Enable("DHo", change);
  Enable("Copv", p == Phase::Condensing);
  Enable("denov", change);
  Enable("Po", p == Phase::Evaporating);
  Enable("Pc", p == Phase::Evaporating);
  Enable("Viov", change);
  f_.SBP1v->SetEnabled(change);
}

void Modes::PhiDChange(Component*) {
  f_.SetProjectModified(true);
  const Phase t = ModeOf<Phase>(*f_.PhiD);
  const bool change = ChangesPhase(t);
  Enable("Lai", change);
  f_.LaiL->SetCaption(PhaseCaption(t));
  EnableQuantity({f_.CipD}, t == Phase::Evaporating);
  Enable("Cip", t != Phase::Condensing);
  Enable("DHi", change);  // DHiL, DHiD and DhiU (names are found without regard to case)
  Enable("Cipv", t == Phase::Condensing);
  Enable("deniv", change);
  Enable("Viiv", change);
  f_.SBP2v->SetEnabled(change);
  // The vapour velocity is a result: its unit selector stays as it is.
  f_.UivL->SetEnabled(change);
  f_.UivD->SetEnabled(change);
}

void Modes::TShapeDChange(Component*) {
  f_.DspL->SetCaption(ModeOf<TubeShape>(*f_.TShapeD) == TubeShape::UTube ? "管间距" : "螺距");
  // The next recalculation leaves the coil height enabled only for the helical shape.
  Enable("pH", true);
  f_.SetProjectModified(true);
}

}  // namespace pelmora

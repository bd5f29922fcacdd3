#include "calc/Geometry.h"

#include "fields/FieldOps.h"
#include "fields/Text.h"

namespace pelmora {

Geometry::Geometry(TFormPelmora& form) : f_(form) {
  f_.SetHandler("VsDExit", [this](Component* s) { VsDExit(s); });
  f_.SetHandler("VNDChange", [this](Component* s) { VNDChange(s); });
  f_.SetHandler("VNDClick", [this](Component* s) { VNDClick(s); });
  f_.SetHandler("BTVesselClick", [this](Component* s) { BTVesselClick(s); });
  f_.SetHandler("midDExit", [this](Component* s) { midDExit(s); });
  f_.SetHandler("SBnClick", [this](Component* s) { SBnClick(s); });
}

void Geometry::VsDExit(Component*) {}
void Geometry::VNDChange(Component*) {}
void Geometry::VNDClick(Component*) {}

// Copies the vessel definition into the calculation page: the heat-loss area, and in
// the storage-tank mode an empty content mass from the filled volume.
void Geometry::BTVesselClick(Component*) {
  if (AllFilled({f_.Ae1D, f_.VsD, f_.KvD, f_.DenoD})) {
    f_.AeD->SetValue(f_.Ae1D->GetValue());
    if (f_.RGEType->ItemIndex() == 0 && f_.RGFType->ItemIndex() != 2 && Blank(*f_.MaoD))
      f_.MaoD->SetValue(f_.KvD->GetValue() * f_.VsD->GetValue() * f_.DenoD->GetValue());
  }
  f_.PageControl1->SetActivePage(f_.TabSheet2);
}

void Geometry::midDExit(Component*) {}
void Geometry::SBnClick(Component*) {}

}  // namespace pelmora

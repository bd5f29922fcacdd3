#include "calc/Modes.h"

namespace pelmora {

Modes::Modes(TFormPelmora& form) : f_(form) {
  f_.SetHandler("RGETypeClick", [this](Component* s) { RGETypeClick(s); });
  f_.SetHandler("RGFTypeClick", [this](Component* s) { RGFTypeClick(s); });
  f_.SetHandler("PhoDChange", [this](Component* s) { PhoDChange(s); });
  f_.SetHandler("PhiDChange", [this](Component* s) { PhiDChange(s); });
  f_.SetHandler("TShapeDChange", [this](Component* s) { TShapeDChange(s); });
}

// The mode rules are filled in with the operating-modes work; until then the
// reactions only mark the project modified.
void Modes::RGETypeClick(Component*) { f_.SetProjectModified(true, false); }
void Modes::RGFTypeClick(Component*) { RGETypeClick(nullptr); }
void Modes::ifMixClick(Component*) {}
void Modes::PhoDChange(Component*) { f_.SetProjectModified(true); }
void Modes::PhiDChange(Component*) { f_.SetProjectModified(true); }
void Modes::TShapeDChange(Component*) { f_.SetProjectModified(true); }
void Modes::EnableQuantity(const std::vector<Edit*>&, bool) {}

}  // namespace pelmora

#pragma once
// Operating modes: the vessel type, convection mode, phases of both sides and the tube
// shape decide which fields are enabled, relabel captions, fix the heating time and
// swap the unit lists of the heats and of the vessel mass.
#include <string>
#include <vector>

#include "fields/Catalogue.h"
#include "fields/ModeEnums.h"

namespace pelmora {

class Modes {
 public:
  explicit Modes(TFormPelmora& form);  // installs the handlers on the form

  void RGETypeClick(Component* sender);
  void RGFTypeClick(Component* sender);
  void ifMixClick(Component* sender);
  void PhoDChange(Component* sender);
  void PhiDChange(Component* sender);
  void TShapeDChange(Component* sender);
  void EnableQuantity(const std::vector<Edit*>& fields, bool enabled);
  // The captions that depend on the vessel type (mass, mean temperature difference,
  // overall coefficient, the two vessel temperatures).
  void SetTypeCaptions();

 private:
  // Sets the enabled flag of the quantity's label, field and unit selector.
  void Enable(const std::string& stem, bool enabled);
  void VesselHeatRole(VesselType e);

  TFormPelmora& f_;
};

}  // namespace pelmora

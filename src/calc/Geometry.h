#pragma once
// The vessel definition page: volume groups, wetted heat-loss areas of the four vessel
// shapes, the copy into the calculation page, the impeller check and the tube-count
// estimate.
#include "fields/Catalogue.h"

namespace pelmora {

class Geometry {
 public:
  explicit Geometry(TFormPelmora& form);  // installs the handlers on the form

  void VsDExit(Component* sender);
  void VNDChange(Component* sender);
  void VNDClick(Component* sender);
  void BTVesselClick(Component* sender);
  void midDExit(Component* sender);
  void SBnClick(Component* sender);

 private:
  TFormPelmora& f_;
};

}  // namespace pelmora

#pragma once
// Internal to the sizing pass: the values one GetFx call reads at its start and carries
// from stage to stage.
#include "calc/Calculation.h"
#include "fields/ModeEnums.h"

namespace pelmora {

struct Calculation::Fx {
  VesselType vesselType = VesselType::StorageTank;
  Convection convection = Convection::Natural;
  Phase vesselPhase = Phase::Single;
  Phase tubePhase = Phase::Single;
  bool flowMode() const { return vesselType == VesselType::TwoStreams || convection == Convection::ExternalLoop; }

  // Read at the start (vessel fluid, tube, heating time).
  double rhoO = 0, dout = 0, muO = 0, cpO = 0, lambdaO = 0, W = 0, tau = 0;
  double beta = 0, Sl = 0, Dc = 0;  // convection other than agitated
  double Ds = 0, dImp = 0, N = 0;   // agitated
  double dh = 0;                    // heat released per kg of tube fluid

  double result = -1;
  double change = 0;  // change value of the free-convection regime loop, kept over iterations

  // Of the current area iteration.
  double ho = 0, hw = 0, hoNat = 0, hi = 0, K = 0;
  double Ke = 0, Ae = 0, Te = 0;
};

}  // namespace pelmora

#pragma once
// The overall coefficient taken apart: 1/K as the sum of the five resistances in series
// between the vessel fluid and the tube fluid, each referred to the outer tube surface,
// exactly as the sizing pass forms K (corr::OverallCoefficient):
//   1/K = 1/ho + Ro + (do - di) do / (lw (do + di)) + Ri do/di + (1/hi) do/di
// The wall term is the thin-wall resistance delta/lw (delta = (do - di)/2) scaled by do
// over the arithmetic-mean diameter (do + di)/2. The series form with a fouling factor on
// each side: Sinnott, Coulson & Richardson's Chemical Engineering Vol. 6, 4th ed., eq. 12.2
// (there with the wall as do ln(do/di) / (2 kw), which the thin-wall term approximates);
// Incropera & DeWitt, Fundamentals of Heat and Mass Transfer, 6th ed., eq. 11.5.
#include <array>
#include <optional>

#include "fields/Catalogue.h"

namespace pelmora {

struct ResistanceBreakdown {
  // m2.K/W, each referred to the outer tube surface.
  double vesselFilm = 0;     // 1/ho
  double vesselFouling = 0;  // Ro
  double wall = 0;           // tube wall
  double tubeFouling = 0;    // Ri do/di
  double tubeFilm = 0;       // (1/hi) do/di

  std::array<double, 5> Terms() const { return {vesselFilm, vesselFouling, wall, tubeFouling, tubeFilm}; }
  double Total() const { return vesselFilm + vesselFouling + wall + tubeFouling + tubeFilm; }
  double K() const { return 1 / Total(); }
  // Each term's share of the total, in %.
  std::array<double, 5> SharesPercent() const;
};

// From SI values; nothing when a coefficient, a diameter or the conductivity is not
// positive, the inner diameter is not below the outer one, a fouling resistance is
// negative, or a term is not finite.
std::optional<ResistanceBreakdown> Resistances(double ho, double Ro, double dout, double di, double lambdaWall,
                                               double hi, double Ri);

// From what the window shows: 壳程膜系数 koD, 管外污垢 RoD, 管外径 dioD, 管内径 diiD,
// the conductivity of the tube material TmD, 管内污垢 RiD, 管内膜系数 kiD. Nothing when
// one of them is disabled, empty or not a number, or the values give no breakdown.
std::optional<ResistanceBreakdown> ResistancesFromFields(const TFormPelmora& form);

}  // namespace pelmora

#pragma once
// Checks of a completed run that need to know which library substance fills each side
// (TFormPelmora::Substances): where the properties were taken outside the range their
// data hold for, where the vessel liquid would boil, and where the run's temperatures
// have moved away from those the properties were taken at. A side without a substance,
// or whose record the library no longer holds, is left out (the last with a hint).
//
// Sources:
//  - Boiling point: the record's vapour-pressure text solved for p_sat(t) = p
//    (props/PropRange.h).
//  - Wall temperature: the steady series-resistance temperature profile across vessel
//    film, tube wall and tube film (Bergman, Lavine, Incropera & DeWitt, Fundamentals of
//    Heat and Mass Transfer, 7th ed., §3.1, the thermal circuit of a composite wall: the
//    same heat flows through each resistance in series): the surface the vessel liquid touches lies above the liquid by
//    the share (1/ho) / (1/ho + R_wall + (1/hi) do/di) of the temperature difference. With the wall left out this is
//    Kern's wall temperature (D. Q. Kern, Process Heat Transfer, 1950, eq. 5.31: t_w = t_c + h_io/(h_io + h_o) (T_c -
//    t_c)). The clean tube is taken (fouling not counted): it carries the highest flux, so its wall runs hottest.
//  - The 5 K tolerance between the temperature properties were taken at and the run's
//    mean temperature: over 5 K the viscosity of water changes by 7-11 % between 20 and
//    65 °C (1.002 to 0.890 mPa.s from 20 to 25 °C, IAPWS 2008 viscosity), which moves a
//    film coefficient by several per cent; beyond that the properties should follow.
#include <optional>
#include <string>
#include <vector>

#include "calc/Checks.h"
#include "fields/Catalogue.h"
#include "props/PropLib.h"

namespace pelmora {

inline constexpr double kAtmosphereKPa = 101.325;
inline constexpr double kPropertyTemperatureTolerance = 5.0;  // K

// The value fields a side's properties go into, the first being the one a check names.
std::vector<const EditD*> SideFields(const TFormPelmora& form, FluidSide side);
// The field a side's check names: the first of SideFields that is enabled (or the first).
std::string SideCheckField(const TFormPelmora& form, FluidSide side);

// The mean of the side's two stream temperatures after a run (容器 初始/目标温度, 管程
// 入口/出口温度), °C; nothing when one is missing.
std::optional<double> SideMeanTemperature(const TFormPelmora& form, FluidSide side);

// The pressure the vessel liquid is at, kPa absolute, with the words that say where it
// comes from: 蒸发压力 when it is enabled and holds a value, else the pressure the vessel
// liquid's properties were taken at when that is above one atmosphere (a closed vessel
// under pressure), else one atmosphere.
struct VesselPressure {
  double kPa = kAtmosphereKPa;
  std::string basis;  // "蒸发压力", "物性取值压力" or "未给出容器压力，按常压"
};
VesselPressure VesselPressureOf(const TFormPelmora& form);

// The temperature of the surface the vessel liquid touches, from the two fluid
// temperatures (°C) and the clean-tube resistances (m2.K/W, on the outer surface).
double VesselWallTemperature(double tVessel, double tTube, double vesselFilm, double wall, double tubeFilm);

// The sides whose properties were taken more than 5 K away from the run's mean
// temperature (and whose property button is enabled).
std::vector<FluidSide> SidesToUpdate(const TFormPelmora& form);

// Appends the checks (an infeasible one before the others' first non-infeasible check, so
// that infeasible checks stay listed first).
void AddSubstanceChecks(const TFormPelmora& form, const PropLibrary& lib, std::vector<DesignCheck>& checks);

// The expansion coefficient β = -(1/ρ) dρ/dT (1/K) of a record at tC and pKPa from its
// density text, dρ/dT as the central difference over t ± 1 K; nothing when a density
// cannot be had.
std::optional<double> ExpansionFromDensity(const PropRecord& rec, double tC, double pKPa);
// The same with the density at tC already evaluated (by a caller that needs it too).
std::optional<double> ExpansionFromDensity(const PropRecord& rec, double tC, double pKPa, double densityAtT);

}  // namespace pelmora

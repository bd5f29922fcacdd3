// Where a library record's data hold, its vapour pressure and boiling point.
//
// Every shipped record says, in its own columns, the temperature range of its property
// texts (TL..TH, °C), the pressure range when the texts depend on p (PL..PH, kPa absolute)
// and the basis in words (PB), and, for a substance with a liquid phase, its vapour
// pressure as a text in t (VP, kPa) with the range where that text holds (VL..VH, °C).
// This is what the rest of the program asks of it:
//
//   RecordRange(rec)            the ranges as numbers (absent columns stay empty)
//   VapourPressure(rec, t)      p_sat in kPa at t °C, or nothing with the reason
//   BoilingPoint(rec, p)        the temperature (°C) at which p_sat(t) = p (kPa): the boiling
//                               point of a liquid record, the saturation (dew) temperature of
//                               a vapour record; nothing, with the reason, when the record
//                               has no vapour pressure or p lies outside what it covers
//   CheckRange(rec, t, p)       whether (t, p) lies where the data hold, and the Chinese
//                               sentences that say what is outside; InRange(rec, t, p) is
//                               its yes/no. A liquid record above its boiling point at p, or
//                               a gas or vapour record below its saturation temperature at p
//                               (it would condense), is outside as well.
//   NonPhysicalMessage(...)     the refusal of a computed property that is not a property
//                               (a density, cp, viscosity, conductivity or latent heat that
//                               is not positive, a negative surface tension)
//
// None of these throws: a text that cannot be evaluated is reported as a reason.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "props/PropLib.h"

namespace pelmora {

struct PropRange {
  std::optional<double> tMin, tMax;    // °C, of the property texts
  std::optional<double> pMin, pMax;    // kPa absolute; empty when the texts ignore p
  std::string basis;                   // the pressure basis in words
  std::optional<double> vpMin, vpMax;  // °C, of the vapour-pressure text
  bool hasVapourPressure = false;
};

PropRange RecordRange(const PropRecord& rec);

// Liquid: the Chinese name contains "液" (as the property models take it). Vapour: not a
// liquid, but with a vapour pressure (a saturated or superheated vapour). Gas: neither.
enum class RecordPhase { Liquid, Vapour, Gas };
RecordPhase PhaseOf(const PropRecord& rec);
// A record whose texts are for the saturated state with t as the saturation temperature
// (its basis begins with "饱和蒸汽"): its p is given by t, not checked against it.
bool SaturatedByT(const PropRecord& rec);

struct PressureResult {
  std::optional<double> value;  // kPa
  std::string reason;           // why there is none
};
PressureResult VapourPressure(const PropRecord& rec, double tC);

struct BoilingResult {
  std::optional<double> t;  // °C
  std::string reason;       // why there is none
};
// Solved by bisection on the vapour-pressure text over its range (at most 200 halvings,
// to 1E-4 K). Pressures in kPa absolute.
BoilingResult BoilingPoint(const PropRecord& rec, double pKPa);

struct RangeCheck {
  bool tBelow = false, tAbove = false, pBelow = false, pAbove = false;
  bool boils = false;      // a liquid record above its boiling point at p
  bool condenses = false;  // a vapour or gas record below its saturation temperature at p
  std::optional<double> boilingT;
  std::vector<std::string> messages;  // one sentence per finding, Chinese
  bool InRange() const { return messages.empty(); }
};
RangeCheck CheckRange(const PropRecord& rec, double tC, double pKPa);
inline bool InRange(const PropRecord& rec, double tC, double pKPa) { return CheckRange(rec, tC, pKPa).InRange(); }

// The range as the dialog and the manual write it: "-73 ~ 78 ℃" (+ "，100 ~ 1000 kPa").
std::string RangeText(const PropRecord& rec);

// Empty when value is a property; otherwise the refusal naming the record, t and the
// property: "乙醇(液) 在 150 ℃ 的动力粘度为负值，超出该物性数据的适用范围". name is the
// library name (Cp, MD, VI, TC, ST, HV); other names are never refused.
std::string NonPhysicalMessage(const PropRecord& rec, const std::string& name, double value, const std::string& tText);

}  // namespace pelmora

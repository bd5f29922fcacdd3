#pragma once
// Design checks of a completed recalculation: where a correlation is used outside the
// range its source states, and where a design leaves usual practice (tube velocity,
// pressure drop, coil height, LMTD correction). They only report; the calculation is
// not changed by them.
#include <string>
#include <vector>

#include "fields/Catalogue.h"

namespace pelmora {

struct DesignCheck {
  // Infeasible: the design cannot work (a target beyond reach, a coil that does not fit);
  // its numbers are shown for diagnosis only. Listed before every other level.
  enum class Level { Hint, Warning, Infeasible };
  Level level = Level::Hint;
  std::string field;  // the value field the check concerns, e.g. "UiD"
  std::string text;   // Chinese, with the numbers
  // Further fields that carry the check's sign (an infeasible design marks its area and
  // lengths as well as the field that makes it so).
  std::vector<std::string> marks = {};
  bool operator==(const DesignCheck&) const = default;
};

// "提示", "警告" or "不可行".
const char* LevelText(DesignCheck::Level level);

// True when no check says the design is infeasible.
bool Feasible(const std::vector<DesignCheck>& checks);

// What a recalculation found on its way that the fields do not show: the sizing pass
// fell back to the steady-state balance, or the LMTD correction factor could not be
// computed. Kept for the checks of the run.
struct RunFacts {
  bool steadyStateFallback = false;
  bool correctionUndefined = false;
  double correctionR = 0, correctionP = 0;  // of the failed correction factor
};

// Usual-practice limits, with their sources in Checks.cpp.
namespace limits {
inline constexpr double kLiquidVelocityMin = 0.5;        // m/s
inline constexpr double kLiquidVelocityMax = 3.0;        // m/s
inline constexpr double kVapourVelocityMax = 30.0;       // m/s
inline constexpr double kGasDensity = 100.0;             // kg/m3: a lighter tube fluid counts as gas or vapour
inline constexpr double kThinLiquidViscosity = 1e-3;     // Pa.s: the allowance below is for thinner liquids
inline constexpr double kThinLiquidPressureDrop = 35e3;  // Pa, liquids below 1 mPa.s
inline constexpr double kLiquidPressureDrop = 70e3;      // Pa, liquids of 1-10 mPa.s (50-70 kPa)
inline constexpr double kVapourPressureDrop = 35e3;      // Pa, when the stream's pressure is unknown
inline constexpr double kMaxMach = 0.3;                  // incompressible flow up to about Ma 0.3
inline constexpr double kMinLengthToDiameter = 10;       // L/D of the tube correlations
inline constexpr double kPressureDropShare = 0.1;        // of the stream's absolute pressure
inline constexpr double kMinCorrectionFactor = 0.8;
}  // namespace limits

// The checks over what the fields show after a run; reads the fields only (no messages,
// nothing changed). Disabled and empty fields are not used.
// Infeasible designs are listed first.
std::vector<DesignCheck> CollectDesignChecks(const TFormPelmora& form, const RunFacts& facts = {});

// Speed of sound of an ideal gas with k = 1.3 from its cp (J/(kg.K)) at t (degC), m/s.
double SpeedOfSound(double cp, double tCelsius);

// Short number text for check messages (4 significant digits).
std::string CheckNumber(double x);

}  // namespace pelmora

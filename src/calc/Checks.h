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
  enum class Level { Hint, Warning };
  Level level = Level::Hint;
  std::string field;  // the value field the check concerns, e.g. "UiD"
  std::string text;   // Chinese, with the numbers
  bool operator==(const DesignCheck&) const = default;
};

// "提示" or "警告".
const char* LevelText(DesignCheck::Level level);

// Usual-practice limits, with their sources in Checks.cpp.
namespace limits {
inline constexpr double kLiquidVelocityMin = 0.5;    // m/s
inline constexpr double kLiquidVelocityMax = 3.0;    // m/s
inline constexpr double kVapourVelocityMax = 30.0;   // m/s
inline constexpr double kGasDensity = 100.0;         // kg/m3: a lighter tube fluid counts as gas or vapour
inline constexpr double kLiquidPressureDrop = 70e3;  // Pa
inline constexpr double kVapourPressureDrop = 35e3;  // Pa, when the stream's pressure is unknown
inline constexpr double kPressureDropShare = 0.1;    // of the stream's absolute pressure
inline constexpr double kMinCorrectionFactor = 0.8;
}  // namespace limits

// The checks over what the fields show after a run; reads the fields only (no messages,
// nothing changed). Disabled and empty fields are not used.
std::vector<DesignCheck> CollectDesignChecks(const TFormPelmora& form);

// Short number text for check messages (4 significant digits).
std::string CheckNumber(double x);

}  // namespace pelmora

#pragma once
// The method check of a completed run: beside each coefficient, the area and the
// tube-side pressure drop the sizing computed, an independent estimate by another
// published method from the same fields, the spread between them, and the area the
// most conservative combination needs, with the margin (富余度) it asks for.
// It reads the fields only; the calculation is not changed by it.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "calc/Checks.h"
#include "fields/Catalogue.h"
#include "props/PropLib.h"

namespace pelmora {

struct CrossCheckRow {
  std::string field;     // the value field compared ("kiD", "koD", "AtD", "DpiD"), "K" for the overall coefficient
  std::string quantity;  // Chinese caption of the quantity
  std::string unit;      // SI unit of both values
  std::optional<double> value;        // what this program computed
  std::optional<double> independent;  // the independent estimate; none where the method does not apply
  std::string method;                 // the method's name
  std::string source;                 // book, edition, equation
  std::string note;                   // the range, what was assumed, or why there is no number
  std::optional<double> deviation;    // independent / value - 1
  // The area the independent estimate implies over the area of this program (through
  // the overall coefficient for a film coefficient); none for the pressure drop.
  std::optional<double> areaRatio;
  // Hint beyond +-15 %, Warning where this program's choice gives an area more than 30 %
  // smaller than the independent method; none within +-15 % or without a number.
  std::optional<DesignCheck::Level> level;
  // Within the method's stated range: only such estimates enter the margin.
  bool inRange = true;
  bool operator==(const CrossCheckRow&) const = default;
};

struct CrossCheckResult {
  std::vector<CrossCheckRow> rows;
  std::optional<double> neededArea;         // m2, by the most conservative combination
  std::optional<double> recommendedMargin;  // %, whole percent, at least 0
  std::string summary;                      // the sentence that states both
  bool operator==(const CrossCheckResult&) const = default;
};

// Thresholds of the levels.
namespace crosscheck {
inline constexpr double kHintSpread = 0.15;
inline constexpr double kWarningArea = 0.30;
}  // namespace crosscheck

// The library record the vessel liquid was taken from, when the project knows it: the
// free-convection estimate then takes its properties at the film temperature, as the
// correlation asks (Incropera & DeWitt, 6th ed., §9.6: properties at T_f = (T_s + T_∞)/2).
struct FilmSource {
  const PropRecord* record = nullptr;
  double pKPa = 101.325;
  std::string name;
};

// The method check over what the fields show after a completed run.
CrossCheckResult RunCrossCheck(const TFormPelmora& form, const FilmSource& vessel = {});

// A 64-bit fingerprint of what the method check reads: every value field (its number,
// enabled and stale flags), the selectors, the material and impeller texts and the vessel
// liquid's library record (its NO, name and pressure). Equal
// fingerprints give equal method checks, so a run that changed none of it need not
// compute the check again.
uint64_t CrossCheckInputs(const TFormPelmora& form);

// The rows at 警告 and a margin larger than the project's 富余度, as design checks of
// the run (the 提示 rows stay in the method check's own table).
void AddCrossCheckWarnings(const TFormPelmora& form, const CrossCheckResult& result, std::vector<DesignCheck>& checks);

// Number texts of the method check (4 significant digits; "—" for none).
std::string CrossCheckNumber(std::optional<double> x);
// "+35 %", "−16 %".
std::string CrossCheckPercent(std::optional<double> fraction);

}  // namespace pelmora

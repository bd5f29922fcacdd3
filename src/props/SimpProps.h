// Equation-of-state property models and the evaluation of library property texts.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace pelmora {

class TMyValues;
struct PropRecord;

// Model parameter vector: [0] selector (0 Peng-Robinson family, 1 virial family),
// [1] Pc kPa, [2] Tc K, [3] Vc cm3/mol, [4] Zc, [5] acentric factor, [6] M g/mol,
// [7] p kPa absolute, [8] t °C; the rest is spare.
using ModelParams = std::array<double, 21>;

// Each model returns 0 for a selector it does not serve and when its iteration does
// not converge within the step limit. liquid selects the liquid starting value.
double PrDensity(const ModelParams& mp, int liquid);       // kg/m3
double VirialDensity(const ModelParams& mp, int liquid);   // kg/m3
double PrViscosity(const ModelParams& mp, int liquid);     // Pa.s
double PrConductivity(const ModelParams& mp, int liquid);  // W/(m.K)
// Residual heat capacities in J/(kg.K); a zero Pc or M, or a density that cannot be
// computed, throws FloatingPointError.
double PrResidualCp(const ModelParams& mp, int liquid);
double VirialResidualCp(const ModelParams& mp, int liquid);

// Step limit of the common root finder.
inline constexpr int kRootStepLimit = 200;

// Where the dialog puts a property value (its value field); values are SI.
class PropertyTarget {
 public:
  virtual ~PropertyTarget() = default;
  virtual void SetValue(double si) = 0;
  virtual void Clear() = 0;
};

// What one property evaluation does to its target, and the message to show (if any).
// Error: the record's formula could not be evaluated; errorCode is the evaluator's code and
// error says which property and why. The target is emptied: a broken formula gives no value.
struct PropertyOutcome {
  enum class Kind { Unchanged, Empty, Value, Error };
  Kind kind = Kind::Unchanged;
  double value = 0;
  std::string message;
  int errorCode = 0;
  std::string error;

  void ApplyTo(PropertyTarget& target) const;
};

inline constexpr const char* kMsgNoTemperature = "请指定温度！";
inline constexpr const char* kMsgNoPressure = "请指定压力！";

// Evaluates the property "name" (Cp, MD, VI, TC, ST, HV, Pc, VP; case-insensitive) of a
// record at the t and p of the grid. Conversion errors (ConversionError), the formula
// limits (RangeCheckError) and model faults (FloatingPointError) are thrown and end
// the caller's computation.
PropertyOutcome EvaluateProperty(const std::string& name, const PropRecord& record, TMyValues& grid);

// Clean-up of a property text: remarks after "?", "<", "{" and a label before "=" go.
std::string CleanPropertyText(const std::string& text);

// Formula preparation: PRRCP/VRRCP, the critical constants and reduced values of the
// parameter strings (positions 1..7), then T, P and R.
std::string PrepareFormula(const std::string& formula, const std::vector<std::string>& params, const ModelParams& mp,
                           int liquid);

// The caption of a library property in messages ("动力粘度" for VI), or the name itself.
std::string PropertyCaption(const std::string& name);

}  // namespace pelmora

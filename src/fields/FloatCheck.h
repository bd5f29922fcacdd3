#pragma once
// Checked arithmetic for the calculation: division by zero, the logarithm or root of a
// non-positive number and overflow raise FloatingPointError instead of producing a NaN
// or an infinity that could reach a field.
//
// The message says what went wrong and where: every calculation step marks itself with
// a CalcStep ("管程传热系数", inputs "管程流量、管径"), and a fault raised while it is
// active reads "计算管程传热系数时出现除以零，请检查输入数据（管程流量、管径）。".
#include <cmath>
#include <string>

#include "fields/Errors.h"

namespace pelmora {

enum class FpFault { DivByZero, NegativeRoot, LogNonPositive, Overflow, Invalid };

// The operation as the message names it ("除以零", ...).
const char* FpFaultText(FpFault fault);

// The calculation step in progress, innermost first; nesting restores the outer step.
class CalcStep {
 public:
  // `what`: the quantity being calculated; `inputs`: the input fields that feed it
  // (may be empty). Both must outlive the step (string literals).
  CalcStep(const char* what, const char* inputs = "");
  ~CalcStep();
  CalcStep(const CalcStep&) = delete;
  CalcStep& operator=(const CalcStep&) = delete;

  static const CalcStep* Current();
  const char* What() const { return what_; }
  const char* Inputs() const { return inputs_; }

 private:
  const char* what_;
  const char* inputs_;
  const CalcStep* outer_;
};

// The message of a fault in the current step.
std::string FpFaultMessage(FpFault fault);

// A floating-point fault worded for the current calculation step.
FloatingPointError FpError(FpFault fault);

namespace fp {

// Any non-finite intermediate ends the action.
inline double Check(double x) {
  if (std::isnan(x)) throw FpError(FpFault::Invalid);
  if (std::isinf(x)) throw FpError(FpFault::Overflow);
  return x;
}
inline double Div(double a, double b) {
  if (b == 0) throw FpError(FpFault::DivByZero);
  return Check(a / b);
}
inline double Ln(double x) {
  if (!(x > 0)) throw FpError(FpFault::LogNonPositive);
  return Check(std::log(x));
}
inline double Sqrt(double x) {
  if (x < 0 || std::isnan(x)) throw FpError(FpFault::NegativeRoot);
  return Check(std::sqrt(x));
}
// Real power: a negative base needs a whole exponent, zero to a negative power divides by zero.
inline double Pow(double a, double b) {
  if (a == 0 && b < 0) throw FpError(FpFault::DivByZero);
  if (a < 0 && b != std::floor(b)) throw FpError(FpFault::NegativeRoot);
  return Check(std::pow(a, b));
}
inline double Exp(double x) { return Check(std::exp(x)); }

}  // namespace fp
}  // namespace pelmora

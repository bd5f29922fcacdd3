#pragma once
// Checked arithmetic for the calculation: division by zero, the logarithm or root of a
// non-positive number and overflow raise FloatingPointError instead of producing a NaN
// or an infinity that could reach a field.
#include <cmath>

#include "fields/Errors.h"

namespace pelmora::fp {

inline constexpr const char* kDivByZero = "Floating point division by zero";
inline constexpr const char* kInvalid = "Invalid floating point operation";
inline constexpr const char* kOverflow = "Floating point overflow";

// Any non-finite intermediate ends the action.
inline double Check(double x) {
  if (std::isnan(x)) throw FloatingPointError(kInvalid);
  if (std::isinf(x)) throw FloatingPointError(kOverflow);
  return x;
}
inline double Div(double a, double b) {
  if (b == 0) {
    if (a == 0 || std::isnan(a)) throw FloatingPointError(kInvalid);
    throw FloatingPointError(kDivByZero);
  }
  return Check(a / b);
}
inline double Ln(double x) {
  if (!(x > 0)) throw FloatingPointError(kInvalid);
  return Check(std::log(x));
}
inline double Sqrt(double x) {
  if (x < 0 || std::isnan(x)) throw FloatingPointError(kInvalid);
  return std::sqrt(x);
}
// Real power: a negative base needs a whole exponent, zero to a negative power divides by zero.
inline double Pow(double a, double b) {
  if (a == 0 && b < 0) throw FloatingPointError(kDivByZero);
  if (a < 0 && b != std::floor(b)) throw FloatingPointError(kInvalid);
  return Check(std::pow(a, b));
}
inline double Exp(double x) { return Check(std::exp(x)); }

}  // namespace pelmora::fp

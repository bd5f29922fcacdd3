// Number conversion and the error types of the property code, shared with the rest of
// the core (locale-independent).
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "fields/Errors.h"
#include "fields/FloatCheck.h"
#include "fields/NumberFormat.h"
#include "fields/Text.h"

namespace pelmora {

// "Range check error": a formula text or its variable list exceeds the fixed limits.
class RangeCheckError : public std::runtime_error {
 public:
  RangeCheckError();
};

inline FloatingPointError FpDivisionByZero() { return FpError(FpFault::DivByZero); }
inline FloatingPointError FpInvalid() { return FpError(FpFault::Invalid); }
inline FloatingPointError FpOverflow() { return FpError(FpFault::Overflow); }

// Trims blanks (space only) from both ends.
std::string TrimBlanks(std::string_view s);

// A decimal number with leading and trailing blanks allowed; none when it is not one.
inline std::optional<double> TryStrToFloat(std::string_view text) { return ParseDecimal(Trim(text)); }

// Shortest general form with 15 significant digits ("1.5E-5", "2E20").
inline std::string FloatToStr(double x) { return Format15(x); }

// The number at the start of a text (after leading blanks), as far as it goes; none
// when the text does not start with a number.
std::optional<double> LeadingNumber(std::string_view text);

}  // namespace pelmora

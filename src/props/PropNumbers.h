// Locale-independent number conversion and the error types of the property code.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace pelmora {

// "'%s' is not a valid floating point value": a text that should be a number is not one.
class ConversionError : public std::runtime_error {
public:
    explicit ConversionError(const std::string& text);
};

// "Range check error": a formula text or its variable list exceeds the fixed limits.
class RangeCheckError : public std::runtime_error {
public:
    RangeCheckError();
};

// A floating-point fault (division by zero, invalid operation, overflow) that ends
// the computation, carrying the usual message text.
class FloatingPointError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    static FloatingPointError DivisionByZero();
    static FloatingPointError Invalid();
    static FloatingPointError Overflow();
};

// Trims blanks (space only) from both ends.
std::string TrimBlanks(std::string_view s);

// A decimal number: optional sign, digits with an optional "." (".5" and "5." allowed),
// optional exponent "E" or "e" with optional sign and at least one digit. Leading and
// trailing blanks are allowed. Out-of-range magnitudes are not numbers.
std::optional<double> TryStrToFloat(std::string_view text);

// TryStrToFloat or ConversionError naming the text.
double StrToFloat(std::string_view text);

// Shortest general form with 15 significant digits: fixed notation when the rounded
// magnitude is at least 0.0001 and below 1E15, otherwise E notation ("1.5E-5", "2E20").
std::string FloatToStr(double x);

// The number at the start of a text (after leading blanks), as far as it goes; none
// when the text does not start with a number.
std::optional<double> LeadingNumber(std::string_view text);

}  // namespace pelmora

#pragma once
// Locale-independent number texts: the strict decimal syntax of value fields and the
// two general formats (15 digits for stored texts, 7 digits for the display form).
#include <optional>
#include <string>
#include <string_view>

namespace pelmora {

// Optional sign, digits with an optional decimal point and fraction, optional exponent
// (E or e, optional sign, digits). No blanks. At least one digit in the mantissa.
std::optional<double> ParseDecimal(std::string_view text);

// Like ParseDecimal after trimming blanks; throws ConversionError
// "'<text>' is not a valid floating point value" when it is not a number.
double StrToFloat(std::string_view text);

// Decimal integer with optional sign (after trimming blanks); throws ConversionError
// "'<text>' is not a valid integer value".
long long StrToInt(std::string_view text);

// General format with `digits` significant digits: fixed notation for magnitudes from
// 0.0001 up to below 10^digits, E notation otherwise with at least `minExpDigits`
// exponent digits and a sign only for negative exponents.
std::string FormatGeneral(double x, int digits, int minExpDigits);

inline std::string Format15(double x) { return FormatGeneral(x, 15, 1); }
inline std::string Format7(double x) { return FormatGeneral(x, 7, 4); }

// Fixed notation with the given number of decimals ("%.4f" without locale).
std::string FormatFixed(double x, int decimals);

}  // namespace pelmora

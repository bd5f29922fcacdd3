#pragma once
// How the calculation sheet writes numbers and units: four significant digits, fixed
// for magnitudes from 0.001 to below 10 000 (25.00, 0.06500, 1235), otherwise as a
// power of ten (1.000×10⁻⁵, 3.344×10⁹); never 0.0000 for a value that is not zero.
// Units with their exponents raised and products dotted (m², W/(m²·K), kg/m³).
#include <string>

namespace pelmora {

// Four significant digits as described above; "0" for zero, "—" for a value that is
// not a finite number.
std::string SheetNumber(double x);
// Integral values below 10 000 as integers (counts: tubes, passes), others as SheetNumber.
std::string SheetCount(double x);
// A percentage share to one decimal ("42.3").
std::string SheetPercent(double x);
// The exponent as superscript digits with a superscript minus.
std::string Superscript(int exponent);
// A unit as the window names it ("W/(m2.K)", "kcal/kg.K", "hr") set properly
// ("W/(m²·K)", "kcal/(kg·K)", "h").
std::string SheetUnit(const std::string& unit);

}  // namespace pelmora

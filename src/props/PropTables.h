// Point tables of a property in temperature, and the splitting of number lists.
#pragma once

#include <span>
#include <string>
#include <vector>

namespace pelmora {

// Row 0 (x) holds the abscissas (temperatures, °C), row 1 (y) the values.
struct PointTable {
  std::vector<double> x;
  std::vector<double> y;
};

// Value of a constant ("4183"), single pair ("20,998.2") or point table
// ("t1,v1;t2,v2;...") text at x. Throws ConversionError for a non-number.
double TableValue(const std::string& text, double x);

// Reads "t1,v1;t2,v2;..." into table (replacing its content); returns the points read.
int ParseTable(PointTable& table, const std::string& text);

// Local Lagrange interpolation over at most four consecutive points (mode 1), or over
// all n points (any other mode). Throws FloatingPointError when two abscissas of the
// window coincide or the result overflows.
double InterpolateTable(int n, const PointTable& table, int mode, double x);

// Splits text at separator into list positions 1, 2, ... (position 0 stays empty);
// at most lastIndex positions are filled. Returns the count of items.
int SplitText(const std::string& text, char separator, std::vector<std::string>& list, int lastIndex = 99);

// Splits text at separator and converts each item into positions 1, 2, ... of values;
// items beyond the vector's size are not stored. Throws ConversionError at the first
// item that is not a number (an empty item included).
int SplitNumbers(const std::string& text, char separator, std::span<double> values);

}  // namespace pelmora

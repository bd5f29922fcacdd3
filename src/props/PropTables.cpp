#include "props/PropTables.h"

#include <algorithm>
#include <cmath>

#include "props/PropNumbers.h"

namespace pelmora {

double TableValue(const std::string& text, double x) {
  if (text.find(';') == std::string::npos) {
    size_t comma = text.find(',');
    if (comma != std::string::npos) return StrToFloat(text.substr(comma + 1, 1024));
    return StrToFloat(text);
  }
  PointTable table;
  int n = ParseTable(table, text);
  return InterpolateTable(n, table, 1, x);
}

namespace {
void ReadPoint(PointTable& table, const std::string& item) {
  size_t comma = item.find(',');
  std::string before = comma == std::string::npos ? std::string() : item.substr(0, comma);
  std::string after = comma == std::string::npos ? item : item.substr(comma + 1, 1024);
  table.x.push_back(StrToFloat(before));
  table.y.push_back(StrToFloat(after));
}
}  // namespace

int ParseTable(PointTable& table, const std::string& text) {
  table.x.clear();
  table.y.clear();
  size_t from = 0;
  for (size_t semi; (semi = text.find(';', from)) != std::string::npos; from = semi + 1)
    ReadPoint(table, text.substr(from, semi - from));
  if (from < text.size()) ReadPoint(table, text.substr(from));
  return static_cast<int>(table.x.size());
}

double InterpolateTable(int n, const PointTable& table, int mode, double x) {
  n = std::min<int>(n, static_cast<int>(std::min(table.x.size(), table.y.size())));
  if (n <= 0) return 0;
  int lo = 0, hi = n - 1;
  if (mode == 1 && n > 4) {
    int i = 0;
    while (i < n && !(x <= table.x[static_cast<size_t>(i)])) ++i;
    if (i < n) {
      hi = i + 1;
      lo = i - 2;
      if (lo < 0) {
        hi = std::min(hi - lo, n - 1);
        lo = 0;
      } else if (hi > n - 1) {
        lo = std::max(lo - hi + n - 1, 0);
        hi = n - 1;
      }
    } else {
      hi = n - 1;
      lo = std::max(n - 4, 0);
    }
  }
  double sum = 0;
  for (int i = lo; i <= hi; ++i) {
    double term = table.y[static_cast<size_t>(i)];
    for (int j = lo; j <= hi; ++j) {
      if (j == i) continue;
      double d = table.x[static_cast<size_t>(i)] - table.x[static_cast<size_t>(j)];
      if (d == 0) throw FpDivisionByZero();
      term *= (x - table.x[static_cast<size_t>(j)]) / d;
    }
    sum += term;
  }
  if (!std::isfinite(sum)) throw FpOverflow();
  return sum;
}

int SplitText(const std::string& text, char separator, std::vector<std::string>& list, int lastIndex) {
  if (static_cast<int>(list.size()) < lastIndex + 1) list.resize(static_cast<size_t>(lastIndex) + 1);
  int count = 0;
  size_t from = 0;
  while (count < lastIndex) {
    size_t sep = text.find(separator, from);
    list[static_cast<size_t>(count) + 1] = text.substr(from, sep == std::string::npos ? std::string::npos : sep - from);
    ++count;
    if (sep == std::string::npos) break;
    from = sep + 1;
  }
  return count;
}

int SplitNumbers(const std::string& text, char separator, std::span<double> values) {
  int count = 0;
  size_t from = 0;
  while (true) {
    size_t sep = text.find(separator, from);
    std::string item = text.substr(from, sep == std::string::npos ? std::string::npos : sep - from);
    double v = StrToFloat(item);
    ++count;
    if (static_cast<size_t>(count) < values.size()) values[static_cast<size_t>(count)] = v;
    if (sep == std::string::npos) break;
    from = sep + 1;
  }
  return count;
}

}  // namespace pelmora

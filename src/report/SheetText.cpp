#include "report/SheetText.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>

namespace pelmora {

std::string Superscript(int exponent) {
  static const char* const digits[] = {"⁰", "¹", "²", "³", "⁴", "⁵", "⁶", "⁷", "⁸", "⁹"};
  std::string out = exponent < 0 ? "⁻" : "";
  const std::string plain = std::to_string(exponent < 0 ? -static_cast<long>(exponent) : exponent);
  for (char c : plain) out += digits[c - '0'];
  return out;
}

std::string SheetNumber(double x) {
  if (!std::isfinite(x)) return "—";
  if (x == 0) return "0";
  // The four digits and the exponent after rounding (9.99951 becomes 1.000e+01).
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.3e", std::fabs(x));
  const std::string digits = std::string(1, buf[0]) + std::string(buf + 2, 3);
  const int e = std::atoi(buf + 6);
  std::string out = x < 0 ? "-" : "";
  if (e >= 0 && e <= 3) {
    out += digits.substr(0, static_cast<size_t>(e) + 1);
    if (e < 3) out += "." + digits.substr(static_cast<size_t>(e) + 1);
  } else if (e < 0 && e >= -3) {
    out += "0." + std::string(static_cast<size_t>(-e - 1), '0') + digits;
  } else {
    out += digits.substr(0, 1) + "." + digits.substr(1) + "×10" + Superscript(e);
  }
  return out;
}

std::string SheetCount(double x) {
  if (std::isfinite(x) && x == std::floor(x) && std::fabs(x) < 1e4) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%.0f", x);
    return buf;
  }
  return SheetNumber(x);
}

std::string SheetPercent(double x) {
  if (!std::isfinite(x)) return "—";
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f", x);
  return std::string(buf) == "-0.0" ? "0.0" : buf;
}

namespace {

// One symbol of a unit: seconds are "s", a raised exponent follows a symbol directly.
std::string Symbol(const std::string& token) {
  if (token == "S") return "s";
  std::string out = token;
  if (out.size() > 1 && (out.back() == '2' || out.back() == '3') &&
      std::isalpha(static_cast<unsigned char>(out[out.size() - 2]))) {
    const char power = out.back();
    out.pop_back();
    out += power == '2' ? "²" : "³";
  }
  return out;
}

// A product of symbols "m2.K.S" as "m²·K·s".
std::string Product(const std::string& p) {
  std::string out, token;
  for (char c : p) {
    if (c == '.') {
      out += Symbol(token) + "·";
      token.clear();
    } else {
      token += c;
    }
  }
  return out + Symbol(token);
}

}  // namespace

std::string SheetUnit(const std::string& unit) {
  static const std::map<std::string, std::string> names = {{"hr", "h"}, {"day", "d"}, {"r/m", "r/min"}, {"-", "—"}};
  if (auto it = names.find(unit); it != names.end()) return it->second;
  // Only ASCII units are rewritten; the others (℃, 倍外管径, 程, 根) stand as they are.
  for (unsigned char c : unit)
    if (c >= 0x80) return unit;
  const size_t slash = unit.find('/');
  if (slash == std::string::npos) return Product(unit);
  std::string num = unit.substr(0, slash), den = unit.substr(slash + 1);
  std::string out = Product(num) + "/";
  if (den.size() > 2 && den.front() == '(' && den.back() == ')')
    return out + "(" + Product(den.substr(1, den.size() - 2)) + ")";
  // A product under the bar is bracketed: kcal/kg.K is kcal/(kg·K).
  if (den.find('.') != std::string::npos) return out + "(" + Product(den) + ")";
  return out + Product(den);
}

}  // namespace pelmora

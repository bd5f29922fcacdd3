#include "fields/NumberFormat.h"

#include <charconv>
#include <cmath>

#include <cstdlib>
#include "fields/FloatCheck.h"

#include "fields/Errors.h"
#include "fields/Text.h"

namespace pelmora {

std::optional<double> ParseDecimal(std::string_view t) {
  size_t i = 0;
  const size_t n = t.size();
  if (i < n && (t[i] == '+' || t[i] == '-')) ++i;
  const size_t mantStart = i;
  size_t digits = 0;
  while (i < n && t[i] >= '0' && t[i] <= '9') ++i, ++digits;
  if (i < n && t[i] == '.') {
    ++i;
    while (i < n && t[i] >= '0' && t[i] <= '9') ++i, ++digits;
  }
  if (digits == 0) return std::nullopt;
  if (i < n && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    if (i < n && (t[i] == '+' || t[i] == '-')) ++i;
    size_t expDigits = 0;
    while (i < n && t[i] >= '0' && t[i] <= '9') ++i, ++expDigits;
    if (expDigits == 0) return std::nullopt;
  }
  if (i != n) return std::nullopt;
  // from_chars takes neither a leading '+' nor a bare "5." / ".5" in every form, so
  // rebuild a canonical text first.
  std::string s;
  s.reserve(n + 2);
  if (t[0] == '-') s.push_back('-');
  std::string_view body = t.substr(mantStart);
  if (!body.empty() && body[0] == '.') s.push_back('0');
  for (size_t k = 0; k < body.size(); ++k) {
    s.push_back(body[k]);
    if (body[k] == '.' && (k + 1 == body.size() || !(body[k + 1] >= '0' && body[k + 1] <= '9'))) s.push_back('0');
  }
  double v = 0;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec == std::errc::result_out_of_range) {
    // Underflow gives zero; overflow is not a usable number.
    bool tiny = s.find("e-") != std::string::npos || s.find("E-") != std::string::npos;
    if (tiny) return 0.0;
    return std::nullopt;
  }
  if (ec != std::errc() || p != s.data() + s.size() || !std::isfinite(v)) return std::nullopt;
  return v;
}

double StrToFloat(std::string_view text) {
  if (auto v = ParseDecimal(Trim(text))) return *v;
  throw ConversionError("'" + std::string(text) + "' is not a valid floating point value");
}

long long StrToInt(std::string_view text) {
  std::string_view t = Trim(text);
  long long v = 0;
  std::string_view body = t;
  if (!body.empty() && body[0] == '+') body.remove_prefix(1);
  auto [p, ec] = std::from_chars(body.data(), body.data() + body.size(), v);
  if (body.empty() || ec != std::errc() || p != body.data() + body.size())
    throw ConversionError("'" + std::string(text) + "' is not a valid integer value");
  return v;
}

std::string FormatGeneral(double x, int digits, int minExpDigits) {
  if (!std::isfinite(x)) throw FpError(std::isnan(x) ? FpFault::Invalid : FpFault::Overflow);
  if (x == 0) return "0";
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific, digits - 1);
  std::string sci(buf, r.ptr);
  // sci = [-]d.ddddde[+-]xx
  bool neg = sci[0] == '-';
  size_t epos = sci.find('e');
  int exp10 = std::atoi(sci.c_str() + epos + 1);
  std::string mant;
  for (size_t k = neg ? 1 : 0; k < epos; ++k)
    if (sci[k] != '.') mant.push_back(sci[k]);
  while (mant.size() > 1 && mant.back() == '0') mant.pop_back();
  std::string out = neg ? "-" : "";
  if (exp10 >= -4 && exp10 < digits) {
    if (exp10 < 0) {
      out += "0.";
      out.append(static_cast<size_t>(-exp10 - 1), '0');
      out += mant;
    } else {
      size_t intLen = static_cast<size_t>(exp10) + 1;
      if (mant.size() <= intLen) {
        out += mant;
        out.append(intLen - mant.size(), '0');
      } else {
        out += mant.substr(0, intLen);
        out += '.';
        out += mant.substr(intLen);
      }
    }
    return out;
  }
  out += mant[0];
  if (mant.size() > 1) {
    out += '.';
    out += mant.substr(1);
  }
  out += 'E';
  if (exp10 < 0) out += '-';
  std::string e = std::to_string(std::abs(exp10));
  if (static_cast<int>(e.size()) < minExpDigits) out.append(static_cast<size_t>(minExpDigits) - e.size(), '0');
  out += e;
  return out;
}

std::string FormatFixed(double x, int decimals) {
  if (!std::isfinite(x)) throw FpError(std::isnan(x) ? FpFault::Invalid : FpFault::Overflow);
  char buf[512];
  auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, decimals);
  std::string s(buf, r.ptr);
  if (s.size() > 1 && s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
  return s;
}

}  // namespace pelmora

#include "props/PropNumbers.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace pelmora {

RangeCheckError::RangeCheckError() : std::runtime_error("Range check error") {}

std::string TrimBlanks(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && s[b] == ' ') ++b;
  while (e > b && s[e - 1] == ' ') --e;
  return std::string(s.substr(b, e - b));
}

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the longest decimal number at the start of s (0 when none), written into
// canonical form (sign, digits, ".", digits, "e", sign, digits) for std::from_chars.
size_t ScanNumber(std::string_view s, std::string& canon) {
  size_t i = 0;
  canon.clear();
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    if (s[i] == '-') canon += '-';
    ++i;
  }
  size_t intDigits = 0, fracDigits = 0;
  while (i < s.size() && IsDigit(s[i])) {
    canon += s[i++];
    ++intDigits;
  }
  if (i < s.size() && s[i] == '.') {
    size_t j = i + 1;
    std::string frac;
    while (j < s.size() && IsDigit(s[j])) {
      frac += s[j++];
      ++fracDigits;
    }
    if (intDigits + fracDigits > 0) {
      if (intDigits == 0) canon += '0';
      canon += '.';
      canon += frac.empty() ? std::string("0") : frac;
      i = j;
    }
  }
  if (intDigits + fracDigits == 0) return 0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    size_t j = i + 1;
    std::string exp = "e";
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) {
      if (s[j] == '-') exp += '-';
      ++j;
    }
    size_t expDigits = 0;
    while (j < s.size() && IsDigit(s[j])) {
      exp += s[j++];
      ++expDigits;
    }
    if (expDigits > 0) {
      canon += exp;
      i = j;
    }
  }
  return i;
}

std::optional<double> Convert(const std::string& canon) {
  double v = 0;
  auto r = std::from_chars(canon.data(), canon.data() + canon.size(), v);
  if (r.ptr != canon.data() + canon.size()) return std::nullopt;
  if (r.ec == std::errc::result_out_of_range) {
    // Underflow reads as zero; overflow is no number.
    size_t e = canon.find('e');
    if (e != std::string::npos && e + 1 < canon.size() && canon[e + 1] == '-') return 0.0;
    return std::nullopt;
  }
  if (r.ec != std::errc() || !std::isfinite(v)) return std::nullopt;
  return v;
}

}  // namespace

std::optional<double> LeadingNumber(std::string_view text) {
  size_t b = 0;
  while (b < text.size() && text[b] == ' ') ++b;
  std::string canon;
  size_t n = ScanNumber(text.substr(b), canon);
  if (n == 0) return std::nullopt;
  return Convert(canon);
}

}  // namespace pelmora

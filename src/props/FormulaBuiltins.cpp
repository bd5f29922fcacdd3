// The built-in functions of the formula language: trigonometric, logical, exponential,
// hyperbolic and statistical, each raising the parser's error code where the value is
// not defined, and their table in registration order.
#include "props/FormulaBuiltins.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <system_error>

#include "props/PropNumbers.h"

namespace pelmora::formula {

namespace {

const long double kSqrtRange = sqrtl(RangeLimit);
constexpr long double kPi = 3.14159265358979323846264338327950288L;
constexpr long double kTwo63 = 9223372036854775808.0L;

// ---- the built-in functions -------------------------------------------------------

long double Sin(long double x) { return fabsl(x) >= kTwo63 ? 0 : sinl(x); }
long double Cos(long double x) { return fabsl(x) >= kTwo63 ? 0 : cosl(x); }

long double mArcTan(TFormulaParser&, const FunctionArgs& a) { return atanl(a.a); }
long double mCos(TFormulaParser&, const FunctionArgs& a) { return Cos(a.a); }
long double mDeg(TFormulaParser&, const FunctionArgs& a) { return a.a / kPi * 180; }
long double Mpi(TFormulaParser&, const FunctionArgs&) { return kPi; }
long double mRad(TFormulaParser&, const FunctionArgs& a) { return a.a / 180 * kPi; }
long double mSin(TFormulaParser&, const FunctionArgs& a) { return Sin(a.a); }
long double mTan(TFormulaParser& p, const FunctionArgs& a) {
  long double c = Cos(a.a);
  if (IsOddWhole(2 * a.a / kPi) || c == 0) {
    p.SetError(kErrTan);
    return 0;
  }
  return Sin(a.a) / c;
}
// Whether every argument of a logical function is 0 or 1; sets the error when one is not.
bool AllBool(TFormulaParser& p, const FunctionArgs& a) {
  for (long double v : a.list)
    if (!IsBool(v)) {
      p.SetError(kErrNotBoolean);
      return false;
    }
  return true;
}
long double mAnd(TFormulaParser& p, const FunctionArgs& a) {
  if (!AllBool(p, a)) return 0;
  return std::find(a.list.begin(), a.list.end(), 0.0L) == a.list.end() ? 1 : 0;
}
long double mFalse(TFormulaParser&, const FunctionArgs&) { return 0; }
long double mIor(TFormulaParser& p, const FunctionArgs& a) {
  if (!AllBool(p, a)) return 0;
  return std::find(a.list.begin(), a.list.end(), 1.0L) != a.list.end() ? 1 : 0;
}
long double mTrue(TFormulaParser&, const FunctionArgs&) { return 1; }
long double mXor(TFormulaParser& p, const FunctionArgs& a) {
  if (!IsBool(a.a) || !IsBool(a.b)) {
    p.SetError(kErrNotBoolean);
    return 0;
  }
  return (a.a == 1) != (a.b == 1) ? 1 : 0;
}
long double mNot(TFormulaParser& p, const FunctionArgs& a) {
  if (!IsBool(a.a)) {
    p.SetError(kErrNotBoolean);
    return 0;
  }
  return 1 - a.a;
}
long double mExp(TFormulaParser& p, const FunctionArgs& a) {
  if (!(fabsl(a.a) < kLnRange)) {
    p.SetError(kErrRange);
    return 0;
  }
  return expl(a.a);
}
long double mE(TFormulaParser&, const FunctionArgs&) { return expl(1.0L); }
long double mLn(TFormulaParser& p, const FunctionArgs& a) {
  if (!(a.a > 0)) {
    p.SetError(kErrLog);
    return 0;
  }
  return logl(a.a);
}
long double mLog(TFormulaParser& p, const FunctionArgs& a) {
  if (!(a.a > 0)) {
    p.SetError(kErrLog);
    return 0;
  }
  return logl(a.a) / logl(10.0L);
}
long double Sqr(TFormulaParser& p, long double x) {
  if (x == 0) return 0;
  long double l = 2 * logl(fabsl(x));
  if (!(fabsl(l) < kLnRange)) {
    p.SetError(kErrRange);
    return 0;
  }
  return expl(l);
}
long double mSqr(TFormulaParser& p, const FunctionArgs& a) { return Sqr(p, a.a); }
long double mSqrt(TFormulaParser& p, const FunctionArgs& a) {
  if (a.a < 0) {
    p.SetError(kErrSqrt);
    return 0;
  }
  return sqrtl(a.a);
}
long double mAbs(TFormulaParser&, const FunctionArgs& a) { return fabsl(a.a); }
long double mFrac(TFormulaParser&, const FunctionArgs& a) { return a.a - truncl(a.a); }
long double mInt(TFormulaParser&, const FunctionArgs& a) { return truncl(a.a); }
long double mMax(TFormulaParser&, const FunctionArgs& a) { return *std::max_element(a.list.begin(), a.list.end()); }
long double mMin(TFormulaParser&, const FunctionArgs& a) { return *std::min_element(a.list.begin(), a.list.end()); }
long double mRound(TFormulaParser&, const FunctionArgs& a) { return fabsl(a.a) < 2147483646.0L ? roundl(a.a) : a.a; }
long double mSgn(TFormulaParser&, const FunctionArgs& a) { return a.a >= 0 ? 1 : -1; }
long double mCsc(TFormulaParser& p, const FunctionArgs& a) {
  long double s = Sin(a.a);
  if (IsWhole(a.a / kPi) || s == 0) {
    p.SetError(kErrCsc);
    return 0;
  }
  return 1 / s;
}
long double mSec(TFormulaParser& p, const FunctionArgs& a) {
  long double c = Cos(a.a);
  if (IsOddWhole(2 * a.a / kPi) || c == 0) {
    p.SetError(kErrSec);
    return 0;
  }
  return 1 / c;
}
long double mCot(TFormulaParser& p, const FunctionArgs& a) {
  long double s = Sin(a.a);
  if (IsWhole(a.a / kPi) || s == 0) {
    p.SetError(kErrCot);
    return 0;
  }
  return Cos(a.a) / s;
}
bool HyperbolicRange(TFormulaParser& p, long double x) {
  if (!(fabsl(x) <= kLnRange)) {
    p.SetError(kErrParamLarge);
    return false;
  }
  return true;
}
long double mSinh(TFormulaParser& p, const FunctionArgs& a) {
  if (!HyperbolicRange(p, a.a)) return 0;
  return (expl(a.a) - expl(-a.a)) / 2;
}
long double mCosh(TFormulaParser& p, const FunctionArgs& a) {
  if (!HyperbolicRange(p, a.a)) return 0;
  return (expl(a.a) + expl(-a.a)) / 2;
}
long double mTanh(TFormulaParser& p, const FunctionArgs& a) {
  if (!HyperbolicRange(p, a.a)) return 0;
  return (expl(a.a) - expl(-a.a)) / (expl(a.a) + expl(-a.a));
}
long double mCsch(TFormulaParser& p, const FunctionArgs& a) {
  if (!HyperbolicRange(p, a.a)) return 0;
  if (a.a == 0) {
    p.SetError(kErrCsch);
    return 0;
  }
  return 2 / (expl(a.a) - expl(-a.a));
}
long double mSech(TFormulaParser& p, const FunctionArgs& a) {
  if (!HyperbolicRange(p, a.a)) return 0;
  return 2 / (expl(a.a) + expl(-a.a));
}
long double mCoth(TFormulaParser& p, const FunctionArgs& a) {
  if (!HyperbolicRange(p, a.a)) return 0;
  if (a.a == 0) {
    p.SetError(kErrCoth);
    return 0;
  }
  return (expl(a.a) + expl(-a.a)) / (expl(a.a) - expl(-a.a));
}
// The inverse hyperbolic functions use the library forms of ln(x + sqrt(x^2 + 1)) etc.,
// which give the same values without the cancellation of the textbook forms.
long double mArcSinh(TFormulaParser& p, const FunctionArgs& a) {
  if (!(fabsl(a.a) < kSqrtRange)) {
    p.SetError(kErrParamLarge);
    return 0;
  }
  return asinhl(a.a);
}
long double mArcCosh(TFormulaParser& p, const FunctionArgs& a) {
  if (!(fabsl(a.a) < kSqrtRange)) {
    p.SetError(kErrParamLarge);
    return 0;
  }
  if (a.a < 1) {
    p.SetError(kErrArcCosh);
    return 0;
  }
  return acoshl(a.a);
}
long double mArcTanh(TFormulaParser& p, const FunctionArgs& a) {
  if (!(fabsl(a.a) < 1)) {
    p.SetError(kErrArcTanh);
    return 0;
  }
  return atanhl(a.a);
}
long double mArcCsch(TFormulaParser& p, const FunctionArgs& a) {
  if (a.a >= kSqrtRange) {
    p.SetError(kErrParamLarge);
    return 0;
  }
  if (a.a == 0) {
    p.SetError(kErrArcCsch);
    return 0;
  }
  return asinhl(1 / a.a);
}
long double mArcSech(TFormulaParser& p, const FunctionArgs& a) {
  if (a.a >= kSqrtRange) {
    p.SetError(kErrParamLarge);
    return 0;
  }
  if (!(a.a > 0) || a.a > 1) {
    p.SetError(kErrArcSech);
    return 0;
  }
  return acoshl(1 / a.a);
}
long double mArcCoth(TFormulaParser& p, const FunctionArgs& a) {
  if (!(fabsl(a.a) > 1)) {
    p.SetError(kErrArcCoth);
    return 0;
  }
  return atanhl(1 / a.a);
}
long double Average(const FunctionArgs& a) {
  long double s = 0;
  for (long double v : a.list) s += v;
  return s / static_cast<long double>(a.list.size());
}
long double mAverage(TFormulaParser&, const FunctionArgs& a) { return Average(a); }
long double mStdDev(TFormulaParser& p, const FunctionArgs& a) {
  long double s = 0;
  for (long double v : a.list) s += Sqr(p, v);
  if (p.ErrorCode() != 0) return 0;
  long double n = static_cast<long double>(a.list.size());
  long double m = Average(a);
  long double d = s - (m / n) * (m / n) / (n - 1);
  if (d < 0) {
    p.SetError(kErrSqrt);
    return 0;
  }
  return sqrtl(d);
}
long double mMean(TFormulaParser& p, const FunctionArgs&) {
  p.SetError(kErrNotImplemented);
  return 0;
}
long double mSum(TFormulaParser& p, const FunctionArgs& a) {
  long double s = 0;
  for (long double v : a.list) {
    if (!(fabsl(s / 10 + v / 10) < RangeLimit / 10)) {
      p.SetError(kErrRange);
      return 0;
    }
    s += v;
  }
  return s;
}
long double mRand(TFormulaParser& p, const FunctionArgs&) { return p.Random(); }
long double mRnd(TFormulaParser& p, const FunctionArgs& a) {
  // The argument must read as a whole 32-bit number in its 15-digit decimal form.
  // An argument beyond the double range (1E309 is finite in extended precision) has
  // no such form either.
  const double d = static_cast<double>(a.a);
  std::string text = std::isfinite(d) ? FloatToStr(d) : "x";
  int n = 0;
  auto r = std::from_chars(text.data(), text.data() + text.size(), n);
  if (r.ec != std::errc() || r.ptr != text.data() + text.size()) {
    p.SetError(kErrRndRange);
    return 0;
  }
  if (n < 1) return 0;
  return floorl(p.Random() * n);
}
long double mLength(TFormulaParser&, const FunctionArgs& a) { return static_cast<long double>(a.s1.size()); }
long double mStrComp(TFormulaParser&, const FunctionArgs& a) { return a.s1 == a.s2 ? 1 : 0; }
long double mIf(TFormulaParser& p, const FunctionArgs& a) {
  if (a.list.size() != 3) {
    p.SetError(kErrIfCount);
    return 0;
  }
  if (!IsBool(a.list[0])) {
    p.SetError(kErrIfCondition);
    return 0;
  }
  return a.list[0] == 1 ? a.list[1] : a.list[2];
}

// Registration order.
constexpr std::array<BuiltinDef, 52> kBuiltins = {{
    {"ARCTAN", 1, mArcTan},
    {"COS", 1, mCos},
    {"DEG", 1, mDeg},
    {"PI", 0, Mpi},
    {"RAD", 1, mRad},
    {"SIN", 1, mSin},
    {"TAN", 1, mTan},
    {"AND", 3, mAnd},
    {"FALSE", 0, mFalse},
    {"OR", 3, mIor},
    {"TRUE", 0, mTrue},
    {"XOR", 2, mXor},
    {"NOT", 1, mNot},
    {"EXP", 1, mExp},
    {"E", 0, mE},
    {"LN", 1, mLn},
    {"LOG", 1, mLog},
    {"SQR", 1, mSqr},
    {"SQRT", 1, mSqrt},
    {"ABS", 1, mAbs},
    {"FRAC", 1, mFrac},
    {"INT", 1, mInt},
    {"MAX", 3, mMax},
    {"MIN", 3, mMin},
    {"ROUND", 1, mRound},
    {"SGN", 1, mSgn},
    {"CSC", 1, mCsc},
    {"SEC", 1, mSec},
    {"COT", 1, mCot},
    {"SINH", 1, mSinh},
    {"COSH", 1, mCosh},
    {"TANH", 1, mTanh},
    {"CSCH", 1, mCsch},
    {"SECH", 1, mSech},
    {"COTH", 1, mCoth},
    {"ARCSINH", 1, mArcSinh},
    {"ARCCOSH", 1, mArcCosh},
    {"ARCTANH", 1, mArcTanh},
    {"ARCCSCH", 1, mArcCsch},
    {"ARCSECH", 1, mArcSech},
    {"ARCCOTH", 1, mArcCoth},
    {"AVG", 3, mAverage},
    {"AVGERAGE", 3, mAverage},
    {"STD", 3, mStdDev},
    {"STDEV", 3, mStdDev},
    {"MEAN", 3, mMean},
    {"SUM", 3, mSum},
    {"RAND", 0, mRand},
    {"RND", 1, mRnd},
    {"LENGTH", 8, mLength},
    {"STRCOMP", 9, mStrComp},
    {"IF", 3, mIf},
}};

// Index of the built-ins sorted by name, for binary search.
struct BuiltinIndex {
  std::array<int, kBuiltins.size()> order;
  std::array<FunctionOperation, kBuiltins.size()> ops;
  BuiltinIndex() {
    for (size_t i = 0; i < order.size(); ++i) {
      order[i] = static_cast<int>(i);
      ops[i] = kBuiltins[i].fn;
    }
    std::sort(order.begin(), order.end(),
              [](int a, int b) { return std::string_view(kBuiltins[a].name) < std::string_view(kBuiltins[b].name); });
  }
  int Find(std::string_view name) const {
    auto it = std::lower_bound(order.begin(), order.end(), name,
                               [](int i, std::string_view n) { return std::string_view(kBuiltins[i].name) < n; });
    if (it != order.end() && std::string_view(kBuiltins[*it].name) == name) return *it;
    return -1;
  }
};

const BuiltinIndex& Index() {
  static const BuiltinIndex index;
  return index;
}
}  // namespace

size_t BuiltinCount() { return kBuiltins.size(); }
const BuiltinDef& BuiltinAt(size_t index) { return kBuiltins[index]; }
int FindBuiltin(std::string_view upperName) { return Index().Find(upperName); }
const FunctionOperation& BuiltinOperation(size_t index) { return Index().ops[index]; }

}  // namespace pelmora::formula

namespace pelmora {

const FunctionOperation* TBuildinFuncs::FindOperation(std::string_view upperName) const {
  const int i = formula::FindBuiltin(upperName);
  return i < 0 ? nullptr : &formula::BuiltinOperation(static_cast<size_t>(i));
}

}  // namespace pelmora

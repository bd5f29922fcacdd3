#include "props/FormulaParser.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <charconv>
#include <chrono>
#include <cmath>

#include "props/MyValues.h"
#include "props/PropNumbers.h"

namespace pelmora {

namespace {

const long double kLnRange = logl(RangeLimit);
const long double kSqrtRange = sqrtl(RangeLimit);
constexpr long double kPi = 3.14159265358979323846264338327950288L;
constexpr long double kTwo63 = 9223372036854775808.0L;

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
bool IsUpperLetter(char c) { return c >= 'A' && c <= 'Z'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsBool(long double v) { return v == 0 || v == 1; }
bool IsWhole(long double v) { return std::isfinite(v) && v == truncl(v); }
bool IsOddWhole(long double v) { return IsWhole(v) && fmodl(v, 2) != 0; }

// ---- the built-in functions -------------------------------------------------------

using Builtin = long double (*)(TFormulaParser&, const FunctionArgs&);

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
long double mAnd(TFormulaParser& p, const FunctionArgs& a) {
  long double r = 1;
  for (long double v : a.list) {
    if (!IsBool(v)) {
      p.SetError(kErrNotBoolean);
      return 0;
    }
    if (v == 0) r = 0;
  }
  return r;
}
long double mFalse(TFormulaParser&, const FunctionArgs&) { return 0; }
long double mIor(TFormulaParser& p, const FunctionArgs& a) {
  long double r = 0;
  for (long double v : a.list) {
    if (!IsBool(v)) {
      p.SetError(kErrNotBoolean);
      return 0;
    }
    if (v == 1) r = 1;
  }
  return r;
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

struct BuiltinDef {
  const char* name;
  int form;
  Builtin fn;
};

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

struct MessageDef {
  int code;
  const char* text;
};

constexpr MessageDef kMessages[] = {
    {0, "结果正确"},
    {1, "无效的数字"},
    {2, "未知的函数"},
    {3, "( ) 不匹配"},
    {4, "Real exponent -> complex number"},
    {5, "TAN( (2n+1)*PI/2 ) not defined"},
    {6, "空字符串"},
    {7, "LN(x) or LOG(x) for x<=0 -> complex number"},
    {8, "SQRT(x) for x<0 -> complex number"},
    {9, "被0除"},
    {10, "函数或常量太多"},
    {11, "Intermediate result out of range"},
    {12, "函数名称中有无效的字符"},
    {13, "非布尔表达式"},
    {14, "参数数目不正确"},
    {17, "Csc( n*PI ) not defined"},
    {18, "Sec( (2n+1)*PI/2 ) not defined"},
    {19, "Cot( n*PI ) not defined"},
    {20, "Parameter to large"},
    {21, "Csch(0) not defined"},
    {22, "Coth(0) not defined"},
    {23, "ArcCosh(x) not defined for x<1"},
    {24, "ArcTanh(x) not defined for Abs(x)=>1"},
    {25, "Arccsch(0) not defined"},
    {26, "Arcsech(x) not defined for x<=0 or x>1"},
    {27, "Arccoth(x) not defined for Abs(x)<=1"},
    {28, "Average not defined for zero items"},
    {29, "Standard deviation not defined for less than two items"},
    {30, "函数已存在"},
    {32, "Function not fully implemented yet"},
    {33, "遗失字符串引用"},
    {34, "字符串引用结束符不匹配!"},
    {35, "if needs exact 3 parameters"},
    {36, "条件表达式值应为\"是\"或\"否\""},
    {37, "RND range to large"},
    {38, "函数名不存在!"},
    {39, "未发现对象!"},
};

// Keeps the nesting depth of the evaluator and raises kErrTooMany beyond the limit.
class DepthGuard {
 public:
  DepthGuard(int& depth, TFormulaParser& p) : depth_(depth) {
    ok_ = ++depth_ <= TFormulaParser::kMaxDepth;
    if (!ok_) p.SetError(kErrTooMany);
  }
  ~DepthGuard() { --depth_; }
  bool ok() const { return ok_; }

 private:
  int& depth_;
  bool ok_;
};

}  // namespace

// ---- owners -----------------------------------------------------------------------

void TOperationTable::AddOperation(const std::string& name, FunctionOperation op) {
  std::string upper;
  for (char c : name) upper += Upper(c);
  for (auto& [n, o] : ops_)
    if (n == upper) {
      o = std::move(op);
      return;
    }
  ops_.emplace_back(upper, std::move(op));
}

const FunctionOperation* TOperationTable::FindOperation(std::string_view upperName) const {
  for (const auto& [n, o] : ops_)
    if (n == upperName) return &o;
  return nullptr;
}

const FunctionOperation* TBuildinFuncs::FindOperation(std::string_view upperName) const {
  int i = Index().Find(upperName);
  return i < 0 ? nullptr : &Index().ops[static_cast<size_t>(i)];
}

// ---- parser -----------------------------------------------------------------------

TFormulaParser::TFormulaParser() {
  uint64_t seed = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  seed ^= reinterpret_cast<uintptr_t>(this);
  rng_ = seed | 1;
}

long double TFormulaParser::Random() {
  // splitmix64
  rng_ += 0x9E3779B97F4A7C15ull;
  uint64_t z = rng_;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  z ^= z >> 31;
  return static_cast<long double>(z >> 11) / 9007199254740992.0L;  // 2^53
}

void TFormulaParser::SetFormula(const std::string& text) {
  errorCode_ = 0;
  formula_ = text;
}

long double TFormulaParser::EvaluateFormula() { return Evaluate(formula_); }

void TFormulaParser::SetError(int code) {
  if (errorCode_ == 0) errorCode_ = code;
}

void TFormulaParser::RegisterMessage(int code, const std::string& text) {
  for (auto& [c, t] : customMessages_)
    if (c == code) {
      t = text;
      return;
    }
  customMessages_.emplace_back(code, text);
}

std::string TFormulaParser::Message(int code) const {
  for (const auto& [c, t] : customMessages_)
    if (c == code) return t;
  for (const auto& m : kMessages)
    if (m.code == code) return m.text;
  return "";
}

std::vector<std::string> TFormulaParser::MessageLines() const {
  std::vector<std::string> lines;
  std::vector<int> seen;
  for (const auto& m : kMessages) {
    lines.push_back(std::to_string(m.code) + "=" + Message(m.code));
    seen.push_back(m.code);
  }
  for (const auto& [c, t] : customMessages_)
    if (std::find(seen.begin(), seen.end(), c) == seen.end()) lines.push_back(std::to_string(c) + "=" + t);
  return lines;
}

std::vector<std::string> TFormulaParser::FunctionLines() const {
  std::vector<std::string> lines;
  for (const auto& b : kBuiltins) lines.push_back(std::string(b.name) + "=" + std::to_string(b.form));
  for (const auto& e : extraFunctions_) lines.push_back(e.name + "=" + std::to_string(e.form));
  return lines;
}

const TFormulaParser::Entry* TFormulaParser::FindEntry(std::string_view upperName) const {
  for (const auto& e : extraFunctions_)
    if (e.name == upperName) return &e;
  return nullptr;
}

void TFormulaParser::RegisterFunction(const TFunctionOwner* owner, const std::string& name, int form) {
  std::string upper;
  for (char c : name) upper += Upper(c);
  if (Index().Find(upper) >= 0 || FindEntry(upper)) {
    SetError(kErrExists);
    return;
  }
  bool valid = !upper.empty() && IsUpperLetter(upper[0]);
  for (char c : upper)
    if (!IsUpperLetter(c) && !IsDigit(c) && c != '_') valid = false;
  if (!valid) SetError(kErrBadName);
  extraFunctions_.push_back({upper, form, owner});
}

void TFormulaParser::NextChar() {
  if (pos_ < text_.size()) ++pos_;
  cur_ = Upper(text_[pos_ - 1]);
}

void TFormulaParser::SkipChar() {
  do {
    NextChar();
  } while (cur_ == ' ');
}

long double TFormulaParser::Evaluate(const std::string& text) {
  // Save the scanner so that a function may evaluate another formula.
  std::string savedText = std::move(text_);
  size_t savedPos = pos_;
  char savedCur = cur_;
  int savedDepth = depth_;

  errorCode_ = 0;
  long double result = 0;
  long open = std::count(text.begin(), text.end(), '(');
  long close = std::count(text.begin(), text.end(), ')');
  if (open != close) {
    SetError(kErrParens);
  } else {
    text_ = text;
    text_.push_back('\0');
    pos_ = 0;
    depth_ = 0;
    SkipChar();
    if (cur_ == '\0' && pos_ == text_.size()) {
      SetError(kErrEmpty);
    } else {
      result = ParseRelation();
      // A result outside the double range could reach no field as a number.
      if (!Failed() && (!std::isfinite(result) || fabsl(result) > static_cast<long double>(DBL_MAX)))
        SetError(kErrRange);
    }
  }
  text_ = std::move(savedText);
  pos_ = savedPos;
  cur_ = savedCur;
  depth_ = savedDepth;
  return Failed() ? 0 : result;
}

long double TFormulaParser::ParseRelation() {
  DepthGuard guard(depth_, *this);
  if (!guard.ok()) return 0;
  long double left = ParseSimple();
  if (Failed()) return 0;
  long double result = left;
  switch (cur_) {
    case '<':
      SkipChar();
      if (cur_ == '=') {
        SkipChar();
        result = left <= ParseSimple() ? 1 : 0;
      } else if (cur_ == '>') {
        SkipChar();
        result = left != ParseSimple() ? 1 : 0;
      } else {
        result = left < ParseSimple() ? 1 : 0;
      }
      break;
    case '>':
      SkipChar();
      if (cur_ == '=') {
        SkipChar();
        result = left >= ParseSimple() ? 1 : 0;
      } else {
        result = left > ParseSimple() ? 1 : 0;
      }
      break;
    case '=':
      SkipChar();
      result = left == ParseSimple() ? 1 : 0;
      break;
    case '&':
    case '|': {
      char op = cur_;
      SkipChar();
      long double right = ParseRelation();
      if (Failed()) return 0;
      if (!IsBool(left) || !IsBool(right)) {
        SetError(kErrNotBoolean);
        return 0;
      }
      result = op == '&' ? (left == 1 && right == 1 ? 1 : 0) : (left == 1 || right == 1 ? 1 : 0);
      break;
    }
    default: break;
  }
  return Failed() ? 0 : result;
}

long double TFormulaParser::ParseSimple() {
  long double value = ParseTerm();
  while (!Failed() && (cur_ == '+' || cur_ == '-')) {
    char op = cur_;
    SkipChar();
    long double right = ParseTerm();
    if (Failed()) break;
    long double r = op == '+' ? right : -right;
    if (fabsl(value / 10 + r / 10) < RangeLimit / 10)
      value = value + r;
    else
      SetError(kErrRange);
  }
  switch (cur_) {
    case '\0':
    case '&':
    case ')':
    case ',':
    case '<':
    case '=':
    case '>':
    case '|': break;
    default: SetError(kErrUnknown);
  }
  return Failed() ? 0 : value;
}

long double TFormulaParser::ParseTerm() {
  long double value = ParsePower();
  while (!Failed() && (cur_ == '*' || cur_ == '/')) {
    if (cur_ == '*') {
      SkipChar();
      long double right = ParsePower();
      if (Failed() || value == 0 || right == 0) {
        value = 0;
      } else if (!(fabsl(logl(fabsl(value)) + logl(fabsl(right))) < kLnRange)) {
        SetError(kErrRange);
      } else {
        value = value * right;
      }
    } else {
      SkipChar();
      long double right = ParsePower();
      if (Failed()) break;
      if (right == 0) {
        SetError(kErrDivZero);
      } else if (value == 0) {
        value = 0;
      } else if (!(fabsl(logl(fabsl(value)) - logl(fabsl(right))) < kLnRange)) {
        SetError(kErrRange);
      } else {
        value = value / right;
      }
    }
  }
  return Failed() ? 0 : value;
}

long double TFormulaParser::ParsePower() {
  long double base = ParseFactor();
  while (!Failed() && cur_ == '^') {
    SkipChar();
    long double exponent = ParseFactor();
    if (Failed()) break;
    long double b = base;
    if (b == 0) {
      base = 0;
    } else {
      long double l = logl(fabsl(b)) * exponent;
      if (l > kLnRange) {
        SetError(kErrRange);
        break;
      }
      base = expl(l);
    }
    if (b < 0) {
      if (!IsWhole(exponent)) {
        SetError(kErrComplexPower);
      } else if (fmodl(roundl(exponent), 2) != 0) {
        base = -base;
      }
    }
  }
  return Failed() ? 0 : base;
}

long double TFormulaParser::ParseFactor() {
  DepthGuard guard(depth_, *this);
  if (!guard.ok()) return 0;
  long double value = 0;
  char c = cur_;
  if (c == '(') {
    SkipChar();
    value = ParseRelation();
    if (!Failed() && cur_ != ')') SetError(kErrParens);
    SkipChar();
  } else if (c == '+') {
    NextChar();
    value = ParseFactor();
  } else if (c == '-') {
    NextChar();
    value = -ParseFactor();
  } else if (c == '.' || IsDigit(c)) {
    value = ParseNumber();
  } else if (IsUpperLetter(c)) {
    std::string name(1, c);
    SkipChar();
    while (IsUpperLetter(cur_) || IsDigit(cur_) || cur_ == '_') {
      name += cur_;
      SkipChar();
    }
    value = ParseCall(name);
  } else {
    SetError(kErrUnknown);
  }
  return Failed() ? 0 : value;
}

long double TFormulaParser::ParseNumber() {
  std::string t = cur_ == '.' ? std::string("0.") : std::string(1, cur_);
  NextChar();
  while (cur_ == '.' || IsDigit(cur_) || cur_ == 'E') {
    if (cur_ == 'E') {
      if (t.back() == '.') t += '0';
      t += 'E';
      NextChar();
      if (cur_ == '+' || cur_ == '-') {
        t += cur_;
        NextChar();
      }
    } else {
      t += cur_;
      NextChar();
    }
  }
  if (cur_ == ' ') SkipChar();
  if (t.back() == '.' && t.find('E') == std::string::npos) t += '0';
  // Strict form: digits [. digits] [E [sign] digits]
  size_t i = 0;
  while (i < t.size() && IsDigit(t[i])) ++i;
  bool ok = i > 0;
  if (ok && i < t.size() && t[i] == '.') {
    size_t j = ++i;
    while (i < t.size() && IsDigit(t[i])) ++i;
    ok = i > j;
  }
  if (ok && i < t.size() && t[i] == 'E') {
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    size_t j = i;
    while (i < t.size() && IsDigit(t[i])) ++i;
    ok = i > j;
  }
  ok = ok && i == t.size();
  if (!ok) {
    SetError(kErrNumber);
    return 0;
  }
  long double v = 0;
  for (char& ch : t)
    if (ch == 'E') ch = 'e';
  auto r = std::from_chars(t.data(), t.data() + t.size(), v);
  if (r.ec == std::errc::result_out_of_range) {
    size_t e = t.find('e');
    if (e != std::string::npos && e + 1 < t.size() && t[e + 1] == '-') return 0;  // underflow
    SetError(kErrNumber);
    return 0;
  }
  if (r.ec != std::errc() || !std::isfinite(v)) {
    SetError(kErrNumber);
    return 0;
  }
  return v;
}

bool TFormulaParser::ReadString(std::string& out) {
  if (cur_ != '"' && cur_ != '\'') {
    SetError(kErrNoString);
    return false;
  }
  char quote = cur_;
  SkipChar();
  while (cur_ != quote) {
    if (cur_ == '\0' && pos_ == text_.size()) {
      SetError(kErrStringEnd);
      return false;
    }
    out += cur_;
    SkipChar();
  }
  return true;
}

long double TFormulaParser::ParseCall(const std::string& name) {
  int builtin = Index().Find(name);
  const Entry* extra = builtin < 0 ? FindEntry(name) : nullptr;
  if (builtin < 0 && !extra) {
    SetError(kErrNoFunction);
    return 0;
  }
  int form = builtin >= 0 ? kBuiltins[static_cast<size_t>(builtin)].form : extra->form;
  FunctionArgs args;
  auto expect = [this](char c, int code) {
    if (Failed()) return false;
    if (cur_ != c) {
      SetError(code);
      return false;
    }
    SkipChar();
    return true;
  };
  switch (form) {
    case kFormNone:
      if (cur_ == '(') {
        SkipChar();
        if (!expect(')', kErrArgCount)) return 0;
      }
      break;
    case kFormOne:
      if (!expect('(', kErrArgCount)) return 0;
      args.a = ParseRelation();
      if (!expect(')', kErrArgCount)) return 0;
      break;
    case kFormTwo:
      if (!expect('(', kErrArgCount)) return 0;
      args.a = ParseRelation();
      if (!expect(',', kErrArgCount)) return 0;
      args.b = ParseRelation();
      if (!expect(')', kErrArgCount)) return 0;
      break;
    case kFormList:
      if (!expect('(', kErrArgCount)) return 0;
      args.list.push_back(ParseRelation());
      if (!Failed() && cur_ != ',') SetError(kErrArgCount);
      while (!Failed() && cur_ == ',') {
        SkipChar();
        args.list.push_back(ParseRelation());
      }
      if (!expect(')', kErrArgCount)) return 0;
      break;
    case kFormString:
      if (cur_ == '(') {
        SkipChar();
        ReadString(args.s1);
        SkipChar();
        SkipChar();
      }
      break;
    case kFormTwoStrings:
      if (!expect('(', kErrArgCount)) return 0;
      if (!ReadString(args.s1)) return 0;
      SkipChar();  // the closing quote
      if (!expect(',', kErrArgCount)) return 0;
      if (!ReadString(args.s2)) return 0;
      SkipChar();
      if (!expect(')', kErrArgCount)) return 0;
      break;
    default: SetError(kErrArgCount); break;
  }
  if (Failed()) return 0;
  long double value = 0;
  if (builtin >= 0) {
    value = kBuiltins[static_cast<size_t>(builtin)].fn(*this, args);
  } else if (!extra->owner) {
    SetError(kErrNoOwner);
  } else if (const FunctionOperation* op = extra->owner->FindOperation(name)) {
    value = (*op)(*this, args);
  } else {
    SetError(kErrNoFunction);
  }
  return Failed() ? 0 : value;
}

// ---- variables --------------------------------------------------------------------

// Blanks the rows that formulas added, from row 1 on. The rows of the evaluation point,
// t and p, are the user's input and stay: blanking them made the next property of the
// same computation fail with "请指定温度！".
void ClearVariableRows(TMyValues& grid) {
  for (int r = 1; r < grid.RowCount(); ++r) {
    const std::string& n = grid.Cell(TMyValues::kName, r);
    if (n == "t" || n == "p") continue;
    for (int c = 0; c < 4; ++c) grid.SetCell(c, r, "");
  }
}

std::vector<VariableOccurrence> CollectVariables(const std::string& text, TMyValues& grid) {
  if (text.size() > 255) throw RangeCheckError();
  std::vector<VariableOccurrence> found;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (!IsAsciiLetter(c)) continue;
    if (i > 0 && IsAsciiLetter(text[i - 1])) continue;
    if (i + 1 < text.size() && IsAsciiLetter(text[i + 1])) continue;
    if ((c == 'E' || c == 'e') && i > 0 && IsDigit(text[i - 1])) continue;
    if (found.size() >= 100) throw RangeCheckError();
    found.push_back({i, c});
  }
  for (const auto& occ : found) {
    bool present = false;
    for (int r = 0; r < grid.RowCount() && !present; ++r) {
      const std::string& n = grid.Cell(TMyValues::kName, r);
      present = n.size() == 1 && Upper(n[0]) == Upper(occ.letter);
    }
    if (!present) grid.AddValue(std::string(1, occ.letter), "", "", "");
  }
  if (found.empty()) ClearVariableRows(grid);
  return found;
}

std::string SubstituteVariables(const std::string& text, const std::vector<VariableOccurrence>& occurrences,
                                const TMyValues& grid) {
  std::string out;
  out.reserve(text.size() + occurrences.size() * 8);
  size_t from = 0;
  for (const auto& occ : occurrences) {
    if (occ.position < from || occ.position >= text.size()) continue;
    out.append(text, from, occ.position - from);
    out += grid.GetValueOf(std::string(1, occ.letter));
    from = occ.position + 1;
  }
  out.append(text, from, std::string::npos);
  return out;
}

long double EvaluateWithValues(TFormulaParser& parser, const std::string& text, TMyValues* grid) {
  if (text.empty()) {
    if (grid) ClearVariableRows(*grid);
    return 0;
  }
  std::string prepared = text;
  if (grid) {
    auto occurrences = CollectVariables(text, *grid);
    prepared = SubstituteVariables(text, occurrences, *grid);
  }
  parser.SetFormula(prepared);
  return parser.EvaluateFormula();
}

}  // namespace pelmora

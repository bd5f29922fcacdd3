#include "props/FormulaParser.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <charconv>
#include <chrono>
#include <cmath>

#include "props/FormulaBuiltins.h"
#include "props/MyValues.h"
#include "props/PropNumbers.h"

namespace pelmora {

using namespace formula;

namespace {

struct MessageDef {
  int code;
  const char* text;
};

// The message of every error code, in the order the message list shows them.
constexpr MessageDef kMessages[] = {
    {kErrNone, "结果正确"},
    {kErrNumber, "无效的数字"},
    {kErrUnknown, "未知的函数"},
    {kErrParens, "( ) 不匹配"},
    {kErrComplexPower, "Real exponent -> complex number"},
    {kErrTan, "TAN( (2n+1)*PI/2 ) not defined"},
    {kErrEmpty, "空字符串"},
    {kErrLog, "LN(x) or LOG(x) for x<=0 -> complex number"},
    {kErrSqrt, "SQRT(x) for x<0 -> complex number"},
    {kErrDivZero, "被0除"},
    {kErrTooMany, "函数或常量太多"},
    {kErrRange, "Intermediate result out of range"},
    {kErrBadName, "函数名称中有无效的字符"},
    {kErrNotBoolean, "非布尔表达式"},
    {kErrArgCount, "参数数目不正确"},
    {kErrCsc, "Csc( n*PI ) not defined"},
    {kErrSec, "Sec( (2n+1)*PI/2 ) not defined"},
    {kErrCot, "Cot( n*PI ) not defined"},
    {kErrParamLarge, "Parameter to large"},
    {kErrCsch, "Csch(0) not defined"},
    {kErrCoth, "Coth(0) not defined"},
    {kErrArcCosh, "ArcCosh(x) not defined for x<1"},
    {kErrArcTanh, "ArcTanh(x) not defined for Abs(x)=>1"},
    {kErrArcCsch, "Arccsch(0) not defined"},
    {kErrArcSech, "Arcsech(x) not defined for x<=0 or x>1"},
    {kErrArcCoth, "Arccoth(x) not defined for Abs(x)<=1"},
    {kErrAverage, "Average not defined for zero items"},
    {kErrStdDev, "Standard deviation not defined for less than two items"},
    {kErrExists, "函数已存在"},
    {kErrNotImplemented, "Function not fully implemented yet"},
    {kErrNoString, "遗失字符串引用"},
    {kErrStringEnd, "字符串引用结束符不匹配!"},
    {kErrIfCount, "if needs exact 3 parameters"},
    {kErrIfCondition, "条件表达式值应为\"是\"或\"否\""},
    {kErrRndRange, "RND range to large"},
    {kErrNoFunction, "函数名不存在!"},
    {kErrNoOwner, "未发现对象!"},
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
  for (size_t i = 0; i < BuiltinCount(); ++i)
    lines.push_back(std::string(BuiltinAt(i).name) + "=" + std::to_string(BuiltinAt(i).form));
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
  if (FindBuiltin(upper) >= 0 || FindEntry(upper)) {
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
  int builtin = FindBuiltin(name);
  const Entry* extra = builtin < 0 ? FindEntry(name) : nullptr;
  if (builtin < 0 && !extra) {
    SetError(kErrNoFunction);
    return 0;
  }
  int form = builtin >= 0 ? BuiltinAt(static_cast<size_t>(builtin)).form : extra->form;
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
    value = BuiltinAt(static_cast<size_t>(builtin)).fn(*this, args);
  } else if (!extra->owner) {
    SetError(kErrNoOwner);
  } else if (const FunctionOperation* op = extra->owner->FindOperation(name)) {
    value = (*op)(*this, args);
  } else {
    SetError(kErrNoFunction);
  }
  return Failed() ? 0 : value;
}

}  // namespace pelmora

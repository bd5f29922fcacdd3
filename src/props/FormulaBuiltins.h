#pragma once
// What the formula evaluator's parts share: the character classes of its language, the
// range limit of a logarithm, and the table of built-in functions (FormulaBuiltins.cpp).
#include <cmath>
#include <cstddef>
#include <string_view>

#include "props/FormulaParser.h"

namespace pelmora::formula {

inline const long double kLnRange = logl(RangeLimit);

inline char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
inline bool IsUpperLetter(char c) { return c >= 'A' && c <= 'Z'; }
inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }
inline bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
inline bool IsBool(long double v) { return v == 0 || v == 1; }
inline bool IsWhole(long double v) { return std::isfinite(v) && v == truncl(v); }
inline bool IsOddWhole(long double v) { return IsWhole(v) && fmodl(v, 2) != 0; }

using Builtin = long double (*)(TFormulaParser&, const FunctionArgs&);

// A built-in function: its name, its form (kFormNone, kFormOne, ...) and its code.
struct BuiltinDef {
  const char* name;
  int form;
  Builtin fn;
};

// The built-ins in registration order; the one named `upperName` (-1 for none), and its
// operation as a function owner hands it out.
size_t BuiltinCount();
const BuiltinDef& BuiltinAt(size_t index);
int FindBuiltin(std::string_view upperName);
const FunctionOperation& BuiltinOperation(size_t index);

}  // namespace pelmora::formula

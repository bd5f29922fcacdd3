// The formula language of the property library: a recursive-descent evaluator that
// reads a formula text once and computes its value in 80-bit extended precision.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pelmora {

class TMyValues;
class TFormulaParser;

// Magnitude limit of intermediate results.
inline constexpr long double RangeLimit = 9.99999999E37L;

// Argument forms of the function table.
enum FunctionForm : int {
  kFormNone = 0,       // NAME or NAME()
  kFormOne = 1,        // NAME(x)
  kFormTwo = 2,        // NAME(x, y)
  kFormList = 3,       // NAME(x, y {, z})
  kFormString = 8,     // NAME('s')
  kFormTwoStrings = 9  // NAME('s', 't')
};

// Error codes raised by the language (the message table holds their texts).
enum FormulaError : int {
  kErrNone = 0,
  kErrNumber = 1,
  kErrUnknown = 2,
  kErrParens = 3,
  kErrComplexPower = 4,
  kErrTan = 5,
  kErrEmpty = 6,
  kErrLog = 7,
  kErrSqrt = 8,
  kErrDivZero = 9,
  kErrTooMany = 10,  // also raised when formulas nest deeper than the evaluator allows
  kErrRange = 11,
  kErrBadName = 12,
  kErrNotBoolean = 13,
  kErrArgCount = 14,
  kErrCsc = 17,
  kErrSec = 18,
  kErrCot = 19,
  kErrParamLarge = 20,
  kErrCsch = 21,
  kErrCoth = 22,
  kErrArcCosh = 23,
  kErrArcTanh = 24,
  kErrArcCsch = 25,
  kErrArcSech = 26,
  kErrArcCoth = 27,
  kErrAverage = 28,
  kErrStdDev = 29,
  kErrExists = 30,
  kErrNotImplemented = 32,
  kErrNoString = 33,
  kErrStringEnd = 34,
  kErrIfCount = 35,
  kErrIfCondition = 36,
  kErrRndRange = 37,
  kErrNoFunction = 38,
  kErrNoOwner = 39,
};

// The arguments read for one call: a, b for forms 1 and 2, list for form 3,
// s1, s2 for forms 8 and 9.
struct FunctionArgs {
  long double a = 0;
  long double b = 0;
  std::vector<long double> list;
  std::string s1;
  std::string s2;
};

using FunctionOperation = std::function<long double(TFormulaParser&, const FunctionArgs&)>;

// Owner of callable operations; an entry of the function table names its owner, and
// the owner serves the operation of that name (upper case) at call time.
class TFunctionOwner {
 public:
  virtual ~TFunctionOwner() = default;
  virtual const FunctionOperation* FindOperation(std::string_view upperName) const = 0;
};

// An owner backed by a table of callables keyed by name.
class TOperationTable : public TFunctionOwner {
 public:
  void AddOperation(const std::string& name, FunctionOperation op);
  const FunctionOperation* FindOperation(std::string_view upperName) const override;

 private:
  std::vector<std::pair<std::string, FunctionOperation>> ops_;
};

// Owner of the 52 built-in functions (mAbs ... mXor).
class TBuildinFuncs : public TFunctionOwner {
 public:
  const FunctionOperation* FindOperation(std::string_view upperName) const override;
};

class TFormulaParser {
 public:
  // Nesting of parentheses, signs, calls and logical operators beyond this ends the
  // evaluation with kErrTooMany instead of exhausting the stack.
  static constexpr int kMaxDepth = 400;

  TFormulaParser();
  TFormulaParser(const TFormulaParser&) = delete;
  TFormulaParser& operator=(const TFormulaParser&) = delete;

  long double Evaluate(const std::string& text);
  void SetFormula(const std::string& text);
  const std::string& Formula() const { return formula_; }
  long double EvaluateFormula();

  void RegisterFunction(const TFunctionOwner* owner, const std::string& name, int form);
  void RegisterMessage(int code, const std::string& text);
  void SetError(int code);
  int ErrorCode() const { return errorCode_; }
  // Message of a code ("" when the table has none) and of the pending code.
  std::string Message(int code) const;
  std::string ErrorMessage() const { return Message(errorCode_); }
  // The tables as "%d=%s" and "%s=%d" lines, in order.
  std::vector<std::string> MessageLines() const;
  std::vector<std::string> FunctionLines() const;

  // Uniform pseudo-random number in [0, 1).
  long double Random();

 private:
  struct Entry {
    std::string name;
    int form;
    const TFunctionOwner* owner;
  };
  const Entry* FindEntry(std::string_view upperName) const;

  void NextChar();
  void SkipChar();
  long double ParseRelation();
  long double ParseSimple();
  long double ParseTerm();
  long double ParsePower();
  long double ParseFactor();
  long double ParseNumber();
  long double ParseCall(const std::string& name);
  bool ReadString(std::string& out);
  bool Failed() const { return errorCode_ != 0; }

  int errorCode_ = 0;
  std::string formula_ = "0";
  std::vector<std::pair<int, std::string>> customMessages_;
  std::vector<Entry> extraFunctions_;
  TBuildinFuncs builtins_;
  uint64_t rng_;

  // Scanner state of the evaluation in progress.
  std::string text_;
  size_t pos_ = 0;
  char cur_ = 0;
  int depth_ = 0;
};

// One lone letter of a formula text: its 0-based position and the letter.
struct VariableOccurrence {
  size_t position;
  char letter;
};

// Finds the variables of a text and adds a grid row for each letter the grid lacks.
// Throws RangeCheckError for texts over 255 characters or more than 100 occurrences.
std::vector<VariableOccurrence> CollectVariables(const std::string& text, TMyValues& grid);

// Replaces each occurrence by the grid's value text of its letter.
std::string SubstituteVariables(const std::string& text, const std::vector<VariableOccurrence>& occurrences,
                                const TMyValues& grid);

// Binds the single-letter variables of text to the grid values and evaluates it.
long double EvaluateWithValues(TFormulaParser& parser, const std::string& text, TMyValues* grid);

}  // namespace pelmora

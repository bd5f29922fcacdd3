// Fuzz target: the formula language. The input is a formula text evaluated with the
// variables t and p bound as the property dialog binds them. The evaluator reports
// every fault through its error code; the only exception it may raise is the range
// check of an over-long text. The value is finite, and zero whenever a code is set.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCommon.h"
#include "props/FormulaParser.h"
#include "props/MyValues.h"
#include "props/PropNumbers.h"

using namespace pelmora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 4096) return 0;
  std::string text(reinterpret_cast<const char*>(data), size);
  // An optional first line "t=...;p=..." gives the variables' texts.
  std::string t = "20", p = "101.325";
  if (size_t nl = text.find('\n'); nl != std::string::npos && text.rfind("t=", 0) == 0) {
    std::string head = text.substr(2, nl - 2);
    text.erase(0, nl + 1);
    size_t semi = head.find(";p=");
    t = head.substr(0, semi);
    if (semi != std::string::npos) p = head.substr(semi + 3);
  }
  TMyValues grid;
  grid.AddValue("t", t, "C", "温度");
  grid.AddValue("p", p, "kPa(A)", "绝对压力");
  TFormulaParser parser;
  long double v = 0;
  try {
    v = EvaluateWithValues(parser, text, &grid);
  } catch (const RangeCheckError&) {
    return 0;
  }
  fuzz::RequireFinite(static_cast<double>(v), "non-finite formula value");
  if (parser.ErrorCode() != 0 && v != 0) fuzz::Fault("a value beside an error code");
  // The plain evaluator (no variables) takes the same text.
  long double w = parser.Evaluate(text);
  fuzz::RequireFinite(static_cast<double>(w), "non-finite value of Evaluate");
  return 0;
}

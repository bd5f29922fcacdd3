// Long randomized runs over malformed input: nothing may crash, hang, read out of
// bounds or produce a non-finite value (run under the sanitizers in the test build).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <stdexcept>

#include "props/FormulaParser.h"
#include "props/MyValues.h"
#include "props/PropLib.h"
#include "props/PropNumbers.h"
#include "props/PropTables.h"
#include "props/SimpProps.h"

using namespace pelmora;

namespace {

const std::string kAlphabet = "0123456789.eE+-*/^()<>=&|,;:'\" tTpPxXaArRcCwMBVZ_?{!#\t\xE4\xB8\xAD\x7F";
const char* kWords[] = {"SIN(",     "cos(",      "LN(",  "EXP(", "SQRT(", "IF(",   "MAX(",
                        "LENGTH('", "STRCOMP('", "PI",   "E",    "1E38",  "1E-38", "PRRCP",
                        "VRRCP",    "PARAMS:",   "PRV:", "VRV:", "Tr",    "Pc",    "9.99999999E37",
                        "ARCSECH(", "RND(",      "SUM(", "STD(", "TAN(",  "))))",  "(((("};

std::string RandomText(std::mt19937& rng, size_t maxLen) {
  std::uniform_int_distribution<size_t> len(0, maxLen);
  std::uniform_int_distribution<size_t> pick(0, kAlphabet.size() - 1);
  std::uniform_int_distribution<size_t> word(0, std::size(kWords) - 1);
  std::uniform_int_distribution<int> coin(0, 5);
  std::string s;
  size_t n = len(rng);
  while (s.size() < n) {
    if (coin(rng) == 0)
      s += kWords[word(rng)];
    else
      s += kAlphabet[pick(rng)];
  }
  return s;
}

std::string RandomTableText(std::mt19937& rng) {
  static const std::string chars = "0123456789.,;-E ";
  std::uniform_int_distribution<size_t> len(0, 80), pick(0, chars.size() - 1);
  std::string s;
  for (size_t n = len(rng); s.size() < n;) s += chars[pick(rng)];
  return s;
}

// PELMORA_FUZZ_ITERATIONS overrides the count for a longer run.
int Iterations() {
  if (const char* n = std::getenv("PELMORA_FUZZ_ITERATIONS")) return std::atoi(n);
#if defined(__SANITIZE_ADDRESS__)
  return 30000;
#else
  return 100000;
#endif
}

}  // namespace

TEST(Fuzz, EvaluatorNeverFailsUnsafely) {
  std::mt19937 rng(12345);
  TFormulaParser parser;
  for (int i = 0; i < Iterations(); ++i) {
    std::string text = RandomText(rng, 60);
    long double v = parser.Evaluate(text);
    ASSERT_TRUE(std::isfinite(v)) << text;
    if (parser.ErrorCode() != 0) {
      ASSERT_EQ(v, 0) << text;
    }
    ASSERT_FALSE(parser.ErrorMessage().empty()) << text;
    TMyValues grid;
    grid.AddValue("t", "20", "", "");
    grid.AddValue("p", "100", "", "");
    try {
      long double w = EvaluateWithValues(parser, text, &grid);
      ASSERT_TRUE(std::isfinite(w)) << text;
    } catch (const RangeCheckError&) {
    }
  }
}

TEST(Fuzz, TablesAndSplittingNeverFailUnsafely) {
  std::mt19937 rng(777);
  for (int i = 0; i < Iterations(); ++i) {
    std::string text = i % 2 ? RandomTableText(rng) : RandomText(rng, 80);
    try {
      double v = TableValue(text, 20);
      ASSERT_TRUE(std::isfinite(v)) << text;
    } catch (const std::runtime_error&) {
    }
    PointTable table;
    try {
      int n = ParseTable(table, text);
      ASSERT_TRUE(std::isfinite(InterpolateTable(n + 3, table, 1, 50)));
    } catch (const std::runtime_error&) {
    }
    std::vector<std::string> list;
    int count = SplitText(text, ',', list, 99);
    ASSERT_LE(count, 99);
    ModelParams mp{};
    try {
      SplitNumbers(text, ',', mp);
    } catch (const std::runtime_error&) {
    }
  }
}

TEST(Fuzz, PropertyTextsNeverFailUnsafely) {
  std::mt19937 rng(4242);
  const char* names[] = {"Cp", "MD", "VI", "TC", "ST", "HV", "Pc"};
  for (int i = 0; i < Iterations() / 4; ++i) {
    PropRecord r;
    r.CN = (i % 2) ? "液体" : "气体";
    std::string text = RandomText(rng, 120);
    if (i % 3 == 0) text = std::string(i % 2 ? "PRV:" : "VRV:") + "4600,190.6,99,0.286,0.011,16.04";
    if (i % 3 == 1) text += " PARAMS:4600,190.6,99,0.286,0.011,16.04";
    const char* name = names[static_cast<size_t>(i) % std::size(names)];
    *r.Field(name) = text;
    TMyValues grid;
    grid.AddValue("t", std::to_string(static_cast<int>(rng() % 400) - 100), "", "");
    grid.AddValue("p", std::to_string(static_cast<int>(rng() % 20000)), "", "");
    try {
      PropertyOutcome o = EvaluateProperty(name, r, grid);
      ASSERT_TRUE(std::isfinite(o.value)) << text;
    } catch (const std::runtime_error&) {
    }
  }
}

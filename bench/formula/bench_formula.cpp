// Parse-and-evaluate-once cost of the formula evaluator against muParser, on the
// formulas of the shipped property library as the property dialog evaluates them
// (prepared, variables bound to t = 20 and p = 100, then evaluated from text).
#include <benchmark/benchmark.h>
#include <muParser.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "props/FormulaParser.h"
#include "props/MyValues.h"
#include "props/PropLib.h"
#include "props/PropNumbers.h"
#include "props/PropTables.h"
#include "props/SimpProps.h"

using namespace pelmora;

namespace {

TMyValues Grid() {
  TMyValues g;
  g.AddValue("t", "20", "C", "");
  g.AddValue("p", "100", "kPa(A)", "");
  return g;
}

// The formula texts of the library, as they reach the evaluator.
const std::vector<std::string>& Formulas() {
  static const std::vector<std::string> formulas = [] {
    std::vector<std::string> out;
    PropLibrary lib;
    std::string message;
    if (!lib.Load(std::string(PELMORA_PROGRAM_DIR) + "/PropLib.cds", &message)) {
      std::fprintf(stderr, "%s\n", message.c_str());
      std::exit(1);
    }
    for (const auto& r : lib.Records()) {
      for (const char* name : {"Cp", "MD", "VI", "TC", "ST", "HV"}) {
        const auto& field = *r.Field(name);
        if (!field) continue;
        std::string s = CleanPropertyText(TrimBlanks(*field));
        ModelParams mp{};
        std::vector<std::string> params(100);
        size_t at = s.find("PARAMS:");
        if (at != std::string::npos) {
          std::string list = TrimBlanks(s.substr(at + 7));
          s = TrimBlanks(s.substr(0, at));
          SplitText(list, ',', params, 99);
          SplitNumbers(list + ",100,20", ',', mp);
        }
        size_t colon = s.find(':');
        if (s.empty() || (colon != std::string::npos && colon < 9) || s.find(',') != std::string::npos ||
            TryStrToFloat(s))
          continue;
        std::string text = PrepareFormula(s, params, mp, 0);
        TMyValues g = Grid();
        auto occ = CollectVariables(text, g);
        out.push_back(SubstituteVariables(text, occ, g));
      }
    }
    // Both evaluators must agree before they are timed.
    for (const auto& f : out) {
      TFormulaParser ours;
      double a = static_cast<double>(ours.Evaluate(f));
      mu::Parser theirs;
      theirs.SetExpr(f);
      double b = theirs.Eval();
      if (ours.ErrorCode() != 0 || std::fabs(a - b) > 1e-9 * std::fabs(b)) {
        std::fprintf(stderr, "disagreement on %s: %.17g (code %d) vs %.17g\n", f.c_str(), a, ours.ErrorCode(), b);
        std::exit(1);
      }
    }
    return out;
  }();
  return formulas;
}

// A new parser for every formula, as the property evaluation does.
void BM_Pelmora_NewParser(benchmark::State& state) {
  const auto& fs = Formulas();
  for (auto _ : state)
    for (const auto& f : fs) {
      TFormulaParser p;
      benchmark::DoNotOptimize(p.Evaluate(f));
    }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(fs.size()));
}

void BM_MuParser_NewParser(benchmark::State& state) {
  const auto& fs = Formulas();
  for (auto _ : state)
    for (const auto& f : fs) {
      mu::Parser p;
      p.SetExpr(f);
      benchmark::DoNotOptimize(p.Eval());
    }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(fs.size()));
}

// One parser, each formula parsed from text and evaluated once.
void BM_Pelmora_ReusedParser(benchmark::State& state) {
  const auto& fs = Formulas();
  TFormulaParser p;
  for (auto _ : state)
    for (const auto& f : fs) benchmark::DoNotOptimize(p.Evaluate(f));
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(fs.size()));
}

void BM_MuParser_ReusedParser(benchmark::State& state) {
  const auto& fs = Formulas();
  mu::Parser p;
  for (auto _ : state)
    for (const auto& f : fs) {
      p.SetExpr(f);
      benchmark::DoNotOptimize(p.Eval());
    }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(fs.size()));
}

}  // namespace

BENCHMARK(BM_Pelmora_NewParser);
BENCHMARK(BM_MuParser_NewParser);
BENCHMARK(BM_Pelmora_ReusedParser);
BENCHMARK(BM_MuParser_ReusedParser);
BENCHMARK_MAIN();

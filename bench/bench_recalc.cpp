// A full recalculation of the hot-water-heated storage tank of data/cases: from a
// project whose sizing results are empty (the driver's passes run until area and pass
// count settle) and of the settled project (every result already in place).
#include <benchmark/benchmark.h>

#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "ApplyCase.h"
#include "app/PelmoraApp.h"
#include "fields/NumberFormat.h"

namespace {

using namespace pelmora;
using pelmora::bench::ApplyCase;

// The sizing results the driver and GetFx write (the solved balance quantities stay).
std::vector<EditD*> SizingResults(TFormPelmora& f) {
  return {f.AtD, f.ArD,  f.TTaD, f.KTaD, f.LtD, f.LrD, f.mD,  f.DpiD, f.koD, f.kiD,
          f.KeD, f.TwaD, f.KcD,  f.WcD,  f.UiD, f.pHD, f.QLD, f.CdtD, f.DpoD};
}

void EmptyResults(const std::vector<EditD*>& fields) {
  for (EditD* e : fields) {
    e->SetText("");
    e->SetColor(colors::BtnFace);
  }
}

void BM_RecalcFromEmptyResults(benchmark::State& state) {
  ScriptedPort port;
  PelmoraApp app(&port, "/tmp/");
  ApplyCase(app, "storage_tank");
  auto results = SizingResults(app.form);
  for (auto _ : state) {
    state.PauseTiming();
    EmptyResults(results);
    state.ResumeTiming();
    bool ok = app.Run([&] { app.calc.MaoDExit(nullptr); });
    benchmark::DoNotOptimize(ok);
  }
  if (app.form.AtD->Text().empty()) state.SkipWithError("no area computed");
}
BENCHMARK(BM_RecalcFromEmptyResults)->Unit(benchmark::kMicrosecond);

void BM_RecalcSettled(benchmark::State& state) {
  ScriptedPort port;
  PelmoraApp app(&port, "/tmp/");
  ApplyCase(app, "storage_tank");
  const std::string area = app.form.AtD->Text();
  for (auto _ : state) {
    bool ok = app.Run([&] { app.calc.MaoDExit(nullptr); });
    benchmark::DoNotOptimize(ok);
  }
  if (app.form.AtD->Text() != area || area.empty()) state.SkipWithError("the design did not stay settled");
}
BENCHMARK(BM_RecalcSettled)->Unit(benchmark::kMicrosecond);

// What a completed run adds to remember that its results are current: a fingerprint of
// every input (texts, units, selections). Compare with BM_RecalcSettled.
void BM_InputsFingerprint(benchmark::State& state) {
  ScriptedPort port;
  PelmoraApp app(&port, "/tmp/");
  ApplyCase(app, "storage_tank");
  for (auto _ : state) benchmark::DoNotOptimize(app.results.Inputs());
}
BENCHMARK(BM_InputsFingerprint)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

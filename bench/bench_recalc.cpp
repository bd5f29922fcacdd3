// A full recalculation of the hot-water-heated storage tank of data/cases: from a
// project whose sizing results are empty (the driver's passes run until area and pass
// count settle) and of the settled project (every result already in place); a field
// typed and left with and without the undo history, and an undo with its redo.
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

// The same with the water of both sides known from the property library: every run adds
// the range, boiling-point, wall-temperature and property-temperature checks (the
// boiling point is solved from the vapour pressure each time). Compare with
// BM_RecalcSettled.
void BM_RecalcSettledWithSubstances(benchmark::State& state) {
  ScriptedPort port;
  PelmoraApp app(&port, PELMORA_PROGRAM_DIR "/");
  ApplyCase(app, "storage_tank");
  app.form.Substances.Set(FluidSide::Vessel, SideSubstance{"0001", "水(液)", 40, 100});
  app.form.Substances.Set(FluidSide::Tube, SideSubstance{"0001", "水(液)", 80, 100});
  app.simp.EnsureLoaded();
  const std::string area = app.form.AtD->Text();
  for (auto _ : state) {
    bool ok = app.Run([&] { app.calc.MaoDExit(nullptr); });
    benchmark::DoNotOptimize(ok);
  }
  if (app.simp.Library().Find("0001") < 0) state.SkipWithError("no property library");
  if (app.form.AtD->Text() != area || area.empty()) state.SkipWithError("the design did not stay settled");
}
BENCHMARK(BM_RecalcSettledWithSubstances)->Unit(benchmark::kMicrosecond);

// What a completed run adds to remember that its results are current: a fingerprint of
// every input (texts, units, selections). Compare with BM_RecalcSettled.
void BM_InputsFingerprint(benchmark::State& state) {
  ScriptedPort port;
  PelmoraApp app(&port, "/tmp/");
  ApplyCase(app, "storage_tank");
  for (auto _ : state) benchmark::DoNotOptimize(app.results.Inputs());
}
BENCHMARK(BM_InputsFingerprint)->Unit(benchmark::kMicrosecond);

// A field typed and left as the window runs it: the keystroke, then the exit with its
// recalculation, each through the dispatch point; with the undo history taking the step
// (a capture of the window after each action) and with the history switched off.
void TypedAndLeft(benchmark::State& state, bool history) {
  ScriptedPort port;
  PelmoraApp app(&port, "/tmp/");
  ApplyCase(app, "storage_tank");
  app.undo.SetEnabled(history);
  TFormPelmora& f = app.form;
  const std::string values[2] = {"7200", "7300"};
  int i = 0;
  for (auto _ : state) {
    app.Run([&] {
      f.FocusChangedByView(f.TaoD);
      f.TaoD->SetText(values[i ^= 1]);
    });
    app.Run([&] { f.TaoD->Exit(); });
  }
  if (history && !app.undo.CanUndo()) state.SkipWithError("no step taken");
}
BENCHMARK_CAPTURE(TypedAndLeft, with_undo, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(TypedAndLeft, without_undo, false)->Unit(benchmark::kMicrosecond);

// Undo and redo of that step: the window put back twice.
void BM_UndoRedo(benchmark::State& state) {
  ScriptedPort port;
  PelmoraApp app(&port, "/tmp/");
  ApplyCase(app, "storage_tank");
  TFormPelmora& f = app.form;
  app.Run([&] {
    f.FocusChangedByView(f.TaoD);
    f.TaoD->SetText("7300");
  });
  app.Run([&] { f.TaoD->Exit(); });
  for (auto _ : state) {
    app.Run([&] { app.undo.Undo(); });
    app.Run([&] { app.undo.Redo(); });
  }
  if (f.TaoD->Text() != "7300") state.SkipWithError("the step was not redone");
}
BENCHMARK(BM_UndoRedo)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

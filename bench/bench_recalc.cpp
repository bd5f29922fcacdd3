// A full recalculation of the hot-water-heated storage tank of data/cases: from a
// project whose sizing results are empty (the driver's passes run until area and pass
// count settle) and of the settled project (every result already in place); a field
// typed and left with and without the undo history, and an undo with its redo. The settled
// recalculation runs with and without the method check (the independent estimates that
// follow a completed run) on each shipped case; the program ends with the ratios.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <set>
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

const char* const kCases[] = {"storage_tank", "steam_tank", "agitated_tank", "bath", "two_stream"};

// A settled recalculation of case `range(0)`, with the method check (range(1) = 1) or
// without it.
void BM_SettledCrossCheck(benchmark::State& state) {
  ScriptedPort port;
  PelmoraApp app(&port, "/tmp/");
  ApplyCase(app, kCases[state.range(0)]);
  app.calc.crossChecking = state.range(1) != 0;
  app.Run([&] { app.calc.MaoDExit(nullptr); });
  const std::string area = app.form.AtD->Text();
  for (auto _ : state) {
    bool ok = app.Run([&] { app.calc.MaoDExit(nullptr); });
    benchmark::DoNotOptimize(ok);
  }
  if (app.form.AtD->Text() != area || area.empty()) state.SkipWithError("the design did not stay settled");
  if (app.calc.crossChecking && app.calc.crossCheck.rows.empty()) state.SkipWithError("no method check");
  state.SetLabel(kCases[state.range(0)]);
}
BENCHMARK(BM_SettledCrossCheck)->ArgsProduct({{0, 1, 2, 3, 4}, {0, 1}})->Unit(benchmark::kMicrosecond);

// A recalculation after an input changed (the target or bath temperature alternates
// between two values), with or without the method check, which then is computed anew.
void BM_ChangedCrossCheck(benchmark::State& state) {
  ScriptedPort port;
  PelmoraApp app(&port, "/tmp/");
  const int c = static_cast<int>(state.range(0));
  ApplyCase(app, kCases[c]);
  app.calc.crossChecking = state.range(1) != 0;
  EditD* input = c == 3 ? app.form.FixTempD : app.form.Tom2D;
  const std::string a = input->Text(), b = Format7(input->GetValue() - 0.5);
  bool flip = false;
  for (auto _ : state) {
    input->SetText((flip = !flip) ? b : a);
    bool ok = app.Run([&] { app.calc.MaoDExit(nullptr); });
    benchmark::DoNotOptimize(ok);
  }
  if (app.form.AtD->Text().empty()) state.SkipWithError("no area");
  if (app.calc.crossChecking && app.calc.crossCheck.rows.empty()) state.SkipWithError("no method check");
  state.SetLabel(kCases[c]);
}
BENCHMARK(BM_ChangedCrossCheck)->ArgsProduct({{0, 1, 2, 3, 4}, {0, 1}})->Unit(benchmark::kMicrosecond);

// The method check alone on the settled design of each case.
void BM_CrossCheckAlone(benchmark::State& state) {
  ScriptedPort port;
  PelmoraApp app(&port, "/tmp/");
  ApplyCase(app, kCases[state.range(0)]);
  for (auto _ : state) benchmark::DoNotOptimize(RunCrossCheck(app.form));
  state.SetLabel(kCases[state.range(0)]);
}
BENCHMARK(BM_CrossCheckAlone)->DenseRange(0, 4)->Unit(benchmark::kMicrosecond);

// What a settled run pays for the method check: its fingerprint and the warnings.
void BM_CrossCheckFingerprint(benchmark::State& state) {
  ScriptedPort port;
  PelmoraApp app(&port, "/tmp/");
  ApplyCase(app, "two_stream");
  for (auto _ : state) benchmark::DoNotOptimize(CrossCheckInputs(app.form));
}
BENCHMARK(BM_CrossCheckFingerprint)->Unit(benchmark::kMicrosecond);

// Keeps the CPU time per iteration of every run for the closing ratios (the machine is
// shared: the wall clock counts other processes' time too). Run with
// --benchmark_repetitions=9 --benchmark_enable_random_interleaving=true for ratios that
// drift less with the load.
class Keeper : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> cpuNs;
  std::set<std::string> medians_;
  void ReportRuns(const std::vector<Run>& runs) override {
    // The median of repeated runs where there is one (--benchmark_repetitions=N), else
    // the single run.
    for (const Run& r : runs) {
      if (r.run_type == Run::RT_Iteration && r.iterations > 0 && !medians_.count(r.run_name.str()))
        cpuNs[r.run_name.str()] = r.cpu_accumulated_time * 1e9 / static_cast<double>(r.iterations);
      if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median") {
        medians_.insert(r.run_name.str());
        cpuNs[r.run_name.str()] = r.GetAdjustedCPUTime() * 1e3;  // the runs are timed in microseconds
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  Keeper keeper;
  benchmark::RunSpecifiedBenchmarks(&keeper);
  for (const char* kind : {"Settled", "Changed"})
    for (int c = 0; c < 5; ++c) {
      const std::string stem = std::string("BM_") + kind + "CrossCheck/" + std::to_string(c) + "/";
      const auto with = keeper.cpuNs.find(stem + "1"), without = keeper.cpuNs.find(stem + "0");
      if (with != keeper.cpuNs.end() && without != keeper.cpuNs.end() && without->second > 0)
        std::printf("%s recalculation with / without the method check, %s: %.3f (CPU time)\n",
                    kind[0] == 'S' ? "settled" : "changed-input", kCases[c], with->second / without->second);
    }
  return 0;
}

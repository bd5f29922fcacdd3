// The whole batch-heating curve of data/cases/batch_curve (ten intervals, each settled
// by repeated recalculations) as the tool button computes it, and the drawing of the
// stored curve on an SVG surface as a repaint does.
#include <benchmark/benchmark.h>

#include <fstream>
#include <stdexcept>
#include <string>

#include "ApplyCase.h"
#include "app/PelmoraApp.h"
#include "chart/SvgCanvas.h"
#include "fields/NumberFormat.h"

namespace {

using namespace pelmora;
using pelmora::bench::ApplyCase;

void BM_CurveComputation(benchmark::State& state) {
  ScriptedPort port;
  PelmoraApp app(&port, "/tmp/");
  ApplyCase(app, "batch_curve");
  for (auto _ : state) {
    state.PauseTiming();
    // The design as the user left it: settled results, no stored curve.
    app.Run([&] { app.calc.MaoDExit(nullptr); });
    app.curve.Discard();
    state.ResumeTiming();
    const bool ok = app.Run([&] { app.form.SBTCurve->Click(); });
    benchmark::DoNotOptimize(ok);
  }
  if (app.curve.data.Intervals() != 10 || !port.Messages().empty()) state.SkipWithError("no curve computed");
}
BENCHMARK(BM_CurveComputation)->Unit(benchmark::kMillisecond);

void BM_CurveDrawing(benchmark::State& state) {
  ScriptedPort port;
  PelmoraApp app(&port, "/tmp/");
  ApplyCase(app, "batch_curve");
  app.Run([&] { app.form.SBTCurve->Click(); });
  if (app.curve.data.Intervals() != 10) state.SkipWithError("no curve computed");
  for (auto _ : state) {
    chart::SvgCanvas canvas(800, 520);
    app.curve.Draw(canvas);
    benchmark::DoNotOptimize(canvas.Body().size());
  }
}
BENCHMARK(BM_CurveDrawing)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

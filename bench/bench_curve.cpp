// The whole batch-heating curve of data/cases/batch_curve (ten intervals, each settled
// by repeated recalculations) as the tool button computes it, and the drawing of the
// stored curve on an SVG surface as a repaint does.
#include <benchmark/benchmark.h>

#include <fstream>
#include <stdexcept>
#include <string>

#include "app/PelmoraApp.h"
#include "chart/SvgCanvas.h"
#include "fields/NumberFormat.h"

namespace {

using namespace pelmora;

// Applies data/cases/<name>.args option by option, as pelmora-calc does.
void ApplyCase(PelmoraApp& app, const std::string& name) {
  std::ifstream in(std::string(PELMORA_SOURCE_DIR) + "/data/cases/" + name + ".args");
  if (!in) throw std::runtime_error("no case " + name);
  TFormPelmora& f = app.form;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    const size_t sp = line.find(' ');
    const std::string opt = line.substr(0, sp);
    const std::string v = sp == std::string::npos ? "" : line.substr(sp + 1);
    const size_t eq = v.find('=');
    const std::string field = v.substr(0, eq);
    if (opt == "--set") {
      f.FindAs<Edit>(field)->SetText(v.substr(eq + 1));
    } else if (opt == "--select") {
      const int i = static_cast<int>(StrToInt(v.substr(eq + 1)));
      if (auto* r = f.FindAs<RadioGroup>(field)) app.Run([&] { r->SetItemIndex(i); });
      else app.Run([&] { f.FindAs<ComboBox>(field)->UserSelect(i); });
    } else if (opt == "--exit") {
      app.Run([&] { f.FindAs<Edit>(field)->Exit(); });
    } else if (opt == "--recalc") {
      app.Run([&] { app.calc.MaoDExit(nullptr); });
    }
  }
}

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

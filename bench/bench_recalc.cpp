// A full recalculation of the hot-water-heated storage tank of data/cases: from a
// project whose sizing results are empty (the driver's passes run until area and pass
// count settle) and of the settled project (every result already in place).
#include <benchmark/benchmark.h>

#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/PelmoraApp.h"
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
    size_t sp = line.find(' ');
    std::string opt = line.substr(0, sp);
    std::string v = sp == std::string::npos ? "" : line.substr(sp + 1);
    size_t eq = v.find('=');
    std::string field = v.substr(0, eq);
    if (opt == "--set") {
      f.FindAs<Edit>(field)->SetText(v.substr(eq + 1));
    } else if (opt == "--select") {
      int i = static_cast<int>(StrToInt(v.substr(eq + 1)));
      if (auto* r = f.FindAs<RadioGroup>(field)) app.Run([&] { r->SetItemIndex(i); });
      else app.Run([&] { f.FindAs<ComboBox>(field)->UserSelect(i); });
    } else if (opt == "--exit") {
      app.Run([&] { f.FindAs<Edit>(field)->Exit(); });
    } else if (opt == "--recalc") {
      app.Run([&] { app.calc.MaoDExit(nullptr); });
    }
  }
  app.Run([&] { app.calc.MaoDExit(nullptr); });
}

// The sizing results the driver and GetFx write (the solved balance quantities stay).
std::vector<EditD*> SizingResults(TFormPelmora& f) {
  return {f.AtD, f.ArD, f.TTaD, f.KTaD, f.LtD, f.LrD, f.mD,  f.DpiD, f.koD, f.kiD,
          f.KeD, f.TwaD, f.KcD, f.WcD,  f.UiD, f.pHD, f.QLD, f.CdtD, f.DpoD};
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

}  // namespace

BENCHMARK_MAIN();

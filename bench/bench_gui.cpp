// The desktop window's two response times, on the offscreen platform:
// - start-up: the application object, the calculation window built, shown and painted;
// - a field left: the recalculation its exit handler runs and the repaint of the whole
//   window that shows the new results (one frame is 16 ms).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <fstream>
#include <memory>
#include "gui/Icons.h"

#include "app/PelmoraApp.h"
#include "gui/MainWindow.h"
#include "gui/Widgets.h"

namespace {

using namespace pelmora;

void LoadCase(TFormPelmora& f, const std::string& name) {
  std::ifstream in(std::string(PELMORA_SOURCE_DIR) + "/data/cases/" + name + ".args");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("--set ", 0) != 0) continue;
    std::string v = line.substr(6);
    size_t eq = v.find('=');
    if (auto* e = f.FindAs<Edit>(v.substr(0, eq))) e->SetText(v.substr(eq + 1));
  }
}

void BM_StartupWindowShownAndPainted(benchmark::State& state) {
  for (auto _ : state) {
    ScriptedPort port;
    auto app = std::make_unique<PelmoraApp>(&port, "/tmp/");
    auto win = std::make_unique<gui::MainWindow>(*app, nullptr);
    win->show();
    QApplication::processEvents();
    win->repaint();
    benchmark::DoNotOptimize(win.get());
    state.PauseTiming();
    win.reset();
    app.reset();
    QApplication::processEvents();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_StartupWindowShownAndPainted)->Unit(benchmark::kMillisecond)->Iterations(10);

struct Designed {
  ScriptedPort port;
  PelmoraApp app{&port, "/tmp/"};
  gui::MainWindow win{app, nullptr};
  Designed() {
    LoadCase(app.form, "storage_tank");
    app.Run([this] { app.form.MaoD->Exit(); });
    win.show();
    QApplication::processEvents();
  }
  // Types a new target temperature and leaves the field, as Enter does.
  void Leave(int i) {
    auto& f = app.form;
    f.FocusChangedByView(f.Tom2D);
    app.Run([&] { f.Tom2D->SetText(i % 2 ? "61" : "60"); });
    app.Run([&] { f.Tom2D->Exit(); });
  }
};

void BM_FieldExitRecalculates(benchmark::State& state) {
  Designed d;
  int i = 0;
  for (auto _ : state) d.Leave(i++);
}
BENCHMARK(BM_FieldExitRecalculates)->Unit(benchmark::kMillisecond);

void BM_FieldExitRecalculatesAndRepaintsTheWindow(benchmark::State& state) {
  Designed d;
  int i = 0;
  for (auto _ : state) {
    d.Leave(i++);
    d.win.repaint();  // synchronous paint of every widget of the window
  }
}
BENCHMARK(BM_FieldExitRecalculatesAndRepaintsTheWindow)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QApplication qapp(argc, argv);
  if (QStyle* style = pelmora::gui::MakeWindowStyle()) QApplication::setStyle(style);
  pelmora::gui::InstallFonts();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

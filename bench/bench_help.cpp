// Help in one run: F1 to the first page of the manual drawn in a new viewer, against the
// outline model that the viewer attaches only after the page is shown, and against
// drawing one page. Read the ratios; the absolute times depend on the machine.
//   build/bench/bench_help
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPdfBookmarkModel>
#include <QPdfDocument>

#include "gui/extras/HelpViewer.h"

namespace {

const std::string kManual = PELMORA_PROGRAM_DIR "/Manual.pdf";

// A help request in a viewer made for it: window, loading, jump, the page drawn.
void BM_FirstHelpRequestToPageDrawn(benchmark::State& state) {
  for (auto _ : state) {
    pelmora::gui::HelpViewer viewer;
    pelmora::HelpShown shown = viewer.Open({kManual, "佩莫拉帮助", {"加热时间 ", "加热时间", "目录"}});
    QImage page = viewer.Document()->render(viewer.CurrentPage(), QSize(794, 1123));
    benchmark::DoNotOptimize(page.constBits());
    if (!shown.opened) state.SkipWithError("the manual did not open");
  }
}
BENCHMARK(BM_FirstHelpRequestToPageDrawn)->Unit(benchmark::kMillisecond)->Iterations(5);

// A later request: the manual is loaded, only the jump remains.
void BM_LaterHelpRequest(benchmark::State& state) {
  pelmora::gui::HelpViewer viewer;
  viewer.Open({kManual, "佩莫拉帮助", {"目录"}});
  for (auto _ : state) benchmark::DoNotOptimize(viewer.Open({kManual, "佩莫拉帮助", {"螺距 ", "螺距", "目录"}}).page);
}
BENCHMARK(BM_LaterHelpRequest)->Unit(benchmark::kMillisecond);

// QtPdf's outline model given the loaded document (every entry and its page).
void BM_OutlineModel(benchmark::State& state) {
  QPdfDocument doc;
  doc.load(QString::fromStdString(kManual));
  for (auto _ : state) {
    QPdfBookmarkModel model;
    model.setDocument(&doc);
    benchmark::DoNotOptimize(model.rowCount({}));
  }
}
BENCHMARK(BM_OutlineModel)->Unit(benchmark::kMillisecond)->Iterations(5);

// One page drawn at 100 % on a 96 dpi screen.
void BM_DrawOnePage(benchmark::State& state) {
  QPdfDocument doc;
  doc.load(QString::fromStdString(kManual));
  for (auto _ : state) benchmark::DoNotOptimize(doc.render(12, QSize(794, 1123)).constBits());
}
BENCHMARK(BM_DrawOnePage)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QApplication qapp(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

// The parameter study against a plain recalculation, on the hot-water storage tank of
// data/cases: a settled recalculation, one changed input set and recalculated by hand,
// one study point on one core (reset of the copy, assignment, recalculation), and whole
// studies of 256 points on one thread and on every core (each worker makes its own
// copy). The program ends with the ratios: study point / settled recalculation, study
// point / set-and-recalculate by hand, and the multi-core speed-up.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "ApplyCase.h"
#include "RunTimes.h"
#include "app/PelmoraApp.h"
#include "study/Study.h"
#include "study/StudyDefaults.h"

namespace {

using namespace pelmora;
using pelmora::bench::ApplyCase;

const std::vector<std::string>& kOutputs = DefaultStudyOutputs();
const std::vector<std::string> kTimes = {"10800", "12600", "14400", "16200", "18000"};

struct Project {
  ScriptedPort port;
  PelmoraApp app{&port, "/tmp/"};
  Project() { ApplyCase(app, "storage_tank"); }
};

void BM_RecalcSettled(benchmark::State& state) {
  Project p;
  for (auto _ : state) benchmark::DoNotOptimize(p.app.Run([&] { p.app.calc.MaoDExit(nullptr); }));
}
BENCHMARK(BM_RecalcSettled)->Unit(benchmark::kMicrosecond);

void BM_SetAndRecalcByHand(benchmark::State& state) {
  Project p;
  size_t i = 0;
  for (auto _ : state) {
    const std::string& t = kTimes[i++ % kTimes.size()];
    p.app.Run([&] { p.app.form.TaoD->SetText(t); });
    benchmark::DoNotOptimize(p.app.Run([&] { p.app.calc.MaoDExit(nullptr); }));
  }
}
BENCHMARK(BM_SetAndRecalcByHand)->Unit(benchmark::kMicrosecond);

void BM_StudyPointOneCore(benchmark::State& state) {
  Project p;
  StudyCopy copy(p.app);
  size_t i = 0;
  for (auto _ : state) {
    StudyRow row = copy.Point({{"TaoD", kTimes[i++ % kTimes.size()]}}, kOutputs);
    if (!row.ok) state.SkipWithError(row.message.c_str());
    benchmark::DoNotOptimize(row);
  }
}
BENCHMARK(BM_StudyPointOneCore)->Unit(benchmark::kMicrosecond);

void BM_MakeCopy(benchmark::State& state) {
  Project p;
  const StudyCopy::Source source(p.app);
  for (auto _ : state) {
    StudyCopy copy(source);
    benchmark::DoNotOptimize(copy);
  }
}
BENCHMARK(BM_MakeCopy)->Unit(benchmark::kMicrosecond);

void BM_Study256Points(benchmark::State& state) {
  Project p;
  StudyRequest r;
  r.inputs = {{"TaoD", 7200, 21600, 256, false}};
  r.outputs = kOutputs;
  r.threads = static_cast<int>(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(RunStudy(p.app, r));
  state.SetItemsProcessed(state.iterations() * 256);
}
BENCHMARK(BM_Study256Points)->Apply(pelmora::bench::OneThreadAndEveryCore);

}  // namespace

int main(int argc, char** argv) {
  pelmora::bench::RunTimes times;
  pelmora::bench::RunAndKeep(argc, argv, times);
  auto get = [&times](const std::string& prefix) { return times.Ns(prefix); };
  const double settled = get("BM_RecalcSettled"), byHand = get("BM_SetAndRecalcByHand"),
               point = get("BM_StudyPointOneCore"), one = get("BM_Study256Points/1/");
  const unsigned cores = pelmora::bench::Cores();
  const double all = get("BM_Study256Points/" + std::to_string(cores) + "/");
  if (settled > 0 && point > 0 && byHand > 0)
    std::printf(
        "study point / settled recalculation: %.2f; by hand (set + recalculate) / settled: %.2f; "
        "study point / by hand: %.2f\n",
        point / settled, byHand / settled, point / byHand);
  if (one > 0 && all > 0) std::printf("speed-up of 256 points on %u cores: %.2f\n", cores, one / all);
  return 0;
}

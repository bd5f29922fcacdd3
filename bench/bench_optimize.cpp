// The design optimizer on the hot-water storage tank of data/cases: the default search
// (the project's tube series x 1 to 12 tubes x the pitch list; each point a reset of a
// copy, the design typed in, a recalculation and its checks judged) on one thread and
// on every core. The program ends with points per second on one core and on
// all, the speed-up, and the time of the default search on all cores.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "ApplyCase.h"
#include "RunTimes.h"
#include "app/PelmoraApp.h"
#include "study/Optimizer.h"
#include "study/Study.h"

namespace {

using namespace pelmora;
using pelmora::bench::ApplyCase;

struct Project {
  ScriptedPort port;
  PelmoraApp app{&port, std::string(PELMORA_PROGRAM_DIR) + "/"};
  Project() {
    ApplyCase(app, "storage_tank");
    app.select.OpenCatalogue();
  }
  OptimizerRequest Default(int threads) const {
    OptimizerRequest r;
    r.variables = DefaultOptimizerVariables(app.form, app.select.catalogue);
    r.threads = threads;
    return r;
  }
};

size_t GridOf(const Project& p) { return OptimizerGridSize(p.Default(1)); }

void BM_DefaultSearch(benchmark::State& state) {
  Project p;
  const OptimizerRequest r = p.Default(static_cast<int>(state.range(0)));
  const auto n = static_cast<int64_t>(OptimizerGridSize(r));
  for (auto _ : state) {
    OptimizerResult res = RunOptimizer(p.app, r);
    if (res.ranking.empty()) state.SkipWithError("no feasible design");
    benchmark::DoNotOptimize(res);
  }
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_DefaultSearch)->Apply(pelmora::bench::OneThreadAndEveryCore);

}  // namespace

int main(int argc, char** argv) {
  pelmora::bench::RunTimes times;
  pelmora::bench::RunAndKeep(argc, argv, times);
  auto get = [&times](const std::string& prefix) { return times.Ns(prefix); };
  const unsigned cores = pelmora::bench::Cores();
  const double one = get("BM_DefaultSearch/1/"), all = get("BM_DefaultSearch/" + std::to_string(cores) + "/");
  const double points = static_cast<double>(GridOf(Project()));
  if (one > 0 && all > 0)
    std::printf(
        "default search: %.0f points; %.0f points/s on one core, %.0f points/s on %u cores (speed-up %.2f); "
        "%.3f s on %u cores\n",
        points, points / one * 1e9, points / all * 1e9, cores, one / all, all / 1e9, cores);
  return 0;
}

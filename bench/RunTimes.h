#pragma once
// The real time per iteration of every benchmark a program runs, kept for the closing
// figures it prints (ratios and speed-ups measured in one run), beside the usual table.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace pelmora::bench {

class RunTimes : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs)
      if (r.run_type == Run::RT_Iteration && r.iterations > 0)
        realNs_[r.benchmark_name()] = r.real_accumulated_time * 1e9 / static_cast<double>(r.iterations);
    ConsoleReporter::ReportRuns(runs);
  }
  // Nanoseconds per iteration of the first run whose name starts with `prefix`; 0 for none.
  double Ns(const std::string& prefix) const {
    for (const auto& [name, ns] : realNs_)
      if (name.rfind(prefix, 0) == 0) return ns;
    return 0.0;
  }

 private:
  std::map<std::string, double> realNs_;
};

// The cores a multi-threaded run uses (at least one).
inline unsigned Cores() { return std::max(1u, std::thread::hardware_concurrency()); }

// A whole-run benchmark on one thread and on every core, in milliseconds of real time:
// BENCHMARK(BM_X)->Apply(OneThreadAndEveryCore).
inline void OneThreadAndEveryCore(benchmark::internal::Benchmark* b) {
  b->Arg(1)->Arg(static_cast<int>(Cores()))->Unit(benchmark::kMillisecond)->UseRealTime();
}

// Runs the benchmarks the command line selects and keeps their times.
inline void RunAndKeep(int& argc, char** argv, RunTimes& times) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks(&times);
}

}  // namespace pelmora::bench

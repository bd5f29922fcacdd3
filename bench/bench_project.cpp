// Opening and saving a shipped example project, as the commands do it (dialog answered,
// mode reactions, title, recent list) and as bare reads and writes of the file.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "app/PelmoraApp.h"
#include "fields/DurableFile.h"
#include "project/SaveFormData.h"

namespace {

using namespace pelmora;

const std::string kExample = std::string(PELMORA_PROGRAM_DIR) + "/examples/storage-tank-hot-water.pmf";

std::string ScratchFile() {
  static const std::string dir = [] {
    std::string t = (std::filesystem::temp_directory_path() / "pelmora-bench-XXXXXX").string();
    return std::string(mkdtemp(t.data()));
  }();
  return dir + "/copy.pmf";
}

void BM_OpenCommand(benchmark::State& state) {
  ScriptedPort port;
  PelmoraApp app(&port, PELMORA_PROGRAM_DIR);
  for (auto _ : state) {
    port.files.push_back(kExample);
    app.Run([&] { app.form.RunHandler("MFOpenClick", nullptr); });
    port.events.clear();
  }
  if (app.form.CurrentProjectFile != kExample || app.form.AtD->Text().empty())
    state.SkipWithError("example not opened");
}
BENCHMARK(BM_OpenCommand)->Unit(benchmark::kMillisecond);

// A file is tried on a window of its own before it touches the user's: what that window
// costs, against BM_OpenCommand.
void BM_RehearsalWindow(benchmark::State& state) {
  for (auto _ : state) {
    ScriptedPort port;
    PelmoraApp scratch(&port, PELMORA_PROGRAM_DIR);
    benchmark::DoNotOptimize(&scratch);
  }
}
BENCHMARK(BM_RehearsalWindow)->Unit(benchmark::kMillisecond);

void BM_SaveCommand(benchmark::State& state) {
  ScriptedPort port;
  PelmoraApp app(&port, PELMORA_PROGRAM_DIR);
  app.project.OpenAtStartup(kExample);
  port.files.push_back(ScratchFile());
  app.Run([&] { app.form.RunHandler("MFAsClick", nullptr); });
  for (auto _ : state) {
    app.form.MaoD->SetText(app.form.MaoD->Text());
    if (!app.Run([&] { app.form.RunHandler("MFSaveClick", nullptr); })) state.SkipWithError("save failed");
  }
}
BENCHMARK(BM_SaveCommand)->Unit(benchmark::kMillisecond);

void BM_LoadFormRecords(benchmark::State& state) {
  ScriptedPort port;
  PelmoraApp app(&port, PELMORA_PROGRAM_DIR);
  for (auto _ : state) benchmark::DoNotOptimize(LoadFormRecords(app.form, kExample));
}
BENCHMARK(BM_LoadFormRecords)->Unit(benchmark::kMillisecond);

void BM_SaveFormRecords(benchmark::State& state) {
  ScriptedPort port;
  PelmoraApp app(&port, PELMORA_PROGRAM_DIR);
  LoadFormRecords(app.form, kExample);
  const std::string out = ScratchFile();
  for (auto _ : state) SaveFormRecords(app.form, out);
}
BENCHMARK(BM_SaveFormRecords)->Unit(benchmark::kMillisecond);

// What the syncs cost: the same project bytes written durably (temporary file, fsync,
// rename, fsync of the folder) and with the rename alone.
std::string ProjectBytes() {
  std::ifstream in(kExample, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void BM_WriteWithSyncs(benchmark::State& state) {
  const std::string bytes = ProjectBytes(), out = ScratchFile();
  for (auto _ : state)
    if (!WriteFileDurably(out, bytes).empty()) state.SkipWithError("write failed");
}
BENCHMARK(BM_WriteWithSyncs)->Unit(benchmark::kMillisecond);

void BM_WriteWithoutSyncs(benchmark::State& state) {
  const std::string bytes = ProjectBytes(), out = ScratchFile(), temp = out + ".tmp";
  for (auto _ : state) {
    {
      std::ofstream f(temp, std::ios::binary | std::ios::trunc);
      f << bytes;
    }
    std::filesystem::rename(temp, out);
  }
}
BENCHMARK(BM_WriteWithoutSyncs)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

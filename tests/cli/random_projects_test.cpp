// Generated projects through pelmora-calc: the shipped examples and templates, or an
// empty window, with random modes, units and values (zero, negative, huge, tiny, empty,
// not a number), recalculated and printed. Whatever the input: the program ends by
// itself within its time bound, no field holds NaN or an infinity, and an option that
// fails says why. The seed is fixed, so a finding repeats; PELMORA_RANDOM_PROJECTS sets
// the count (smaller under the sanitizers, where every start is slow).
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "CliProcess.h"
#include "app/PelmoraApp.h"
#include "fields/Properties.h"
#include "fields/UiPort.h"

namespace pelmora {
namespace {

int CaseCount() {
  if (const char* n = std::getenv("PELMORA_RANDOM_PROJECTS")) return std::max(1, std::atoi(n));
#if defined(__SANITIZE_ADDRESS__)
  return 60;
#else
  return 300;
#endif
}

struct Option {
  std::string option, value;
};

struct Case {
  std::string start;  // a project file opened first, or none
  std::vector<Option> options;
  // The last text the case types into a field (none: not typed).
  std::optional<std::string> Typed(const std::string& name) const {
    std::optional<std::string> t;
    for (const auto& o : options)
      if (o.option == "--set" && o.value.rfind(name + "=", 0) == 0) t = o.value.substr(name.size() + 1);
    return t;
  }
  std::vector<std::string> Args() const {
    std::vector<std::string> a;
    if (!start.empty()) a.push_back(start);
    for (const auto& o : options) {
      a.push_back(o.option);
      if (!o.value.empty() || o.option == "--set") a.push_back(o.value);
    }
    return a;
  }
};

// The components a generated case changes, read from the window itself.
struct Targets {
  std::vector<std::string> values;                                // value fields
  std::vector<std::pair<std::string, int>> units, lists, radios;  // name, item count
  Targets() {
    ScriptedPort port;
    PelmoraApp app(&port, PELMORA_PROGRAM_DIR);
    for (Component* c : app.form.Components()) {
      if (c->Name().empty()) continue;
      if (dynamic_cast<EditD*>(c))
        values.push_back(c->Name());
      else if (auto* u = dynamic_cast<ComboBoxU*>(c))
        units.emplace_back(c->Name(), static_cast<int>(u->Items().size()));
      else if (auto* l = dynamic_cast<ComboBox*>(c))
        lists.emplace_back(c->Name(), static_cast<int>(l->Items().size()));
      else if (auto* r = dynamic_cast<RadioGroup*>(c))
        radios.emplace_back(c->Name(), static_cast<int>(r->Items().size()));
    }
  }
};

std::vector<Case> Generate(int count) {
  static const Targets t;
  const std::string bin = PELMORA_PROGRAM_DIR;
  const std::vector<std::string> starts = {"",
                                           "",
                                           bin + "/examples/storage-tank-hot-water.pmf",
                                           bin + "/examples/storage-tank-steam.pmf",
                                           bin + "/examples/agitated-tank.pmf",
                                           bin + "/examples/constant-temperature-bath.pmf",
                                           bin + "/examples/two-stream-vessel.pmf",
                                           bin + "/templates/storage-tank-hot-water.pmt"};
  const std::vector<std::string> odd = {"0",     "-1",  "-273.15",    "1E300",     "-1E300", "1E-300", "",    "abc",
                                        "1E308", "0.0", "9999999999", "-0.000001", " ",      "1,5",    "NaN", "inf"};
  std::mt19937 rng(20261209);
  auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng); };
  std::vector<Case> cases;
  for (int k = 0; k < count; ++k) {
    Case c;
    c.start = starts[pick(starts.size())];
    for (size_t n = pick(3); n-- > 0;) {
      const auto& [name, items] = pick(2) ? t.radios[pick(t.radios.size())] : t.lists[pick(t.lists.size())];
      if (items > 0) c.options.push_back({"--select", name + "=" + std::to_string(pick(static_cast<size_t>(items)))});
    }
    for (size_t n = pick(4); n-- > 0;) {
      const auto& [name, items] = t.units[pick(t.units.size())];
      if (items > 0) c.options.push_back({"--unit", name + "=" + std::to_string(pick(static_cast<size_t>(items)))});
    }
    for (size_t n = 1 + pick(8); n-- > 0;) {
      std::string v =
          pick(3) ? odd[pick(odd.size())] : std::to_string(std::uniform_real_distribution<double>(-50, 1000)(rng));
      c.options.push_back({"--set", t.values[pick(t.values.size())] + "=" + v});
    }
    c.options.push_back({"--recalc", ""});
    if (pick(8) == 0) c.options.push_back({"--click", "SBTCurve"});
    c.options.push_back({"--json", ""});
    cases.push_back(std::move(c));
  }
  return cases;
}

std::string CommandLine(const Case& c) {
  std::string s = "pelmora-calc";
  for (const auto& a : c.Args()) s += " '" + a + "'";
  return s;
}

TEST(RandomProjects, NoCrashNoHangNoNonFiniteField) {
  // A number token or field text that is not finite: nan, inf (in any case), as a word.
  const std::regex nonFinite(R"((^|[^A-Za-z_])(nan|inf|infinity)([^A-Za-z_]|$))", std::regex::icase);
  int failures = 0;
  for (const Case& c : Generate(CaseCount())) {
    auto r = testing::RunCalc(c.Args(), {}, 30);
    std::string why;
    if (r.timedOut)
      why = "no end within 30 s";
    else if (r.signaled)
      why = "ended by signal " + std::to_string(r.signal);
    // 2: a unit index generated for one mode's list may be beyond another mode's list.
    // 4: the design is infeasible, which the JSON must say.
    else if (r.code < 0 || r.code > 4)
      why = "exit status " + std::to_string(r.code);
    else if (r.code == 4 && r.out.find("\"feasible\": false") == std::string::npos)
      why = "status 4 for a design the JSON calls feasible";
    else if (r.code != 0 && r.code != 4 && r.err.empty())
      why = "failed without a message";
    else if (r.out.size() < 2 || r.out.compare(r.out.size() - 2, 2, "}\n") != 0)
      why = "incomplete --json";
    else {
      // Only the values (captions and hints are fixed texts), and not a text the case
      // typed itself: "inf" typed into a field stays there as typed, refused as a number.
      const std::regex field(R"re(^    "([^"]+)": \{.*"(text|display)": "([^"]*)")re");
      std::istringstream lines(r.out);
      for (std::string line; std::getline(lines, line) && why.empty();) {
        std::smatch m;
        if (!std::regex_search(line, m, field)) continue;
        const std::string name = m[1], v = m[3];
        if (!std::regex_search(v, nonFinite) || c.Typed(name) == v) continue;
        why = name + " shows \"" + v + "\"";
      }
    }
    if (!why.empty()) {
      ADD_FAILURE() << why << "\n" << CommandLine(c) << "\n" << r.err.substr(0, 2000);
      if (++failures >= 5) break;
    }
  }
}

// The same projects run inside the test: every action that ends early (a refused
// value, a calculation fault, a loop that does not settle) leaves a message or a
// status-bar text, and the window never holds a non-finite number.
TEST(RandomProjects, EveryFailedActionSaysWhy) {
  const std::regex nonFinite(R"((^|[^A-Za-z_])(nan|inf|infinity)([^A-Za-z_]|$))", std::regex::icase);
  int failures = 0;
  for (const Case& c : Generate(CaseCount())) {
    ScriptedPort port;
    PelmoraApp app(&port, PELMORA_PROGRAM_DIR);
    std::vector<std::pair<std::string, std::function<void()>>> steps;
    if (!c.start.empty()) steps.emplace_back(c.start, [&app, f = c.start] { app.project.OpenAtStartup(f); });
    for (const Option& o : c.options) {
      if (o.option == "--recalc") {
        steps.emplace_back("--recalc", [&app] { app.calc.MaoDExit(nullptr); });
        continue;
      }
      if (o.option == "--click") {
        steps.emplace_back("--click", [&app] { app.form.RunHandler("SBTCurveClick", app.form.SBTCurve); });
        continue;
      }
      if (o.option == "--json") continue;
      const size_t eq = o.value.find('=');
      Component* comp = app.form.Find(o.value.substr(0, eq));
      ASSERT_NE(comp, nullptr) << o.value;
      for (const Property& p : Describe(comp->GetKind()).properties)
        for (const UserInput& in : p.input)
          if (in.option == o.option) {
            std::string label = o.option + " " + o.value;
            steps.emplace_back(label,
                               [prepare = in.prepare, comp, arg = o.value.substr(eq + 1)] { prepare(*comp, arg)(); });
          }
    }
    std::string why;
    for (const auto& [label, action] : steps) {
      const size_t before = port.events.size();
      if (app.Run(action)) continue;
      const bool said = port.events.size() > before || !app.form.MyStatusBar->PanelText(1).empty();
      if (!said) {
        why = "\"" + label + "\" ended without a message";
        break;
      }
    }
    for (const EditD* e : app.form.ValueFields()) {
      const std::string& t = e->Text();
      if (std::regex_search(t, nonFinite) && c.Typed(e->Name()) != t) why = e->Name() + " shows " + t;
    }
    if (!why.empty()) {
      ADD_FAILURE() << why << "\n" << CommandLine(c);
      if (++failures >= 5) break;
    }
  }
}

// Where a project goes, files that are none: a named pipe (which would block a reader
// for ever), a folder, a file far beyond any project's size, /dev/zero, and files of this
// program cut at record boundaries or in the middle of a record, chosen at random with
// the fixed seed. Each start ends within its bound with status 3, says why, and prints
// the window as a new one is.
TEST(RandomProjects, HostileAndCutFilesAreRefusedInTime) {
  testing::Scratch dir;
  ASSERT_EQ(::mkfifo((dir / "pipe.pmf").c_str(), 0600), 0);
  std::filesystem::create_directories(dir / "folder.pmf");
  {
    std::ofstream huge(dir / "huge.pmf", std::ios::binary);
    huge << "CFR File Format(Compatible Form Record File),by Lirvadesmonte.\r\n";
  }
  std::filesystem::resize_file(dir / "huge.pmf", std::uintmax_t{65} << 20);
  std::vector<std::pair<std::string, std::string>> files = {{dir / "pipe.pmf", "命名管道"},
                                                            {dir / "folder.pmf", "文件夹"},
                                                            {dir / "huge.pmf", "文件太大"},
                                                            {"/dev/zero", "设备"}};
  const std::string bytes = testing::Slurp(std::string(PELMORA_PROGRAM_DIR) + "/examples/agitated-tank.pmf");
  std::vector<size_t> boundaries;  // after the first record, every five lines
  for (size_t i = 0, lines = 0; i < bytes.size(); ++i)
    if (bytes[i] == '\n' && ++lines >= 8 && (lines - 3) % 5 == 0 && i + 1 < bytes.size()) boundaries.push_back(i + 1);
  ASSERT_GT(boundaries.size(), 400u);
  std::mt19937 rng(20261209);
  const int cuts = std::max(6, CaseCount() / 15);
  for (int k = 0; k < cuts; ++k) {
    const size_t at = k % 2 ? boundaries[std::uniform_int_distribution<size_t>(0, boundaries.size() - 1)(rng)]
                            : std::uniform_int_distribution<size_t>(boundaries.front(), bytes.size() - 2)(rng);
    const std::string name = dir / ("cut-" + std::to_string(at) + ".pmf");
    std::ofstream(name, std::ios::binary) << bytes.substr(0, at);
    files.emplace_back(name, "文件不完整，可能在保存时被中断");
  }
  auto fresh = testing::RunCalc({"--json"});
  ASSERT_EQ(fresh.code, 0);
  auto components = [](const std::string& json) { return json.substr(0, json.find("\n  \"status\"")); };
  int failures = 0;
  for (const auto& [file, reason] : files) {
    for (bool first : {true, false}) {
      std::vector<std::string> args = first ? std::vector<std::string>{file, "--recalc", "--json"}
                                            : std::vector<std::string>{"--open", file, "--json"};
      auto r = testing::RunCalc(args, {}, 30);
      std::string why;
      if (r.timedOut)
        why = "no end within 30 s";
      else if (r.signaled)
        why = "ended by signal " + std::to_string(r.signal);
      else if (r.code != 3)
        why = "exit status " + std::to_string(r.code);
      else if (r.err.find(reason) == std::string::npos)
        why = "no reason: " + r.err.substr(0, 500);
      else if (!first && components(r.out) != components(fresh.out))
        why = "the window changed";
      if (!why.empty()) {
        ADD_FAILURE() << file << (first ? " (named first)" : " (--open)") << ": " << why;
        if (++failures >= 5) return;
      }
    }
  }
}

}  // namespace
}  // namespace pelmora

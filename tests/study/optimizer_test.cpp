// The design optimizer, checked against what an engineer gets by hand: on every shipped
// example the best design equals the best of an exhaustive loop that opens the example
// afresh for every combination, types the values and recalculates; the winner applied
// through pelmora-calc passes every check; a search with nothing feasible says why.
#include <gtest/gtest.h>

#include <iterator>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iomanip>
#include <map>
#include <set>
#include <sstream>

#include "../cli/CliInProcess.h"
#include "../common/CliOutput.h"
#include "../common/ScratchFolder.h"
#include "../common/ShippedFiles.h"
#include "project/SaveFormData.h"
#include "study/Optimizer.h"
#include "study/Study.h"

namespace pelmora {
namespace {

using testing::Cli;
using testing::CliResult;
using testing::Example;
using testing::ParseCsv;
using testing::Shown;

const std::vector<std::string> kExamples = {"storage-tank-hot-water", "storage-tank-steam", "agitated-tank",
                                            "constant-temperature-bath", "two-stream-vessel"};
const std::vector<std::string> kSizes = {"25×2.5", "32×3", "38×3", "57×3.5"};
const std::vector<std::string> kCounts = {"1", "2", "3", "4", "5", "6"};
const std::vector<std::string> kPitches = {"1.5", "2.0", "3.0"};

// A length in mm typed into a diameter field in whatever unit it shows.
std::string LengthText(const EditD& e, double mm) {
  std::ostringstream s;
  s << std::setprecision(15) << mm / 1000 / e.Exchange();
  return s.str();
}

// What an engineer gets for one design: the example opened, the tube's diameters and
// the other values typed, the recalculation run, the checks read.
struct ByHand {
  bool accepted = false;  // completed, feasible, and without 警告 unless allowed
  bool feasible = false;
  std::map<std::string, double> si;  // ArD, LrD, DpiD
};

ByHand Compute(const std::string& example, const std::string& size, const std::string& n, const std::string& pitch,
               bool allowWarnings) {
  ScriptedPort port;
  PelmoraApp app(&port, PELMORA_PROGRAM_DIR "/");
  TFormPelmora& f = app.form;
  EXPECT_TRUE(app.Run([&] { app.project.OpenAtStartup(Example(example)); }));
  const size_t times = size.find("×");
  const double outer = std::stod(size.substr(0, times)), wall = std::stod(size.substr(times + 2));
  app.Run([&] {
    f.dioD->SetText(LengthText(*f.dioD, outer));
    f.diiD->SetText(LengthText(*f.diiD, outer - 2 * wall));
    f.nD->SetText(n);
    f.DspD->SetText(pitch);
  });
  ByHand r;
  const bool ok = app.Run([&] { app.calc.MaoDExit(nullptr); });
  if (!ok || app.calc.AnyStale()) return r;
  r.feasible = Feasible(app.calc.checks);
  bool warned = false;
  for (const DesignCheck& c : app.calc.checks) warned = warned || c.level == DesignCheck::Level::Warning;
  for (const char* name : {"ArD", "LrD", "DpiD"}) {
    const auto* e = f.FindAs<EditD>(name);
    if (e->Enabled() && e->Number()) r.si[name] = *e->Number() * e->Exchange();
  }
  r.accepted = r.feasible && (allowWarnings || !warned);
  return r;
}

OptimizerRequest Grid(OptimizerObjective objective = OptimizerObjective::ActualArea) {
  OptimizerRequest r;
  r.variables = {{kTubeVariable, kSizes}, {"nD", kCounts}, {"DspD", kPitches}};
  r.objective = objective;
  return r;
}

struct Opened {
  ScriptedPort port;
  PelmoraApp app{&port, PELMORA_PROGRAM_DIR "/"};
  explicit Opened(const std::string& example) {
    EXPECT_TRUE(app.Run([&] { app.project.OpenAtStartup(Example(example)); }));
    app.select.EnsureCatalogue();
  }
};

// ---------------------------------------------------------------- against the loop

TEST(Optimizer, BestEqualsAnExhaustiveLoopByHandOnEveryExample) {
  for (const std::string& example : kExamples) {
    SCOPED_TRACE(example);
    // Every combination by hand, each on the example opened afresh.
    std::vector<std::pair<std::vector<std::string>, ByHand>> hand;
    for (const std::string& size : kSizes)
      for (const std::string& n : kCounts)
        for (const std::string& s : kPitches) hand.push_back({{size, n, s}, Compute(example, size, n, s, false)});

    Opened project(example);
    const auto before = CollectFormRecords(project.app.form);
    const bool modified = project.app.form.ProjectModified();
    const std::vector<OptimizerObjective> objectives =
        example == "storage-tank-hot-water"
            ? std::vector<OptimizerObjective>{OptimizerObjective::ActualArea, OptimizerObjective::TubeLength,
                                              OptimizerObjective::PressureDrop}
            : std::vector<OptimizerObjective>{OptimizerObjective::ActualArea};
    for (OptimizerObjective objective : objectives) {
      const std::string field = ObjectiveField(objective);
      SCOPED_TRACE(field);
      double best = HUGE_VAL;
      size_t accepted = 0;
      for (const auto& [values, r] : hand)
        if (r.accepted && r.si.count(field)) best = std::min(best, r.si.at(field)), ++accepted;
      const OptimizerResult result = RunOptimizer(project.app, Grid(objective));
      EXPECT_EQ(result.points.size(), hand.size());
      EXPECT_EQ(result.ranking.size(), accepted);
      if (accepted == 0) {
        EXPECT_FALSE(WhyNothingAccepted(result).empty());
        continue;
      }
      ASSERT_FALSE(result.ranking.empty());
      const OptimizerPoint& top = result.points[result.ranking.front()];
      ASSERT_TRUE(top.objective);
      EXPECT_DOUBLE_EQ(*top.objective, best);
      // The winner is one of the designs the loop found best.
      std::set<std::vector<std::string>> tied;
      for (const auto& [values, r] : hand)
        if (r.accepted && r.si.count(field) && r.si.at(field) == best) tied.insert(values);
      EXPECT_TRUE(tied.count(top.values)) << top.values[0] << " " << top.values[1] << " " << top.values[2];
      // Every verdict agrees with the loop.
      for (size_t i = 0; i < hand.size(); ++i)
        EXPECT_EQ(result.points[i].Accepted(), hand[i].second.accepted && hand[i].second.si.count(field))
            << i << ": " << result.points[i].reason;
    }
    // The project itself is as it was.
    EXPECT_EQ(CollectFormRecords(project.app.form), before);
    EXPECT_EQ(project.app.form.ProjectModified(), modified);
  }
}

// ---------------------------------------------------------------- through pelmora-calc

std::string JsonPart(const std::string& out) {
  const size_t at = out.find("{\n  \"components\"");
  return at == std::string::npos ? std::string() : out.substr(at);
}

TEST(Optimizer, TheAppliedWinnerPassesEveryCheckAndIsNoLargerThanTheExample) {
  const std::string grid = "tube=25×2.5|32×3|38×3|57×3.5,nD=1:8,DspD=1.0|1.5|2.0|2.5|3.0|3.5|4.0";
  for (const std::string& example : kExamples) {
    SCOPED_TRACE(example);
    // The method check asks 30 % for the two-stream vessel (a well-mixed vessel at its
    // outlet temperature): with the shipped 20 % every design carries that warning.
    const std::vector<std::string> margin =
        example == "two-stream-vessel" ? std::vector<std::string>{"--set", "sfD=35"} : std::vector<std::string>{};
    auto args = [&](std::vector<std::string> tail) {
      std::vector<std::string> a = {Example(example)};
      a.insert(a.end(), margin.begin(), margin.end());
      a.insert(a.end(), tail.begin(), tail.end());
      return a;
    };
    const CliResult own = Cli(args({"--recalc", "--json"}));
    const double ownArea = std::stod(Shown(JsonPart(own.out), "ArD"));

    // Under the default constraints: nothing of level 不可行 or 警告 after applying.
    CliResult r = Cli(args({"--optimize", grid, "--apply-best", "--json"}));
    ASSERT_EQ(r.code, 0) << r.err << r.out.substr(0, 2000);
    const std::string json = JsonPart(r.out);
    EXPECT_NE(json.find("\"feasible\": true"), std::string::npos);
    EXPECT_EQ(json.find("\"level\": \"不可行\""), std::string::npos);
    EXPECT_EQ(json.find("\"level\": \"警告\""), std::string::npos) << json.substr(json.find("\"checks\""), 600);
    EXPECT_NE(r.out.find("设计优选：实际面积最小"), std::string::npos);

    // Feasible only: the example's own design (in the grid) is a candidate, so the
    // winner's area is no larger than it.
    r = Cli(args({"--optimize", grid, "--allow-warnings", "--apply-best", "--json"}));
    ASSERT_EQ(r.code, 0) << r.err;
    const double area = std::stod(Shown(JsonPart(r.out), "ArD"));
    EXPECT_LE(area, ownArea);
    EXPECT_NE(JsonPart(r.out).find("\"feasible\": true"), std::string::npos);
  }
}

TEST(Optimizer, WithNothingFeasibleItSaysWhichConstraintRejectedMostAndExitsFour) {
  // A tank to be heated to 95 C by water that enters at 90 C: no coil reaches it.
  CliResult r = Cli({Example("storage-tank-hot-water"), "--set", "Tom2D=95", "--optimize", "nD=1:3,DspD=2|3"});
  EXPECT_EQ(r.code, 4) << r.err;
  EXPECT_NE(r.out.find("没有满足约束的方案（计算 6 点，全部被否决）"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("不可行：目标温度（6 点）"), std::string::npos) << r.out;
  EXPECT_NE(r.err.find("否决最多的约束"), std::string::npos);

  // One thin tube for the whole flow: every point too fast (警告), none applied.
  r = Cli({Example("storage-tank-hot-water"), "--optimize", "tube=14×2,nD=1", "--apply-best", "--json"});
  EXPECT_EQ(r.code, 4);
  EXPECT_NE(r.out.find("警告："), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("（1 点）"), std::string::npos) << r.out;
  EXPECT_EQ(Shown(JsonPart(r.out), "nD"), "3");  // the project's own design stays
}

TEST(Optimizer, CsvHoldsEveryPointWithItsVerdictAndRank) {
  testing::ScratchFolder scratch;
  const std::string csv = scratch / "optimize.csv";
  CliResult r = Cli({Example("storage-tank-hot-water"), "--optimize", "tube=25×2.5|32×3,nD=1:6,DspD=1.5|2.0|3.0",
                     "--objective", "DpiD", "--top", "3", "--csv", csv});
  ASSERT_EQ(r.code, 0) << r.err;
  std::ifstream file(csv, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(file)), {});
  ASSERT_EQ(bytes.rfind("\xEF\xBB\xBF", 0), 0u);
  const auto rows = ParseCsv(bytes.substr(3));
  ASSERT_EQ(rows.size(), 1u + 2 * 6 * 3);
  const auto& head = rows[0];
  ASSERT_EQ(head.size(), 3u + 4 + 5);
  EXPECT_EQ(head[0], "管子规格");
  EXPECT_EQ(head.back(), "原因");
  // Ranks 1..k on the accepted points, ordered by the pressure drop; every rejected
  // point names its reason.
  std::map<int, double> byRank;
  for (size_t i = 1; i < rows.size(); ++i) {
    const auto& row = rows[i];
    ASSERT_EQ(row.size(), head.size());
    const std::string verdict = row[head.size() - 2];
    if (verdict == "可行") {
      ASSERT_FALSE(row[head.size() - 3].empty());
      byRank[std::stoi(row[head.size() - 3])] = std::stod(row[6]);
      EXPECT_TRUE(row.back().empty());
    } else {
      EXPECT_TRUE(row[head.size() - 3].empty());
      EXPECT_FALSE(row.back().empty()) << verdict;
    }
  }
  ASSERT_GE(byRank.size(), 3u);
  EXPECT_EQ(byRank.begin()->first, 1);
  double last = -1;
  for (const auto& [rank, dp] : byRank) {
    EXPECT_GE(dp, last) << rank;
    last = dp;
  }
  // The terminal shows the best three.
  EXPECT_NE(r.out.find("\n3\t"), std::string::npos);
  EXPECT_EQ(r.out.find("\n4\t"), std::string::npos);

  // A search at --apply-best writes the file named after it, too.
  r = Cli({Example("storage-tank-hot-water"), "--optimize", "nD=2:5", "--apply-best", "--csv", csv});
  ASSERT_EQ(r.code, 0) << r.err;
  std::ifstream again(csv, std::ios::binary);
  const std::string written((std::istreambuf_iterator<char>(again)), {});
  EXPECT_EQ(ParseCsv(written.substr(3)).size(), 1u + 4);
}

TEST(Optimizer, BadRangesAreRefusedWithTheirReason) {
  const std::string hot = Example("storage-tank-hot-water");
  struct Case {
    std::string spec, says;
  };
  for (const Case& c : std::vector<Case>{{"nD=1.5:3", "whole numbers"},
                                         {"nD=0:3", "管数须为不小于 1 的整数"},
                                         {"tube=没有的系列", "既不是管子系列，也不是管子规格"},
                                         {"DspD=0.5|1", "不能小于 1"},
                                         {"SlD=0.5:9:3", "超出容器的限制：U 型管管腿长不能超过容器的高度和内径"},
                                         {"dioD=1:2", "unknown variable"},
                                         {"nD=1:3,nD=4:5", "重复"}}) {
    SCOPED_TRACE(c.spec);
    CliResult r = Cli({hot, "--optimize", c.spec});
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err.substr(0, 300);
  }
  CliResult r = Cli({hot, "--optimize", "nD=1:3", "--objective", "AtD"});
  EXPECT_EQ(r.code, 2);
}

// The method check's recommended margin as a constraint: the shipped hot-water tank
// (富余度 20 %) asks for none, so the margin rejects nothing that the checks accept.
TEST(OptimizerCli, TheMethodChecksMarginIsAConstraint) {
  const std::string hot = Example("storage-tank-hot-water");
  CliResult plain = Cli({hot, "--optimize", "nD=3:6"});
  CliResult margin = Cli({hot, "--optimize", "nD=3:6", "--require-margin"});
  ASSERT_EQ(margin.code, 0) << margin.err;
  EXPECT_EQ(margin.out, plain.out);
}

// 应用 is one step: undone, the project is the file it was, byte for byte.
TEST(OptimizerCli, ApplyingTheBestDesignIsOneUndoStep) {
  const std::string dir = ::testing::TempDir();
  const std::string before = dir + "/opt-before.pmf", undone = dir + "/opt-undone.pmf";
  CliResult r = Cli({Example("storage-tank-hot-water"), "--recalc", "--save", before, "--optimize", "nD=3:6",
                     "--apply-best", "--undo", "--save", undone, "--json"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("\n  \"redo\": \"应用\""), std::string::npos);
  auto bytes = [](const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  EXPECT_FALSE(bytes(before).empty());
  EXPECT_TRUE(bytes(undone) == bytes(before));
}

// ---------------------------------------------------------------- in the core

TEST(Optimizer, TheMarginConstraintRejectsWhatTheSourceAsksMoreThanTheProjectAllows) {
  Opened project("storage-tank-hot-water");  // 富余度 20 %
  OptimizerRequest r;
  r.variables = {{"nD", {"2", "3", "4", "5"}}};
  r.noWarnings = false;
  r.marginCheck = true;
  // A source that asks 25 % of designs with fewer than four tubes and 15 % of the others.
  r.margin = [](const PelmoraApp& run) -> std::optional<double> { return run.form.nD->Number() < 4 ? 25 : 15; };
  const OptimizerResult result = RunOptimizer(project.app, r);
  ASSERT_EQ(result.points.size(), 4u);
  EXPECT_EQ(result.points[0].verdict, Verdict::Margin);
  EXPECT_EQ(result.points[1].verdict, Verdict::Margin);
  EXPECT_NE(result.points[1].reason.find("方法校核推荐富余度 25 %，大于项目的富余度 20 %"), std::string::npos)
      << result.points[1].reason;
  EXPECT_TRUE(result.points[2].Accepted()) << result.points[2].reason;
  EXPECT_TRUE(result.points[3].Accepted());
  // Without the constraint the same points are judged by their checks alone.
  r.marginCheck = false;
  EXPECT_TRUE(RunOptimizer(project.app, r).points[1].Accepted());
}

TEST(Optimizer, AStoppedSearchKeepsWhatItComputedAndRanksOnlyThat) {
  Opened project("storage-tank-hot-water");
  OptimizerRequest r;
  r.variables = DefaultOptimizerVariables(project.app.form, project.app.select.catalogue);
  r.threads = 1;
  size_t reports = 0;
  const OptimizerResult result = RunOptimizer(project.app, r, [&](size_t done, size_t total) {
    EXPECT_LE(done, total);
    ++reports;
    return done == 0;  // stop as soon as anything is done
  });
  EXPECT_GE(reports, 1u);
  EXPECT_TRUE(result.cancelled);
  EXPECT_LT(result.Computed(), result.points.size());
  for (size_t i : result.ranking) EXPECT_TRUE(result.points[i].computed);
  // Points not reached are written as such.
  const std::string csv = OptimizerCsv(result, false);
  EXPECT_NE(csv.find("未计算"), std::string::npos);
}

TEST(Optimizer, ApplyingAPointGivesTheProjectWhatThePointShowed) {
  Opened project("storage-tank-hot-water");
  const OptimizerResult result = RunOptimizer(project.app, Grid());
  ASSERT_FALSE(result.ranking.empty());
  const OptimizerPoint& best = result.points[result.ranking.front()];
  ASSERT_TRUE(ApplyOptimizedDesign(project.app, Grid().variables, best.values));
  TFormPelmora& f = project.app.form;
  EXPECT_TRUE(f.ProjectModified());
  EXPECT_EQ(f.nD->Text(), best.values[1]);
  EXPECT_EQ(f.DspD->Text(), best.values[2]);
  for (size_t k = 0; k < OptimizerOutputs().size(); ++k) {
    const Overlay shown = f.FindAs<EditD>(OptimizerOutputs()[k])->DrawOverlay();
    EXPECT_EQ(shown.draw ? shown.text : f.FindAs<EditD>(OptimizerOutputs()[k])->Text(), best.shown[k])
        << OptimizerOutputs()[k];
  }
  EXPECT_TRUE(Feasible(project.app.calc.checks));
  // The catalogue pick sets both diameters: 32 x 3 gives 32 and 26 mm.
  if (best.values[0] == "32×3") {
    EXPECT_DOUBLE_EQ(*f.dioD->Number() * f.dioD->Exchange(), 0.032);
    EXPECT_DOUBLE_EQ(*f.diiD->Number() * f.diiD->Exchange(), 0.026);
  }
}

TEST(Optimizer, TubeSeriesComeFromTheCatalogueAndTheDefaultSearchFromTheProject) {
  Opened project("storage-tank-hot-water");
  const PipeCatalogue& cat = project.app.select.catalogue;
  const std::vector<TubeSeries> series = CatalogueSeries(cat);
  ASSERT_FALSE(series.empty());
  size_t sizes = 0;
  for (const TubeSeries& s : series) {
    EXPECT_FALSE(s.name.empty());
    sizes += s.sizes.size();
  }
  EXPECT_GE(sizes, 20u);
  // The project's 32 x 3 is found, and the default search takes its series, 1 to 12
  // tubes and the seven pitches of the pitch list.
  EXPECT_EQ(CurrentTubeSize(project.app.form, cat), std::optional<std::string>("32×3"));
  const auto vars = DefaultOptimizerVariables(project.app.form, cat);
  ASSERT_EQ(vars.size(), 3u);
  EXPECT_EQ(vars[0].name, kTubeVariable);
  const auto& mine = series[CurrentSeries(project.app.form, series)].sizes;
  EXPECT_EQ(vars[0].values, mine);
  EXPECT_NE(std::find(mine.begin(), mine.end(), "32×3"), mine.end());
  EXPECT_EQ(vars[1].values.front(), "1");
  EXPECT_EQ(vars[1].values.back(), "12");
  EXPECT_EQ(vars[2].values.size(), 7u);
  // "*" takes every size once; a list is written with "×" whatever the user typed.
  const auto all = ParseOptimize("tube=*", cat);
  EXPECT_EQ(all[0].values.size(), std::set<std::string>(all[0].values.begin(), all[0].values.end()).size());
  EXPECT_EQ(ParseOptimize("tube=25x2.5|32*3", cat)[0].values, (std::vector<std::string>{"25×2.5", "32×3"}));
  EXPECT_EQ(ParseOptimize("SlD=1:1.2:3", cat)[0].values, (std::vector<std::string>{"1", "1.1", "1.2"}));
  EXPECT_EQ(ParseOptimize("nD=4:2", cat)[0].values, (std::vector<std::string>{"4", "3", "2"}));
  // The U-tube of a 3 m high, 3 m wide vessel: legs up to 3 m.
  const auto limit = CoilSizeLimit(project.app.form);
  ASSERT_TRUE(limit);
  EXPECT_DOUBLE_EQ(limit->meters, 3.0);
  EXPECT_FALSE(limit->strict);
}

// What the dialog 设计优选 offers is decided headless: the hot-water tank's U-tube coil
// (leg length 1.2 m) starts from 0.75 × 1.2 = 0.9 m to 1.25 × 1.2 = 1.5 m, which its
// vessel (legs up to 3 m) allows; every variable can vary on an opened project.
TEST(Optimizer, TheOfferOnTheHotWaterTankStartsAroundItsLegLength) {
  ScriptedPort port;
  PelmoraApp app(&port, PELMORA_PROGRAM_DIR "/");
  ASSERT_TRUE(app.Run([&] { app.project.OpenAtStartup(Example("storage-tank-hot-water")); }));
  const OptimizerOffer o = OfferOptimizer(app.form, true);
  EXPECT_TRUE(o.tube && o.count && o.pitch && o.coil);
  EXPECT_EQ(o.coilCaption, app.form.SlD->QuantityName() + "（管腿长）");
  ASSERT_TRUE(o.coilFrom && o.coilTo);
  EXPECT_NEAR(*o.coilFrom, 0.9, 1e-12);
  EXPECT_NEAR(*o.coilTo, 1.5, 1e-12);
  EXPECT_EQ(o.coilNote, "单位 m；U 型管管腿长不能超过容器的高度和内径（最大 3 m）");
  EXPECT_FALSE(OfferOptimizer(app.form, false).tube);  // no catalogue series, no tube sizes
}

}  // namespace
}  // namespace pelmora

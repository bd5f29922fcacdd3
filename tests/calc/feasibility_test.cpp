// Designs that cannot work: a batch target beyond what the heating medium can give, a
// target beyond a condensing medium's saturation temperature, the sizing pass's
// fallback, a correction factor that does not exist, coils that do not fit. Each is
// worked by hand in its comment; the shipped examples stay feasible.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "../cli/CliInProcess.h"
#include "CaseFiles.h"
#include "app/PelmoraApp.h"
#include "calc/Feasibility.h"

namespace pelmora {
namespace {

using testing::Cli;
using testing::CliResult;

std::string Example(const std::string& name) { return std::string(PELMORA_PROGRAM_DIR) + "/examples/" + name; }

// A component's "text" in the --json output.
std::string TextOf(const std::string& json, const std::string& name) {
  const size_t at = json.find("\n    \"" + name + "\": {");
  if (at == std::string::npos) return "<missing " + name + ">";
  const size_t t = json.find("\"text\": \"", at);
  const size_t end = json.find('"', t + 9);
  return json.substr(t + 9, end - t - 9);
}
double ValueOf(const std::string& json, const std::string& name) { return std::stod(TextOf(json, name)); }
std::string Checks(const std::string& json) {
  const size_t p = json.find("\"checks\": [");
  return p == std::string::npos ? "" : json.substr(p, json.find("],\n", p) - p);
}
bool Infeasible(const std::string& json) { return json.find("\"feasible\": false") != std::string::npos; }

CliResult RunJson(std::vector<std::string> args) {
  args.push_back("--json");
  return Cli(args);
}

// The case's options with more options put before its closing recalculation.
std::vector<std::string> Case(const std::string& name, const std::vector<std::string>& more) {
  auto args = testing_cases::CaseArgs(name);
  args.pop_back();  // --recalc
  args.insert(args.end(), more.begin(), more.end());
  args.push_back("--recalc");
  return args;
}

TEST(Feasibility, ReachableTankTemperatureByHand) {
  // 5 t of water (cp 4180) from 20 C heated for 2 h by 0.5 kg/s of water (cp 4190) at
  // 95 C, no loss: W.c = 2095 W/K, M.cp = 2.09e7 J/K, (W.c) tau / (M.cp) = 0.72172,
  // exp(-0.72172) = 0.48591, Tmax = 95 - 75 x 0.48591 = 58.557 C.
  EXPECT_NEAR(corr::ReachableTankTemperature(2095, 95, 2.09e7, 20, 0, 0, 7200), 58.557, 0.002);
  // With a loss of 20 W/K to 15 C air: T_inf = (2095 x 95 + 20 x 15) / 2115 = 94.2435,
  // rate 2115 W/K, exponent 2115 x 7200 / 2.09e7 = 0.72861, exp = 0.48258,
  // Tmax = 94.2435 - 74.2435 x 0.48258 = 58.415 C.
  EXPECT_NEAR(corr::ReachableTankTemperature(2095, 95, 2.09e7, 20, 20, 15, 7200), 58.415, 0.002);
  // Cooling: 5 t at 60 C, 0.5 kg/s of water at 10 C, 2 h: 10 + 50 x 0.48591 = 34.30 C,
  // the lowest temperature the tank can reach.
  EXPECT_NEAR(corr::ReachableTankTemperature(2095, 10, 2.09e7, 60, 0, 0, 7200), 34.295, 0.002);
}

TEST(Feasibility, HotWaterTankWithReturnAt30IsInfeasibleAndAt70Feasible) {
  // The shipped tank: 20 t of water (cp 4180) from 20 to 60 C in 4 h, hot water (cp 4190)
  // in at 90 C, 40 m2 of insulated wall losing to 15 C air. With the return at 30 C the
  // tube balance gives W = (Qo + QL.tau) / (cp (t1 - t2) tau) = 0.926 kg/s. The loss
  // coefficient the run finds is Ke = 0.58 W/(m2.K), Ke.Ae = 23.3 W/K. Then
  //   W.c = 0.926 x 4190 = 3880 W/K, T_inf = (3880 x 90 + 23.3 x 15) / 3903.3 = 89.55 C,
  //   exponent 3903.3 x 14400 / (20000 x 4180) = 0.6723, exp(-0.6723) = 0.5105,
  //   Tmax = 89.55 - (89.55 - 20) x 0.5105 = 54.04 C < 60 C: unreachable.
  CliResult r = RunJson({Example("storage-tank-hot-water.pmf"), "--set", "Ti2D=30", "--recalc"});
  EXPECT_EQ(r.code, 4) << r.err;
  EXPECT_TRUE(Infeasible(r.out));
  EXPECT_NEAR(ValueOf(r.out, "WiD"), 0.926, 0.001);
  const std::string checks = Checks(r.out);
  // Listed first, on the target, marking the area and the lengths.
  EXPECT_EQ(checks.find("\"checks\": [{\"level\": \"不可行\", \"field\": \"Tom2D\", \"text\": \"目标温度 60 ℃ 不可达："
                        "按管程流量 0.926 kg/s、入口 90 ℃，加热 4 h 最高只能达到 54.0 ℃（无限大面积）\", "
                        "\"marks\": [\"AtD\", \"ArD\", \"LtD\", \"LrD\"]}"),
            0u)
      << checks;
  EXPECT_NE(r.out.find("设计不可行：目标温度 60 ℃ 不可达"), std::string::npos);  // panel 1
  // The numbers are still there for diagnosis.
  EXPECT_GT(ValueOf(r.out, "AtD"), 0);

  // The limit itself, from the numbers above: 54.04 C within the rounding of W and Ke.
  const double W = ValueOf(r.out, "WiD"), Ke = ValueOf(r.out, "KeD");
  EXPECT_NEAR(corr::ReachableTankTemperature(W * 4190, 90, 20000 * 4180.0, 20, Ke * 40, 15, 14400), 54.04, 0.05);

  // Return at 70 C (the example as shipped): W = 1.85 kg/s reaches far beyond 60 C.
  CliResult ok = RunJson({Example("storage-tank-hot-water.pmf"), "--set", "Ti2D=70", "--recalc"});
  EXPECT_EQ(ok.code, 0) << ok.err;
  EXPECT_FALSE(Infeasible(ok.out));
  EXPECT_EQ(Checks(ok.out).find("不可行"), std::string::npos);
}

TEST(Feasibility, ShippedExamplesAreFeasible) {
  for (const char* name : {"storage-tank-hot-water.pmf", "storage-tank-steam.pmf", "agitated-tank.pmf",
                           "constant-temperature-bath.pmf", "two-stream-vessel.pmf"}) {
    CliResult r = RunJson({Example(name), "--recalc"});
    EXPECT_EQ(r.code, 0) << name << r.err;
    EXPECT_FALSE(Infeasible(r.out)) << name << Checks(r.out);
  }
}

TEST(Feasibility, SteamCannotHeatBeyondItsSaturationTemperature) {
  // The steam tank condenses at 143.6 C (the tube outlet temperature of the isothermal
  // side); a target of 150 C lies beyond it.
  CliResult r = RunJson(Case("steam_tank", {"--set", "Tom2D=150"}));
  EXPECT_TRUE(Infeasible(r.out)) << Checks(r.out);
  EXPECT_NE(Checks(r.out).find("目标温度 150 ℃ 不低于管程蒸汽的冷凝温度 143.6 ℃"), std::string::npos) << Checks(r.out);
  // 140 C is below it: the design may be long, but it is no impossibility of this kind.
  EXPECT_EQ(Checks(RunJson(Case("steam_tank", {"--set", "Tom2D=140"})).out).find("冷凝温度"), std::string::npos);
}

TEST(Feasibility, TheSteadyStateFallbackBeyondTheMeanTubeTemperature) {
  // Hot water 90 -> 70 C has the mean tube temperature 80 C. A target of 85 C makes the
  // batch logarithm ln((B - C.T1)/(B - C.T2)) undefined (B - C.T2 = K.A (80 - 85) +
  // Ke.Ae (15 - 85) < 0): the pass falls back to the steady-state balance, and a tank
  // heated by a medium at a constant 80 C never reaches 85 C.
  CliResult r = RunJson(Case("storage_tank", {"--set", "Tom2D=85"}));
  EXPECT_TRUE(Infeasible(r.out));
  EXPECT_NE(Checks(r.out).find("目标温度 85 ℃ 不低于管程平均温度 80 ℃"), std::string::npos) << Checks(r.out);
}

TEST(Feasibility, AFallbackWithAReachableTargetIsAnEstimateAndSaidSo) {
  // The fallback taken for another reason (an area estimate too small for the loss)
  // keeps its area, as a warning on it.
  ScriptedPort port;
  PelmoraApp app(&port, "/tmp/");
  TFormPelmora& f = app.form;
  f.Ti1D->SetText("90");
  f.Ti2D->SetText("70");
  f.Tom1D->SetText("20");
  f.Tom2D->SetText("60");
  RunFacts facts;
  facts.steadyStateFallback = true;
  const auto checks = CollectDesignChecks(f, facts);
  ASSERT_FALSE(checks.empty());
  EXPECT_EQ(checks[0].level, DesignCheck::Level::Warning);
  EXPECT_EQ(checks[0].field, "AtD");
  EXPECT_EQ(checks[0].text.rfind("按稳态平衡估算面积", 0), 0u);
  EXPECT_TRUE(Feasible(checks));
}

TEST(Feasibility, ACorrectionFactorThatDoesNotExist) {
  // Two streams: vessel 20 -> 60 C, tube 90 -> 40 C. R = (20 - 60)/(40 - 90) = 0.8,
  // P = (40 - 90)/(20 - 90) = 0.7143; 2/P - 1 - R = 1.0 and sqrt(R^2 + 1) = 1.2806, so
  // the second logarithm of F takes (1.0 + 1.2806)/(1.0 - 1.2806) < 0: no F exists, no
  // single vessel pass meets these temperatures (the program carries F = 0.5).
  CliResult r = RunJson(Case("two_stream", {"--set", "Tom2D=60", "--set", "Ti2D=40"}));
  EXPECT_TRUE(Infeasible(r.out)) << Checks(r.out);
  EXPECT_NE(
      Checks(r.out).find("\"field\": \"CdtD\", \"text\": \"对数平均温差校正系数 F 无法计算（R = 0.8，P = 0.7143）"),
      std::string::npos)
      << Checks(r.out);
}

TEST(Feasibility, CoilsThatDoNotFitTheirVessel) {
  // Helical: coil diameter 1.2 m + tube 0.032 m against a 1.2 m shell.
  CliResult helical = RunJson(Case("two_stream", {"--set", "SlD=1.2"}));
  EXPECT_NE(Checks(helical.out).find("螺旋盘管外径 Sl + do = 1.232 m，不小于容器内径 1.2 m"), std::string::npos)
      << Checks(helical.out);
  EXPECT_TRUE(Infeasible(helical.out));
  // U-tube legs of 3.5 m in a vessel 3 m high and 3 m across.
  CliResult legs = RunJson(Case("storage_tank", {"--set", "SlD=3.5"}));
  EXPECT_NE(Checks(legs.out).find("U 型管管腿长 3.5 m，超过容器的高度和内径（最大 3 m）"), std::string::npos)
      << Checks(legs.out);
  // An impeller as wide as the vessel.
  CliResult impeller = RunJson(Case("agitated_tank", {"--set", "midD=2.4"}));
  EXPECT_NE(Checks(impeller.out).find("\"field\": \"midD\", \"text\": \"错误：浆叶直径大于等于容器内径。"),
            std::string::npos)
      << Checks(impeller.out);
  EXPECT_TRUE(Infeasible(impeller.out));
}

TEST(Feasibility, OnlyJsonOrAReportMakeAnInfeasibleRunAFailure) {
  // Without --json or --save-report nothing leaves the program as a design.
  EXPECT_EQ(Cli({Example("storage-tank-hot-water.pmf"), "--set", "Ti2D=30", "--recalc"}).code, 0);
  const std::string doc = ::testing::TempDir() + "infeasible-report.doc";
  EXPECT_EQ(Cli({Example("storage-tank-hot-water.pmf"), "--set", "Ti2D=30", "--recalc", "--click", "SBRSimple",
                 "--save-report", doc})
                .code,
            4);
  EXPECT_NE(Cli({"--help"}).out.find("  4  --json or --save-report was asked and the last run found the design"),
            std::string::npos);
}

}  // namespace
}  // namespace pelmora

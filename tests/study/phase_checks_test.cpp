// Design checks of the correlations for condensing, boiling and cross-flow: each names
// its correlation and the number that left its range, worked out by hand below.
#include <gtest/gtest.h>

#include "../calc/CaseFiles.h"
#include "../cli/CliInProcess.h"
#include "app/PelmoraApp.h"
#include "calc/Checks.h"
#include "fields/ModeEnums.h"

namespace pelmora {
namespace {

using testing::Cli;

std::string ChecksOf(std::vector<std::string> args) {
  args.push_back("--json");
  const std::string out = Cli(args).out;
  const size_t p = out.find("\"checks\": [");
  return p == std::string::npos ? "" : out.substr(p, out.find("],\n", p) - p);
}

std::vector<std::string> TwoStreams(std::vector<std::string> more) {
  auto args = testing_cases::CaseArgs("two_stream");
  args.pop_back();  // the recalculation goes after the changes
  args.insert(args.end(), more.begin(), more.end());
  args.push_back("--recalc");
  return args;
}

TEST(PhaseChecks, SteamCondensingInTheTubesHasATurbulentFilm) {
  // The shipped steam tank: W = 0.1091611 kg/s of steam condensing in one tube of 50 mm,
  // condensate viscosity 0.000192 Pa.s. Gamma = W / (pi di) = 0.69495 kg/(m.s) and
  // Re = 4 Gamma / mu = 14478, far above the laminar film of Nusselt's theory.
  const std::string checks =
      ChecksOf({std::string(PELMORA_PROGRAM_DIR) + "/examples/storage-tank-steam.pmf", "--recalc"});
  EXPECT_NE(
      checks.find("{\"level\": \"提示\", \"field\": \"kiD\", \"text\": \"管内冷凝液膜 Re = 4Γ/μ = 14478，超过 1800"),
      std::string::npos)
      << checks;
}

TEST(PhaseChecks, CrossFlowOutsideTheTubeBankRange) {
  // The two-stream case with a viscous vessel fluid (0.5 Pa.s, 2000 J/(kg.K),
  // 0.15 W/(m.K)); it is sized to A = 103.305 m2. The helical coil of 32 mm tubes, coil
  // diameter 0.9 m and pitch 2 do, in a 1.2 m shell round a 0.3 m column:
  // L = A / (pi do) = 1027.6 m, Nt = L / sqrt((pi Sl)^2 + (s do)^2) = 363.4 turns, the
  // coil height s do Nt = 23.26 m, the free volume pi/4 ((Ds^2 - Dc^2) h - do^2 L) =
  // 24.03 m3, de1 = 4 Vf / (pi do L) = 0.9305 m, the flow section pi/4 (Ds^2 - Dc^2 -
  // 4 do Sl) = 0.9781 m2, so Re = de1 (W / S) / mu = 9.514 and Pr = cp mu / lambda = 6667.
  const std::string checks = ChecksOf(TwoStreams({"--set", "VioD=0.5", "--set", "LdoD=0.15", "--set", "CopD=2000"}));
  EXPECT_NE(checks.find("{\"level\": \"警告\", \"field\": \"koD\", \"text\": \"容器侧横掠盘管 Re = 9.514，超出"),
            std::string::npos)
      << checks;
  EXPECT_NE(checks.find("适用范围 10–2000000"), std::string::npos);
  EXPECT_NE(checks.find("{\"level\": \"提示\", \"field\": \"koD\", \"text\": \"容器侧 Pr = 6667，超出"),
            std::string::npos);
  EXPECT_NE(checks.find("适用范围 0.7–500"), std::string::npos);
  // The case as it stands flows well inside the range: no cross-flow check.
  EXPECT_EQ(ChecksOf(TwoStreams({})).find("横掠"), std::string::npos);
}

TEST(PhaseChecks, BoilingOnTheCoilAgainstTheCriticalFlux) {
  ScriptedPort port;
  PelmoraApp app(&port);
  ASSERT_TRUE(app.Run(
      [&] { app.project.OpenAtStartup(std::string(PELMORA_PROGRAM_DIR) + "/examples/two-stream-vessel.pmf"); }));
  ASSERT_TRUE(app.Run([&] { app.calc.MaoDExit(nullptr); }));
  TFormPelmora& f = app.form;
  // Water boiling at atmospheric pressure on the coil, the example's 418 073 W through
  // 0.4 m2: q = 1045 kW/m2 against Mostinski's critical flux 3.67e4 Pc (P/Pc)^0.35
  // (1 - P/Pc)^0.9 = 3.67e4 x 220.64 bar x 0.004592^0.35 x 0.995408^0.9 = 1225 kW/m2.
  app.Run([&] {
    f.PhoD->UserSelect(static_cast<int>(Phase::Evaporating));
    f.PcD->SetText("22064000");
    f.PoD->SetText("101325");
    f.AtD->SetText("0.4");
  });
  auto has = [&](const std::vector<DesignCheck>& checks, const std::string& field, const std::string& text) {
    for (const DesignCheck& c : checks)
      if (c.field == field && c.text.find(text) != std::string::npos) return c.level == DesignCheck::Level::Warning;
    return false;
  };
  auto checks = CollectDesignChecks(f);
  EXPECT_TRUE(has(checks, "koD", "盘管表面热流密度 1045 kW/m2，超过 Mostinski 临界热流密度 1225 kW/m2 的 70%"));
  // Twice the area halves the flux (523 kW/m2), well under 70 % of the critical flux.
  app.Run([&] { f.AtD->SetText("0.8"); });
  checks = CollectDesignChecks(f);
  for (const DesignCheck& c : checks) EXPECT_EQ(c.text.find("临界热流密度"), std::string::npos) << c.text;
  // At or above the critical pressure there is no nucleate boiling to speak of.
  app.Run([&] { f.PoD->SetText("23000000"); });
  EXPECT_TRUE(has(CollectDesignChecks(f), "PoD", "容器压力 23000 kPa 不低于临界压力 22064 kPa"));
}

}  // namespace
}  // namespace pelmora

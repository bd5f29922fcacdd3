// The project remembers which library substance filled each side: the checks that
// knowledge allows (the vessel liquid boiling, a property outside its data's range,
// properties taken far from the run's temperatures), 更新物性, and the records in the
// project file. On the shipped library and examples, through pelmora-calc.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "../cli/CliInProcess.h"
#include "../common/CliOutput.h"
#include "../select/SelectTestUtil.h"
#include "SimpTestUtil.h"
#include "calc/SubstanceChecks.h"
#include "fields/NumberFormat.h"
#include "project/SaveFormData.h"
#include "props/PropLib.h"

namespace pelmora {
namespace {

using testing::Cli;
using testing::CliResult;
using testing::ComponentLine;

std::string Text(const std::string& json, const std::string& name) {
  const std::string line = ComponentLine(json, name);
  size_t p = line.find("\"text\": \"");
  if (p == std::string::npos) return {};
  p += 9;
  return line.substr(p, line.find('"', p) - p);
}

// The design checks of the --json output (one line).
std::string Checks(const std::string& json) {
  size_t p = json.find("\"checks\": [");
  if (p == std::string::npos) return {};
  return json.substr(p, json.find('\n', p) - p);
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class Substances : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("PELMORA_PROGRAM_DIR", PELMORA_PROGRAM_DIR, 1);
    setenv("XDG_DATA_HOME", (scratch.Root() + "xdg").c_str(), 1);
  }
  void TearDown() override { unsetenv("XDG_DATA_HOME"); }
  std::vector<std::string> Args(std::vector<std::string> more) const {
    more.insert(more.begin(), example);
    return more;
  }
  testing_simp::ScratchDir scratch;
  const std::string example = std::string(PELMORA_PROGRAM_DIR) + "/examples/storage-tank-hot-water.pmf";
  // The vessel filled with water (record 0001) from the dialog at t and p.
  static std::vector<std::string> VesselWater(const std::string& t, const std::string& p = "100") {
    return {"--click", "SBP1",   "--record", "0001",  "--set",   "t=" + t,
            "--set",   "p=" + p, "--click",  "BBCal", "--click", "BBOK"};
  }
};

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// Water boils at 99.97 °C at 101.325 kPa and at 133.52 °C at 300 kPa (IAPWS-IF97
// saturation line, as the steam tables give it); the library's vapour-pressure equation
// (Perry's table 2-8) gives 100.0 and 133.6 °C to one decimal.
TEST_F(Substances, WaterHeatedTo105DegreesBoilsInAnOpenTankButNotAtThreeBar) {
  // A hotter heating water so that the coil itself could reach 105 °C.
  const std::vector<std::string> hot = {"--set",     "Ti1D=160", "--set", "Ti2D=140", "--set",
                                        "Tom2D=105", "--exit",   "Tom2D", "--json"};
  CliResult open = Cli(Args(VesselWater("60") + hot));
  ASSERT_EQ(open.code, 4) << open.err;  // an infeasible design shown is no result
  const std::string c = Checks(open.out);
  EXPECT_NE(c.find("{\"level\": \"不可行\", \"field\": \"Tom2D\", \"text\": \"目标温度 105.0 ℃ 不低于 水(液)（0001）"),
            std::string::npos)
      << c;
  EXPECT_NE(c.find("101.325 kPa（未给出容器压力，按常压）下的沸点 100.0 ℃"), std::string::npos) << c;
  EXPECT_NE(open.out.find("\"feasible\": false"), std::string::npos);

  // The same tank closed at 0.3 MPa (the pressure the water's properties were taken at):
  // 105 °C lies 28.5 K below boiling, the design is feasible. The coil wall, at about
  // 150 °C against a weak free-convection film, boils locally: a warning.
  CliResult closed = Cli(Args(VesselWater("80", "300") + hot));
  ASSERT_EQ(closed.code, 0) << closed.err;
  const std::string k = Checks(closed.out);
  EXPECT_EQ(k.find("不可行"), std::string::npos) << k;
  EXPECT_NE(k.find("300 kPa（物性取值压力）下的沸点 133.6 ℃"), std::string::npos) << k;
  EXPECT_NE(k.find("\"field\": \"koD\""), std::string::npos) << k;
  EXPECT_NE(k.find("局部沸腾"), std::string::npos) << k;

  // Without a remembered substance the shipped example at 105 °C knows no boiling point.
  CliResult unknown = Cli(Args(hot));
  EXPECT_EQ(Checks(unknown.out).find("沸点"), std::string::npos);
}

// The wall temperature of a series thermal circuit (film, wall, film), worked by hand:
// vessel 60 °C, tube 140 °C; 1/ho = 1/500 = 0.002, wall 0.0001, tube film 1/2000 * 32/26
// = 0.000615 m2.K/W; total 0.002715; the surface the liquid touches lies
// 80 * 0.002 / 0.002715 = 58.9 K above the liquid: 118.9 °C.
// The method check's free-convection estimate with the vessel water known: properties at
// the film temperature T_f = T_bulk + ΔT/2 (Incropera & DeWitt, 6th ed., §9.6). The tank
// of the example holds water heated 20 → 60 °C (bulk mean 40 °C) by a 32 mm tube.
// By hand, with the library's water at 50 °C (ρ 988.04 kg/m³, cp 4181.3 J/(kg·K),
// μ 5.4652e-4 Pa·s, k 0.64062 W/(m·K); β from ρ(49) = 988.458 and ρ(51) = 987.556:
// β = 0.902 / (2 · 988.04) = 4.565e-4 1/K) and the film difference ΔT = 20.11 K:
//   Pr = 4181.3 · 5.4652e-4 / 0.64062 = 3.567
//   Ra = 9.81 · 4.565e-4 · 988.04² · 0.032³ · 20.11 / (5.4652e-4)² · 3.567 = 3.440e7
//   Nu = {0.60 + 0.387 · Ra^(1/6) / [1 + (0.559/Pr)^(9/16)]^(8/27)}² = 48.75   (eq. 9.34)
//   h  = 48.75 · 0.64062 / 0.032 = 975.9 W/(m²·K)
TEST_F(Substances, TheFreeConvectionCheckTakesTheLibraryWaterAtTheFilmTemperature) {
  CliResult r = Cli(Args(VesselWater("40") + std::vector<std::string>{"--recalc", "--json"}));
  ASSERT_EQ(r.code, 0) << r.err;
  const size_t row = r.out.find("{\"field\": \"koD\", \"quantity\"");
  ASSERT_NE(row, std::string::npos);
  const std::string line = r.out.substr(row, r.out.find('}', row) - row);
  auto number = [&line](const std::string& after) {
    const size_t p = line.find(after);
    return p == std::string::npos ? -1.0 : std::strtod(line.c_str() + p + after.size(), nullptr);
  };
  const double h = number("\"independent\": "), dT = number("膜温差 "), tFilm = number("物性取膜温 ");
  EXPECT_NE(line.find("取自物性库“水(液)”"), std::string::npos) << line;
  EXPECT_NEAR(tFilm, 40 + dT / 2, 0.1) << line;
  EXPECT_NEAR(dT, 20.11, 0.05) << line;
  EXPECT_NEAR(h, 975.9, 975.9 * 0.01) << line;
  // Unknown water: the properties typed into the window (at the bulk temperature).
  CliResult typed = Cli(Args({"--recalc", "--json"}));
  EXPECT_NE(typed.out.find("物性取主体温度的值"), std::string::npos);
}

TEST(SubstanceChecks, WallTemperatureOfTheSeriesCircuit) {
  EXPECT_NEAR(VesselWallTemperature(60, 140, 0.002, 0.0001, 0.000615), 118.93, 0.01);
  // No resistance on the vessel side: the wall is at the liquid's temperature.
  EXPECT_DOUBLE_EQ(VesselWallTemperature(60, 140, 0, 0.0001, 0.000615), 60);
}

// Methanol's data hold from -97 to 64 °C; at 70 °C and 100 kPa it has boiled (64.2 °C).
TEST_F(Substances, APropertyTakenOutsideItsRangeIsAWarningNamingTheSubstance) {
  CliResult r = Cli(Args({"--click", "SBP2", "--record", "0007", "--set", "t=70", "--click", "BBCal", "--click", "BBOK",
                          "--recalc", "--json"}));
  ASSERT_EQ(r.code, 0) << r.err;
  const std::string c = Checks(r.out);
  EXPECT_NE(c.find("{\"level\": \"警告\", \"field\": \"CipD\", \"text\": \"管程物性按 甲醇(液)（0007） 在 70 ℃、"
                   "100 kPa 取值，超出该物性数据的适用范围（-97 ~ 64 ℃）"),
            std::string::npos)
      << c;
  // Inside the range: no warning.
  CliResult in = Cli(Args({"--click", "SBP2", "--record", "0007", "--set", "t=40", "--click", "BBCal", "--click",
                           "BBOK", "--recalc", "--json"}));
  EXPECT_EQ(Checks(in.out).find("适用范围"), std::string::npos) << Checks(in.out);
}

// The example's water is heated from 20 to 60 °C (mean 40 °C). Filled from the library at
// 40 °C and then heated from 50 to 70 °C instead, its mean is 60 °C: 20 K away.
TEST_F(Substances, UpdatePropertiesTakesThemAtTheNewMeanTemperatureAsTheDialogWould) {
  const std::vector<std::string> moved = {"--set", "Tom1D=50", "--set", "Tom2D=70", "--recalc"};
  CliResult before = Cli(Args(VesselWater("40") + moved + std::vector<std::string>{"--json"}));
  ASSERT_EQ(before.code, 0) << before.err;
  EXPECT_NE(Checks(before.out).find("在 40 ℃ 取值，本次计算的平均温度为 60.0 ℃（相差 20.0 K）：可执行“更新物性”"),
            std::string::npos)
      << Checks(before.out);

  CliResult updated = Cli(Args(VesselWater("40") + moved + std::vector<std::string>{"--update-props", "--json"}));
  ASSERT_EQ(updated.code, 0) << updated.err;
  // The dialog's own 计算 and 确定 at 60 °C, into the same window.
  CliResult dialog = Cli(Args(moved + VesselWater("60") + std::vector<std::string>{"--recalc", "--json"}));
  ASSERT_EQ(dialog.code, 0) << dialog.err;
  for (const char* f : {"CopD", "DenoD", "VioD", "LdoD", "BtoD"})
    EXPECT_EQ(Text(updated.out, f), Text(dialog.out, f)) << f;
  // The sizing converges from the area it starts at (the run before), to its tolerance.
  for (const char* f : {"AtD", "LtD"})
    EXPECT_NEAR(StrToFloat(Text(updated.out, f)), StrToFloat(Text(dialog.out, f)),
                1e-5 * StrToFloat(Text(dialog.out, f)))
        << f;
  // Water at 60 °C (IAPWS-95 and IAPWS 2008, NIST tables at 0.1 MPa): ρ 983.2 kg/m3,
  // μ 0.4665 mPa.s.
  EXPECT_NEAR(StrToFloat(Text(updated.out, "DenoD")), 983.2, 0.5);
  EXPECT_NEAR(StrToFloat(Text(updated.out, "VioD")), 0.4665e-3, 0.005e-3);
  // The hint has gone; the step is one, named 更新物性, and undo takes it back whole.
  EXPECT_EQ(Checks(updated.out).find("更新物性"), std::string::npos);
  EXPECT_NE(updated.out.find("\"undo\": \"更新物性\""), std::string::npos);
  EXPECT_NE(updated.out.find("已按平均温度更新物性：容器 60.0 ℃"), std::string::npos);
  CliResult undone =
      Cli(Args(VesselWater("40") + moved + std::vector<std::string>{"--update-props", "--undo", "--json"}));
  for (const char* f : {"CopD", "DenoD", "VioD", "AtD"}) EXPECT_EQ(Text(undone.out, f), Text(before.out, f)) << f;
  EXPECT_NE(Checks(undone.out).find("可执行“更新物性”"), std::string::npos);

  // Nothing to update: said, nothing changed.
  CliResult none = Cli(Args({"--update-props", "--json"}));
  EXPECT_NE(none.out.find("各侧物性都不是从物性库填入的"), std::string::npos) << none.out.substr(0, 200);
}

TEST_F(Substances, TheFileKeepsTheSubstancesAndOlderFilesKnowNone) {
  const std::string saved = scratch.Root() + "tank.pmf";
  CliResult r = Cli(Args(VesselWater("40") + std::vector<std::string>{"--click", "SBP2", "--record", "0001", "--set",
                                                                      "t=80", "--click", "BBCal", "--click", "BBOK",
                                                                      "--recalc", "--save", saved}));
  ASSERT_EQ(r.code, 0) << r.err;
  FormRecordFile file = ReadFormRecords(saved);
  ASSERT_TRUE(file.extras.substances.Of(FluidSide::Vessel));
  EXPECT_EQ(*file.extras.substances.Of(FluidSide::Vessel), (SideSubstance{"0001", "水(液)", 40, 100}));
  EXPECT_EQ(*file.extras.substances.Of(FluidSide::Tube), (SideSubstance{"0001", "水(液)", 80, 100}));
  EXPECT_FALSE(file.extras.substances.Of(FluidSide::TubeVapour));
  // The records read as five-line records of the component PelmoraFile, which a reader of
  // the window's records skips.
  const std::string text = ReadAll(saved);
  EXPECT_NE(text.find("PelmoraFile\r\nString\r\nSubstanceVessel\r\n0001;40;100;"), std::string::npos);

  // Opened again, the side is known (its check appears after a run with other
  // temperatures), and saving it again writes the same file.
  const std::string again = scratch.Root() + "again.pmf";
  CliResult reopened = Cli({saved, "--save", again});
  ASSERT_EQ(reopened.code, 0) << reopened.err;
  EXPECT_EQ(ReadFormRecords(again).extras.substances, file.extras.substances);
  CliResult moved = Cli({saved, "--set", "Tom1D=40", "--set", "Tom2D=80", "--recalc", "--json"});
  EXPECT_NE(Checks(moved.out).find("容器物性按 水(液)（0001） 在 40 ℃ 取值"), std::string::npos);

  // New from a template forgets them.
  const std::string fresh = scratch.Root() + "fresh.pmf";
  CliResult renewed =
      Cli({saved, "--new", std::string(PELMORA_PROGRAM_DIR) + "/templates/空白项目.pmt", "--save", fresh});
  ASSERT_EQ(renewed.code, 0) << renewed.err;
  EXPECT_TRUE(ReadFormRecords(fresh).extras.substances.Empty());

  // An older file (the shipped examples) knows none and
  // runs exactly as the same file with the substance records taken out.
  for (const char* name : {"storage-tank-hot-water", "storage-tank-steam", "agitated-tank", "constant-temperature-bath",
                           "two-stream-vessel"}) {
    const std::string path = std::string(PELMORA_PROGRAM_DIR) + "/examples/" + name + ".pmf";
    EXPECT_TRUE(ReadFormRecords(path).extras.substances.Empty()) << name;
    CliResult plain = Cli({path, "--recalc", "--json"});
    EXPECT_EQ(Checks(plain.out).find("物性按"), std::string::npos) << name;
    EXPECT_EQ(Checks(plain.out).find("沸点"), std::string::npos) << name;
  }
}

// Water's density (IAPWS-95, 0.1 MPa): 995.65 kg/m3 at 30 °C, 992.22 at 40 °C, 988.04 at
// 50 °C. By hand, β(40 °C) = -(1/ρ) dρ/dT ≈ (995.65 - 988.04) / (20 K * 992.22) =
// 3.835E-4 1/K; the tabulated value (IAPWS-95, NIST) is 3.85E-4 1/K.
TEST_F(Substances, TheExpansionListOffersFirstTheCoefficientOfTheVesselLiquidsDensity) {
  testing_select::PickPort port;
  PelmoraApp app(&port, PELMORA_PROGRAM_DIR);
  ASSERT_TRUE(app.Run([&] { app.project.OpenAtStartup(example); }));
  app.form.Substances.Set(FluidSide::Vessel, SideSubstance{"0001", "水(液)", 40, 100});
  app.form.BtoD->SetText("");
  port.actions = {{testing_select::PickAction::Row, 1, ""}};
  ASSERT_TRUE(app.Run([&] { app.form.RunHandler("SBP11Click", app.form.SBP11); }));
  const TFormPickList& d = port.shown.back();
  ASSERT_GE(d.rows.size(), 2u);
  // The example heats from 20 to 60 °C: the mean is 40 °C.
  EXPECT_EQ(d.rows[0].name.rfind("由物性库密度计算：β(40 ℃) = 0.00038", 0), 0u) << d.rows[0].name;
  EXPECT_NEAR(StrToFloat(d.rows[0].value), 3.835e-4, 0.02 * 3.835e-4);
  EXPECT_EQ(d.rows[1].name, "水（20 ℃）");
  EXPECT_NEAR(app.form.BtoD->GetValue(), 3.85e-4, 0.02 * 3.85e-4);
  // Without a known vessel fluid the list is the catalogue's alone.
  app.form.Substances.Clear();
  ASSERT_TRUE(app.Run([&] { app.form.RunHandler("SBP11Click", app.form.SBP11); }));
  EXPECT_EQ(port.shown.back().rows[0].name, "水（20 ℃）");
}

TEST(SubstanceRecords, AValueThatIsNotARecordLeavesTheSideUnknown) {
  EXPECT_EQ(ParseSideSubstance("0006;25;101.325;乙醇(液)"), (SideSubstance{"0006", "乙醇(液)", 25, 101.325}));
  // The name may hold the separator; t and p must be numbers, NO must be given.
  EXPECT_EQ(ParseSideSubstance("0006;25;100;a;b")->name, "a;b");
  EXPECT_FALSE(ParseSideSubstance("0006;hot;100;乙醇(液)"));
  EXPECT_FALSE(ParseSideSubstance(";25;100;乙醇(液)"));
  EXPECT_FALSE(ParseSideSubstance("0006;25"));
  SideSubstance s{"0012", "丙酮(液)", -12.5, 250};
  EXPECT_EQ(ParseSideSubstance(FormatSideSubstance(s)), s);
  std::vector<FormRecord> records = {{"PelmoraFile", "String", "SubstanceTube", "x"},
                                     {"PelmoraFile", "String", "SubstanceVesselVapour", "0002;150;476;饱和水蒸汽"}};
  FileExtras x = CheckFileExtras(records, records.size(), "p.pmf");
  EXPECT_FALSE(x.substances.Of(FluidSide::Tube));
  EXPECT_EQ(x.substances.Of(FluidSide::VesselVapour)->t, 150);
}

}  // namespace
}  // namespace pelmora

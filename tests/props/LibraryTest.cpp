#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "../common/ScratchFolder.h"
#include "fields/Text.h"
#include "props/MyValues.h"
#include "props/PropLib.h"
#include "props/PropsCommands.h"
#include "props/SimpProps.h"

using namespace pelmora;
namespace fs = std::filesystem;

namespace {

using TempDir = pelmora::testing::ScratchFolder;

PropRecord Rec(const std::string& no, const std::string& cn) {
  PropRecord r;
  r.NO = no;
  r.CN = cn;
  return r;
}

const std::string kShipped = std::string(PELMORA_PROGRAM_DIR) + "/PropLib.cds";

}  // namespace

TEST(PropLibrary, SaveAndLoadRoundTripKeepsOrderAndNulls) {
  TempDir dir;
  PropLibrary lib;
  PropRecord water = Rec("0002", "水(液)");
  water.CP = "4183";
  water.MD = "0,999.8;20,998.2";
  water.NT = "注释：'引号' \"双引号\"";
  lib.Insert(water);
  PropRecord air = Rec("0001", "空气");
  air.MD = "PRV:3786,132.53,84.5,0.290,0.0335,28.965";
  air.CP = "";  // empty, not null
  lib.Insert(air);
  PropRecord noNumber;
  noNumber.CN = "无编号";
  lib.Insert(noNumber);
  ASSERT_EQ(lib.Count(), 3);
  EXPECT_FALSE(lib.At(0).NO);  // null sorts first
  EXPECT_EQ(*lib.At(1).NO, "0001");

  std::string file = dir.File("PropLib.cds"), message;
  ASSERT_TRUE(lib.Save(file, &message)) << message;
  PropLibrary back;
  ASSERT_TRUE(back.Load(file, &message)) << message;
  ASSERT_EQ(back.Count(), 3);
  EXPECT_FALSE(back.At(0).NO);
  EXPECT_EQ(*back.At(1).CN, "空气");
  EXPECT_EQ(*back.At(1).CP, "");
  EXPECT_FALSE(back.At(1).VI);
  EXPECT_EQ(*back.At(2).NT, "注释：'引号' \"双引号\"");
  EXPECT_EQ(*back.At(2).MD, "0,999.8;20,998.2");

  // Edits exist in memory until saved; a second save replaces the file whole.
  back.Remove(0);
  PropRecord changed = back.At(0);
  changed.NO = "0009";
  EXPECT_EQ(back.Update(0, changed), 1);  // moved behind 0002
  ASSERT_TRUE(back.Save(file, &message));
  PropLibrary again;
  ASSERT_TRUE(again.Load(file, &message));
  ASSERT_EQ(again.Count(), 2);
  EXPECT_EQ(*again.At(0).NO, "0002");
  EXPECT_EQ(*again.At(1).NO, "0009");
  EXPECT_FALSE(fs::exists(file + ".tmp"));
}

TEST(PropLibrary, FieldWidthsAreKept) {
  PropLibrary lib;
  PropRecord r = Rec("0001", "一二三四五六七八九十");  // 20 GBK bytes: fits
  std::string message;
  EXPECT_EQ(lib.Insert(r, &message), 0);
  r.CN = "一二三四五六七八九十一";  // 22 bytes
  EXPECT_EQ(lib.Insert(r, &message), -1);
  EXPECT_NE(message.find("中文名"), std::string::npos);
  r = Rec("1234567", "x");  // NO is 6 wide
  EXPECT_EQ(lib.Insert(r, &message), -1);
  r = Rec("0002", "x");
  r.CP = std::string(300, '1');
  EXPECT_GE(lib.Insert(r, &message), 0);
  r.CP = std::string(301, '1');
  EXPECT_EQ(lib.Update(1, r, &message), -1);
  EXPECT_EQ(lib.At(1).CP->size(), 300u);  // unchanged
  EXPECT_EQ(pelmora::GbkWidth("℃a"), 3u);
}

TEST(PropLibrary, MissingOrDamagedFileGivesMessageAndEmptyLibrary) {
  TempDir dir;
  PropLibrary lib;
  lib.Insert(Rec("0001", "x"));
  std::string message;
  EXPECT_FALSE(lib.Load(dir.File("none.cds"), &message));
  EXPECT_EQ(lib.Count(), 0);
  EXPECT_NE(message.find("找不到"), std::string::npos);

  std::string junk = dir.File("junk.cds");
  std::ofstream(junk) << "this is not a database at all, just text that is long enough ..........";
  message.clear();
  EXPECT_FALSE(lib.Load(junk, &message));
  EXPECT_EQ(lib.Count(), 0);
  EXPECT_NE(message.find("损坏"), std::string::npos);

  // A truncated library file.
  PropLibrary full;
  for (int i = 0; i < 200; ++i) {
    PropRecord r = Rec(std::to_string(1000 + i), "物质");
    r.CP = std::string(250, '7');
    full.Insert(r);
  }
  std::string good = dir.File("good.cds");
  ASSERT_TRUE(full.Save(good, &message));
  fs::resize_file(good, fs::file_size(good) / 3);
  message.clear();
  EXPECT_FALSE(lib.Load(good, &message));
  EXPECT_EQ(lib.Count(), 0);
  EXPECT_FALSE(message.empty());

  // Saving into a folder that does not exist fails with a message.
  EXPECT_FALSE(full.Save(dir.File("no/such/dir/PropLib.cds"), &message));
  EXPECT_FALSE(message.empty());
}

TEST(PropLibrary, ShippedLibraryEvaluatesEveryText) {
  PropLibrary lib;
  std::string message;
  ASSERT_TRUE(lib.Load(kShipped, &message)) << message;
  EXPECT_GE(lib.Count(), 15);
  int models = 0, tables = 0, params = 0;
  for (const auto& r : lib.Records()) {
    TMyValues g;
    bool steam = r.CN && r.CN->find("蒸汽") != std::string::npos;
    g.AddValue("t", steam ? "150" : "20", "C", "温度");
    g.AddValue("p", steam ? "476" : "100", "kPa(A)", "绝对压力");
    for (const char* name : {"Cp", "MD", "VI", "TC", "ST", "HV", "Pc"}) {
      const auto& text = *r.Field(name);
      if (!text) continue;
      models += text->find("PRV:") != std::string::npos || text->find("VRV:") != std::string::npos;
      tables += text->find(';') != std::string::npos;
      params += text->find("PARAMS:") != std::string::npos;
      PropertyOutcome o = EvaluateProperty(name, r, g);
      EXPECT_EQ(o.kind, PropertyOutcome::Kind::Value) << *r.NO << " " << name;
      EXPECT_TRUE(std::isfinite(o.value) && o.value > 0) << *r.NO << " " << name << " " << o.value;
    }
    EXPECT_TRUE(PropLibrary::CheckRecord(r).empty());
    EXPECT_TRUE(r.SR && !r.SR->empty()) << "sources of " << *r.NO;
  }
  EXPECT_GE(models, 4);  // densities of the gases; their viscosities and conductivities are fits or tables
  EXPECT_GE(tables, 20);
  EXPECT_GE(params, 3);  // the heat capacities of CO2, O2 and H2 (ideal gas + virial residual)
}

// Reference values for liquid water at 0.1 MPa (100 °C: saturated liquid), from the
// IAPWS formulations as tabulated by the NIST Chemistry WebBook (Lemmon, McLinden and
// Friend, "Thermophysical Properties of Fluid Systems"):
//   density IAPWS-95 (Wagner & Pruss 2002), viscosity IAPWS 2008 (Huber et al. 2009),
//   thermal conductivity IAPWS 2011 (Huber et al. 2012).
TEST(PropLibrary, ShippedWaterAgreesWithIapws) {
  PropLibrary lib;
  std::string message;
  ASSERT_TRUE(lib.Load(kShipped, &message)) << message;
  int i = lib.Find("0001");
  ASSERT_GE(i, 0);
  const PropRecord& water = lib.At(i);
  ASSERT_NE(water.CN->find("水"), std::string::npos);
  struct Ref {
    const char* t;
    double rho, eta, lambda;
  };
  const Ref refs[] = {
      {"20", 998.21, 1.0016E-3, 0.5985},
      {"25", 997.05, 0.8900E-3, 0.6065},
      {"60", 983.20, 0.4665E-3, 0.6544},
      {"100", 958.35, 0.2817E-3, 0.6791},
  };
  for (const Ref& ref : refs) {
    TMyValues g;
    g.AddValue("t", ref.t, "C", "");
    g.AddValue("p", "101.325", "kPa(A)", "");
    double rho = EvaluateProperty("MD", water, g).value;
    double eta = EvaluateProperty("VI", water, g).value;
    double lambda = EvaluateProperty("TC", water, g).value;
    EXPECT_NEAR(rho / ref.rho, 1.0, 0.005) << ref.t;
    EXPECT_NEAR(eta / ref.eta, 1.0, 0.02) << ref.t;
    EXPECT_NEAR(lambda / ref.lambda, 1.0, 0.02) << ref.t;
  }
}

TEST(Commands, EvalPrintsValueAndCode) {
  std::ostringstream out;
  EXPECT_EQ(RunEvalCommand("2*t+p", {{"t", "20"}, {"p", "100"}}, out), 0);
  EXPECT_EQ(out.str(), "value: 140\nerror: 0 结果正确\n");
  out.str("");
  EXPECT_EQ(RunEvalCommand("ln(0)/0", {}, out), 1);
  EXPECT_EQ(out.str(), "value: 0\nerror: 7 LN(x) or LOG(x) for x<=0 -> complex number\n");
  out.str("");
  EXPECT_EQ(RunEvalCommand(std::string(300, '1'), {}, out), 2);
  EXPECT_EQ(out.str(), "Range check error\n");
}

TEST(Commands, PropsComputesTheDialogSequence) {
  std::ostringstream out;
  EXPECT_EQ(RunPropsCommand(kShipped, "0001", "20", "100", out), 0);
  std::string s = out.str();
  EXPECT_NE(s.find("密度 MD: 998.21 kg/m3"), std::string::npos) << s;
  EXPECT_NE(s.find("比热 Cp: 4184.1 J/(kg.K)"), std::string::npos) << s;
  EXPECT_NE(s.find("临界压力 Pc: 22064000 Pa"), std::string::npos) << s;
  // Expansion coefficient ln(rho(20)/rho(21)), about 2.1E-4 1/K for water.
  size_t at = s.find("膨胀系数 Vexpk: ");
  ASSERT_NE(at, std::string::npos);
  double beta = std::stod(s.substr(at + std::string("膨胀系数 Vexpk: ").size()));
  EXPECT_NEAR(beta, 2.07E-4, 0.1E-4);

  out.str("");
  EXPECT_EQ(RunPropsCommand(kShipped, "9999", "20", "100", out), 2);
  out.str("");
  EXPECT_EQ(RunPropsCommand("/nonexistent/PropLib.cds", "0001", "20", "100", out), 3);
  EXPECT_NE(out.str().find("找不到"), std::string::npos);
  out.str("");
  EXPECT_EQ(RunPropsCommand(kShipped, "0001", "abc", "100", out), 1);
  EXPECT_NE(out.str().find("'abc' is not a valid floating point value"), std::string::npos);
}

TEST(Commands, PropsStopsAtAnEmptyDensity) {
  TempDir dir;
  PropLibrary lib;
  PropRecord r = Rec("0001", "无密度");
  r.CP = "4183";
  r.VI = "1E-3";
  lib.Insert(r);
  std::string file = dir.File("PropLib.cds"), message;
  ASSERT_TRUE(lib.Save(file, &message));
  std::ostringstream out;
  EXPECT_EQ(RunPropsCommand(file, "0001", "20", "100", out), 1);
  EXPECT_NE(out.str().find("比热 Cp: 4183"), std::string::npos);
  EXPECT_NE(out.str().find("警告:“密度”是空白,请补充."), std::string::npos);
  EXPECT_EQ(out.str().find("黏度"), std::string::npos);  // not computed

  out.str("");
  EXPECT_EQ(RunPropsCommand(file, "0001", "", "100", out), 0);
  std::string s = out.str();
  // One temperature message for each of Cp, VI, TC, ST, HV and Pc; no density step.
  size_t count = 0;
  for (size_t at = s.find("请指定温度！"); at != std::string::npos; at = s.find("请指定温度！", at + 1)) ++count;
  EXPECT_EQ(count, 6u);
}

// The property dialog driven from pelmora-calc, on the shipped library and example.
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "../cli/CliInProcess.h"
#include "SimpTestUtil.h"
#include "cli/CliRunner.h"
#include "fields/NumberFormat.h"

namespace pelmora {
namespace {

using testing::Cli;
using testing::CliResult;

// The JSON object of one component, as printed on its own line (the first one found
// after `from`).
std::string ComponentLine(const std::string& json, const std::string& name, size_t from = 0) {
  size_t p = json.find("\"" + name + "\": {", from);
  if (p == std::string::npos) return {};
  return json.substr(p, json.find('\n', p) - p);
}

std::string Value(const std::string& line, const std::string& key) {
  size_t p = line.find("\"" + key + "\": ");
  if (p == std::string::npos) return {};
  p += key.size() + 4;
  if (line[p] == '"') return line.substr(p + 1, line.find('"', p + 1) - p - 1);
  return line.substr(p, line.find_first_of(",}", p) - p);
}

// The SI value of a value field of the calculation window.
double Si(const std::string& json, const std::string& name) {
  std::string line = ComponentLine(json, name);
  return StrToFloat(Value(line, "text")) * StrToFloat(Value(line, "exchange"));
}

class CliDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("PELMORA_PROGRAM_DIR", PELMORA_PROGRAM_DIR, 1);
    setenv("XDG_DATA_HOME", (scratch.Root() + "xdg").c_str(), 1);
  }
  void TearDown() override { unsetenv("XDG_DATA_HOME"); }
  testing_simp::ScratchDir scratch;
  const std::string example = std::string(PELMORA_PROGRAM_DIR) + "/examples/storage-tank-hot-water.pmf";
};

TEST_F(CliDialog, WaterAtSixtyDegreesIntoTheTubeSide) {
  CliResult r = Cli({example, "--click", "SBP2", "--record", "0001", "--set", "t=60", "--click", "BBCal", "--click",
                     "BBOK", "--recalc", "--json"});
  ASSERT_EQ(r.code, 0) << r.err;
  // Water at 60 °C (IAPWS-95, IAPWS 2008 and 2011 at 0.1 MPa, as tabulated by NIST):
  // cp 4185 J/(kg·K), ρ 983.2 kg/m³, μ 0.4665 mPa·s, λ 0.6544 W/(m·K).
  EXPECT_NEAR(Si(r.out, "CipD"), 4185, 4185 * 0.005);
  EXPECT_NEAR(Si(r.out, "DeniD"), 983.2, 983.2 * 0.005);
  EXPECT_NEAR(Si(r.out, "ViiD"), 0.4665e-3, 0.4665e-3 * 0.02);
  EXPECT_NEAR(Si(r.out, "LdiD"), 0.6544, 0.6544 * 0.02);
  // The dialog is closed and told what it did.
  size_t forms = r.out.find("\"forms\": {\"TFormSimpPL\": ");
  ASSERT_NE(forms, std::string::npos);
  std::string dialog = r.out.substr(forms, r.out.find("\"components\"", forms) - forms);
  EXPECT_NE(dialog.find("\"open\": false"), std::string::npos);
  EXPECT_NE(dialog.find("\"caller\": \"SBP2\""), std::string::npos);
  EXPECT_NE(dialog.find("{\"name\": \"t\", \"value\": \"60\", \"unit\": \"C\", \"note\": \"温度\"}"),
            std::string::npos);
  EXPECT_NE(dialog.find("\"NO\": \"0001\""), std::string::npos);
  EXPECT_NE(r.out.find("\"messages\": []"), std::string::npos) << r.err;
}

TEST_F(CliDialog, DialogComponentsInJsonAndThePasswordNeverShown) {
  CliResult r = Cli({"--click", "SBP1", "--set", "MaskEdit1=velmast", "--click", "BitBtn1", "--json"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out.find("velmast"), std::string::npos);
  size_t forms = r.out.find("\"forms\"");
  ASSERT_NE(forms, std::string::npos);
  EXPECT_EQ(Value(ComponentLine(r.out, "MaskEdit1", forms), "text"), "*******");
  EXPECT_EQ(ComponentLine(r.out, "TSManP", forms).find("\"visible\": false"), std::string::npos);
  EXPECT_NE(ComponentLine(r.out, "DBNavigator1.Insert", forms).find("\"hint\": \"插入\""), std::string::npos);
  EXPECT_NE(r.out.find("\"width\": 945"), std::string::npos);
  EXPECT_NE(r.out.find("\"open\": true"), std::string::npos);
  EXPECT_NE(ComponentLine(r.out, "DBGrid1", forms).find("\"rows\": [\"0001\\t"), std::string::npos);

  // The dialog's components only while it is open; the grid rows by their names.
  EXPECT_EQ(Cli({"--record", "0001"}).code, 2);
  EXPECT_EQ(Cli({"--click", "SBP2", "--set", "q=1"}).code, 2);
  EXPECT_EQ(Cli({"--click", "SBP2", "--click", "BBSaveSys"}).code, 2);  // the page is locked
  // A record that is not in the library is a wrong name, as an unknown component is.
  CliResult missing = Cli({"--click", "SBP2", "--record", "999999"});
  EXPECT_EQ(missing.code, 2);
}

TEST_F(CliDialog, MaintenanceAndSaveFromTheCommandLine) {
  // A copy of the shipped program folder, so that the build's library stays as it is.
  std::string bin = scratch.Root() + "bin/";
  std::filesystem::create_directories(bin);
  for (const char* f : {"PropLib.cds", "Piples.mdb"})
    std::filesystem::copy_file(std::string(PELMORA_PROGRAM_DIR) + "/" + f, bin + f);
  setenv("PELMORA_PROGRAM_DIR", bin.c_str(), 1);
  CliResult r = Cli({"--click", "SBP2",
                     "--set",   "MaskEdit1=velmast",
                     "--click", "BitBtn1",
                     "--click", "DBNavigator1.Insert",
                     "--set",   "DBEditNO=9000",
                     "--set",   "DBEditCN=导热油(液)",
                     "--set",   "DBEditCP=1800+3.5*t",
                     "--set",   "DBEditMD=900",
                     "--click", "DBNavigator1.Post",
                     "--click", "BBSaveSys",
                     "--json"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("物性库已保存到 " + bin + "PropLib.cds"), std::string::npos);
  // A second run finds it and computes with it.
  r = Cli({"--click", "SBP2", "--record", "9000", "--set", "t=100", "--click", "BBCal", "--click", "BBOK", "--json"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_DOUBLE_EQ(Si(r.out, "CipD"), 2150);
  // Deleting asks; without --yes the answer is No.
  r = Cli({"--click", "SBP2", "--set", "MaskEdit1=velmast", "--click", "BitBtn1", "--record", "9000", "--click",
           "DBNavigator1.Delete", "--json"});
  EXPECT_NE(r.out.find("确定删除记录9000 导热油(液)？"), std::string::npos);
  EXPECT_NE(r.out.find("\"libraryModified\": false"), std::string::npos);
}

}  // namespace
}  // namespace pelmora

// pelmora-calc with pick lists and the tube page: answers given before the click, the
// pick lists in the JSON messages, and a coil sized with a tube taken from the page.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "SelectTestUtil.h"
#include "cli/CliRunner.h"
#include "select/PipeCatalogue.h"

namespace pelmora {
namespace {

using testing_select::ScratchDir;

struct CliRun {
  int code = 0;
  std::string out, err;
};

class SelectCli : public ::testing::Test {
 protected:
  ScratchDir program, user;
  void SetUp() override {
    std::filesystem::copy_file(testing_select::ShippedCatalogue(), program / "Piples.mdb");
    setenv("PELMORA_PROGRAM_DIR", program.Folder().c_str(), 1);
    setenv("XDG_DATA_HOME", user.Folder().c_str(), 1);
  }
  void TearDown() override { setenv("PELMORA_PROGRAM_DIR", PELMORA_PROGRAM_DIR, 1); }
  static CliRun Run(std::vector<std::string> args) {
    std::ostringstream out, err;
    CliRun r;
    r.code = RunCli(args, out, err);
    r.out = out.str();
    r.err = err.str();
    return r;
  }
  static std::string Example() { return std::string(PELMORA_PROGRAM_DIR) + "/examples/agitated-tank.pmf"; }
};

TEST_F(SelectCli, PickAnswersAndTheirJson) {
  CliRun r = Run({"--set", "DspD=2.0", "--click", "SBP3", "--pick-row", "5", "--click", "SBP3", "--pick", "0.05",
                  "--click", "SBDLT", "--json"});
  ASSERT_EQ(r.code, 0) << r.err;
  // First list cancelled (no answer given): selected row 3, input "2.0".
  EXPECT_NE(
      r.out.find("{\"pickList\": {\"caption\": \"螺距选择\", \"prompt\": \"螺距和外管径之比\", \"rows\": [{\"no\": 1, "
                 "\"name\": \"空隙=0\", \"value\": \"1.0\", \"unit\": \"-\"}"),
      std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("\"selectedRow\": 3, \"input\": \"2.0\", \"confirmed\": false"), std::string::npos);
  EXPECT_NE(r.out.find("\"selectedRow\": 5, \"input\": \"3.0\", \"confirmed\": true"), std::string::npos);
  EXPECT_NE(r.out.find("\"caption\": \"管道绝对粗糟度选择\""), std::string::npos);
  EXPECT_NE(r.out.find("\"DspD\": {\"enabled\": true, \"text\": \"3.0\""), std::string::npos);
  EXPECT_NE(r.out.find("\"EiD\": {\"enabled\": true, \"text\": \"5E-5\""), std::string::npos) << r.out;
}

TEST_F(SelectCli, ExpansionRowAndTubeFromThePageSizeTheCoil) {
  CliRun before = Run({Example(), "--json"});
  CliRun r = Run({Example(), "--pick-row", "2", "--click", "SBP11", "--click", "SBDi", "--select", "DBGPiples=25×2.5",
                  "--click", "Button3", "--recalc", "--json"});
  ASSERT_EQ(r.code, 0) << r.err;
  const size_t bto = r.out.find("\"BtoD\": {");
  ASSERT_NE(bto, std::string::npos);
  EXPECT_NE(r.out.substr(bto, 80).find("\"text\": \"0.001101\""), std::string::npos) << "row 2 (ethanol) in 1/K";
  EXPECT_NE(r.out.find("\"activePage\": \"TabSheet2\""), std::string::npos);
  // The example shows diameters in mm: 25 and 20 from the size text "25×2.5".
  EXPECT_NE(r.out.find("\"dioD\": {\"enabled\": true, \"text\": \"25\""), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\"diiD\": {\"enabled\": true, \"text\": \"20\""), std::string::npos);
  auto area = [](const std::string& json) {
    size_t p = json.find("\"AtD\": {\"enabled\": true, \"text\": \"");
    return p == std::string::npos ? std::string() : json.substr(p + 34, 12);
  };
  EXPECT_FALSE(area(r.out).empty());
  EXPECT_NE(area(r.out), area(before.out)) << "the coil is sized again with the new tube";
}

TEST_F(SelectCli, MaintenanceAndBadRows) {
  PipeCatalogue shipped;
  ASSERT_TRUE(shipped.Load(testing_select::ShippedCatalogue(), nullptr));
  int lastId = 0;
  for (const PipeRow& p : shipped.pipes) lastId = std::max(lastId, p.id);
  // The maintenance run leaves the last row current.
  CliRun r = Run({"--click", "Button2", "--json"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("\"DBGPiples\": {\"enabled\": true, \"current\": " + std::to_string(shipped.pipes.size() - 1)),
            std::string::npos)
      << r.out.substr(0, 200);
  // An own size takes the next number and shows its wall and that it is the user's.
  CliRun own = Run({"--pick", "30x2.2", "--click", "BPipeAdd", "--json"});
  ASSERT_EQ(own.code, 0) << own.err;
  EXPECT_NE(own.out.find("\"" + std::to_string(lastId + 1) + "\\t30×2.2\\t30\\t25.6\\t2.2\\t自定规格\""),
            std::string::npos);
  // A row by number past the end, or by a size the series does not hold, is a usage error.
  CliRun bad = Run({"--select", "DBGPiples=999"});
  EXPECT_EQ(bad.code, 2);
  CliRun noSize = Run({"--select", "DBGPiples=26×2.5"});
  EXPECT_EQ(noSize.code, 2);
  EXPECT_NE(noSize.err.find("no row 26×2.5"), std::string::npos) << noSize.err;
  CliRun noRow = Run({"--pick-row", "9", "--click", "SBP3", "--json"});
  EXPECT_NE(noRow.err.find("no row 9"), std::string::npos);
  EXPECT_NE(noRow.out.find("\"confirmed\": false"), std::string::npos);
}

}  // namespace
}  // namespace pelmora

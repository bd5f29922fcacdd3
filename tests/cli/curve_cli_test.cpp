// pelmora-calc pressing buttons and writing the time-temperature chart, as a batch
// script of an engineer does: the curve's points in --json and a readable SVG chart.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/CliRunner.h"

namespace pelmora {
namespace {

std::vector<std::string> CaseArgs(const std::string& name) {
  std::ifstream in(std::string(PELMORA_SOURCE_DIR) + "/data/cases/" + name + ".args");
  std::vector<std::string> args;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    const size_t sp = line.find(' ');
    args.push_back(line.substr(0, sp));
    if (sp != std::string::npos) args.push_back(line.substr(sp + 1));
  }
  return args;
}

int RunPelmora(std::vector<std::string> args, std::string& out, std::string& err) {
  std::ostringstream o, e;
  const int code = RunCli(args, o, e);
  out = o.str();
  err = e.str();
  return code;
}

size_t Count(const std::string& s, const std::string& what) {
  size_t n = 0;
  for (size_t p = s.find(what); p != std::string::npos; p = s.find(what, p + 1)) ++n;
  return n;
}

TEST(CliCurve, ClickAndCurveWriteTheChartAndThePoints) {
  const std::string svgPath = "cli_curve.svg";
  std::remove(svgPath.c_str());
  auto args = CaseArgs("batch_curve");
  ASSERT_FALSE(args.empty());
  for (const char* a : {"--click", "SBTCurve", "--curve", "cli_curve.svg", "--json"}) args.push_back(a);
  std::string out, err;
  ASSERT_EQ(RunPelmora(args, out, err), 0) << err;
  EXPECT_NE(out.find("\"curve\": {\"intervals\": 10, \"timeStep\": 720, \"points\": [{\"time\": 0, \"tank\": 20,"),
            std::string::npos);
  EXPECT_EQ(Count(out, "\"tubeOut\""), 11u);
  EXPECT_NE(out.find("{\"time\": 7200, \"tank\": 6"), std::string::npos);  // about 60 °C at the end
  // The inputs the curve stepped are back.
  EXPECT_NE(out.find("\"TaoD\": {\"enabled\": true"), std::string::npos);

  std::ifstream in(svgPath);
  ASSERT_TRUE(in) << "no chart written";
  std::stringstream svg;
  svg << in.rdbuf();
  const std::string s = svg.str();
  for (const char* t :
       {">时间—温度曲线<", ">-管程出口温度<", ">-槽罐温度<", ">Times / S<", ">Temperature / ℃<", ">7200<"})
    EXPECT_NE(s.find(t), std::string::npos) << t;
  EXPECT_EQ(Count(s, "<ellipse"), 10u + 1);  // ten circles and the one in the legend
  EXPECT_NE(s.find("stroke=\"#ff0000\""), std::string::npos);
  EXPECT_NE(s.find("stroke=\"#0000ff\""), std::string::npos);
}

TEST(CliCurve, NoChartForAComputedMassFlow) {
  auto args = CaseArgs("storage_tank");  // the mass flow is solved there
  for (const char* a : {"--curve", "cli_none.svg"}) args.push_back(a);
  std::string out, err;
  EXPECT_EQ(RunPelmora(args, out, err), 1);
  EXPECT_NE(err.find("管程质量流量必须为自由（输入）变量！"), std::string::npos);
  EXPECT_NE(err.find("没有可绘制的时间-温度曲线"), std::string::npos);
}

TEST(CliCurve, ClickNamesOnlyButtons) {
  std::string out, err;
  EXPECT_EQ(RunPelmora({"--click", "MaoD"}, out, err), 2);
  EXPECT_EQ(RunPelmora({"--click", "NoSuchButton"}, out, err), 2);
  EXPECT_EQ(
      RunPelmora({"--set", "WiD=1", "--set", "DeniD=1000", "--set", "diiD=0.02", "--click", "SBn", "--json"}, out, err),
      0);
  EXPECT_NE(out.find("\"nD\": {\"enabled\": true, \"text\": \"2\""), std::string::npos)
      << out.substr(out.find("\"nD\""), 80);
}

}  // namespace
}  // namespace pelmora

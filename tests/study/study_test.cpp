// Parameter studies and design checks, driven as an engineer drives them: through
// pelmora-calc on the shipped example projects and on built cases.
#include <gtest/gtest.h>

#include <algorithm>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>

#include "../calc/CaseFiles.h"
#include "../cli/CliInProcess.h"
#include "../common/CliOutput.h"
#include "../common/ScratchFolder.h"
#include "../common/ShippedFiles.h"
#include "cli/CliRunner.h"
#include "project/SaveFormData.h"
#include "project/TextFile.h"
#include "report/ReportBuilder.h"
#include "study/Study.h"
#include "study/StudyDefaults.h"

namespace pelmora {
namespace {

using testing::Cli;
using testing::CliResult;
using testing::Example;
using testing::ParseCsv;
using testing::Shown;

const std::vector<std::string> kOutputs = {"AtD", "LtD", "TTaD", "KTaD", "WiD", "DpiD"};

// ---------------------------------------------------------------- the study

TEST(Study, SweepOfHeatingTimeEqualsSettingItByHand) {
  const std::string project = Example("storage-tank-hot-water");
  CliResult r = Cli({project, "--sweep", "TaoD=2:6:5", "--output", "AtD,LtD,TTaD,KTaD,WiD,DpiD"});
  ASSERT_EQ(r.code, 0) << r.err;
  auto table = ParseCsv(r.out);
  ASSERT_EQ(table.size(), 6u) << r.out;
  EXPECT_EQ(table[0].front(), "加热时间(hr)");
  EXPECT_EQ(table[0][1], "理论面积(m2)");
  EXPECT_EQ(table[0].back(), kStudyMessageHeader);
  EXPECT_EQ(table[0][table[0].size() - 2], kStudyChecksHeader);
  const std::vector<std::string> values = {"2", "3", "4", "5", "6"};
  std::set<std::string> areas;
  for (size_t i = 0; i < values.size(); ++i) {
    const auto& row = table[i + 1];
    ASSERT_EQ(row.size(), kOutputs.size() + 3);
    EXPECT_EQ(row[0], values[i]);
    EXPECT_EQ(row.back(), "") << row.back();
    CliResult hand = Cli({project, "--set", "TaoD=" + values[i], "--recalc", "--json"});
    ASSERT_EQ(hand.code, 0) << hand.err;
    for (size_t k = 0; k < kOutputs.size(); ++k)
      EXPECT_EQ(row[k + 1], Shown(hand.out, kOutputs[k])) << values[i] << " " << kOutputs[k];
    areas.insert(row[1]);
  }
  EXPECT_EQ(areas.size(), values.size());  // the area does change with the time
}

// The column 检查: a point whose run raised a warning says so with the count per level
// (the most severe first); hints alone leave it empty. One tube carrying the whole flow
// of the hot-water example runs far too fast; five share it within the usual velocity and
// the pressure drop of the installed length.
TEST(Study, TheChecksColumnMarksPointsWithWarnings) {
  CliResult r = Cli({Example("storage-tank-hot-water"), "--sweep", "nD=1:5:5", "--output", "UiD"});
  ASSERT_EQ(r.code, 0) << r.err;
  const auto table = ParseCsv(r.out);
  ASSERT_EQ(table.size(), 6u) << r.out;
  EXPECT_EQ(table[0], (std::vector<std::string>{"管根数(根)", "流速(m/s)", kStudyChecksHeader, kStudyMessageHeader}));
  EXPECT_EQ(table[1][2].rfind("警告 ", 0), 0u) << table[1][2];
  EXPECT_EQ(table[5][2], "");

  ScriptedPort port;
  PelmoraApp app(&port);
  StudyRow row;
  row.checks = {{DesignCheck::Level::Hint, "UiD", "提示一"},
                {DesignCheck::Level::Warning, "UiD", "流速 4.2 m/s 超出 0.5～3 m/s"},
                {DesignCheck::Level::Warning, "DpiD", "压力降过大"}};
  EXPECT_EQ(StudyCheckCell(row), "警告 2");
  EXPECT_EQ(StudyCheckList(app.form, row), "警告  流速：流速 4.2 m/s 超出 0.5～3 m/s\n警告  管程压力降：压力降过大");
  row.checks.resize(1);
  EXPECT_EQ(StudyCheckCell(row), "");
  EXPECT_EQ(StudyCheckList(app.form, row), "");
}

// What a study offers before the user chooses, on the hot-water tank (4 h of heating,
// water entering the tubes at 90 °C): the heating time on the first row from 2 to 6 h
// in 11 points, the inlet temperature on the second from 45 to 135 °C in 3 curves; a
// zero or a text that is no number offers no range. --sweep without --output records
// the results the dialog ticks: its columns are theirs, in that order.
TEST(Study, TheStartOffersHeatingTimeAndInletTemperatureAroundTheProject) {
  ScriptedPort port;
  PelmoraApp app(&port);
  ASSERT_TRUE(app.Run([&] { app.project.OpenAtStartup(Example("storage-tank-hot-water")); }));
  std::vector<std::string> offered;
  for (const EditD* e : StudyInputFields(app.form)) offered.push_back(e->Name());
  const int first = PreselectedStudyInput(offered, 0), second = PreselectedStudyInput(offered, 1);
  ASSERT_GE(first, 0);
  ASSERT_GE(second, 0);
  EXPECT_EQ(offered[static_cast<size_t>(first)], "TaoD");
  EXPECT_EQ(offered[static_cast<size_t>(second)], "Ti1D");
  EXPECT_EQ(StudyStartRange(app.form.TaoD->Text()), std::make_pair(std::string("2"), std::string("6")));
  EXPECT_EQ(StudyStartRange(app.form.Ti1D->Text()), std::make_pair(std::string("45"), std::string("135")));
  EXPECT_EQ(kStudyStartPoints[0], 11);
  EXPECT_EQ(kStudyStartPoints[1], 3);
  EXPECT_FALSE(StudyStartRange("0"));
  EXPECT_FALSE(StudyStartRange("abc"));
  EXPECT_FALSE(StudyStartRange(""));
  // A window without the preferred fields offers its first two.
  EXPECT_EQ(PreselectedStudyInput({"A", "B", "C"}, 0), 0);
  EXPECT_EQ(PreselectedStudyInput({"A", "B", "C"}, 1), 1);
  EXPECT_EQ(PreselectedStudyInput({}, 0), -1);

  CliResult r = Cli({Example("storage-tank-hot-water"), "--sweep", "TaoD=2:6:2"});
  ASSERT_EQ(r.code, 0) << r.err;
  const auto table = ParseCsv(r.out);
  ASSERT_FALSE(table.empty());
  std::vector<std::string> columns(table[0].begin() + 1, table[0].end() - 2);
  std::vector<std::string> usual;
  for (const std::string& n : DefaultStudyOutputs()) usual.push_back(StudyHeader(app.form, n));
  EXPECT_EQ(columns, usual);
}

TEST(Study, TwoInputsMakeAGridAndThreadsAgreeWithOneCopy) {
  ScriptedPort port;
  PelmoraApp app(&port);
  ASSERT_TRUE(app.Run([&] { app.project.OpenAtStartup(Example("storage-tank-hot-water")); }));
  StudyRequest req;
  // 80 points: enough for two workers (one per 32 points at most).
  req.inputs = {{"TaoD", 2, 6, 8, false}, {"Ti1D", 80, 95, 10, false}};
  req.outputs = kOutputs;
  req.threads = 1;
  StudyResult one = RunStudy(app, req);
  req.threads = 2;
  StudyResult two = RunStudy(app, req);
  ASSERT_EQ(one.rows.size(), 80u);
  EXPECT_EQ(one.headers.size(), 2 + kOutputs.size() + 2);
  for (size_t i = 0; i < one.rows.size(); ++i) {
    EXPECT_EQ(one.rows[i].inputs, two.rows[i].inputs);
    EXPECT_EQ(one.rows[i].outputs, two.rows[i].outputs) << i;
    EXPECT_TRUE(one.rows[i].ok) << one.rows[i].message;
  }
  EXPECT_EQ(one.rows[10].inputs, (std::vector<std::string>{"2.571429", "80"}));
  EXPECT_EQ(one.rows[15].inputs, (std::vector<std::string>{"2.571429", "88.33333"}));

  // With the automatic calculation switched off in the window the points are still computed.
  app.form.SBAutoRun->SetDown(true);
  req.threads = 1;
  StudyResult off = RunStudy(app, req);
  for (size_t i = 0; i < one.rows.size(); ++i) EXPECT_EQ(off.rows[i].outputs, one.rows[i].outputs) << i;
  EXPECT_TRUE(app.form.SBAutoRun->Down());
}

TEST(Study, AFailingPointKeepsItsRowAndMessage) {
  // Hot water entering at 10 C cannot heat the tank; the run stops with a message and
  // the study goes on to the next point.
  const std::string project = Example("storage-tank-hot-water");
  CliResult r = Cli({project, "--sweep", "Ti1D=10:90:3", "--output", "AtD,WiD"});
  ASSERT_EQ(r.code, 0) << r.err;
  auto table = ParseCsv(r.out);
  ASSERT_EQ(table.size(), 4u) << r.out;
  EXPECT_EQ(table[1][0], "10");
  EXPECT_EQ(table[1][1], "");
  EXPECT_EQ(table[1][2], "");
  EXPECT_FALSE(table[1].back().empty()) << r.out;
  EXPECT_EQ(table[3][0], "90");
  EXPECT_FALSE(table[3][1].empty()) << r.out;
  EXPECT_EQ(table[3].back(), "");
}

TEST(Study, TheProjectIsNotTouched) {
  ScriptedPort port;
  PelmoraApp app(&port);
  ASSERT_TRUE(app.Run([&] { app.project.OpenAtStartup(Example("agitated-tank")); }));
  const auto before = CollectFormRecords(app.form);
  const bool modified = app.form.ProjectModified();
  StudyRequest req;
  req.inputs = {{"rvD", 0.5, 5, 4, true}};
  req.outputs = kOutputs;
  StudyResult res = RunStudy(app, req);
  EXPECT_EQ(res.rows.size(), 4u);
  EXPECT_EQ(CollectFormRecords(app.form), before);
  EXPECT_EQ(app.form.ProjectModified(), modified);
  EXPECT_TRUE(port.Messages().empty());
}

TEST(Study, ACopyGoesBackToTheProjectAfterEveryPoint) {
  ScriptedPort port;
  PelmoraApp app(&port);
  ASSERT_TRUE(app.Run([&] { app.project.OpenAtStartup(Example("two-stream-vessel")); }));
  const auto project = CollectFormRecords(app.form);
  StudyCopy copy(app);
  EXPECT_EQ(CollectFormRecords(copy.App().form), project);
  // A good point, a failing one (the run stops half way), a good one again.
  StudyRow first = copy.Point({{"Ti1D", "100"}}, kOutputs);
  copy.Reset();
  EXPECT_EQ(CollectFormRecords(copy.App().form), project);
  StudyRow failed = copy.Point({{"Ti1D", "abc"}}, kOutputs);
  EXPECT_FALSE(failed.ok);
  EXPECT_FALSE(failed.message.empty());
  copy.Reset();
  EXPECT_EQ(CollectFormRecords(copy.App().form), project);
  EXPECT_EQ(copy.Point({{"Ti1D", "100"}}, kOutputs).outputs, first.outputs);
}

TEST(Study, ValuesAndRequestsAreChecked) {
  EXPECT_EQ(StudyValues({"x", 1, 100, 3, true}), (std::vector<std::string>{"1", "10", "100"}));
  EXPECT_EQ(StudyValues({"x", 0, 1, 5, false}), (std::vector<std::string>{"0", "0.25", "0.5", "0.75", "1"}));
  EXPECT_THROW(StudyValues({"x", 0, 10, 3, true}), std::invalid_argument);
  EXPECT_THROW(StudyValues({"x", 0, 10, 0, false}), std::invalid_argument);
  EXPECT_THROW(ParseSweep("TaoD=1:2"), std::invalid_argument);
  EXPECT_THROW(ParseSweep("TaoD=1:x:3"), std::invalid_argument);
  StudyInput in = ParseSweep("TaoD=1.5:3e1:7");
  EXPECT_EQ(in.field, "TaoD");
  EXPECT_EQ(in.from, 1.5);
  EXPECT_EQ(in.to, 30);
  EXPECT_EQ(in.points, 7);

  // A result field cannot be swept; the reason names it.
  CliResult r = Cli({Example("storage-tank-hot-water"), "--sweep", "AtD=1:2:3"});
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.err.find("理论面积"), std::string::npos) << r.err;
  EXPECT_EQ(Cli({"--csv", "x.csv"}).code, 2);
}

TEST(Study, CsvOpensWithItsChineseHeaders) {
  testing::ScratchFolder scratch;
  const std::string dir = scratch.path();
  const std::string csv = std::string(dir) + "/研究.csv";
  CliResult r = Cli({Example("storage-tank-hot-water"), "--sweep", "TaoD=2:6:3", "--csv", csv});
  ASSERT_EQ(r.code, 0) << r.err;
  std::ifstream in(csv, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), {});
  ASSERT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
  const std::string script = std::string(dir) + "/read.py";
  std::ofstream(script) << "import csv,sys\n"
                           "rows=list(csv.reader(open(sys.argv[1],encoding='utf-8-sig',newline='')))\n"
                           "print(len(rows)); print('|'.join(rows[0])); print(rows[2][0])\n";
  FILE* p = popen(("python3 '" + script + "' '" + csv + "'").c_str(), "r");
  ASSERT_NE(p, nullptr);
  std::string got;
  char buf[512];
  while (fgets(buf, sizeof buf, p)) got += buf;
  EXPECT_EQ(pclose(p), 0);
  EXPECT_EQ(got,
            "4\n加热时间(hr)|理论面积(m2)|理论单管长(m)|时均温差(℃)|时均传热系数(W/(m2.K))|质量流量(kg/s)|"
            "管程压力降(N/m2)|检查|计算信息\n4\n");
}

// ---------------------------------------------------------------- design checks

struct Checked {
  std::string json;
  std::vector<std::string> texts;  // "level field text"
};

Checked RunChecks(std::vector<std::string> args) {
  args.push_back("--json");
  CliResult r = Cli(args);
  Checked c{r.out, {}};
  size_t p = r.out.find("\"checks\": [");
  if (p == std::string::npos) return c;
  const std::string list = r.out.substr(p, r.out.find("],\n", p) - p);
  for (size_t q = list.find("{\"level\""); q != std::string::npos; q = list.find("{\"level\"", q + 1))
    c.texts.push_back(list.substr(q, list.find('}', q) - q));
  return c;
}

bool Has(const Checked& c, const std::string& a, const std::string& b = "") {
  for (const auto& t : c.texts)
    if (t.find(a) != std::string::npos && t.find(b) != std::string::npos) return true;
  return false;
}

std::vector<std::string> StorageTank(std::vector<std::string> more) {
  auto args = testing_cases::CaseArgs("storage_tank");
  // The case ends with its recalculation; changes go before it.
  args.pop_back();
  args.insert(args.end(), more.begin(), more.end());
  args.push_back("--recalc");
  return args;
}

TEST(Checks, ADesignInsideAllRangesGivesNone) {
  // Five tubes instead of three: 1.08 m/s and 19.8 kPa over the installed 29.4 m per tube.
  Checked c = RunChecks(StorageTank({"--set", "nD=5"}));
  EXPECT_NE(c.json.find("\"checks\": []"), std::string::npos) << c.json.substr(c.json.find("\"checks\""), 600);
}

TEST(Checks, FastFlowWarnsOfVelocityAndPressureDrop) {
  // One tube of 26 mm carrying the whole hot-water flow instead of three: W = 2.779 kg/s
  // (the tank's 232 kW plus its loss, over 20 K of water), u = 4 W / (pi rho di^2)
  // = 4 x 2.779 / (pi x 972 x 0.026^2) = 5.38 m/s.
  Checked c = RunChecks(StorageTank({"--set", "nD=1"}));
  EXPECT_TRUE(Has(c, "\"警告\"", "\"UiD\"")) << c.json.substr(c.json.find("\"checks\""), 1500);
  EXPECT_TRUE(Has(c, "管内液体流速 5.384 m/s，高于常用范围 0.5–3 m/s"));
  EXPECT_TRUE(Has(c, "\"DpiD\"", "kPa，高于粘度低于 1 mPa·s 的液体常用允许值约 35 kPa"));
  // Three times the length in one tube: 54 turns of the 1.2 m coil no longer fit the 3 m vessel.
  EXPECT_TRUE(Has(c, "\"pHD\"", "盘管高度 3.444 m 加管径 0.032 m，超过容器高度 3 m"));
}

TEST(Checks, SlowFlowIsOutsideTheTubeCorrelation) {
  // Forty parallel tubes: Re = 4 W / (pi n mu di) just under 10 000, 0.13 m/s.
  Checked c = RunChecks(StorageTank({"--set", "nD=40"}));
  EXPECT_TRUE(Has(c, "\"kiD\"", "管内 Re = 9719，处于过渡区；Dittus-Boelter"))
      << c.json.substr(c.json.find("\"checks\""), 1500);
  EXPECT_TRUE(Has(c, "\"UiD\"", "0.1346 m/s，低于常用范围"));
}

TEST(Checks, ALowCorrectionFactorIsNamedWithItsValue) {
  // Two streams with the tube outlet (38 C) close to the vessel outlet (40 C): one shell
  // pass gives F = 0.77.
  auto args = testing_cases::CaseArgs("two_stream");
  args.pop_back();
  args.insert(args.end(), {"--set", "Ti2D=38", "--recalc"});
  Checked c = RunChecks(args);
  EXPECT_TRUE(Has(c, "\"警告\", \"field\": \"CdtD\"", "温差校正系数<0.8，如可能请调整工艺数据!（F = 0.7702"))
      << ::testing::PrintToString(c.texts);
  EXPECT_EQ(Shown(c.json, "CdtD"), "0.7702");
}

TEST(Checks, ShippedExamplesAndTheReport) {
  for (const char* name : {"storage-tank-hot-water", "storage-tank-steam", "agitated-tank", "constant-temperature-bath",
                           "two-stream-vessel"}) {
    Checked c = RunChecks({Example(name), "--recalc"});
    for (const auto& t : c.texts) EXPECT_NE(t.find_first_of("0123456789"), std::string::npos) << name << t;
  }
  // The agitated tank: impeller Re = d^2 N rho / mu beyond the experiments, and the
  // tube-side pressure drop above the usual allowance for liquids.
  Checked agitated = RunChecks({Example("agitated-tank"), "--recalc"});
  EXPECT_TRUE(Has(agitated, "\"提示\", \"field\": \"koD\"", "搅拌雷诺数 Re = 1465108，超出 Chilton-Drew-Jebens"))
      << ::testing::PrintToString(agitated.texts);
  EXPECT_TRUE(Has(agitated, "\"警告\", \"field\": \"DpiD\"", "管程压力降 126.2 kPa"));
  Checked twoStreams = RunChecks({Example("two-stream-vessel"), "--recalc"});
  EXPECT_TRUE(Has(twoStreams, "\"DpiD\"", "管程压力降 80.09 kPa，高于粘度低于 1 mPa·s 的液体常用允许值约 35 kPa"));

  // The report lists them after the results (and before the method check).
  ScriptedPort port;
  PelmoraApp app(&port);
  ASSERT_TRUE(app.Run([&] { app.project.OpenAtStartup(Example("agitated-tank")); }));
  ASSERT_TRUE(app.Run([&] { app.calc.MaoDExit(nullptr); }));
  std::vector<std::string> lines;
  for (const RichParagraph& p : app.report.Build()) {
    std::string line;
    for (const RichRun& r : p) line += r.text;
    lines.push_back(line);
  }
  // Each check wrapped to the width of the report's rows, so that nothing is cut off in print.
  std::vector<std::string> rows;
  for (const DesignCheck& c : app.calc.checks)
    for (const std::string& r : CheckReportRows(app.form, c)) rows.push_back(r);
  const auto heading = std::find(lines.begin(), lines.end(), std::string(kChecksHeading));
  ASSERT_NE(heading, lines.end());
  ASSERT_GE(lines.end() - heading, static_cast<long>(rows.size()) + 1);
  EXPECT_EQ(std::vector<std::string>(heading + 1, heading + 1 + static_cast<long>(rows.size())), rows);
  const auto pressure = CheckReportRows(app.form, app.calc.checks.back());
  ASSERT_EQ(pressure.size(), 2u);
  EXPECT_EQ(pressure[0], "        警告  管程压力降：管程压力降 126.2 kPa，高于粘度低于 1 mPa·s 的液体常用允许值约 35 ");
  EXPECT_EQ(pressure[1], std::string(14, ' ') + "kPa（Coulson & Richardson 第6卷 12.7.4）。");
  for (const std::string& r : rows) EXPECT_LE(Utf8ToGbk(r, "row").size(), kChecksRowWidth) << r;

  // A run that stops with a message leaves no checks from the design before it.
  app.Run([&] { app.form.Ti1D->SetText("10"); });
  EXPECT_FALSE(app.Run([&] { app.calc.MaoDExit(nullptr); }));
  EXPECT_TRUE(app.calc.checks.empty());
}

}  // namespace
}  // namespace pelmora

namespace pelmora {
namespace {

TEST(Study, RecordsTheMarginTheMethodCheckAsksFor) {
  // The through-flow vessel heated to 35, 40 and 45 C: the closer its outlet comes to the
  // hot water, the more a well-mixed vessel needs beyond the counterflow area; at 40 C
  // the shipped design asks for 30 %.
  CliResult r = Cli({Example("two-stream-vessel"), "--sweep", "Tom2D=35:45:3", "--output", "AtD,recommendedMargin"});
  ASSERT_EQ(r.code, 0) << r.err;
  const auto rows = ParseCsv(r.out);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0][2], kStudyMarginHeader);
  EXPECT_EQ(rows[2][0], "40");
  EXPECT_EQ(rows[2][2], "30");
  EXPECT_LT(std::stod(rows[1][2]), std::stod(rows[2][2]));
  EXPECT_LT(std::stod(rows[2][2]), std::stod(rows[3][2]));
  // A name that is neither a field nor the margin is refused.
  EXPECT_EQ(Cli({Example("two-stream-vessel"), "--sweep", "Tom2D=35:45:3", "--output", "margin"}).code, 2);
}

}  // namespace
}  // namespace pelmora

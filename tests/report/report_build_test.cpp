// The report as the window builds it: layout of every section, the row kinds and their
// columns, the modes that add or drop rows and sections, and what the user sees after
// typing into the report and coming back to the page.
#include <gtest/gtest.h>

#include <algorithm>

#include "ReportTestUtil.h"
#include "app/CrossCheckReport.h"
#include "fields/Text.h"

namespace pelmora::testing {
namespace {

std::string B(int n) { return std::string(static_cast<size_t>(n), ' '); }

// The headings (lines with exactly seven leading blanks) in order.
std::vector<std::string> Headings(const std::vector<std::string>& lines) {
  std::vector<std::string> h;
  for (const auto& l : lines)
    if (l.size() > 7 && l.compare(0, 7, B(7)) == 0 && l[7] != ' ') h.push_back(l);
  return h;
}

int IndexOf(const std::vector<std::string>& lines, const std::string& line) {
  auto it = std::find(lines.begin(), lines.end(), line);
  return it == lines.end() ? -1 : static_cast<int>(it - lines.begin());
}

const std::vector<std::string> kEleven = {"       项目信息:",
                                          "       基本参数:",
                                          "       容器几何参数:",
                                          "       容器物性及热量平衡，物性:",
                                          "       容器物性及热量平衡，工艺和热量平衡数据:",
                                          "       容器参数及计算结果:",
                                          "       管程物性及热量平衡，物性:",
                                          "       管程物性及热量平衡，工艺和热量平衡数据:",
                                          "       管程参数及计算结果:",
                                          "       简明计算结果:"};

std::vector<std::string> WithAgitator() {
  auto h = kEleven;
  h.insert(h.begin() + 3, "       搅拌器参数:");
  return h;
}

// Title, rule, an empty line before every heading, none at the end, fonts of each kind.
void ExpectFrame(const Window& w, const std::string& shape) {
  const auto& paras = w.f.RichEditReport->Paragraphs();
  const auto lines = w.Lines();
  ASSERT_GT(lines.size(), 10u);
  EXPECT_EQ(lines[0], "");
  EXPECT_EQ(paras[0][0].pointSize, 10);
  EXPECT_EQ(lines[1], B(9) + shape + "容器—佩莫拉计算报告");
  EXPECT_EQ(lines[2], B(6) + "━━━━━━━━━━━━━━━━━━━");
  for (int i : {1, 2}) {
    EXPECT_TRUE(paras[static_cast<size_t>(i)][0].bold);
    EXPECT_EQ(paras[static_cast<size_t>(i)][0].pointSize, 14);
    EXPECT_EQ(paras[static_cast<size_t>(i)][0].fontName, "宋体");
  }
  EXPECT_EQ(lines[3], "");
  EXPECT_NE(lines.back(), "");
  for (size_t i = 4; i < lines.size(); ++i) {
    const auto& run = paras[i][0];
    if (lines[i].rfind(B(7), 0) == 0 && lines[i][7] != ' ') {
      EXPECT_EQ(lines[i - 1], "") << lines[i];
      EXPECT_TRUE(run.bold);
      EXPECT_EQ(run.pointSize, 11);
    } else {
      EXPECT_FALSE(run.bold) << lines[i];
      EXPECT_EQ(run.pointSize, 10.5);
      if (!lines[i].empty()) {
        EXPECT_EQ(lines[i].rfind(B(8), 0), 0u) << lines[i];
      }
    }
  }
}

TEST(ReportBuild, EveryVesselTypeAndConvectionModeHasItsSections) {
  struct Case {
    const char* name;
    std::vector<std::string> extra;  // further options
    std::string shape;
    bool agitated;
    bool supplementary;  // circulation flow, the F correction of the two-stream vessel
  };
  const std::vector<Case> cases = {
      {"storage_tank", {}, "球罐", false, false},
      {"storage_tank",
       {"--select", "RGFType=2", "--select", "VND=1"},
       "圆柱（平底）",
       false,
       true},  // circulation flow
      {"agitated_tank", {"--select", "VND=2"}, "立方体", true, false},
      {"bath", {"--select", "VND=3"}, "拱顶罐（水平）", false, false},
      {"two_stream", {}, "球罐", false, true},
      {"steam_tank", {}, "球罐", false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Window w;
    w.Case(c.name);
    w.Apply(c.extra);
    w.Build();
    ExpectFrame(w, c.shape);
    auto expected = c.agitated ? WithAgitator() : kEleven;
    if (c.supplementary) expected.push_back("       补充数据:");
    if (!w.app.calc.checks.empty()) expected.push_back(kChecksHeading);               // the design checks,
    if (!w.app.calc.crossCheck.rows.empty()) expected.push_back(kCrossCheckHeading);  // then the method check
    EXPECT_EQ(Headings(w.Lines()), expected) << w.Lines().back();
  }
}

TEST(ReportBuild, RowsOfTheAgitatedTankAsTheFieldsShowThem) {
  Window w;
  w.Case("agitated_tank");
  w.Build();
  const auto lines = w.Lines();
  // Number rows: label to 20 bytes, four decimals to 16, unit entry cut to 20.
  EXPECT_NE(IndexOf(lines, B(8) + "加热时间" + B(12) + "7200.0000" + B(7) + "S" + B(19)), -1);
  EXPECT_NE(IndexOf(lines, B(8) + "初始温度" + B(12) + "20.0000" + B(9) + "℃" + B(18)), -1);
  // A text row keeps the text as typed.
  EXPECT_NE(IndexOf(lines, B(8) + "收敛误差" + B(12) + "0.0001" + B(14) + "-" + B(19)), -1);
  // List rows cut at the bar; no unit selector gives 20 blanks.
  EXPECT_NE(IndexOf(lines, B(8) + "管子材质" + B(12) + "低碳钢" + B(14) + B(20)), -1);
  EXPECT_NE(IndexOf(lines, B(8) + "搅拌器型式" + B(10) + "涡轮式" + B(14) + B(20)), -1);
  // The two fixed rows of section 6 open it.
  const int h6 = IndexOf(lines, "       容器物性及热量平衡，工艺和热量平衡数据:");
  ASSERT_GE(h6, 0);
  EXPECT_EQ(lines[static_cast<size_t>(h6) + 1], B(8) + "流体相态" + B(12) + "单相流体" + B(12));
  EXPECT_EQ(lines[static_cast<size_t>(h6) + 2], B(8) + "流体类型" + B(12) + "吸热流体" + B(12));
  // An empty quantity: its label, 16 blanks and its unit.
  EXPECT_NE(IndexOf(lines, B(8) + "容器体积" + B(12) + B(16) + "m3" + B(18)), -1);
  // A value wider than its column pushes the unit to the right.
  const std::string q = w.f.QiD->Text();
  ASSERT_FALSE(q.empty());
  EXPECT_NE(IndexOf(lines, NumberRowText("内管热量", q, PadRight("J", 20))), -1);
  EXPECT_EQ(NumberColumn("-1674783413.73664"), "-1674783413.7366");
  // The agitator's rows come straight after its heading.
  const int h4 = IndexOf(lines, "       搅拌器参数:");
  ASSERT_GE(h4, 0);
  EXPECT_EQ(lines[static_cast<size_t>(h4) + 2], B(8) + "浆叶直径" + B(12) + "0.8000" + B(10) + "m" + B(19));
}

TEST(ReportBuild, PlainTextFieldsNumbersUnitsAndLongLabels) {
  Window w;
  w.Case("storage_tank");
  auto row = [&w](const std::string& label) {
    w.Build();
    for (const auto& l : w.Lines())
      if (l.rfind(B(8) + label, 0) == 0) return l;
    return std::string("(no row)");
  };
  w.f.DeviceNoD->SetText("101");
  EXPECT_EQ(row("设备位号"), B(8) + "设备位号" + B(12) + "101.0000" + B(8) + B(20));
  w.f.DeviceNoD->SetText("A-101");
  EXPECT_EQ(row("设备位号"), B(8) + "设备位号" + B(12) + "A-101" + B(11) + B(20));
  w.f.DeviceNoD->SetText(" 1e3 ");
  EXPECT_EQ(row("设备位号"), B(8) + "设备位号" + B(12) + "1000.0000" + B(7) + B(20));
  w.f.DeviceNoD->SetText("0.00012");
  EXPECT_EQ(row("设备位号"), B(8) + "设备位号" + B(12) + "0.0001" + B(10) + B(20));
  // A heating time typed in hours, as engineers give it: 25 hr.
  const auto& items = w.f.TaoU->Items();
  const auto hr = std::find_if(items.begin(), items.end(), [](const std::string& s) { return s.rfind("hr ", 0) == 0; });
  ASSERT_NE(hr, items.end());
  w.f.TaoU->SetItemIndex(static_cast<int>(hr - items.begin()));
  w.f.TaoD->SetText("25");
  EXPECT_EQ(row("加热时间"), B(8) + "加热时间" + B(12) + "25.0000" + B(9) + "hr" + B(18));
  // A caption of 22 bytes shifts the value and the unit two columns.
  w.f.MaoL->SetCaption("容器内物料的总质量数值");
  EXPECT_EQ(row("容器内物料的总质量数值"), B(8) + "容器内物料的总质量数值" + "20000.0000" + B(6) + "kg" + B(18));
}

TEST(ReportBuild, DisabledFieldsAreLeftOutButHeadingsAndFixedRowsStay) {
  Window w;
  w.Case("storage_tank");
  for (auto* e : {w.f.CopD, w.f.DenoD, w.f.VioD, w.f.LdoD, w.f.BtoD}) e->SetEnabled(false);
  w.f.PhoD->SetEnabled(false);
  w.f.HToD->SetEnabled(false);
  w.Build();
  const auto lines = w.Lines();
  const int h5 = IndexOf(lines, "       容器物性及热量平衡，物性:");
  ASSERT_GE(h5, 0);
  EXPECT_EQ(lines[static_cast<size_t>(h5) + 1], "");
  EXPECT_EQ(lines[static_cast<size_t>(h5) + 2], "       容器物性及热量平衡，工艺和热量平衡数据:");
  EXPECT_EQ(lines[static_cast<size_t>(h5) + 3].substr(0, 20), B(8) + "流体相态");
  EXPECT_EQ(lines[static_cast<size_t>(h5) + 4].substr(0, 20), B(8) + "流体类型");
  // No trace of the disabled fields' labels anywhere.
  for (const auto& l : lines) EXPECT_EQ(l.find("平均比热" + B(12) + "4180"), std::string::npos) << l;
}

TEST(ReportBuild, SupplementaryDataOnlyForEnabledFields) {
  Window w;
  w.Case("two_stream");
  w.Build();
  auto lines = w.Lines();
  const int h12 = IndexOf(lines, "       补充数据:");
  ASSERT_GE(h12, 0);
  EXPECT_EQ(lines[static_cast<size_t>(h12) - 1], "");
  // The design checks of the run (an empty line, their heading and their rows) follow.
  size_t checks = w.app.calc.checks.empty() ? 0 : 2;
  for (const DesignCheck& c : w.app.calc.checks) checks += CheckReportRows(w.f, c).size();
  // And the method check closes the report.
  if (!w.app.calc.crossCheck.rows.empty()) checks += 2 + CrossCheckReportRows(w.app.calc.crossCheck).size();
  ASSERT_EQ(lines.size(), static_cast<size_t>(h12) + 2 + checks);
  EXPECT_EQ(lines[static_cast<size_t>(h12) + 1], NumberRowText("温差矫正系数", w.f.CdtD->Text(), PadRight("-", 20)));
  // A vessel side that condenses brings its vapour and phase-change data.
  w.f.WrD->SetEnabled(true);
  w.f.WrD->SetText("2.5");
  w.Build();
  lines = w.Lines();
  const std::string& flow = lines[lines.size() - 2 - checks];
  EXPECT_EQ(flow.rfind(B(8) + "循环流量" + B(12) + "2.5000" + B(10) + "kg/s", 0), 0u) << flow;
}

TEST(ReportBuild, AFurtherSectionFollowsTheSupplementaryData) {
  Window w;
  w.Case("two_stream");
  w.app.report.AddSectionHook(
      [](ReportBuilder& b) { b.AppendSection("       计算检查:", {FixedRowText("流速", "合格")}); });
  w.Build();
  const auto lines = w.Lines();
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[lines.size() - 3], "");
  EXPECT_EQ(lines[lines.size() - 2], "       计算检查:");
  EXPECT_EQ(lines.back(), B(8) + "流速" + B(16) + "合格" + B(16));
  EXPECT_TRUE(w.f.RichEditReport->Paragraphs()[lines.size() - 2][0].bold);
}

TEST(ReportBuild, CaretAtStartPageShownAndTypedTextLostOnReturn) {
  Window w;
  w.Case("storage_tank");
  w.f.RichEditReport->caretPosition = 120;
  w.app.Run([&w] { w.f.SBRSimple->Click(); });
  EXPECT_EQ(w.f.PageControl1->ActivePage(), w.f.TabSheet5);
  EXPECT_EQ(w.f.RichEditReport->caretPosition, 0);
  const auto built = w.Lines();
  // The user types a remark, goes to the calculation page and comes back.
  auto typed = built;
  typed.insert(typed.begin() + 1, "审核：张工");
  w.f.RichEditReport->SetLines(typed);
  w.app.Run([&w] { w.f.PageControl1->UserSelect(w.f.TabSheet2); });
  EXPECT_EQ(w.Lines(), typed);
  w.app.Run([&w] { w.f.PageControl1->UserSelect(w.f.TabSheet5); });
  EXPECT_EQ(w.Lines(), built);
  // The menu item builds it as the tool button does.
  w.f.RichEditReport->Clear();
  w.app.Run([&w] { w.f.MRSimple->Click(); });
  EXPECT_EQ(w.Lines(), built);
  EXPECT_TRUE(w.port.Messages().empty());
}

}  // namespace
}  // namespace pelmora::testing

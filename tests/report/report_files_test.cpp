// The report leaves the program as RTF and PDF; each file is read back by the real
// programs that users open it with (LibreOffice, poppler's pdftotext).
#include <gtest/gtest.h>

#include <filesystem>

#include <unistd.h>
#include "report/ReportPdf.h"

#include <regex>
#include <sstream>

#include "ReportTestUtil.h"
#include "cli/CliRunner.h"
#include "project/TextFile.h"
#include "report/Rtf.h"

namespace pelmora::testing {
namespace {

std::string Soffice(const TempDir& dir, const std::string& file, const std::string& format) {
  const std::string profile = "file:///tmp/lo-pelmora-" + std::to_string(getpid());
  return "cd '" + dir.path() + "' && soffice --headless -env:UserInstallation=" + profile + " --convert-to '" + format +
         "' --outdir '" + dir.path() + "' '" + file + "' >/dev/null 2>&1";
}

// `needle` appears in `hay` in order (other words may lie between).
bool Subsequence(const std::vector<std::string>& needle, const std::vector<std::string>& hay, std::string* missing) {
  size_t j = 0;
  for (const auto& w : needle) {
    while (j < hay.size() && hay[j] != w) ++j;
    if (j == hay.size()) {
      *missing = w;
      return false;
    }
    ++j;
  }
  return true;
}

TEST(ReportRtf, SavedReportReadsBackInLibreOfficeWithTitleBoldAt14Points) {
  Window w;
  w.Case("agitated_tank");
  w.Build();
  TempDir dir;
  const std::string doc = dir / "report.doc";
  w.port.files.push_back(doc);
  w.app.Run([&w] { w.f.SBRSave->Click(); });
  ASSERT_EQ(w.port.events.size(), 1u);
  EXPECT_EQ(w.port.events[0].caption, "保存计算报告-输入报告名称");
  EXPECT_EQ(w.port.events[0].text, ".doc");
  const std::string rtf = ReadWholeFile(doc).value_or("");
  EXPECT_NE(rtf.find("\\fcharset134"), std::string::npos);
  EXPECT_NE(rtf.find("\\u23481\\'c8\\'dd"), std::string::npos);  // 容 with its GBK bytes

  if (!HaveProgram("soffice")) GTEST_SKIP() << "soffice (libreoffice-writer-nogui) is not installed";
  ASSERT_EQ(std::system(Soffice(dir, "report.doc", "txt:Text (encoded):UTF8").c_str()), 0);
  const std::string txt = ReadWholeFile(dir / "report.txt").value_or("");
  EXPECT_EQ(Words(txt), Words(w.Lines()));

  ASSERT_EQ(std::system(Soffice(dir, "report.doc", "odt").c_str()), 0);
  const std::string content = Capture("unzip -p '" + dir / "report.odt" + "' content.xml");
  const size_t title = content.find("容器—佩莫拉计算报告");
  ASSERT_NE(title, std::string::npos);
  // Every style named on the way into the title's text must together make it bold 14 pt.
  const size_t para = content.rfind("<text:p ", title);
  ASSERT_NE(para, std::string::npos);
  std::string props;
  static const std::regex name("text:style-name=\"([^\"]+)\"");
  const std::string opening = content.substr(para, title - para);
  for (std::sregex_iterator it(opening.begin(), opening.end(), name), end; it != end; ++it) {
    const size_t def = content.find("style:name=\"" + (*it)[1].str() + "\"");
    if (def == std::string::npos) continue;
    props += content.substr(def, content.find("</style:style>", def) - def);
  }
  EXPECT_NE(props.find("font-size-asian=\"14pt\""), std::string::npos) << props;
  EXPECT_NE(props.find("font-weight-asian=\"bold\""), std::string::npos) << props;
}

TEST(ReportRtf, PresetNamesAndAFailedSaveThatChangesNothing) {
  Window w;
  w.Case("storage_tank");
  w.Build();
  w.f.CurrentProjectFile = "/srv/设计/水箱.v2.pmf";
  w.app.Run([&w] { w.f.MRSave->Click(); });  // cancelled: nothing written
  ASSERT_EQ(w.port.events.size(), 1u);
  EXPECT_EQ(w.port.events[0].text, "/srv/设计/水箱.v2.doc");
  EXPECT_EQ(Report::PresetName("/srv/a.b/plain", ".doc"), "/srv/a.b/plain.doc");

  TempDir dir;
  const std::string doc = dir / "missing/r.doc";
  w.port.Clear();
  w.port.files.push_back(doc);
  const auto before = w.Lines();
  w.app.Run([&w] { w.f.SBRSave->Click(); });
  const auto msgs = w.port.Messages();
  ASSERT_EQ(msgs.size(), 1u);
  EXPECT_NE(msgs[0].find("不存在"), std::string::npos) << msgs[0];
  EXPECT_FALSE(std::filesystem::exists(doc));
  EXPECT_EQ(w.Lines(), before);
}

TEST(ReportRtf, CharactersOutsideGbkAndRtfControlsAreEscaped) {
  RichRun r;
  r.text = "a{b}\\c ² 𝛼";
  const std::string rtf = ToRtf({{r}});
  EXPECT_NE(rtf.find("a\\{b\\}\\\\c "), std::string::npos);
  EXPECT_NE(rtf.find("\\uc1\\u178\\'3f"), std::string::npos);     // ² has no GBK code
  EXPECT_NE(rtf.find("\\u-10187?\\u-8452?"), std::string::npos);  // surrogate pair
}

std::string PdfText(const std::string& pdf, const std::string& options = "-layout") {
  return Capture("pdftotext " + options + " '" + pdf + "' -");
}

TEST(ReportPdf, WithoutAWorkingWriterTheCommandSaysWhyAndWritesNothing) {
  SetReportPdfWriter(nullptr);
  Window w;
  TempDir dir;
  EXPECT_EQ(w.app.report.ExportPdf(dir / "m.pdf"), "PDF 输出部件不可用，未生成 PDF 文档");
  EXPECT_FALSE(std::filesystem::exists(dir / "m.pdf"));
  // A writer that cannot write (the window's module missing) gives its reason, and the
  // file is not written.
  SetReportPdfWriter([](const std::vector<RichParagraph>&, const std::function<void(chart::Canvas&)>&,
                        const std::string&,
                        const PdfPage&) -> std::string { throw std::runtime_error("找不到 pelmora-extras.so"); });
  EXPECT_EQ(w.app.report.ExportPdf(dir / "m.pdf"), "PDF 文档生成失败：找不到 pelmora-extras.so");
  EXPECT_FALSE(std::filesystem::exists(dir / "m.pdf"));
  SetReportPdfWriter(&ReportPdfBytes);
}

TEST(ReportPdf, EveryLineComesBackWithFootersAndTheChartPage) {
  if (!HaveProgram("pdftotext")) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
  SetReportPdfWriter(&ReportPdfBytes);
  Window w;
  w.Case("storage_tank");
  TempDir dir;
  const std::string pdf = dir / "r.pdf";
  w.port.files.push_back(pdf);
  w.app.Run([&w] { w.f.FindAs<MenuItem>("MRPdf")->Click(); });  // an empty report area is built first
  ASSERT_TRUE(w.port.Messages().empty()) << w.port.Messages()[0];
  EXPECT_EQ(w.port.events[0].caption, "导出PDF报告");
  std::string missing;
  EXPECT_TRUE(Subsequence(Words(w.Lines()), Words(PdfText(pdf)), &missing)) << missing;
  const std::string pages = Capture("pdfinfo '" + pdf + "' | grep Pages");
  EXPECT_NE(pages.find(" 2\n"), std::string::npos) << pages;
  EXPECT_TRUE(std::regex_search(PdfText(pdf), std::regex("20[0-9]{2}-[01][0-9]-[0-3][0-9] +项目文件：无名项目")));

  // With a curve: one more page, drawn as vector graphics with its texts.
  Window c;
  c.Case("batch_curve");
  c.app.Run([&c] { c.f.SBTCurve->Click(); });
  ASSERT_GT(c.app.curve.data.Intervals(), 0) << (c.port.Messages().empty() ? "" : c.port.Messages()[0]);
  c.f.CurrentProjectFile = dir / "水箱.pmf";
  c.port.Clear();
  c.port.files.push_back(pdf);
  c.app.Run([&c] { c.f.FindAs<SpeedButton>("SBRPdf")->Click(); });
  EXPECT_EQ(c.port.events[0].text, dir / "水箱.pdf");
  EXPECT_NE(Capture("pdfinfo '" + pdf + "' | grep Pages").find(" 3\n"), std::string::npos);
  const std::string chart = PdfText(pdf, "-layout -f 3 -l 3");
  EXPECT_NE(chart.find("时间—温度曲线"), std::string::npos) << chart;
  EXPECT_NE(chart.find("项目文件：水箱.pmf"), std::string::npos);
}

TEST(ReportPdf, TextSitsInsideTheMarginsOfThePage) {
  if (!HaveProgram("pdftotext")) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
  SetReportPdfWriter(&ReportPdfBytes);
  Window w;
  w.f.RichEditReport->SetLines({"TOPLEFT 1.0000", "        TaoD   7200.0000"});
  TempDir dir;
  ASSERT_EQ(w.app.report.ExportPdf(dir / "m.pdf"), "");
  const std::string bbox = PdfText(dir / "m.pdf", "-bbox");
  static const std::regex word(
      "<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"[0-9.]+\" yMax=\"[0-9.]+\">TOPLEFT<");
  std::smatch m;
  ASSERT_TRUE(std::regex_search(bbox, m, word)) << bbox;
  EXPECT_NEAR(std::stod(m[1]), 72.0, 1.0);  // 1.0 inch from the left edge
  EXPECT_NEAR(std::stod(m[2]), 50.4, 2.5);  // 0.7 inch from the top edge
}

TEST(ReportCli, JsonKeepsTrailingBlanksAndTheFilesAreWritten) {
  TempDir dir;
  std::vector<std::string> args = CaseArgs("storage_tank");
  for (const char* a : {"--click", "SBRSimple", "--json"}) args.push_back(a);
  args.push_back("--save-report");
  args.push_back(dir / "r.doc");
  args.push_back("--report-pdf");
  args.push_back(dir / "r.pdf");
  std::ostringstream out, err;
  EXPECT_EQ(RunCli(args, out, err), 0) << err.str();
  EXPECT_NE(out.str().find("\"        加热时间            14400.0000      S                   \""), std::string::npos);
  EXPECT_EQ(ReadWholeFile(dir / "r.doc").value_or("").rfind("{\\rtf1", 0), 0u);
  EXPECT_EQ(ReadWholeFile(dir / "r.pdf").value_or("").rfind("%PDF", 0), 0u);
  // No printer in the headless front end: the message and nothing else.
  std::ostringstream out2, err2;
  EXPECT_EQ(RunCli({"--click", "SBRPrintRep"}, out2, err2), 0);
  EXPECT_NE(err2.str().find("没有安装打印机"), std::string::npos);
}

}  // namespace
}  // namespace pelmora::testing

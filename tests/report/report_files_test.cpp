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
#include "fields/DurableFile.h"
#include "project/TextFile.h"
#include "report/Rtf.h"

namespace pelmora::testing {
namespace {

std::string Soffice(const TempDir& dir, const std::string& file, const std::string& format) {
  const std::string profile = "file:///tmp/lo-pelmora-" + std::to_string(getpid());
  return "cd '" + dir.path() + "' && soffice --headless -env:UserInstallation=" + profile + " --convert-to '" + format +
         "' --outdir '" + dir.path() + "' '" + file + "' >/dev/null 2>&1";
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

// Through LibreOffice the saved report comes out as the printed one: A4 with 1.0 inch
// left and right and 0.7 inch top and bottom, page numbers in the footer, headings
// kept with the line after them; its text is still the report area's, word for word.
TEST(ReportRtf, OpensOnA4WithMarginsPageNumbersAndKeptHeadings) {
  Window w;
  w.Case("storage_tank");
  w.Build();
  const std::string rtf = ToRtf(w.f.RichEditReport->Paragraphs());
  // Each font names an installed alternative with the Chinese character set.
  EXPECT_NE(rtf.find("{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5{\\*\\falt AR PL UMing CN};}"), std::string::npos)
      << rtf.substr(0, 300);
  if (!HaveProgram("soffice") || !HaveProgram("pdfinfo")) GTEST_SKIP() << "soffice or pdfinfo is not installed";
  TempDir dir;
  ASSERT_EQ(WriteFileDurably(dir / "r.doc", rtf), "");
  ASSERT_EQ(std::system(Soffice(dir, "r.doc", "pdf").c_str()), 0);
  const std::string info = Capture("pdfinfo '" + dir / "r.pdf" + "'");
  EXPECT_TRUE(std::regex_search(info, std::regex("Page size: +595\\.[0-9]+ x 841\\.[0-9]+ pts \\(A4\\)"))) << info;
  std::smatch m;
  ASSERT_TRUE(std::regex_search(info, m, std::regex("Pages: +([0-9]+)")));
  const int pages = std::stoi(m[1]);
  EXPECT_GE(pages, 2);
  std::string text;
  for (const std::string& w : Words(Capture("pdftotext -layout '" + dir / "r.pdf" + "' -"))) text += w;
  for (int p = 1; p <= pages; ++p) EXPECT_NE(text.find("第" + std::to_string(p) + "页"), std::string::npos) << p;
  // The first line of the report starts one inch from the left and 0.7 inch from the
  // top (the title's line lies a little lower: its first line is an empty one).
  const std::string bbox = Capture("pdftotext -bbox -f 1 -l 1 '" + dir / "r.pdf" + "' -");
  ASSERT_TRUE(std::regex_search(bbox, m, std::regex("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>球罐容器")));
  EXPECT_GT(std::stod(m[1]), 72.0);
  EXPECT_GT(std::stod(m[2]), 50.4);
  EXPECT_LT(std::stod(m[2]), 50.4 + 40);
  static const std::regex word("<word xMin=\"([0-9.]+)\" yMin=\"[0-9.]+\" xMax=\"([0-9.]+)\"");
  const std::string all = Capture("pdftotext -bbox '" + dir / "r.pdf" + "' -");
  for (std::sregex_iterator it(all.begin(), all.end(), word), end; it != end; ++it) {
    EXPECT_GE(std::stod((*it)[1]), 71.5);
    EXPECT_LE(std::stod((*it)[2]), 595.3 - 71.5);
  }
  // Headings are kept with the next paragraph.
  ASSERT_EQ(std::system(Soffice(dir, "r.doc", "odt").c_str()), 0);
  const std::string content = Capture("unzip -p '" + dir / "r.odt" + "' content.xml");
  const size_t heading = content.find("基本参数:");
  ASSERT_NE(heading, std::string::npos);
  const std::string opening = "<text:p text:style-name=\"";
  const size_t para = content.rfind(opening, heading);
  ASSERT_NE(para, std::string::npos);
  const size_t nameStart = para + opening.size();
  const std::string style = content.substr(nameStart, content.find('"', nameStart) - nameStart);
  const size_t def = content.find("style:name=\"" + style + "\"");
  ASSERT_NE(def, std::string::npos) << style;
  const std::string props = content.substr(def, content.find("</style:style>", def) - def);
  EXPECT_NE(props.find("fo:keep-with-next=\"always\""), std::string::npos) << props;
}

// The alias the package installs makes 宋体 and SimSun the installed UMing face
// instead of a sans face with Japanese glyph variants.
TEST(ReportRtf, FontconfigAliasMapsSongtiToTheShippedFace) {
  if (!HaveProgram("fc-match")) GTEST_SKIP() << "fc-match (fontconfig) is not installed";
  TempDir dir;
  const std::string conf = dir / "fonts.conf";
  ASSERT_EQ(WriteFileDurably(conf,
                             "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n"
                             "<fontconfig><include>/etc/fonts/fonts.conf</include><include>" PELMORA_SOURCE_DIR
                             "/packaging/fontconfig/65-pelmora-songti.conf</include></fontconfig>\n"),
            "");
  for (const char* name : {"宋体", "SimSun", "新宋体"}) {
    const std::string family = Capture("FONTCONFIG_FILE='" + conf + "' fc-match -f '%{family}' '" + name + "'");
    EXPECT_NE(family.find("AR PL UMing CN"), std::string::npos) << name << ": " << family;
  }
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
  // The sheet is printed by the window; the command line says where its PDF comes from.
  std::ostringstream out3, err3;
  EXPECT_EQ(RunCli({"--click", "SBRPrintCalc"}, out3, err3), 0);
  EXPECT_NE(err3.str().find("命令行请用 pelmora-calc --report-pdf FILE 导出计算书"), std::string::npos) << err3.str();
}

}  // namespace
}  // namespace pelmora::testing

// Help on a field: which bookmark of the built manual a request opens, what a user is
// told when the manual is missing or damaged, and whether every caption and hint the
// window can show has a section of real text in Manual.pdf.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

#include "../common/ScratchFolder.h"
#include "app/Help.h"
#include "app/PelmoraApp.h"
#include "cli/CliRunner.h"

namespace pelmora {
namespace {

const std::string kProgram = PELMORA_PROGRAM_DIR "/";
const std::string kManual = kProgram + "Manual.pdf";

struct Mark {
  std::string title;
  int page;
};

// The outline as the manual generator listed it beside the PDF.
std::vector<Mark> Outline() {
  std::vector<Mark> marks;
  std::ifstream in(kManual + ".idx");
  std::string line;
  while (std::getline(in, line)) {
    const size_t a = line.find('\t'), b = line.find('\t', line.find('\t', a + 1) + 1);
    marks.push_back({line.substr(b + 1), std::stoi(line.substr(0, a))});
  }
  return marks;
}

int PageOf(const std::string& title) {
  for (const Mark& m : Outline())
    if (m.title == title) return m.page;
  return -1;
}

struct HelpFixture : ::testing::Test {
  ScriptedPort port;
  PelmoraApp app{&port, kProgram};
  TFormPelmora& f = app.form;

  HelpShown Last() const { return port.helpShown.empty() ? HelpShown{} : port.helpShown.back(); }
};

TEST_F(HelpFixture, F1OpensTheSectionNamedAfterTheFieldsLabel) {
  f.SetFocus(f.TaoD);
  app.Run([&] { f.TaoD->OnKeyDown(f.TaoD, Help::kF1); });
  ASSERT_EQ(port.helpShown.size(), 1u);
  EXPECT_TRUE(Last().title == "加热时间 " || Last().title == "加热时间") << Last().title;
  EXPECT_EQ(Last().page, PageOf("加热时间"));
  EXPECT_EQ(port.events.back().caption, "佩莫拉帮助");
  EXPECT_TRUE(port.Messages().empty());
  // Another key does not ask for help.
  app.Run([&] { f.TaoD->OnKeyDown(f.TaoD, 13); });
  EXPECT_EQ(port.helpShown.size(), 1u);
}

TEST_F(HelpFixture, TheCaptionTheModeShowsIsTheTopic) {
  EXPECT_EQ(HelpTopicOf(f.DspD), "管间距");
  app.Run([&] { f.TShapeD->UserSelect(1); });  // 螺旋管
  EXPECT_EQ(HelpTopicOf(f.DspD), "螺距");
  app.Run([&] { app.help.F1(f.DspD); });
  EXPECT_EQ(Last().title, "螺距");
  app.Run([&] { f.RGEType->SetItemIndex(2); });  // 两流股
  app.Run([&] { app.help.F1(f.MaoD); });
  EXPECT_EQ(Last().title, "质量流量");
  app.Run([&] { app.help.F1(f.TTaD); });
  EXPECT_EQ(Last().title, "有效温差");
}

TEST_F(HelpFixture, HelpMenuAlwaysOpensTheInstallationChapter) {
  f.SetFocus(f.TaoD);
  app.Run([&] { f.MHPDF->Click(); });
  EXPECT_EQ(Last().title, "第一章 系统安装");
  EXPECT_EQ(Last().page, PageOf("第一章 系统安装"));
  // After F1 set another topic, the menu still opens the chapter.
  app.Run([&] { app.help.F1(f.TaoD); });
  app.Run([&] { f.MHPDF->Click(); });
  EXPECT_EQ(Last().title, "第一章 系统安装");
}

TEST_F(HelpFixture, WhatIsThisUsesTheHintOfAListAndTheContentsWithoutOne) {
  f.SetFocus(f.SmD);
  app.Run([&] { f.SBHPDF->Click(); });
  EXPECT_EQ(app.help.HelpTopic, "容器材质");
  EXPECT_EQ(Last().title, "容器材质");
  f.SetFocus(f.RGFType);
  app.Run([&] { f.SBHPDF->Click(); });
  EXPECT_EQ(Last().title, "对流方式");
  // The tube series grid has no hint: the empty topic opens the contents.
  f.SetFocus(f.DBGPiples);
  app.Run([&] { f.SBHPDF->Click(); });
  EXPECT_EQ(app.help.HelpTopic, "");
  EXPECT_EQ(Last().title, "目录");
  EXPECT_EQ(Last().page, PageOf("目录"));
}

TEST(HelpLookup, TitleWithBlankThenBareTitleThenContents) {
  EXPECT_EQ(Help::LookupOrder("加热时间", "目录"), (std::vector<std::string>{"加热时间 ", "加热时间", "目录"}));
  EXPECT_EQ(Help::LookupOrder("", "目录"), (std::vector<std::string>{"目录"}));
  EXPECT_EQ(Help::LookupOrder("第一章 系统安装 ", "目录"),
            (std::vector<std::string>{"第一章 系统安装  ", "第一章 系统安装 ", "第一章 系统安装", "目录"}));
}

// A program folder of its own, removed afterwards.
struct Folder {
  testing::ScratchFolder scratch;
  std::string path = scratch.Folder();
};

TEST(HelpFailures, AMissingManualIsNamedInTheMessage) {
  Folder dir;
  ScriptedPort port;
  PelmoraApp app(&port, dir.path);
  app.Run([&] { app.help.F1(app.form.TaoD); });
  EXPECT_TRUE(port.helpShown.empty());  // no viewer opened
  ASSERT_EQ(port.Messages().size(), 1u);
  EXPECT_NE(port.Messages()[0].find(dir.path + "Manual.pdf"), std::string::npos) << port.Messages()[0];
  EXPECT_NE(port.Messages()[0].find("找不到帮助文件"), std::string::npos);
}

TEST(HelpFailures, ADamagedManualIsReported) {
  Folder dir;
  std::ofstream(dir.path + "Manual.pdf") << "<html>not a manual</html>";
  ScriptedPort port;
  PelmoraApp app(&port, dir.path);
  app.Run([&] { app.form.MHPDF->Click(); });
  ASSERT_EQ(port.Messages().size(), 1u);
  EXPECT_NE(port.Messages()[0].find("无法打开帮助文件"), std::string::npos) << port.Messages()[0];
}

TEST(HelpCli, HelpTopicPrintsTopicBookmarkAndPage) {
  setenv("PELMORA_PROGRAM_DIR", PELMORA_PROGRAM_DIR, 0);  // the command line finds the manual there
  std::ostringstream out, err;
  ASSERT_EQ(RunCli({"--help-topic", "TaoD"}, out, err), 0) << err.str();
  EXPECT_EQ(out.str(), "topic: 加热时间\nbookmark: 加热时间\npage: " + std::to_string(PageOf("加热时间")) + "\n");
  std::ostringstream out2, err2;
  ASSERT_EQ(RunCli({"--select", "TShapeD=1", "--help-topic", "DspD"}, out2, err2), 0) << err2.str();
  EXPECT_NE(out2.str().find("bookmark: 螺距\n"), std::string::npos) << out2.str();
  std::ostringstream out3, err3;
  ASSERT_EQ(RunCli({"--help-topic", "DBGPiples"}, out3, err3), 0) << err3.str();
  EXPECT_EQ(out3.str(), "topic: \nbookmark: 目录\npage: " + std::to_string(PageOf("目录")) + "\n");
}

// The text of every page, from pdftotext (pages separated by form feeds).
std::vector<std::string> PdfPages() {
  std::vector<std::string> pages;
  std::unique_ptr<FILE, int (*)(FILE*)> p(popen(("pdftotext -enc UTF-8 '" + kManual + "' -").c_str(), "r"), pclose);
  if (!p) return pages;
  std::string text;
  std::array<char, 4096> buf;
  size_t n;
  while ((n = fread(buf.data(), 1, buf.size(), p.get())) > 0) text.append(buf.data(), n);
  size_t from = 0;
  for (size_t ff; (ff = text.find('\f', from)) != std::string::npos; from = ff + 1)
    pages.push_back(text.substr(from, ff - from));
  return pages;
}

std::string Squeezed(const std::string& s) {
  std::string r;
  for (char c : s)
    if (c != ' ' && c != '\n' && c != '\t') r += c;
  return r;
}

// Counts UTF-8 characters.
size_t Chars(const std::string& s) {
  size_t n = 0;
  for (unsigned char c : s) n += (c & 0xC0) != 0x80;
  return n;
}

TEST(Manual, EveryCaptionAndHintInEveryModeHasASectionOfItsOwnText) {
  ScriptedPort port;
  PelmoraApp app(&port, kProgram);
  const std::vector<std::string> topics = HelpTopicsInEveryMode(app.form);
  // Captions that only some modes show are among them.
  for (const char* t : {"管间距", "螺距", "总质量", "浴液质量", "质量流量", "汽化率", "长度", "禁止自动计算"})
    EXPECT_NE(std::find(topics.begin(), topics.end(), t), topics.end()) << t;

  const std::vector<Mark> outline = Outline();
  const std::vector<std::string> pages = PdfPages();
  ASSERT_GT(pages.size(), 20u) << "pdftotext read nothing from " << kManual;
  for (const std::string& topic : topics) {
    size_t i = 0;
    while (i < outline.size() && outline[i].title != topic) ++i;
    ASSERT_LT(i, outline.size()) << "no section in the manual for «" << topic << "»";
    const int first = outline[i].page;
    const int last = i + 1 < outline.size() ? std::max(first, outline[i + 1].page) : first;
    std::string text;
    for (int p = first; p <= last && p <= static_cast<int>(pages.size()); ++p)
      text += pages[static_cast<size_t>(p - 1)];
    // From the heading line to the next heading's line.
    const std::string body = "\n" + text;
    size_t at = body.find("\n" + topic + "\n");
    ASSERT_NE(at, std::string::npos) << "heading «" << topic << "» not on page " << first;
    std::string section = body.substr(at + topic.size() + 2);
    if (i + 1 < outline.size()) {
      size_t next = section.find("\n" + outline[i + 1].title + "\n");
      if (next != std::string::npos) section.resize(next);
    }
    const std::string own = Squeezed(section);
    EXPECT_GE(Chars(own), 40u) << "the section «" << topic << "» says too little: " << section;
    for (const char* placeholder : {"TODO", "待补充", "占位", "TBD"})
      EXPECT_EQ(own.find(placeholder), std::string::npos) << topic;
  }
}

TEST(Manual, ContentsAndInstallationBookmarksExist) {
  EXPECT_EQ(PageOf("目录"), 2);
  EXPECT_GT(PageOf("第一章 系统安装"), PageOf("目录"));
  const std::vector<std::string> pages = PdfPages();
  ASSERT_GE(pages.size(), 3u);
  // The contents page lists the chapters with their pages.
  EXPECT_NE(pages[1].find("第一章 系统安装"), std::string::npos);
  EXPECT_NE(pages[1].find(std::to_string(PageOf("第一章 系统安装"))), std::string::npos);
}

}  // namespace
}  // namespace pelmora

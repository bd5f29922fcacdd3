// The recent-files list: order, case, length, the vanished file, the INI file.
#include <gtest/gtest.h>

#include "ProjectTestUtil.h"
#include "app/PelmoraApp.h"
#include "project/MruUnit.h"
#include "project/SaveFormData.h"

namespace pelmora {
namespace {

using testing::TempDir;

struct Window {
  ScriptedPort port;
  TFormPelmora f{&port};
  TMostRecentFiles mrf{f};
  std::vector<std::string> opened;
  Window() {
    mrf.SetOwnerMenuItem(f.MFile);
    mrf.SetMenuPosition(6);
    mrf.SetFileExt("pmf");
    mrf.OnMenuClick = [this](TMostRecentFiles&, const std::string& p) { opened.push_back(p); };
  }
  std::vector<std::string> Menu() const {
    std::vector<std::string> c;
    for (size_t i = 0; i < f.MFile->Count(); ++i) c.push_back(f.MFile->Item(i)->Caption());
    return c;
  }
  MenuItem* Entry(size_t k) const { return f.MFile->Item(7 + k); }
};

const std::vector<std::string> kFileMenu = {"&N 新建",   "&O 打开",     "-", "&S 保存",
                                            "&A 另存为", "&T 存为模板", "-", "&E 退出"};

TEST(RecentFiles, CaseInsensitiveMoveToTopAndExtensionFilter) {
  Window w;
  w.mrf.AddFile("/p/a.pmf");
  w.mrf.AddFile("/p/b.pmf");
  w.mrf.AddFile("/p/a.PMF");
  EXPECT_EQ(w.mrf.Files(), (std::vector<std::string>{"/p/a.PMF", "/p/b.pmf"}));
  w.mrf.AddFile("/p/x.pmt");
  w.mrf.AddFile("/p/noext");
  EXPECT_EQ(w.mrf.Files().size(), 2u);
  EXPECT_EQ(w.Menu(), (std::vector<std::string>{"&N 新建", "&O 打开", "-", "&S 保存", "&A 另存为", "&T 存为模板", "-",
                                                "&1  /p/a.PMF", "&2  /p/b.pmf", "-", "&E 退出"}));
  w.mrf.SetShowFullPath(false);  // not loaded yet: only stored
  w.mrf.AddFile("/p/c.pmf");
  EXPECT_EQ(w.Menu()[7], "&1  c.pmf");
}

TEST(RecentFiles, TenthFileDropsTheOldestAndEmptyListAddsNoSeparator) {
  Window w;
  EXPECT_EQ(w.Menu(), kFileMenu);
  for (int i = 1; i <= 10; ++i) w.mrf.AddFile("/d/f" + std::to_string(i) + ".pmf");
  ASSERT_EQ(w.mrf.Files().size(), 9u);
  EXPECT_EQ(w.mrf.Files().front(), "/d/f10.pmf");
  EXPECT_EQ(w.mrf.Files().back(), "/d/f2.pmf");
  auto menu = w.Menu();
  ASSERT_EQ(menu.size(), kFileMenu.size() + 10);
  EXPECT_EQ(menu[7], "&1  /d/f10.pmf");
  EXPECT_EQ(menu[15], "&9  /d/f2.pmf");
  EXPECT_EQ(menu[16], "-");

  TMostRecentFiles big(w.f);
  big.SetMaxFiles(40);
  EXPECT_EQ(big.MaxFiles(), 15u);
  big.SetMaxFiles(0);
  EXPECT_EQ(big.MaxFiles(), 1u);
}

TEST(RecentFiles, ChosenEntryMovesUpOrVanishes) {
  TempDir dir;
  Window w;
  for (const char* n : {"a.pmf", "b.pmf", "c.pmf"}) {
    SaveFormRecords(w.f, dir / n);
    w.mrf.AddFile(dir / n);
  }
  // c, b, a: choose b (an existing file).
  w.Entry(1)->Click();
  EXPECT_EQ(w.opened, std::vector<std::string>{dir / "b.pmf"});
  EXPECT_EQ(w.mrf.Files(), (std::vector<std::string>{dir / "b.pmf", dir / "c.pmf", dir / "a.pmf"}));

  // c vanished: the message, then the entries below it move up and are renumbered.
  std::filesystem::remove(dir / "c.pmf");
  w.Entry(1)->Click();
  ASSERT_EQ(w.port.events.size(), 1u);
  EXPECT_EQ(w.port.events[0].text, "文件\n“" + dir / "c.pmf" + "”\n已不存在，已从最近打开的文件列表中移除。");
  EXPECT_EQ(w.port.events[0].caption, "佩莫拉");
  EXPECT_EQ(w.port.events[0].type, MsgType::Information);
  EXPECT_EQ(w.opened.size(), 1u);
  EXPECT_EQ(w.mrf.Files(), (std::vector<std::string>{dir / "b.pmf", dir / "a.pmf"}));
  EXPECT_EQ(w.Menu()[8], "&2  " + dir / "a.pmf");
  EXPECT_EQ(w.Menu()[9], "-");
}

TEST(RecentFiles, IniFileStopsAtTheFirstEmptyKeyAndIsWrittenInFull) {
  TempDir dir;
  const std::string ini = dir / "pelmora.ini";
  testing::WriteGbkFile(ini, "[Other]\nx=1\n[MRU List]\n1=/工程/一号.pmf\n2=/w/two.pmf\n3=\n4=/w/four.pmf\n");
  {
    Window w;
    w.mrf.programPath = dir / "pelmora";
    EXPECT_EQ(w.mrf.ResolvedIniFile(), ini);
    w.mrf.Loaded();
    EXPECT_EQ(w.mrf.Files(), (std::vector<std::string>{"/工程/一号.pmf", "/w/two.pmf"}));
    EXPECT_EQ(w.Menu()[7], "&1  /工程/一号.pmf");
    w.mrf.AddFile("/w/new.pmf");
  }  // written when the list goes
  auto text = GbkToUtf8(testing::ReadBytes(ini));
  ASSERT_TRUE(text);
  EXPECT_EQ(*text,
            "[Other]\r\nx=1\r\n[MRU List]\r\n1=/w/new.pmf\r\n2=/工程/一号.pmf\r\n3=/w/two.pmf\r\n4=\r\n5=\r\n6=\r\n"
            "7=\r\n8=\r\n9=\r\n");

  // The application's list next to the program, or in the user's settings folder
  // when the program's folder is not writable.
  ScriptedPort port;
  PelmoraApp app(&port, dir.path());
  app.project.StartRecentFiles(dir / "pelmora");
  EXPECT_EQ(app.project.MRF.Files().size(), 3u);
  EXPECT_EQ(app.form.MFile->Item(7)->Caption(), "&1  /w/new.pmf");
}

}  // namespace
}  // namespace pelmora

namespace pelmora {
namespace {

// A project opened by a relative name is listed by its full path: the entry still
// opens after the working folder has changed, and the INI file holds the full path.
TEST(RecentFiles, RelativeNamesAreKeptAsFullPaths) {
  TempDir dir;
  std::filesystem::create_directories(dir / "sub");
  const auto cwd = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  {
    ScriptedPort port;
    PelmoraApp app{&port, PELMORA_PROGRAM_DIR};
    SaveFormRecords(app.form, dir / "rel.pmf");
    app.project.MRF.SetIniFile(dir / "list.ini");
    app.project.MRF.Loaded();
    port.files = {"sub/../rel.pmf"};
    EXPECT_TRUE(app.Run([&] { app.form.RunHandler("MFOpenClick", nullptr); }));
    app.project.MRF.AddFile("./sub/x.pmf");
    std::filesystem::current_path(cwd);
    EXPECT_EQ(app.project.MRF.Files(), (std::vector<std::string>{dir / "sub/x.pmf", dir / "rel.pmf"}));
    // Chosen from elsewhere, the entry opens the file it named.
    ASSERT_TRUE(app.project.MRF.OnMenuClick);
    MenuItem* entry = nullptr;
    for (size_t i = 0; i < app.form.MFile->Count(); ++i)
      if (app.form.MFile->Item(i)->data == dir / "rel.pmf") entry = app.form.MFile->Item(i);
    ASSERT_NE(entry, nullptr);
    port.Clear();
    EXPECT_TRUE(app.Run([&] { entry->Click(); }));
    EXPECT_TRUE(port.Messages().empty()) << port.Messages()[0];
    EXPECT_EQ(app.form.CurrentProjectFile, dir / "rel.pmf");
  }
  auto text = GbkToUtf8(testing::ReadBytes(dir / "list.ini"));
  ASSERT_TRUE(text);
  EXPECT_NE(text->find("1=" + dir / "rel.pmf" + "\r\n"), std::string::npos) << *text;
  std::filesystem::current_path(cwd);
}

}  // namespace
}  // namespace pelmora

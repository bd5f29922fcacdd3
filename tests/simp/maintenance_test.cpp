// Editing the property library on the page "数据库维护" and saving it: records kept in
// order, bad running numbers refused, saves that survive a failure at every step.
#include <signal.h>
#include <sys/resource.h>

#include <fstream>

#include "SimpTestUtil.h"

namespace pelmora {
namespace {

using testing_simp::Window;

void Unlock(Window& w) {
  w.Click(w.F().SBP2);
  w.D().MaskEdit1->Type("velmast");
  w.Click("BitBtn1");
  ASSERT_TRUE(w.D().TSManP->Visible());
}

Edit* DBEdit(TFormSimpPL& d, const std::string& field) { return d.FindAs<Edit>("DBEdit" + field); }

std::vector<std::string> Nos(const PropLibrary& lib) {
  std::vector<std::string> r;
  for (const auto& rec : lib.Records()) r.push_back(rec.NO.value_or(""));
  return r;
}

TEST(SimpMaintenance, LockedPageTakesNoEdits) {
  Window w;
  w.Open();
  TFormSimpPL& d = w.D();
  w.Click(w.F().SBP2);
  EXPECT_FALSE(d.Find("DBNavigator1.Insert")->Enabled());
  DBEdit(d, "CN")->SetText("改名");
  EXPECT_EQ(DBEdit(d, "CN")->Text(), "测试液");
  EXPECT_EQ(d.State(), DataState::Browse);
  d.NavClick("Delete");
  EXPECT_EQ(d.Library().Count(), 4);
}

TEST(SimpMaintenance, InsertEditPostCancelKeepTheTableOrderedByNO) {
  Window w;
  w.Open();
  TFormSimpPL& d = w.D();
  Unlock(w);
  w.Click("DBNavigator1.Insert");
  EXPECT_EQ(d.State(), DataState::Insert);
  EXPECT_EQ(DBEdit(d, "NO")->Text(), "0005");  // the next free number is offered
  DBEdit(d, "NO")->SetText("0000");
  DBEdit(d, "CN")->SetText("新物质");
  DBEdit(d, "CP")->SetText("1234");
  w.Click("DBNavigator1.Post");
  EXPECT_EQ(d.State(), DataState::Browse);
  EXPECT_EQ(Nos(d.Library()), (std::vector<std::string>{"0000", "0001", "0002", "0003", "0004"}));
  EXPECT_EQ(d.CurrentRecord(), 0);
  EXPECT_EQ(d.DBGrid1->Rows()[0][1], "新物质");
  EXPECT_TRUE(d.LibraryModified());

  // Typing into a bound edit starts editing; Cancel restores the record.
  d.LocateNO("0002");
  DBEdit(d, "CN")->SetText("别的名字");
  EXPECT_EQ(d.State(), DataState::Edit);
  w.Click("DBNavigator1.Cancel");
  EXPECT_EQ(d.Library().At(d.CurrentRecord()).CN.value_or(""), "无密度物质");
  EXPECT_EQ(DBEdit(d, "CN")->Text(), "无密度物质");

  // Renumbering moves the record to its place; emptying a field makes it null.
  w.Click("DBNavigator1.Edit");
  DBEdit(d, "NO")->SetText("0009");
  DBEdit(d, "VI")->SetText("");
  w.Click("DBNavigator1.Post");
  EXPECT_EQ(Nos(d.Library()).back(), "0009");
  EXPECT_EQ(d.CurrentRecord(), 4);
  EXPECT_FALSE(d.Library().At(4).VI.has_value());
  // Moving to another row posts a pending edit.
  DBEdit(d, "EN")->SetText("No density");
  d.GoTo(0);
  EXPECT_EQ(d.Library().At(4).EN.value_or(""), "No density");
}

TEST(SimpMaintenance, DuplicateOrNonIntegerNumbersAreRefusedAtPost) {
  Window w;
  w.Open();
  TFormSimpPL& d = w.D();
  Unlock(w);
  w.Click("DBNavigator1.Insert");
  DBEdit(d, "NO")->SetText("1");
  DBEdit(d, "CN")->SetText("重复");
  w.Click("DBNavigator1.Post");
  EXPECT_EQ(d.State(), DataState::Insert);
  EXPECT_EQ(w.port.Messages().back(), "流水号 1 已经存在（测试液）。");
  for (const char* bad : {"12a", "1.5", "", "-3"}) {
    DBEdit(d, "NO")->SetText(bad);
    w.Click("DBNavigator1.Post");
    EXPECT_EQ(d.State(), DataState::Insert) << bad;
    EXPECT_NE(w.port.Messages().back().find("流水号必须是整数"), std::string::npos) << bad;
  }
  // A text wider than its field is refused with the field's name.
  DBEdit(d, "NO")->SetText("77");
  DBEdit(d, "CN")->SetText(std::string(30, 'x'));
  w.Click("DBNavigator1.Post");
  EXPECT_NE(w.port.Messages().back().find("中文名"), std::string::npos);
  EXPECT_EQ(d.Library().Count(), 4);
  DBEdit(d, "CN")->SetText("好");
  w.Click("DBNavigator1.Post");
  EXPECT_EQ(d.Library().Count(), 5);
}

TEST(SimpMaintenance, DeleteAsksFirst) {
  Window w;
  w.Open();
  TFormSimpPL& d = w.D();
  Unlock(w);
  d.LocateNO("0002");
  w.port.answers = {Answer::No};
  w.Click("DBNavigator1.Delete");
  EXPECT_EQ(w.port.Messages().back(), "确定删除记录0002 无密度物质？");
  EXPECT_EQ(d.Library().Count(), 4);
  w.port.answers = {Answer::Yes};
  w.Click("DBNavigator1.Delete");
  EXPECT_EQ(Nos(d.Library()), (std::vector<std::string>{"0001", "0003", "0004"}));
  EXPECT_EQ(d.DBTextNO->Text(), "0003");
}

TEST(SimpMaintenance, SaveAndReloadLoseNothing) {
  Window w;
  w.Open();
  TFormSimpPL& d = w.D();
  Unlock(w);
  w.Click("DBNavigator1.Insert");
  DBEdit(d, "NO")->SetText("0010");
  DBEdit(d, "CN")->SetText("乙二醇(液)");
  DBEdit(d, "MD")->SetText("0,1127;20,1113;40,1099;60,1085 ? 来源：手册");
  DBEdit(d, "NT")->SetText("0–60 °C，常压");
  w.Click("BBSaveSys");
  EXPECT_FALSE(d.LibraryModified());
  const std::string path = w.dir.Folder() + PropLibrary::kFileName;
  EXPECT_EQ(d.LibraryPath(), path);
  EXPECT_EQ(d.StatusBar1->PanelText(0), "物性库已保存到 " + path);
  EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));

  w.Open();  // a new start of the program
  TFormSimpPL& again = w.D();
  ASSERT_EQ(again.Library().Count(), 5);
  const PropRecord& r = again.Library().At(again.Library().Find("0010"));
  EXPECT_EQ(r.CN.value_or(""), "乙二醇(液)");
  EXPECT_EQ(r.MD.value_or(""), "0,1127;20,1113;40,1099;60,1085 ? 来源：手册");
  EXPECT_FALSE(r.CP.has_value());
  EXPECT_EQ(again.Library().At(0).Pc.value_or(""), "22064");
}

TEST(SimpMaintenance, AFailedOrInterruptedSaveLeavesTheOldLibrary) {
  Window w;
  w.Open();
  TFormSimpPL& d = w.D();
  const std::string path = w.dir.Folder() + PropLibrary::kFileName;
  Unlock(w);
  d.LocateNO("0001");
  DBEdit(d, "CN")->SetText("改过的名字");
  w.Click("DBNavigator1.Post");

  // The new file cannot be written (the disk is full for this process after 4 kB): the
  // old one stays, the user is told.
  {
    struct rlimit old {};
    ::getrlimit(RLIMIT_FSIZE, &old);
    auto handler = ::signal(SIGXFSZ, SIG_IGN);
    rlimit small{4096, old.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &small);
    w.Click("BBSaveSys");
    ::setrlimit(RLIMIT_FSIZE, &old);
    ::signal(SIGXFSZ, handler);
  }
  EXPECT_TRUE(d.LibraryModified());
  ASSERT_FALSE(w.port.Messages().empty());
  EXPECT_NE(w.port.Messages().back().find("无法保存物性数据库"), std::string::npos) << w.port.Messages().back();
  EXPECT_NE(d.StatusBar1->PanelText(0).find("没有保存"), std::string::npos);
  PropLibrary old;
  std::string m;
  ASSERT_TRUE(old.Load(path, &m)) << m;
  EXPECT_EQ(old.At(0).CN.value_or(""), "测试液");

  // A save killed after writing part of the new file leaves a stray temporary file:
  // the library still loads, and the next save removes it (its writer no longer runs).
  const std::string stray = w.dir.Folder() + ".PropLib.cds.pelmora-Half01";
  { std::ofstream(stray, std::ios::binary) << "SQLite format 3 half written"; }
  ASSERT_TRUE(old.Load(path, &m)) << m;
  EXPECT_EQ(old.Count(), 4);
  w.Click("BBSaveSys");
  EXPECT_FALSE(d.LibraryModified());
  ASSERT_TRUE(old.Load(path, &m)) << m;
  EXPECT_EQ(old.At(0).CN.value_or(""), "改过的名字");
  EXPECT_FALSE(std::filesystem::exists(stray));
}

TEST(SimpMaintenance, ClosingWithUnsavedChangesAsks) {
  Window w;
  w.Open();
  TFormSimpPL& d = w.D();
  Unlock(w);
  w.Click("DBNavigator1.Insert");
  DBEdit(d, "CN")->SetText("待保存");
  // Closing posts the pending record, then asks; Cancel keeps the dialog open.
  w.port.answers = {Answer::Cancel};
  w.Click("BBCancle");
  EXPECT_EQ(w.port.Messages().back(), "物性库已修改，是否保存？");
  EXPECT_TRUE(d.Showing());
  EXPECT_EQ(d.Library().Count(), 5);
  // No: closed, the change stays in memory (asked again next time).
  w.port.answers = {Answer::No};
  w.Click("BBCancle");
  EXPECT_FALSE(d.Showing());
  EXPECT_TRUE(d.LibraryModified());
  // Yes: saved.
  w.Click(w.F().SBP2);
  w.port.answers = {Answer::Yes};
  w.Click("BBOK");
  EXPECT_FALSE(d.Showing());
  EXPECT_FALSE(d.LibraryModified());
  PropLibrary saved;
  std::string m;
  ASSERT_TRUE(saved.Load(w.dir.Folder() + PropLibrary::kFileName, &m));
  EXPECT_EQ(saved.Count(), 5);
}

TEST(SimpMaintenance, InstalledProgramSavesToTheUserFolderAndLoadsItFromThen) {
  Window w("usr/share/pelmora");  // an installed program's folder is never written
  w.Open();
  TFormSimpPL& d = w.D();
  Unlock(w);
  d.LocateNO("0004");
  DBEdit(d, "CP")->SetText("4000");
  w.Click("DBNavigator1.Post");
  w.Click("BBSaveSys");
  const std::string user = w.dir.Root() + "xdg/pelmora/" + PropLibrary::kFileName;
  EXPECT_EQ(d.LibraryPath(), user);
  EXPECT_EQ(d.StatusBar1->PanelText(0), "物性库已保存到 " + user);
  PropLibrary shipped;
  std::string m;
  ASSERT_TRUE(shipped.Load(w.dir.Folder() + PropLibrary::kFileName, &m));
  EXPECT_EQ(shipped.At(3).CP.value_or(""), "4200-2*t");

  w.Open();
  EXPECT_EQ(w.D().LibraryPath(), user);
  EXPECT_EQ(w.D().Library().At(3).CP.value_or(""), "4000");
}

TEST(SimpMaintenance, DamagedOrMissingLibraryGivesAClearMessageAndAnEmptyLibrary) {
  Window w("bin", false);
  { std::ofstream(w.dir.Folder() + PropLibrary::kFileName, std::ios::binary) << "this is not a database\n"; }
  w.Open();
  TFormSimpPL& d = w.D();
  EXPECT_EQ(d.Library().Count(), 0);
  EXPECT_TRUE(w.port.Messages().empty());  // said when the dialog is first opened
  w.Click(w.F().SBP2);
  ASSERT_EQ(w.port.Messages().size(), 1u);
  EXPECT_NE(w.port.Messages()[0].find("已损坏"), std::string::npos) << w.port.Messages()[0];
  EXPECT_TRUE(d.Showing());
  w.Click("BBCal");
  EXPECT_EQ(w.port.Messages().back(), "物性库中没有物质可供计算。");
  w.Click("DBNavigator1.Next");
  w.Click("BBOK");
  EXPECT_FALSE(d.Showing());
  // Only once.
  w.Click(w.F().SBP2);
  EXPECT_EQ(w.port.Messages().size(), 2u);

  Window none("bin", false);
  none.Open();
  none.Click(none.F().SBP1);
  ASSERT_FALSE(none.port.Messages().empty());
  EXPECT_NE(none.port.Messages()[0].find("找不到物性数据库文件"), std::string::npos);
}

}  // namespace
}  // namespace pelmora

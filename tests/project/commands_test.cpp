// The project commands as a user meets them: dialogs with their titles, the window
// title, the modified state, the recent-files menu, failures that change nothing.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "ProjectTestUtil.h"
#include "ProjectWindow.h"
#include "app/PelmoraApp.h"
#include "fields/FieldOps.h"
#include "project/SaveFormData.h"

namespace pelmora {
namespace {

using testing::Header;
using testing::ReadBytes;
using testing::Rec;
using testing::TempDir;
using testing::WriteGbkFile;

struct Window : testing::AppWindow {
  ProjectCommands& cmd = app.project;

  std::vector<std::string> MenuCaptions() const {
    std::vector<std::string> c;
    for (size_t i = 0; i < f.MFile->Count(); ++i) c.push_back(f.MFile->Item(i)->Caption());
    return c;
  }
  const PortEvent& Last() const { return port.events.back(); }
};

const std::string kTitle = TFormPelmora::kTitle;

TEST(ProjectCommands, SaveAsOpenAndSaveFollowTheTitleAndModifiedRules) {
  TempDir dir;
  const std::string file = dir / "tank.pmf";
  {
    Window w;
    EXPECT_EQ(w.f.Caption(), kTitle);
    EXPECT_FALSE(w.f.MFSave->Enabled());
    w.f.MaoD->SetText("2000");
    EXPECT_TRUE(w.f.ProjectModified());
    EXPECT_TRUE(w.f.MFSave->Enabled());

    w.port.files.push_back(file);
    ASSERT_TRUE(w.Click("MFAsClick"));
    EXPECT_EQ(w.Last().kind, PortEvent::Kind::Save);
    EXPECT_EQ(w.Last().caption, "另存为-输入名称");
    EXPECT_EQ(w.f.CurrentProjectFile, file);
    EXPECT_EQ(w.f.Caption(), kTitle + "-[" + file + "]");
    EXPECT_TRUE(w.f.ProjectModified());  // Save as leaves the save command enabled
    EXPECT_EQ(w.cmd.MRF.Files(), std::vector<std::string>{file});

    w.f.MaoD->SetText("2500");
    ASSERT_TRUE(w.Click("SBFSaveClick"));             // named: no dialog
    EXPECT_EQ(w.Last().kind, PortEvent::Kind::Save);  // still the Save as event
    EXPECT_FALSE(w.f.ProjectModified());
    EXPECT_FALSE(w.f.MFSave->Enabled());
  }
  Window w;
  w.port.files.push_back(file);
  ASSERT_TRUE(w.Click("SBFOpenClick"));
  EXPECT_EQ(w.Last().caption, "打开项目-选择项目文件");
  EXPECT_EQ(w.f.MaoD->Text(), "2500");
  EXPECT_EQ(w.f.CurrentProjectFile, file);
  EXPECT_EQ(w.f.Caption(), kTitle + "-[" + file + "]");
  EXPECT_FALSE(w.f.ProjectModified());
  EXPECT_FALSE(w.f.MFSave->Enabled());
  auto menu = w.MenuCaptions();
  ASSERT_EQ(menu.size(), 10u);
  EXPECT_EQ(menu[6], "-");
  EXPECT_EQ(menu[7], "&1  " + file);
  EXPECT_EQ(menu[8], "-");
  EXPECT_EQ(menu[9], "&E 退出");
}

TEST(ProjectCommands, CancelledDialogs) {
  Window w;
  w.f.MaoD->SetText("1");
  // Save while unnamed, dialog cancelled: nothing written, save command disabled.
  ASSERT_TRUE(w.Click("MFSaveClick"));
  EXPECT_EQ(w.Last().caption, "新建项目-输入名称");
  EXPECT_FALSE(w.f.MFSave->Enabled());
  EXPECT_TRUE(w.f.CurrentProjectFile.empty());
  // Save as, New and Save as template cancelled: nothing changes.
  w.f.MaoD->SetText("2");
  for (const char* h : {"MFAsClick", "MFNewClick", "MFTempClick"}) {
    ASSERT_TRUE(w.Click(h));
    EXPECT_TRUE(w.f.ProjectModified()) << h;
    EXPECT_EQ(w.f.Caption(), kTitle) << h;
  }
  // Open cancelled: the mode reactions run again and the save command ends disabled.
  ASSERT_TRUE(w.Click("MFOpenClick"));
  EXPECT_FALSE(w.f.MFSave->Enabled());
  EXPECT_EQ(w.f.MaoD->Text(), "2");
}

TEST(ProjectCommands, NewFromTemplateIsUnnamedAndKeepsTheReport) {
  TempDir dir;
  Window w;
  w.f.MaoD->SetText("3000");
  PutResult(*w.f.AtD, RGBColor(1, 2, 3), 0.01, 7.5);
  w.f.RichEditReport->SetLines({"旧报告"});
  w.port.files.push_back(dir / "base.pmt");
  ASSERT_TRUE(w.Click("SBFTempClick"));
  EXPECT_EQ(w.Last().caption, "存为模板-输入模板名称");
  EXPECT_EQ(w.f.Caption(), kTitle);
  EXPECT_TRUE(w.cmd.MRF.Files().empty());
  EXPECT_EQ(ReadBytes(dir / "base.pmt").find("RichEditReport"), std::string::npos);

  Window n;
  bool discarded = false;
  n.cmd.discardCurve = [&] { discarded = true; };
  n.f.RichEditReport->SetLines({"这一份报告留下"});
  n.port.files.push_back(dir / "base.pmt");
  ASSERT_TRUE(n.Click("MFNewClick"));
  EXPECT_EQ(n.Last().caption, "新建项目-选择模板");
  EXPECT_EQ(n.f.MaoD->Text(), "3000");
  EXPECT_EQ(n.f.AtD->Text(), "7.5");  // results come back as stored
  EXPECT_TRUE(n.f.AtD->ReadOnly());
  EXPECT_EQ(n.f.RichEditReport->Lines(), std::vector<std::string>{"这一份报告留下"});
  EXPECT_EQ(n.f.Caption(), kTitle + "-[无名项目]");
  EXPECT_TRUE(n.f.CurrentProjectFile.empty());
  EXPECT_FALSE(n.f.MFSave->Enabled());
  EXPECT_TRUE(discarded);
  EXPECT_TRUE(n.cmd.MRF.Files().empty());
}

TEST(ProjectCommands, TemplateOpenedAsProjectIsNotARecentFile) {
  TempDir dir;
  Window w;
  SaveFormRecords(w.f, dir / "x.pmt");
  w.port.files.push_back(dir / "x.pmt");
  ASSERT_TRUE(w.Click("MFOpenClick"));
  EXPECT_EQ(w.f.CurrentProjectFile, dir / "x.pmt");
  EXPECT_TRUE(w.cmd.MRF.Files().empty());
}

TEST(ProjectCommands, FailedOpensChangeNothing) {
  TempDir dir;
  Window w;
  w.port.files.push_back(dir / "mine.pmf");
  w.f.MaoD->SetText("100");
  ASSERT_TRUE(w.Click("MFAsClick"));
  const std::string mine = ReadBytes(dir / "mine.pmf");
  w.f.MaoD->SetText("150");
  const auto before = CollectFormRecords(w.f);
  const std::string title = w.f.Caption();

  WriteGbkFile(dir / "half.pmf",
               Header() + Rec("MaoD", "String", "Text", "999") + Rec("RGEType", "Ord", "ItemIndex", "1") +
                   Rec("TaoD", "Float", "Exchange", "zwei") + Rec("OBJNameD", "String", "Text", "tail"));
  WriteGbkFile(dir / "notes.txt", "just some notes\n");
  struct Case {
    std::string file, expectInMessage;
  };
  for (const Case& c : {Case{dir / "half.pmf", "'zwei' is not a valid floating point value"},
                        Case{dir / "gone.pmf", dir / "gone.pmf"}, Case{dir / "notes.txt", dir / "notes.txt"}}) {
    w.port.Clear();
    w.port.files.push_back(c.file);
    w.Click("MFOpenClick");
    ASSERT_FALSE(w.port.Messages().empty()) << c.file;
    EXPECT_NE(w.port.Messages().back().find(c.expectInMessage), std::string::npos) << w.port.Messages().back();
    EXPECT_EQ(testing::FirstDifference(CollectFormRecords(w.f), before), "") << c.file;
    EXPECT_EQ(w.f.CurrentProjectFile, dir / "mine.pmf");
    EXPECT_EQ(w.f.Caption(), title);
    EXPECT_TRUE(w.f.ProjectModified());
    EXPECT_EQ(w.cmd.MRF.Files(), std::vector<std::string>{dir / "mine.pmf"});
  }
  // So a following Save writes the window to the user's own file, as it was.
  ASSERT_TRUE(w.Click("MFSaveClick"));
  Window check;
  ASSERT_TRUE(LoadFormRecords(check.f, dir / "mine.pmf"));
  EXPECT_EQ(check.f.MaoD->Text(), "150");
  EXPECT_NE(ReadBytes(dir / "mine.pmf"), mine);

  // New from a bad template and a start-up open of a missing file change nothing either.
  w.port.files.push_back(dir / "half.pmf");
  w.Click("MFNewClick");
  EXPECT_EQ(w.f.CurrentProjectFile, dir / "mine.pmf");
  w.cmd.OpenAtStartup(dir / "gone.pmf");
  EXPECT_EQ(w.f.CurrentProjectFile, dir / "mine.pmf");
}

TEST(ProjectCommands, FailedSaveKeepsTheOldFileAndTheChanges) {
  TempDir dir;
  Window w;
  w.f.MaoD->SetText("100");
  w.port.files.push_back(dir / "p.pmf");
  ASSERT_TRUE(w.Click("MFAsClick"));
  ASSERT_TRUE(w.Click("MFSaveClick"));
  const std::string old = ReadBytes(dir / "p.pmf");

  // A text the code page cannot hold: reported, nothing written, still unsaved.
  w.f.OBJNoteD->SetText("直径 Ø 25");
  w.port.Clear();
  EXPECT_FALSE(w.Click("MFSaveClick"));
  ASSERT_EQ(w.port.Messages().size(), 1u);
  EXPECT_NE(w.port.Messages()[0].find("OBJNoteD"), std::string::npos) << w.port.Messages()[0];
  EXPECT_EQ(ReadBytes(dir / "p.pmf"), old);
  EXPECT_TRUE(w.f.ProjectModified());
  EXPECT_TRUE(w.f.MFSave->Enabled());
  w.f.OBJNoteD->SetText("直径 25");

  // Save as into a folder that does not exist: the system's reason, nothing renamed.
  w.port.Clear();
  w.port.files.push_back(dir / "no/such/folder/q.pmf");
  EXPECT_FALSE(w.Click("MFAsClick"));
  ASSERT_EQ(w.port.Messages().size(), 1u);
  EXPECT_NE(w.port.Messages()[0].find("No such file or directory"), std::string::npos) << w.port.Messages()[0];
  EXPECT_EQ(w.f.CurrentProjectFile, dir / "p.pmf");
  EXPECT_EQ(w.cmd.MRF.Files(), std::vector<std::string>{dir / "p.pmf"});
}

TEST(ProjectCommands, FolderThatRefusesNewFiles) {
  TempDir dir;
  Window w;
  w.f.MaoD->SetText("100");
  w.port.files.push_back(dir / "p.pmf");
  ASSERT_TRUE(w.Click("MFAsClick"));
  const std::string old = ReadBytes(dir / "p.pmf");
  w.f.MaoD->SetText("200");
  ::chmod(dir.path().c_str(), 0555);
  if (::access(dir.path().c_str(), W_OK) == 0) GTEST_SKIP() << "running with rights that ignore permissions";
  w.port.Clear();
  EXPECT_FALSE(w.Click("MFSaveClick"));
  ASSERT_EQ(w.port.Messages().size(), 1u);
  EXPECT_NE(w.port.Messages()[0].find("Permission denied"), std::string::npos) << w.port.Messages()[0];
  EXPECT_EQ(ReadBytes(dir / "p.pmf"), old);
  EXPECT_TRUE(w.f.ProjectModified());
  ::chmod(dir.path().c_str(), 0755);
}

TEST(ProjectCommands, StartupOpenThenOpenAsksAgain) {
  TempDir dir;
  Window w;
  w.f.MaoD->SetText("42");
  SaveFormRecords(w.f, dir / "s.pmf");
  Window s;
  s.cmd.OpenAtStartup(dir / "s.pmf");
  EXPECT_TRUE(s.port.events.empty());
  EXPECT_EQ(s.f.MaoD->Text(), "42");
  EXPECT_EQ(s.f.Caption(), kTitle + "-[" + dir / "s.pmf" + "]");
  EXPECT_FALSE(s.f.ProjectModified());  // the start-up open is the Open command
  EXPECT_FALSE(s.f.MFSave->Enabled());
  EXPECT_FALSE(s.cmd.HasUnsavedChanges());
  s.Click("MFOpenClick");
  ASSERT_FALSE(s.port.events.empty());
  EXPECT_EQ(s.Last().kind, PortEvent::Kind::Open);
}

TEST(ProjectCommands, ClearFieldAsksAndAlwaysFreesTheField) {
  Window w;
  PutResult(*w.f.AtD, RGBColor(200, 200, 255), 0.01, 12);
  w.f.AtD->SetEnabled(false);
  w.f.FocusChangedByView(w.f.AtD);
  w.port.answers.push_back(Answer::No);
  ASSERT_TRUE(w.Click("SBClearClick"));
  EXPECT_EQ(w.Last().text, "你要清除数据:" + w.f.AtL->Caption() + "?");
  EXPECT_EQ(w.Last().caption, "清除数据");
  EXPECT_EQ(w.Last().type, MsgType::Question);
  EXPECT_EQ(w.f.AtD->Text(), "12");
  EXPECT_FALSE(w.f.AtD->ReadOnly());
  EXPECT_TRUE(w.f.AtD->Enabled());
  EXPECT_EQ(w.f.AtD->GetColor(), colors::Window);

  w.port.answers.push_back(Answer::Yes);
  ASSERT_TRUE(w.Click("SBClearClick"));
  EXPECT_EQ(w.f.AtD->Text(), "");

  // Not a value field: nothing is asked.
  w.port.Clear();
  w.f.FocusChangedByView(w.f.OBJNameD);
  ASSERT_TRUE(w.Click("SBClearClick"));
  EXPECT_TRUE(w.port.events.empty());
}

TEST(ProjectCommands, ClosingAsksOnlyAboutUnsavedChanges) {
  TempDir dir;
  Window w;
  EXPECT_TRUE(w.cmd.CanClose());
  EXPECT_TRUE(w.port.events.empty());

  w.f.MaoD->SetText("5");
  w.port.answers.push_back(Answer::Cancel);
  EXPECT_FALSE(w.cmd.CanClose());
  EXPECT_EQ(w.Last().type, MsgType::Question);
  w.port.answers.push_back(Answer::No);
  EXPECT_TRUE(w.cmd.CanClose());

  // Yes saves; a cancelled naming dialog keeps the window open.
  w.port.answers.push_back(Answer::Yes);
  EXPECT_FALSE(w.cmd.CanClose());
  w.port.answers.push_back(Answer::Yes);
  w.port.files.push_back(dir / "closing.pmf");
  EXPECT_TRUE(w.cmd.CanClose());
  Window check;
  ASSERT_TRUE(LoadFormRecords(check.f, dir / "closing.pmf"));
  EXPECT_EQ(check.f.MaoD->Text(), "5");
  w.port.Clear();
  EXPECT_TRUE(w.cmd.CanClose());  // saved: nothing more to ask
  EXPECT_TRUE(w.port.events.empty());

  // After a cancelled Save on an unnamed project the changes still count as unsaved.
  Window u;
  u.f.MaoD->SetText("9");
  u.Click("MFSaveClick");
  EXPECT_FALSE(u.f.MFSave->Enabled());
  EXPECT_TRUE(u.cmd.HasUnsavedChanges());
}

}  // namespace
}  // namespace pelmora

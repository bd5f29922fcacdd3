// What an engineer can rely on: a modified project is never replaced without a question,
// results of a calculation that stopped half way are marked as such, and a program that
// was killed leaves a copy of the unsaved project that the next start offers back.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "ProjectTestUtil.h"
#include "ProjectWindow.h"
#include "app/PelmoraApp.h"
#include "fields/FieldOps.h"
#include "project/SaveFormData.h"

namespace pelmora {
namespace {

using testing::kExample;
using testing::TempDir;

const std::string kOther = testing::Example("storage-tank-steam");
const std::string kTemplate = testing::Template("storage-tank-hot-water");

struct Window : testing::AppWindow {
  bool Recalc() {
    return app.Run([this] { f.RunHandler("MaoDExit", f.TaoD); });
  }
  int Questions() const {
    int n = 0;
    for (const auto& e : port.events)
      if (e.kind == PortEvent::Kind::Box && e.type == MsgType::Question) ++n;
    return n;
  }
  int Dialogs() const {
    int n = 0;
    for (const auto& e : port.events)
      if (e.kind == PortEvent::Kind::Open || e.kind == PortEvent::Kind::Save) ++n;
    return n;
  }
  std::vector<std::string> StaleFields() const {
    std::vector<std::string> s;
    for (const EditD* e : f.ValueFields())
      if (e->Stale()) s.push_back(e->Name());
    return s;
  }
};

TEST(AskBeforeReplacing, OpenNewAndARecentFileAskAboutUnsavedChangesAndCancelDropsTheCommand) {
  TempDir dir;
  for (const char* command : {"MFOpenClick", "MFNewClick", "recent"}) {
    SCOPED_TRACE(command);
    Window w;
    ASSERT_TRUE(w.app.Run([&] { w.app.project.OpenAtStartup(kExample); }));
    w.app.project.MRF.AddFile(kOther);
    w.f.MaoD->SetText("4321");
    w.port.Clear();
    auto run = [&] {
      if (std::string(command) == "recent") return w.app.Run([&] { w.app.project.MRFMenuClick(kOther); });
      w.port.files.push_back(std::string(command) == "MFNewClick" ? kTemplate : kOther);
      return w.Click(command);
    };

    // Cancel: nothing happens, not even the file dialog.
    w.port.answers.push_back(Answer::Cancel);
    ASSERT_TRUE(run());
    ASSERT_EQ(w.Questions(), 1);
    EXPECT_EQ(w.port.events.front().text, "是否保存对storage-tank-hot-water.pmf的修改？");
    EXPECT_EQ(w.Dialogs(), 0);
    EXPECT_EQ(w.f.MaoD->Text(), "4321");
    EXPECT_EQ(w.f.CurrentProjectFile, kExample);
    w.port.files.clear();

    // No: the changes are dropped and the command goes on.
    w.port.Clear();
    w.port.answers.push_back(Answer::No);
    ASSERT_TRUE(run());
    EXPECT_EQ(w.Questions(), 1);
    EXPECT_NE(w.f.MaoD->Text(), "4321");
    EXPECT_FALSE(w.f.ProjectModified());
    Window disk;
    ASSERT_TRUE(LoadFormRecords(disk.f, kExample));
    EXPECT_NE(disk.f.MaoD->Text(), "4321");  // the file on disk was not touched
  }
}

TEST(AskBeforeReplacing, YesSavesAnUnnamedProjectThroughTheNamingDialogFirst) {
  TempDir dir;
  Window w;
  w.f.MaoD->SetText("1234");
  w.port.answers.push_back(Answer::Yes);
  w.port.files.push_back(dir / "named.pmf");  // the naming dialog
  w.port.files.push_back(kExample);           // then Open's dialog
  ASSERT_TRUE(w.Click("MFOpenClick"));
  EXPECT_EQ(w.port.events.front().text, "是否保存对无名项目的修改？");
  EXPECT_EQ(w.f.CurrentProjectFile, kExample);
  Window saved;
  ASSERT_TRUE(LoadFormRecords(saved.f, dir / "named.pmf"));
  EXPECT_EQ(saved.f.MaoD->Text(), "1234");

  // A naming dialog that is cancelled keeps the project and drops the Open.
  Window u;
  u.f.MaoD->SetText("77");
  u.port.answers.push_back(Answer::Yes);
  u.port.files.push_back(std::nullopt);
  u.port.files.push_back(kExample);
  ASSERT_TRUE(u.Click("MFOpenClick"));
  EXPECT_EQ(u.f.MaoD->Text(), "77");
  EXPECT_TRUE(u.f.CurrentProjectFile.empty());
}

TEST(StaleResults, AFailedRunMarksWhatItDidNotReachAndACompletedRunClearsEveryMark) {
  Window w;
  ASSERT_TRUE(w.app.Run([&] { w.app.project.OpenAtStartup(kExample); }));
  ASSERT_TRUE(w.Recalc()) << ::testing::PrintToString(w.port.Messages());
  EXPECT_TRUE(w.StaleFields().empty());
  const std::string area = w.f.AtD->Text(), length = w.f.LtD->Text();
  ASSERT_FALSE(area.empty());

  // A zero viscosity on the tube side stops the run in the tube-side coefficient.
  w.f.ViiD->SetText("0");
  w.port.Clear();
  EXPECT_FALSE(w.Recalc());
  ASSERT_FALSE(w.port.Messages().empty());
  const auto stale = w.StaleFields();
  EXPECT_FALSE(stale.empty());
  EXPECT_TRUE(w.f.AtD->Stale());
  EXPECT_EQ(w.f.AtD->Text(), area);  // still there, but marked
  EXPECT_EQ(w.f.MyStatusBar->PanelText(1).rfind("计算中断：", 0), 0u) << w.f.MyStatusBar->PanelText(1);
  for (const auto& name : stale) EXPECT_NE(name, "ViiD");  // an input is never stale
  // The curve is not computed from it.
  w.port.Clear();
  w.app.Run([&] { w.f.RunHandler("SBTCurveClick", w.f.SBTCurve); });
  EXPECT_EQ(w.app.curve.data.Intervals(), 0);
  ASSERT_FALSE(w.port.Messages().empty());

  // Typing into a stale result makes it the user's value.
  w.f.LtD->SetText(length);
  EXPECT_FALSE(w.f.LtD->Stale());

  w.f.ViiD->SetText("0.000469");
  ASSERT_TRUE(w.Recalc()) << ::testing::PrintToString(w.port.Messages());
  EXPECT_TRUE(w.StaleFields().empty());
  EXPECT_EQ(w.f.MyStatusBar->PanelText(1).find("计算中断"), std::string::npos);
}

TEST(StaleResults, AClearedInputMarksTheResultsOfTheEarlierRun) {
  Window w;
  ASSERT_TRUE(w.app.Run([&] { w.app.project.OpenAtStartup(kExample); }));
  ASSERT_TRUE(w.Recalc());
  w.f.FocusChangedByView(w.f.TaoD);
  w.port.answers.push_back(Answer::Yes);
  ASSERT_TRUE(w.Click("SBClearClick"));
  EXPECT_TRUE(w.f.AtD->Stale());
  EXPECT_FALSE(w.f.TaoD->Stale());
}

// A child process stands for a program that is killed with unsaved changes.
TEST(Recovery, AKilledProgramLeavesACopyThatTheNextStartOffersAndOpensUnnamed) {
  TempDir state;
  setenv("XDG_STATE_HOME", state.path().c_str(), 1);
  const pid_t child = testing::KilledWithACopy([](PelmoraApp& app) { app.form.MaoD->SetText("8765"); });
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status));
  ASSERT_EQ(Recovery::Orphans().size(), 1u);

  // A running instance does not find its own copy; the next start asks.
  Window w;
  w.app.recovery.enabled = true;
  w.port.answers.push_back(Answer::Yes);
  bool recovered = false;
  ASSERT_TRUE(w.app.Run([&] { recovered = w.app.recovery.Offer(); }));
  EXPECT_TRUE(recovered);
  ASSERT_FALSE(w.port.events.empty());
  EXPECT_EQ(w.port.events.front().text.rfind("发现未保存的项目，是否恢复？", 0), 0u);
  EXPECT_NE(w.port.events.front().text.find("storage-tank-hot-water.pmf"), std::string::npos);
  EXPECT_EQ(w.f.MaoD->Text(), "8765");
  EXPECT_TRUE(w.f.ProjectModified());
  EXPECT_TRUE(w.f.CurrentProjectFile.empty());
  EXPECT_TRUE(Recovery::Orphans().empty());
  // This instance keeps its own copy now; a save removes it.
  EXPECT_TRUE(std::filesystem::exists(w.app.recovery.CopyPath()));
  w.port.files.push_back(state / "saved.pmf");
  ASSERT_TRUE(w.Click("MFSaveClick"));
  EXPECT_FALSE(std::filesystem::exists(w.app.recovery.CopyPath()));
  unsetenv("XDG_STATE_HOME");
}

TEST(Recovery, TwoInstancesKeepTwoCopiesAndANoDiscardsTheOrphan) {
  TempDir state;
  setenv("XDG_STATE_HOME", state.path().c_str(), 1);
  Window a, b;
  a.app.recovery.enabled = b.app.recovery.enabled = true;
  {
    // Two instances keep two copies, in one process as in two; neither is an orphan.
    Window c, d;
    c.app.recovery.enabled = d.app.recovery.enabled = true;
    c.f.MaoD->SetText("1");
    d.f.MaoD->SetText("2");
    c.app.recovery.Write();
    d.app.recovery.Write();
    EXPECT_NE(c.app.recovery.CopyPath(), d.app.recovery.CopyPath());
    EXPECT_TRUE(Recovery::Orphans().empty());
    c.app.recovery.End();
    d.app.recovery.End();
  }
  pid_t child = fork();
  if (child == 0) {
    ScriptedPort port;
    PelmoraApp app(&port, PELMORA_PROGRAM_DIR);
    app.recovery.enabled = true;
    app.form.MaoD->SetText("1");
    app.recovery.Write();
    _exit(Recovery::Orphans().empty() ? 0 : 1);  // its own copy is no orphan while it runs
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  ASSERT_EQ(Recovery::Orphans().size(), 1u);  // the child has ended: its copy is orphaned
  a.port.answers.push_back(Answer::No);
  ASSERT_TRUE(a.app.Run([&] { EXPECT_FALSE(a.app.recovery.Offer()); }));
  EXPECT_TRUE(Recovery::Orphans().empty());
  EXPECT_FALSE(a.f.ProjectModified());
  unsetenv("XDG_STATE_HOME");
}

}  // namespace
}  // namespace pelmora

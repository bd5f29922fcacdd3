// Recovery that always offers: a program killed with unsaved changes leaves a copy that
// the next start finds at once (the killed process may still be a zombie, its number may
// belong to another program by then), opens with its out-of-date results marked, and a
// state folder that cannot be written is said. Per-user files never go to shared folders.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "ProjectTestUtil.h"
#include "ProjectWindow.h"
#include "app/PelmoraApp.h"
#include "fields/DurableFile.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;
using testing::kExample;
using testing::KilledWithACopy;
using testing::Reap;
using testing::TempDir;
using testing::WriteBytes;

const std::string kOther = testing::Example("agitated-tank");

// An environment variable for the lifetime of the object.
class Env {
 public:
  Env(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old, had_ = true;
    setenv(name, value.c_str(), 1);
  }
  ~Env() {
    if (had_)
      setenv(name_, old_.c_str(), 1);
    else
      unsetenv(name_);
  }
  Env(const Env&) = delete;
  Env& operator=(const Env&) = delete;

 private:
  const char* name_;
  std::string old_;
  bool had_ = false;
};

struct Window : testing::AppWindow {
  Window() { app.recovery.enabled = true; }
  bool Offer(Answer a) {
    port.answers.push_back(a);
    bool recovered = false;
    EXPECT_TRUE(app.Run([&] { recovered = app.recovery.Offer(); }));
    return recovered;
  }
  bool Asked() const {
    for (const auto& e : port.events)
      if (e.kind == PortEvent::Kind::Box && e.text.rfind(Recovery::kQuestion, 0) == 0) return true;
    return false;
  }
};

// A restart at once, while the killed program is a zombie, offers its copy; so does a
// start with a project named (as a file manager starts the program).
TEST(RecoveryAlwaysOffers, ARestartWhileTheKilledProgramIsAZombieOffersItsCopy) {
  TempDir state;
  Env env("XDG_STATE_HOME", state.path());
  const pid_t child = KilledWithACopy([](PelmoraApp& app) { app.form.MaoD->SetText("8765"); });
  ASSERT_EQ(::kill(child, 0), 0) << "the killed program is still a zombie";
  ASSERT_EQ(Recovery::Orphans().size(), 1u);

  Window w;
  ASSERT_TRUE(w.app.Run([&] { w.app.project.OpenAtStartup(kOther); }));  // pelmora EX.pmf
  EXPECT_TRUE(w.Offer(Answer::Yes));
  EXPECT_TRUE(w.Asked());
  EXPECT_EQ(w.f.MaoD->Text(), "8765");
  EXPECT_TRUE(w.f.CurrentProjectFile.empty());
  EXPECT_TRUE(w.f.ProjectModified());
  EXPECT_TRUE(Recovery::Orphans().empty());
  Reap(child);
  // No lock file of the dead program is left behind either.
  for (const auto& e : fs::directory_iterator(state / "pelmora"))
    EXPECT_EQ(e.path().string().rfind(w.app.recovery.CopyPath().substr(0, w.app.recovery.CopyPath().size() - 4), 0), 0u)
        << e.path();
}

// The copy's process number given to another running program (here: this one) does not
// hide it: only its lock counts.
TEST(RecoveryAlwaysOffers, AReusedProcessNumberDoesNotHideACopy) {
  TempDir state;
  Env env("XDG_STATE_HOME", state.path());
  const pid_t child = KilledWithACopy([](PelmoraApp& app) { app.form.MaoD->SetText("4321"); });
  Reap(child);
  auto orphans = Recovery::Orphans();
  ASSERT_EQ(orphans.size(), 1u);
  const std::string stem = state / ("pelmora/recovery-" + std::to_string(::getpid()) + "-Reused");
  fs::rename(orphans[0], stem + ".pmf");
  fs::rename(orphans[0].substr(0, orphans[0].size() - 4) + ".lock", stem + ".lock");
  ASSERT_EQ(Recovery::Orphans(), std::vector<std::string>{stem + ".pmf"});
  Window w;
  EXPECT_TRUE(w.Offer(Answer::Yes));
  EXPECT_EQ(w.f.MaoD->Text(), "4321");

  // A copy of an earlier version (no lock, the number of this running process in its
  // name) is no copy of this program's: offered too.
  TempDir state2;
  Env env2("XDG_STATE_HOME", state2.path());
  fs::create_directories(state2 / "pelmora");
  fs::copy_file(kExample, state2 / ("pelmora/recovery-" + std::to_string(::getpid()) + ".pmf"));
  EXPECT_EQ(Recovery::Orphans().size(), 1u);
}

// A copy written before the first recalculation after an Open holds the new inputs with
// the old results: it says so, and the recovered results are marked out of date. A copy
// written after a completed run comes back as current.
TEST(RecoveryAlwaysOffers, RecoveredResultsAreMarkedWhenTheyWereNotCurrent) {
  TempDir state;
  Env env("XDG_STATE_HOME", state.path());
  const pid_t before = KilledWithACopy([](PelmoraApp& app) { app.form.MaoD->SetText("25"); });
  Reap(before);
  Window w;
  ASSERT_TRUE(w.Offer(Answer::Yes));
  EXPECT_EQ(w.f.MaoD->Text(), "25");
  EXPECT_TRUE(w.f.AtD->Stale());
  EXPECT_EQ(w.f.MyStatusBar->PanelText(1), std::string(kInterrupted) + PelmoraApp::kFileResultsStale);
  EXPECT_TRUE(w.app.calc.checks.empty());

  const pid_t after = KilledWithACopy([](PelmoraApp& app) {
    app.form.MaoD->SetText("25");
    app.form.RunHandler("MaoDExit", app.form.MaoD);
  });
  Reap(after);
  Window v;
  ASSERT_TRUE(v.Offer(Answer::Yes));
  EXPECT_EQ(v.f.MaoD->Text(), "25");
  EXPECT_FALSE(v.app.calc.AnyStale());
  EXPECT_EQ(v.f.MyStatusBar->PanelText(1), "");
  // The copy named the project it was made of.
  EXPECT_NE(v.port.events.front().text.find("storage-tank-hot-water.pmf"), std::string::npos);
}

// A state folder that cannot be written keeps no copy, and says so once.
TEST(RecoveryAlwaysOffers, AStateFolderThatCannotBeWrittenIsSaidOnce) {
  TempDir dir;
  WriteBytes(dir / "file", "x");
  Env env("XDG_STATE_HOME", dir / "file/state");
  Window w;
  w.f.MaoD->SetText("1");
  w.app.recovery.Write();
  EXPECT_EQ(w.f.MyStatusBar->PanelText(0), std::string(Recovery::kNotKept) + "没有可写的状态文件夹");
  w.f.MyStatusBar->SetPanelText(0, "");
  w.f.MaoD->SetText("2");
  w.app.recovery.Write();
  EXPECT_EQ(w.f.MyStatusBar->PanelText(0), "");
}

// The recent-files list of an installed program lives with the user's settings, else in
// the user's own runtime folder, never in a folder other users share.
TEST(PerUserFiles, TheRecentListNeverFallsBackToASharedFolder) {
  TempDir dir;
  fs::create_directories(dir / "share/pelmora");
  WriteBytes(dir / "file", "x");
  Env config("XDG_CONFIG_HOME", dir / "file/config");
  Env home("HOME", dir / "file");
  {
    Env runtime("XDG_RUNTIME_DIR", "");
    unsetenv("XDG_RUNTIME_DIR");
    Window w;
    w.app.project.StartRecentFiles(dir / "share/pelmora/pelmora");
    EXPECT_FALSE(w.app.project.MRF.persistent);
    EXPECT_EQ(w.f.MyStatusBar->PanelText(0), ProjectCommands::kNoRecentFolder);
  }
  // A runtime folder that others may write into is no folder of the user's own.
  fs::create_directories(dir / "shared");
  ::chmod((dir / "shared").c_str(), 0777);
  {
    Env runtime("XDG_RUNTIME_DIR", dir / "shared");
    Window w;
    w.app.project.StartRecentFiles(dir / "share/pelmora/pelmora");
    EXPECT_FALSE(w.app.project.MRF.persistent);
  }
  fs::create_directories(dir / "run");
  ::chmod((dir / "run").c_str(), 0700);
  {
    Env runtime("XDG_RUNTIME_DIR", dir / "run");
    Window w;
    w.app.project.StartRecentFiles(dir / "share/pelmora/pelmora");
    EXPECT_TRUE(w.app.project.MRF.persistent);
    EXPECT_EQ(w.app.project.MRF.ResolvedIniFile(), dir / "run/pelmora/pelmora.ini");
    w.app.project.MRF.AddFile(kExample);
  }
  EXPECT_TRUE(fs::exists(dir / "run/pelmora/pelmora.ini"));
  EXPECT_EQ(fs::status(dir / "run/pelmora").permissions() & fs::perms::all, fs::perms::owner_all);
}

}  // namespace
}  // namespace pelmora

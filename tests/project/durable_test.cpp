// No failure reported as success, no file lost: every file the program writes goes
// through one durable write (a temporary file of its own, a sync, a rename while the
// folder is locked), so a full disk, two writers at once, a killed writer or a symbolic
// link never cost the old file, and a failed write says so.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>

#include "ProjectTestUtil.h"
#include "app/PelmoraApp.h"
#include "cli/CliRunner.h"
#include "fields/DurableFile.h"
#include "props/PropLib.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

const std::string kExample = PELMORA_PROGRAM_DIR "/examples/storage-tank-hot-water.pmf";

// The files in a folder whose names begin with a dot: temporary files of writers.
std::vector<std::string> Hidden(const std::string& folder) {
  std::vector<std::string> out;
  for (const auto& e : fs::directory_iterator(folder))
    if (e.path().filename().string()[0] == '.') out.push_back(e.path().filename().string());
  return out;
}

// Runs pelmora-calc inside a child whose files may not grow beyond `limit` bytes: a
// disk that is full for this process. Returns the exit status.
int CalcWithFileLimit(const std::vector<std::string>& args, rlim_t limit) {
  pid_t child = fork();
  if (child == 0) {
    ::signal(SIGXFSZ, SIG_IGN);  // a write beyond the limit fails with EFBIG instead
    rlimit r{limit, limit};
    ::setrlimit(RLIMIT_FSIZE, &r);
    std::ostringstream out, err;
    int code = RunCli(args, out, err);
    _exit(code);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The batch-heating case of data/cases (one option and its value per line), then `more`.
std::vector<std::string> BatchCurve(std::vector<std::string> more) {
  std::vector<std::string> args;
  std::istringstream lines(ReadBytes(PELMORA_SOURCE_DIR "/data/cases/batch_curve.args"));
  for (std::string line; std::getline(lines, line);) {
    if (line.empty() || line[0] == '#') continue;
    const size_t blank = line.find(' ');
    args.push_back(line.substr(0, blank));
    if (blank != std::string::npos) args.push_back(line.substr(blank + 1));
  }
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

// Every writer of the program on a disk that fills up: the file it would replace stays
// whole, no temporary file stays behind, and the command line ends with status 3.
TEST(DurableWrite, EveryFileTheProgramWritesKeepsTheOldOneWhenTheDiskIsFull) {
  TempDir dir;
  const std::string bin = PELMORA_PROGRAM_DIR;
  struct Case {
    std::string file;
    std::vector<std::string> args;
  };
  const std::vector<Case> cases = {
      {dir / "p.pmf", {kExample, "--save", dir / "p.pmf"}},
      {dir / "t.pmt", {kExample, "--save-template", dir / "t.pmt"}},
      {dir / "r.doc", {kExample, "--click", "SBRSimple", "--save-report", dir / "r.doc"}},
      {dir / "r.pdf", {kExample, "--click", "SBRSimple", "--report-pdf", dir / "r.pdf"}},
      {dir / "c.svg", BatchCurve({"--curve", dir / "c.svg"})},
      {dir / "s.csv", {kExample, "--sweep", "TaoD=1:3:40", "--csv", dir / "s.csv"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    // Written once with room to spare: the old file.
    std::ostringstream out, err;
    ASSERT_EQ(RunCli(c.args, out, err), 0) << err.str();
    const std::string old = ReadBytes(c.file);
    ASSERT_GT(old.size(), 1000u);
    // The next write finds the disk full after 1 kB.
    EXPECT_EQ(CalcWithFileLimit(c.args, 1024), 3);
    EXPECT_EQ(ReadBytes(c.file), old);
    EXPECT_TRUE(Hidden(dir.path()).empty()) << Hidden(dir.path()).front();
  }
}

// The property library and the tube catalogue: no folder to write to (the program's
// is an installed one, the per-user one cannot be made) is said, and is status 3.
TEST(DurableWrite, AFailedLibraryOrCatalogueSaveIsStatusThree) {
  TempDir dir;
  const std::string program = dir / "share/pelmora";
  fs::create_directories(program);
  for (const char* f : {"PropLib.cds", "Piples.mdb"})
    fs::copy_file(std::string(PELMORA_PROGRAM_DIR) + "/" + f, program + "/" + f);
  WriteBytes(dir / "not-a-folder", "x");
  setenv("PELMORA_PROGRAM_DIR", program.c_str(), 1);
  setenv("XDG_DATA_HOME", (dir / "not-a-folder/data").c_str(), 1);
  std::ostringstream out, err;
  EXPECT_EQ(RunCli({"--click", "SBP2", "--set", "MaskEdit1=velmast", "--click", "BitBtn1", "--click", "BBSaveSys",
                    "--click", "BBCancle"},
                   out, err),
            3)
      << err.str();
  EXPECT_NE(err.str().find("没有可写的文件夹保存物性库"), std::string::npos) << err.str();
  std::ostringstream out2, err2;
  EXPECT_EQ(RunCli({"--pick", "31x2.1", "--click", "BPipeAdd"}, out2, err2), 3) << err2.str();
  EXPECT_NE(err2.str().find("没有可写的文件夹保存管道数据库"), std::string::npos) << err2.str();
  // With a folder to write to, the same commands succeed.
  setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
  std::ostringstream out3, err3;
  EXPECT_EQ(RunCli({"--pick", "31x2.1", "--click", "BPipeAdd"}, out3, err3), 0) << err3.str();
  EXPECT_TRUE(fs::exists(dir / "data/pelmora/Piples.mdb"));
  setenv("PELMORA_PROGRAM_DIR", PELMORA_PROGRAM_DIR, 1);
  unsetenv("XDG_DATA_HOME");
}

// Two maintenance saves of the property library at once, many times over: each writes
// a temporary file of its own, the renames take turns, and every save succeeds.
TEST(DurableWrite, ConcurrentLibrarySavesAllSucceed) {
  TempDir dir;
  const std::string path = dir / "PropLib.cds";
  PropLibrary lib;
  std::string message;
  ASSERT_TRUE(lib.Load(std::string(PELMORA_PROGRAM_DIR) + "/PropLib.cds", &message)) << message;
  ASSERT_TRUE(lib.Save(path, &message)) << message;
  constexpr int kWriters = 4, kRounds = 15;
  std::vector<pid_t> children;
  for (int w = 0; w < kWriters; ++w) {
    pid_t c = fork();
    if (c == 0) {
      int failed = 0;
      for (int k = 0; k < kRounds; ++k) {
        std::string m;
        if (!lib.Save(path, &m)) ++failed;
      }
      _exit(failed);
    }
    children.push_back(c);
  }
  int failures = 0;
  for (pid_t c : children) {
    int status = 0;
    waitpid(c, &status, 0);
    failures += WIFEXITED(status) ? WEXITSTATUS(status) : 100;
  }
  EXPECT_EQ(failures, 0);
  PropLibrary back;
  ASSERT_TRUE(back.Load(path, &message)) << message;
  EXPECT_EQ(back.Count(), lib.Count());
  EXPECT_TRUE(Hidden(dir.path()).empty());
}

// A writer killed half way leaves its temporary file; the next save into that folder
// removes it, but never the temporary file of a writer that still runs.
TEST(DurableWrite, StaleTemporariesOfDeadWritersAreRemovedByTheNextSave) {
  TempDir dir;
  // A living writer's temporary file (this process holds its lock).
  DurableTemp living(dir / "q.pmf");
  ASSERT_EQ(living.Error(), 0);
  for (int k = 0; k < 3; ++k) {
    pid_t child = fork();
    if (child == 0) {
      DurableTemp t(dir / "p.pmf");
      t.Write(std::string(100000, 'x'));
      ::kill(::getpid(), SIGKILL);
      _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
  }
  // Each new writer removed the file of the one killed before it: the last one's is left.
  ASSERT_EQ(Hidden(dir.path()).size(), 2u);
  // A journal of a database whose writer died, beside its own temporary file.
  WriteBytes(dir / ".PropLib.cds.pelmora-AbC123", "");
  WriteBytes(dir / ".PropLib.cds.pelmora-AbC123-journal", "j");
  // Files of other programs that only look alike are left alone.
  WriteBytes(dir / ".bashrc", "x");
  WriteBytes(dir / ".p.pmf.pelmora-notours", "x");

  ASSERT_EQ(WriteFileDurably(dir / "other.pmf", "new"), "");
  std::vector<std::string> left = Hidden(dir.path());
  std::sort(left.begin(), left.end());
  const std::string livingName = fs::path(living.Path()).filename().string();
  EXPECT_EQ(left, (std::vector<std::string>{".bashrc", ".p.pmf.pelmora-notours", livingName}));
  EXPECT_EQ(ReadBytes(dir / "other.pmf"), "new");
}

// Saving through a symbolic link replaces the file it points to, as editors do: the
// link stays a link (relative or absolute, in a chain), a dangling link gets its file.
TEST(DurableWrite, SavingThroughASymbolicLinkReplacesItsTarget) {
  TempDir dir;
  fs::create_directories(dir / "real");
  WriteBytes(dir / "real/tank.pmf", "old");
  fs::create_symlink("real/tank.pmf", dir / "link.pmf");
  fs::create_symlink(dir / "link.pmf", dir / "chain.pmf");
  ::chmod((dir / "real/tank.pmf").c_str(), 0640);

  ScriptedPort port;
  PelmoraApp app(&port, PELMORA_PROGRAM_DIR);
  ASSERT_TRUE(app.Run([&] { app.project.OpenAtStartup(kExample); }));
  port.files.push_back(dir / "chain.pmf");
  ASSERT_TRUE(app.Run([&] { app.form.RunHandler("MFAsClick", nullptr); }));
  EXPECT_TRUE(fs::is_symlink(dir / "link.pmf"));
  EXPECT_TRUE(fs::is_symlink(dir / "chain.pmf"));
  EXPECT_EQ(ReadBytes(dir / "real/tank.pmf"), ReadBytes(kExample));
  EXPECT_EQ(fs::status(dir / "real/tank.pmf").permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_TRUE(Hidden(dir / "real").empty());

  fs::create_symlink("made.pmf", dir / "dangling.pmf");
  EXPECT_EQ(WriteFileDurably(dir / "dangling.pmf", "made"), "");
  EXPECT_TRUE(fs::is_symlink(dir / "dangling.pmf"));
  EXPECT_EQ(ReadBytes(dir / "made.pmf"), "made");

  // A loop of links is refused with its reason, nothing written.
  fs::create_symlink("loop-b", dir / "loop-a");
  fs::create_symlink("loop-a", dir / "loop-b");
  const std::string why = WriteFileDurably(dir / "loop-a", "x");
  EXPECT_NE(why, "");
}

// The system's reasons in Chinese, the English original in brackets.
TEST(DurableWrite, ReasonsAreChineseWithTheOriginalInBrackets) {
  EXPECT_EQ(SystemReasonZh(ENOSPC), "磁盘空间不足（No space left on device）");
  EXPECT_EQ(SystemReasonZh(EROFS), "文件系统只读（Read-only file system）");
  EXPECT_EQ(SystemReasonZh(EACCES), "没有访问权限（Permission denied）");
  EXPECT_EQ(SystemReasonZh(ENOENT), "文件或文件夹不存在（No such file or directory）");
  EXPECT_EQ(SystemReasonZh(EFBIG), "文件太大（File too large）");
  // A folder where the file should be.
  TempDir dir;
  fs::create_directories(dir / "x.pmf");
  EXPECT_EQ(WriteFileDurably(dir / "x.pmf", "a"), "这是一个文件夹（Is a directory）");
  EXPECT_EQ(WriteFileDurably(dir / "none/x.pmf", "a"), "文件或文件夹不存在（No such file or directory）");
}

}  // namespace
}  // namespace pelmora

// Files and inputs a user (or a hostile file) hands the program: a named pipe, a
// device, a folder, a file far too large, bytes that are no text. Each is refused before
// it is read, in Chinese, with nothing changed; none of them makes the program wait.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <sstream>

#include "ProjectTestUtil.h"
#include "ProjectWindow.h"
#include "app/PelmoraApp.h"
#include "cli/CliRunner.h"
#include "fields/SqliteHandles.h"
#include "project/TextFile.h"
#include "props/PropLib.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;
using testing::kExample;
using testing::TempDir;
using testing::WriteBytes;

// A file of 65 MB that takes no room (a hole), a named pipe without a writer, a folder.
struct HostileFiles {
  TempDir dir;
  std::string fifo = dir / "pipe.pmf", folder = dir / "folder.pmf", huge = dir / "huge.pmf";
  HostileFiles() {
    EXPECT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_directories(folder);
    int fd = ::open(huge.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    EXPECT_GE(fd, 0);
    const std::string head = std::string(kFormRecordSignature) + "\r\n";
    EXPECT_EQ(::write(fd, head.data(), head.size()), static_cast<ssize_t>(head.size()));
    EXPECT_EQ(::ftruncate(fd, 65 << 20), 0);
    ::close(fd);
  }
};

TEST(HostileFiles, APipeADeviceAFolderAndAHugeFileAreRefusedBeforeReading) {
  HostileFiles h;
  struct Case {
    std::string path, reason;
  };
  const Case cases[] = {
      {h.fifo, "这不是普通文件，而是命名管道，不能读取"},
      {"/dev/zero", "这不是普通文件，而是设备，不能读取"},
      {h.folder, "这是一个文件夹，不是文件"},
      {h.huge, "文件太大（65 MB），超过上限 64 MB，未读取"},
      {h.dir / "none.pmf", "文件不存在"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    const auto start = std::chrono::steady_clock::now();
    FileContent content = ReadFileChecked(c.path);
    EXPECT_FALSE(content.bytes);
    EXPECT_EQ(content.reason, c.reason);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));

    // The Open command says so, names the file and changes nothing.
    ScriptedPort port;
    PelmoraApp app(&port, PELMORA_PROGRAM_DIR);
    ASSERT_TRUE(app.Run([&] { app.project.OpenAtStartup(kExample); }));
    const auto before = CollectFormRecords(app.form);
    port.files.push_back(c.path);
    app.Run([&] { app.form.RunHandler("MFOpenClick", nullptr); });
    ASSERT_FALSE(port.Messages().empty());
    EXPECT_EQ(port.Messages().back(), "无法打开“" + c.path + "”：" + c.reason + "。");
    EXPECT_EQ(testing::FirstDifference(CollectFormRecords(app.form), before), "");
    EXPECT_EQ(app.form.CurrentProjectFile, kExample);
    // And the low-level reader applies nothing.
    EXPECT_FALSE(LoadFormRecords(app.form, c.path));
  }
}

// pelmora-calc with such a file, named first or opened: status 3, the reason on
// standard error, the window printed unchanged.
TEST(HostileFiles, TheCommandLineRefusesThemWithStatusThree) {
  HostileFiles h;
  for (const std::string& bad : {h.fifo, h.folder, h.huge, std::string("/dev/zero")}) {
    SCOPED_TRACE(bad);
    for (bool first : {true, false}) {
      std::ostringstream out, err;
      std::vector<std::string> args =
          first ? std::vector<std::string>{bad, "--json"} : std::vector<std::string>{"--open", bad, "--json"};
      EXPECT_EQ(RunCli(args, out, err), 3);
      EXPECT_NE(err.str().find("无法打开“" + bad + "”："), std::string::npos) << err.str();
      EXPECT_NE(out.str().find("\"projectModified\": false"), std::string::npos);
    }
  }
}

// The recent-files list and a template are read the same way.
TEST(HostileFiles, TheRecentListAndTemplatesAreReadWithTheSameLimits) {
  HostileFiles h;
  ScriptedPort port;
  PelmoraApp app(&port, PELMORA_PROGRAM_DIR);
  app.project.MRF.programPath = h.dir / "pelmora";
  app.project.MRF.SetIniFile(h.fifo);
  app.project.MRF.Loaded();  // returns: nothing read from a pipe
  EXPECT_TRUE(app.project.MRF.Files().empty());
  app.project.MRF.persistent = false;
  port.files.push_back(h.folder);
  app.Run([&] { app.form.RunHandler("MFNewClick", nullptr); });
  EXPECT_EQ(port.Messages().back(), "无法打开“" + h.folder + "”：这是一个文件夹，不是文件。");
}

// Reasons from SQLite in Chinese, the original in brackets.
TEST(HostileFiles, SqliteReasonsAreChinese) {
  EXPECT_EQ(sqlite::ReasonZh(nullptr, SQLITE_BUSY), "数据库正被另一个程序使用（database is locked）");
  EXPECT_EQ(sqlite::ReasonZh(nullptr, SQLITE_NOTADB), "不是数据库文件（file is not a database）");
  EXPECT_EQ(sqlite::ReasonZh(nullptr, SQLITE_FULL), "磁盘空间不足（database or disk is full）");
  // A library that is no database says so in Chinese.
  TempDir dir;
  WriteBytes(dir / "PropLib.cds", std::string(4096, 'x'));
  PropLibrary lib;
  std::string message;
  EXPECT_FALSE(lib.Load(dir / "PropLib.cds", &message));
  EXPECT_NE(message.find("不是数据库文件（file is not a database）"), std::string::npos) << message;
}

// Bytes that are no UTF-8 given to --set would end up in the window, its files and the
// --json output: a usage error.
TEST(HostileFiles, InvalidUtf8ForSetIsAUsageError) {
  for (const std::string& bad : {std::string("OBJNameD=\xC3\x28"), std::string("OBJNameD=ab\xFF"),
                                 std::string("MaoD=\xED\xA0\x80"), std::string("MaoD=\xC0\xAF")}) {
    std::ostringstream out, err;
    EXPECT_EQ(RunCli({"--set", bad, "--json"}, out, err), 2) << err.str();
    EXPECT_EQ(out.str(), "");
    EXPECT_NE(err.str().find("--set 的值不是有效的 UTF-8 文字："), std::string::npos) << err.str();
  }
  std::ostringstream out, err;
  EXPECT_EQ(RunCli({"--set", "OBJNameD=一号储槽 ℃", "--json"}, out, err), 0) << err.str();
  EXPECT_NE(out.str().find("一号储槽 ℃"), std::string::npos);
}

}  // namespace
}  // namespace pelmora

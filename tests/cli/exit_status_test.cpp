// pelmora-calc as a shell script sees it: the real program started as a process, its
// exit status and what it prints. 0: every option did what it asks; 2: a usage error;
// 3: a file that could not be read or written. Nothing given to it ends it by a signal.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "CliProcess.h"

namespace pelmora {
namespace {

using testing::RunCalc;

TEST(CliExitStatus, NoFormulaEndsTheProgram) {
  // Beyond the double range but finite in extended precision: the evaluator's range
  // code, never an abort.
  auto r = RunCalc({"--eval", "RND(1E309)"});
  EXPECT_FALSE(r.signaled) << r.err;
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("error: 37 "), std::string::npos) << r.out;
  for (const char* f : {"RND(-1E400)", "RND(1E4000)", "10^4000", "EXP(1E5)", "SUM(1E308,1E308)", "LENGTH('x"}) {
    auto q = RunCalc({"--eval", f});
    EXPECT_FALSE(q.signaled) << f;
    EXPECT_EQ(q.code, 0) << f << "\n" << q.err;
    EXPECT_NE(q.out.find("error: "), std::string::npos) << f << "\n" << q.out;
    EXPECT_EQ(q.out.find("value: inf"), std::string::npos) << f;
  }
}

TEST(CliExitStatus, FilesThatCannotBeReadOrWrittenGiveThree) {
  testing::Scratch dir;
  std::ofstream(dir / "empty.pmf").close();
  std::filesystem::create_directories(dir / "folder.pmf");
  for (const std::string& bad : {std::string("/nonexistent/x.pmf"), dir / "folder.pmf", dir / "empty.pmf"}) {
    auto r = RunCalc({"--open", bad, "--json"});
    EXPECT_EQ(r.code, 3) << bad << "\n" << r.err;
    EXPECT_NE(r.err.find("无法打开"), std::string::npos) << r.err;
    // The other options still ran: the window is printed, unchanged and unnamed.
    EXPECT_NE(r.out.find("\"projectModified\": false"), std::string::npos) << bad;
    auto s = RunCalc({bad});  // a project named at start-up
    EXPECT_EQ(s.code, 3) << bad;
    auto t = RunCalc({"--new", bad});
    EXPECT_EQ(t.code, 3) << bad;
  }
  // Writing into a folder that does not exist, or over a folder.
  EXPECT_EQ(RunCalc({"--save", "/nonexistent/dir/p.pmf"}).code, 3);
  EXPECT_EQ(RunCalc({"--save", dir / "folder.pmf"}).code, 3);
  EXPECT_EQ(RunCalc({"--save-template", "/nonexistent/dir/p.pmt"}).code, 3);
  EXPECT_EQ(RunCalc({"--save-report", "/nonexistent/dir/r.doc"}).code, 3);
  EXPECT_EQ(RunCalc({"--props", "0001", "--t", "20"}, {{"PELMORA_PROGRAM_DIR", dir.path()}}).code, 3);
  // A file with a radio index beyond its three items is refused as a whole.
  {
    std::ofstream f(dir / "index.pmf", std::ios::binary);
    f << "CFR File Format(Compatible Form Record File),by Lirvadesmonte.\r\nVersion 1.1,2007.07.17\r\n\r\n"
         "TaoD\r\nString\r\nText\r\n7\r\n\r\nRGEType\r\nOrd\r\nItemIndex\r\n9\r\n\r\n";
  }
  auto idx = RunCalc({"--open", dir / "index.pmf", "--json"});
  EXPECT_EQ(idx.code, 3);
  EXPECT_NE(idx.err.find("“RGEType”的选项序号 9 超出范围"), std::string::npos) << idx.err;
  EXPECT_EQ(idx.out.find("\"text\": \"7\""), std::string::npos) << "nothing of the file is applied";
  // A good save and open give 0, and the file is there.
  auto ok = RunCalc({"--set", "TaoD=2", "--save", dir / "ok.pmf"});
  EXPECT_EQ(ok.code, 0) << ok.err;
  EXPECT_EQ(RunCalc({"--open", dir / "ok.pmf"}).code, 0);
}

TEST(CliExitStatus, UsageErrorsGiveTwoAndCalculationMessagesZero) {
  EXPECT_EQ(RunCalc({"--set", "NoSuchD=1"}).code, 2);
  EXPECT_EQ(RunCalc({"--frobnicate"}).code, 2);
  EXPECT_EQ(RunCalc({"--pick-row", "x"}).code, 2);
  EXPECT_EQ(RunCalc({"--props", "0001", "--t", "abc"}).code, 2);
  EXPECT_EQ(RunCalc({"--props", "9999", "--t", "20"}).code, 2);
  auto u = RunCalc({"--select", "RGEType=7"});
  EXPECT_EQ(u.code, 2);
  EXPECT_NE(u.err.find("Usage:"), std::string::npos);
  // A zero tube diameter stops the calculation with its message: a result, not a failure.
  auto c = RunCalc({PELMORA_PROGRAM_DIR "/examples/storage-tank-hot-water.pmf", "--set", "diiD=0", "--recalc"});
  EXPECT_EQ(c.code, 0) << c.err;
  EXPECT_NE(c.err.find("除以零"), std::string::npos) << c.err;
  // The statuses are documented.
  auto h = RunCalc({"--help"});
  EXPECT_EQ(h.code, 0);
  EXPECT_NE(h.out.find("Exit status:"), std::string::npos);
  EXPECT_NE(h.out.find("  3  a file could not be read or written"), std::string::npos);
}

}  // namespace
}  // namespace pelmora

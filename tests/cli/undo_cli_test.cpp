// Undo and redo from the command line, as a script takes a project through a change and
// back: the file saved after --undo is the file saved before the change, byte for byte,
// and after --redo the file saved after it.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "../common/CliOutput.h"
#include "../common/ScratchFolder.h"
#include "CliInProcess.h"

namespace pelmora {
namespace {

using testing::Cli;
using testing::CliResult;
using testing::TextOf;

const std::string kExample = PELMORA_PROGRAM_DIR "/examples/storage-tank-hot-water.pmf";

using Scratch = testing::ScratchFolder;

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The value of a top-level key of the last --json printed.
std::string JsonValue(const std::string& out, const std::string& key) {
  const std::string mark = "\n  \"" + key + "\": ";
  size_t p = out.rfind(mark);
  if (p == std::string::npos) return "<none>";
  p += mark.size();
  std::string v = out.substr(p, out.find('\n', p) - p);
  if (!v.empty() && v.back() == ',') v.pop_back();
  return v;
}

struct Change {
  const char* what;
  std::vector<std::string> options;
  const char* step;  // the name the menu shows after 撤销
};

// Each kind of change a user makes, through the options that act as the user does.
const std::vector<Change> kChanges = {
    {"a field typed and left", {"--set", "TaoD=7", "--exit", "TaoD"}, "\"输入 加热时间\""},
    {"a unit chosen", {"--unit", "TaoU=1"}, "\"更改单位 加热时间\""},
    {"a list item chosen", {"--select", "SmD=1"}, "\"选择 容器材质\""},
    {"a radio button", {"--select", "RGFType=1", "--exit", "TaoD"}, "\"选择 对流方式\""},
    {"the pitch picked", {"--pick-row", "3", "--click", "SBP3"}, "\"选择螺距\""},
    {"the roughness typed into the pick list", {"--pick", "0.05", "--click", "SBDLT"}, "\"选择绝对粗糟度\""},
    {"a field cleared", {"--yes", "--clear", "TaoD"}, "\"清除 加热时间\""},
    {"the property dialog's 确定",
     {"--click", "SBP2", "--record", "0001", "--set", "t=60", "--click", "BBCal", "--click", "BBOK"},
     "\"填入物性\""},
};

TEST(UndoCli, EveryKindOfChangeIsOneStepAndUndoGivesTheFileBackByteForByte) {
  setenv("PELMORA_PROGRAM_DIR", PELMORA_PROGRAM_DIR, 1);  // the property library
  Scratch tmp;
  for (const Change& c : kChanges) {
    std::vector<std::string> args = {kExample, "--save", tmp / "before.pmf"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    for (const char* tail : {"--save", "after.pmf", "--json", "--undo", "--save", "undone.pmf", "--json", "--redo",
                             "--save", "redone.pmf", "--json"})
      args.push_back(std::string(tail).ends_with(".pmf") ? tmp / tail : tail);
    CliResult r = Cli(args);
    ASSERT_EQ(r.code, 0) << c.what << "\n" << r.err;
    const std::string before = Bytes(tmp / "before.pmf"), after = Bytes(tmp / "after.pmf");
    ASSERT_FALSE(before.empty()) << c.what;
    EXPECT_NE(before, after) << c.what << ": the change changed nothing";
    EXPECT_TRUE(Bytes(tmp / "undone.pmf") == before) << c.what;
    EXPECT_TRUE(Bytes(tmp / "redone.pmf") == after) << c.what;
    // The step's name, in the three states printed.
    const size_t first = r.out.find("\n  \"undo\": "), second = r.out.find("\n  \"undo\": ", first + 1);
    ASSERT_NE(second, std::string::npos);
    EXPECT_EQ(JsonValue(r.out.substr(0, second), "undo"), c.step) << c.what;
    EXPECT_EQ(JsonValue(r.out.substr(0, r.out.rfind("\n  \"undo\": ")), "redo"), c.step) << c.what;
    EXPECT_EQ(JsonValue(r.out, "undo"), c.step) << c.what;
    EXPECT_EQ(JsonValue(r.out, "redo"), "\"\"") << c.what;
  }
}

// A settled design undone is the design the calculation gives for those inputs: a
// recalculation after the undo changes nothing in the file.
TEST(UndoCli, ResultsAfterAnUndoAreThoseTheCalculationGivesForTheInputsBack) {
  Scratch tmp;
  CliResult r = Cli({kExample, "--recalc", "--save",   tmp / "a.pmf", "--set",       "TaoD=7", "--exit",
                     "TaoD",   "--set",    "sfD=25",   "--exit",      "sfD",         "--save", tmp / "b.pmf",
                     "--undo", "--undo",   "--recalc", "--save",      tmp / "c.pmf", "--json"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(Bytes(tmp / "a.pmf"), Bytes(tmp / "b.pmf"));
  EXPECT_TRUE(Bytes(tmp / "c.pmf") == Bytes(tmp / "a.pmf"));
  EXPECT_EQ(JsonValue(r.out, "redo"), "\"输入 加热时间\"");
  // The checks are those of a plain run of the example (its tube-side drop is a warning).
  EXPECT_EQ(JsonValue(r.out, "checks"), JsonValue(Cli({kExample, "--recalc", "--json"}).out, "checks"));
}

TEST(UndoCli, TextTypedAndNotYetLeftIsTakenBackWithoutAMessage) {
  CliResult before = Cli({kExample, "--json"});
  CliResult r = Cli({kExample, "--recalc", "--set", "TaoD=abc", "--undo", "--exit", "TaoD", "--json"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(TextOf(r.out, "TaoD"), TextOf(before.out, "TaoD"));
  EXPECT_EQ(JsonValue(r.out, "messages"), "[]");
  EXPECT_EQ(JsonValue(r.out, "redo"), "\"输入 加热时间\"");  // leaving the restored field changed nothing
}

TEST(UndoCli, SaveKeepsTheHistoryNewAndOpenClearIt) {
  Scratch tmp;
  CliResult kept = Cli({kExample, "--set", "TaoD=7", "--exit", "TaoD", "--save", tmp / "x.pmf", "--undo", "--json"});
  EXPECT_EQ(kept.code, 0) << kept.err;
  EXPECT_EQ(JsonValue(kept.out, "redo"), "\"输入 加热时间\"");
  for (const char* command : {"--open", "--new"}) {
    const std::string file =
        std::string(command) == "--open" ? kExample : PELMORA_PROGRAM_DIR "/templates/storage-tank-steam.pmt";
    CliResult r = Cli({kExample, "--set", "TaoD=7", "--exit", "TaoD", command, file, "--undo"});
    EXPECT_EQ(r.code, 1) << command;
    EXPECT_NE(r.err.find("没有可撤销的步骤"), std::string::npos) << r.err;
  }
  CliResult nothing = Cli({"--redo"});
  EXPECT_EQ(nothing.code, 1);
  EXPECT_NE(nothing.err.find("没有可重做的步骤"), std::string::npos) << nothing.err;
}

// Steps in a row are taken back last first, and a new change after an undo drops what
// could have been redone.
TEST(UndoCli, StepsUndoInReverseOrderAndANewChangeEndsRedo) {
  Scratch tmp;
  CliResult r = Cli({kExample, "--save",      tmp / "0.pmf", "--set",  "TaoD=7", "--exit",      "TaoD",
                     "--save", tmp / "1.pmf", "--select",    "SmD=2",  "--save", tmp / "2.pmf", "--undo",
                     "--undo", "--save",      tmp / "u.pmf", "--redo", "--save", tmp / "r.pmf", "--set",
                     "sfD=30", "--exit",      "sfD",         "--json"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(Bytes(tmp / "u.pmf") == Bytes(tmp / "0.pmf"));
  EXPECT_TRUE(Bytes(tmp / "r.pmf") == Bytes(tmp / "1.pmf"));
  EXPECT_EQ(JsonValue(r.out, "undo"), "\"输入 富余度\"");
  EXPECT_EQ(JsonValue(r.out, "redo"), "\"\"");
}

// 复制结果 on the command line prints what the window puts on the clipboard: a header row,
// every input and result with caption, value and unit, then the checks of the last run.
TEST(CopyResultsCli, PrintsTheInputsAndResultsAsTabSeparatedRows) {
  CliResult r = Cli({kExample, "--set", "nD=1", "--recalc", "--click", "SBCopy"});
  ASSERT_EQ(r.code, 0) << r.err;
  std::vector<std::vector<std::string>> rows;
  size_t start = 0;
  while (start < r.out.size()) {
    const size_t end = r.out.find('\n', start);
    const std::string line = r.out.substr(start, end - start);
    start = end == std::string::npos ? r.out.size() : end + 1;
    std::vector<std::string> cells;
    size_t c = 0;
    for (size_t tab = line.find('\t'); tab != std::string::npos; tab = line.find('\t', c)) {
      cells.push_back(line.substr(c, tab - c));
      c = tab + 1;
    }
    cells.push_back(line.substr(c));
    rows.push_back(cells);
  }
  ASSERT_GT(rows.size(), 10u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"名称", "数值", "单位", "类型"}));
  bool tubes = false, area = false, checks = false;
  for (const auto& row : rows) {
    if (row.size() == 4 && row[0] == "管根数") tubes = row[1] == "1" && row[2] == "根" && row[3] == "输入";
    if (row.size() == 4 && row[0] == "理论面积") area = row[2] == "m2" && row[3] == "结果" && std::stod(row[1]) > 0;
    if (row == std::vector<std::string>{"级别", "位置", "检查"}) checks = true;
  }
  EXPECT_TRUE(tubes);
  EXPECT_TRUE(area);
  EXPECT_TRUE(checks);  // one tube for the whole flow: the velocity check
}

}  // namespace
}  // namespace pelmora

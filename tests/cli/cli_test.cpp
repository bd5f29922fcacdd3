// The headless front end, run as an engineer runs it from a shell script.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <sstream>

#include "../common/CliOutput.h"
#include "CliInProcess.h"
#include "app/PelmoraApp.h"
#include "cli/CliRunner.h"
#include "fields/UiPort.h"

namespace pelmora {
namespace {

using testing::Cli;
using testing::CliResult;
using testing::ComponentLine;

TEST(Cli, JsonShowsTheWindowAsItOpens) {
  CliResult r = Cli({"--json"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(ComponentLine(r.out, "SetErrD").find("\"text\": \"0.01\""), std::string::npos);
  EXPECT_NE(ComponentLine(r.out, "nD").find("\"text\": \"1\""), std::string::npos);
  for (const char* n : {"FixTempD", "FixTempL", "FixTempU", "WrD", "WrL", "WrU"})
    EXPECT_NE(ComponentLine(r.out, n).find("\"enabled\": false"), std::string::npos) << n;
  EXPECT_NE(ComponentLine(r.out, "CopD").find("\"display\": \"[Must input]\""), std::string::npos);
  EXPECT_NE(ComponentLine(r.out, "PmD").find("\"index\": 0"), std::string::npos);
  EXPECT_NE(ComponentLine(r.out, "AtD").find("\"color\": -16777201"), std::string::npos);
  EXPECT_NE(r.out.find("\"messages\": []"), std::string::npos);
}

TEST(Cli, OptionsApplyInOrderAsAUserWould) {
  CliResult r = Cli({"--set", "TaoD=1.5", "--unit", "TaoU=2", "--json"});
  ASSERT_EQ(r.code, 0) << r.err;
  std::string tao = ComponentLine(r.out, "TaoD");
  EXPECT_NE(tao.find("\"text\": \"0.000416666666666667\""), std::string::npos) << tao;
  EXPECT_NE(tao.find("\"display\": \"0.0004166667\""), std::string::npos) << tao;
  EXPECT_NE(ComponentLine(r.out, "TaoU").find("\"unit\": \"hr\""), std::string::npos);
  EXPECT_NE(r.out.find("\"projectModified\": true"), std::string::npos);
  // The unit first, then the text: no rescaling of what was typed afterwards.
  r = Cli({"--unit", "TaoU=2", "--set", "TaoD=1.5", "--json"});
  EXPECT_NE(ComponentLine(r.out, "TaoD").find("\"text\": \"1.5\""), std::string::npos);
}

TEST(Cli, UsageErrorsAreReported) {
  EXPECT_EQ(Cli({"--set", "NoSuchD=1"}).code, 2);
  EXPECT_EQ(Cli({"--unit", "TaoU=9"}).code, 2);
  EXPECT_EQ(Cli({"--frobnicate"}).code, 2);
  CliResult r = Cli({"--set"});
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.err.find("needs a value"), std::string::npos);
}

}  // namespace
}  // namespace pelmora

namespace pelmora {
namespace {

TEST(CliProperties, EvaluatesFormulasAndLibraryRecords) {
  setenv("PELMORA_PROGRAM_DIR", PELMORA_PROGRAM_DIR, 1);
  std::ostringstream out, err;
  EXPECT_EQ(RunCli({"--eval", "2*t+p", "--var", "t=20", "--var", "p=100"}, out, err), 0);
  EXPECT_NE(out.str().find("value: 140"), std::string::npos) << out.str();
  std::ostringstream out2, err2;
  // An error code is the formula's result: the option did what it asks.
  EXPECT_EQ(RunCli({"--eval", "LN(0)/0"}, out2, err2), 0);
  EXPECT_NE(out2.str().find("error: 7"), std::string::npos) << out2.str();
  // Water at 20 degC from the shipped library.
  std::ostringstream out3, err3;
  EXPECT_EQ(RunCli({"--props", "0001", "--t", "20", "--p", "101.325"}, out3, err3), 0) << err3.str();
  EXPECT_NE(out3.str().find("密度 MD: 998.21 kg/m3"), std::string::npos) << out3.str();
}

}  // namespace
}  // namespace pelmora

namespace pelmora {
namespace {

// Every button, tool button and menu command either does something or is disabled with
// the hint that says so; none is enabled and silent.
TEST(Commands, EveryCommandControlIsBoundOrDisabledWithItsHint) {
  CliResult r = Cli({"--commands", "--json"});
  ASSERT_EQ(r.code, 0) << r.err;
  std::istringstream lines(r.out.substr(0, r.out.find("{\n")));
  std::string line;
  int bound = 0, disabled = 0;
  std::set<std::string> names;
  while (std::getline(lines, line)) {
    std::istringstream cols(line);
    std::string name, handler, state;
    cols >> name >> handler >> state;
    ASSERT_TRUE(state == "bound" || state == "disabled") << line;
    names.insert(name);
    if (state == "bound") {
      ++bound;
      continue;
    }
    ++disabled;
    const std::string json = ComponentLine(r.out, name);
    EXPECT_NE(json.find("\"enabled\": false"), std::string::npos) << json;
    EXPECT_NE(json.find("\"hint\": \"此功能尚未提供\""), std::string::npos) << json;
  }
  EXPECT_GT(bound, 30);
  // The property dialog's buttons are commands as well.
  for (const char* n : {"MFOpen", "SBFSave", "SBTCurve", "Button3", "BTVessel", "MRPdf", "BPipeAdd", "BBOK", "BBClose",
                        "DBNavigator1.First"})
    EXPECT_TRUE(names.count(n)) << n;
  // Menu titles and separators are no commands.
  EXPECT_FALSE(names.count("MFile"));
  EXPECT_FALSE(names.count("N1"));

  ScriptedPort port;
  PelmoraApp app(&port);
  EXPECT_TRUE(app.form.UnexpectedUnbound().empty()) << ::testing::PrintToString(app.form.UnexpectedUnbound());
  // A command added without a handler is found.
  MenuItem& extra = app.form.Create<MenuItem>("MTestOnly", app.form.MHelp, "测试");
  extra.OnClick = app.form.AddCommand(extra, "MTestOnlyClick");
  EXPECT_EQ(app.form.UnexpectedUnbound(), std::vector<std::string>{"MTestOnly → MTestOnlyClick"});
}

// A disabled command stays disabled when an operating mode enables its control.
TEST(Commands, AModeDoesNotWakeACommandThatIsNotThere) {
  ScriptedPort port;
  PelmoraApp app(&port);
  for (const auto& c : app.form.Commands()) {
    if (c.state == TFormPelmora::Command::State::Bound) continue;
    c.control->SetEnabled(true);
    EXPECT_FALSE(c.control->Enabled()) << c.control->Name();
  }
}

// A command is one object, reached from the menu, the tool bar and its keys; a second
// binding of a name while the window is set up is a programming error, not a silent
// replacement of the first.
TEST(Commands, EachCommandIsBoundOnceAndReachedByItsAliases) {
  TFormPelmora bare;
  bare.SetHandler("MFNewClick", [](Component*) {});
  EXPECT_THROW(bare.SetHandler("MFNewClick", [](Component*) {}), std::logic_error);
  EXPECT_THROW(bare.BindCommand("MFOpenClick", [](Component*) {}, {"MFNewClick"}), std::logic_error);
  // Extending a command that is not there is an error too.
  EXPECT_THROW(bare.WrapHandler("MFSaveClick", [](const Event& e, Component* s) { e(s); }), std::logic_error);

  ScriptedPort port;
  PelmoraApp app(&port);  // every subsystem binds its commands once
  TFormPelmora& f = app.form;
  EXPECT_EQ(f.KeysOfControl("MFSave"), (std::vector<std::string>{"Ctrl+S"}));
  EXPECT_EQ(f.KeysOfControl("SBFSave"), (std::vector<std::string>{"Ctrl+S"}));
  EXPECT_EQ(f.KeysOfControl("MCRecalc"), (std::vector<std::string>{"F9"}));
  EXPECT_TRUE(f.KeysOfControl("MFTemp").empty());
  // The menu item and the tool button run the same command, extensions and all.
  std::vector<std::string> ran;
  f.WrapHandler("MECopyClick", [&ran](const Event& copy, Component* s) {
    ran.push_back(s ? s->Name() : "");
    copy(s);
  });
  app.Run([&f] { f.RunHandler("MECopyClick", f.Find("MECopy")); });
  app.Run([&f] { f.RunHandler("SBCopyClick", f.Find("SBCopy")); });
  EXPECT_EQ(ran, (std::vector<std::string>{"MECopy", "SBCopy"}));
  // The exit handler of the fields is the recalculation, extended by the program (a
  // recovery copy after a file command), not replaced.
  EXPECT_TRUE(f.HasHandler("MaoDExit"));
  // The property dialog's 关闭 on either page is one command.
  std::vector<std::string> closes;
  app.simp.Commands().Wrap("BBCancleClick", [&closes](const Event&, Component* s) { closes.push_back(s->Name()); });
  app.simp.Commands().Run("BBCloseClick", app.simp.BBClose);
  app.simp.Commands().Run("BBCancleClick", app.simp.BBCancle);
  EXPECT_EQ(closes, (std::vector<std::string>{"BBClose", "BBCancle"}));
}

TEST(CliKeys, TabAndBacktabFollowThePagesTabOrderAsEnterAndUpDo) {
  CliResult r = Cli({"--key", "TaoD=Tab", "--json"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("\"focus\": \"sfD\""), std::string::npos);
  r = Cli({"--key", "sfD=Backtab", "--json"});
  EXPECT_NE(r.out.find("\"focus\": \"TaoD\""), std::string::npos);

  // From outside the page shown (the page tabs), Tab goes to the page's first control and
  // Backtab to its last; a field on another page shows its page when it takes the focus.
  ScriptedPort port;
  PelmoraApp app(&port);
  TFormPelmora& f = app.form;
  f.PageControl1->SetActivePage(f.TabSheet2);
  f.FocusChangedByView(nullptr);
  ASSERT_TRUE(app.Run([&f] { f.KeyDown(nullptr, Key::Tab); }));
  ASSERT_NE(f.Focused(), nullptr);
  EXPECT_EQ(f.Focused(), f.TabTarget(nullptr, true));
  const Component* first = f.Focused();
  for (const Component* p = first; p; p = p->Parent()) {
    if (p->GetKind() != Kind::TabSheet) continue;
    EXPECT_EQ(p, f.PageControl1->ActivePage());
  }
  Component* volume = f.Find("VsD");
  ASSERT_NE(volume, nullptr);
  app.Run([&f, volume] { f.SetFocus(volume); });
  const Component* vesselPage = nullptr;
  for (const Component* p = volume; p; p = p->Parent())
    if (p->GetKind() == Kind::TabSheet) vesselPage = p;
  EXPECT_EQ(f.PageControl1->ActivePage(), vesselPage);
  EXPECT_EQ(Cli({"--key", "TaoD=Shift"}).code, 2);
}

TEST(CliKeys, EnterLeavesTheFieldAndTheJsonNamesTheFocus) {
  CliResult r = Cli({"--key", "TaoD=Enter", "--json"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("\"focus\": \"sfD\""), std::string::npos);
  r = Cli({"--key", "sfD=Up", "--json"});
  EXPECT_NE(r.out.find("\"focus\": \"TaoD\""), std::string::npos);
  EXPECT_EQ(Cli({"--key", "TaoD=Home"}).code, 2);
  EXPECT_EQ(Cli({"--key", "TaoL=Enter"}).code, 2);  // a label takes no focus
}

}  // namespace
}  // namespace pelmora

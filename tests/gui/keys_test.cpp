// The keyboard as an engineer uses it: the same keys pressed in the window and through
// pelmora-calc move the focus along the same fields and leave the same results.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <array>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "../common/CliOutput.h"
#include "WindowFixtures.h"
#include "app/PelmoraApp.h"
#include "gui/MainWindow.h"
#include "gui/QtPort.h"

namespace pelmora {
namespace {

using testing::TextOf;

const std::string kExample = PELMORA_PROGRAM_DIR "/examples/storage-tank-hot-water.pmf";

std::string RunCalc(const std::vector<std::string>& args) {
  std::string cmd = "'" PELMORA_PROGRAM_DIR "/pelmora-calc'";
  for (const auto& a : args) cmd += " '" + a + "'";
  cmd += " 2>/dev/null";
  std::string out;
  std::unique_ptr<FILE, int (*)(FILE*)> p(popen(cmd.c_str(), "r"), pclose);
  if (!p) return out;
  std::array<char, 4096> buf{};
  size_t n;
  while ((n = fread(buf.data(), 1, buf.size(), p.get())) > 0) out.append(buf.data(), n);
  return out;
}

// Every "focus" of a run that printed --json several times, in order.
std::vector<std::string> Foci(const std::string& out) {
  std::vector<std::string> r;
  for (size_t p = out.find("\"focus\": "); p != std::string::npos; p = out.find("\"focus\": ", p + 1)) {
    size_t q = p + 9;
    if (out.compare(q, 4, "null") == 0) {
      r.push_back("");
      continue;
    }
    size_t end = out.find('"', q + 1);
    r.push_back(out.substr(q + 1, end - q - 1));
  }
  return r;
}

struct Keys : guitest::ShownWindow {
  std::string FocusName() {
    Component* c = win.ComponentOf(Focus());
    return c ? c->Name() : std::string();
  }
};

TEST_F(Keys, TheWindowAndTheCommandLineTakeTheSameFocusPathAndLeaveTheSameResults) {
  app.Run([this] { app.project.OpenAtStartup(kExample); });
  QApplication::processEvents();
  win.Pages()->setCurrentIndex(1);
  QWidget* tao = win.WidgetOf("TaoD");
  ASSERT_TRUE(tao);
  tao->setFocus(Qt::MouseFocusReason);
  QApplication::processEvents();

  const std::vector<std::pair<Qt::Key, std::string>> presses = {
      {Qt::Key_Return, "Enter"}, {Qt::Key_Return, "Enter"}, {Qt::Key_Down, "Down"},      {Qt::Key_Up, "Up"},
      {Qt::Key_Up, "Up"},        {Qt::Key_Up, "Up"},        {Qt::Key_Down, "Down"},      {Qt::Key_Return, "Enter"},
      {Qt::Key_Tab, "Tab"},      {Qt::Key_Tab, "Tab"},      {Qt::Key_Backtab, "Backtab"}};
  std::vector<std::string> guiPath, cliArgs = {kExample};
  for (const auto& [key, name] : presses) {
    cliArgs.push_back("--key");
    cliArgs.push_back(FocusName() + "=" + name);
    cliArgs.push_back("--json");
    QTest::keyClick(Focus(), key);
    guiPath.push_back(FocusName());
    EXPECT_EQ(f.Focused() ? f.Focused()->Name() : "", guiPath.back());
  }
  // Up and Down are symmetric: Down then Up returns to the field started from.
  EXPECT_EQ(guiPath[3], guiPath[1]);
  EXPECT_EQ(guiPath[6], guiPath[4]);
  // Tab goes where Enter goes; Backtab back.
  EXPECT_EQ(guiPath[10], guiPath[8]);

  const std::string out = RunCalc(cliArgs);
  EXPECT_EQ(Foci(out), guiPath) << out.substr(0, 400);
  // Every Enter and arrow left a field and recalculated, in both.
  for (const char* name : {"AtD", "LtD", "KTaD", "TTaD", "QoD", "WiD"})
    EXPECT_EQ(TextOf(out, name), f.FindAs<Edit>(name)->Text()) << name;
}

TEST_F(Keys, EnterInAFieldRunsItsExitOnceAndEscapeLeavesItWhereItIs) {
  std::vector<std::string> exits;
  f.SetHandler("MaoDExit", [&](Component* s) { exits.push_back(s->Name()); });
  win.Pages()->setCurrentIndex(1);
  win.WidgetOf("TaoD")->setFocus(Qt::MouseFocusReason);
  QApplication::processEvents();
  QTest::keyClicks(Focus(), "2");
  QTest::keyClick(Focus(), Qt::Key_Escape);
  EXPECT_EQ(FocusName(), "TaoD");
  QTest::keyClick(Focus(), Qt::Key_Return);
  EXPECT_EQ(FocusName(), "sfD");
  EXPECT_EQ(exits, std::vector<std::string>{"TaoD"});
}

}  // namespace
}  // namespace pelmora

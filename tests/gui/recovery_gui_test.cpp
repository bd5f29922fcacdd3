// The desktop program's start after a crash: a program killed by SIGKILL (still a
// zombie) left a recovery copy; the next start, with a project named as a file manager
// starts it, opens that project and then offers the copy.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include "../project/ProjectWindow.h"
#include "WindowFixtures.h"
#include "gui/Startup.h"

namespace pelmora {
namespace {

TEST(RecoveryAtStart, AStartWithAProjectStillOffersTheCopyOfAKilledProgram) {
  QTemporaryDir state;
  setenv("XDG_STATE_HOME", state.path().toStdString().c_str(), 1);
  const std::string other = testing::Example("agitated-tank");
  // The example edited and killed; a zombie now.
  const pid_t child = testing::KilledWithACopy([](PelmoraApp& app) { app.form.MaoD->SetText("8765"); });

  ScriptedPort port;
  port.answers.push_back(Answer::Yes);
  PelmoraApp app(&port, PELMORA_PROGRAM_DIR);
  app.recovery.enabled = true;
  gui::MainWindow win(app, nullptr);
  // As main() starts: the project named on the command line, the window, the offer.
  gui::OpenStartupProject(app, other);
  guitest::ShowActive(&win);
  gui::OfferRecoveryWhenShown(app, &win);
  QTRY_COMPARE_WITH_TIMEOUT(QString::fromStdString(app.form.MaoD->Text()), QString("8765"), 5000);
  int asked = 0;
  for (const PortEvent& e : port.events)
    if (e.type == MsgType::Question && e.text.rfind(Recovery::kQuestion, 0) == 0) ++asked;
  EXPECT_EQ(asked, 1);
  EXPECT_TRUE(app.form.CurrentProjectFile.empty());
  EXPECT_EQ(app.form.Caption(), ProjectCommands::TitleFor(ProjectCommands::kUnnamed));
  int status = 0;
  waitpid(child, &status, 0);
  app.recovery.End();
  unsetenv("XDG_STATE_HOME");
}

// What the user sees after a tube was taken from the catalogue with 自动计算 switched off:
// the old results greyed with the tooltip that says why, and the reason in the status bar.
TEST(RecoveryAtStart, AResultThatIsNotCurrentIsGreyOnScreen) {
  ScriptedPort port;
  PelmoraApp app(&port, PELMORA_PROGRAM_DIR);
  gui::MainWindow win(app, nullptr);
  gui::OpenStartupProject(app, PELMORA_PROGRAM_DIR "/examples/storage-tank-hot-water.pmf");
  guitest::ShowActive(&win);
  QWidget* autoRun = win.WidgetOf("SBAutoRun");
  ASSERT_TRUE(autoRun);
  QTest::mouseClick(autoRun, Qt::LeftButton);
  ASSERT_TRUE(app.form.SBAutoRun->Down());
  app.Run([&] { app.select.EnsureCatalogue(); });
  const auto& pipes = app.select.catalogue.pipes;
  int row = -1;
  for (size_t i = 0; i < pipes.size(); ++i)
    if (pipes[i].dn == "25×2.5") row = app.select.RowOf(i);  // the grid is sorted by diameter
  ASSERT_GE(row, 0);
  app.form.DBGPiples->SetCurrent(row);
  app.Run([&] { app.form.RunHandler("Button3Click", app.form.Button3); });
  QApplication::processEvents();
  auto* area = qobject_cast<QLineEdit*>(win.WidgetOf("AtD"));
  ASSERT_TRUE(area);
  EXPECT_EQ(area->toolTip(), QString(Edit::kStaleHint));
  EXPECT_EQ(area->palette().color(QPalette::Active, QPalette::Text), QColor(128, 128, 128));
  EXPECT_EQ(app.form.MyStatusBar->PanelText(1), std::string(kInterrupted) + PelmoraApp::kPickedNotRun);
  if (const char* dir = std::getenv("PELMORA_SHOTS")) win.grab().save(QString("%1/picked-not-run.png").arg(dir));
}

}  // namespace
}  // namespace pelmora

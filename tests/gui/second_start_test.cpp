// A second start of the program hands its project to the running one and ends: the
// running program is this test process (holding the lock and listening), the second
// start is the real program started as a file manager would start it.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "gui/InstanceChannel.h"
#include "gui/SingleInstance.h"

namespace {

using namespace pelmora;

struct Running {
  QTemporaryDir dir;
  std::unique_ptr<gui::SingleInstance> lock;
  std::unique_ptr<gui::InstanceChannel> channel;
  QStringList requests;

  Running() {
    lock = std::make_unique<gui::SingleInstance>(dir.path().toStdString());
    EXPECT_TRUE(lock->Acquire());
    channel = std::make_unique<gui::InstanceChannel>(
        gui::ChannelPath(lock->Path()), [this](const QString& f) { requests << (f.isEmpty() ? "<raise>" : f); });
    EXPECT_TRUE(channel->Listening());
  }

  // Starts the program with `args` as a second instance; its exit code.
  int SecondStart(const QStringList& args, const QString& cwd) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", dir.path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(cwd);
    p.start(QString(PELMORA_PROGRAM_DIR) + "/pelmora", args);
    // The event loop must run while the second start waits for our answer.
    QElapsedTimer t;
    t.start();
    while (p.state() != QProcess::NotRunning && t.elapsed() < 20000) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
      p.waitForFinished(10);
    }
    if (p.state() != QProcess::NotRunning) {
      p.kill();
      p.waitForFinished();
      return -1;
    }
    for (int i = 0; i < 20; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  }
};

TEST(SecondStart, HandsItsProjectToTheRunningProgramAndEnds) {
  Running first;
  QTemporaryDir work;
  QFile::copy(QString(PELMORA_PROGRAM_DIR) + "/examples/storage-tank-steam.pmf", work.filePath("罐.pmf"));
  // Named relative to its own folder, as a file manager may; the running program gets
  // the full path.
  EXPECT_EQ(first.SecondStart({"--no-splash", "罐.pmf"}, work.path()), 0);
  ASSERT_EQ(first.requests.size(), 1);
  EXPECT_EQ(first.requests[0], QDir(work.path()).absoluteFilePath("罐.pmf"));

  // Without a file the running window is only raised.
  EXPECT_EQ(first.SecondStart({"--no-splash"}, work.path()), 0);
  ASSERT_EQ(first.requests.size(), 2);
  EXPECT_EQ(first.requests[1], "<raise>");
}

TEST(SecondStart, AStaleSocketOfACrashedProgramIsReplaced) {
  QTemporaryDir dir;
  std::string lockPath = dir.path().toStdString() + "/Pelmora.lock";
  QString sock = gui::ChannelPath(lockPath);
  {
    QFile stale(sock);
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
  }
  QStringList got;
  gui::InstanceChannel channel(sock, [&got](const QString& f) { got << f; });
  EXPECT_TRUE(channel.Listening());
}

}  // namespace

#include "app/PelmoraApp.h"
#include "gui/Startup.h"

namespace {

// What the running program does with a handed-over project when the one on screen has
// changes: it asks, and Cancel leaves everything as it was.
TEST(SecondStart, AHandedOverProjectAsksAboutUnsavedChangesFirst) {
  using namespace pelmora;
  QTemporaryDir work;
  QString project = work.filePath("tank.pmf");
  QFile::copy(QString(PELMORA_PROGRAM_DIR) + "/examples/storage-tank-steam.pmf", project);

  ScriptedPort port;
  PelmoraApp app(&port, PELMORA_PROGRAM_DIR);
  app.form.OBJNameD->SetText("改过的项目");
  app.form.SetProjectModified(true);
  std::string captionBefore = app.form.Caption();

  port.answers = {Answer::Cancel};
  gui::OpenHandedOverProject(app, project.toStdString());
  ASSERT_FALSE(port.events.empty());
  EXPECT_EQ(port.events.front().type, MsgType::Question);
  EXPECT_TRUE(app.form.ProjectModified());
  EXPECT_EQ(app.form.Caption(), captionBefore);

  port.Clear();
  port.answers = {Answer::No};
  gui::OpenHandedOverProject(app, project.toStdString());
  EXPECT_EQ(port.Messages().size(), 1u);  // the question, nothing after it
  EXPECT_EQ(app.form.CurrentProjectFile, project.toStdString());
}

}  // namespace

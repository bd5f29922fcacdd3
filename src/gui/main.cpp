// pelmora: the desktop program. One instance per user (a second start hands over its
// project); a splash above the window while it comes up; the project named as the first
// argument opened.
#include <cstdio>

#include <QApplication>
#include <QCoreApplication>
#include <QTimer>
#include <exception>
#include <memory>
#include <optional>

#include "app/PelmoraApp.h"
#include "fields/Dispatch.h"
#include "fields/Version.h"
#include "gui/Extras.h"
#include "gui/Icons.h"
#include "gui/InstanceChannel.h"
#include "gui/MainWindow.h"
#include "gui/QtPort.h"
#include "gui/SingleInstance.h"
#include "gui/Splash.h"
#include "gui/Startup.h"
#include "gui/Widgets.h"

namespace {

// The last resort of the window: every event handler's exception stops here. The core's
// dispatch point catches what a user action ends with; whatever still escapes (from Qt
// glue or a fault of the program) is shown and the unexpected-error hook runs, and the
// program goes on with its project.
class PelmoraApplication : public QApplication {
 public:
  using QApplication::QApplication;
  pelmora::Form* form = nullptr;

  bool notify(QObject* receiver, QEvent* event) override {
    try {
      return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
      pelmora::ReportUnexpectedError(form, e.what());
    } catch (...) {
      pelmora::ReportUnexpectedError(form, "");
    }
    return false;
  }
};

}  // namespace

namespace {

// --help, --version and --check-extras answer on the terminal before any window: the exit
// code, or nothing when the program goes on to start.
std::optional<int> AnswerOnTerminal(int argc, char** argv) {
  using namespace pelmora;
  std::vector<std::string> args(argv + 1, argv + argc);
  const gui::StartupOptions early = gui::ParseStartup(args);
  if (early.help) {
    std::fputs(gui::kStartupUsage, stdout);
    return 0;
  }
  if (early.version) {
    std::printf("pelmora (%s %s) %s\n", PELMORA_NAME, PELMORA_NAME_ZH, PELMORA_VERSION_TEXT + 1);
    return 0;
  }
  if (early.checkExtras) {
    // The module with the manual viewer, printing and the PDF report, as the first
    // use would load it.
    std::string error;
    if (!gui::extras::Parts(&error)) {
      std::fprintf(stderr, "%s\n", error.c_str());
      return 1;
    }
    std::printf("extras: %s\n", gui::extras::LoadedFrom().c_str());
    return 0;
  }
  return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace pelmora;
  if (auto code = AnswerOnTerminal(argc, argv)) return *code;
  // A second start hands its project (if any) to the running program, which raises its
  // window and opens it, and ends before it touches the display.
  gui::SingleInstance instance;
  if (!instance.Acquire()) {
    QCoreApplication core(argc, argv);
    std::vector<std::string> args;
    for (const QString& a : QCoreApplication::arguments().mid(1)) args.push_back(a.toStdString());
    gui::StartupOptions options = gui::ParseStartup(args);
    QString file = options.projectFile ? QString::fromStdString(*options.projectFile) : QString();
    // A running program that does not answer (still starting, or hung) is left alone:
    // the second start ends as it always did, and says why on the terminal.
    if (!gui::HandOver(gui::ChannelPath(instance.Path()), file, 2000))
      std::fputs("佩莫拉已在运行，但没有响应，未能转交文件。\n", stderr);
    return 0;
  }

  PelmoraApplication qapp(argc, argv);
  // The name that titles message boxes. Set as the application name rather than as the
  // display name, which Qt would append to every window title.
  QApplication::setApplicationName(PELMORA_NAME_ZH);
  gui::InstallTranslations();
  std::vector<std::string> args;
  for (const QString& a : QCoreApplication::arguments().mid(1)) args.push_back(a.toStdString());
  gui::StartupOptions options = gui::ParseStartup(args);

  if (QStyle* style = gui::MakeWindowStyle()) QApplication::setStyle(style);
  gui::InstallFonts();

  // The splash stays above the window while it comes up and closes with a click, or
  // by itself shortly after the window is shown.
  std::unique_ptr<gui::TFormGG> splash;
  if (options.splash) {
    splash = std::make_unique<gui::TFormGG>();
    splash->show();
    QCoreApplication::processEvents();
  }

  // The PDF report comes from the extras module, loaded when first written.
  SetReportPdfWriter(&gui::extras::ReportPdfBytes);
  gui::QtPort port;
  PelmoraApp app(&port);
  qapp.form = &app.form;
  app.project.StartRecentFiles(QCoreApplication::applicationFilePath().toStdString());
  gui::MainWindow window(app, &port, nullptr, gui::MainWindow::Build::FirstPaint);
  // The tube catalogue fills the page 管道系列 and the expansion list: read once the
  // window is up (a pick before then reads it first).
  window.whenComplete = [&app] { app.Run([&app] { app.select.EnsureCatalogue(); }); };
  if (options.projectFile) gui::OpenStartupProject(app, *options.projectFile);
  window.show();
  window.activateWindow();
  if (splash) {
    splash->raise();
    QTimer::singleShot(1500, splash.get(), &QDialog::accept);
  }
  gui::InstanceChannel channel(gui::ChannelPath(instance.Path()), [&app, &window](const QString& file) {
    if (window.isMinimized()) window.showNormal();
    window.raise();
    window.activateWindow();
    if (!file.isEmpty()) gui::OpenHandedOverProject(app, file.toStdString());
  });

  // Recovery copies while the project has unsaved changes; one left by a program that
  // ended abnormally is offered once the window is up, however the program was started
  // (from a file manager with a project, too).
  app.recovery.enabled = true;
  // An action that failed unexpectedly keeps what the user had in a recovery copy.
  SetUnexpectedErrorHook([&app](const std::string&) { app.recovery.Write(); });
  QTimer recoveryTimer;
  QObject::connect(&recoveryTimer, &QTimer::timeout, [&app] { app.recovery.Write(); });
  recoveryTimer.start(Recovery::kIntervalSeconds * 1000);
  gui::OfferRecoveryWhenShown(app, &window);

  const int code = qapp.exec();
  app.recovery.End();   // a normal end: the user has answered for every change
  qapp.form = nullptr;  // the project goes before the application object
  return code;
}

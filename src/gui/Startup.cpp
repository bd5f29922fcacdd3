#include "gui/Startup.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>

#include "app/PelmoraApp.h"

namespace pelmora::gui {

const char* const kStartupUsage =
    "Usage: pelmora [OPTION]... [PROJECT.pmf]\n"
    "Thermal design of a heating or cooling coil inside a vessel (storage tank heated\n"
    "batch-wise, constant-temperature bath, vessel with a second stream): the desktop\n"
    "program with its calculation window. Every caption and message is Chinese.\n"
    "\n"
    "One instance runs per user: a second start hands PROJECT.pmf to the running window,\n"
    "which opens it (asking about unsaved changes first), and ends.\n"
    "\n"
    "Options:\n"
    "  PROJECT.pmf       open this project (or template, .pmt) at start; further names are ignored\n"
    "  --no-splash       start without the splash window (scripted use)\n"
    "  --check-extras    load the module with the manual viewer, printing and the PDF report,\n"
    "                    print where it was found, and end (status 1 when it is missing)\n"
    "  -h, --help        print this help and end\n"
    "  --version         print the version and end\n"
    "\n"
    "Files (of an installed program, whose own folders are not writable):\n"
    "  ~/.config/pelmora/       the recent projects (pelmora.ini)\n"
    "  ~/.local/share/pelmora/  a saved property library or tube catalogue\n"
    "  ~/.local/state/pelmora/  recovery copies of unsaved projects\n"
    "\n"
    "The headless front end pelmora-calc(1) computes the same projects without a window.\n"
    "The manual (Chinese) opens from the help menu or with F1 in any field.\n";

StartupOptions ParseStartup(const std::vector<std::string>& args) {
  StartupOptions o;
  for (const auto& a : args) {
    if (a == "--no-splash") {
      o.splash = false;
    } else if (a == "--check-extras") {
      o.checkExtras = true;
    } else if (a == "--help" || a == "-h") {
      o.help = true;
    } else if (a == "--version") {
      o.version = true;
    } else if (!o.projectFile) {
      o.projectFile = a;
    }
  }
  return o;
}

void OpenStartupProject(PelmoraApp& app, const std::string& path) {
  app.Run([&app, &path] { app.project.OpenAtStartup(path); });
}

void OpenHandedOverProject(PelmoraApp& app, const std::string& path) {
  app.Run([&app, &path] {
    if (app.project.CanClose()) app.project.OpenAtStartup(path);
  });
}

void OfferRecoveryWhenShown(PelmoraApp& app, QObject* window) {
  QTimer::singleShot(0, window, [&app] { app.Run([&app] { app.recovery.Offer(); }); });
}

bool InstallTranslations() {
  static QTranslator* translator = nullptr;
  if (translator) return true;
  auto* t = new QTranslator(QCoreApplication::instance());
  if (!t->load("qtbase_zh_CN", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete t;
    return false;
  }
  QCoreApplication::installTranslator(t);
  translator = t;
  return true;
}

}  // namespace pelmora::gui

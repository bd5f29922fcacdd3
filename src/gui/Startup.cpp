#include "gui/Startup.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>

#include "app/PelmoraApp.h"

namespace pelmora::gui {

StartupOptions ParseStartup(const std::vector<std::string>& args) {
  StartupOptions o;
  for (const auto& a : args) {
    if (a == "--no-splash") {
      o.splash = false;
    } else if (a == "--check-extras") {
      o.checkExtras = true;
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

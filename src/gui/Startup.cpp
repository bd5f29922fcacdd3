#include "gui/Startup.h"

#include "app/PelmoraApp.h"

namespace pelmora::gui {

StartupOptions ParseStartup(const std::vector<std::string>& args) {
  StartupOptions o;
  for (const auto& a : args) {
    if (a == "--no-splash") {
      o.splash = false;
    } else if (!o.projectFile) {
      o.projectFile = a;
    }
  }
  return o;
}

void OpenStartupProject(PelmoraApp& app, const std::string& path) {
  app.Run([&app, &path] { app.project.OpenAtStartup(path); });
}

}  // namespace pelmora::gui

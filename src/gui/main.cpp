// pelmora: the desktop program. One instance per user; the splash until it is clicked;
// then the calculation window, with the project named as the first argument opened.
#include <QApplication>
#include <QStyleFactory>

#include "app/PelmoraApp.h"
#include "gui/MainWindow.h"
#include "gui/QtPort.h"
#include "gui/SingleInstance.h"
#include "gui/Splash.h"
#include "gui/Startup.h"
#include "gui/Widgets.h"

int main(int argc, char** argv) {
  using namespace pelmora;
  // A second start ends at once, silently, before it touches the display.
  gui::SingleInstance instance;
  if (!instance.Acquire()) return 0;

  QApplication qapp(argc, argv);
  std::vector<std::string> args;
  for (const QString& a : QCoreApplication::arguments().mid(1)) args.push_back(a.toStdString());
  gui::StartupOptions options = gui::ParseStartup(args);

  if (QStyle* style = QStyleFactory::create("Windows")) QApplication::setStyle(style);
  gui::InstallFonts();

  if (options.splash) {
    gui::TFormGG splash;
    splash.exec();
  }

  gui::QtPort port;
  PelmoraApp app(&port);
  app.project.StartRecentFiles(QCoreApplication::applicationFilePath().toStdString());
  gui::TFormPelmora window(app, &port);
  app.select.OpenCatalogue();
  if (options.projectFile) gui::OpenStartupProject(app, *options.projectFile);
  window.show();
  window.activateWindow();
  return qapp.exec();
}

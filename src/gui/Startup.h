#pragma once
// Start-up of the desktop program, shared by main() and the tests.
#include <optional>
#include <string>
#include <vector>

class QObject;

namespace pelmora {
class PelmoraApp;
}

namespace pelmora::gui {

struct StartupOptions {
  bool splash = true;                      // --no-splash skips it (scripted use)
  std::optional<std::string> projectFile;  // the first argument that is not an option
  bool checkExtras = false;                // --check-extras: loads the extras module, says from where, ends
  bool help = false;                       // --help, -h: prints kStartupUsage, ends
  bool version = false;                    // --version: prints the name and version, ends
};
// What `pelmora --help` prints (the manual page pelmora(1) is made from it).
extern const char* const kStartupUsage;
// Options from the arguments after the program name; further project names are ignored.
StartupOptions ParseStartup(const std::vector<std::string>& args);

// Opens the project named on the command line (StartupOpenRequest, StartupProjectFile)
// through the project commands.
void OpenStartupProject(PelmoraApp& app, const std::string& path);

// Opens a project handed over by a second start of the program: asks about unsaved
// changes first, as Open does, and leaves everything as it was on Cancel.
void OpenHandedOverProject(PelmoraApp& app, const std::string& path);

// Once the event loop runs: offers the recovery copy of a program that ended abnormally,
// however the program was started (with a project named, as a file manager starts it,
// too). `window` bounds the request's life.
void OfferRecoveryWhenShown(PelmoraApp& app, QObject* window);

// Loads Qt's own Chinese translation (standard buttons, file and print dialogs,
// context menus). False when it is not installed.
bool InstallTranslations();

}  // namespace pelmora::gui

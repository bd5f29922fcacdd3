#pragma once
// The calculation window as the project tests drive it, over the build's program folder
// with questions answered by a scripted port; and a program killed with unsaved changes.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

#include "../common/ShippedFiles.h"
#include "app/PelmoraApp.h"

namespace pelmora::testing {

// The build's program folder, where the shipped files are.
inline const std::string kBin = PELMORA_PROGRAM_DIR;
inline const std::string kExample = Example("storage-tank-hot-water");

struct AppWindow {
  ScriptedPort port;
  PelmoraApp app{&port, PELMORA_PROGRAM_DIR};
  TFormPelmora& f = app.form;

  // A menu click as the user makes it: through the dispatch point.
  bool Click(const char* handler) {
    return app.Run([this, handler] { f.RunHandler(handler, nullptr); });
  }
  // A command that asks for a file, given `file`.
  bool ClickWithFile(const char* handler, const std::string& file) {
    port.files.push_back(file);
    return Click(handler);
  }
};

// A program that is killed by SIGKILL once it has its copy of the example after `edit`.
// The child is not reaped: the next start comes while it is still a zombie, which
// kill(pid, 0) finds alive.
inline pid_t KilledWithACopy(const std::function<void(PelmoraApp&)>& edit) {
  pid_t child = fork();
  if (child == 0) {
    ScriptedPort port;
    PelmoraApp app(&port, PELMORA_PROGRAM_DIR);
    app.recovery.enabled = true;
    app.Run([&] { app.project.OpenAtStartup(kExample); });
    app.Run([&] { edit(app); });
    app.recovery.Write();
    ::kill(::getpid(), SIGKILL);
    _exit(0);
  }
  siginfo_t info{};
  waitid(P_PID, static_cast<id_t>(child), &info, WEXITED | WNOWAIT);
  return child;
}

inline void Reap(pid_t child) {
  int status = 0;
  waitpid(child, &status, 0);
}

}  // namespace pelmora::testing

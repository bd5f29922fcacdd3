#pragma once
// Recovery copies: while the project has unsaved changes the program keeps a copy of it
// in the user's state folder (every two minutes, before the first recalculation after
// a file command, and when an action fails unexpectedly). A save or a normal exit
// removes it. A copy left by a program that is no longer running is offered at the next
// start and opened as a modified, unnamed project.
#include <string>
#include <vector>

#include "fields/Catalogue.h"

namespace pelmora {

class ProjectCommands;

class Recovery {
 public:
  Recovery(TFormPelmora& form, ProjectCommands& project);

  static constexpr const char* kQuestion = "发现未保存的项目，是否恢复？";
  static constexpr int kIntervalSeconds = 120;

  // Off in the headless front end; the desktop program switches it on.
  bool enabled = false;
  // Set by a file command: the next recalculation writes a copy first.
  bool armed = false;

  // The folder ($XDG_STATE_HOME/pelmora/) and this instance's copy in it.
  static std::string Folder();
  std::string CopyPath() const;

  // Writes the copy when the project has unsaved changes (removes it otherwise).
  // Never throws: a copy that cannot be written must not stop the user's work.
  void Write();
  void Remove();
  // Copies left by instances that are no longer running.
  static std::vector<std::string> Orphans();
  // Asks about the newest orphan copy and opens it when the answer is Yes; every
  // orphan is removed either way. Returns true when a project was recovered.
  bool Offer();

 private:
  TFormPelmora& f_;
  ProjectCommands& project_;
  int pid_;
};

}  // namespace pelmora

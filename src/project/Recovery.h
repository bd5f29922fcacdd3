#pragma once
// Recovery copies: while the project has unsaved changes the program keeps a copy of it
// in the user's state folder (every two minutes, before the first recalculation after
// a file command, and when an action fails unexpectedly). A save or a normal exit
// removes it. A copy whose writer no longer runs is offered at the next start, however
// the program was started, and opened as a modified, unnamed project.
//
// Each instance holds a lock (flock) on a file beside its copy for as long as it runs;
// the system releases it when the process ends, also when it is killed, so a copy
// whose lock can be taken is orphaned even while its writer is still a zombie or its
// process number has been given to another program.
#include <string>
#include <vector>

#include "fields/Catalogue.h"

namespace pelmora {

class ProjectCommands;

class Recovery {
 public:
  Recovery(TFormPelmora& form, ProjectCommands& project);
  ~Recovery();
  Recovery(const Recovery&) = delete;
  Recovery& operator=(const Recovery&) = delete;

  static constexpr const char* kQuestion = "发现未保存的项目，是否恢复？";
  static constexpr const char* kStaleResults = "恢复的计算结果不是最新的，请重新计算";
  static constexpr const char* kNotKept = "恢复副本无法保存：";
  static constexpr int kIntervalSeconds = 120;

  // Off in the headless front end; the desktop program switches it on.
  bool enabled = false;
  // Set by a file command: the next recalculation writes a copy first.
  bool armed = false;

  // The folder ($XDG_STATE_HOME/pelmora/) and this instance's copy in it (empty until
  // the first copy was written).
  static std::string Folder();
  std::string CopyPath() const { return copy_; }

  // Writes the copy when the project has unsaved changes (removes it otherwise). The
  // copy names the project and says whether its results were current. Never throws: a
  // copy that cannot be written must not stop the user's work; the first failure is said
  // once in the status bar.
  void Write();
  // Removes this instance's copy (kept: its lock, while the program runs).
  void Remove();
  // At the end of a normal run: the copy and the lock go.
  void End();
  // Copies whose writer no longer runs, newest first.
  static std::vector<std::string> Orphans();
  // Asks about the newest orphan copy and opens it when the answer is Yes; every
  // orphan is removed either way. Returns true when a project was recovered.
  bool Offer();

 private:
  bool Claim();  // takes this instance's lock and names its copy; false without a folder
  void SayOnce(const std::string& why);

  TFormPelmora& f_;
  ProjectCommands& project_;
  std::string copy_, lock_;
  int lockFd_ = -1;
  bool said_ = false;
};

}  // namespace pelmora

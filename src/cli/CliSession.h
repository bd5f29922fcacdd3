#pragma once
// One run of pelmora-calc: the program's forms behind a terminal, and what each option
// does to them as a user would do it.
#include <functional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "app/PelmoraApp.h"
#include "cli/CliPort.h"
#include "study/Optimizer.h"
#include "study/Study.h"

namespace pelmora::cli {

// The usage text (--help and every usage error).
extern const char* const kCliUsage;

struct Cli {
  CliPort port;
  PelmoraApp app;
  std::ostream& out;
  std::ostream& err;
  int status = 0;  // the exit status so far (the worst wins)
  void Fail(int code) { status = std::max(status, code); }

  Cli(std::ostream& o, std::ostream& e);

  // --undo and --redo: nothing to take back is an option that could not be carried out.
  void UndoRedo(bool redo);

  // A component of the open dialog, else of the window.
  Component* Need(const std::string& name);

  TFormSimpPL& Dialog(const std::string& option);

  void Record(const std::string& no);

  // --set on the open dialog: a grid row by name, else a component.
  bool DialogSet(const std::string& v);

  static bool Shown(const Component& c);

  std::string DialogJson();

  static std::pair<std::string, std::string> Split(const std::string& v);

  // A user action: what it ends with (a calculation message, a refused value) is its
  // result, not a failure of the option. A file it could not write (the property
  // library, the tube catalogue, a report) is a failure, whichever command wrote it.
  bool Act(const std::function<void()>& f);

  // An action that reads or writes a file: an error shown on the way means the file
  // was not read or written.
  void FileAct(const std::function<void()>& f);

  // --set, --unit and --select: what the option does to the component is in the
  // description of its kind.
  void Input(const std::string& option, const std::string& v);

  // --exit and --click: what leaving or pressing a component does is in the description
  // of its kind.
  void Exit(const std::string& name);

  void Click(const std::string& name);

  // A key pressed in a control: the control takes the focus as a click would (the one
  // that had it is left), then the key goes where the window sends it: to the control's
  // key handler, or for Tab, Enter and the arrows to the next control of the page.
  void Key(const std::string& v);

  void Commands();

  // The chart as the report page paints it, on an SVG surface.
  void Curve(const std::string& file);

  std::string ChecksJson() const;

  // The parameter study over a copy of the window.
  int Study(const std::vector<StudyInput>& sweeps, const std::vector<std::string>& outputs, const std::string& csv);

  // The design optimizer over copies of the window; with `apply` the best design is
  // put into the project. 4 when no design meets the constraints.
  int Optimize(const OptimizerRequest& r, size_t top, const std::string& csv, bool apply);

  std::string CurveJson() const;

  // A project command whose dialog is answered with `file`.
  void Command(const char* handler, const std::string& file);

  void Clear(const std::string& name);

  void HelpTopic(const std::string& name);

  void HelpTopics();

  void Json();
};

}  // namespace pelmora::cli

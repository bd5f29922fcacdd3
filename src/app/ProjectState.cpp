// How the project commands, the recovery copies and the calculation agree on the state
// of the project: what a file replaces, whether its results are current, and what
// follows a command that changes inputs without a run.
#include "app/PelmoraApp.h"

namespace pelmora {

void PelmoraApp::WireProjectState() {
  // The state every file is read over: that of a window as created, taken from a new
  // one when it is first needed (not at start-up, before the window is painted).
  project.freshState = [this] {
    ScriptedPort quiet;
    PelmoraApp fresh(&quiet, form.ProgramFolder);
    return CollectFormRecords(fresh.form);
  };
  // A file is tried on a window of its own first, so that one that cannot be applied
  // leaves this window exactly as it was.
  project.rehearse = [this](const std::vector<FormRecord>& records, ProjectCommands::LoadKind kind) {
    ScriptedPort quiet;
    PelmoraApp scratch(&quiet, form.ProgramFolder);
    scratch.project.ApplyLoaded(records, kind);
  };
  // Nothing of the project before stays: its checks, marks and status texts.
  project.clearProjectState = [this] {
    calc.ForgetRun();
    form.MyStatusBar->SetPanelText(0, "");
    form.MyStatusBar->SetPanelText(1, "");
  };
  project.loadedResults = [this](bool current) {
    if (current) {
      calc.ChecksFromFields();
      results.Settled();
    } else {
      results.Unsettled();
      calc.MarkAllResultsStale(kFileResultsStale);
    }
  };
  project.resultsCurrent = [this] { return results.Current(); };
  calc.runCompleted = [this] { results.Settled(); };

  for (const char* h : {"SBP3Click", "SBDLTClick", "SBP11Click", "Button3Click", "MCUpdatePropsClick"}) WatchInputs(h);
  simp.Commands().Wrap("BBOKClick", [this](const Event& ok, Component* sender) { WatchingInputs(ok)(sender); });
}

void PelmoraApp::WatchInputs(const std::string& handler) {
  if (!form.HasHandler(handler)) return;
  form.WrapHandler(handler, [this](const Event& inner, Component* sender) { WatchingInputs(inner)(sender); });
}

Event PelmoraApp::WatchingInputs(Event command) {
  return [this, command = std::move(command)](Component* sender) {
    const uint64_t before = results.Inputs();
    try {
      if (command) command(sender);
    } catch (...) {
      AfterInputsChanged(before, sender, false);
      throw;
    }
    AfterInputsChanged(before, sender, true);
  };
}

void PelmoraApp::AfterInputsChanged(uint64_t before, Component* sender, bool completed) {
  if (results.Inputs() == before) return;
  // The automatic calculation is off while its tool button is down.
  if (completed && !form.SBAutoRun->Down())
    form.RunHandler("MaoDExit", sender);
  else
    calc.MarkAllResultsStale(completed ? kPickedNotRun : "输入只修改了一部分，请检查后重新计算");
}

}  // namespace pelmora

#pragma once
// The project commands of the File menu and tool bar: New from a template, Open, Save,
// Save as, Save as template, opening a recent file or the file named at start-up, and
// clearing the focused field; the project's name, modified state and window title;
// the question before closing a window with unsaved changes.
#include <functional>
#include <string>

#include "calc/Modes.h"
#include "fields/Catalogue.h"
#include "fields/UiPort.h"
#include "project/MruUnit.h"
#include "project/SaveFormData.h"

namespace pelmora {

class ProjectCommands {
 public:
  // Installs the handlers (MFNewClick, SBFNewClick, MFOpenClick, ... SBClearClick).
  ProjectCommands(TFormPelmora& form, Modes& modes);

  static constexpr const char* kFilter = "Pelmora 项目文件（*.pmf）|*.pmf|Pelmora 模板文件（*.pmt）|*.pmt";
  static constexpr const char* kUnnamed = "无名项目";

  TMostRecentFiles MRF;
  // Empties the stored time-temperature curve (wired by the application).
  std::function<void()> discardCurve;
  // Told when the window matches its file again (opened, created or saved), and after
  // every command that replaced the project (wired to the recovery copies).
  std::function<void()> onSaved;
  std::function<void()> afterFileCommand;
  // Told when a file has replaced what the window held (New, Open, a recent file, the
  // start-up file, a recovery copy): wired to the undo history, which starts anew.
  std::function<void()> onReplaced;
  // Every result marked out of date (a cleared field), wired to the calculation.
  std::function<void(const std::string&)> markResultsStale;

  // Opens a recovery copy as a modified, unnamed project. False after a message when it
  // cannot be read.
  bool OpenRecovered(const std::string& path);

  // Set from the command line: the next OpenProj opens this file without asking.
  bool StartupOpenRequest = false;
  std::string StartupProjectFile;

  void MFNewClick(Component* sender);
  void MFOpenClick(Component* sender);
  enum class OpenResult { Cancelled, Opened, Failed };
  // Step 1 of Open: the start-up file or the dialog's choice, read and named.
  OpenResult OpenProj();
  void MRFMenuClick(const std::string& path);
  void MFSaveClick(Component* sender);
  // True when the project was written.
  bool DirectSaveProj();
  void MFAsClick(Component* sender);
  void MFTempClick(Component* sender);
  void SBClearClick(Component* sender);

  // Opens the file named on the command line as the start-up does.
  void OpenAtStartup(const std::string& path);
  // Before the window closes or another project replaces this one: asks about unsaved
  // changes (Yes saves, No discards); false (Cancel, or a save that failed or was not
  // named) keeps everything as it is and drops the command.
  bool CanClose();
  std::string SaveQuestion() const;

  // Reads the recent-files list next to the program (or in the user's configuration
  // folder when the program's folder is not writable); it is written back at the end.
  void StartRecentFiles(const std::string& programPath);

  static std::string TitleFor(const std::string& path);
  // True when the window differs from what was last opened, created or saved.
  bool HasUnsavedChanges() const;
  // The same question for the window's records already collected.
  bool DiffersFromSaved(const std::vector<FormRecord>& records) const { return records != baseline_; }

 private:
  // Reads a project or template; false (after a message naming the file) when it is
  // missing or no form record file. Conversion errors propagate with nothing changed.
  bool Read(const std::string& path);
  void AfterOpen();
  void Settle();
  void MarkSaved();
  void Write(const std::string& path, const std::vector<std::string>& excluded);
  FileDialogRequest Dialog(const char* title, int filterIndex, bool save) const;
  std::string InitialFolder(bool newFromTemplate, bool save) const;

  TFormPelmora& f_;
  Modes& modes_;
  std::vector<FormRecord> baseline_;  // the window as last opened, created or saved
};

}  // namespace pelmora

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
  // Before a file replaces the project: the checks, stale marks and status texts of the
  // old one go.
  std::function<void()> clearProjectState;
  // After a file was read: whether its results were those of a completed run (their
  // checks are shown) or not (they are marked out of date).
  std::function<void(bool current)> loadedResults;
  // Whether the results shown belong to the inputs shown; written into every file.
  std::function<bool()> resultsCurrent;

  // How a file is read: as a project (Open, a recent file, the start-up, a recovery
  // copy) or as the template of a new project.
  enum class LoadKind { Project, Template };
  // Applies the records a file gives the window (the fresh state, then the file's own)
  // and runs the mode reactions of the command.
  void ApplyLoaded(const std::vector<FormRecord>& records, LoadKind kind);
  // Tries the same on a window of its own first (set by the application): throws what
  // applying would throw, so that a file that cannot be applied changes nothing here.
  std::function<void(const std::vector<FormRecord>&, LoadKind)> rehearse;
  // The records of a window as created (set by the application; asked once, at the
  // first file read): every file is read over them, so that nothing of the project
  // before leaks into what the file does not hold.
  std::function<std::vector<FormRecord>()> freshState;

  // The records a save writes: whether the results are current, then the window's own.
  std::vector<FormRecord> FileRecords(const std::vector<std::string>& excluded = {}) const;

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

  // Opens the file named on the command line (or handed over by a second start): the
  // Open command without its dialog.
  void OpenAtStartup(const std::string& path);
  // Before the window closes or another project replaces this one: asks about unsaved
  // changes (Yes saves, No discards); false (Cancel, or a save that failed or was not
  // named) keeps everything as it is and drops the command.
  bool CanClose();
  std::string SaveQuestion() const;

  // Reads the recent-files list next to the program (or in the user's configuration
  // folder when the program's folder is not writable, else in the user's runtime
  // folder); it is written back at the end. Without a folder of the user's own the list
  // is kept for this run only, and the status bar says so.
  void StartRecentFiles(const std::string& programPath);
  static constexpr const char* kNoRecentFolder = "最近文件列表无法保存：没有个人配置文件夹";

  static std::string TitleFor(const std::string& path);
  // True when the window differs from what was last opened, created or saved.
  bool HasUnsavedChanges() const;
  // The same question for the window's records already collected.
  // The extra records among them (a file's own, the substances) are left out.
  bool DiffersFromSaved(const std::vector<FormRecord>& records) const;

 private:
  // Reads a project or template over the fresh state; false (after a message naming the
  // file) when it is missing, no regular file, too large or no form record file. A file
  // that cannot be applied throws with nothing changed.
  bool Read(const std::string& path, LoadKind kind);
  // After a file was read and the command is done: its results, the defaults taken.
  void FinishLoad();
  void AfterOpen();
  void Settle();
  void MarkSaved();
  void Write(const std::string& path, const std::vector<std::string>& excluded);
  FileDialogRequest Dialog(const char* title, int filterIndex, bool save) const;
  std::string InitialFolder(bool newFromTemplate, bool save) const;

  TFormPelmora& f_;
  Modes& modes_;
  std::vector<FormRecord> baseline_;  // the window as last opened, created or saved
  std::vector<FormRecord> fresh_;     // the window as created, once asked for
  FileExtras loaded_;                 // what the file just read said about itself
  size_t defaultsTaken_ = 0;          // components the file just read held nothing for
  size_t valuesTaken_ = 0;            // value fields among them
};

}  // namespace pelmora

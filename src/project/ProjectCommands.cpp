#include "project/ProjectCommands.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <set>

#include "fields/DurableFile.h"
#include "fields/Text.h"
#include "fields/UiPort.h"
#include "project/TextFile.h"

namespace pelmora {

ProjectCommands::ProjectCommands(TFormPelmora& form, Modes& modes) : MRF(form), f_(form), modes_(modes) {
  MRF.SetMaxFiles(9);
  MRF.SetShowFullPath(true);
  MRF.SetOwnerMenuItem(f_.MFile);
  MRF.SetMenuPosition(6);
  MRF.SetFileExt("pmf");
  MRF.OnMenuClick = [this](TMostRecentFiles&, const std::string& path) { MRFMenuClick(path); };

  // One command each, reached from the menu, the tool bar and the keys.
  auto bind = [this](const char* name, void (ProjectCommands::*m)(Component*), std::vector<std::string> aliases,
                     std::vector<std::string> keys) {
    f_.BindCommand(
        name, [this, m](Component* s) { (this->*m)(s); }, std::move(aliases), std::move(keys));
  };
  bind("MFNewClick", &ProjectCommands::MFNewClick, {"SBFNewClick"}, {"Ctrl+N"});
  bind("MFOpenClick", &ProjectCommands::MFOpenClick, {"SBFOpenClick"}, {"Ctrl+O"});
  bind("MFSaveClick", &ProjectCommands::MFSaveClick, {"SBFSaveClick"}, {"Ctrl+S"});
  bind("MFAsClick", &ProjectCommands::MFAsClick, {"SBFAsClick"}, {"Ctrl+Shift+S"});
  bind("MFTempClick", &ProjectCommands::MFTempClick, {"SBFTempClick"}, {});
  bind("SBClearClick", &ProjectCommands::SBClearClick, {}, {});
  MarkSaved();
}

std::string ProjectCommands::TitleFor(const std::string& path) {
  return std::string(TFormPelmora::kTitle) + "-[" + path + "]";
}

FileDialogRequest ProjectCommands::Dialog(const char* title, int filterIndex, bool save) const {
  FileDialogRequest r;
  r.title = title;
  r.filter = kFilter;
  r.filterIndex = filterIndex;
  r.defaultExt = filterIndex == 2 ? "pmt" : "pmf";
  r.initialDir = InitialFolder(filterIndex == 2 && !save, save);
  r.overwritePrompt = save;
  return r;
}

// The working folder of a program started from a desktop menu is anywhere: New starts in
// the shipped templates, the other dialogs in the folder last used (the open project's,
// else the most recent file's), else in the shipped examples (to open) or the home folder.
std::string ProjectCommands::InitialFolder(bool newFromTemplate, bool save) const {
  auto folderOf = [](const std::string& file) {
    size_t slash = file.rfind('/');
    return slash == std::string::npos ? std::string() : file.substr(0, slash == 0 ? 1 : slash);
  };
  auto exists = [](const std::string& dir) {
    struct stat st {};
    return !dir.empty() && ::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  };
  if (newFromTemplate && exists(f_.ProgramFolder + "templates")) return f_.ProgramFolder + "templates";
  for (const std::string& file : {f_.CurrentProjectFile, MRF.Files().empty() ? std::string() : MRF.Files().front()})
    if (std::string dir = folderOf(file); exists(dir)) return dir;
  if (!save && exists(f_.ProgramFolder + "examples")) return f_.ProgramFolder + "examples";
  const char* home = std::getenv("HOME");
  return home && exists(home) ? home : ".";
}

void ProjectCommands::ApplyLoaded(const std::vector<FormRecord>& records, LoadKind kind) {
  ApplyFormRecords(f_, records);
  if (kind == LoadKind::Project) {
    AfterOpen();
    return;
  }
  // New: the reactions of Open as well, so that the captions and enabled states of the
  // project before (the vessel side's phase, the tube shape) do not stay.
  f_.RunHandler("PhiDChange", nullptr);
  f_.RunHandler("VNDChange", nullptr);
  modes_.ifMixClick(nullptr);
  f_.RunHandler("PhoDChange", nullptr);
  f_.RunHandler("TShapeDChange", nullptr);
  f_.RunHandler("RGETypeClick", nullptr);
}

bool ProjectCommands::Read(const std::string& path, LoadKind kind) {
  FormRecordFile file = ReadFormRecords(path);
  if (file.status != LoadStatus::Applied) {
    f_.Port().MessageBox("无法打开“" + path + "”：" + file.reason + "。", TFormPelmora::kTitle, MsgType::Error,
                         Buttons::Ok, Answer::Ok);
    return false;
  }
  // The file over the window as created. A template never carries the report, which
  // stays as it was (it is rebuilt whenever its page is shown).
  if (fresh_.empty() && freshState) fresh_ = freshState();
  std::vector<FormRecord> records;
  records.reserve(fresh_.size() + file.records.size());
  for (const FormRecord& r : fresh_)
    if (kind == LoadKind::Project || !EqualsNoCase(r.name, "RichEditReport")) records.push_back(r);
  const size_t offset = records.size();
  records.insert(records.end(), file.records.begin(), file.records.end());
  try {
    if (rehearse) rehearse(records, kind);
    if (clearProjectState) clearProjectState();
    ApplyLoaded(records, kind);
    if (onReplaced) onReplaced();
  } catch (const RecordError& e) {
    throw ConversionError(RecordErrorMessage(e, path, offset));
  }
  // The components the file held nothing for took the state of a new window.
  std::set<std::string> inFile;
  for (const FormRecord& r : file.records) inFile.insert(AsciiLower(r.name));
  std::set<std::string> missing;
  for (size_t i = 0; i < offset; ++i)
    if (!inFile.count(AsciiLower(records[i].name))) missing.insert(AsciiLower(records[i].name));
  defaultsTaken_ = missing.size();
  valuesTaken_ = 0;
  for (const std::string& name : missing)
    if (As<EditD>(f_.Find(name))) ++valuesTaken_;
  loaded_ = std::move(file.extras);
  // The substances are the file's: none when it names none (an older file, a template).
  f_.Substances = loaded_.substances;
  return true;
}

void ProjectCommands::FinishLoad() {
  // Results beside inputs that took a new window's values are not theirs.
  if (loadedResults) loadedResults(loaded_.resultsCurrent.value_or(true) && valuesTaken_ == 0);
  if (defaultsTaken_ > 0)
    f_.MyStatusBar->SetPanelText(0, "缺少 " + std::to_string(defaultsTaken_) + " 个字段，已取默认值");
}

std::vector<FormRecord> ProjectCommands::FileRecords(const std::vector<std::string>& excluded) const {
  std::vector<FormRecord> records = CollectFormRecords(f_, excluded);
  std::vector<FormRecord> extras = SubstanceRecords(f_.Substances);
  extras.insert(extras.begin(), ResultsCurrentRecord(!resultsCurrent || resultsCurrent()));
  records.insert(records.begin(), extras.begin(), extras.end());
  return records;
}

bool ProjectCommands::DiffersFromSaved(const std::vector<FormRecord>& records) const {
  std::vector<FormRecord> own;
  own.reserve(records.size());
  for (const FormRecord& r : records)
    if (!IsFileExtra(r)) own.push_back(r);
  return own != baseline_;
}

void ProjectCommands::AfterOpen() {
  f_.RunHandler("PhiDChange", nullptr);
  f_.RunHandler("VNDChange", nullptr);
  modes_.ifMixClick(nullptr);
  f_.RunHandler("PhoDChange", nullptr);
  f_.RunHandler("TShapeDChange", nullptr);
}

void ProjectCommands::Settle() {
  f_.SetProjectModified(false, true);
  if (discardCurve) discardCurve();
  MarkSaved();
}

void ProjectCommands::MarkSaved() {
  baseline_ = CollectFormRecords(f_);
  if (onSaved) onSaved();
}

bool ProjectCommands::OpenRecovered(const std::string& path) {
  if (!Read(path, LoadKind::Project)) return false;
  f_.CurrentProjectFile.clear();
  f_.SetCaption(TitleFor(kUnnamed));
  if (discardCurve) discardCurve();
  baseline_.clear();  // nothing on disk holds this project
  f_.SetProjectModified(true, true);
  FinishLoad();
  if (afterFileCommand) afterFileCommand();
  return true;
}

bool ProjectCommands::HasUnsavedChanges() const { return CollectFormRecords(f_) != baseline_; }

void ProjectCommands::Write(const std::string& path, const std::vector<std::string>& excluded) {
  SaveFormRecords(FileRecords(excluded), path);
}

void ProjectCommands::MFNewClick(Component*) {
  if (!CanClose()) return;  // unsaved changes: saved, discarded, or the command dropped
  auto file = f_.Port().OpenDialog(Dialog("新建项目-选择模板", 2, false));
  if (!file) return;
  if (!Read(*file, LoadKind::Template)) return;
  f_.CurrentProjectFile.clear();
  f_.SetCaption(TitleFor(kUnnamed));
  Settle();
  FinishLoad();
  if (afterFileCommand) afterFileCommand();
}

ProjectCommands::OpenResult ProjectCommands::OpenProj() {
  std::string file;
  if (StartupOpenRequest) {
    StartupOpenRequest = false;
    file = StartupProjectFile;
  } else {
    auto chosen = f_.Port().OpenDialog(Dialog("打开项目-选择项目文件", 1, false));
    if (!chosen) return OpenResult::Cancelled;
    file = *chosen;
  }
  // Named only once the whole file has been read and applied.
  if (!Read(file, LoadKind::Project)) return OpenResult::Failed;
  f_.CurrentProjectFile = file;
  MRF.AddFile(file);
  f_.SetCaption(TitleFor(file));
  MarkSaved();
  return OpenResult::Opened;
}

void ProjectCommands::MFOpenClick(Component*) {
  if (!StartupOpenRequest && !CanClose()) return;
  const OpenResult result = OpenProj();
  if (result == OpenResult::Failed) return;
  // A cancelled dialog still re-runs the mode reactions; a file read has run them.
  if (result == OpenResult::Cancelled) AfterOpen();
  Settle();
  if (result == OpenResult::Opened) FinishLoad();
  if (afterFileCommand) afterFileCommand();
}

void ProjectCommands::OpenAtStartup(const std::string& path) {
  StartupOpenRequest = true;
  StartupProjectFile = path;
  try {
    MFOpenClick(nullptr);
  } catch (...) {
    StartupOpenRequest = false;  // a file that failed leaves no request behind
    throw;
  }
}

void ProjectCommands::MRFMenuClick(const std::string& path) {
  if (!CanClose()) return;
  if (!Read(path, LoadKind::Project)) return;
  f_.CurrentProjectFile = path;
  f_.SetCaption(TitleFor(path));
  Settle();
  FinishLoad();
  if (afterFileCommand) afterFileCommand();
}

bool ProjectCommands::DirectSaveProj() {
  const bool wasModified = f_.ProjectModified();
  f_.SetProjectModified(false, true);
  try {
    if (!f_.CurrentProjectFile.empty()) {
      Write(f_.CurrentProjectFile, {});
      MarkSaved();
      return true;
    }
    auto file = f_.Port().SaveDialog(Dialog("新建项目-输入名称", 1, true));
    if (!file) return false;
    Write(*file, {});
    f_.CurrentProjectFile = *file;
    MRF.AddFile(*file);
    f_.SetCaption(TitleFor(*file));
    MarkSaved();
    return true;
  } catch (...) {
    // Not written: the changes are still unsaved.
    f_.SetProjectModified(wasModified, true);
    throw;
  }
}

void ProjectCommands::MFSaveClick(Component*) { DirectSaveProj(); }

void ProjectCommands::MFAsClick(Component*) {
  auto file = f_.Port().SaveDialog(Dialog("另存为-输入名称", 1, true));
  if (!file) return;
  Write(*file, {});
  f_.CurrentProjectFile = *file;
  MRF.AddFile(*file);
  f_.SetCaption(TitleFor(*file));
  f_.SetProjectModified(true, true);
  MarkSaved();
}

void ProjectCommands::MFTempClick(Component*) {
  auto file = f_.Port().SaveDialog(Dialog("存为模板-输入模板名称", 2, true));
  if (!file) return;
  Write(*file, {"RichEditReport"});
}

void ProjectCommands::SBClearClick(Component*) {
  auto* field = As<EditD>(f_.Focused());
  if (!field) return;
  std::string caption = field->MyLabel() ? field->MyLabel()->Caption() : field->Name();
  Answer a =
      f_.Port().MessageBox("你要清除数据:" + caption + "?", "清除数据", MsgType::Question, Buttons::YesNo, Answer::No);
  if (a == Answer::Yes) {
    field->SetText("");
    if (markResultsStale) markResultsStale("已清除" + caption);
  }
  field->SetColor(colors::Window);
  field->SetEnabled(true);
  field->SetReadOnly(false);
}

std::string ProjectCommands::SaveQuestion() const {
  // The project's name, not its folder: a long path would only wrap the question.
  std::string name = kUnnamed;
  if (!f_.CurrentProjectFile.empty()) {
    size_t slash = f_.CurrentProjectFile.rfind('/');
    name = f_.CurrentProjectFile.substr(slash == std::string::npos ? 0 : slash + 1);
  }
  return "是否保存对" + name + "的修改？";
}

bool ProjectCommands::CanClose() {
  if (!HasUnsavedChanges()) return true;
  Answer a =
      f_.Port().MessageBox(SaveQuestion(), TFormPelmora::kTitle, MsgType::Question, Buttons::YesNoCancel, Answer::Yes);
  if (a == Answer::No) return true;
  if (a != Answer::Yes) return false;
  try {
    return DirectSaveProj();
  } catch (const std::exception& e) {
    f_.Port().MessageBox(e.what(), TFormPelmora::kTitle, MsgType::Error, Buttons::Ok, Answer::Ok);
    return false;
  }
}

void ProjectCommands::StartRecentFiles(const std::string& programPath) {
  MRF.programPath = programPath;
  size_t slash = programPath.rfind('/');
  std::string folder = slash == std::string::npos ? "." : programPath.substr(0, slash == 0 ? 1 : slash);
  // An installed program's data folder (…/share/pelmora) is never writable to us.
  if (FolderWritable(folder) && FolderWritable(f_.ProgramFolder)) {
    MRF.SetIniFile("");
  } else {
    // An installed program: the list lives with the user's settings, or in the user's
    // own runtime folder; never in a folder that other users share.
    std::string base = UserFolder(UserFolderKind::Config);
    if (base.empty()) base = RuntimeFolder();
    std::string name = programPath.substr(slash == std::string::npos ? 0 : slash + 1);
    size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    if (base.empty()) {
      MRF.persistent = false;
      f_.MyStatusBar->SetPanelText(0, kNoRecentFolder);
    } else {
      MRF.SetIniFile(base + name + ".ini");
    }
  }
  MRF.Loaded();
}

}  // namespace pelmora

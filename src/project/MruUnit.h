#pragma once
// TMostRecentFiles: the recent-files list of the File menu. It keeps the paths newest
// first (letter case ignored), accepts one extension only, inserts numbered entries
// with separators into its owner menu, reports a chosen entry with its path and keeps
// the list in section "MRU List" of an INI file (GBK) between runs.
#include <functional>
#include <string>
#include <vector>

#include "fields/Components.h"

namespace pelmora {

class TMostRecentFiles {
 public:
  using FileEvent = std::function<void(TMostRecentFiles& sender, const std::string& path)>;

  explicit TMostRecentFiles(Form& owner);
  // Writes the list when it was loaded (errors are swallowed).
  ~TMostRecentFiles();
  TMostRecentFiles(const TMostRecentFiles&) = delete;
  TMostRecentFiles& operator=(const TMostRecentFiles&) = delete;

  unsigned MaxFiles() const { return maxFiles_; }
  void SetMaxFiles(unsigned n);  // 0 gives 1, more than 15 gives 15
  bool ShowFullPath() const { return showFullPath_; }
  void SetShowFullPath(bool b);
  MenuItem* OwnerMenuItem() const { return owner_; }
  void SetOwnerMenuItem(MenuItem* m);
  int MenuPosition() const { return menuPosition_; }
  void SetMenuPosition(int p) { menuPosition_ = p; }
  const std::string& FileExt() const { return fileExt_; }
  void SetFileExt(std::string e) { fileExt_ = std::move(e); }
  const std::string& IniFile() const { return iniFile_; }
  // Empty: the program file with ".ini"; a bare name lies in the program's folder.
  void SetIniFile(std::string f);
  // The program file (for the default INI file and the message caption).
  std::string programPath;
  // False: the list is neither read nor written (no folder of the user's own for it).
  bool persistent = true;

  FileEvent OnMenuClick;
  FileEvent OnFileNotExist;

  const std::vector<std::string>& Files() const { return files_; }
  // Kept by its full path (absolute and normalised) whatever form it is given in.
  void AddFile(const std::string& path);
  // Once the holding window is complete: reads the INI file and builds the menu.
  void Loaded();
  // Writes section "MRU List": keys 1 to MaxFiles, empty beyond the list.
  void SaveToIni() const;
  std::string ResolvedIniFile() const;
  // A click on one of the entries (their OnClick calls this).
  void EntryClick(MenuItem* item);

  static constexpr int kMark = 0x4D5255;  // tag of the items this list inserted

 private:
  void RebuildMenu();
  void Trim();

  Form& form_;
  unsigned maxFiles_ = 9;
  bool showFullPath_ = true;
  MenuItem* owner_ = nullptr;
  int menuPosition_ = 0;
  std::string fileExt_;
  std::string iniFile_;
  std::vector<std::string> files_;
  bool loaded_ = false;
};

}  // namespace pelmora

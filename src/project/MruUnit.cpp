#include "project/MruUnit.h"

#include <sys/stat.h>

#include <filesystem>
#include <system_error>

#include "fields/Text.h"
#include "fields/UiPort.h"
#include "fields/Version.h"
#include "project/TextFile.h"

namespace pelmora {

namespace {

constexpr const char* kSection = "MRU List";

// The list promises full paths: a file opened by a relative name is kept by its
// absolute, normalised path (no "." or ".." parts), so that it still opens from another
// working folder.
std::string FullPath(const std::string& p) {
  if (p.empty()) return p;
  std::error_code ec;
  std::filesystem::path full = std::filesystem::absolute(p, ec);
  if (ec) return p;
  std::string out = full.lexically_normal().string();
  return out.empty() ? p : out;
}

bool FileExists(const std::string& p) {
  struct stat st {};
  return ::stat(p.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

std::string FileNameOf(const std::string& p) {
  size_t slash = p.rfind('/');
  return slash == std::string::npos ? p : p.substr(slash + 1);
}

std::string ExtensionOf(const std::string& p) {
  std::string name = FileNameOf(p);
  size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::string HexDigits(size_t n) {
  static const char* d = "0123456789ABCDEF";
  std::string s;
  do {
    s.insert(s.begin(), d[n % 16]);
    n /= 16;
  } while (n);
  return s;
}

}  // namespace

TMostRecentFiles::TMostRecentFiles(Form& owner) : form_(owner) {}

TMostRecentFiles::~TMostRecentFiles() {
  if (!loaded_ || !persistent) return;
  try {
    SaveToIni();
  } catch (...) {
  }
}

void TMostRecentFiles::Trim() {
  while (files_.size() > maxFiles_) files_.pop_back();
}

void TMostRecentFiles::SetMaxFiles(unsigned n) {
  n = n == 0 ? 1 : n > 15 ? 15 : n;
  if (n == maxFiles_) return;
  maxFiles_ = n;
  if (!loaded_) return;
  Trim();
  RebuildMenu();
}

void TMostRecentFiles::SetShowFullPath(bool b) {
  if (b == showFullPath_) return;
  showFullPath_ = b;
  if (loaded_) RebuildMenu();
}

void TMostRecentFiles::SetOwnerMenuItem(MenuItem* m) {
  if (loaded_ && owner_) {
    MenuItem* old = owner_;
    owner_ = nullptr;
    for (size_t i = old->Count(); i-- > 0;)
      if (old->Item(i)->tag == kMark) old->Remove(i);
  }
  owner_ = m;
  if (loaded_) RebuildMenu();
}

void TMostRecentFiles::SetIniFile(std::string f) {
  iniFile_ = std::move(f);
  if (loaded_) Loaded();
}

std::string TMostRecentFiles::ResolvedIniFile() const {
  std::string folder;
  size_t slash = programPath.rfind('/');
  if (slash != std::string::npos) folder = programPath.substr(0, slash + 1);
  if (iniFile_.empty()) {
    std::string name = FileNameOf(programPath);
    size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    return folder + name + ".ini";
  }
  if (iniFile_.find('/') == std::string::npos) return folder + iniFile_;
  return iniFile_;
}

void TMostRecentFiles::AddFile(const std::string& given) {
  const std::string path = FullPath(given);
  std::string ext(pelmora::Trim(fileExt_));
  if (!ext.empty() && ext != "*.*") {
    std::string want = ext.find('.') == std::string::npos ? "." + ext : ext;
    if (!EqualsNoCase(want, ExtensionOf(path))) return;
  }
  if (!owner_) return;
  for (size_t i = 0; i < files_.size(); ++i) {
    if (!EqualsNoCase(files_[i], path)) continue;
    if (i == 0) return;
    files_.erase(files_.begin() + static_cast<std::ptrdiff_t>(i));
    break;
  }
  files_.insert(files_.begin(), path);
  Trim();
  RebuildMenu();
}

void TMostRecentFiles::RebuildMenu() {
  if (!owner_) return;
  MenuItem& menu = *owner_;
  for (size_t i = menu.Count(); i-- > 0;)
    if (menu.Item(i)->tag == kMark) menu.Remove(i);
  if (files_.empty()) return;
  size_t at = menuPosition_ < 0 ? 0 : static_cast<size_t>(menuPosition_);
  if (at > menu.Count()) at = menu.Count();
  auto insert = [&](const std::string& caption) {
    MenuItem* m = menu.InsertOwned(at++, caption);
    m->tag = kMark;
    return m;
  };
  if (at > 0 && !menu.Item(at - 1)->IsSeparator()) insert("-");
  for (size_t k = 0; k < files_.size(); ++k) {
    MenuItem* m = insert("&" + HexDigits(k + 1) + "  " + (showFullPath_ ? files_[k] : FileNameOf(files_[k])));
    m->data = files_[k];
    m->OnClick = [this](Component* s) { EntryClick(static_cast<MenuItem*>(s)); };
  }
  if (at < menu.Count() && !menu.Item(at)->IsSeparator()) insert("-");
}

void TMostRecentFiles::EntryClick(MenuItem* item) {
  if (!OnMenuClick || !owner_ || !item) return;
  MenuItem& menu = *owner_;
  int first = -1;
  for (size_t i = 0; i < menu.Count(); ++i)
    if (menu.Item(i)->tag == kMark) {
      first = static_cast<int>(i);
      break;
    }
  int index = menu.IndexOf(item);
  if (first < 0 || index < 0) return;
  int pos = index - first - (menu.Item(static_cast<size_t>(first))->IsSeparator() ? 1 : 0);
  if (pos < 0 || pos >= static_cast<int>(files_.size())) return;
  std::string path = files_[static_cast<size_t>(pos)];  // the item may go with the rebuild
  if (FileExists(path)) {
    if (pos != 0) {
      files_.erase(files_.begin() + pos);
      files_.insert(files_.begin(), path);
      RebuildMenu();
    }
    OnMenuClick(*this, path);
    return;
  }
  if (OnFileNotExist) {
    OnFileNotExist(*this, path);
  } else {
    form_.Port().MessageBox("文件\n“" + path + "”\n已不存在，已从最近打开的文件列表中移除。", PELMORA_NAME_ZH,
                            MsgType::Information, Buttons::Ok, Answer::Ok);
  }
  files_.erase(files_.begin() + pos);
  RebuildMenu();
}

void TMostRecentFiles::Loaded() {
  loaded_ = true;
  files_.clear();
  auto bytes = persistent ? ReadWholeFile(ResolvedIniFile()) : std::nullopt;
  if (bytes) {
    bool inSection = false;
    std::vector<std::pair<std::string, std::string>> entries;
    for (const std::string& raw : SplitLines(*bytes)) {
      auto line = GbkToUtf8(raw);
      if (!line) continue;
      std::string_view l = pelmora::Trim(*line);
      if (l.empty() || l[0] == ';') continue;
      if (l.front() == '[') {
        size_t close = l.find(']');
        inSection = close != std::string_view::npos && EqualsNoCase(pelmora::Trim(l.substr(1, close - 1)), kSection);
        continue;
      }
      if (!inSection) continue;
      size_t eq = l.find('=');
      if (eq == std::string_view::npos) continue;
      entries.emplace_back(TrimStr(l.substr(0, eq)), TrimStr(l.substr(eq + 1)));
    }
    for (unsigned k = 1; k <= maxFiles_; ++k) {
      std::string value;
      bool found = false;
      for (const auto& [key, v] : entries)
        if (key == std::to_string(k)) {
          value = v;
          found = true;
          break;
        }
      if (!found || value.empty()) break;
      files_.push_back(value);
    }
  }
  RebuildMenu();
}

void TMostRecentFiles::SaveToIni() const {
  std::string path = ResolvedIniFile();
  // Other sections of the file stay as they are.
  std::vector<std::string> before, after;
  bool seen = false, inSection = false;
  if (auto bytes = ReadWholeFile(path)) {
    for (const std::string& raw : SplitLines(*bytes)) {
      std::string_view l = pelmora::Trim(raw);
      if (!l.empty() && l.front() == '[') {
        size_t close = l.find(']');
        inSection = close != std::string_view::npos && EqualsNoCase(pelmora::Trim(l.substr(1, close - 1)), kSection);
        if (inSection) seen = true;
        if (inSection) continue;
      }
      if (inSection) continue;
      (seen ? after : before).push_back(raw);
    }
  }
  std::string out;
  for (const auto& l : before) out += l + "\r\n";
  out += std::string("[") + kSection + "]\r\n";
  unsigned key = 1;
  for (const std::string& f : files_) {
    std::string gbk;
    try {
      gbk = Utf8ToGbk(f, f);
    } catch (const FileError&) {
      continue;  // a path the code page cannot hold is left out
    }
    out += std::to_string(key++) + "=" + gbk + "\r\n";
  }
  for (; key <= maxFiles_; ++key) out += std::to_string(key) + "=\r\n";
  for (const auto& l : after) out += l + "\r\n";
  size_t slash = path.rfind('/');
  if (slash != std::string::npos && slash > 0) {
    // The configuration folder may not exist yet.
    std::string dir = path.substr(0, slash);
    for (size_t p = 1; p <= dir.size(); ++p)
      if (p == dir.size() || dir[p] == '/') ::mkdir(dir.substr(0, p).c_str(), 0755);
  }
  ReplaceFileContent(path, out);
}

}  // namespace pelmora

#include "project/Recovery.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>

#include "fields/DurableFile.h"
#include "fields/UiPort.h"
#include "project/ProjectCommands.h"
#include "project/SaveFormData.h"

namespace pelmora {

namespace fs = std::filesystem;

namespace {
constexpr const char* kPrefix = "recovery-";

// The process id in "recovery-PID.pmf", or 0.
int PidOf(const fs::path& p) {
  std::string n = p.filename().string();
  if (n.rfind(kPrefix, 0) != 0 || p.extension() != ".pmf") return 0;
  std::string digits =
      n.substr(std::char_traits<char>::length(kPrefix), n.size() - 4 - std::char_traits<char>::length(kPrefix));
  if (digits.empty() || digits.size() > 9 || !std::all_of(digits.begin(), digits.end(), ::isdigit)) return 0;
  return std::stoi(digits);
}

bool Running(int pid) { return pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM); }

std::string NameFile(const std::string& copy) { return copy.substr(0, copy.size() - 4) + ".name"; }
}  // namespace

Recovery::Recovery(TFormPelmora& form, ProjectCommands& project)
    : f_(form), project_(project), pid_(static_cast<int>(::getpid())) {}

std::string Recovery::Folder() {
  std::string base = UserFolder(UserFolderKind::State);
  return base.empty() ? std::string() : base;
}

std::string Recovery::CopyPath() const {
  std::string folder = Folder();
  if (folder.empty()) return {};
  return folder + kPrefix + std::to_string(pid_) + ".pmf";
}

void Recovery::Write() {
  if (!enabled) return;
  const std::vector<FormRecord> records = CollectFormRecords(f_);
  if (!project_.DiffersFromSaved(records)) {
    Remove();
    return;
  }
  const std::string path = CopyPath();
  if (path.empty()) return;
  try {
    std::error_code ec;
    fs::create_directories(fs::path(path).parent_path(), ec);
    SaveFormRecords(records, path);
    WriteFileDurably(NameFile(path),
                     f_.CurrentProjectFile.empty() ? std::string(ProjectCommands::kUnnamed) : f_.CurrentProjectFile);
  } catch (...) {
    // The copy is a safety net; the user's own save reports its failures.
  }
}

void Recovery::Remove() {
  const std::string path = CopyPath();
  if (path.empty()) return;
  std::error_code ec;
  fs::remove(path, ec);
  fs::remove(NameFile(path), ec);
}

std::vector<std::string> Recovery::Orphans() {
  std::vector<std::pair<fs::file_time_type, std::string>> found;
  std::string folder = Folder();
  std::error_code ec;
  if (folder.empty() || !fs::is_directory(folder, ec)) return {};
  int scanned = 0;
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    if (++scanned > 10000) break;
    int pid = PidOf(entry.path());
    if (pid == 0 || pid == static_cast<int>(::getpid()) || Running(pid)) continue;
    found.emplace_back(entry.last_write_time(ec), entry.path().string());
  }
  std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
  std::vector<std::string> out;
  for (auto& f : found) out.push_back(std::move(f.second));
  return out;
}

bool Recovery::Offer() {
  std::vector<std::string> orphans = Orphans();
  if (orphans.empty()) return false;
  const std::string copy = orphans.front();
  std::string name;
  {
    std::ifstream in(NameFile(copy));
    std::getline(in, name);
  }
  if (name.empty()) name = ProjectCommands::kUnnamed;
  Answer a = f_.Port().MessageBox(std::string(kQuestion) + "\n\n原项目：" + name, TFormPelmora::kTitle,
                                  MsgType::Question, Buttons::YesNo, Answer::Yes);
  bool recovered = false;
  if (a == Answer::Yes) recovered = project_.OpenRecovered(copy);
  std::error_code ec;
  if (recovered || a != Answer::Yes) {
    for (const auto& o : orphans) {
      fs::remove(o, ec);
      fs::remove(NameFile(o), ec);
    }
  }
  if (recovered) Write();  // this instance's own copy from now on
  return recovered;
}

}  // namespace pelmora

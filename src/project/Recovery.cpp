#include "project/Recovery.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
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
#include "project/TextFile.h"

namespace pelmora {

namespace fs = std::filesystem;

namespace {
constexpr const char* kPrefix = "recovery-";
constexpr size_t kMaxEntries = 10000;

bool StartsWith(const std::string& s, const char* p) { return s.rfind(p, 0) == 0; }
bool EndsWith(const std::string& s, const std::string& e) {
  return s.size() >= e.size() && s.compare(s.size() - e.size(), e.size(), e) == 0;
}
std::string Stem(const std::string& path) { return path.substr(0, path.rfind('.')); }
std::string LockOf(const std::string& copy) { return Stem(copy) + ".lock"; }
std::string NameFileOf(const std::string& copy) { return Stem(copy) + ".name"; }

// The process id in "recovery-PID.pmf" (the copies of earlier versions), or 0.
int PidOf(const fs::path& p) {
  std::string n = p.filename().string();
  if (!StartsWith(n, kPrefix) || p.extension() != ".pmf") return 0;
  std::string digits =
      n.substr(std::char_traits<char>::length(kPrefix), n.size() - 4 - std::char_traits<char>::length(kPrefix));
  if (digits.empty() || digits.size() > 9 || !std::all_of(digits.begin(), digits.end(), ::isdigit)) return 0;
  return std::stoi(digits);
}

bool Running(int pid) { return pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM); }

// True when the lock file is held by a running program (this one included).
bool LockHeld(const std::string& lock) {
  int fd = ::open(lock.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  ::close(fd);
  return held;
}

// True while the copy's writer runs: its lock is held. Earlier versions kept no lock;
// for their copies the process number is all there is.
bool WriterRuns(const std::string& copy) {
  std::error_code ec;
  if (fs::exists(LockOf(copy), ec)) return LockHeld(LockOf(copy));
  const int pid = PidOf(copy);
  return pid > 0 && pid != static_cast<int>(::getpid()) && Running(pid);
}

void RemoveCopy(const std::string& copy) {
  std::error_code ec;
  fs::remove(copy, ec);
  fs::remove(NameFileOf(copy), ec);
  if (!LockHeld(LockOf(copy))) fs::remove(LockOf(copy), ec);
}

// The project a copy was made of: its own record, or the name file of earlier versions.
std::string ProjectNameOf(const std::string& copy) {
  try {
    FormRecordFile file = ReadFormRecords(copy);
    if (!file.extras.projectName.empty()) return file.extras.projectName;
  } catch (const std::exception&) {
    // A copy that cannot be read says so when it is opened.
  }
  std::string name;
  std::ifstream in(NameFileOf(copy));
  std::getline(in, name);
  return name.empty() ? std::string(ProjectCommands::kUnnamed) : name;
}

// The Chinese reason of a save's message ("无法保存文件“…”：磁盘空间不足（…）").
std::string ShortReason(const std::string& message) {
  size_t colon = message.rfind("：");
  std::string r = colon == std::string::npos ? message : message.substr(colon + std::string("：").size());
  size_t bracket = r.find("（");
  return bracket == std::string::npos ? r : r.substr(0, bracket);
}
}  // namespace

Recovery::Recovery(TFormPelmora& form, ProjectCommands& project) : f_(form), project_(project) {}

Recovery::~Recovery() {
  if (lockFd_ < 0) return;
  std::error_code ec;
  if (!fs::exists(copy_, ec)) ::unlink(lock_.c_str());
  ::close(lockFd_);
}

std::string Recovery::Folder() { return UserFolder(UserFolderKind::State); }

bool Recovery::Claim() {
  if (lockFd_ >= 0) return true;
  const std::string folder = Folder();
  if (folder.empty()) return false;
  std::string name = folder + kPrefix + std::to_string(::getpid()) + "-XXXXXX.lock";
  std::vector<char> buf(name.begin(), name.end());
  buf.push_back('\0');
  const int fd = ::mkostemps(buf.data(), 5, O_CLOEXEC);
  if (fd < 0) return false;
  ::flock(fd, LOCK_EX | LOCK_NB);  // held until the program ends
  lockFd_ = fd;
  lock_ = buf.data();
  copy_ = Stem(lock_) + ".pmf";
  return true;
}

void Recovery::SayOnce(const std::string& why) {
  if (said_) return;
  said_ = true;
  f_.MyStatusBar->SetPanelText(0, kNotKept + why);
}

void Recovery::Write() {
  if (!enabled) return;
  std::vector<FormRecord> records = project_.FileRecords();
  if (!project_.DiffersFromSaved(std::vector<FormRecord>(records.begin() + 1, records.end()))) {
    Remove();
    return;
  }
  if (!Claim()) {
    const std::string folder = Folder();
    SayOnce(folder.empty() ? "没有可写的状态文件夹" : "状态文件夹不可写");
    return;
  }
  records.insert(records.begin(),
                 ProjectNameRecord(f_.CurrentProjectFile.empty() ? ProjectCommands::kUnnamed : f_.CurrentProjectFile));
  try {
    SaveFormRecords(records, copy_);
  } catch (const std::exception& e) {
    // The copy is a safety net; the user's own save reports its failures.
    SayOnce(ShortReason(e.what()));
  }
}

void Recovery::Remove() {
  if (copy_.empty()) return;
  std::error_code ec;
  fs::remove(copy_, ec);
}

void Recovery::End() {
  Remove();
  if (lockFd_ < 0) return;
  ::unlink(lock_.c_str());
  ::close(lockFd_);
  lockFd_ = -1;
}

std::vector<std::string> Recovery::Orphans() {
  std::vector<std::pair<fs::file_time_type, std::string>> found;
  const std::string folder = UserFolder(UserFolderKind::State, false);
  std::error_code ec;
  if (folder.empty() || !fs::is_directory(folder, ec)) return {};
  std::vector<std::string> locks;
  size_t scanned = 0;
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    if (++scanned > kMaxEntries) break;
    const std::string path = entry.path().string();
    const std::string name = entry.path().filename().string();
    if (!StartsWith(name, kPrefix)) continue;
    if (EndsWith(name, ".lock")) locks.push_back(path);
    if (!EndsWith(name, ".pmf") || WriterRuns(path)) continue;
    found.emplace_back(entry.last_write_time(ec), path);
  }
  // The lock of a writer that ended without a copy is of no use any more.
  for (const std::string& lock : locks)
    if (!fs::exists(Stem(lock) + ".pmf", ec) && !LockHeld(lock)) fs::remove(lock, ec);
  std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
  std::vector<std::string> out;
  for (auto& f : found) out.push_back(std::move(f.second));
  return out;
}

bool Recovery::Offer() {
  std::vector<std::string> orphans = Orphans();
  if (orphans.empty()) return false;
  const std::string copy = orphans.front();
  Answer a = f_.Port().MessageBox(std::string(kQuestion) + "\n\n原项目：" + ProjectNameOf(copy), TFormPelmora::kTitle,
                                  MsgType::Question, Buttons::YesNo, Answer::Yes);
  // A project opened meanwhile with unsaved changes is asked about first; Cancel keeps
  // the copies for the next start.
  if (a == Answer::Yes && !project_.CanClose()) return false;
  bool recovered = false;
  try {
    if (a == Answer::Yes) recovered = project_.OpenRecovered(copy);
  } catch (...) {
    for (const auto& o : orphans) RemoveCopy(o);  // it has said why it cannot be read
    throw;
  }
  if (recovered || a != Answer::Yes)
    for (const auto& o : orphans) RemoveCopy(o);
  if (recovered) Write();  // this instance's own copy from now on
  return recovered;
}

}  // namespace pelmora

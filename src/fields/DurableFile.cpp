#include "fields/DurableFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <vector>

namespace pelmora {

namespace {

const char* ChineseReason(int err) {
  switch (err) {
    case ENOSPC: return "磁盘空间不足";
    case EDQUOT: return "超出磁盘配额";
    case EACCES:
    case EPERM: return "没有访问权限";
    case EROFS: return "文件系统只读";
    case ENOENT: return "文件或文件夹不存在";
    case ENOTDIR: return "路径中的某一部分不是文件夹";
    case EISDIR: return "这是一个文件夹";
    case EEXIST: return "文件已存在";
    case EIO: return "输入输出错误（磁盘或网络故障）";
    case ENAMETOOLONG: return "文件名太长";
    case EMFILE:
    case ENFILE: return "打开的文件太多";
    case EBUSY: return "文件正被使用";
    case ETXTBSY: return "文件正被执行";
    case EXDEV: return "不能跨文件系统重命名";
    case EINVAL: return "参数无效";
    case EFBIG: return "文件太大";
    case ELOOP: return "符号链接层数过多";
    case EWOULDBLOCK: return "文件夹正被另一个保存操作锁定";
    case ENOMEM: return "内存不足";
    case ENXIO:
    case ENODEV: return "设备不存在";
    case ESTALE: return "网络文件句柄已失效";
    case ETIMEDOUT: return "操作超时";
    case ENOTEMPTY: return "文件夹不是空的";
    default: return nullptr;
  }
}

std::atomic<int> failedWrites{0};

constexpr const char* kTempMark = ".pelmora-";  // ".NAME.pelmora-XXXXXX"
constexpr size_t kTempRandom = 6;
constexpr int kLockTries = 1000;  // 10 ms apart: a folder is locked only while a file is renamed
constexpr int kMaxLinks = 40;     // the kernel's own limit for a path
constexpr time_t kOldStyleAge = 600;

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return path.substr(slash == std::string::npos ? 0 : slash + 1);
}

// 0 on success, otherwise the error number.
int SyncFd(int fd) {
  while (::fsync(fd) != 0) {
    if (errno == EINTR) continue;
    // Some file systems cannot sync a folder; that is no failure of ours.
    if (errno == EINVAL || errno == EROFS) return 0;
    return errno;
  }
  return 0;
}

int SyncFolder(const std::string& folder) {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return errno;
  int e = SyncFd(fd);
  ::close(fd);
  return e;
}

bool MakeFolders(const std::string& folder) {
  if (folder.empty()) return false;
  std::string part;
  for (size_t i = 0; i <= folder.size(); ++i) {
    if (i == folder.size() || folder[i] == '/') {
      if (!part.empty() && ::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    if (i < folder.size()) part += folder[i];
  }
  struct stat st {};
  return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The lock that serialises the renames into one folder between the program's writers.
// A folder that cannot be opened (or a file system without locks) is written unlocked.
class FolderLock {
 public:
  explicit FolderLock(const std::string& folder) {
    fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0) return;
    for (int i = 0; i < kLockTries; ++i) {
      if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
        held_ = true;
        return;
      }
      if (errno != EWOULDBLOCK && errno != EINTR) return;
      ::usleep(10000);
    }
    error_ = EWOULDBLOCK;
  }
  ~FolderLock() {
    if (fd_ < 0) return;
    if (held_) ::flock(fd_, LOCK_UN);
    ::close(fd_);
  }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;
  int Error() const { return error_; }

 private:
  int fd_ = -1;
  bool held_ = false;
  int error_ = 0;
};

bool Alnum(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// "NAME" of ".NAME.pelmora-XXXXXX[-journal|-wal|-shm]": the length of the temporary
// file's own name (without the SQLite suffix), or 0 when `name` is no such file.
size_t TempNameLength(std::string_view name) {
  if (name.size() < 2 || name[0] != '.') return 0;
  size_t mark = name.rfind(kTempMark);
  if (mark == std::string_view::npos || mark == 0) return 0;
  size_t end = mark + std::char_traits<char>::length(kTempMark) + kTempRandom;
  if (end > name.size()) return 0;
  for (size_t i = end - kTempRandom; i < end; ++i)
    if (!Alnum(name[i])) return 0;
  std::string_view rest = name.substr(end);
  if (!rest.empty() && rest != "-journal" && rest != "-wal" && rest != "-shm") return 0;
  return end;
}

// An earlier version's temporary file of `base`: ".BASE.XXXXXX".
bool OldStyleTemp(std::string_view name, const std::string& base) {
  if (base.empty() || name.size() != base.size() + 2 + kTempRandom || name[0] != '.') return false;
  if (name.substr(1, base.size()) != base || name[base.size() + 1] != '.') return false;
  for (size_t i = base.size() + 2; i < name.size(); ++i)
    if (!Alnum(name[i])) return false;
  return true;
}

// True when the file's lock can be taken: its writer no longer runs.
bool Abandoned(int dirFd, const std::string& name, time_t minAge) {
  int fd = ::openat(dirFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  bool free = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
  if (free && minAge > 0) free = std::time(nullptr) - st.st_mtime >= minAge;
  ::close(fd);
  return free;
}

int RemoveStale(const std::string& folder, size_t limit, const std::string& base) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return 0;
  std::vector<std::string> temps, leftovers, old;
  size_t seen = 0;
  while (const dirent* e = ::readdir(dir)) {
    if (++seen > limit) break;
    std::string_view name = e->d_name;
    size_t own = TempNameLength(name);
    if (own == name.size())
      temps.emplace_back(name);
    else if (own > 0)
      leftovers.emplace_back(name);  // a journal of SQLite beside a temporary database
    else if (OldStyleTemp(name, base))
      old.emplace_back(name);
  }
  const int dirFd = ::dirfd(dir);
  int removed = 0;
  auto remove = [&](const std::string& name) {
    if (::unlinkat(dirFd, name.c_str(), 0) == 0) ++removed;
  };
  for (const std::string& t : temps)
    if (Abandoned(dirFd, t, 0)) remove(t);
  // A journal whose database has gone (removed now, or by its writer) is of no use.
  for (const std::string& l : leftovers) {
    std::string owner = l.substr(0, TempNameLength(l));
    struct stat st {};
    if (::fstatat(dirFd, owner.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 && errno == ENOENT) remove(l);
  }
  // Earlier versions did not lock their temporary files: only old ones are taken.
  for (const std::string& o : old)
    if (Abandoned(dirFd, o, kOldStyleAge)) remove(o);
  ::closedir(dir);
  return removed;
}

// At most `max` bytes of `s`, not cutting a UTF-8 sequence.
std::string Shorten(const std::string& s, size_t max) {
  if (s.size() <= max) return s;
  size_t n = max;
  while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
  return s.substr(0, n);
}

}  // namespace

std::string SystemReasonZh(int err) {
  const char* en = std::strerror(err);
  if (const char* zh = ChineseReason(err)) return std::string(zh) + "（" + en + "）";
  return "系统错误 " + std::to_string(err) + "（" + en + "）";
}

int FailedWrites() { return failedWrites.load(); }
void NoteFailedWrite() { ++failedWrites; }

std::string WriteTarget(const std::string& path) {
  std::string p = path;
  for (int hop = 0; hop < kMaxLinks; ++hop) {
    struct stat st {};
    if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return p;
    std::vector<char> buf(static_cast<size_t>(st.st_size > 0 ? st.st_size : 255) + 1);
    ssize_t n = ::readlink(p.c_str(), buf.data(), buf.size());
    if (n <= 0 || static_cast<size_t>(n) >= buf.size()) return p;
    std::string link(buf.data(), static_cast<size_t>(n));
    p = link[0] == '/' ? link : FolderOf(p) + "/" + link;
  }
  return p;  // a loop of links: the write fails on it with ELOOP
}

DurableTemp::DurableTemp(const std::string& target) : target_(target), folder_(FolderOf(target)) {
  const std::string base = BaseOf(target);
  if (base.empty()) {
    error_ = EISDIR;
    return;
  }
  struct stat old {};
  // Still a link after WriteTarget: a loop of links, which the rename must not replace.
  if (::lstat(target.c_str(), &old) == 0 && S_ISLNK(old.st_mode)) {
    error_ = ELOOP;
    return;
  }
  const bool exists = ::stat(target.c_str(), &old) == 0;
  if (exists && S_ISDIR(old.st_mode)) {
    error_ = EISDIR;
    return;
  }
  FolderLock lock(folder_);
  if (lock.Error()) {
    error_ = lock.Error();
    return;
  }
  RemoveStale(folder_, 10000, base);
  std::string tmpl = folder_ + "/." + Shorten(base, 200) + kTempMark + std::string(kTempRandom, 'X');
  std::vector<char> name(tmpl.begin(), tmpl.end());
  name.push_back('\0');
  fd_ = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd_ < 0) {
    error_ = errno;
    return;
  }
  temp_ = name.data();
  // Held until the file is renamed or removed: the mark of a living writer. A file
  // system without locks leaves it unlocked, which only makes it look stale sooner.
  ::flock(fd_, LOCK_EX | LOCK_NB);
  // The new file gets the old one's permissions, or the usual ones for a new file.
  mode_t mode = 0666;
  if (exists) {
    mode = old.st_mode & 07777;
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    mode &= ~mask;
  }
  if (::fchmod(fd_, mode) != 0) error_ = errno;
}

DurableTemp::~DurableTemp() {
  if (fd_ < 0) return;
  if (!committed_) ::unlink(temp_.c_str());  // before the lock goes with the descriptor
  ::close(fd_);
}

int DurableTemp::Write(std::string_view bytes) {
  if (error_) return error_;
  const char* p = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    ssize_t n = ::write(fd_, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return error_ = errno;
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  return 0;
}

int DurableTemp::Commit() {
  if (error_) return error_;
  if (int e = SyncFd(fd_)) return error_ = e;
  {
    FolderLock lock(folder_);
    if (lock.Error()) return error_ = lock.Error();
    if (::rename(temp_.c_str(), target_.c_str()) != 0) return error_ = errno;
    committed_ = true;
  }
  return SyncFolder(folder_);
}

int WriteFileDurablyErrno(const std::string& target, std::string_view bytes) {
  DurableTemp temp(WriteTarget(target));
  int e = temp.Write(bytes);
  if (!e) e = temp.Commit();
  if (e) NoteFailedWrite();
  return e;
}

std::string WriteFileDurably(const std::string& target, std::string_view bytes) {
  int e = WriteFileDurablyErrno(target, bytes);
  return e ? SystemReasonZh(e) : std::string();
}

int RemoveStaleTemporaries(const std::string& folder, size_t limit) {
  FolderLock lock(folder);
  if (lock.Error()) return 0;
  return RemoveStale(folder, limit, std::string());
}

std::string UserFolder(UserFolderKind kind, bool create) {
  const char* var = kind == UserFolderKind::Config ? "XDG_CONFIG_HOME"
                    : kind == UserFolderKind::Data ? "XDG_DATA_HOME"
                                                   : "XDG_STATE_HOME";
  const char* fallback = kind == UserFolderKind::Config ? "/.config"
                         : kind == UserFolderKind::Data ? "/.local/share"
                                                        : "/.local/state";
  std::string base;
  // A relative XDG path is to be ignored, as the base-directory rules say.
  if (const char* x = std::getenv(var); x && *x == '/')
    base = x;
  else if (const char* h = std::getenv("HOME"); h && *h)
    base = std::string(h) + fallback;
  if (base.empty()) {
    if (create) NoteFailedWrite();
    return {};
  }
  std::string folder = base + "/pelmora";
  if (create && !MakeFolders(folder)) {
    NoteFailedWrite();
    return {};
  }
  return folder + "/";
}

bool PrivateFolder(const std::string& folder) {
  struct stat st {};
  return ::lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
         (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

std::string RuntimeFolder(bool create) {
  const char* rt = std::getenv("XDG_RUNTIME_DIR");
  if (!rt || *rt != '/' || !PrivateFolder(rt)) return {};
  std::string folder = std::string(rt) + "/pelmora";
  if (create) ::mkdir(folder.c_str(), 0700);
  if (!PrivateFolder(folder)) return {};
  return folder + "/";
}

bool FolderWritable(const std::string& folder) {
  // An installed program's data folder is never written, even by a user who could.
  std::string f = folder;
  while (f.size() > 1 && f.back() == '/') f.pop_back();
  static const std::string kInstalled = "/share/pelmora";
  if (f.size() >= kInstalled.size() && f.compare(f.size() - kInstalled.size(), kInstalled.size(), kInstalled) == 0)
    return false;
  return ::access(folder.empty() ? "." : folder.c_str(), W_OK | X_OK) == 0;
}

std::string DataFileToRead(const std::string& programFolder, const std::string& fileName) {
  const std::string user = UserFolder(UserFolderKind::Data, false);
  std::error_code ec;
  if (!user.empty() && std::filesystem::is_regular_file(user + fileName, ec)) return user + fileName;
  return (std::filesystem::path(programFolder) / fileName).string();
}

std::string DataFileToWrite(const std::string& programFolder, const std::string& fileName,
                            const std::string& readFrom) {
  std::string user = UserFolder(UserFolderKind::Data, false);
  if (!user.empty() && readFrom == user + fileName) return readFrom;
  if (FolderWritable(programFolder)) return (std::filesystem::path(programFolder) / fileName).string();
  user = UserFolder(UserFolderKind::Data, true);
  return user.empty() ? std::string() : user + fileName;
}

}  // namespace pelmora

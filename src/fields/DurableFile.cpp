#include "fields/DurableFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace pelmora {

std::string SystemReasonZh(int err) {
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
    case EIO: return "输入输出错误";
    case ENAMETOOLONG: return "文件名太长";
    case EMFILE:
    case ENFILE: return "打开的文件太多";
    case EBUSY: return "文件正被使用";
    case EXDEV: return "不能跨文件系统重命名";
    case EINVAL: return "参数无效";
    default: return "系统错误 " + std::to_string(err) + "（" + std::strerror(err) + "）";
  }
}

namespace {

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
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

int SyncPath(const std::string& path, int flags) {
  int fd = ::open(path.c_str(), flags | O_CLOEXEC);
  if (fd < 0) return errno;
  int e = SyncFd(fd);
  ::close(fd);
  return e;
}

std::string Reason(int err) { return err ? SystemReasonZh(err) : std::string(); }

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

}  // namespace

std::string SyncFile(const std::string& path) { return Reason(SyncPath(path, O_RDONLY)); }

std::string SyncFolderOf(const std::string& path) { return Reason(SyncPath(FolderOf(path), O_RDONLY | O_DIRECTORY)); }

std::string CommitReplacement(const std::string& temp, const std::string& target) {
  int e = SyncPath(temp, O_RDONLY);
  if (!e && ::rename(temp.c_str(), target.c_str()) != 0) e = errno;
  if (e) {
    ::unlink(temp.c_str());
    return Reason(e);
  }
  return Reason(SyncPath(FolderOf(target), O_RDONLY | O_DIRECTORY));
}

int WriteFileDurablyErrno(const std::string& target, std::string_view bytes) {
  size_t slash = target.rfind('/');
  std::string folder = FolderOf(target);
  std::string base = target.substr(slash == std::string::npos ? 0 : slash + 1);
  if (base.empty()) return EISDIR;
  struct stat old {};
  bool exists = ::stat(target.c_str(), &old) == 0;
  if (exists && S_ISDIR(old.st_mode)) return EISDIR;
  std::string tmpl = folder + "/." + base + ".XXXXXX";
  std::vector<char> name(tmpl.begin(), tmpl.end());
  name.push_back('\0');
  int fd = ::mkstemp(name.data());
  if (fd < 0) return errno;
  std::string tmp(name.data());
  auto abandon = [&](int err) {
    ::close(fd);
    ::unlink(tmp.c_str());
    return err;
  };
  // The new file gets the old one's permissions, or the usual ones for a new file.
  mode_t mode = 0666;
  if (exists) {
    mode = old.st_mode & 07777;
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    mode &= ~mask;
  }
  if (::fchmod(fd, mode) != 0) return abandon(errno);
  const char* p = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return abandon(errno);
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  if (int e = SyncFd(fd)) return abandon(e);
  if (::close(fd) != 0) {
    int e = errno;
    ::unlink(tmp.c_str());
    return e;
  }
  if (::rename(tmp.c_str(), target.c_str()) != 0) {
    int e = errno;
    ::unlink(tmp.c_str());
    return e;
  }
  return SyncPath(folder, O_RDONLY | O_DIRECTORY);
}

std::string WriteFileDurably(const std::string& target, std::string_view bytes) {
  return Reason(WriteFileDurablyErrno(target, bytes));
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
  else
    return {};
  std::string folder = base + "/pelmora";
  if (create && !MakeFolders(folder)) return {};
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

}  // namespace pelmora

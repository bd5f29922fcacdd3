#include "gui/SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "fields/DurableFile.h"

namespace pelmora::gui {

SingleInstance::SingleInstance(std::string folder) {
  if (folder.empty()) {
    const char* rt = std::getenv("XDG_RUNTIME_DIR");
    if (rt && *rt && access(rt, W_OK) == 0) {
      folder = rt;
    } else {
      const char* tmp = std::getenv("TMPDIR");
      folder = (tmp && *tmp) ? tmp : "/tmp";
      folder += "/pelmora-" + std::to_string(getuid());
      shared_ = true;
    }
  }
  path_ = folder + "/Pelmora.lock";
}

SingleInstance::~SingleInstance() {
  if (fd_ >= 0) close(fd_);
}

bool SingleInstance::Acquire() {
  if (fd_ >= 0) return true;
  size_t slash = path_.rfind('/');
  if (slash != std::string::npos && slash > 0) mkdir(path_.substr(0, slash).c_str(), 0700);
  // In a folder that all users share, only a folder of this user's own that no one else
  // can write into is used; another user could otherwise hold the lock for us.
  if (shared_ && slash != std::string::npos && !PrivateFolder(path_.substr(0, slash))) return true;
  int fd = open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return true;  // no lock possible: run rather than refuse to start
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

}  // namespace pelmora::gui

#pragma once
// One running program per user: a lock file named "Pelmora" in the user's runtime
// folder. The lock belongs to the process (flock), so it is released when the first
// instance ends, also when it crashes.
#include <string>

namespace pelmora::gui {

class SingleInstance {
 public:
  // `folder` empty: $XDG_RUNTIME_DIR, else the temporary folder with the user id.
  explicit SingleInstance(std::string folder = std::string());
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // True when this is the only instance (the lock is now held).
  bool Acquire();
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  bool shared_ = false;  // under the temporary folder, which all users share
  int fd_ = -1;
};

}  // namespace pelmora::gui

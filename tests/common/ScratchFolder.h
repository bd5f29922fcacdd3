#pragma once
// A scratch folder of a test's own under the system's temporary folder, made with a unique
// name and removed with everything in it afterwards (a folder a test made read-only
// included). `sub`, when given, is a folder inside it that the test works in.
#include <stdlib.h>

#include <filesystem>
#include <string>

namespace pelmora::testing {

class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& sub = std::string()) {
    std::string tmpl = (std::filesystem::temp_directory_path() / "pelmora-test-XXXXXX").string();
    if (mkdtemp(tmpl.data()) == nullptr) throw std::filesystem::filesystem_error("mkdtemp", std::error_code());
    root_ = tmpl;
    path_ = sub.empty() ? root_ : root_ + "/" + sub;
    std::filesystem::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ec;
    for (const auto& e : std::filesystem::recursive_directory_iterator(root_, ec))
      if (e.is_directory(ec)) std::filesystem::permissions(e.path(), std::filesystem::perms::owner_all, ec);
    std::filesystem::permissions(root_, std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(root_, ec);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // A file (or folder) in the working folder.
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }
  std::string File(const std::string& name) const { return *this / name; }
  // The working folder, without and with a trailing '/'.
  const std::string& path() const { return path_; }
  std::string Folder() const { return path_ + "/"; }
  // The folder made, with a trailing '/'.
  std::string Root() const { return root_ + "/"; }

 private:
  std::string root_, path_;
};

}  // namespace pelmora::testing

#pragma once
// Files that must survive a power cut, and the per-user folders where an installed
// program keeps what it writes.
//
// Every file the program writes goes through DurableTemp: the new content is written to a
// temporary file of a unique name beside the target (".NAME.pelmora-XXXXXX"), flushed,
// and renamed over the target while the folder is locked, so a reader (or a crash) only
// ever sees the old file or the complete new one. The temporary file is locked (flock) by
// its writer; one whose lock can be taken was left by a writer that no longer runs, and
// the next save into that folder removes it. A target that is a symbolic link is written
// through: the file the link points to is replaced, the link stays.
#include <cstddef>
#include <string>
#include <string_view>

namespace pelmora {

// The system's reason for an error number in Chinese, with the C library's English text
// in brackets ("磁盘空间不足（No space left on device）").
std::string SystemReasonZh(int err);

// Writes that failed since the program started, also those that could not begin (no
// folder to write to). The command line compares the count before and after an option.
int FailedWrites();
void NoteFailedWrite();

// The file that writing to `path` replaces: `path` itself, or the end of its chain of
// symbolic links (relative links taken from the link's folder; at most 40 links).
std::string WriteTarget(const std::string& path);

// A new file beside `target`, made the target by Commit. Not copyable; the temporary
// file is removed when the object goes without a successful Commit.
class DurableTemp {
 public:
  // `target` should already be resolved by WriteTarget. The temporary file gets the
  // target's permissions (or the usual ones for a new file). Stale temporary files of
  // dead writers in the folder are removed first.
  explicit DurableTemp(const std::string& target);
  ~DurableTemp();
  DurableTemp(const DurableTemp&) = delete;
  DurableTemp& operator=(const DurableTemp&) = delete;

  // 0 when the temporary file exists, otherwise the error number.
  int Error() const { return error_; }
  const std::string& Path() const { return temp_; }
  int Fd() const { return fd_; }
  // Writes all of `bytes` at the current position. 0 or the error number.
  int Write(std::string_view bytes);
  // fsync of the temporary file, rename over the target while the folder is locked,
  // fsync of the folder. 0 or the error number; on failure the target is as it was.
  int Commit();

 private:
  std::string target_, folder_, temp_;
  int fd_ = -1;
  int error_ = 0;
  bool committed_ = false;
};

// Writes `bytes` durably over `target` (through a symbolic link). Empty on success,
// otherwise the reason; a failure leaves the target untouched and no temporary file.
std::string WriteFileDurably(const std::string& target, std::string_view bytes);
// The same, giving the error number (0 on success) for callers that word the reason
// themselves.
int WriteFileDurablyErrno(const std::string& target, std::string_view bytes);

// Removes the temporary files in `folder` left by writers that no longer run (at most
// `limit` entries are looked at). Returns how many files were removed.
int RemoveStaleTemporaries(const std::string& folder, size_t limit = 10000);

enum class UserFolderKind { Config, Data, State };

// $XDG_CONFIG_HOME/pelmora, $XDG_DATA_HOME/pelmora or $XDG_STATE_HOME/pelmora (with the
// usual defaults under $HOME), with a trailing '/'. Created when `create` is true;
// empty when it cannot be had (a folder that could not be made counts as a failed write).
std::string UserFolder(UserFolderKind kind, bool create = true);

// $XDG_RUNTIME_DIR/pelmora/ when the runtime folder is set, belongs to this user and no
// one else can write into it; created when `create` is true. Empty otherwise: per-user
// files are never put into a folder that other users share.
std::string RuntimeFolder(bool create = true);

// True when `folder` is a folder of this user that no other user can write into (the
// test a fallback folder for per-user files must pass).
bool PrivateFolder(const std::string& folder);

// True when files can be created in `folder` and it is not an installed program's data
// folder (…/share/pelmora), which the program never writes.
bool FolderWritable(const std::string& folder);

// The data files shipped beside the program that the user may change (the pipe
// catalogue, the property library). The user's own copy in the data folder, once one was
// saved there, is the one read; otherwise the program's (`programFolder` with a trailing
// separator, or empty for the current folder).
std::string DataFileToRead(const std::string& programFolder, const std::string& fileName);
// Where a changed data file read from `readFrom` is saved: back into the user's copy when
// that is what was read, else beside the program when that folder may be written, else a
// new user copy (the data folder created). Empty when there is no writable place.
std::string DataFileToWrite(const std::string& programFolder, const std::string& fileName, const std::string& readFrom);

}  // namespace pelmora

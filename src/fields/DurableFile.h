#pragma once
// Files that must survive a power cut, and the per-user folders where an installed
// program keeps what it writes.
#include <string>
#include <string_view>

namespace pelmora {

// The system's reason for an error number, in Chinese (the number and the C
// library's text for the rare ones without a translation).
std::string SystemReasonZh(int err);

// Flushes a file's data to the disk. Empty on success, otherwise the reason.
std::string SyncFile(const std::string& path);
// Flushes the folder that holds `path`, so that a rename in it is on the disk.
std::string SyncFolderOf(const std::string& path);

// Makes `temp` (a complete file in the same folder as `target`) the new `target`:
// fsync of `temp`, rename over `target`, fsync of the folder. On any failure `temp`
// is removed, `target` is as it was, and the reason is returned; empty on success.
std::string CommitReplacement(const std::string& temp, const std::string& target);

// Writes `bytes` to a temporary file beside `target` and commits it as above. Empty
// on success, otherwise the reason; a failure leaves `target` untouched and no
// temporary file behind.
std::string WriteFileDurably(const std::string& target, std::string_view bytes);
// The same, giving the error number (0 on success) for callers that word the reason
// themselves.
int WriteFileDurablyErrno(const std::string& target, std::string_view bytes);

enum class UserFolderKind { Config, Data, State };

// $XDG_CONFIG_HOME/pelmora, $XDG_DATA_HOME/pelmora or $XDG_STATE_HOME/pelmora (with the
// usual defaults under $HOME), with a trailing '/'. Created when `create` is true;
// empty when it cannot be had.
std::string UserFolder(UserFolderKind kind, bool create = true);

// True when files can be created in `folder` and it is not an installed program's data
// folder (…/share/pelmora), which the program never writes.
bool FolderWritable(const std::string& folder);

}  // namespace pelmora

#pragma once
// The file boundary of the project files: GBK (code page 936) to and from the UTF-8
// used inside the program, whole-file reading, and saving that never destroys the
// file it replaces.
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace pelmora {

// A text that cannot be written or read in the Chinese code page, or a file that
// cannot be written; what() is the message shown to the user.
class FileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// UTF-8 to GBK. A character that GBK cannot hold (or a broken UTF-8 sequence) throws
// FileError naming the character and `where` (e.g. the component it belongs to).
std::string Utf8ToGbk(std::string_view utf8, std::string_view where);
// GBK to UTF-8; nullopt when the bytes are not GBK text. `badOffset` receives the
// offset of the first byte that is not.
std::optional<std::string> GbkToUtf8(std::string_view gbk, size_t* badOffset = nullptr);

// The largest file the program reads as a project, template or recent-files list. The
// largest real project is a few tens of kilobytes; 64 MB leaves room for long notes and
// stops a device such as /dev/zero from being read until the memory runs out.
inline constexpr size_t kMaxReadBytes = size_t{64} << 20;

// Why a file was not read.
enum class ReadRefusal { None, Missing, Folder, NotRegular, TooLarge, Failed };

struct FileContent {
  std::optional<std::string> bytes;  // the whole content, when read
  ReadRefusal refusal = ReadRefusal::None;
  std::string reason;  // Chinese, for the message that names the file
};

// Reads a whole file. Refused before any byte is read: a folder, anything that is not a
// regular file (a named pipe would block for ever, a device never end) and a file above
// `maxBytes`. A file that grows past the limit while it is read is refused as well.
FileContent ReadFileChecked(const std::string& path, size_t maxBytes = kMaxReadBytes);

// The whole content of a file, or nullopt when it does not exist or cannot be read
// (`error` receives the Chinese reason). The limits of ReadFileChecked apply.
std::optional<std::string> ReadWholeFile(const std::string& path, std::string* error = nullptr);

// Writes `bytes` durably over `path` (WriteFileDurably: temporary file, fsync, rename,
// fsync of the folder), so a failure or a power cut leaves the old file as it was.
// Throws FileError with the system's message.
void ReplaceFileContent(const std::string& path, std::string_view bytes);

}  // namespace pelmora

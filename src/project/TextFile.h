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

// The whole content of a file, or nullopt when it does not exist or cannot be opened
// (`error` receives the system's reason).
std::optional<std::string> ReadWholeFile(const std::string& path, std::string* error = nullptr);

// Writes `bytes` durably over `path` (WriteFileDurably: temporary file, fsync, rename,
// fsync of the folder), so a failure or a power cut leaves the old file as it was.
// Throws FileError with the system's message.
void ReplaceFileContent(const std::string& path, std::string_view bytes);

}  // namespace pelmora

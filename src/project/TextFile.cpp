#include "project/TextFile.h"

#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "fields/DurableFile.h"

namespace pelmora {

namespace {

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1))
      throw FileError(std::string("GBK 编码转换不可用: ") + std::strerror(errno));
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts all of `in`; returns the offset of the first byte that failed, or npos.
  size_t Run(std::string_view in, std::string& out) {
    out.clear();
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // initial shift state
    std::vector<char> buf(in.size() * 2 + 16);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    while (srcLeft > 0) {
      char* dst = buf.data();
      size_t dstLeft = buf.size();
      size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      out.append(buf.data(), static_cast<size_t>(dst - buf.data()));
      if (r == static_cast<size_t>(-1)) {
        if (errno == E2BIG) continue;
        return in.size() - srcLeft;
      }
    }
    return std::string_view::npos;
  }

 private:
  iconv_t cd_;
};

// The code point of the UTF-8 sequence at `s` (for messages), or -1.
long CodePointAt(std::string_view s) {
  if (s.empty()) return -1;
  auto b = static_cast<unsigned char>(s[0]);
  int len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
  if (len == 0 || s.size() < static_cast<size_t>(len)) return -1;
  long cp = len == 1 ? b : len == 2 ? (b & 0x1F) : len == 3 ? (b & 0x0F) : (b & 0x07);
  for (int i = 1; i < len; ++i) cp = (cp << 6) | (static_cast<unsigned char>(s[static_cast<size_t>(i)]) & 0x3F);
  return cp;
}

std::string Hex(long cp) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "U+%04lX", static_cast<unsigned long>(cp) & 0x1FFFFFUL);
  return buf;
}

}  // namespace

std::string Utf8ToGbk(std::string_view utf8, std::string_view where) {
  bool ascii = true;
  for (char c : utf8)
    if (static_cast<unsigned char>(c) >= 0x80) ascii = false;
  if (ascii) return std::string(utf8);
  static thread_local Converter conv("GBK", "UTF-8");
  std::string out;
  size_t bad = conv.Run(utf8, out);
  if (bad != std::string_view::npos) {
    long cp = CodePointAt(utf8.substr(bad));
    size_t len = cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
    std::string ch = cp < 0 ? "无效的 UTF-8 字节" : "字符“" + std::string(utf8.substr(bad, len)) + "”(" + Hex(cp) + ")";
    throw FileError("“" + std::string(where) + "”中的" + ch + "不能以 GBK 编码保存");
  }
  return out;
}

std::optional<std::string> GbkToUtf8(std::string_view gbk, size_t* badOffset) {
  bool ascii = true;
  for (char c : gbk)
    if (static_cast<unsigned char>(c) >= 0x80) ascii = false;
  if (ascii) return std::string(gbk);
  static thread_local Converter conv("UTF-8", "GBK");
  std::string out;
  size_t bad = conv.Run(gbk, out);
  if (bad != std::string_view::npos) {
    if (badOffset) *badOffset = bad;
    return std::nullopt;
  }
  return out;
}

FileContent ReadFileChecked(const std::string& path, size_t maxBytes) {
  FileContent c;
  auto refuse = [&c](ReadRefusal r, std::string why) {
    c.refusal = r;
    c.reason = std::move(why);
    return c;
  };
  // Not blocking: opening a named pipe without a writer would wait for one.
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    const int e = errno;
    if (e == ENOENT || e == ENOTDIR) return refuse(ReadRefusal::Missing, "文件不存在");
    return refuse(ReadRefusal::Failed, SystemReasonZh(e));
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    const int e = errno;
    ::close(fd);
    return refuse(ReadRefusal::Failed, SystemReasonZh(e));
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    if (S_ISDIR(st.st_mode)) return refuse(ReadRefusal::Folder, "这是一个文件夹，不是文件");
    const char* what = S_ISFIFO(st.st_mode)                         ? "命名管道"
                       : S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode) ? "设备"
                       : S_ISSOCK(st.st_mode)                       ? "套接字"
                                                                    : "特殊文件";
    return refuse(ReadRefusal::NotRegular, std::string("这不是普通文件，而是") + what + "，不能读取");
  }
  auto tooLarge = [&](unsigned long long size) {
    return refuse(ReadRefusal::TooLarge, "文件太大（" + std::to_string(size >> 20) + " MB），超过上限 " +
                                             std::to_string(maxBytes >> 20) + " MB，未读取");
  };
  if (static_cast<unsigned long long>(st.st_size) > maxBytes) {
    ::close(fd);
    return tooLarge(static_cast<unsigned long long>(st.st_size));
  }
  std::string data;
  data.reserve(static_cast<size_t>(st.st_size));
  char buf[65536];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int e = errno;
      ::close(fd);
      return refuse(ReadRefusal::Failed, SystemReasonZh(e));
    }
    if (n == 0) break;
    data.append(buf, static_cast<size_t>(n));
    if (data.size() > maxBytes) {
      ::close(fd);
      return tooLarge(data.size());
    }
  }
  ::close(fd);
  c.bytes = std::move(data);
  return c;
}

std::optional<std::string> ReadWholeFile(const std::string& path, std::string* error) {
  FileContent c = ReadFileChecked(path);
  if (!c.bytes && error) *error = c.reason;
  return std::move(c.bytes);
}

void ReplaceFileContent(const std::string& path, std::string_view bytes) {
  if (int err = WriteFileDurablyErrno(path, bytes))
    throw FileError("无法保存文件“" + path + "”：" + SystemReasonZh(err));
}

}  // namespace pelmora

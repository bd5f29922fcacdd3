#pragma once
// Scratch folders and hand-written GBK files for the project tests.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "../common/ScratchFolder.h"
#include "project/SaveFormData.h"
#include "project/TextFile.h"

namespace pelmora::testing {

using TempDir = ScratchFolder;

// The shipped templates and examples (build/bin/templates/NAME.pmt, examples/NAME.pmf).
inline const char* const kNames[] = {"storage-tank-hot-water", "storage-tank-steam", "agitated-tank",
                                     "constant-temperature-bath", "two-stream-vessel"};

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

// The UTF-8 text in GBK with every "\n" made CR LF.
inline void WriteGbkFile(const std::string& path, const std::string& utf8) {
  std::string crlf;
  for (char c : utf8) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  WriteBytes(path, Utf8ToGbk(crlf, path));
}

inline std::string Header() {
  return "CFR File Format(Compatible Form Record File),by Lirvadesmonte.\nVersion 1.1,2007.07.17\n\n";
}

inline std::string Rec(const std::string& name, const std::string& kind, const std::string& prop,
                       const std::string& value) {
  return name + "\n" + kind + "\n" + prop + "\n" + value + "\n\n";
}

// The byte offsets in a form record file where records begin: after the three header
// lines, after every five lines that follow, and the end of the file.
inline std::vector<size_t> RecordBoundaries(const std::string& bytes) {
  std::vector<size_t> at;
  size_t lines = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\n') continue;
    ++lines;
    if (lines >= 3 && (lines - 3) % 5 == 0) at.push_back(i + 1);
  }
  return at;
}

// The first record in which two states differ, or empty when they are the same.
inline std::string FirstDifference(const std::vector<FormRecord>& a, const std::vector<FormRecord>& b) {
  for (size_t i = 0; i < a.size() && i < b.size(); ++i)
    if (!(a[i] == b[i]))
      return a[i].name + " " + a[i].property + ": " + a[i].value + " / " + b[i].name + " " + b[i].property + ": " +
             b[i].value;
  return a.size() == b.size() ? std::string() : "different record counts";
}

}  // namespace pelmora::testing

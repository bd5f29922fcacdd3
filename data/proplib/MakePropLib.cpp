// Build-time tool: turns the text source of the property library into PropLib.cds.
// usage: make_proplib SOURCE.txt OUTPUT.cds
#include <fstream>
#include <iostream>
#include <string>

#include "props/PropLib.h"
#include "props/PropNumbers.h"

using namespace pelmora;

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: make_proplib SOURCE.txt OUTPUT.cds\n";
    return 2;
  }
  std::ifstream in(argv[1]);
  if (!in) {
    std::cerr << argv[1] << ": cannot read\n";
    return 1;
  }
  PropLibrary lib;
  PropRecord rec;
  bool open = false;
  int lineNo = 0;
  auto flush = [&]() -> bool {
    if (!open) return true;
    std::string message;
    if (lib.Insert(rec, &message) < 0) {
      std::cerr << argv[1] << ": record " << rec.NO.value_or("?") << ": " << message << "\n";
      return false;
    }
    return true;
  };
  for (std::string line; std::getline(in, line);) {
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::string trimmed = TrimBlanks(line);
    if (trimmed.empty() || trimmed[0] == '#') continue;
    if (trimmed.front() == '[' && trimmed.back() == ']') {
      if (!flush()) return 1;
      rec = PropRecord{};
      rec.NO = trimmed.substr(1, trimmed.size() - 2);
      if (lib.Find(*rec.NO) >= 0) {
        std::cerr << argv[1] << ":" << lineNo << ": duplicate record " << *rec.NO << "\n";
        return 1;
      }
      open = true;
      continue;
    }
    size_t eq = line.find('=');
    std::optional<std::string>* field = eq == std::string::npos ? nullptr : rec.Field(TrimBlanks(line.substr(0, eq)));
    if (!open || !field || TrimBlanks(line.substr(0, eq)) == "NO") {
      std::cerr << argv[1] << ":" << lineNo << ": not a field line: " << line << "\n";
      return 1;
    }
    *field = line.substr(eq + 1);
  }
  if (!flush()) return 1;
  std::string message;
  if (!lib.Save(argv[2], &message)) {
    std::cerr << message << "\n";
    return 1;
  }
  std::cout << "PropLib.cds: " << lib.Count() << " records\n";
  return 0;
}

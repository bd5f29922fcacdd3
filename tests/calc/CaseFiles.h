#pragma once
// The reference designs of data/cases: one option and its value per line.
#include <fstream>
#include <string>
#include <vector>

namespace pelmora::testing_cases {

inline std::vector<std::string> CaseArgs(const std::string& name) {
  std::ifstream in(std::string(PELMORA_SOURCE_DIR) + "/data/cases/" + name + ".args");
  std::vector<std::string> args;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    size_t sp = line.find(' ');
    args.push_back(line.substr(0, sp));
    if (sp != std::string::npos) args.push_back(line.substr(sp + 1));
  }
  return args;
}

}  // namespace pelmora::testing_cases

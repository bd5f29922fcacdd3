#pragma once
// Reading back what the program writes as CSV, as a spreadsheet would: cells split at
// commas outside double quotes, "" inside quotes one quote, CR LF or LF line ends.
#include <sstream>
#include <string>
#include <vector>

namespace pelmora::testing {

inline std::vector<std::vector<std::string>> ParseCsv(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> cells;
    std::string cell;
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
      const char c = line[i];
      if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"')
        cell += '"', ++i;
      else if (c == '"')
        quoted = !quoted;
      else if (c == ',' && !quoted)
        cells.push_back(cell), cell.clear();
      else
        cell += c;
    }
    cells.push_back(cell);
    rows.push_back(cells);
  }
  return rows;
}

// The text a field shows in pelmora-calc's --json output ("?" when it is not there).
inline std::string Shown(const std::string& json, const std::string& name) {
  size_t p = json.find("\"" + name + "\": {");
  if (p == std::string::npos) return "?";
  const std::string line = json.substr(p, json.find('\n', p) - p);
  const std::string key = "\"display\": \"";
  size_t d = line.find(key);
  if (d == std::string::npos) return "?";
  d += key.size();
  return line.substr(d, line.find('"', d) - d);
}

}  // namespace pelmora::testing

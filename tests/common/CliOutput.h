#pragma once
// Reading back what pelmora-calc prints: CSV as a spreadsheet would read it (cells split
// at commas outside double quotes, "" inside quotes one quote, CR LF or LF line ends),
// and the components of --json, each printed on a line of its own.
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

// The JSON object of one component in the first --json printed (empty when none).
inline std::string ComponentLine(const std::string& json, const std::string& name) {
  size_t p = json.find("\"" + name + "\": {");
  if (p == std::string::npos) return {};
  return json.substr(p, json.find('\n', p) - p);
}

// The text of a component in the last --json of a run ("<none>", "<no text>").
inline std::string TextOf(const std::string& out, const std::string& name) {
  size_t p = out.rfind("\"" + name + "\": {");
  if (p == std::string::npos) return "<none>";
  size_t t = out.find("\"text\": \"", p);
  if (t == std::string::npos || t > out.find('\n', p)) return "<no text>";
  t += 9;
  return out.substr(t, out.find('"', t) - t);
}

}  // namespace pelmora::testing

// Builds the catalogue Piples.mdb from its text sources: make_catalogue piples.txt expand.txt OUT.
// Rows are "ID | DN | standard | source" and "ID | name | Ec | source"; '#' starts a comment line.
// Do and Di are computed from DN as the program's maintenance run does.
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "fields/NumberFormat.h"
#include "fields/Text.h"
#include "select/PipeCatalogue.h"

using namespace pelmora;

namespace {

std::vector<std::vector<std::string>> ReadRows(const char* path, size_t columns) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error(std::string("cannot read ") + path);
  std::vector<std::vector<std::string>> rows;
  std::string line;
  int no = 0;
  while (std::getline(in, line)) {
    ++no;
    std::string t = TrimStr(line);
    if (t.empty() || t[0] == '#') continue;
    std::vector<std::string> cells;
    std::stringstream ss(t);
    std::string cell;
    while (std::getline(ss, cell, '|')) cells.push_back(TrimStr(cell));
    if (cells.size() != columns || cells.back().empty())
      throw std::runtime_error(std::string(path) + ":" + std::to_string(no) + ": expected " + std::to_string(columns) +
                               " columns with a source");
    rows.push_back(cells);
  }
  return rows;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: make_catalogue piples.txt expand.txt OUT\n";
    return 2;
  }
  try {
    PipeCatalogue c;
    std::set<int> ids;
    for (const auto& r : ReadRows(argv[1], 4)) {
      PipeRow p;
      p.id = static_cast<int>(StrToInt(r[0]));
      if (!ids.insert(p.id).second) throw std::runtime_error("duplicate pipe ID " + r[0]);
      p.dn = r[1];
      p.standard = r[2];
      TubeSize t = ParseTubeSize(p.dn);
      if (!(t.wall > 0 && t.outer > 2 * t.wall)) throw std::runtime_error("impossible size " + p.dn);
      p.Do = t.outer;
      p.Di = t.outer - 2 * t.wall;
      c.pipes.push_back(p);
    }
    ids.clear();
    for (const auto& r : ReadRows(argv[2], 4)) {
      ExpandRow e;
      e.id = static_cast<int>(StrToInt(r[0]));
      if (!ids.insert(e.id).second) throw std::runtime_error("duplicate Expand1 ID " + r[0]);
      e.dn = r[1];
      e.ec = StrToFloat(r[2]);
      c.expands.push_back(e);
    }
    std::string message;
    if (!c.Save(argv[3], &message)) throw std::runtime_error(message);
  } catch (const std::exception& e) {
    std::cerr << "make_catalogue: " << e.what() << "\n";
    return 1;
  }
  return 0;
}

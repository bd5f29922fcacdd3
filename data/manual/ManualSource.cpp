#include "ManualSource.h"

#include <pango/pango.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace manual {

namespace {

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return {};
  size_t e = s.find_last_not_of(" \t\r");
  return s.substr(b, e - b + 1);
}

bool StartsWith(const std::string& s, const char* p) { return s.rfind(p, 0) == 0; }

// Joins two source lines of one paragraph: Chinese text runs on without a blank.
void JoinLine(std::string& para, const std::string& line) {
  if (para.empty()) {
    para = line;
    return;
  }
  const unsigned char last = static_cast<unsigned char>(para.back());
  const unsigned char first = static_cast<unsigned char>(line.front());
  if (last < 0x80 && first < 0x80) para += ' ';
  para += line;
}

std::vector<std::string> SplitRow(const std::string& line) {
  std::vector<std::string> cells;
  std::string s = Trim(line);
  if (!s.empty() && s.front() == '|') s.erase(0, 1);
  if (!s.empty() && s.back() == '|') s.pop_back();
  std::string cell;
  for (char c : s) {
    if (c == '|') {
      cells.push_back(Trim(cell));
      cell.clear();
    } else {
      cell += c;
    }
  }
  cells.push_back(Trim(cell));
  return cells;
}
}  // namespace

std::vector<Block> Parse(const std::vector<std::string>& files) {
  std::vector<Block> blocks;
  for (const std::string& file : files) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + file);
    std::string raw;
    int lineNo = 0;
    std::string para;
    BlockKind paraKind = BlockKind::Paragraph;
    int paraLine = 0;
    auto flush = [&] {
      if (!para.empty()) blocks.push_back({paraKind, para, {}, {}, file, paraLine});
      para.clear();
      paraKind = BlockKind::Paragraph;
    };
    while (std::getline(in, raw)) {
      ++lineNo;
      if (!raw.empty() && raw.back() == '\r') raw.pop_back();
      const std::string line = Trim(raw);
      if (line.empty()) {
        flush();
        continue;
      }
      auto heading = [&](BlockKind k, size_t skip) {
        flush();
        std::string title = line.substr(skip);
        if (Trim(title).empty()) throw std::runtime_error(file + ":" + std::to_string(lineNo) + ": empty heading");
        // The title is the bookmark as written (no trimming of inner blanks).
        while (!title.empty() && title.back() == ' ') title.pop_back();
        blocks.push_back({k, title, {}, {}, file, lineNo});
      };
      if (StartsWith(line, "### ")) {
        heading(BlockKind::Subsection, 4);
      } else if (StartsWith(line, "## ")) {
        heading(BlockKind::Section, 3);
      } else if (StartsWith(line, "# ")) {
        heading(BlockKind::Chapter, 2);
      } else if (StartsWith(line, "@also ")) {
        flush();
        if (blocks.empty() || blocks.back().kind > BlockKind::Subsection)
          throw std::runtime_error(file + ":" + std::to_string(lineNo) + ": @also must follow a heading");
        blocks.back().aliases.push_back(Trim(line.substr(6)));
      } else if (StartsWith(line, "- ")) {
        flush();
        para = line.substr(2);
        paraKind = BlockKind::Bullet;
        paraLine = lineNo;
      } else if (StartsWith(line, "$ ")) {
        flush();
        blocks.push_back({BlockKind::Formula, line.substr(2), {}, {}, file, lineNo});
      } else if (StartsWith(line, "% ")) {
        flush();
        const std::string rest = Trim(line.substr(2));
        const size_t blank = rest.find(' ');
        const std::string name = rest.substr(0, blank);
        const size_t slash = file.rfind('/');
        const std::string dir = slash == std::string::npos ? std::string() : file.substr(0, slash + 1);
        Block fig{BlockKind::Figure, blank == std::string::npos ? "" : Trim(rest.substr(blank)), {}, {}, file, lineNo};
        fig.rows.push_back({dir + name});
        blocks.push_back(fig);
      } else if (StartsWith(line, "! ")) {
        flush();
        para = line.substr(2);
        paraKind = BlockKind::Note;
        paraLine = lineNo;
      } else if (line.front() == '|') {
        if (!para.empty() || blocks.empty() || blocks.back().kind != BlockKind::Table ||
            blocks.back().line + static_cast<int>(blocks.back().rows.size()) != lineNo) {
          flush();
          blocks.push_back({BlockKind::Table, "", {}, {}, file, lineNo});
        }
        blocks.back().rows.push_back(SplitRow(line));
      } else {
        if (para.empty()) paraLine = lineNo;
        JoinLine(para, line);
      }
    }
    flush();
  }
  return blocks;
}

std::string Escape(const std::string& s) {
  gchar* e = g_markup_escape_text(s.c_str(), static_cast<gssize>(s.size()));
  std::string r(e);
  g_free(e);
  return r;
}
std::string ToPango(const std::string& src, std::vector<LinkSpan>& links, const std::string& where) {
  std::string out;
  int plainLen = 0;
  bool bold = false;
  size_t i = 0;
  std::string run;
  auto put = [&](const std::string& text) {
    out += Escape(text);
    plainLen += static_cast<int>(text.size());
  };
  while (i < src.size()) {
    if (src.compare(i, 2, "**") == 0) {
      put(run);
      run.clear();
      out += bold ? "</b>" : "<b>";
      bold = !bold;
      i += 2;
    } else if (src.compare(i, 2, "[[") == 0) {
      size_t close = src.find("]]", i + 2);
      if (close == std::string::npos) throw std::runtime_error(where + ": [[ without ]]");
      put(run);
      run.clear();
      std::string target = src.substr(i + 2, close - i - 2);
      LinkSpan span{plainLen, 0, target};
      out += "<span foreground=\"#1a4fa0\" underline=\"single\">";
      put(target);
      out += "</span>";
      span.end = plainLen;
      links.push_back(span);
      i = close + 2;
    } else {
      run += src[i++];
    }
  }
  put(run);
  if (bold) throw std::runtime_error(where + ": ** not closed");
  return out;
}

}  // namespace manual

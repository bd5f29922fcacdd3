#pragma once
// The manual's text sources read into blocks (headings, paragraphs, bullets, formulas,
// tables, notes, figures), and their inline markup turned into pango markup.
#include <string>
#include <vector>

namespace manual {

enum class BlockKind { Chapter, Section, Subsection, Paragraph, Bullet, Formula, Table, Note, Figure };

struct Block {
  BlockKind kind;
  std::string text;                            // headings: the title; paragraphs: the markup source
  std::vector<std::vector<std::string>> rows;  // tables
  std::vector<std::string> aliases;            // headings: further outline titles
  std::string file;
  int line = 0;
};

struct Heading {
  std::string title;
  int level;     // 1 chapter, 2 section, 3 subsection
  int page = 0;  // from 1
  double y = 0;
  std::vector<std::string> aliases;
};
// The blocks of the sources, in the order given; throws std::runtime_error naming the
// file and line of a mistake.
std::vector<Block> Parse(const std::vector<std::string>& files);

// Text escaped for pango markup.
std::string Escape(const std::string& s);

struct LinkSpan {
  int start, end;  // byte offsets in the layout's text
  std::string target;
};

// Source markup → pango markup, and the byte ranges of the links in the plain text.
std::string ToPango(const std::string& src, std::vector<LinkSpan>& links, const std::string& where);

}  // namespace manual

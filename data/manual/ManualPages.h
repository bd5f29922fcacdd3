#pragma once
// The manual's pages: the title page, the contents, the body block by block, and the
// outline (bookmarks and their index file) of the headings.
#include <cairo-pdf.h>

#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "ManualWriter.h"

namespace manual {

struct Document {
  std::vector<Block> blocks;
  std::vector<Heading> headings;  // in order; blocks of heading kind refer to them in order
  std::map<std::string, Heading*> byTitle;
  int contentsPage = 2;
  std::string version;
};

void WriteTitlePage(Writer& w, const Document& doc);
// The contents: one line per chapter and section with its page, each line a link.
void WriteContents(Writer& w, Document& doc, bool final);
// The blocks; the first pass (not `final`) sets the page of every heading and checks that
// every link has its heading, the final pass draws the links.
void WriteBody(Writer& w, Document& doc, bool final);
// The outline of the PDF and its index (page, level, top, title a line).
void AddOutline(cairo_surface_t* surface, Document& doc, std::ofstream& idx);

}  // namespace manual

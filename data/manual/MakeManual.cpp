// Turns the manual's text sources into Manual.pdf (cairo + pango) and its bookmark index.
//
//   make_manual OUT.pdf SOURCE.txt...
//
// The sources are read in the order given. Their light markup, line by line:
//   # title        chapter: new page, outline entry, line in the contents
//   ## title       section: outline entry under its chapter, line in the contents
//   ### title      subsection: outline entry under its section
//   @also title    one more outline entry (same level) at the heading just above
//   - text         bullet item
//   $ text         formula line, set apart and indented
//   | a | b |      table row (the first row of a table is its head)
//   ! text         note, set in a frame
//   % file.png caption   figure: a PNG (path beside the source file) fitted to the text width
//   blank line     ends a paragraph; other lines are joined into one paragraph
// Inline: **bold**, [[heading title]] a link to that heading.
//
// The first page is the title page, then the contents ("目录", with the page of every
// chapter and section, each line a link), then the body. Next to OUT.pdf the tool writes
// OUT.pdf.idx: one line per outline entry, "page<TAB>level<TAB>top<TAB>title", pages
// from 1, top in points from the top of the page, so that programs without a PDF reader
//
// The sources are read by ManualSource.cpp, set on pages by ManualPages.cpp with the
// writer of ManualWriter.h.
#include <cairo-pdf.h>
#include <cairo.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "ManualPages.h"

using namespace manual;

namespace {

cairo_status_t Discard(void*, const unsigned char*, unsigned int) { return CAIRO_STATUS_SUCCESS; }

void Render(Document& doc, cairo_surface_t* surface, bool final) {
  std::map<std::string, Heading*> byTitle = doc.byTitle;
  Writer w(surface, byTitle, final);
  WriteTitlePage(w, doc);
  WriteContents(w, doc, final);
  WriteBody(w, doc, final);
  w.Finish();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::cerr << "usage: make_manual OUT.pdf VERSION SOURCE.txt...\n";
    return 2;
  }
  try {
    Document doc;
    doc.version = argv[2];
    std::vector<std::string> files(argv + 3, argv + argc);
    doc.blocks = Parse(files);
    for (const Block& b : doc.blocks) {
      if (b.kind == BlockKind::Chapter || b.kind == BlockKind::Section || b.kind == BlockKind::Subsection) {
        int level = b.kind == BlockKind::Chapter ? 1 : b.kind == BlockKind::Section ? 2 : 3;
        doc.headings.push_back({b.text, level, 0, 0, b.aliases});
      }
    }
    if (doc.headings.empty() || doc.headings.front().level != 1)
      throw std::runtime_error("the manual must begin with a chapter");
    for (Heading& h : doc.headings) {
      for (const std::string* t : [&] {
             std::vector<const std::string*> v{&h.title};
             for (const auto& a : h.aliases) v.push_back(&a);
             return v;
           }()) {
        if (*t == kContentsTitle || !doc.byTitle.emplace(*t, &h).second)
          throw std::runtime_error("bookmark title used twice: " + *t);
      }
    }

    // First pass: page of every heading (the contents page count does not depend on them).
    cairo_surface_t* dry = cairo_pdf_surface_create_for_stream(Discard, nullptr, kPageW, kPageH);
    Render(doc, dry, false);
    cairo_surface_finish(dry);
    cairo_surface_destroy(dry);

    const std::string out = argv[1];
    const std::string tmp = out + ".part";
    cairo_surface_t* pdf = cairo_pdf_surface_create(tmp.c_str(), kPageW, kPageH);
    cairo_pdf_surface_set_metadata(pdf, CAIRO_PDF_METADATA_TITLE, "佩莫拉帮助");
    cairo_pdf_surface_set_metadata(pdf, CAIRO_PDF_METADATA_SUBJECT, "佩莫拉使用手册");
    cairo_pdf_surface_set_metadata(pdf, CAIRO_PDF_METADATA_CREATOR, "Pelmora make_manual");
    std::ofstream idx(out + ".idx.part", std::ios::binary);
    AddOutline(pdf, doc, idx);
    Render(doc, pdf, true);
    cairo_surface_finish(pdf);
    const cairo_status_t st = cairo_surface_status(pdf);
    cairo_surface_destroy(pdf);
    if (st != CAIRO_STATUS_SUCCESS) throw std::runtime_error(std::string("cairo: ") + cairo_status_to_string(st));
    idx.close();
    if (!idx) throw std::runtime_error("cannot write " + out + ".idx");
    if (std::rename(tmp.c_str(), out.c_str()) != 0 ||
        std::rename((out + ".idx.part").c_str(), (out + ".idx").c_str()) != 0)
      throw std::runtime_error("cannot write " + out);
    std::cout << "make_manual: " << doc.headings.size() << " headings\n";
    return 0;
  } catch (const std::exception& e) {
    std::cerr << "make_manual: " << e.what() << "\n";
    return 1;
  }
}

#pragma once
// Rich Text Format of a rich-text area's paragraphs: fonts (with the GB2312 character
// set), sizes, bold and colours kept; every non-ASCII character as \uN with its GBK
// bytes as the fallback for readers without Unicode. The document is A4 with the
// printed report's margins, page numbers in the footer and headings kept with the line
// after them; each font names an alternative that the program's dependencies install.
#include <string>
#include <vector>

#include "fields/Components.h"

namespace pelmora {

std::string ToRtf(const std::vector<RichParagraph>& paragraphs);

// The installed face a reader should take for a font of the report ("宋体" has none on
// a system without it): AR PL UMing CN, or the Liberation face of the same metrics.
std::string AlternativeFont(const std::string& name);

}  // namespace pelmora

#pragma once
// Rich Text Format of a rich-text area's paragraphs: fonts (with the GB2312 character
// set), sizes, bold and colours kept; every non-ASCII character as \uN with its GBK
// bytes as the fallback for readers without Unicode.
#include <string>
#include <vector>

#include "fields/Components.h"

namespace pelmora {

std::string ToRtf(const std::vector<RichParagraph>& paragraphs);

}  // namespace pelmora

#pragma once
// The report as a PDF document: the paragraphs over the page rectangle (1.0 inch left
// and right, 0.7 inch top and bottom), then, when given, a page with the chart, and a
// footer line on every page. Text stays text.
#include <functional>
#include <string>
#include <vector>

#include "chart/Canvas.h"
#include "fields/Components.h"

namespace pelmora {

struct PdfPage {
  double width = 595.276;  // A4 in points
  double height = 841.89;
  double left = 72, right = 72, top = 50.4, bottom = 50.4;
};

// The PDF bytes. `chart`, when set, draws the chart on a canvas as wide as the text.
std::string ReportPdfBytes(const std::vector<RichParagraph>& paragraphs,
                           const std::function<void(chart::Canvas&)>& chart, const std::string& footer,
                           const PdfPage& page = {});

}  // namespace pelmora

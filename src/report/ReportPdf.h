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
// Defined in the library pelmora_report_pdf (cairo and pango).
std::string ReportPdfBytes(const std::vector<RichParagraph>& paragraphs,
                           const std::function<void(chart::Canvas&)>& chart, const std::string& footer,
                           const PdfPage& page = {});

// The writer the report's PDF command uses. A front end chooses it: the command line
// links ReportPdfBytes, the window reaches it through a module loaded on first use (so
// that it starts without cairo and pango). Without one, the command says so. A writer
// that cannot write throws std::runtime_error with the reason (empty bytes count as a
// failure without one).
using ReportPdfWriter = std::string (*)(const std::vector<RichParagraph>& paragraphs,
                                        const std::function<void(chart::Canvas&)>& chart, const std::string& footer,
                                        const PdfPage& page);
void SetReportPdfWriter(ReportPdfWriter writer);
ReportPdfWriter GetReportPdfWriter();

}  // namespace pelmora

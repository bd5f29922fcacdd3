#pragma once
// The PDF report (导出PDF报告): the calculation sheet, built from the fields, on A4 pages
// with its fonts embedded and the time–temperature curve as vector graphics. Text stays
// text.
#include <functional>
#include <string>

#include "chart/Canvas.h"
#include "report/CalcSheet.h"
#include "report/SheetLayout.h"

namespace pelmora {

// The PDF bytes. `chart`, when set, draws the curve on its page.
// Defined in the library pelmora_report_pdf (cairo and pango).
std::string ReportPdfBytes(const CalcSheet& sheet, const std::function<void(chart::Canvas&)>& chart,
                           const SheetPageSize& page);

// The writer the report's PDF command uses. A front end chooses it: the command line
// links ReportPdfBytes, the window reaches it through a module loaded on first use (so
// that it starts without cairo and pango). Without one, the command says so. A writer
// that cannot write throws std::runtime_error with the reason (empty bytes count as a
// failure without one).
using ReportPdfWriter = std::string (*)(const CalcSheet& sheet, const std::function<void(chart::Canvas&)>& chart,
                                        const SheetPageSize& page);
void SetReportPdfWriter(ReportPdfWriter writer);
ReportPdfWriter GetReportPdfWriter();

}  // namespace pelmora

#pragma once
// Printing a chart: one landscape page, through the print dialog, the chart scaled onto
// the printable area.
#include <string>

#include "gui/Extras.h"

class QWidget;

namespace pelmora::gui {

inline constexpr const char* kNoPrinterForChart = "没有安装打印机，无法打印图表。";

// Without an installed printer: the message and nothing else.
void PrintChart(QWidget* parent, const std::string& job, const extras::ChartPainter& paint);

}  // namespace pelmora::gui

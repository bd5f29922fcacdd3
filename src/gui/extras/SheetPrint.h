#pragma once
// Printing the calculation sheet (打印计算书): the same pages as the PDF report, drawn
// on the printer with Qt, through a print preview that works with no printer installed
// (printing then writes a PDF file), as one job "计算书".
#include <QString>
#include <functional>

#include "chart/Canvas.h"
#include "fields/Catalogue.h"
#include "report/CalcSheet.h"

class QPrinter;
class QWidget;

namespace pelmora::gui {

// Draws the sheet on the printer, A4 portrait, measured from the paper's edge; returns
// the number of pages (0 when the printer cannot be painted on).
int RenderSheet(QPrinter& printer, const CalcSheet& sheet, const std::function<void(chart::Canvas&)>& chart);

// The print preview of what `render` draws (it returns its page count), titled with the
// job and the page count. A printer that cannot print (none installed) prints into a
// PDF file instead.
void ShowPrintPreview(QWidget* parent, QPrinter& printer, const QString& job,
                      const std::function<int(QPrinter&)>& render);

// The command.
void PrintSheet(QWidget* parent, TFormPelmora& form, const CalcSheet& sheet,
                const std::function<void(chart::Canvas&)>& chart);

}  // namespace pelmora::gui

#pragma once
// Printing the report area: portrait, one job "计算报表", over the print rectangle of
// 1.0 inch left and right and 0.7 inch top and bottom from the paper edge, through the
// print preview and the print dialog.
#include <QRect>
#include <vector>

#include "fields/Catalogue.h"

class QPrinter;
class QWidget;

namespace pelmora::gui {

// The print rectangle in the printer's device pixels, relative to its printable area
// (the margins measured from the paper edge, less the physical offsets).
QRect ReportPrintRect(const QPrinter& printer);
// Prints the paragraphs on the printer, paginated over the print rectangle; returns the
// number of pages.
int RenderReport(QPrinter& printer, const std::vector<RichParagraph>& paragraphs);
// The command: the preview, from which the print dialog prints (into a PDF file when no
// printer is installed).
void PrintReport(QWidget* parent, pelmora::TFormPelmora& form);

}  // namespace pelmora::gui

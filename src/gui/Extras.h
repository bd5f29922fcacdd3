#pragma once
// The parts of the window that need the heavy libraries — the manual viewer (QtPdf),
// printing (Qt Print Support) and the PDF report (cairo and pango) — come from a module,
// pelmora-extras.so, loaded when one of them is first used: the program starts without
// loading those libraries. Programs that link the parts in (the GUI tests) say so with
// UseLinked.
#include <functional>
#include <string>
#include <vector>

#include "fields/UiPort.h"
#include "report/ReportPdf.h"

class QPainter;
class QRect;
class QWidget;

namespace pelmora {
class TFormPelmora;
}

namespace pelmora::gui::extras {

// Paints a chart over a page rectangle of the printer.
using ChartPainter = std::function<void(QPainter& painter, const QRect& page)>;

// What the module offers. Its entry point `pelmora_extras_table` returns one.
struct Table {
  int version;
  QWidget* (*newHelpViewer)();
  HelpShown (*openHelp)(QWidget* viewer, const HelpRequest& request);
  void (*printReport)(QWidget* parent, TFormPelmora& form);
  ReportPdfWriter reportPdfBytes;
  void (*printSheet)(QWidget* parent, TFormPelmora& form, const CalcSheet& sheet,
                     const std::function<void(chart::Canvas&)>& chart);
  void (*printChart)(QWidget* parent, const std::string& job, const ChartPainter& paint);
};
constexpr int kVersion = 3;
constexpr const char* kModuleFile = "pelmora-extras.so";

// The parts linked into this program (the library pelmora_extras); null where they are not.
const Table* LinkedParts();
// Uses the parts linked in instead of the module.
void UseLinked(const Table* table);
// The parts, from the module on first use; null, with the reason in `error`, when the
// module cannot be found or loaded.
const Table* Parts(std::string* error = nullptr);
// The module's file once loaded (empty before, or with the parts linked in).
std::string LoadedFrom();
// Where the module is looked for: beside the program (the build tree), then in
// ../lib/pelmora/ (the installed layout).
std::vector<std::string> ModuleCandidates();

// The report's PDF writer (the calculation sheet) through the parts; throws with the
// reason when they cannot be loaded.
std::string ReportPdfBytes(const CalcSheet& sheet, const std::function<void(chart::Canvas&)>& chart,
                           const SheetPageSize& page);
// The manual viewer through the parts: a window of its own, made on the first request.
QWidget* NewHelpViewer(std::string* error);
HelpShown OpenHelp(QWidget* viewer, const HelpRequest& request);
// Prints the report, or the calculation sheet, through the parts; a message box says
// when they cannot be loaded.
void PrintReport(QWidget* parent, TFormPelmora& form);
void PrintSheet(QWidget* parent, TFormPelmora& form, const CalcSheet& sheet,
                const std::function<void(chart::Canvas&)>& chart);
// Prints a chart on one landscape page through the print dialog (job `job`); a message
// box says when there is no printer or the parts cannot be loaded.
void PrintChart(QWidget* parent, const std::string& job, const ChartPainter& paint);

}  // namespace pelmora::gui::extras

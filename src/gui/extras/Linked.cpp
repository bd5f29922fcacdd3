// The parts behind extras::Table, linked into the extras library and into the module.
#include "gui/Extras.h"
#include "gui/extras/ChartPrint.h"
#include "gui/extras/HelpViewer.h"
#include "gui/extras/ReportPrint.h"
#include "gui/extras/SheetPrint.h"

namespace pelmora::gui::extras {

namespace {

QWidget* NewViewer() { return new HelpViewer(nullptr); }

HelpShown OpenViewer(QWidget* viewer, const HelpRequest& request) {
  return static_cast<HelpViewer*>(viewer)->Open(request);
}

void Print(QWidget* parent, TFormPelmora& form) { gui::PrintReport(parent, form); }

std::string Pdf(const CalcSheet& sheet, const std::function<void(chart::Canvas&)>& chart, const SheetPageSize& page) {
  return pelmora::ReportPdfBytes(sheet, chart, page);
}

void PrintSheet(QWidget* parent, TFormPelmora& form, const CalcSheet& sheet,
                const std::function<void(chart::Canvas&)>& chart) {
  gui::PrintSheet(parent, form, sheet, chart);
}

void PrintChartPage(QWidget* parent, const std::string& job, const ChartPainter& paint) {
  gui::PrintChart(parent, job, paint);
}

const Table table{kVersion, &NewViewer, &OpenViewer, &Print, &Pdf, &PrintSheet, &PrintChartPage};

}  // namespace

const Table* LinkedParts() { return &table; }

}  // namespace pelmora::gui::extras

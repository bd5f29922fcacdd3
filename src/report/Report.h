#pragma once
// The report commands of the calculation window: build (生成报表, and every switch to
// the report page), save as RTF (保存报表), print (打印报表, through the view); and the
// calculation sheet built from the fields, exported as PDF (导出PDF报告) and printed
// (打印计算书, through the view).
#include <functional>
#include <string>
#include <vector>

#include "calc/Curve.h"
#include "fields/Catalogue.h"
#include "report/CalcSheet.h"
#include "report/ReportBuilder.h"

namespace pelmora {

class Report {
 public:
  // Installs the handlers on the form.
  Report(TFormPelmora& form, const Curve& curve);

  void SBRSimpleClick(Component* sender);
  void SBRSaveClick(Component* sender);
  void SBRPrintRepClick(Component* sender);
  void SBRPdfClick(Component* sender);
  void SBRPrintCalcClick(Component* sender);

  // Sections written after the supplementary data, in the order added; each appends
  // its section with ReportBuilder::AppendSection.
  using SectionHook = std::function<void(ReportBuilder&)>;
  void AddSectionHook(SectionHook hook) { hooks_.push_back(std::move(hook)); }

  // The report of the window as it stands (not shown anywhere).
  std::vector<RichParagraph> Build() const;

  // Set by the desktop view: prints the report area (dialog, preview, job).
  std::function<void()> print;
  // Set by the desktop view: prints the calculation sheet (preview, dialog, job).
  std::function<void()> printSheet;

  // Where the sheet takes the design checks of the last completed run and the second
  // opinion from (set by the window object; empty: none).
  std::function<std::vector<DesignCheck>()> designChecks;
  std::function<std::vector<MethodCheckRow>()> methodChecks;
  std::function<std::string()> recommendedMargin;

  // The calculation sheet of the window as it stands, dated today.
  CalcSheet Sheet() const;
  // Draws the stored curve, or nothing (empty) when there is none.
  std::function<void(chart::Canvas&)> ChartPainter() const;
  // Writes the calculation sheet as a PDF; empty on success, otherwise the reason.
  std::string ExportPdf(const std::string& path) const;

  // The project's file name with its extension replaced (".doc" alone when unnamed).
  static std::string PresetName(const std::string& projectFile, const std::string& ext);

  static constexpr const char* kSaveTitle = "保存计算报告-输入报告名称";
  static constexpr const char* kSaveFilter = "Pelmora 报告文件（*.doc）|*.doc";
  static constexpr const char* kPdfTitle = "导出PDF报告";
  static constexpr const char* kPdfFilter = "PDF 文件（*.pdf）|*.pdf";
  static constexpr const char* kNoPrinter = "没有安装打印机，无法打印。请先在系统中添加打印机。";
  static constexpr const char* kJobName = "计算报表";
  static constexpr const char* kSheetJobName = "计算书";
  static constexpr const char* kSheetHeadless =
      "打印计算书需要图形界面；命令行请用 pelmora-calc --report-pdf FILE 导出计算书。";

 private:
  TFormPelmora& f_;
  const Curve& curve_;
  std::vector<SectionHook> hooks_;
};

}  // namespace pelmora

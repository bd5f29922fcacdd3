#include "report/Report.h"

#include <ctime>
#include <stdexcept>

#include "fields/DurableFile.h"
#include "fields/UiPort.h"
#include "report/ReportPdf.h"
#include "report/Rtf.h"

namespace pelmora {

namespace {
ReportPdfWriter pdfWriter = nullptr;
}  // namespace

void SetReportPdfWriter(ReportPdfWriter writer) { pdfWriter = writer; }
ReportPdfWriter GetReportPdfWriter() { return pdfWriter; }

Report::Report(TFormPelmora& form, const Curve& curve) : f_(form), curve_(curve) {
  // One command each, reached from the tool bar, the menu and the keys.
  auto bind = [this](const char* name, void (Report::*m)(Component*), const char* menu,
                     std::vector<std::string> keys = {}) {
    f_.BindCommand(
        name, [this, m](Component* s) { (this->*m)(s); }, {menu}, std::move(keys));
  };
  bind("SBRSimpleClick", &Report::SBRSimpleClick, "MRSimpleClick");
  bind("SBRSaveClick", &Report::SBRSaveClick, "MRSaveClick");
  bind("SBRPrintRepClick", &Report::SBRPrintRepClick, "MRPrintRepClick", {"Ctrl+P"});
  bind("SBRPdfClick", &Report::SBRPdfClick, "MRPdfClick");
  bind("SBRPrintCalcClick", &Report::SBRPrintCalcClick, "MRPrintCalcClick");
}

std::vector<RichParagraph> Report::Build() const {
  ReportBuilder b(f_);
  b.BuildAll();
  for (const auto& hook : hooks_) hook(b);
  return std::move(b.Paragraphs());
}

void Report::SBRSimpleClick(Component*) {
  f_.PageControl1->SetActivePage(f_.TabSheet5);
  auto paragraphs = Build();
  // Shown from its top: caret at the start, nothing selected.
  f_.RichEditReport->caretPosition = 0;
  f_.RichEditReport->SetParagraphs(std::move(paragraphs));
}

std::string Report::PresetName(const std::string& projectFile, const std::string& ext) {
  const size_t slash = projectFile.rfind('/');
  const size_t dot = projectFile.rfind('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) return projectFile.substr(0, dot) + ext;
  return projectFile + ext;
}

namespace {

FileDialogRequest SaveRequest(const char* title, const char* filter, const char* ext, std::string preset) {
  FileDialogRequest r;
  r.title = title;
  r.filter = filter;
  r.defaultExt = ext;
  r.initialDir = ".";
  r.fileName = std::move(preset);
  r.overwritePrompt = true;
  return r;
}

}  // namespace

void Report::SBRSaveClick(Component*) {
  auto file =
      f_.Port().SaveDialog(SaveRequest(kSaveTitle, kSaveFilter, "doc", PresetName(f_.CurrentProjectFile, ".doc")));
  if (!file) return;
  std::string reason = WriteFileDurably(*file, ToRtf(f_.RichEditReport->Paragraphs()));
  if (!reason.empty())
    f_.Port().MessageBox("无法保存报告“" + *file + "”：" + reason, "", MsgType::Error, Buttons::Ok, Answer::Ok);
}

void Report::SBRPrintRepClick(Component*) {
  if (print) {
    print();
    return;
  }
  f_.Port().MessageBox(kNoPrinter, "", MsgType::Error, Buttons::Ok, Answer::Ok);
}

namespace {
std::string Today() {
  char date[32] = "";
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (localtime_r(&now, &local)) std::strftime(date, sizeof date, "%Y-%m-%d", &local);
  return date;
}
}  // namespace

CalcSheet Report::Sheet() const {
  SheetSources sources;
  if (designChecks) sources.checks = designChecks();
  if (methodChecks) sources.methodChecks = methodChecks();
  if (recommendedMargin) sources.recommendedMargin = recommendedMargin();
  sources.curve = curve_.data.Intervals() > 0;
  sources.date = Today();
  return BuildCalcSheet(f_, sources);
}

std::function<void(chart::Canvas&)> Report::ChartPainter() const {
  if (curve_.data.Intervals() <= 0) return {};
  return [this](chart::Canvas& c) { curve_.Draw(c); };
}

std::string Report::ExportPdf(const std::string& path) const {
  if (!pdfWriter) return "PDF 输出部件不可用，未生成 PDF 文档";
  std::string bytes;
  try {
    bytes = pdfWriter(Sheet(), ChartPainter(), SheetPageSize{});
  } catch (const std::runtime_error& e) {
    return std::string("PDF 文档生成失败：") + e.what();
  }
  if (bytes.empty()) return "PDF 文档生成失败";
  return WriteFileDurably(path, bytes);
}

void Report::SBRPdfClick(Component*) {
  auto file = f_.Port().SaveDialog(SaveRequest(
      kPdfTitle, kPdfFilter, "pdf",
      f_.CurrentProjectFile.empty() ? std::string("计算报告.pdf") : PresetName(f_.CurrentProjectFile, ".pdf")));
  if (!file) return;
  std::string reason = ExportPdf(*file);
  if (!reason.empty())
    f_.Port().MessageBox("无法导出PDF报告“" + *file + "”：" + reason, "", MsgType::Error, Buttons::Ok, Answer::Ok);
}

void Report::SBRPrintCalcClick(Component*) {
  if (printSheet) {
    printSheet();
    return;
  }
  f_.Port().MessageBox(kSheetHeadless, "", MsgType::Information, Buttons::Ok, Answer::Ok);
}

}  // namespace pelmora

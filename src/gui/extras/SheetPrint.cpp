#include "gui/extras/SheetPrint.h"

#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include "gui/QtCanvas.h"
#include "report/Report.h"
#include "report/SheetLayout.h"

namespace pelmora::gui {

int RenderSheet(QPrinter& printer, const CalcSheet& sheet, const std::function<void(chart::Canvas&)>& chart) {
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setPageOrientation(QPageLayout::Portrait);
  printer.setDocName(QString::fromUtf8(Report::kSheetJobName));
  // Coordinates from the paper's edge: the sheet keeps its own margins.
  printer.setFullPage(true);
  QPainter painter;
  if (!painter.begin(&printer)) return 0;
  const SheetPageSize page;
  // One unit a point, whatever the printer's resolution.
  const double scale = printer.resolution() / 72.0;
  painter.scale(scale, scale);
  QtCanvas canvas(painter, page.width, page.height);
  const SheetLayout layout(sheet, canvas, page);
  for (int i = 0; i < layout.PageCount(); ++i) {
    if (i > 0) printer.newPage();
    painter.save();
    layout.DrawPage(i, canvas, chart);
    painter.restore();
  }
  painter.end();
  return layout.PageCount();
}

void ShowPrintPreview(QWidget* parent, QPrinter& printer, const QString& job,
                      const std::function<int(QPrinter&)>& render) {
  const bool noPrinter = QPrinterInfo::availablePrinters().isEmpty();
  if (noPrinter) {
    // Nothing to print on: the preview still shows the document, and 打印 writes a PDF.
    printer.setOutputFormat(QPrinter::PdfFormat);
  }
  QPrintPreviewDialog preview(&printer, parent);
  preview.setObjectName("PrintPreview");
  const QString base = QString::fromUtf8("打印预览 - ") + job;
  preview.setWindowTitle(base);
  QObject::connect(
      &preview, &QPrintPreviewDialog::paintRequested, &preview, [&preview, &render, base, noPrinter](QPrinter* p) {
        const int pages = render(*p);
        preview.setWindowTitle(base + QString::fromUtf8("（共 %1 页）").arg(pages) +
                               (noPrinter ? QString::fromUtf8(" - 未安装打印机，打印将输出 PDF 文件") : QString()));
      });
  preview.exec();
}

void PrintSheet(QWidget* parent, TFormPelmora&, const CalcSheet& sheet,
                const std::function<void(chart::Canvas&)>& chart) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(QString::fromUtf8(Report::kSheetJobName));
  ShowPrintPreview(parent, printer, QString::fromUtf8(Report::kSheetJobName),
                   [&sheet, &chart](QPrinter& p) { return RenderSheet(p, sheet, chart); });
}

}  // namespace pelmora::gui

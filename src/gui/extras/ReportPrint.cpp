#include "gui/extras/ReportPrint.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextDocument>

#include "fields/UiPort.h"
#include "gui/Widgets.h"
#include "gui/extras/SheetPrint.h"
#include "report/Report.h"

namespace pelmora::gui {

QRect ReportPrintRect(const QPrinter& printer) {
  const int resX = printer.resolution(), resY = printer.resolution();
  const QRect paper = printer.paperRect(QPrinter::DevicePixel).toRect();
  const QRect page = printer.pageRect(QPrinter::DevicePixel).toRect();
  const int offX = page.left() - paper.left(), offY = page.top() - paper.top();
  const int left = qRound(1.0 * resX) - offX;
  const int top = qRound(0.7 * resY) - offY;
  const int right = paper.width() - qRound(1.0 * resX) - offX;
  const int bottom = paper.height() - qRound(0.7 * resY) - offY;
  return QRect(QPoint(left, top), QSize(std::max(1, right - left), std::max(1, bottom - top)));
}

int RenderReport(QPrinter& printer, const std::vector<RichParagraph>& paragraphs) {
  printer.setPageOrientation(QPageLayout::Portrait);
  printer.setDocName(QString::fromUtf8(Report::kJobName));
  printer.setFullPage(false);
  // The printable area is the whole sheet less what the printer cannot reach.
  printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
  const QRect rect = ReportPrintRect(printer);
  QTextDocument doc;
  doc.documentLayout()->setPaintDevice(&printer);
  doc.setDocumentMargin(0);
  FillDocument(doc, paragraphs);
  doc.setPageSize(rect.size());
  QPainter painter;
  if (!painter.begin(&printer)) return 0;
  const int pages = std::max(1, doc.pageCount());
  for (int i = 0; i < pages; ++i) {
    if (i > 0) printer.newPage();
    painter.save();
    painter.translate(rect.left(), rect.top() - i * rect.height());
    // Blocks that touch the area to draw are drawn whole: the area stops short of the
    // next page's first line, which would otherwise print (clipped, yet as text) here.
    const QRectF slice(0, i * rect.height(), rect.width(), rect.height() - 1);
    painter.setClipRect(slice);
    doc.drawContents(&painter, slice);
    painter.restore();
  }
  painter.end();
  return pages;
}

void PrintReport(QWidget* parent, pelmora::TFormPelmora& form) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageOrientation(QPageLayout::Portrait);
  printer.setDocName(QString::fromUtf8(Report::kJobName));
  const auto paragraphs = form.RichEditReport->Paragraphs();
  ShowPrintPreview(parent, printer, QString::fromUtf8(Report::kJobName),
                   [&paragraphs](QPrinter& p) { return RenderReport(p, paragraphs); });
}

}  // namespace pelmora::gui

#include "gui/extras/ChartPrint.h"

#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace pelmora::gui {

void PrintChart(QWidget* parent, const std::string& job, const extras::ChartPainter& paint) {
  if (QPrinterInfo::availablePrinters().isEmpty()) {
    QMessageBox::warning(parent, QString::fromUtf8("打印图表"), QString::fromUtf8(kNoPrinterForChart));
    return;
  }
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageOrientation(QPageLayout::Landscape);
  printer.setDocName(QString::fromStdString(job));
  QPrintDialog dialog(&printer, parent);
  dialog.setWindowTitle(QString::fromUtf8("打印") + QString::fromStdString(job));
  if (dialog.exec() != QDialog::Accepted) return;
  QPainter painter;
  if (!painter.begin(&printer)) return;
  paint(painter, QRect(QPoint(0, 0), printer.pageRect(QPrinter::DevicePixel).size().toSize()));
  painter.end();
}

}  // namespace pelmora::gui

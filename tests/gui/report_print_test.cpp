// The report on paper and on the report page: the print rectangle read back from a PDF
// printer at two resolutions, pagination that loses no line, the caret and the
// collapsed selection of the report area, the PDF button of the page; the calculation
// sheet on a printer, and the print previews of both with no printer installed.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <cstdio>
#include <regex>

#include "../report/ReportTestUtil.h"
#include "WindowFixtures.h"
#include "app/PelmoraApp.h"
#include "gui/MainWindow.h"
#include "gui/extras/ReportPrint.h"
#include "gui/extras/SheetPrint.h"
#include "report/SheetText.h"

namespace pelmora {
namespace {

using testing::Capture;

std::vector<RichParagraph> Paragraphs(const std::vector<std::string>& lines) {
  std::vector<RichParagraph> out;
  for (const auto& l : lines) {
    RichRun r;
    r.text = l;
    out.push_back({r});
  }
  return out;
}

TEST(ReportPrint, TextStartsOneInchFromTheLeftAndSevenTenthsFromTheTopAtAnyResolution) {
  if (std::system("command -v pdftotext >/dev/null 2>&1") != 0) GTEST_SKIP() << "pdftotext is not installed";
  QTemporaryDir dir;
  std::vector<std::string> lines = {"TOPLEFT 1.0000"};
  for (int i = 0; i < 150; ++i)
    lines.push_back("        ROW" + std::to_string(i) + "    " + std::to_string(i) + ".0000");
  for (int dpi : {300, 1200}) {
    SCOPED_TRACE(dpi);
    const QString file = dir.filePath(QString("p%1.pdf").arg(dpi));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    printer.setResolution(dpi);
    printer.setPageSize(QPageSize(QPageSize::A4));
    gui::RenderReport(printer, Paragraphs(lines));
    const std::string bbox = Capture("pdftotext -bbox '" + file.toStdString() + "' -");
    std::smatch m;
    ASSERT_TRUE(std::regex_search(bbox, m, std::regex("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>TOPLEFT<")))
        << bbox.substr(0, 2000);
    EXPECT_NEAR(std::stod(m[1]), 72.0, 1.0);
    EXPECT_NEAR(std::stod(m[2]), 50.4, 2.5);
    // Nothing is printed into the margins, and no row is lost between pages.
    static const std::regex word("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"[0-9.]+\" yMax=\"([0-9.]+)\">");
    for (std::sregex_iterator it(bbox.begin(), bbox.end(), word), end; it != end; ++it) {
      EXPECT_GE(std::stod((*it)[1]), 71.0);
      EXPECT_GE(std::stod((*it)[2]), 49.0);
      EXPECT_LE(std::stod((*it)[3]), 841.89 - 50.4 + 1.0);
    }
    const std::string text = Capture("pdftotext -layout '" + file.toStdString() + "' -");
    for (int i = 0; i < 150; ++i) EXPECT_NE(text.find("ROW" + std::to_string(i) + " "), std::string::npos) << i;
    const std::string info = Capture("pdfinfo '" + file.toStdString() + "'");
    ASSERT_TRUE(std::regex_search(info, m, std::regex("Pages: +([0-9]+)")));
    EXPECT_GE(std::stoi(m[1]), 3);  // 151 lines do not fit on two pages
  }
}

TEST(ReportPrint, ReportPageShowsTheTopWithoutSelectionAndHasThePdfButton) {
  ScriptedPort port;
  PelmoraApp app{&port, PELMORA_PROGRAM_DIR "/"};
  gui::MainWindow win{app, nullptr};
  guitest::ShowActive(&win);
  auto* tabs = win.findChild<QTabWidget*>("PageControl1");
  ASSERT_NE(tabs, nullptr);
  tabs->setCurrentIndex(4);  // the user's switch builds the report
  QApplication::processEvents();
  auto* edit = win.findChild<QTextEdit*>("RichEditReport");
  ASSERT_NE(edit, nullptr);
  EXPECT_TRUE(edit->toPlainText().contains(QString::fromUtf8("容器—佩莫拉计算报告")));
  EXPECT_EQ(edit->textCursor().position(), 0);
  // Shift+arrows would select: the selection collapses at once, the caret stays usable.
  edit->setFocus();
  QTest::keyClick(edit, Qt::Key_Down);
  QTest::keyClick(edit, Qt::Key_Right, Qt::ShiftModifier);
  QTest::keyClick(edit, Qt::Key_Right, Qt::ShiftModifier);
  EXPECT_FALSE(edit->textCursor().hasSelection());
  // Typed text goes into the core; back on the page, the report is built again.
  QTest::keyClicks(edit, "XYZ");
  EXPECT_NE(app.form.RichEditReport->Text().find("XYZ"), std::string::npos);
  tabs->setCurrentIndex(1);
  tabs->setCurrentIndex(4);
  QApplication::processEvents();
  EXPECT_FALSE(edit->toPlainText().contains("XYZ"));
  EXPECT_EQ(edit->textCursor().position(), 0);
  auto* pdf = win.findChild<QToolButton*>("SBRPdf");
  ASSERT_NE(pdf, nullptr);
  EXPECT_TRUE(pdf->isVisible());
}

// The sheet drawn by Qt on a printer holds what the PDF export holds: every value the
// window shows, inside the margins, in fonts whose text can be copied out.
TEST(SheetPrint, PrintedSheetHoldsTheValuesInsideTheMargins) {
  if (std::system("command -v pdftotext >/dev/null 2>&1") != 0) GTEST_SKIP() << "pdftotext is not installed";
  ScriptedPort port;
  PelmoraApp app{&port, PELMORA_PROGRAM_DIR "/"};
  app.Run([&app] { app.project.OpenAtStartup(PELMORA_PROGRAM_DIR "/examples/agitated-tank.pmf"); });
  app.Run([&app] { app.calc.MaoDExit(nullptr); });
  QTemporaryDir dir;
  const QString file = dir.filePath("sheet.pdf");
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(file);
  const int pages = gui::RenderSheet(printer, app.report.Sheet(), app.report.ChartPainter());
  EXPECT_GE(pages, 3);
  std::string text;
  for (const auto& w : testing::Words(Capture("pdftotext -raw '" + file.toStdString() + "' -"))) text += w;
  for (const EditD* e : app.form.ValueFields()) {
    auto v = SheetValueOf(app.form, *e);
    if (!v) continue;
    std::string want;
    for (const auto& w : testing::Words(v->caption + v->value + v->unit)) want += w;
    EXPECT_NE(text.find(want), std::string::npos) << e->Name() << ": " << want;
  }
  EXPECT_NE(text.find("第1页共" + std::to_string(pages) + "页"), std::string::npos);
  const std::string bbox = Capture("pdftotext -bbox '" + file.toStdString() + "' -");
  static const std::regex word("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">");
  for (std::sregex_iterator it(bbox.begin(), bbox.end(), word), end; it != end; ++it) {
    EXPECT_GE(std::stod((*it)[1]), 72 - 0.5);
    EXPECT_GE(std::stod((*it)[2]), 50.4 - 0.5);
    EXPECT_LE(std::stod((*it)[3]), 595.28 - 72 + 0.5);
    EXPECT_LE(std::stod((*it)[4]), 841.89 - 50.4 + 0.5);
  }
}

// What a preview showed: its title and the pages of its document.
struct PreviewSeen {
  QString title;
  int pages = -1;
};

// Clicks a control and, once the preview it opens is up, notes it and closes it.
PreviewSeen ClickForPreview(QWidget* control, const QString& shot) {
  PreviewSeen seen;
  auto* timer = new QTimer;
  timer->setInterval(50);
  int waited = 0;
  QObject::connect(timer, &QTimer::timeout, timer, [&seen, timer, &waited, shot] {
    if (++waited > 200) {  // ten seconds: give up rather than hang
      timer->stop();
      return;
    }
    auto* dialog = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    auto* widget = dialog->findChild<QPrintPreviewWidget*>();
    if (!widget || widget->pageCount() == 0) return;
    seen.title = dialog->windowTitle();
    seen.pages = widget->pageCount();
    // For a person to look at (e.g. under xvfb-run): PELMORA_SHOTS=DIR.
    if (const char* dir = std::getenv("PELMORA_SHOTS")) {
      dialog->resize(1000, 760);
      widget->fitInView();
      QApplication::processEvents();
      dialog->grab().save(QString("%1/%2.png").arg(dir, shot));
    }
    timer->stop();
    dialog->reject();
  });
  timer->start();
  QTest::mouseClick(control, Qt::LeftButton);
  timer->stop();
  delete timer;
  return seen;
}

TEST(SheetPrint, BothPrintCommandsPreviewWithoutAPrinter) {
  if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "a printer is installed here";
  ScriptedPort port;
  PelmoraApp app{&port, PELMORA_PROGRAM_DIR "/"};
  gui::MainWindow win{app, nullptr};
  guitest::ShowActive(&win);
  app.Run([&app] { app.project.OpenAtStartup(PELMORA_PROGRAM_DIR "/examples/storage-tank-hot-water.pmf"); });
  app.Run([&app] { app.calc.MaoDExit(nullptr); });
  auto* tabs = win.findChild<QTabWidget*>("PageControl1");
  tabs->setCurrentIndex(4);  // builds the report
  QApplication::processEvents();

  QWidget* sheet = win.WidgetOf("SBRPrintCalc");
  ASSERT_NE(sheet, nullptr);
  EXPECT_EQ(sheet->toolTip(), QString::fromUtf8("打印计算书"));
  const PreviewSeen s = ClickForPreview(sheet, "print-preview-sheet");
  EXPECT_GE(s.pages, 3);
  EXPECT_TRUE(s.title.startsWith(QString::fromUtf8("打印预览 - 计算书（共 %1 页）").arg(s.pages)))
      << s.title.toStdString();
  EXPECT_TRUE(s.title.contains(QString::fromUtf8("未安装打印机"))) << s.title.toStdString();

  const PreviewSeen r = ClickForPreview(win.WidgetOf("SBRPrintRep"), "print-preview-report");
  EXPECT_GE(r.pages, 2);
  EXPECT_TRUE(r.title.startsWith(QString::fromUtf8("打印预览 - 计算报表（共 %1 页）").arg(r.pages)))
      << r.title.toStdString();
  EXPECT_TRUE(port.Messages().empty()) << port.Messages()[0];
}

}  // namespace
}  // namespace pelmora

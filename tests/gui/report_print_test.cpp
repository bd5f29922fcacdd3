// The report on paper and on the report page: the print rectangle read back from a PDF
// printer at two resolutions, pagination that loses no line, the caret and the
// collapsed selection of the report area, the PDF button of the page.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPrinter>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>
#include <cstdio>
#include <regex>

#include "../report/ReportTestUtil.h"
#include "WindowFixtures.h"
#include "app/PelmoraApp.h"
#include "gui/MainWindow.h"
#include "gui/extras/ReportPrint.h"

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

}  // namespace
}  // namespace pelmora

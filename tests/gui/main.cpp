// The GUI tests need a QApplication before any widget exists.
#include <gtest/gtest.h>

#include <QApplication>

#include "gui/Extras.h"
#include "gui/Icons.h"
#include "gui/Startup.h"
#include "gui/Widgets.h"

int main(int argc, char** argv) {
  // Listing the cases (CTest's discovery at build time) needs no display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setApplicationName("佩莫拉");
  pelmora::gui::InstallTranslations();
  if (QStyle* style = pelmora::gui::MakeWindowStyle()) QApplication::setStyle(style);
  pelmora::gui::InstallFonts();
  // The manual viewer, printing and the PDF report linked in, not loaded as the module.
  pelmora::gui::extras::UseLinked(pelmora::gui::extras::LinkedParts());
  pelmora::SetReportPdfWriter(&pelmora::gui::extras::ReportPdfBytes);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

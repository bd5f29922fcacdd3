// The property dialog's maintenance lock as a user meets it: the password box has a
// label, an empty or wrong password gets a message (the page stays locked), the
// navigator's refresh button shows its whole caption.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <functional>

#include "WindowFixtures.h"
#include "gui/SimpPLDialog.h"

namespace pelmora {
namespace {

using guitest::WhenSimpOpens;

struct SimpLock : guitest::OwnFolderWindow {
  void SetUp() override { Open("PropLib.cds"); }
};

// Clicks `button` and returns the text of the message box it raises (closed with OK),
// or an empty text when none comes.
QString MessageAfterClick(QWidget* button) {
  QString text;
  QTimer::singleShot(0, [&text] {
    QMessageBox* box = nullptr;
    for (int i = 0; i < 200 && !box; ++i) {
      box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) QTest::qWait(10);
    }
    if (!box) return;
    text = box->text();
    box->accept();
  });
  QTest::mouseClick(button, Qt::LeftButton);
  QApplication::processEvents();
  return text;
}

TEST_F(SimpLock, AnEmptyOrWrongPasswordIsAnsweredAndTheBoxHasALabel) {
  bool ran = false;
  WhenSimpOpens([&](gui::SimpPLDialog* d) {
    ran = true;
    // The label beside the password box names it and leads to it (Alt+ key of a buddy).
    auto* label = d->findChild<QLabel*>("MaskEdit1Label");
    ASSERT_TRUE(label);
    EXPECT_EQ(label->text(), "口令：");
    EXPECT_EQ(label->buddy(), d->Password());
    EXPECT_TRUE(label->isVisible());
    EXPECT_LT(label->mapTo(d, QPoint(0, 0)).x(), d->Password()->mapTo(d, QPoint(0, 0)).x());

    // The refresh button of the navigator shows its whole caption.
    auto* refresh = qobject_cast<QPushButton*>(d->WidgetOf("DBNavigator1.Refresh"));
    ASSERT_TRUE(refresh);
    EXPECT_EQ(refresh->text(), "刷新");
    EXPECT_GE(refresh->width(), refresh->fontMetrics().horizontalAdvance("刷新") + 6);

    QWidget* unlock = d->WidgetOf("BitBtn1");
    EXPECT_EQ(MessageAfterClick(unlock).toStdString(), TFormSimpPL::kPasswordEmpty);
    EXPECT_FALSE(d->Pages()->isTabVisible(1));
    QTest::keyClicks(d->Password(), "velmas");
    EXPECT_EQ(MessageAfterClick(unlock).toStdString(), TFormSimpPL::kPasswordWrong);
    EXPECT_FALSE(d->Pages()->isTabVisible(1));
    if (const char* dir = std::getenv("PELMORA_SHOTS")) d->grab().save(QString(dir) + "/simp-locked.png");
    // The right one opens the page without a word.
    QTest::keyClick(d->Password(), Qt::Key_T);
    EXPECT_TRUE(MessageAfterClick(unlock).isEmpty());
    EXPECT_TRUE(d->Pages()->isTabVisible(1));
    QTest::mouseClick(d->WidgetOf("BBClose"), Qt::LeftButton);
  });
  ClickMain("SBP2");
  EXPECT_TRUE(ran);
}

}  // namespace
}  // namespace pelmora

// Moving about the manual viewer as a reader does: the topic shown is highlighted in the
// bookmarks tree, a bookmark clicked can be gone back from (button and Alt+Left), the
// zoom keys change the scale, search results read as plain text, Esc closes the viewer.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPdfBookmarkModel>
#include <QPdfSearchModel>
#include <QPdfView>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <cstdlib>

#include "WindowFixtures.h"
#include "gui/extras/HelpViewer.h"

namespace pelmora {
namespace {

struct HelpNavigation : ::testing::Test {
  gui::QtPort port;
  PelmoraApp app{&port, PELMORA_PROGRAM_DIR "/"};
  TFormPelmora& f = app.form;
  gui::MainWindow win{app, &port};

  // A complete project: leaving a field runs the calculation, and a run that stops would
  // keep the focus in the field left.
  void SetUp() override {
    ASSERT_TRUE(
        app.Run([this] { app.project.OpenAtStartup(PELMORA_PROGRAM_DIR "/examples/storage-tank-hot-water.pmf"); }));
    guitest::ShowActive(&win);
  }
  gui::HelpViewer* Viewer() { return static_cast<gui::HelpViewer*>(port.Viewer()); }
  // F1 in a field of the page 计算; the viewer comes up with its tree filled.
  gui::HelpViewer* HelpOn(const char* field) {
    QWidget* w = win.WidgetOf(field);
    guitest::ShowActive(&win);        // back from the viewer, if it is up
    win.Pages()->setCurrentIndex(1);  // the page 计算, where the fields are
    QApplication::processEvents();
    QTest::mouseClick(w, Qt::LeftButton);  // into the field, as a person would
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), w) << field;
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
    gui::HelpViewer* v = Viewer();
    if (v) {
      EXPECT_TRUE(QTest::qWaitFor([v] { return v->Tree()->model()->rowCount() > 5; }, 5000));
    }
    return v;
  }
};

TEST_F(HelpNavigation, TheTopicIsHighlightedAndABookmarkCanBeGoneBackFrom) {
  gui::HelpViewer* v = HelpOn("TaoD");
  ASSERT_TRUE(v);
  const int heatingTime = v->CurrentPage();
  EXPECT_TRUE(QTest::qWaitFor([v] { return v->CurrentTopic().trimmed() == "加热时间"; }, 5000))
      << v->CurrentTopic().toStdString();
  EXPECT_FALSE(v->BackButton()->isEnabled());

  // A click on the first chapter in the tree: the view jumps, the tree follows.
  QTreeView* tree = v->Tree();
  QModelIndex chapter;
  for (int r = 0; r < tree->model()->rowCount() && !chapter.isValid(); ++r) {
    QModelIndex i = tree->model()->index(r, 0);
    if (i.data().toString().trimmed() == "第一章 系统安装") chapter = i;
  }
  ASSERT_TRUE(chapter.isValid());
  tree->scrollTo(chapter);
  QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(chapter).center());
  const int first = v->CurrentPage();
  EXPECT_NE(first, heatingTime);
  EXPECT_EQ(v->CurrentTopic().trimmed(), "第一章 系统安装");
  ASSERT_TRUE(v->BackButton()->isEnabled());

  // Back, by the button: where F1 had put it.
  QTest::mouseClick(v->BackButton(), Qt::LeftButton);
  QApplication::processEvents();
  EXPECT_EQ(v->CurrentPage(), heatingTime);
  EXPECT_FALSE(v->BackButton()->isEnabled());

  // The same by keys: a bookmark activated with Enter, back with Alt+Left.
  tree->setFocus();
  tree->setCurrentIndex(chapter);
  QTest::keyClick(tree, Qt::Key_Return);
  EXPECT_EQ(v->CurrentPage(), first);
  QTest::keyClick(tree, Qt::Key_Left, Qt::AltModifier);
  QApplication::processEvents();
  EXPECT_EQ(v->CurrentPage(), heatingTime);
}

TEST_F(HelpNavigation, ZoomKeysChangeTheScaleAndEachRequestOpensAt100Percent) {
  gui::HelpViewer* v = HelpOn("TaoD");
  ASSERT_TRUE(v);
  EXPECT_DOUBLE_EQ(v->Zoom(), 1.0);
  QTest::keyClick(v->View(), Qt::Key_Plus, Qt::ControlModifier);
  EXPECT_DOUBLE_EQ(v->Zoom(), 1.25);
  QTest::keyClick(v->View(), Qt::Key_Plus, Qt::ControlModifier);
  EXPECT_DOUBLE_EQ(v->Zoom(), 1.5);
  QTest::keyClick(v->View(), Qt::Key_Minus, Qt::ControlModifier);
  EXPECT_DOUBLE_EQ(v->Zoom(), 1.25);
  QTest::keyClick(v->View(), Qt::Key_0, Qt::ControlModifier);
  EXPECT_DOUBLE_EQ(v->Zoom(), 1.0);
  // Bounded at both ends.
  for (int i = 0; i < 20; ++i) v->ZoomStep(1);
  EXPECT_DOUBLE_EQ(v->Zoom(), 3.0);
  for (int i = 0; i < 20; ++i) v->ZoomStep(-1);
  EXPECT_DOUBLE_EQ(v->Zoom(), 0.5);
  // A help request shows its page at 100 % again, on the page of its topic.
  HelpOn("RoD");
  EXPECT_DOUBLE_EQ(v->Zoom(), 1.0);
  EXPECT_EQ(app.help.lastShown.title.find("管外污垢"), 0u) << app.help.lastShown.title;
}

TEST_F(HelpNavigation, SearchResultsReadAsPlainTextAndEscCloses) {
  gui::HelpViewer* v = HelpOn("RoD");
  ASSERT_TRUE(v);
  // Chinese is typed through an input method: each character arrives as key text.
  for (QChar c : QString("污垢")) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(v->SearchField(), &press);
  }
  ASSERT_EQ(v->SearchField()->text(), "污垢");
  ASSERT_TRUE(QTest::qWaitFor([v] { return v->Results()->model()->rowCount() > 0; }, 10000));
  QTest::qWait(500);  // the search goes on through the pages
  QAbstractItemModel* results = v->Results()->model();
  for (int r = 0; r < results->rowCount() && r < 20; ++r) {
    const QString text = results->index(r, 0).data().toString();
    EXPECT_TRUE(text.startsWith("第 ")) << text.toStdString();
    EXPECT_TRUE(text.contains("污垢")) << text.toStdString();
    EXPECT_FALSE(text.contains("<b>") || text.contains("</b>")) << text.toStdString();
    for (QChar c : text)
      EXPECT_FALSE(c == u'\n' || c == QChar(0x23CE) || c == QChar(0x2028) || c == QChar(0x2029)) << text.toStdString();
    EXPECT_LT(text.size(), 80) << text.toStdString();
  }
  // The results as the reader sees them, on the page 查找.
  auto* tabs = v->findChild<QTabWidget*>();
  ASSERT_TRUE(tabs);
  QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(1).center());
  EXPECT_TRUE(v->Results()->isVisible());
  if (const char* dir = std::getenv("PELMORA_SHOTS")) v->grab().save(QString("%1/help-search.png").arg(dir));
  // Enter in the search field goes to the first hit; it can be gone back from.
  QTest::keyClick(v->SearchField(), Qt::Key_Return);
  EXPECT_TRUE(v->BackButton()->isEnabled());

  // Esc closes the viewer, also from the search field.
  ASSERT_TRUE(v->isVisible());
  QTest::keyClick(v->SearchField(), Qt::Key_Escape);
  EXPECT_FALSE(v->isVisible());
  // The next F1 brings it back.
  HelpOn("TaoD");
  EXPECT_TRUE(v->isVisible());
}

// The text of a result: the page's line breaks are no marks in a one-line list; between
// two Chinese characters a break is no space, between Latin words it is one.
TEST(HelpSearchText, LineBreaksAndMarkupBecomePlainText) {
  using gui::HelpViewer;
  EXPECT_EQ(HelpViewer::PlainResultText(4, "管内", "污垢", "热阻\n按 TEMA"), "第 5 页  管内污垢热阻按 TEMA");
  EXPECT_EQ(HelpViewer::PlainResultText(0, "fouling\nfactor ", "Colebrook", QString(QChar(0x2029)) + "equation"),
            "第 1 页  fouling factor Colebrook equation");
  EXPECT_EQ(HelpViewer::PlainResultText(9, "\t  ", "x", "\r\n\r\n y  "), "第 10 页  x y");
  // QtPdf's own mark of a line break, and a long context cut to a few words either side.
  EXPECT_EQ(HelpViewer::PlainResultText(3, QString("质量流量 28") + QChar(0x23CE) + "管内", "污垢",
                                        QString(" 29") + QChar(0x23CE) + "蒸汽流速"),
            "第 4 页  质量流量 28 管内污垢 29 蒸汽流速");
  const QString longBefore(100, u'甲'), longAfter(100, u'乙');
  EXPECT_EQ(HelpViewer::PlainResultText(0, longBefore, "污垢", longAfter),
            "第 1 页  …" + QString(16, u'甲') + "污垢" + QString(40, u'乙') + "…");
}

}  // namespace
}  // namespace pelmora

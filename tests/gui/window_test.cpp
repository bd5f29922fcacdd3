// The calculation window as an engineer meets it: real widgets on the offscreen
// platform, keys typed into fields, Enter and the arrows between them, the mode radio
// buttons, the tool bar, the menu, the status bar and the report page's paint box.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFontInfo>
#include <QMenuBar>
#include <QProcess>
#include <QProgressBar>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <cmath>
#include <fstream>
#include <memory>
#include <set>

#include "WindowFixtures.h"
#include "app/PelmoraApp.h"
#include "fields/NumberFormat.h"
#include "fields/Progress.h"
#include "gui/MainWindow.h"
#include "gui/MyStatusBar.h"
#include "gui/QtPort.h"
#include "gui/SingleInstance.h"
#include "gui/Splash.h"
#include "gui/Startup.h"
#include "gui/Widgets.h"

namespace pelmora {
namespace {

using gui::ValueEdit;

// The reference storage-tank design of data/cases, as option/value pairs.
std::vector<std::pair<std::string, std::string>> CaseSets(const std::string& name) {
  std::ifstream in(std::string(PELMORA_SOURCE_DIR) + "/data/cases/" + name + ".args");
  std::vector<std::pair<std::string, std::string>> sets;
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("--set ", 0) != 0) continue;
    std::string v = line.substr(6);
    size_t eq = v.find('=');
    sets.emplace_back(v.substr(0, eq), v.substr(eq + 1));
  }
  return sets;
}

bool OnPage(const Component* c, const Component* page) {
  for (; c; c = c->Parent())
    if (c == page) return true;
  return false;
}

struct Window : guitest::ShownWindow {
  ValueEdit* E(const std::string& name) { return qobject_cast<ValueEdit*>(win.WidgetOf(name)); }

  // A click into the field (the field left before runs its exit).
  void ClickInto(QWidget* w) {
    w->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
  }
  void Enter() { QTest::keyClick(Focus(), Qt::Key_Return); }
  // Click into a field, replace its text by typing, press Enter.
  void TypeEnter(const std::string& name, const std::string& text) {
    ValueEdit* e = E(name);
    ASSERT_TRUE(e) << name;
    ClickInto(e);
    ASSERT_EQ(Focus(), e) << name << " focus on " << (Focus() ? Focus()->objectName().toStdString() : "none")
                          << ", messages: " << ::testing::PrintToString(port.Messages());
    e->selectAll();
    QTest::keyClicks(e, QString::fromStdString(text));
    Enter();
  }
  // The reference storage tank, field by field with Enter; the vessel dimensions on
  // the page "容器定义".
  void TypeStorageTank() { TypeCase("storage_tank"); }
  void TypeCase(const std::string& caseName) {
    for (const auto& [name, text] : CaseSets(caseName)) {
      Component* c = f.Find(name);
      ASSERT_TRUE(c) << name;
      const bool vesselPage = OnPage(c, f.TabSheet4);
      win.Pages()->setCurrentIndex(vesselPage ? 3 : 1);
      if (!E(name)->isEnabled()) {  // e.g. the height of a spherical vessel
        skipped.insert(name);
        continue;
      }
      TypeEnter(name, text);
    }
    win.Pages()->setCurrentIndex(1);
    ClickInto(E("MaoD"));
    Enter();
  }
  std::set<std::string> skipped;
  QColor Base(const std::string& name) { return E(name)->palette().color(QPalette::Base); }
};

TEST_F(Window, OpensOnTheCalculationPageWithEveryGroupAndTheMustInputCue) {
  EXPECT_EQ(win.windowTitle(), QString("佩莫拉(Pelmora)V2016.12.05.25"));
  ASSERT_EQ(win.Pages()->count(), 5);
  const char* captions[] = {"项目信息", "计算", "管道系列", "容器定义", "计算报告"};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(win.Pages()->tabText(i), QString(captions[i]));
  EXPECT_EQ(win.Pages()->currentIndex(), 1);

  const std::pair<const char*, const char*> groups[] = {{"GBBasic", "基本参数"},
                                                        {"GBPrimary", "简明计算结果"},
                                                        {"GBOutSpace", "容器"},
                                                        {"GBOutPara", "容器参数及计算结果"},
                                                        {"GBOutProp", "容器物性及热量平衡"},
                                                        {"GBTube", "传热管"},
                                                        {"GBTubeProp", "管程物性及热量平衡"},
                                                        {"GBTubePara", "管程参数及计算结果"}};
  for (const auto& [name, caption] : groups) {
    auto* g = qobject_cast<QGroupBox*>(W(name));
    ASSERT_TRUE(g) << name;
    EXPECT_TRUE(g->isVisible()) << name;
    EXPECT_EQ(g->title(), QString(caption));
  }

  int cues = 0;
  for (EditD* e : f.ValueFields()) {
    if (!OnPage(e, f.TabSheet2)) continue;
    ValueEdit* v = E(e->Name());
    ASSERT_TRUE(v) << e->Name();
    EXPECT_TRUE(v->isVisible()) << e->Name();
    QString shown;
    bool grey = false;
    bool overlay = v->OverlayShown(&shown, &grey);
    if (!e->MyResolved() && e->Text().empty()) {
      ++cues;
      EXPECT_TRUE(overlay) << e->Name();
      EXPECT_EQ(shown, QString("[Must input]")) << e->Name();
      EXPECT_EQ(grey, !e->Enabled()) << e->Name();
      EXPECT_FALSE(v->hasFrame()) << e->Name();  // flat
      EXPECT_EQ(v->palette().color(QPalette::Active, QPalette::Text), QColor(0, 0, 255)) << e->Name();
    }
  }
  EXPECT_GT(cues, 30);
  EXPECT_EQ(E("SetErrD")->text(), QString("0.01"));
  EXPECT_FALSE(E("SetErrD")->OverlayShown());
  EXPECT_EQ(E("nD")->text(), QString("1"));
  // Start-up state of the bath temperature: greyed with its label and unit.
  for (const char* n : {"FixTempL", "FixTempD", "FixTempU", "WrL", "WrD", "WrU", "DHoD", "SBP1v"})
    EXPECT_FALSE(W(n)->isEnabled()) << n;
  // Results as designed: read-only on the button face.
  EXPECT_TRUE(E("AtD")->isReadOnly());
  EXPECT_EQ(Base("AtD"), QColor(240, 240, 240));
  EXPECT_TRUE(E("AtD")->hasFrame());
  // Fonts: value fields and units Times New Roman 10 px, captions 宋体 12 px, both real faces.
  QFontInfo value(E("TaoD")->font());
  EXPECT_EQ(value.family(), QString("Liberation Serif"));
  EXPECT_EQ(value.pixelSize(), 10);
  QFontInfo caption(W("TaoL")->font());
  EXPECT_EQ(caption.family(), QString("AR PL UMing CN"));
  EXPECT_EQ(caption.pixelSize(), 12);
  EXPECT_FALSE(W("RGLGDY")->isVisible());
}

TEST_F(Window, EverythingOnThePageCalculationIsReadableAt1024By768) {
  EXPECT_EQ(win.frameGeometry().size(), QSize(1024, 768));
  QWidget* page = W("TabSheet2");
  std::vector<QWidget*> leaves;
  for (QWidget* w : page->findChildren<QWidget*>()) {
    if (!w->isVisible() || !win.ComponentOf(w) || w->objectName().startsWith("qt_")) continue;
    if (qobject_cast<QGroupBox*>(w) || w->parentWidget() == nullptr) continue;
    if (qobject_cast<QRadioButton*>(w)) continue;  // inside their group box
    if (w->inherits("QProgressBar")) continue;
    leaves.push_back(w);
  }
  ASSERT_GT(leaves.size(), 200u);
  const QRect pageRect = page->rect();
  std::vector<QRect> rects;
  for (QWidget* w : leaves) {
    QRect r(w->mapTo(page, QPoint(0, 0)), w->size());
    EXPECT_TRUE(pageRect.contains(r)) << w->objectName().toStdString();
    if (auto* l = qobject_cast<QLabel*>(w)) {
      EXPECT_LE(l->sizeHint().width(), l->width() + 1) << "cut off: " << l->objectName().toStdString();
    }
    rects.push_back(r);
  }
  for (size_t i = 0; i < rects.size(); ++i)
    for (size_t j = i + 1; j < rects.size(); ++j)
      if (leaves[i]->objectName() != "MyStatusBar" && leaves[j]->objectName() != "MyStatusBar") {
        EXPECT_FALSE(rects[i].intersects(rects[j]))
            << leaves[i]->objectName().toStdString() << " overlaps " << leaves[j]->objectName().toStdString();
      }
}

TEST_F(Window, CaptionsOfEveryModeFitTheirPlace) {
  std::set<std::string> cut;
  for (int e = 0; e < 3; ++e)
    for (int fl = 0; fl < 3; ++fl)
      for (int pho = 0; pho < 3; ++pho)
        for (int phi = 0; phi < 3; ++phi) {
          app.Run([&] {
            f.RGEType->SetItemIndex(e);
            f.RGFType->SetItemIndex(fl);
            f.PhoD->UserSelect(pho);
            f.PhiD->UserSelect(phi);
          });
          QApplication::processEvents();
          for (auto* l : W("TabSheet2")->findChildren<QLabel*>())
            if (win.ComponentOf(l) && l->sizeHint().width() > l->width() + 1)
              cut.insert(l->objectName().toStdString() + " " + l->text().toStdString());
        }
  EXPECT_TRUE(cut.empty()) << ::testing::PrintToString(cut);
  EXPECT_EQ(win.frameGeometry().size(), QSize(1024, 768));
}

TEST_F(Window, EnterMovesOnAndLeavesTheFieldArrowsMoveWithoutConsumingTheKey) {
  std::vector<std::string> exits;
  f.SetHandler("MaoDExit", [&](Component* s) { exits.push_back(s->Name()); });

  ClickInto(E("TaoD"));
  QTest::keyClicks(Focus(), "3600");
  Enter();
  EXPECT_EQ(f.TaoD->Text(), "3600");
  EXPECT_EQ(Focus(), E("sfD"));  // the unit selector TaoU is no tab stop
  EXPECT_EQ(f.Focused(), f.sfD);
  EXPECT_EQ(exits, std::vector<std::string>{"TaoD"});
  EXPECT_TRUE(f.ProjectModified());
  EXPECT_TRUE(win.ActionOf(f.MFSave)->isEnabled());

  QTest::keyClick(Focus(), Qt::Key_Up);
  EXPECT_EQ(Focus(), E("TaoD"));
  EXPECT_EQ(f.Focused(), f.TaoD);
  QTest::keyClick(Focus(), Qt::Key_Down);
  EXPECT_EQ(Focus(), E("sfD"));
  EXPECT_EQ((std::vector<std::string>{"TaoD", "sfD", "TaoD"}), exits);

  // The disabled bath temperature is skipped; the radio group comes next.
  Enter();
  EXPECT_EQ(Focus(), E("SetErrD"));
  Enter();
  EXPECT_EQ(FocusedComponent(), f.RGEType);

  // From the page tabs Enter goes to the first field of the page shown.
  win.Pages()->tabBar()->setFocus(Qt::MouseFocusReason);
  QApplication::processEvents();
  Enter();
  EXPECT_EQ(Focus(), E("TaoD"));

  // A drop-down list is left by the arrow without changing its selection.
  ClickInto(W("PhoD"));
  QTest::keyClick(Focus(), Qt::Key_Down);
  EXPECT_EQ(f.PhoD->ItemIndex(), 0);
  EXPECT_EQ(FocusedComponent(), f.HToD);

  // A note keeps Enter and the arrows for itself.
  ClickInto(W("CmtoD"));
  QTest::keyClicks(Focus(), "A");
  Enter();
  QTest::keyClicks(Focus(), "B");
  QTest::keyClick(Focus(), Qt::Key_Up);
  EXPECT_EQ(FocusedComponent(), f.CmtoD);
  EXPECT_EQ(f.CmtoD->Lines().size(), 2u);
}

TEST_F(Window, ABadValueIsReportedAndTheFieldGetsTheFocusBack) {
  f.SetHandler("MaoDExit", [](Component* s) { static_cast<EditD*>(s)->GetValue(); });
  ClickInto(E("TaoD"));
  QTest::keyClicks(Focus(), "abc");
  Enter();
  ASSERT_FALSE(port.Messages().empty());
  EXPECT_EQ(port.Messages().back(), "加热时间是错误数据");
  EXPECT_EQ(Focus(), E("TaoD"));
  EXPECT_EQ(f.Focused(), f.TaoD);
  EXPECT_EQ(E("TaoD")->text(), QString(" "));
  EXPECT_EQ(E("TaoD")->selectedText(), QString(" "));
}

TEST_F(Window, TypingAStorageTankSolvesTheVesselHeatAndSizesTheCoil) {
  TypeStorageTank();
  // The vessel heat M cp (T2 - T1), solved by the vessel balance: yellow, read-only, no entry.
  EXPECT_NEAR(f.QoD->GetValue(), 20000 * 4180 * 40.0, 3.344e9 * 1e-6);
  EXPECT_EQ(Base("QoD"), QColor(255, 255, 0));
  EXPECT_TRUE(E("QoD")->isReadOnly());
  EXPECT_EQ(E("QoD")->cursor().shape(), Qt::ForbiddenCursor);
  for (const char* n : {"AtD", "ArD", "TTaD", "KTaD", "LtD", "LrD", "mD", "koD", "kiD", "UiD", "DpiD", "QLD", "WiD"}) {
    EXPECT_FALSE(E(n)->text().trimmed().isEmpty()) << n;
    EXPECT_EQ(E(n)->cursor().shape(), Qt::ForbiddenCursor) << n;
  }
  EXPECT_NEAR(f.TTaD->GetValue(), 40, 1e-6);
  EXPECT_NEAR(f.ArD->GetValue(), f.AtD->GetValue() * 1.2, 0.01 * f.ArD->GetValue());
  // The area is drawn in its display form over the full-precision text.
  QString shown;
  ASSERT_TRUE(E("AtD")->OverlayShown(&shown) || E("AtD")->text() == QString::fromStdString(f.AtD->FloatStr()));
  if (!shown.isEmpty()) {
    EXPECT_EQ(shown, QString::fromStdString(f.AtD->FloatStr()));
  }

  // The same design given to the core directly gives the same coil.
  ScriptedPort port2;
  PelmoraApp headless(&port2, PELMORA_PROGRAM_DIR "/");
  for (const auto& [name, text] : CaseSets("storage_tank"))
    if (!skipped.count(name)) headless.form.FindAs<Edit>(name)->SetText(text);
  headless.Run([&] { headless.form.MaoD->Exit(); });
  headless.Run([&] { headless.form.MaoD->Exit(); });
  for (const char* n : {"QoD", "AtD", "KTaD", "LrD", "mD"}) {
    auto g = ParseDecimal(f.FindAs<EditD>(n)->Text()), h = ParseDecimal(headless.form.FindAs<EditD>(n)->Text());
    ASSERT_TRUE(g && h) << n << ": " << f.FindAs<EditD>(n)->Text() << " / " << headless.form.FindAs<EditD>(n)->Text()
                        << ::testing::PrintToString(port2.Messages());
    EXPECT_NEAR(*g, *h, 1e-3 * std::fabs(*h)) << n;
  }
}

TEST_F(Window, BathGreysTheVesselMassAndTemperaturesAndFixesTheTime) {
  auto* group = qobject_cast<gui::RadioGroupView*>(W("RGEType"));
  ASSERT_TRUE(group);
  QTest::mouseClick(group->Button(1), Qt::LeftButton);
  EXPECT_EQ(f.RGEType->ItemIndex(), 1);
  for (const char* stem : {"Mao", "Tom1", "Tom2"})
    for (const char* suffix : {"L", "D", "U"})
      EXPECT_FALSE(W(std::string(stem) + suffix)->isEnabled()) << stem << suffix;
  for (const char* n : {"FixTempL", "FixTempD", "FixTempU"}) EXPECT_TRUE(W(n)->isEnabled()) << n;
  EXPECT_EQ(E("TaoD")->text(), QString("1"));
  EXPECT_TRUE(E("TaoD")->isReadOnly());
  EXPECT_FALSE(E("FixTempD")->OverlayShown() && false);
  QString shown;
  bool grey = true;
  ASSERT_TRUE(E("FixTempD")->OverlayShown(&shown, &grey));
  EXPECT_EQ(shown, QString("[Must input]"));
  EXPECT_FALSE(grey);
  QTest::mouseClick(group->Button(0), Qt::LeftButton);
  EXPECT_TRUE(W("MaoD")->isEnabled());
  EXPECT_FALSE(W("FixTempD")->isEnabled());
}

TEST_F(Window, AutomaticCalculationSwitchedOffKeepsTheResults) {
  TypeStorageTank();
  const std::string qo = f.QoD->Text(), at = f.AtD->Text();
  auto* button = qobject_cast<QToolButton*>(W("SBAutoRun"));
  ASSERT_TRUE(button);
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_TRUE(f.SBAutoRun->Down());
  EXPECT_TRUE(button->isChecked());
  EXPECT_EQ(button->toolTip(), QString("禁止自动计算"));
  TypeEnter("Tom2D", "80");
  EXPECT_EQ(f.QoD->Text(), qo);
  EXPECT_EQ(f.AtD->Text(), at);
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_FALSE(button->isChecked());
  EXPECT_EQ(button->toolTip(), QString("允许自动计算"));
  ClickInto(E("Tom2D"));
  Enter();
  EXPECT_NEAR(f.QoD->GetValue(), 20000 * 4180 * 60.0, 5.016e9 * 1e-6);
}

TEST_F(Window, MenuToolBarAndAbout) {
  QStringList titles;
  for (QAction* a : win.menuBar()->actions()) titles << a->text();
  EXPECT_EQ(titles, (QStringList{"&F 文件", "&B 编辑", "&C 计算", "&R 报表", "&A 关于", "&H 帮助", "&E 结束"}));
  QStringList file;
  for (QAction* a : win.MenuOf(f.MFile)->actions()) file << (a->isSeparator() ? "-" : a->text());
  EXPECT_EQ(file, (QStringList{"&N 新建", "&O 打开", "-", "&S 保存", "&A 另存为", "&T 存为模板", "-", "&E 退出"}));
  QStringList report;
  for (QAction* a : win.MenuOf(f.MReport)->actions()) report << (a->isSeparator() ? "-" : a->text());
  EXPECT_EQ(report,
            (QStringList{"&M 生成报表", "&S 保存报表 ", "-", "&P 打印报表", "&C 打印计算书", "&D 导出PDF报告"}));
  EXPECT_FALSE(win.ActionOf(f.MFSave)->isEnabled());

  QStringList hints;
  std::set<QByteArray> glyphs;
  for (auto* b : win.ToolBar()->findChildren<QToolButton*>()) {
    if (!win.ComponentOf(b)) continue;
    hints << b->toolTip();
    EXPECT_EQ(b->size(), QSize(32, 32));
    QImage img = b->icon().pixmap(24, 24).toImage();
    glyphs.insert(QByteArray(reinterpret_cast<const char*>(img.constBits()), img.sizeInBytes()));
  }
  EXPECT_EQ(hints, (QStringList{"新建", "打开", "保存", "另存为", "存为模板", "时间温度曲线", "生成报表", "保存报表",
                                "打印报表", "打印计算书", "自动计算", "清除光标处数据", "复制结果", "这是什么？"}));
  EXPECT_EQ(glyphs.size(), static_cast<size_t>(hints.size()));  // every glyph differs

  win.ActionOf(f.MAbout)->trigger();
  win.ActionOf(f.MHAbout)->trigger();
  ASSERT_EQ(port.events.size(), 2u);
  for (const auto& e : port.events) {
    EXPECT_EQ(e.caption, "欢迎使用");
    EXPECT_EQ(e.text, "佩莫拉(Pelmora) V2016.12.05.25 版");
    EXPECT_EQ(e.type, MsgType::Information);
  }
}

TEST_F(Window, ActivationPutsTheWindowBackAndTheStatusBarCarriesItsProgressBarWhileBusy) {
  win.move(100, 80);
  win.resize(700, 500);
  QEvent activate(QEvent::WindowActivate);
  QApplication::sendEvent(&win, &activate);
  EXPECT_EQ(win.frameGeometry().topLeft(), QPoint(0, 0));
  EXPECT_EQ(win.frameGeometry().size(), QSize(1024, 768));
  QApplication::processEvents();

  gui::TMyStatusBar* bar = win.StatusBarView();
  ASSERT_TRUE(bar);
  EXPECT_EQ(f.MyStatusBar->ProgressPosition(), 50);
  EXPECT_EQ(bar->ProgressBar()->value(), 50);
  // Idle, the panel shows its own text; the bar comes with a long action.
  EXPECT_FALSE(bar->ProgressBar()->isVisible());
  auto busy = std::make_unique<ProgressScope>(*f.MyStatusBar);
  busy->Step(3, 10);
  EXPECT_TRUE(bar->ProgressBar()->isVisible());
  EXPECT_EQ(bar->ProgressBar()->value(), 30);
  EXPECT_EQ(bar->PanelRect(1).left(), 200);
  EXPECT_EQ(bar->PanelRect(2).left(), 600);
  QRect p = bar->ProgressBar()->geometry(), r = bar->PanelRect(2);
  EXPECT_EQ(p.left(), r.left() - 1);
  EXPECT_EQ(p.top(), r.top() - 1);
  EXPECT_EQ(p.bottom(), r.bottom() + 1);
  EXPECT_EQ(p.right(), r.right() - 12);
  f.MyStatusBar->SetPIndex(5);  // outside the panels: nothing changes
  EXPECT_TRUE(bar->ProgressBar()->isVisible());
  busy.reset();  // the action ends
  EXPECT_FALSE(bar->ProgressBar()->isVisible());
}

TEST_F(Window, TheReportPagePaintsThroughTheCoreHandler) {
  std::vector<std::pair<Component*, bool>> paints;
  f.SetHandler("SBTCurveClick", [&](Component* s) {
    auto* box = dynamic_cast<PaintBox*>(s);
    paints.emplace_back(s, box && box->canvas != nullptr);
  });
  std::vector<std::string> switches;
  f.SetHandler("SBRSimpleClick", [&](Component*) { switches.push_back("report"); });
  QTabBar* tabs = win.Pages()->tabBar();
  QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(4).center());
  EXPECT_EQ(f.PageControl1->ActivePage(), f.TabSheet5);
  EXPECT_EQ(switches, std::vector<std::string>{"report"});
  QWidget* box = W("PaintBox1");
  ASSERT_TRUE(box->isVisible());
  box->repaint();
  ASSERT_FALSE(paints.empty());
  EXPECT_EQ(paints.back().first, f.PaintBox1);
  EXPECT_TRUE(paints.back().second);
  EXPECT_EQ(f.PaintBox1->canvas, nullptr);
  const size_t before = paints.size();
  f.PaintBox1->Invalidate();
  QApplication::processEvents();
  box->repaint();
  EXPECT_GT(paints.size(), before);
  // The core moves pages without the switch handler.
  f.PageControl1->SetActivePage(f.TabSheet2);
  EXPECT_EQ(win.Pages()->currentIndex(), 1);
  EXPECT_EQ(switches.size(), 1u);
}

TEST_F(Window, TheCurveButtonDrawsTheBatchCurveOnTheReportPage) {
  TypeCase("batch_curve");
  port.Clear();  // what typing the design in half-done said
  const std::string tao = f.TaoD->Text(), t1 = f.Tom1D->Text(), t2 = f.Tom2D->Text();
  QTest::mouseClick(qobject_cast<QToolButton*>(W("SBTCurve")), Qt::LeftButton);
  EXPECT_TRUE(port.Messages().empty()) << ::testing::PrintToString(port.Messages());
  EXPECT_EQ(win.Pages()->currentIndex(), 4);
  EXPECT_TRUE(W("RGLGDY")->isVisible());
  auto* box = qobject_cast<gui::PaintBoxView*>(W("PaintBox1"));
  const int before = box->paintCount;
  box->repaint();
  EXPECT_GT(box->paintCount, before);
  // The image holds the red and the blue series.
  QImage img = box->grab().toImage();
  int red = 0, blue = 0;
  for (int y = 0; y < img.height(); y += 2)
    for (int x = 0; x < img.width(); x += 2) {
      QColor c = img.pixelColor(x, y);
      red += c.red() > 200 && c.green() < 80 && c.blue() < 80;
      blue += c.blue() > 200 && c.red() < 80 && c.green() < 80;
    }
  EXPECT_GT(red, 20);
  EXPECT_GT(blue, 20);
  // The fields the stepping used hold their values again.
  EXPECT_EQ(f.TaoD->Text(), tao);
  EXPECT_EQ(f.Tom1D->Text(), t1);
  EXPECT_EQ(f.Tom2D->Text(), t2);
}

TEST_F(Window, AComputedInputStopsTheCurveWithOneMessageNotOneARepaint) {
  TypeStorageTank();  // the tube flow is solved by the balance
  port.Clear();
  QTest::mouseClick(qobject_cast<QToolButton*>(W("SBTCurve")), Qt::LeftButton);
  EXPECT_EQ(port.Messages(), std::vector<std::string>{"管程质量流量必须为自由（输入）变量！"});
  win.Pages()->setCurrentIndex(4);
  for (int i = 0; i < 3; ++i) W("PaintBox1")->repaint();
  EXPECT_EQ(port.Messages().size(), 1u);
  EXPECT_FALSE(W("RGLGDY")->isVisible());
}

// The window as the program starts it: the page shown first, the rest once painted.
TEST(StagedWindowTest, ThePagesNotShownAndTheMenuItemsFollowTheFirstPaint) {
  ScriptedPort port;
  PelmoraApp app{&port, PELMORA_PROGRAM_DIR "/"};
  TFormPelmora& f = app.form;
  {
    gui::MainWindow win{app, nullptr, nullptr, gui::MainWindow::Build::FirstPaint};
    int afterwards = 0;  // the work that waits for the window (the program reads the catalogue)
    win.whenComplete = [&afterwards] { ++afterwards; };
    EXPECT_FALSE(win.Complete());
    EXPECT_NE(win.WidgetOf("TaoD"), nullptr);  // the page 计算 is there to be painted
    EXPECT_NE(win.StatusBarView(), nullptr);
    EXPECT_EQ(win.WidgetOf("OBJNameD"), nullptr);
    EXPECT_EQ(win.ActionOf(f.MFSave), nullptr);
    ASSERT_NE(win.MenuOf(f.MFile), nullptr);  // the titles are in the menu bar
    win.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&win));
    QTRY_VERIFY(win.Complete());
    EXPECT_EQ(afterwards, 1);
    win.CompleteBuild();
    EXPECT_EQ(afterwards, 1);
    ASSERT_NE(win.WidgetOf("OBJNameD"), nullptr);
    EXPECT_NE(win.WidgetOf("VND"), nullptr);
    EXPECT_NE(win.WidgetOf("RichEditReport"), nullptr);
    ASSERT_NE(win.ActionOf(f.MFSave), nullptr);
    EXPECT_FALSE(win.ActionOf(f.MFSave)->isEnabled());
    EXPECT_EQ(win.MenuOf(f.MFile)->actions().size(), 8);
    // A unit list built when first opened shows its combo's font and items.
    auto* unit = qobject_cast<QComboBox*>(win.WidgetOf("TaoU"));
    ASSERT_NE(unit, nullptr);
    unit->showPopup();
    EXPECT_EQ(unit->view()->font().family(), unit->font().family());
    EXPECT_EQ(unit->view()->font().pixelSize(), unit->font().pixelSize());
    EXPECT_EQ(unit->view()->model()->rowCount(), unit->count());
    unit->hidePopup();
  }
  {
    // A page the core turns to before the window is complete is built as it is shown.
    gui::MainWindow win{app, nullptr, nullptr, gui::MainWindow::Build::FirstPaint};
    app.Run([&f] { f.PageControl1->SetActivePage(f.TabSheet4); });
    EXPECT_FALSE(win.Complete());
    EXPECT_EQ(win.Pages()->currentIndex(), 3);
    ASSERT_NE(win.WidgetOf("VND"), nullptr);
    EXPECT_TRUE(win.Pages()->currentWidget()->isAncestorOf(win.WidgetOf("VND")));
    // A key typed before the first paint finds every page there.
    win.show();
    QApplication::setActiveWindow(&win);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&win));
    win.WidgetOf("VND")->setFocus();
    QTest::keyClick(win.WidgetOf("VND"), Qt::Key_Down);
    EXPECT_TRUE(win.Complete());
    EXPECT_NE(win.WidgetOf("OBJNameD"), nullptr);
  }
}

TEST(SplashTest, AClickAnywhereClosesIt) {
  gui::TFormGG splash;
  EXPECT_EQ(splash.size(), QSize(462, 258));
  EXPECT_EQ(splash.VersionLine(), QString("Pelmora V2016.12.05.25"));
  QTimer::singleShot(100, &splash, [&] { QTest::mouseClick(&splash, Qt::LeftButton, {}, QPoint(400, 200)); });
  EXPECT_EQ(splash.exec(), QDialog::Accepted);
}

TEST(StartupTest, TheFirstArgumentNamesTheProjectAndTheSplashCanBeSkipped) {
  auto o = gui::ParseStartup({"a.pmf", "b.pmf"});
  EXPECT_TRUE(o.splash);
  EXPECT_EQ(o.projectFile, "a.pmf");
  o = gui::ParseStartup({"--no-splash"});
  EXPECT_FALSE(o.splash);
  EXPECT_FALSE(o.projectFile);
  EXPECT_EQ(gui::ToQtFilter("Pelmora 项目文件（*.pmf）|*.pmf|Pelmora 模板文件（*.pmt）|*.pmt"),
            QString("Pelmora 项目文件（*.pmf） (*.pmf);;Pelmora 模板文件（*.pmt） (*.pmt)"));
}

// A message raised while the chart paints is shown after the paint, once, however often
// the box's own repainting paints the chart again.
TEST(QtPortTest, APaintMessageIsShownOnceAfterThePaint) {
  gui::QtPort port;
  int boxes = 0;
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    if (QWidget* w = QApplication::activeModalWidget()) {
      ++boxes;
      w->close();
    }
  });
  closer.start(20);
  for (int paint = 0; paint < 3; ++paint) {
    const int shown = boxes;
    port.BeginPaint();
    port.ShowMessage("壳程质量必须为自由（输入）变量！");
    EXPECT_EQ(boxes, shown);  // never inside the paint
    port.EndPaint();
    QTest::qWait(150);
  }
  EXPECT_EQ(boxes, 1);
  port.ResetPaintMessages();  // a user action: the next paint may tell it again
  port.BeginPaint();
  port.ShowMessage("壳程质量必须为自由（输入）变量！");
  port.EndPaint();
  QTest::qWait(150);
  EXPECT_EQ(boxes, 2);
}

// The manual viewer, printing and the PDF report come from a module the program loads on
// first use; the real program finds and binds it, and says what is missing without it.
TEST(ExtrasModuleTest, TheProgramLoadsItsModuleAndNamesItWhenMissing) {
  QProcess program;
  program.start(PELMORA_PROGRAM_DIR "/pelmora", {"--check-extras"});
  ASSERT_TRUE(program.waitForFinished(30000));
  EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
  EXPECT_EQ(program.readAllStandardOutput().trimmed().toStdString(),
            "extras: " PELMORA_PROGRAM_DIR "/pelmora-extras.so");

  QTemporaryDir alone;
  const QString copy = alone.filePath("pelmora");
  ASSERT_TRUE(QFile::copy(PELMORA_PROGRAM_DIR "/pelmora", copy));
  QFile(copy).setPermissions(QFile::ExeOwner | QFile::ReadOwner);
  program.start(copy, {"--check-extras"});
  ASSERT_TRUE(program.waitForFinished(30000));
  EXPECT_EQ(program.exitCode(), 1);
  EXPECT_NE(program.readAllStandardError().toStdString().find("找不到 pelmora-extras.so"), std::string::npos);
}

TEST(SingleInstanceTest, ASecondStartEndsAtOnceWhileTheFirstRuns) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  auto start = [&](QProcess& p) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", dir.path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    p.setProcessEnvironment(env);
    p.start(PELMORA_PROGRAM_DIR "/pelmora", {"--no-splash"});
    return p.waitForStarted(5000);
  };
  {
    // The lock the first instance holds.
    gui::SingleInstance first(dir.path().toStdString());
    ASSERT_TRUE(first.Acquire());
    gui::SingleInstance again(dir.path().toStdString());
    EXPECT_FALSE(again.Acquire());
    QProcess second;
    ASSERT_TRUE(start(second));
    EXPECT_TRUE(second.waitForFinished(5000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(second.readAllStandardOutput().isEmpty());
  }
  // Without a first instance the program runs (until it is ended here).
  QProcess only;
  ASSERT_TRUE(start(only));
  EXPECT_FALSE(only.waitForFinished(1500));
  only.kill();
  only.waitForFinished(3000);
  // The lock of a crashed instance is gone with it.
  gui::SingleInstance after(dir.path().toStdString());
  EXPECT_TRUE(after.Acquire());
}

// Screenshots of every page for the documentation: PELMORA_SHOTS=folder.
TEST_F(Window, Screenshots) {
  const char* dir = std::getenv("PELMORA_SHOTS");
  if (!dir) GTEST_SKIP() << "PELMORA_SHOTS not set";
  // PELMORA_SHOTS_DESIGN=storage_tank (or another case of data/cases) types a design in;
  // batch_curve also draws its time-temperature curve.
  if (const char* design = std::getenv("PELMORA_SHOTS_DESIGN")) {
    TypeCase(design);
    if (const char* mode = std::getenv("PELMORA_SHOTS_MODE"))  // "vessel,flow,pho,phi"
      app.Run([&] {
        int m[4] = {0, 0, 0, 0};
        std::sscanf(mode, "%d,%d,%d,%d", &m[0], &m[1], &m[2], &m[3]);
        f.RGEType->SetItemIndex(m[0]);
        f.RGFType->SetItemIndex(m[1]);
        f.PhoD->UserSelect(m[2]);
        f.PhiD->UserSelect(m[3]);
      });
    if (std::string(design) == "batch_curve")
      QTest::mouseClick(qobject_cast<QToolButton*>(W("SBTCurve")), Qt::LeftButton);
  }
  for (int i = 0; i < 5; ++i) {
    win.Pages()->setCurrentIndex(i);
    QApplication::processEvents();
    win.grab().save(QString("%1/page%2.png").arg(dir).arg(i + 1));
  }
}

}  // namespace
}  // namespace pelmora

// What a desktop user expects of the window, tried with real keys and clicks: undo and
// redo of every kind of change (Ctrl+Z, Ctrl+Y, the 编辑 menu showing the step), the
// menu shortcuts, the tool buttons' tooltips, the title's mark of a modified project,
// copying tables and results to the clipboard for a spreadsheet, the charts' menu.
#include <gtest/gtest.h>

#include <unistd.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QHelpEvent>
#include <QImage>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPrinterInfo>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTabBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <QTreeView>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

#include "../common/ScratchFolder.h"
#include "WindowFixtures.h"
#include "gui/ChartMenu.h"
#include "gui/ChecksView.h"
#include "gui/SimpPLDialog.h"
#include "gui/StudyDialog.h"
#include "gui/Widgets.h"
#include "project/ProjectCommands.h"
#include "project/SaveFormData.h"

namespace pelmora {
namespace {

const std::string kExample = PELMORA_PROGRAM_DIR "/examples/storage-tank-hot-water.pmf";

// Cells of tab-separated text as a spreadsheet reads it: rows end with a line feed (CR LF
// accepted), cells are split at tabs, a cell in double quotes may hold tabs, line breaks
// and doubled quotes.
std::vector<std::vector<std::string>> ParseTsv(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> row;
  std::string cell;
  bool quoted = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        cell += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        cell += c;
      }
      continue;
    }
    if (c == '"' && cell.empty()) {
      quoted = true;
    } else if (c == '\t') {
      row.push_back(cell);
      cell.clear();
    } else if (c == '\n' || c == '\r') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      row.push_back(cell);
      rows.push_back(row);
      row.clear();
      cell.clear();
    } else {
      cell += c;
    }
  }
  if (!cell.empty() || !row.empty()) {
    row.push_back(cell);
    rows.push_back(row);
  }
  return rows;
}

std::vector<std::vector<std::string>> Clipboard() { return ParseTsv(QApplication::clipboard()->text().toStdString()); }

std::string RunCalc(const std::vector<std::string>& args) {
  std::string cmd = "'" PELMORA_PROGRAM_DIR "/pelmora-calc'";
  for (const auto& a : args) cmd += " '" + a + "'";
  cmd += " >/dev/null 2>&1";
  return std::system(cmd.c_str()) == 0 ? "ok" : "failed";
}

// The records of two states of the window that differ, for a failure message.
std::string Differences(const std::string& a, const std::string& b) {
  auto split = [](const std::string& t) {
    std::vector<std::string> blocks;
    for (size_t p = 0; p < t.size();) {
      size_t q = t.find("\r\n\r\n", p);
      blocks.push_back(t.substr(p, q == std::string::npos ? std::string::npos : q - p));
      p = q == std::string::npos ? t.size() : q + 4;
    }
    return blocks;
  };
  const auto x = split(a), y = split(b);
  std::string out;
  for (size_t i = 0; i < std::max(x.size(), y.size()) && out.size() < 2000; ++i) {
    const std::string l = i < x.size() ? x[i] : "", r = i < y.size() ? y[i] : "";
    if (l != r) out += "\n  " + l + "  ≠  " + r;
  }
  return out;
}
#define EXPECT_SAME_FILE(a, b) EXPECT_TRUE((a) == (b)) << Differences(a, b)

struct Desktop : guitest::ShownWindow {
  testing::ScratchFolder scratch;
  std::filesystem::path dir = scratch.path();

  // A copy of the example, opened as the program's start-up does (saving never touches
  // the shipped file).
  void OpenCopy(const std::string& source = kExample) {
    std::filesystem::create_directories(dir);
    const std::string copy = (dir / "tank.pmf").string();
    std::filesystem::copy_file(source, copy, std::filesystem::copy_options::overwrite_existing);
    ASSERT_TRUE(app.Run([&] { app.project.OpenAtStartup(copy); }));
    // Recalculated once and saved, so that the fields' exits change nothing by themselves
    // and the window is its file.
    ASSERT_TRUE(app.Run([&] { app.calc.MaoDExit(nullptr); }));
    ASSERT_TRUE(app.Run([&] { app.project.DirectSaveProj(); }));
    ASSERT_TRUE(app.Run([&] { app.project.OpenAtStartup(copy); }));  // a fresh history
    // Opening enables the coil height for every shape until the next run; run once more,
    // so that leaving a field later changes nothing, and start the history there.
    ASSERT_TRUE(app.Run([&] { app.calc.MaoDExit(nullptr); }));
    ASSERT_TRUE(app.Run([&] { app.undo.Clear(); }));
    ASSERT_TRUE(app.Run([&] { app.project.DirectSaveProj(); }));
    ASSERT_FALSE(f.Unsaved());
    ASSERT_FALSE(app.undo.CanUndo());
    QApplication::processEvents();
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
  std::string File() { return FormatFormRecords(CollectFormRecords(f)); }
  QAction* Action(const char* name) { return win.ActionOf(f.FindAs<MenuItem>(name)); }
  void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QWidget* to = Focus() ? Focus() : &win;
    QTest::keyClick(to, static_cast<Qt::Key>(key), mods);
    QApplication::processEvents();
  }
  void Undo() { Key(Qt::Key_Z, Qt::ControlModifier); }
  void Redo() { Key(Qt::Key_Y, Qt::ControlModifier); }
  void ShowPage(int index) {
    QTabBar* tabs = win.Pages()->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(index).center());
  }
  void TypeInto(const std::string& name, const std::string& text) {
    QWidget* w = W(name);
    ASSERT_TRUE(w) << name;
    QTest::mouseClick(w, Qt::LeftButton);
    ASSERT_EQ(Focus(), w) << name;
    QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(w, QString::fromStdString(text));
  }
  // Opens a drop-down list with a click and clicks one of its items.
  void ChooseByMouse(const std::string& name, int index) {
    auto* combo = qobject_cast<QComboBox*>(W(name));
    ASSERT_TRUE(combo) << name;
    QTest::mouseClick(combo, Qt::LeftButton);
    QAbstractItemView* view = combo->view();
    for (int i = 0; i < 100 && !view->isVisible(); ++i) QTest::qWait(10);
    ASSERT_TRUE(view->isVisible()) << name;
    QTest::qWait(QApplication::doubleClickInterval() + 50);  // the opening click's release
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(index, 0)).center());
    QApplication::processEvents();
  }
  QString UndoText() { return Action("MEUndo")->text(); }
  // A right-click as the window system delivers it (the context menu follows the press).
  void RightClick(QWidget* w) {
    const QPoint at = w->mapTo(w->window(), w->rect().center());
    QTest::mouseClick(w->window()->windowHandle(), Qt::RightButton, {}, at);
    QApplication::processEvents();
  }
};

// Each kind of step: done with the mouse and keyboard, named in the 编辑 menu, taken
// back with Ctrl+Z to the very bytes the project had, and done again with Ctrl+Y.
TEST_F(Desktop, EveryKindOfChangeUndoesWithCtrlZAndRedoesWithCtrlY) {
  OpenCopy();
  win.Pages()->setCurrentIndex(1);
  struct Step {
    const char* name;
    std::function<void()> act;
  };
  const std::vector<Step> steps = {
      {"输入 加热时间",
       [&] {
         TypeInto("TaoD", "6.5");
         Key(Qt::Key_Return);
       }},
      {"更改单位 加热时间", [&] { ChooseByMouse("TaoU", 1); }},
      {"选择 容器材质", [&] { ChooseByMouse("SmD", 2); }},
      {"选择 对流方式",
       [&] {
         auto* group = qobject_cast<gui::RadioGroupView*>(W("RGFType"));
         QTest::mouseClick(group->Button(2), Qt::LeftButton);
       }},
      {"选择螺距",
       [&] {
         port.picks.push_back("3.5");
         QTest::mouseClick(W("SBP3"), Qt::LeftButton);
       }},
      {"清除 加热时间",
       [&] {
         QTest::mouseClick(W("TaoD"), Qt::LeftButton);
         port.answers.push_back(Answer::Yes);
         QTest::mouseClick(W("SBClear"), Qt::LeftButton);
       }},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.name);
    const std::string before = File();
    s.act();
    const std::string after = File();
    ASSERT_NE(after, before);
    EXPECT_EQ(UndoText(), QString("&U 撤销 ") + s.name);
    EXPECT_TRUE(Action("MEUndo")->isEnabled());
    Undo();
    EXPECT_SAME_FILE(File(), before);
    EXPECT_EQ(Action("MERedo")->text(), QString("&R 重做 ") + s.name);
    Redo();
    EXPECT_SAME_FILE(File(), after);
    Undo();
    EXPECT_SAME_FILE(File(), before);
  }
  // Typed and not left: Ctrl+Z in the field takes the typing back, not one keystroke.
  const std::string before = File();
  TypeInto("sfD", "abc");
  Undo();
  EXPECT_SAME_FILE(File(), before);
  EXPECT_EQ(qobject_cast<QLineEdit*>(W("sfD"))->text().toStdString(), f.sfD->Text());
}

// The property dialog's 确定 is one step: every value it copied goes back together.
struct DesktopSimp : guitest::OwnFolderWindow {
  void SetUp() override { Open("PropLib.cds"); }
};

TEST_F(DesktopSimp, ThePropertyDialogsOkIsOneStepAndItsGridCopies) {
  TFormPelmora& f = app->form;
  const std::string before = FormatFormRecords(CollectFormRecords(f));
  QTimer::singleShot(0, [&] {
    gui::SimpPLDialog* d = nullptr;
    for (int i = 0; i < 200 && !d; ++i) {
      d = qobject_cast<gui::SimpPLDialog*>(QApplication::activeModalWidget());
      if (!d) QTest::qWait(10);
    }
    ASSERT_TRUE(d);
    QApplication::setActiveWindow(d);
    ASSERT_TRUE(QTest::qWaitForWindowActive(d));
    QTableWidget* lib = d->LibraryGrid();
    QTest::mouseClick(lib->viewport(), Qt::LeftButton, {}, lib->visualRect(lib->model()->index(0, 1)).center());
    QTest::mouseClick(d->WidgetOf("BBCal"), Qt::LeftButton);
    // Ctrl+C on the value grid, which selects one cell at a time: the row of the cell,
    // with the header row, as shown.
    QTableWidget* values = d->ValuesGrid();
    QTest::mouseClick(values->viewport(), Qt::LeftButton, {},
                      values->visualRect(values->model()->index(0, 1)).center());
    QTest::keyClick(values, Qt::Key_C, Qt::ControlModifier);
    const auto rows = Clipboard();
    ASSERT_EQ(rows.size(), 2u) << QApplication::clipboard()->text().toStdString();
    int shown = 0;
    for (int c = 0; c < values->columnCount(); ++c) {
      if (values->isColumnHidden(c)) continue;
      EXPECT_EQ(rows[0][static_cast<size_t>(shown)], values->horizontalHeaderItem(c)->text().toStdString());
      EXPECT_EQ(rows[1][static_cast<size_t>(shown)], values->item(0, c)->text().toStdString());
      ++shown;
    }
    EXPECT_EQ(rows[1][0], "t");
    QTest::mouseClick(d->WidgetOf("BBOK"), Qt::LeftButton);
  });
  ClickMain("SBP2");
  const std::string after = FormatFormRecords(CollectFormRecords(f));
  ASSERT_NE(after, before);
  EXPECT_EQ(win->ActionOf(f.MEUndo)->text(), "&U 撤销 填入物性");
  guitest::ShowActive(win.get());  // back from the dialog
  QTest::keyClick(win.get(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_SAME_FILE(FormatFormRecords(CollectFormRecords(f)), before);
  QTest::keyClick(win.get(), Qt::Key_Y, Qt::ControlModifier);
  EXPECT_SAME_FILE(FormatFormRecords(CollectFormRecords(f)), after);

  // 复制结果 through the window's own port: the system clipboard, read back as cells.
  QApplication::clipboard()->clear();
  ClickMain("SBCopy");
  const auto rows = Clipboard();
  ASSERT_GT(rows.size(), 10u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"名称", "数值", "单位", "类型"}));
  bool density = false;
  for (const auto& r : rows)
    if (r.size() == 4 && r[0].rfind("密度", 0) == 0 && r[1] == f.DeniD->Text()) density = true;
  EXPECT_TRUE(density);  // the value the dialog copied in
}

TEST_F(Desktop, MenuItemsShowTheirShortcutsAndTheKeysAct) {
  OpenCopy();
  const std::vector<std::tuple<const char*, const char*, const char*>> items = {
      {"MFNew", "&N 新建", "Ctrl+N"},        {"MFOpen", "&O 打开", "Ctrl+O"},         {"MFSave", "&S 保存", "Ctrl+S"},
      {"MFAs", "&A 另存为", "Ctrl+Shift+S"}, {"MRPrintRep", "&P 打印报表", "Ctrl+P"}, {"MCRecalc", "&R 重新计算", "F9"},
      {"MHPDF", "&D 帮助文档", "F1"},        {"MEUndo", "&U 撤销", "Ctrl+Z"},         {"MERedo", "&R 重做", "Ctrl+Y"}};
  for (const auto& [name, caption, keys] : items) {
    QAction* a = Action(name);
    ASSERT_TRUE(a) << name;
    EXPECT_EQ(a->text(), caption) << name;  // the access key stays as it was
    EXPECT_EQ(a->shortcut().toString(QKeySequence::PortableText), keys) << name;
  }
  EXPECT_EQ(win.menuBar()->actions().at(1)->text(), "&B 编辑");

  // New and Open ask for their files (cancelled here), in the templates' folder and the
  // project's own.
  win.Pages()->setCurrentIndex(1);
  QTest::mouseClick(W("TaoD"), Qt::LeftButton);
  port.Clear();
  Key(Qt::Key_N, Qt::ControlModifier);
  Key(Qt::Key_O, Qt::ControlModifier);
  Key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
  ASSERT_EQ(port.events.size(), 3u) << ::testing::PrintToString(port.Messages());
  EXPECT_EQ(port.events[0].kind, PortEvent::Kind::Open);
  EXPECT_EQ(port.events[0].caption, "新建项目-选择模板");
  EXPECT_EQ(port.events[1].caption, "打开项目-选择项目文件");
  EXPECT_EQ(port.events[2].caption, "另存为-输入名称");

  // F9 recalculates what was typed; Ctrl+S then writes the project.
  const std::string area = f.AtD->Text();
  TypeInto("TaoD", "2");
  Key(Qt::Key_F9);
  EXPECT_NE(f.AtD->Text(), area);
  EXPECT_EQ(app.undo.UndoName(), "输入 加热时间");
  Key(Qt::Key_S, Qt::ControlModifier);
  EXPECT_FALSE(f.Unsaved());
  EXPECT_FALSE(app.project.HasUnsavedChanges());
  std::ifstream saved(f.CurrentProjectFile, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(saved)), {});
  EXPECT_NE(bytes.find("\r\nTaoD\r\nString\r\nText\r\n2\r\n"), std::string::npos);

  // F1 in a field is help on the field; on the page tabs, the manual from its start.
  port.helpShown.clear();
  Key(Qt::Key_F1);
  ASSERT_EQ(port.helpShown.size(), 1u);
  EXPECT_NE(port.events.back().text.find("加热时间"), std::string::npos) << port.events.back().text;
  win.Pages()->tabBar()->setFocus();
  Key(Qt::Key_F1);
  ASSERT_EQ(port.helpShown.size(), 2u);
  EXPECT_NE(port.events.back().text.find("系统安装"), std::string::npos) << port.events.back().text;

  // Ctrl+P prints the report through its preview (which, without a printer, prints to a
  // PDF file); the preview is closed here as a person would close it.
  QString title;
  QTimer closer;
  int tries = 0;
  closer.setInterval(20);
  QObject::connect(&closer, &QTimer::timeout, [&] {
    for (QWidget* t : QApplication::topLevelWidgets())
      if (auto* d = qobject_cast<QDialog*>(t); d && d->objectName() == "PrintPreview" && d->isVisible()) {
        title = d->windowTitle();
        d->reject();
      }
    if (!title.isEmpty() || ++tries > 250) closer.stop();
  });
  closer.start();
  Key(Qt::Key_P, Qt::ControlModifier);
  closer.stop();
  EXPECT_TRUE(title.startsWith(QString::fromUtf8("打印预览 - "))) << title.toStdString();
}

TEST_F(Desktop, EveryToolButtonShowsItsHintAsATooltip) {
  int buttons = 0;
  for (QToolButton* b : win.ToolBar()->findChildren<QToolButton*>()) {
    Component* c = win.ComponentOf(b);
    if (!c) continue;  // the tool bar's own extension button
    ++buttons;
    EXPECT_EQ(b->toolTip().toStdString(), c->Hint()) << c->Name();
    QHelpEvent help(QEvent::ToolTip, b->rect().center(), b->mapToGlobal(b->rect().center()));
    QApplication::sendEvent(b, &help);
    EXPECT_TRUE(QToolTip::isVisible()) << c->Name();
    EXPECT_EQ(QToolTip::text().toStdString(), c->Hint()) << c->Name();
    QToolTip::hideText();
  }
  EXPECT_EQ(buttons, 14);  // the twelve of the tool bar, 打印计算书 and 复制结果
  // Hovering shows the hint, also while another window is the active one.
  QWidget other;
  other.resize(120, 80);
  other.move(600, 500);
  guitest::ShowActive(&other);
  auto* open = qobject_cast<QToolButton*>(W("SBFOpen"));
  QTest::mouseMove(open, open->rect().center());
  for (int i = 0; i < 300 && !QToolTip::isVisible(); ++i) QTest::qWait(10);
  EXPECT_TRUE(QToolTip::isVisible());
  EXPECT_EQ(QToolTip::text(), "打开");
  QToolTip::hideText();
}

TEST_F(Desktop, TheTitleMarksAModifiedProjectUntilItIsSaved) {
  OpenCopy();
  const QString clean = QString::fromStdString(f.Caption());
  EXPECT_EQ(win.windowTitle(), clean);
  win.Pages()->setCurrentIndex(1);
  TypeInto("sfD", "15");
  Key(Qt::Key_Return);
  EXPECT_EQ(win.windowTitle(), "*" + clean);
  Undo();
  EXPECT_EQ(win.windowTitle(), clean);  // back to what the file holds
  Redo();
  EXPECT_EQ(win.windowTitle(), "*" + clean);
  QTest::mouseClick(W("SBFSave"), Qt::LeftButton);
  EXPECT_EQ(win.windowTitle(), clean);
}

// 复制结果: inputs and results with captions, values and units, as a spreadsheet reads them.
TEST_F(Desktop, CopyResultsPutsTheInputsAndResultsOnTheClipboard) {
  OpenCopy();
  QTest::mouseClick(W("SBCopy"), Qt::LeftButton);
  const auto rows = ParseTsv(port.clipboard);  // the window's port puts it on the clipboard
  ASSERT_GT(rows.size(), 20u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"名称", "数值", "单位", "类型"}));
  auto find = [&](const std::string& caption) -> std::vector<std::string> {
    for (const auto& r : rows)
      if (!r.empty() && r[0] == caption) return r;
    return {};
  };
  const auto tao = find("加热时间");
  ASSERT_EQ(tao.size(), 4u);
  EXPECT_EQ(tao[1], f.TaoD->Text());
  EXPECT_EQ(tao[2], f.TaoU->GetUnit());
  EXPECT_EQ(tao[3], "输入");
  const auto area = find("理论面积");
  ASSERT_EQ(area.size(), 4u);
  EXPECT_EQ(std::stod(area[1]), f.AtD->GetValue());
  EXPECT_EQ(area[2], "m2");
  EXPECT_EQ(area[3], "结果");
  EXPECT_EQ(find("容器材质").size(), 4u);
  // The menu item does the same, and copying is no step.
  EXPECT_EQ(app.undo.UndoCount(), 0u);
  port.clipboard.clear();
  Action("MECopy")->trigger();
  EXPECT_EQ(ParseTsv(port.clipboard), rows);
}

TEST_F(Desktop, CtrlCCopiesTheCatalogueGridAndTheChecksListWithAHeaderRow) {
  OpenCopy();
  app.Run([&] { app.select.EnsureCatalogue(); });
  ShowPage(2);
  auto* grid = qobject_cast<QTableWidget*>(W("DBGPiples"));
  ASSERT_TRUE(grid);
  ASSERT_GT(grid->rowCount(), 3);
  // The row clicked, with the column titles.
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(3, 1)).center());
  QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
  auto rows = Clipboard();
  ASSERT_EQ(rows.size(), 2u) << QApplication::clipboard()->text().toStdString();
  ASSERT_EQ(rows[0].size(), static_cast<size_t>(grid->columnCount()));
  for (size_t c = 0; c < rows[0].size(); ++c) {
    const int column = static_cast<int>(c);
    EXPECT_EQ(rows[0][c], grid->model()->headerData(column, Qt::Horizontal).toString().toStdString());
    EXPECT_EQ(rows[1][c], grid->model()->index(3, column).data().toString().toStdString());
  }

  // A design with checks: the list copied as 级别 / 位置 / 检查.
  ShowPage(1);
  TypeInto("nD", "1");
  Key(Qt::Key_F9);  // the tube count's exit does not recalculate: F9 does
  ASSERT_FALSE(app.calc.checks.empty());
  QApplication::processEvents();
  gui::ChecksView* checks = win.Checks();
  QTest::mouseClick(checks->Button(), Qt::LeftButton);
  QListWidget* list = checks->List();
  ASSERT_TRUE(list->isVisible());
  list->setFocus();
  list->selectAll();
  QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
  rows = Clipboard();
  ASSERT_EQ(rows.size(), app.calc.checks.size() + 1);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"级别", "位置", "检查"}));
  EXPECT_EQ(rows[1][0], LevelText(app.calc.checks[0].level));
  EXPECT_EQ(rows[1][2], app.calc.checks[0].text);
}

// The study table: Ctrl+C gives the selection with its headers; the column 检查 marks
// every point whose run raised a warning (or worse) and lists them in its tooltip.
TEST_F(Desktop, TheStudyTableMarksPointsWithChecksAndCopies) {
  OpenCopy();
  gui::StudyDialog dlg(app, &win);
  guitest::ShowActive(&dlg);
  auto& in = dlg.Input(0);
  int tubes = -1;
  for (int i = 0; i < in.field->count(); ++i)
    if (in.field->itemText(i) == "管根数") tubes = i;
  ASSERT_GE(tubes, 0);
  in.field->setCurrentIndex(tubes);
  in.from->setText("1");
  in.to->setText("4");
  in.points->setValue(4);
  QTest::mouseClick(dlg.RunButton(), Qt::LeftButton);
  QTableWidget* t = dlg.Table();
  ASSERT_EQ(t->rowCount(), 4);
  int checkColumn = -1;
  for (int c = 0; c < t->columnCount(); ++c)
    if (t->horizontalHeaderItem(c)->text() == "检查") checkColumn = c;
  ASSERT_GE(checkColumn, 0);
  EXPECT_EQ(t->horizontalHeaderItem(checkColumn + 1)->text(), "计算信息");
  // One tube for the whole flow is far too fast.
  QTableWidgetItem* first = t->item(0, checkColumn);
  EXPECT_TRUE(first->text().startsWith("警告")) << first->text().toStdString();
  EXPECT_TRUE(first->toolTip().contains("警告")) << first->toolTip().toStdString();
  EXPECT_TRUE(first->toolTip().contains("m/s")) << first->toolTip().toStdString();
  for (int r = 0; r < t->rowCount(); ++r) {
    const auto& row = dlg.Result().rows[static_cast<size_t>(r)];
    bool flagged = false;
    for (const DesignCheck& c : row.checks) flagged = flagged || c.level != DesignCheck::Level::Hint;
    EXPECT_EQ(!t->item(r, checkColumn)->text().isEmpty(), flagged) << r;
  }
  if (const char* shots = std::getenv("PELMORA_SHOTS")) {
    dlg.resize(1000, 700);
    QApplication::processEvents();
    dlg.grab().save(QString(shots) + "/study-checks.png");
  }

  t->setFocus();
  t->clearSelection();
  QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, t->visualRect(t->model()->index(0, 0)).center());
  QTest::mouseClick(t->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                    t->visualRect(t->model()->index(1, checkColumn)).center());
  QTest::keyClick(t, Qt::Key_C, Qt::ControlModifier);
  const auto rows = Clipboard();
  ASSERT_EQ(rows.size(), 3u) << QApplication::clipboard()->text().toStdString();
  ASSERT_EQ(rows[0].size(), static_cast<size_t>(checkColumn + 1));
  EXPECT_EQ(rows[0][0], "管根数(根)");
  EXPECT_EQ(rows[0].back(), "检查");
  EXPECT_EQ(rows[1][0], "1");
  EXPECT_EQ(rows[1].back(), first->text().toStdString());
}

// The time–temperature curve: a right-click offers copy as image, PNG, SVG and print.
TEST_F(Desktop, TheCurvesMenuCopiesSavesAndPrints) {
  std::filesystem::create_directories(dir);
  const std::string design = (dir / "batch.pmf").string();
  std::vector<std::string> args;
  {
    std::ifstream in(std::string(PELMORA_SOURCE_DIR) + "/data/cases/batch_curve.args");
    std::string line;
    while (std::getline(in, line)) {
      if (line.empty() || line[0] == '#') continue;
      size_t sp = line.find(' ');
      args.push_back(line.substr(0, sp));
      if (sp != std::string::npos) args.push_back(line.substr(sp + 1));
    }
  }
  args.insert(args.end(), {"--save", design});
  ASSERT_EQ(RunCalc(args), "ok");
  OpenCopy(design);
  ShowPage(4);
  QWidget* chart = W("PaintBox1");
  ASSERT_TRUE(chart);
  QMenu* menu = gui::ChartMenuOf(chart);
  ASSERT_TRUE(menu);
  // No curve yet: every entry is there, disabled, and says why.
  RightClick(chart);
  ASSERT_TRUE(menu->isVisible());
  QStringList texts;
  for (QAction* a : menu->actions())
    if (!a->isSeparator()) {
      texts << a->text();
      EXPECT_FALSE(a->isEnabled());
      EXPECT_FALSE(a->toolTip().isEmpty());
    }
  EXPECT_EQ(texts, (QStringList{"复制为图像", "另存为 PNG…", "另存为 SVG…", "打印…"}));
  menu->hide();

  QTest::mouseClick(W("SBTCurve"), Qt::LeftButton);
  ASSERT_GE(app.curve.data.Intervals(), 1) << ::testing::PrintToString(port.Messages());
  RightClick(chart);
  auto action = [&](const QString& text) -> QAction* {
    for (QAction* a : menu->actions())
      if (a->text() == text) return a;
    return nullptr;
  };
  ASSERT_TRUE(action("复制为图像")->isEnabled());
  if (const char* shots = std::getenv("PELMORA_SHOTS")) {
    QImage shot = win.grab().toImage();
    QPainter p(&shot);
    p.drawPixmap(win.mapFromGlobal(menu->mapToGlobal(QPoint(0, 0))), menu->grab());
    p.end();
    shot.save(QString(shots) + "/curve-menu.png");
  }
  action("复制为图像")->trigger();
  const QImage copied = QApplication::clipboard()->image();
  EXPECT_GE(copied.width(), 640);
  int red = 0;
  for (int y = 0; y < copied.height(); y += 2)
    for (int x = 0; x < copied.width(); x += 2)
      red += copied.pixelColor(x, y).red() > 200 && copied.pixelColor(x, y).green() < 80;
  EXPECT_GT(red, 20);

  const std::string png = (dir / "curve.png").string(), svg = (dir / "curve.svg").string();
  port.files.push_back(png);
  action("另存为 PNG…")->trigger();
  port.files.push_back(svg);
  action("另存为 SVG…")->trigger();
  EXPECT_EQ(port.events[port.events.size() - 2].text, "时间温度曲线.png");
  QImage saved(QString::fromStdString(png));
  EXPECT_EQ(saved.size(), copied.size());
  std::ifstream svgIn(svg);
  std::string svgText((std::istreambuf_iterator<char>(svgIn)), {});
  EXPECT_NE(svgText.find("<svg"), std::string::npos);
  EXPECT_NE(svgText.find("时间"), std::string::npos);
  EXPECT_TRUE(action("打印…")->isEnabled());
  menu->hide();
}

// Screenshots for a person to look at: the menus with their shortcuts.
TEST_F(Desktop, ScreenshotsOfTheMenus) {
  const char* shots = std::getenv("PELMORA_SHOTS");
  if (!shots) GTEST_SKIP() << "PELMORA_SHOTS not set";
  OpenCopy();
  win.Pages()->setCurrentIndex(1);
  TypeInto("TaoD", "5");
  Key(Qt::Key_Return);
  for (const char* name : {"MFile", "MEdit", "MCalc", "MReport", "MHelp"}) {
    QMenu* menu = win.MenuOf(f.FindAs<MenuItem>(name));
    ASSERT_TRUE(menu) << name;
    win.menuBar()->setActiveAction(menu->menuAction());
    QApplication::processEvents();
    QTest::qWait(50);
    QImage shot = win.grab().toImage();
    QPainter p(&shot);
    p.drawPixmap(win.mapFromGlobal(menu->mapToGlobal(QPoint(0, 0))), menu->grab());
    p.end();
    shot.save(QString(shots) + "/menu-" + name + ".png");
    menu->hide();
  }
}

}  // namespace
}  // namespace pelmora

namespace pelmora {
namespace {

// The file dialogs in Chinese whatever the system's language (the tests run under the C
// locale): labels, column titles, folder types and dates; the filter names shown once.
TEST(FileDialogs, SpeakChineseAndShowEachFilterNameOnce) {
  testing::ScratchFolder scratch;
  std::filesystem::path dir = scratch.path();
  std::filesystem::create_directories(dir / "子文件夹");
  std::ofstream(dir / "a.pmf") << "x";
  gui::QtPort port;
  FileDialogRequest r;
  r.title = "打开项目-选择项目文件";
  r.filter = ProjectCommands::kFilter;
  r.filterIndex = 1;
  r.initialDir = dir.string();
  bool seen = false;
  QTimer::singleShot(0, [&] {
    auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    for (int i = 0; i < 200 && !d; ++i) {
      QTest::qWait(10);
      d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    }
    ASSERT_TRUE(d);
    seen = true;
    EXPECT_EQ(d->windowTitle(), "打开项目-选择项目文件");
    EXPECT_EQ(d->labelText(QFileDialog::FileType), "文件类型：");
    EXPECT_EQ(d->labelText(QFileDialog::Accept), "打开");
    // The filter box: each name once, without Qt's pattern after it.
    auto* types = d->findChild<QComboBox*>("fileTypeCombo");
    ASSERT_TRUE(types);
    ASSERT_EQ(types->count(), 2);
    EXPECT_EQ(types->itemText(0), "Pelmora 项目文件（*.pmf）");
    EXPECT_EQ(types->itemText(1), "Pelmora 模板文件（*.pmt）");
    // The list in detail view: Chinese column titles, a folder typed as such, a date
    // written out in figures.
    auto* view = d->findChild<QTreeView*>("treeView");
    ASSERT_TRUE(view);
    QAbstractItemModel* m = view->model();
    for (int i = 0; i < 100 && m->rowCount(view->rootIndex()) < 2; ++i) QTest::qWait(20);
    EXPECT_EQ(m->headerData(0, Qt::Horizontal).toString(), "名称");
    EXPECT_EQ(m->headerData(2, Qt::Horizontal).toString(), "类型");
    EXPECT_EQ(m->headerData(3, Qt::Horizontal).toString(), "修改日期");
    bool folder = false, file = false;
    for (int row = 0; row < m->rowCount(view->rootIndex()); ++row) {
      const QString name = m->index(row, 0, view->rootIndex()).data().toString();
      const QString type = m->index(row, 2, view->rootIndex()).data().toString();
      const QString date = m->index(row, 3, view->rootIndex()).data().toString();
      if (name == "子文件夹") folder = type == "文件夹";
      if (name == "a.pmf") file = type == "pmf 文件";
      EXPECT_TRUE(QRegularExpression("^\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}$").match(date).hasMatch())
          << date.toStdString();
    }
    EXPECT_TRUE(folder);
    EXPECT_TRUE(file);
    if (const char* shots = std::getenv("PELMORA_SHOTS")) {
      d->setViewMode(QFileDialog::Detail);
      QApplication::processEvents();
      d->grab().save(QString(shots) + "/file-dialog.png");
    }
    d->reject();
  });
  EXPECT_FALSE(port.OpenDialog(r).has_value());
  EXPECT_TRUE(seen);
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
}

}  // namespace
}  // namespace pelmora

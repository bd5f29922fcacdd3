#include <gtest/gtest.h>

#include "props/MyValues.h"

using namespace pelmora;

namespace {
TMyValues DialogGrid() {
  TMyValues g;
  g.AddValue("t", "20", "C", "温度");
  g.AddValue("p", "100", "kPa(A)", "绝对压力");
  return g;
}
}  // namespace

TEST(MyValues, Defaults) {
  TMyValues g;
  EXPECT_EQ(g.RowCount(), 3);
  EXPECT_EQ(g.MinRow(), 3);
  EXPECT_TRUE(g.Unique);
  EXPECT_EQ(g.Titles(), (std::vector<std::string>{"名称", "数量", "单位", "备注"}));
  EXPECT_EQ(g.Names()[0], "名称");
  EXPECT_EQ(g.Col(), 3);
  EXPECT_EQ(g.Row(), 2);
}

TEST(MyValues, NamedAccess) {
  TMyValues g = DialogGrid();
  EXPECT_EQ(g.Cell(TMyValues::kName, 1), "t");
  EXPECT_EQ(g.GetValueOf("t"), "20");
  EXPECT_EQ(g.GetValueOf("p"), "100");
  EXPECT_EQ(g.GetValueOf("x"), "");
  EXPECT_EQ(g.GetCellOf("p", TMyValues::kUnit), "kPa(A)");
  g.AddValue("t", "99", "", "");  // already there
  EXPECT_EQ(g.GetValueOf("t"), "20");
  EXPECT_EQ(g.RowCount(), 3);
  g.AddValue("V", "", "", "");
  EXPECT_EQ(g.RowCount(), 4);
  EXPECT_EQ(g.Cell(TMyValues::kName, 3), "V");
  EXPECT_EQ(g.Cell(TMyValues::kValue, 3), "");
  g.SetValueOf("t", "21");
  EXPECT_EQ(g.GetValueOf("t"), "21");
  g.SetValueOf("q", "1");  // no such row: nothing
  EXPECT_EQ(g.FindName(TMyValues::kName, "q"), -1);
  g.SetCellOf("p", TMyValues::kNote, "表压");
  EXPECT_EQ(g.GetCellOf("p", TMyValues::kNote), "表压");
  EXPECT_EQ(g.FindName(TMyValues::kName, "名"), 0);
}

TEST(MyValues, SubstringMatchFindsTheEarlierRow) {
  TMyValues g;
  g.AddValue("tt", "1", "", "");
  g.AddValue("t", "2", "", "");  // "t" is found in "tt": not added while Unique
  EXPECT_EQ(g.RowCount(), 3);
  g.Unique = false;
  g.AddValue("t", "2", "", "");
  EXPECT_EQ(g.Cell(TMyValues::kName, 2), "t");
  EXPECT_EQ(g.GetValueOf("t"), "1");
}

TEST(MyValues, ClearRowsAndReuse) {
  TMyValues g = DialogGrid();
  g.ClearRows(1);
  EXPECT_EQ(g.RowCount(), 3);
  EXPECT_EQ(g.Cell(TMyValues::kName, 1), "");
  EXPECT_EQ(g.Cell(TMyValues::kName, 0), "名称");
  g.AddValue("x", "5", "", "");
  EXPECT_EQ(g.Cell(TMyValues::kName, 1), "x");
  // Existing cells stay when the new value is empty.
  TMyValues h;
  h.SetCell(TMyValues::kNote, 1, "keep");
  h.AddValue("y", "1", "", "");
  EXPECT_EQ(h.Cell(TMyValues::kNote, 1), "keep");
}

TEST(MyValues, KeyDownAndSelectCellRowRules) {
  TMyValues g = DialogGrid();
  ASSERT_TRUE(g.SelectCell(1, 2));
  g.KeyDown(TMyValues::Key::Down);  // filled last row: a new row
  EXPECT_EQ(g.RowCount(), 4);
  EXPECT_EQ(g.Row(), 3);
  g.KeyDown(TMyValues::Key::Down);  // blank last row: no further row
  EXPECT_EQ(g.RowCount(), 4);
  ASSERT_TRUE(g.SelectCell(1, 1));  // selecting above drops the blank last row
  EXPECT_EQ(g.RowCount(), 3);
  g.ClearRows(1);
  g.SelectCell(1, 1);
  EXPECT_EQ(g.RowCount(), 3);  // never below MinRow
  g.SetMinRow(5);
  EXPECT_EQ(g.RowCount(), 5);
  g.SetMinRow(2);
  g.SelectCell(1, 1);
  EXPECT_EQ(g.RowCount(), 2);
  EXPECT_FALSE(g.SelectCell(0, 1));  // the fixed column
}

TEST(MyValues, ReadonlyColumnsAndLoaded) {
  TMyValues g = DialogGrid();
  g.ReadonlyUnit = true;
  g.SelectCell(2, 1);
  EXPECT_EQ(g.KeyPress('x'), '\a');
  g.SelectCell(1, 1);
  EXPECT_EQ(g.KeyPress('x'), 'x');
  g.ReadonlyNote = true;
  g.SelectCell(3, 1);
  EXPECT_EQ(g.KeyPress('x'), '\a');
  g.SetCell(1, 1, "  20 ");
  g.SetTitles({" 名称 "});
  g.Loaded();
  EXPECT_EQ(g.Cell(1, 1), "20");
  EXPECT_EQ(g.Titles()[0], " 名称 ");  // the title row is left alone
  g.SetValues({"数量", "1", "2", "3", "4"});
  EXPECT_EQ(g.RowCount(), 5);
  EXPECT_EQ(g.Values()[4], "4");
  EXPECT_EQ(g.Cell(9, 9), "");  // outside: empty
}

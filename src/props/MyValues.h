// The value grid: a small table of named values (name, value, unit, note) with one
// title row. This is the model; a view draws it and reports the user's keys and clicks.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace pelmora {

class TMyValues {
 public:
  enum Column : int { kName = 0, kValue = 1, kUnit = 2, kNote = 3 };
  enum class Key { Down, Up, Left, Right, Other };
  static constexpr int kColCount = 4;

  TMyValues();

  int RowCount() const { return static_cast<int>(rows_.size()); }
  void SetRowCount(int n);
  static int ColCount() { return kColCount; }
  // Cells outside the grid read as empty text and ignore writes.
  const std::string& Cell(int col, int row) const;
  void SetCell(int col, int row, const std::string& text);

  // Column and title-row views; assigning replaces cells from row 0 (or column 0) on,
  // adding rows when the list is longer than the grid.
  std::vector<std::string> Names() const { return Column_(kName); }
  std::vector<std::string> Values() const { return Column_(kValue); }
  std::vector<std::string> Units() const { return Column_(kUnit); }
  std::vector<std::string> Notes() const { return Column_(kNote); }
  std::vector<std::string> Titles() const;
  void SetNames(const std::vector<std::string>& v) { SetColumn(kName, v); }
  void SetValues(const std::vector<std::string>& v) { SetColumn(kValue, v); }
  void SetUnits(const std::vector<std::string>& v) { SetColumn(kUnit, v); }
  void SetNotes(const std::vector<std::string>& v) { SetColumn(kNote, v); }
  void SetTitles(const std::vector<std::string>& v);

  int MinRow() const { return minRow_; }
  void SetMinRow(int n);
  bool Unique = true;
  bool ReadonlyUnit = false;
  bool ReadonlyNote = false;

  // First row (from row 0) whose cell in the column contains name (case-sensitive); -1 if none.
  int FindName(int column, const std::string& name) const;
  void ClearRows(int from);
  void AddValue(const std::string& name, const std::string& value, const std::string& unit, const std::string& note);
  std::string GetValueOf(const std::string& name) const;
  void SetValueOf(const std::string& name, const std::string& value);
  void SetCellOf(const std::string& name, int column, const std::string& text);
  std::string GetCellOf(const std::string& name, int column) const;

  // Current cell (the editor's position).
  int Col() const { return col_; }
  int Row() const { return row_; }

  // View events.
  void Loaded();                         // trims every data cell
  char KeyPress(char typed) const;       // the character to pass on (7 = refused)
  void KeyDown(Key key);                 // Down on a filled last row adds a row first
  bool SelectCell(int column, int row);  // drops blank rows at the end, then selects

 private:
  std::vector<std::string> Column_(int col) const;
  void SetColumn(int col, const std::vector<std::string>& v);
  bool RowBlank(int row) const;

  std::vector<std::array<std::string, kColCount>> rows_;
  int minRow_ = 3;
  int col_ = 3;
  int row_ = 2;
};

}  // namespace pelmora

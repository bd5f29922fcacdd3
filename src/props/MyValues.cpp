#include "props/MyValues.h"

#include "props/PropNumbers.h"

namespace pelmora {

namespace {
const std::string kEmpty;
bool Blank(const std::string& s) { return s.find_first_not_of(' ') == std::string::npos; }
}  // namespace

TMyValues::TMyValues() : rows_(3) {
  rows_[0] = {"名称", "数量", "单位", "备注"};
  col_ = kColCount - 1;
  row_ = RowCount() - 1;
}

void TMyValues::SetRowCount(int n) {
  if (n < 1) n = 1;
  rows_.resize(static_cast<size_t>(n));
  if (row_ >= n) row_ = n - 1;
}

const std::string& TMyValues::Cell(int col, int row) const {
  if (col < 0 || col >= kColCount || row < 0 || row >= RowCount()) return kEmpty;
  return rows_[static_cast<size_t>(row)][static_cast<size_t>(col)];
}

void TMyValues::SetCell(int col, int row, const std::string& text) {
  if (col < 0 || col >= kColCount || row < 0 || row >= RowCount()) return;
  rows_[static_cast<size_t>(row)][static_cast<size_t>(col)] = text;
}

std::vector<std::string> TMyValues::Column_(int col) const {
  std::vector<std::string> v;
  for (const auto& r : rows_) v.push_back(r[static_cast<size_t>(col)]);
  return v;
}

void TMyValues::SetColumn(int col, const std::vector<std::string>& v) {
  if (static_cast<int>(v.size()) > RowCount()) SetRowCount(static_cast<int>(v.size()));
  for (size_t i = 0; i < v.size(); ++i) rows_[i][static_cast<size_t>(col)] = v[i];
}

std::vector<std::string> TMyValues::Titles() const { return {rows_[0].begin(), rows_[0].end()}; }

void TMyValues::SetTitles(const std::vector<std::string>& v) {
  for (size_t i = 0; i < v.size() && i < kColCount; ++i) rows_[0][i] = v[i];
}

void TMyValues::SetMinRow(int n) {
  minRow_ = n;
  if (RowCount() < n) SetRowCount(n);
}

int TMyValues::FindName(int column, const std::string& name) const {
  if (column < 0 || column >= kColCount) return -1;
  for (int r = 0; r < RowCount(); ++r)
    if (rows_[static_cast<size_t>(r)][static_cast<size_t>(column)].find(name) != std::string::npos) return r;
  return -1;
}

void TMyValues::ClearRows(int from) {
  for (int r = from < 0 ? 0 : from; r < RowCount(); ++r) rows_[static_cast<size_t>(r)] = {};
}

void TMyValues::AddValue(const std::string& name, const std::string& value, const std::string& unit,
                         const std::string& note) {
  if (Unique && FindName(kName, name) > 0) return;
  int target = -1;
  for (int r = 0; r < RowCount() && target < 0; ++r)
    if (Blank(rows_[static_cast<size_t>(r)][kName])) target = r;
  if (target < 0) {
    rows_.emplace_back();
    target = RowCount() - 1;
  }
  auto& row = rows_[static_cast<size_t>(target)];
  if (!name.empty()) row[kName] = name;
  if (!value.empty()) row[kValue] = value;
  if (!unit.empty()) row[kUnit] = unit;
  if (!note.empty()) row[kNote] = note;
}

std::string TMyValues::GetValueOf(const std::string& name) const { return GetCellOf(name, kValue); }

void TMyValues::SetValueOf(const std::string& name, const std::string& value) { SetCellOf(name, kValue, value); }

void TMyValues::SetCellOf(const std::string& name, int column, const std::string& text) {
  int r = FindName(kName, name);
  if (r >= 0) SetCell(column, r, text);
}

std::string TMyValues::GetCellOf(const std::string& name, int column) const {
  int r = FindName(kName, name);
  return r < 0 ? std::string() : Cell(column, r);
}

void TMyValues::Loaded() {
  for (size_t r = 1; r < rows_.size(); ++r)
    for (auto& c : rows_[r]) c = TrimBlanks(c);
}

char TMyValues::KeyPress(char typed) const {
  if ((col_ == kUnit && ReadonlyUnit) || (col_ == kNote && ReadonlyNote)) return '\a';
  return typed;
}

bool TMyValues::RowBlank(int row) const {
  for (const auto& c : rows_[static_cast<size_t>(row)])
    if (!Blank(c)) return false;
  return true;
}

void TMyValues::KeyDown(Key key) {
  if (key == Key::Down && row_ == RowCount() - 1 && !RowBlank(row_)) rows_.emplace_back();
  switch (key) {
    case Key::Down:
      if (row_ + 1 < RowCount()) SelectCell(col_, row_ + 1);
      break;
    case Key::Up:
      if (row_ > 1) SelectCell(col_, row_ - 1);
      break;
    case Key::Left:
      if (col_ > 1) SelectCell(col_ - 1, row_);
      break;
    case Key::Right:
      if (col_ + 1 < kColCount) SelectCell(col_ + 1, row_);
      break;
    case Key::Other: break;
  }
}

bool TMyValues::SelectCell(int column, int row) {
  while (RowCount() - 1 != row && RowCount() > minRow_ && RowBlank(RowCount() - 1)) rows_.pop_back();
  if (column < 1 || column >= kColCount || row < 1 || row >= RowCount()) return false;
  col_ = column;
  row_ = row;
  return true;
}

}  // namespace pelmora

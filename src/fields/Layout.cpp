#include "fields/Layout.h"

#include <algorithm>

namespace pelmora {

PageKind WindowLayout::PageOf(const GroupBox* page) const {
  auto it = pages_.find(page);
  return it == pages_.end() ? PageKind::Fields : it->second;
}

int WindowLayout::ColumnsOf(const GroupBox* group) const {
  auto it = columns_.find(group);
  return it == columns_.end() ? 1 : it->second;
}

SpeedButton* WindowLayout::ButtonBeside(const Component* control) const {
  auto it = beside_.find(control);
  return it == beside_.end() ? nullptr : it->second;
}

std::vector<LayoutCell> WindowLayout::Cells(const Form& form, const Component* group) const {
  std::vector<const Component*> besides;
  for (const auto& [control, button] : beside_) besides.push_back(button);
  std::vector<LayoutCell> cells;
  Component* caption = nullptr;
  const Component* field = nullptr;  // the last value field, waiting for its unit selector
  using Shape = LayoutCell::Shape;
  for (Component* c : form.Components()) {
    if (c->Parent() != group) continue;
    if (auto* unit = As<ComboBoxU>(c)) {
      if (field && unit->Associated() == field) cells.back().unit = unit;
      continue;
    }
    if (std::find(besides.begin(), besides.end(), c) != besides.end()) continue;
    if (c->GetKind() == Kind::Label) {
      caption = c;
      continue;
    }
    LayoutCell cell{Shape::Other, caption, c, nullptr, ButtonBeside(c)};
    caption = nullptr;
    if (std::find(rows_.begin(), rows_.end(), c) != rows_.end())
      cell.shape = Shape::Row;
    else if (c->GetKind() == Kind::EditD)
      cell.shape = Shape::Quantity;
    else if (c->GetKind() == Kind::Edit || c->GetKind() == Kind::ComboBox)
      cell.shape = Shape::Wide;
    else if (c->GetKind() == Kind::RadioGroup)
      cell.shape = Shape::Whole;
    else if (c->GetKind() == Kind::GroupBox)
      cell.shape = Shape::Group;
    cells.push_back(cell);
    field = cell.shape == Shape::Quantity ? c : nullptr;
  }
  return cells;
}

}  // namespace pelmora

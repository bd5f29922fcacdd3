#pragma once
// How the calculation window is arranged, as part of its description: what each page
// holds, how many cells a group sets side by side, which small button stands beside a
// field. A view walks this; a field added to a group in the description appears in the
// window in its place without the view naming it.
#include <map>
#include <vector>

#include "fields/Components.h"

namespace pelmora {

// What a page of the window is, which tells a view how to arrange it.
enum class PageKind {
  Fields,   // a caption and a plain edit a row
  Groups,   // groups side by side, `Columns` of them a row; the page's other controls below
  Columns,  // each group starts a column, the controls after it stand under it
  Pipes,    // the tube series grid, its navigator and buttons
  Report    // the report text beside the time-temperature chart
};

// One cell of a group (or page), in creation order.
struct LayoutCell {
  enum class Shape {
    Quantity,  // caption, value field, unit selector [, button]
    Wide,      // caption and a list or plain edit over the field and unit columns [, button]
    Whole,     // one control over a whole cell (a radio group)
    Row,       // caption and a control over the rest of a row of its own (a note)
    Group,     // a group inside the group
    Other      // any other control, by itself
  };
  Shape shape;
  Component* caption = nullptr;
  Component* control = nullptr;
  ComboBoxU* unit = nullptr;
  SpeedButton* button = nullptr;
};

class WindowLayout {
 public:
  // Set by the window description.
  void SetPage(const GroupBox* page, PageKind kind) { pages_[page] = kind; }
  void SetColumns(const GroupBox* group, int columns) { columns_[group] = columns; }
  void SetBeside(const Component* control, SpeedButton* button) { beside_[control] = button; }
  void SetRow(const Component* control) { rows_.push_back(control); }

  PageKind PageOf(const GroupBox* page) const;
  // Cells side by side in a group (1 unless the description says otherwise).
  int ColumnsOf(const GroupBox* group) const;
  // The button beside a field or list, or null.
  SpeedButton* ButtonBeside(const Component* control) const;
  // The cells of a group or page: its own components in creation order, a caption
  // taken with the control after it, a unit selector with its field, a button with the
  // field it stands beside.
  std::vector<LayoutCell> Cells(const Form& form, const Component* group) const;

 private:
  std::map<const GroupBox*, PageKind> pages_;
  std::map<const GroupBox*, int> columns_;
  std::map<const Component*, SpeedButton*> beside_;
  std::vector<const Component*> rows_;
};

}  // namespace pelmora

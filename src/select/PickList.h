#pragma once
// The pick list: a modal dialog with numbered rows of named values, from which the user
// takes a row or types a value of his own into "输入：". TFormPickList is the dialog's
// state without a toolkit; the Qt dialog and the command line drive the same object.
#include <optional>
#include <string>
#include <vector>

#include "fields/UiPort.h"

namespace pelmora {

class TFormPickList {
 public:
  struct Row {
    std::string no;  // running number from 1
    std::string name;
    std::string value;
    std::string unit;
  };

  std::string caption = "请选择";
  std::string prompt = "请从下列列表中选择";  // LPrompt
  std::vector<Row> rows;                      // PickListView
  int selected = -1;                          // selected row from 0, -1 for none
  std::string input;                          // LEPickStr

  // Fills the dialog for a request: rows in the given order; the first row selected,
  // then every row whose value text equals the current text (the last match stays);
  // the current text in the input field, or the first value (with row 1) when empty.
  void Fill(const PickListRequest& request);
  // PickListViewClick: selects a row and copies its value into the input field.
  void ClickRow(int row);
};

// Shows a pick list through the port. The confirmed text of the input field, or
// nullopt when the list was cancelled or closed.
std::optional<std::string> PickFromList(UiPort& port, const std::vector<std::string>& values,
                                        const std::vector<std::string>& names, const std::string& prompt,
                                        const std::string& caption, const std::string& current,
                                        const std::string& unit);

// The same, returning the current text unchanged when cancelled.
std::string ShowPickList(UiPort& port, const std::vector<std::string>& values, const std::vector<std::string>& names,
                         const std::string& prompt, const std::string& caption, const std::string& current,
                         const std::string& unit);

// The fixed lists: values and names of the coil pitch ratios and of the wall roughness (mm).
const std::vector<std::string>& PitchValues();
const std::vector<std::string>& PitchNames();
const std::vector<std::string>& RoughnessValues();
const std::vector<std::string>& RoughnessNames();

}  // namespace pelmora

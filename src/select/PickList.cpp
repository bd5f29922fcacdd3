#include "select/PickList.h"

namespace pelmora {

void TFormPickList::Fill(const PickListRequest& r) {
  caption = r.caption;
  prompt = r.prompt;
  rows.clear();
  for (size_t i = 0; i < r.values.size(); ++i)
    rows.push_back({std::to_string(i + 1), i < r.names.size() ? r.names[i] : std::string(), r.values[i], r.unit});
  selected = rows.empty() ? -1 : 0;
  for (size_t i = 0; i < rows.size(); ++i)
    if (rows[i].value == r.current) selected = static_cast<int>(i);
  if (!r.current.empty()) {
    input = r.current;
  } else if (!rows.empty()) {
    input = rows.front().value;
    selected = 0;
  } else {
    input.clear();
  }
}

void TFormPickList::ClickRow(int row) {
  if (row < 0 || row >= static_cast<int>(rows.size())) return;
  selected = row;
  input = rows[static_cast<size_t>(row)].value;
}

std::optional<std::string> PickFromList(UiPort& port, const std::vector<std::string>& values,
                                        const std::vector<std::string>& names, const std::string& prompt,
                                        const std::string& caption, const std::string& current,
                                        const std::string& unit) {
  PickListRequest r{values, names, prompt, caption, current, unit};
  return port.PickList(r);
}

std::string ShowPickList(UiPort& port, const std::vector<std::string>& values, const std::vector<std::string>& names,
                         const std::string& prompt, const std::string& caption, const std::string& current,
                         const std::string& unit) {
  return PickFromList(port, values, names, prompt, caption, current, unit).value_or(current);
}

const std::vector<std::string>& PitchValues() {
  static const std::vector<std::string> v = {"1.0", "1.5", "2.0", "2.5", "3.0", "3.5", "4.0"};
  return v;
}
const std::vector<std::string>& PitchNames() {
  static const std::vector<std::string> v = {"空隙=0",     "空隙=0.5Do", "空隙=1.0Do", "空隙=1.5Do",
                                             "空隙=2.0Do", "空隙=2.5Do", "空隙=3.0Do"};
  return v;
}
const std::vector<std::string>& RoughnessValues() {
  static const std::vector<std::string> v = {"0.01", "0.10", "0.30"};
  return v;
}
const std::vector<std::string>& RoughnessNames() {
  static const std::vector<std::string> v = {"无缝黄铜管\\钢管\\铅管", "新无缝钢管\\镀锌铁管", "新铸铁管"};
  return v;
}

}  // namespace pelmora

// The variables of a property text: the names a formula uses, the rows of the value grid
// they take their values from, and the evaluation with those values put in.
#include <algorithm>
#include <cmath>

#include "props/FormulaBuiltins.h"
#include "props/MyValues.h"
#include "props/PropNumbers.h"

namespace pelmora {

using namespace formula;

// Blanks the rows that formulas added, from row 1 on. The rows of the evaluation point,
// t and p, are the user's input and stay: blanking them made the next property of the
// same computation fail with "请指定温度！".
void ClearVariableRows(TMyValues& grid) {
  for (int r = 1; r < grid.RowCount(); ++r) {
    const std::string& n = grid.Cell(TMyValues::kName, r);
    if (n == "t" || n == "p") continue;
    for (int c = 0; c < 4; ++c) grid.SetCell(c, r, "");
  }
}

std::vector<VariableOccurrence> CollectVariables(const std::string& text, TMyValues& grid) {
  if (text.size() > 255) throw RangeCheckError();
  std::vector<VariableOccurrence> found;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (!IsAsciiLetter(c)) continue;
    if (i > 0 && IsAsciiLetter(text[i - 1])) continue;
    if (i + 1 < text.size() && IsAsciiLetter(text[i + 1])) continue;
    if ((c == 'E' || c == 'e') && i > 0 && IsDigit(text[i - 1])) continue;
    if (found.size() >= 100) throw RangeCheckError();
    found.push_back({i, c});
  }
  for (const auto& occ : found) {
    bool present = false;
    for (int r = 0; r < grid.RowCount() && !present; ++r) {
      const std::string& n = grid.Cell(TMyValues::kName, r);
      present = n.size() == 1 && Upper(n[0]) == Upper(occ.letter);
    }
    if (!present) grid.AddValue(std::string(1, occ.letter), "", "", "");
  }
  if (found.empty()) ClearVariableRows(grid);
  return found;
}

std::string SubstituteVariables(const std::string& text, const std::vector<VariableOccurrence>& occurrences,
                                const TMyValues& grid) {
  std::string out;
  out.reserve(text.size() + occurrences.size() * 8);
  size_t from = 0;
  for (const auto& occ : occurrences) {
    if (occ.position < from || occ.position >= text.size()) continue;
    out.append(text, from, occ.position - from);
    out += grid.GetValueOf(std::string(1, occ.letter));
    from = occ.position + 1;
  }
  out.append(text, from, std::string::npos);
  return out;
}

long double EvaluateWithValues(TFormulaParser& parser, const std::string& text, TMyValues* grid) {
  if (text.empty()) {
    if (grid) ClearVariableRows(*grid);
    return 0;
  }
  std::string prepared = text;
  if (grid) {
    auto occurrences = CollectVariables(text, *grid);
    prepared = SubstituteVariables(text, occurrences, *grid);
  }
  parser.SetFormula(prepared);
  return parser.EvaluateFormula();
}

}  // namespace pelmora

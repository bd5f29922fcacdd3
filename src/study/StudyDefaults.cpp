#include "study/StudyDefaults.h"

#include <algorithm>

#include "fields/NumberFormat.h"
#include "fields/Text.h"

namespace pelmora {

const std::vector<std::string>& DefaultStudyOutputs() {
  static const std::vector<std::string> names = {"AtD", "LtD", "TTaD", "KTaD", "WiD", "DpiD"};
  return names;
}

int PreselectedStudyInput(const std::vector<std::string>& offered, int row) {
  const int r = std::clamp(row, 0, 1);
  int pre = 0;
  for (size_t k = 0; k < offered.size(); ++k)
    if (offered[k] == kPreferredStudyInputs[r]) pre = static_cast<int>(k);
  return std::min<int>(pre + (r == 1 && pre == 0 ? 1 : 0), static_cast<int>(offered.size()) - 1);
}

std::optional<std::pair<std::string, std::string>> StudyStartRange(const std::string& text) {
  const auto x = ParseDecimal(TrimStr(text));
  if (!x || *x == 0) return std::nullopt;
  return std::make_pair(Format7(*x * 0.5), Format7(*x * 1.5));
}

}  // namespace pelmora

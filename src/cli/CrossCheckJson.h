#pragma once
// The method check of the last run as JSON: "crosschecks" rows and "recommendedMargin".
#include <string>

#include "calc/CrossCheck.h"

namespace pelmora {

// [{"field", "quantity", "value", "independent", "unit", "method", "source", "note",
//   "deviation", "areaRatio", "level"}, ...]; numbers in SI, null where there is none;
// level "警告", "提示" or "".
std::string CrossChecksJson(const CrossCheckResult& result);
// The margin in % (null without one), then "neededArea" and "crosscheckSummary".
std::string RecommendedMarginJson(const CrossCheckResult& result);

}  // namespace pelmora

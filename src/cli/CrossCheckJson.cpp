#include "cli/CrossCheckJson.h"

#include <cmath>

#include "cli/Json.h"
#include "fields/NumberFormat.h"

namespace pelmora {

namespace {
std::string Number(const std::optional<double>& x) { return x && std::isfinite(*x) ? Format15(*x) : "null"; }
}  // namespace

std::string CrossChecksJson(const CrossCheckResult& result) {
  std::string s = "[";
  for (const CrossCheckRow& r : result.rows) {
    s += std::string(s.size() > 1 ? ", " : "") + "{\"field\": " + JsonString(r.field) +
         ", \"quantity\": " + JsonString(r.quantity) + ", \"value\": " + Number(r.value) +
         ", \"independent\": " + Number(r.independent) + ", \"unit\": " + JsonString(r.unit) +
         ", \"method\": " + JsonString(r.method) + ", \"source\": " + JsonString(r.source) +
         ", \"note\": " + JsonString(r.note) + ", \"deviation\": " + Number(r.deviation) +
         ", \"areaRatio\": " + Number(r.areaRatio) + ", \"level\": " + JsonString(r.level ? LevelText(*r.level) : "") +
         "}";
  }
  return s + "]";
}

std::string RecommendedMarginJson(const CrossCheckResult& result) {
  return Number(result.recommendedMargin) + ",\n  \"neededArea\": " + Number(result.neededArea) +
         ",\n  \"crosscheckSummary\": " + JsonString(result.summary);
}

}  // namespace pelmora

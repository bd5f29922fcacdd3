#include "app/CrossCheckReport.h"

#include "app/PelmoraApp.h"
#include "app/TableText.h"
#include "fields/Text.h"

namespace pelmora {

namespace {

constexpr size_t kIndent = 8;
constexpr size_t kQuantity = 20, kNumber = 12, kDeviation = 9, kLevel = 6;
constexpr size_t kTextColumn = kIndent + kQuantity;  // where the continuation lines start

// The report is written in the Chinese code page, which has no superscript two.
std::string Plain(std::string s) { return ReplaceAll(ReplaceAll(std::move(s), "m²", "m2"), "²", "^2"); }

// `text` broken into rows of the report's width, the blanks at the breaks left out.
void Wrapped(std::vector<std::string>& rows, const std::string& head, const std::string& text, size_t indent) {
  AppendWrapped(rows, head, text, indent, kChecksRowWidth, true);
}

}  // namespace

std::vector<std::string> CrossCheckReportRows(const CrossCheckResult& result) {
  std::vector<std::string> rows;
  if (result.rows.empty()) return rows;
  const std::string indent(kIndent, ' ');
  rows.push_back(indent + PadRight("量", kQuantity) + PadRight("本程序", kNumber) + PadRight("独立方法", kNumber) +
                 PadRight("偏差", kDeviation) + PadRight("级别", kLevel) + "单位");
  for (const CrossCheckRow& r : result.rows) {
    rows.push_back(indent + PadRight(r.quantity, kQuantity) + PadRight(CrossCheckNumber(r.value), kNumber) +
                   PadRight(r.independent ? CrossCheckNumber(r.independent) : "不适用", kNumber) +
                   PadRight(CrossCheckPercent(r.deviation), kDeviation) +
                   PadRight(r.level ? LevelText(*r.level) : "", kLevel) + r.unit);
    const std::string cont(kTextColumn, ' ');
    Wrapped(rows, cont, "方法：" + Plain(r.method) + "（" + r.source + "）", kTextColumn);
    if (!r.note.empty()) Wrapped(rows, cont, Plain(r.note), kTextColumn);
  }
  if (!result.summary.empty()) Wrapped(rows, indent, Plain(result.summary) + "。", kIndent);
  return rows;
}

}  // namespace pelmora

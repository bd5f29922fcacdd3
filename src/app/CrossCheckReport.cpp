#include "app/CrossCheckReport.h"

#include "app/PelmoraApp.h"
#include "fields/Text.h"

namespace pelmora {

namespace {

constexpr size_t kIndent = 8;
constexpr size_t kQuantity = 20, kNumber = 12, kDeviation = 9, kLevel = 6;
constexpr size_t kTextColumn = kIndent + kQuantity;  // where the continuation lines start

// The report is written in the Chinese code page, which has no superscript two.
std::string Plain(std::string s) { return ReplaceAll(ReplaceAll(std::move(s), "m²", "m2"), "²", "^2"); }

// `text` broken into lines of at most kChecksRowWidth columns, each starting at `indent`
// (the first line after `head`, which already fills the indent); a Latin word moves to
// the next line whole, a line may end after a blank or a Chinese character.
void Wrapped(std::vector<std::string>& rows, const std::string& head, const std::string& text, size_t indent) {
  std::string line = head;
  size_t width = GbkWidth(head);
  size_t lastBreak = 0;  // where the line may end
  for (size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const size_t len = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    const size_t w = len == 1 ? 1 : 2;
    if (width + w > kChecksRowWidth) {
      std::string carry;
      if (len == 1 && text[i] != ' ' && lastBreak > head.size()) {
        carry = line.substr(lastBreak);
        line.resize(lastBreak);
      }
      rows.push_back(line);
      line = std::string(indent, ' ') + carry;
      width = indent + GbkWidth(carry);
      lastBreak = 0;
      if (text[i] == ' ') {  // no blank opens a line
        ++i;
        continue;
      }
    }
    line.append(text, i, len);
    width += w;
    i += len;
    if (len > 1 || text[i - 1] == ' ') lastBreak = line.size();
  }
  rows.push_back(line);
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

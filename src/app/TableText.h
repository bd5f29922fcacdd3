#pragma once
// Tables as text for the clipboard: tab-separated rows with a header row, which a
// spreadsheet pastes into cells. A cell holding a tab, a line break or a double quote is
// quoted ("…", inner quotes doubled), as spreadsheets write and read it.
#include <string>
#include <vector>

#include "calc/Checks.h"
#include "fields/Catalogue.h"

namespace pelmora {

using TextTable = std::vector<std::vector<std::string>>;

// Rows joined by line feeds, cells by tabs; the text ends with a line feed.
std::string TabSeparated(const TextTable& rows);

// The name of a control as the user reads it: a value field's label caption (a unit
// selector's field's), a list's label, a group's caption; with its group box's caption
// in full-width brackets when several inputs share the caption ("密度（管程物性）").
std::string ControlCaption(const TFormPelmora& form, const Component* c);

// 复制结果: every enabled value field that shows something and every choice of the
// window, in window order, as 名称 / 数值 / 单位 / 类型 (输入, 结果, or a stale result
// marked as such); then, after an empty row, the design checks of the last run.
TextTable ResultsTable(const TFormPelmora& form, const std::vector<DesignCheck>& checks);
inline constexpr const char* kResultsHeader[] = {"名称", "数值", "单位", "类型"};
inline constexpr const char* kChecksHeader[] = {"级别", "位置", "检查"};
inline constexpr const char* kInputType = "输入";
inline constexpr const char* kResultType = "结果";
inline constexpr const char* kStaleType = "结果（本次计算未完成，为上次计算值）";

// The checks as rows under kChecksHeader (the header included).
TextTable ChecksTable(const TFormPelmora& form, const std::vector<DesignCheck>& checks);

// `text` broken into rows of at most `width` columns (a Chinese character counting two)
// and appended to `rows`: the first row after `head` (which fills the indent), the others
// after `indent` blanks. A Latin word moves to the next row whole; a row may end after a
// blank or a Chinese character. With `dropBlankAtBreak` a blank that would open a row is
// left out (the method check's notes); without, it opens the row (the design checks).
void AppendWrapped(std::vector<std::string>& rows, const std::string& head, const std::string& text, size_t indent,
                   size_t width, bool dropBlankAtBreak);

}  // namespace pelmora

#pragma once
// The report section of the method check: a table in fixed columns counted in GBK
// bytes (quantity, this program, independent value, deviation, level, method), the
// source and the note of each row on the lines below it, and the area and margin the
// check asks for.
#include <string>
#include <vector>

#include "calc/CrossCheck.h"

namespace pelmora {

inline constexpr const char* kCrossCheckHeading = "       方法校核:";
std::vector<std::string> CrossCheckReportRows(const CrossCheckResult& result);

}  // namespace pelmora

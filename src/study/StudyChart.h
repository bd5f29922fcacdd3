#pragma once
// The chart of a parameter study: one result column against the first swept input,
// one curve per value of the second input when there is one.
#include <string>

#include "chart/Canvas.h"
#include "study/Study.h"

namespace pelmora {

// Draws column `output` (counted among the outputs, from 0) of `result`, whose first
// `inputCount` columns are the swept inputs. Failed points leave a gap in their curve.
// Returns false (and draws only an empty frame) when the column has no point to draw.
bool DrawStudyChart(chart::Canvas& canvas, const StudyResult& result, size_t inputCount, size_t output);

// A step of 1, 2 or 5 times a power of ten that divides `span` into about `parts`.
double NiceStep(double span, int parts);

}  // namespace pelmora

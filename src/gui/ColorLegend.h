#pragma once
// The key to the colours that mark computed fields, shown under the fields of the page
// 计算: which balance solved a quantity, and which fields are results.
#include <QWidget>

namespace pelmora::gui {

QWidget* MakeColorLegend(QWidget* parent);

}  // namespace pelmora::gui

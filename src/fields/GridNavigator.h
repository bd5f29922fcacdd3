#pragma once
// The record navigator of a read-only grid (the tube series): first, prior, next and last
// row. Which of its buttons act and where each goes are decided here, for every view.
#include "fields/Components.h"

namespace pelmora {

enum class GridMove { First, Prior, Next, Last };

// False when the move leads nowhere: an empty grid, or the first (last) row current for
// First and Prior (Next and Last).
bool CanMove(const DataGrid& grid, GridMove move);
// Makes the row the move goes to current (its change handler runs); false, and nothing
// changes, when CanMove is false.
bool Move(DataGrid& grid, GridMove move);

}  // namespace pelmora

#include "fields/GridNavigator.h"

namespace pelmora {

bool CanMove(const DataGrid& grid, GridMove move) {
  const int n = static_cast<int>(grid.Rows().size());
  const int cur = grid.Current();
  if (n == 0) return false;
  return move == GridMove::First || move == GridMove::Prior ? cur > 0 : cur < n - 1;
}

bool Move(DataGrid& grid, GridMove move) {
  if (!CanMove(grid, move)) return false;
  const int n = static_cast<int>(grid.Rows().size());
  const int cur = grid.Current();
  switch (move) {
    case GridMove::First: grid.SetCurrent(0); break;
    case GridMove::Prior: grid.SetCurrent(cur - 1); break;
    case GridMove::Next: grid.SetCurrent(cur + 1); break;
    case GridMove::Last: grid.SetCurrent(n - 1); break;
  }
  return true;
}

}  // namespace pelmora

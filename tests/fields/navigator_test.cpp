// The navigator of the tube series grid: which buttons act and where they go, without a
// window.
#include <gtest/gtest.h>

#include "fields/Catalogue.h"
#include "fields/GridNavigator.h"

namespace pelmora {
namespace {

TEST(GridNavigator, ButtonsActOnlyWhereTheyLeadSomewhereAndMoveTheCurrentRow) {
  TFormPelmora f;
  DataGrid& g = *f.DBGPiples;
  g.SetRows({});
  for (GridMove m : {GridMove::First, GridMove::Prior, GridMove::Next, GridMove::Last}) {
    EXPECT_FALSE(CanMove(g, m));
    EXPECT_FALSE(Move(g, m));
  }
  int changes = 0;
  g.OnChange = [&changes](Component*) { ++changes; };
  g.SetRows({{"DN15", "21.3"}, {"DN20", "26.9"}, {"DN25", "33.7"}});
  g.SetCurrent(0);
  changes = 0;
  EXPECT_FALSE(CanMove(g, GridMove::First));
  EXPECT_FALSE(CanMove(g, GridMove::Prior));
  EXPECT_TRUE(CanMove(g, GridMove::Next));
  ASSERT_TRUE(Move(g, GridMove::Last));
  EXPECT_EQ(g.Current(), 2);
  EXPECT_FALSE(Move(g, GridMove::Next));
  EXPECT_EQ(g.Current(), 2);
  ASSERT_TRUE(Move(g, GridMove::Prior));
  EXPECT_EQ(g.Current(), 1);
  ASSERT_TRUE(Move(g, GridMove::First));
  EXPECT_EQ(g.Current(), 0);
  // Each move that went somewhere ran the grid's change handler once (the row's tube is
  // taken over by the window).
  EXPECT_EQ(changes, 3);
}

}  // namespace
}  // namespace pelmora

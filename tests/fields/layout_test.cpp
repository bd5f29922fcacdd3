// The window's arrangement as its description gives it: what a view walking the pages
// lays out must be every control of every group, each once, with its caption, unit
// selector and button in the same row.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "fields/Catalogue.h"

namespace pelmora {
namespace {

// Every cell of a page or group and of the groups inside it.
void Walk(const TFormPelmora& f, const Component* group, std::vector<LayoutCell>& out) {
  for (const LayoutCell& cell : f.Layout().Cells(f, group)) {
    out.push_back(cell);
    if (cell.shape == LayoutCell::Shape::Group) Walk(f, cell.control, out);
  }
}

TEST(Layout, EveryControlOfTheGroupPagesIsPlacedOnceWithItsCaptionUnitAndButton) {
  TFormPelmora f;
  std::vector<LayoutCell> cells;
  std::map<const Component*, int> placed;
  for (GroupBox* page : f.PageControl1->Pages()) {
    const PageKind kind = f.Layout().PageOf(page);
    if (kind == PageKind::Pipes || kind == PageKind::Report) continue;
    std::vector<LayoutCell> own;
    Walk(f, page, own);
    for (const LayoutCell& c : own)
      for (const Component* x : std::initializer_list<const Component*>{c.caption, c.control, c.unit, c.button})
        if (x) ++placed[x];
    cells.insert(cells.end(), own.begin(), own.end());
  }
  // Every component under these pages that a user sees, except the hidden spare unit
  // lists of the page 计算.
  std::vector<std::string> missing, twice;
  for (const Component* c : f.Components()) {
    const Component* page = c;
    while (page->Parent() && page->Parent() != f.PageControl1) page = page->Parent();
    if (page == c || !page->Parent()) continue;
    const PageKind kind = f.Layout().PageOf(As<GroupBox>(page));
    if (kind == PageKind::Pipes || kind == PageKind::Report || !c->Visible()) continue;
    if (!placed.count(c)) missing.push_back(c->Name());
    if (placed.count(c) && placed[c] > 1) twice.push_back(c->Name());
  }
  EXPECT_EQ(missing, std::vector<std::string>{});
  EXPECT_EQ(twice, std::vector<std::string>{});

  // A value field stands with its own caption and unit selector; a button beside a
  // field is one of its group.
  int quantities = 0;
  for (const LayoutCell& c : cells) {
    if (c.shape != LayoutCell::Shape::Quantity) continue;
    ++quantities;
    const auto* field = As<EditD>(c.control);
    ASSERT_TRUE(field) << c.control->Name();
    EXPECT_EQ(c.caption, field->MyLabel()) << field->Name();
    ASSERT_TRUE(c.unit) << field->Name();
    EXPECT_EQ(c.unit->Associated(), field);
    if (c.button) {
      EXPECT_EQ(c.button->Parent(), field->Parent()) << field->Name();
    }
  }
  EXPECT_EQ(quantities, static_cast<int>(f.ValueFields().size()));
  // The property library buttons stand beside the specific heats and the boiling point.
  EXPECT_EQ(f.Layout().ButtonBeside(f.CopD), f.SBP1);
  EXPECT_EQ(f.Layout().ButtonBeside(f.CipvD), f.SBP2v);
  EXPECT_EQ(f.Layout().ButtonBeside(f.nD), f.SBn);
}

// A field added to a group in the description appears in the group's cells in its
// place, with no view naming it.
TEST(Layout, AFieldAddedToAGroupTakesTheNextCell) {
  TFormPelmora f;
  const size_t before = f.Layout().Cells(f, f.GBPrimary).size();
  Label& l = f.Create<Label>("ExtraL", f.GBPrimary, "附加");
  EditD& e = f.Create<EditD>("ExtraD", f.GBPrimary);
  ComboBoxU& u = f.Create<ComboBoxU>("ExtraU", f.GBPrimary, UnitList("Time"));
  e.SetMyLabel(&l);
  u.SetAssociated(&e);
  const auto cells = f.Layout().Cells(f, f.GBPrimary);
  ASSERT_EQ(cells.size(), before + 1);
  EXPECT_EQ(cells.back().shape, LayoutCell::Shape::Quantity);
  EXPECT_EQ(cells.back().caption, &l);
  EXPECT_EQ(cells.back().control, &e);
  EXPECT_EQ(cells.back().unit, &u);
}

}  // namespace
}  // namespace pelmora

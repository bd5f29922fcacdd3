// Pick lists beside the pitch, roughness and expansion-coefficient fields: what the
// dialog offers, and what confirming or cancelling leaves in the field.
#include <gtest/gtest.h>

#include "SelectTestUtil.h"

namespace pelmora {
namespace {

using testing_select::PickAction;
using testing_select::Window;

TEST(PickListDialog, SelectionRulesFollowTheCurrentText) {
  TFormPickList d;
  d.Fill({{"1", "2", "1"}, {"a", "b", "c"}, "p", "c", "1", "u"});
  EXPECT_EQ(d.selected, 2) << "the last matching row stays selected";
  EXPECT_EQ(d.input, "1");
  d.Fill({{"1", "2"}, {"a", "b"}, "p", "c", "", "u"});
  EXPECT_EQ(d.selected, 0);
  EXPECT_EQ(d.input, "1");
  d.ClickRow(1);
  EXPECT_EQ(d.input, "2");
  d.ClickRow(7);  // outside the list: nothing changes
  EXPECT_EQ(d.selected, 1);
  d.Fill({{}, {}, "p", "c", "", "u"});
  EXPECT_EQ(d.selected, -1);
  EXPECT_EQ(d.input, "");
}

TEST(PitchList, RowsMatchingAndCancel) {
  Window w;
  w.f().DspD->SetText("2.0");
  ASSERT_TRUE(w.Click("SBP3Click"));
  const TFormPickList& d = w.port.shown.back();
  EXPECT_EQ(d.caption, "螺距选择");
  EXPECT_EQ(d.prompt, "螺距和外管径之比");
  ASSERT_EQ(d.rows.size(), 7u);
  EXPECT_EQ(d.rows[0].name, "空隙=0");
  EXPECT_EQ(d.rows[6].name, "空隙=3.0Do");
  EXPECT_EQ(d.rows[6].value, "4.0");
  EXPECT_EQ(d.rows[3].unit, "-");
  EXPECT_EQ(d.selected, 2) << "\"2.0\" selects row 3";
  EXPECT_EQ(d.input, "2.0");
  EXPECT_EQ(w.f().DspD->Text(), "2.0") << "cancel leaves the field";

  w.f().DspD->SetText("2");
  w.port.actions = {{PickAction::Row, 5, ""}};
  ASSERT_TRUE(w.Click("SBP3Click"));
  EXPECT_EQ(w.port.shown.back().selected, 0) << "\"2\" matches no row; row 1 stays selected";
  EXPECT_EQ(w.port.shown.back().input, "2");
  EXPECT_EQ(w.f().DspD->Text(), "3.0");
}

TEST(RoughnessList, EmptyFieldTypedValueAndCancelWritesNothing) {
  Window w;
  w.port.actions = {{PickAction::Row, 0, ""}};
  w.port.actions[0].kind = PickAction::Type;
  w.port.actions[0].text = "0.01";
  ASSERT_TRUE(w.Click("SBDLTClick"));
  const TFormPickList& d = w.port.shown.back();
  EXPECT_EQ(d.caption, "管道绝对粗糟度选择");
  EXPECT_EQ(d.prompt, "绝对粗糟度");
  ASSERT_EQ(d.rows.size(), 3u);
  EXPECT_EQ(d.rows[0].name, "无缝黄铜管\\钢管\\铅管");
  EXPECT_EQ(d.rows[1].value, "0.10");
  EXPECT_EQ(d.rows[2].unit, "mm");
  EXPECT_EQ(d.input, "0.01") << "an empty field offers the first value";
  EXPECT_EQ(d.selected, 0);
  EXPECT_DOUBLE_EQ(w.f().EiD->GetValue(), 0.00001);

  w.port.actions = {{PickAction::Type, 0, "0.05"}};
  ASSERT_TRUE(w.Click("SBDLTClick"));
  EXPECT_EQ(w.port.shown.back().input, "0.01") << "the field's value shown in mm with two decimals";
  EXPECT_DOUBLE_EQ(w.f().EiD->GetValue(), 0.00005);

  // A cancelled list writes nothing: the value is not rounded to 0.01 mm.
  for (const char* text : {"0.000123", "0.0000015"}) {
    w.f().EiD->SetText(text);
    ASSERT_TRUE(w.Click("SBDLTClick"));
    EXPECT_EQ(w.f().EiD->Text(), text);
  }
  EXPECT_EQ(w.port.shown.back().input, "0.00");

  // A typed text that is not a number is reported and leaves the field.
  w.port.actions = {{PickAction::Type, 0, "abc"}};
  EXPECT_FALSE(w.Click("SBDLTClick"));
  EXPECT_EQ(w.f().EiD->Text(), "0.0000015");
  EXPECT_EQ(w.port.Messages().back(), "'abc' is not a valid floating point value");
}

TEST(ExpansionList, RowsFromTheCatalogueSelectionAndCancel) {
  Window w;
  const size_t rows = w.app->select.catalogue.expands.size();
  w.f().BtoD->SetText("0.001101");
  w.port.actions = {{PickAction::Row, 3, ""}};
  ASSERT_TRUE(w.Click("SBP11Click"));
  const TFormPickList& d = w.port.shown.back();
  EXPECT_EQ(d.caption, "液体膨胀系数选择");
  EXPECT_EQ(d.prompt, "膨胀系数");
  EXPECT_EQ(d.rows.size(), rows);
  EXPECT_EQ(d.rows[0].name, "水（20 ℃）");
  EXPECT_EQ(d.rows[0].value, "0.000207");
  EXPECT_EQ(d.rows[0].unit, "1/K");
  EXPECT_EQ(d.rows[1].name, "乙醇（20 ℃）");
  EXPECT_EQ(d.selected, 1) << "a BtoD equal to a listed value text selects that row";
  EXPECT_EQ(w.f().BtoD->Text(), "0.001199") << "row 3 (methanol) in 1/K";
  EXPECT_DOUBLE_EQ(w.f().BtoD->GetValue(), 0.001199);

  // Cancelling writes nothing, whatever the field shows.
  for (const char* text : {"3.9e-4", "abc", ""}) {
    w.f().BtoD->SetText(text);
    EXPECT_TRUE(w.Click("SBP11Click")) << text;
    EXPECT_EQ(w.f().BtoD->Text(), text);
  }
}

TEST(ExpansionList, SmallLargeAndMissingCoefficients) {
  Window w;
  auto& ex = w.app->select.catalogue.expands;
  ex.clear();
  ex.push_back({1, "a", 0.5});
  ex.push_back({2, "b", std::nullopt});
  ex.push_back({3, "c", 2.1});
  ex.push_back({4, "d", 1e15});
  w.port.actions = {{PickAction::Row, 1, ""}};
  ASSERT_TRUE(w.Click("SBP11Click"));
  const TFormPickList& d = w.port.shown.back();
  ASSERT_EQ(d.rows.size(), 3u) << "a row without a coefficient is left out";
  EXPECT_EQ(d.rows[1].name, "c（20 ℃）");
  EXPECT_EQ(d.rows[1].value, "0.00021");
  EXPECT_EQ(d.rows[2].value, "100000000000");
  EXPECT_DOUBLE_EQ(w.f().BtoD->GetValue(), 0.00005) << d.rows[0].value;
}

}  // namespace
}  // namespace pelmora

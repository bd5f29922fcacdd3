// The unit-tagged value field and its unit selector, as the calculation and the user see
// them: SI values through the unit factor, the two blank/invalid messages with the
// silent abort, rescaling on unit changes, the display overlay, and the result looks.
#include <gtest/gtest.h>

#include "fields/Catalogue.h"
#include "fields/Errors.h"
#include "fields/FieldOps.h"
#include "fields/Text.h"
#include "fields/UiPort.h"

namespace pelmora {
namespace {

struct LengthField : ::testing::Test {
  ScriptedPort port;
  Form form{&port};
  Label& label = form.Create<Label>("LenL", nullptr, "管外径");
  EditD& field = form.Create<EditD>("LenD", nullptr);
  ComboBoxU& unit = form.Create<ComboBoxU>("LenU", nullptr, UnitList("Length"));
  LengthField() {
    field.SetMyLabel(&label);
    unit.SetAssociated(&field);
    unit.Loaded();
  }
};

TEST_F(LengthField, ValueIsNumberTimesUnitFactor) {
  field.SetText("25");
  unit.UserSelect(3);  // mm
  EXPECT_EQ(field.Text(), "25000");
  EXPECT_DOUBLE_EQ(field.GetValue(), 25.0);
  field.SetValue(0.025);
  EXPECT_EQ(field.Text(), "25");
  EXPECT_EQ(unit.GetUnit(), "mm");
}

TEST_F(LengthField, SwitchingUnitsBackAndForthKeepsTheNumber) {
  field.SetText("1.5");
  unit.UserSelect(3);
  EXPECT_EQ(field.Text(), "1500");
  unit.UserSelect(0);
  EXPECT_EQ(field.Text(), "1.5");
  field.SetText("0.123456789012345");
  for (int i : {1, 2, 3, 0, 2, 0}) unit.UserSelect(i);
  EXPECT_NEAR(field.GetValue(), 0.123456789012345, 1e-15);
}

TEST_F(LengthField, SwitchingTheUnitOfAnEmptyFieldOnlyChangesTheFactor) {
  unit.UserSelect(2);
  EXPECT_EQ(field.Text(), "");
  EXPECT_DOUBLE_EQ(field.Exchange(), 0.01);
  field.SetText("abc");
  unit.UserSelect(0);  // a non-number is left alone, without a message
  EXPECT_EQ(field.Text(), "abc");
  EXPECT_DOUBLE_EQ(field.Exchange(), 1.0);
  EXPECT_TRUE(port.events.empty());
}

TEST_F(LengthField, InvalidTextNamesTheCaptionAndAbortsSilently) {
  field.SetMyResolved(false);
  field.SetText("abc");
  EXPECT_THROW(field.GetValue(), SilentAbort);
  ASSERT_EQ(port.Messages().size(), 1u);
  EXPECT_EQ(port.Messages()[0], "管外径是错误数据");
  EXPECT_EQ(field.Text(), " ");
  EXPECT_EQ(form.Focused(), &field);
  EXPECT_TRUE(field.selectAllRequested);
  // The single blank counts as filled, and the field is drawn as must-input.
  EXPECT_TRUE(AllFilled({&field}));
  EXPECT_EQ(field.DrawOverlay().text, "[Must input]");
}

TEST_F(LengthField, BlankFieldAsksForTheValue) {
  EXPECT_THROW(field.GetValue(), SilentAbort);
  EXPECT_EQ(port.Messages().at(0), "警告:“管外径”是空白,请补充.");
}

TEST(ValueFieldMessages, WithoutLabelTheComponentNameStandsForTheCaption) {
  ScriptedPort port;
  Form form(&port);
  EditD& f = form.Create<EditD>("TaoD", nullptr);
  EXPECT_THROW(f.GetValue(), SilentAbort);
  f.SetText("x");
  EXPECT_THROW(f.GetValue(), SilentAbort);
  EXPECT_EQ(port.Messages(), (std::vector<std::string>{"警告:“TaoD”是空白,请补充.", "TaoD是错误数据"}));
}

TEST(ValueFieldOverlay, DisplayFormAndMustInputCue) {
  Form form;
  EditD& f = form.Create<EditD>("XD", nullptr);
  f.SetText("3.14159265358979");
  EXPECT_EQ(f.DrawOverlay().text, "3.141593");
  f.SetValue(0.0000125);
  EXPECT_EQ(f.Text(), "1.25E-5");
  EXPECT_EQ(f.DrawOverlay().text, "1.25E-0005");
  f.SetText("2.5");  // the display form equals the text: nothing drawn
  EXPECT_FALSE(f.DrawOverlay().draw);
  f.SetText("");
  EXPECT_FALSE(f.DrawOverlay().draw);  // resolvable: no cue
  f.SetMyResolved(false);
  EXPECT_EQ(f.DrawOverlay().text, "[Must input]");
  EXPECT_FALSE(f.DrawOverlay().grey);
  f.SetEnabled(false);
  EXPECT_TRUE(f.DrawOverlay().grey);
  f.SetEnabled(true);
  f.SetReadOnly(true);  // a read-only must-input field never shows the cue
  EXPECT_FALSE(f.DrawOverlay().draw);
  f.SetText(" 12 ");  // not a complete number untrimmed: the trimmed text is shown
  EXPECT_EQ(f.FloatStr(), "12");
}

TEST(PutResult, WritesOnlyChangesOfAtLeastTheTolerance) {
  Form form;
  EditD& f = form.Create<EditD>("AtD", nullptr);
  const Color result = RGBColor(201, 239, 254);
  f.SetText("100");
  EXPECT_EQ(PutResult(f, result, 0.01, 100.5), nullptr);
  EXPECT_EQ(f.Text(), "100");
  EXPECT_EQ(f.GetColor(), colors::Window);
  EXPECT_EQ(PutResult(f, result, 0.01, 101), &f);  // exactly at the tolerance writes
  EXPECT_EQ(f.Text(), "101");
  EXPECT_EQ(f.GetColor(), 16707529);
  EXPECT_TRUE(f.ReadOnly());
  EXPECT_EQ(f.GetCursor(), Cursor::No);
  // An old value of zero compares the absolute difference.
  f.SetText("0");
  EXPECT_EQ(PutResult(f, result, 0.01, 0.005), nullptr);
  EXPECT_EQ(PutResult(f, result, 0.01, 0.02), &f);
  // An empty field is always written.
  f.SetText("");
  EXPECT_EQ(PutResult(f, result, 1e9, 1.0), &f);
  // Deviation is measured in SI units, whatever unit is shown.
  f.SetExchange(1000);
  f.SetText("1");
  EXPECT_EQ(PutResult(f, result, 0.01, 1005), nullptr);
  EXPECT_EQ(PutResult(f, result, 0.01, 1200), &f);
  EXPECT_EQ(f.Text(), "1.2");
}

TEST(ReleaseResult, RestoresAnEditableEmptyInput) {
  Form form;
  EditD& f = form.Create<EditD>("QoD", nullptr);
  EXPECT_EQ(ReleaseResult(f), nullptr);
  f.SetColor(RGBColor(255, 255, 0));
  EXPECT_EQ(ReleaseResult(f), &f);  // empty but coloured
  EXPECT_EQ(f.GetColor(), colors::Window);
  PutResult(f, RGBColor(255, 255, 0), 1e-6, 4186);
  EXPECT_EQ(ReleaseResult(f), &f);
  EXPECT_EQ(f.Text(), "");
  EXPECT_FALSE(f.ReadOnly());
  EXPECT_EQ(f.GetCursor(), Cursor::Default);
}

TEST(UnitItems, FactorAfterTheBarAndNameBeforeIt) {
  EXPECT_DOUBLE_EQ(ComboBoxU::ItemFactor("MPa                 |1.0e6   "), 1.0e6);
  EXPECT_EQ(ComboBoxU::ItemUnit("MPa                 |1.0e6   "), "MPa");
  EXPECT_EQ(ComboBoxU::ItemUnit("  bare  "), "bare");
  EXPECT_THROW(ComboBoxU::ItemFactor("x|y"), ConversionError);
  // The factor is read from at most 50 characters after the bar.
  EXPECT_DOUBLE_EQ(ComboBoxU::ItemFactor("u|" + std::string(49, ' ') + "7" + "9"), 7.0);
  // The bar stands at the fortieth column, a Chinese character counting two.
  for (const char* list : {"Pressure", "PitchRatio", "Temperature"})
    for (const auto& item : UnitList(list)) EXPECT_EQ(GbkWidth(item.substr(0, item.find('|'))), 40u) << item;
}

}  // namespace
}  // namespace pelmora

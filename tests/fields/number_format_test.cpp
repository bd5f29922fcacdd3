// Number texts of value fields: the 15-digit stored form, the 7-digit display form and
// the strict decimal syntax.
#include <gtest/gtest.h>

#include <clocale>

#include "fields/Errors.h"
#include "fields/NumberFormat.h"

namespace pelmora {
namespace {

TEST(NumberFormat, StoredFormKeepsFifteenDigitsAndSwitchesToExponentBelowTenThousandth) {
  EXPECT_EQ(Format15(0.0000125), "1.25E-5");
  EXPECT_EQ(Format15(1234.56789), "1234.56789");
  EXPECT_EQ(Format15(2.5e7), "25000000");
  EXPECT_EQ(Format15(2e20), "2E20");
  EXPECT_EQ(Format15(1.5e-5), "1.5E-5");
  EXPECT_EQ(Format15(0.0001), "0.0001");
  EXPECT_EQ(Format15(1.5 * 3600 / 3600), "1.5");
  EXPECT_EQ(Format15(1.5 / 3600), "0.000416666666666667");
  EXPECT_EQ(Format15(-42.5), "-42.5");
  EXPECT_EQ(Format15(0), "0");
  EXPECT_EQ(Format15(1e15), "1E15");
  EXPECT_EQ(Format15(999999999999999), "999999999999999");
  EXPECT_EQ(Format15(0.1 + 0.2), "0.3");
}

TEST(NumberFormat, DisplayFormHasSevenDigitsAndFourExponentDigits) {
  EXPECT_EQ(Format7(0.0000125), "1.25E-0005");
  EXPECT_EQ(Format7(2.5e7), "2.5E0007");
  EXPECT_EQ(Format7(1234.56789), "1234.568");
  EXPECT_EQ(Format7(3.14159265358979), "3.141593");
  EXPECT_EQ(Format7(9999999.4), "9999999");
  EXPECT_EQ(Format7(9999999.6), "1E0007");
  EXPECT_EQ(Format7(-1.5e-5), "-1.5E-0005");
  EXPECT_EQ(Format7(1.5 / 3600), "0.0004166667");
}

TEST(NumberFormat, DecimalSyntaxIsStrict) {
  EXPECT_EQ(ParseDecimal("25"), 25.0);
  EXPECT_EQ(ParseDecimal("-1.5e3"), -1500.0);
  EXPECT_EQ(ParseDecimal("+2.5E-2"), 0.025);
  EXPECT_EQ(ParseDecimal(".5"), 0.5);
  EXPECT_EQ(ParseDecimal("5."), 5.0);
  for (const char* bad : {"", " ", "abc", "1,5", "1e", "1e+", "--1", "1.2.3", " 1", "1 ", "inf", "nan", "0x10", "."})
    EXPECT_FALSE(ParseDecimal(bad).has_value()) << bad;
  EXPECT_EQ(StrToFloat("  1.0e6   "), 1.0e6);
  EXPECT_THROW(StrToFloat("abc"), ConversionError);
  try {
    StrToFloat("x1");
  } catch (const ConversionError& e) {
    EXPECT_STREQ(e.what(), "'x1' is not a valid floating point value");
  }
}

TEST(NumberFormat, DoesNotDependOnTheLocale) {
  const char* old = std::setlocale(LC_NUMERIC, nullptr);
  std::string saved = old ? old : "C";
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") || std::setlocale(LC_NUMERIC, "fr_FR.UTF-8")) {
    EXPECT_EQ(Format15(1.25), "1.25");
    EXPECT_EQ(ParseDecimal("1.25"), 1.25);
  }
  std::setlocale(LC_NUMERIC, saved.c_str());
}

}  // namespace
}  // namespace pelmora

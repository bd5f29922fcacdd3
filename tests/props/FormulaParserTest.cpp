#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "props/FormulaParser.h"
#include "props/MyValues.h"
#include "props/PropNumbers.h"

using namespace pelmora;

namespace {

struct Result {
  long double value;
  int code;
};

Result Eval(const std::string& text) {
  TFormulaParser p;
  long double v = p.Evaluate(text);
  return {v, p.ErrorCode()};
}

void ExpectValue(const std::string& text, long double expected, long double tol = 1e-15L) {
  Result r = Eval(text);
  EXPECT_EQ(r.code, 0) << text;
  EXPECT_NEAR(static_cast<double>(r.value), static_cast<double>(expected), static_cast<double>(tol)) << text;
}

void ExpectCode(const std::string& text, int code) {
  Result r = Eval(text);
  EXPECT_EQ(r.code, code) << text;
  EXPECT_EQ(r.value, 0) << text;
}

}  // namespace

TEST(FormulaParser, PrecedenceAndAssociativity) {
  ExpectValue("1+2*3", 7);
  ExpectValue("(1+2)*3", 9);
  ExpectValue("2^3^2", 64, 1e-12L);
  ExpectValue("(-2)^3", -8, 1e-12L);
  ExpectValue("-2^2", 4, 1e-12L);
  ExpectValue("2^-1", 0.5, 1e-15L);
  ExpectValue("10-4-3", 3);
  ExpectValue("12/3/2", 2);
  ExpectValue("3 - -5", 8);
  ExpectValue("1 & 2 < 3", 1);
  ExpectValue("1+1=2 & 0", 1);
  ExpectValue(" 7 ", 7);
  ExpectValue("SQ RT(4)", 2);
}

TEST(FormulaParser, PowersThroughLogarithms) {
  ExpectValue("0^0", 0);
  ExpectValue("0^-1", 0);
  ExpectCode("(-8)^(1/3)", kErrComplexPower);
  ExpectCode("10^38", kErrRange);
  ExpectValue("10^37", 1e37L, 1e24L);
}

TEST(FormulaParser, RangeTests) {
  ExpectCode("1/0", kErrDivZero);
  ExpectValue("0/5", 0);
  ExpectValue("5*0", 0);
  ExpectCode("1E20*1E20", kErrRange);
  ExpectCode("1E-20*1E-20", kErrRange);
  ExpectCode("1E-20/1E20", kErrRange);
  ExpectCode("9E37+9E37", kErrRange);
  ExpectValue("9E36+9E36", 1.8E37L, 1e24L);
  ExpectCode("SQR(1E20)", kErrRange);
  ExpectCode("SQR(1E-20)", kErrRange);
  ExpectValue("SQR(0)", 0);
  ExpectValue("SQR(-3)", 9, 1e-15L);
  ExpectCode("EXP(88)", kErrRange);
  ExpectValue("EXP(2)", std::exp(2.0), 1e-14L);
  ExpectCode("SUM(9E37,9E37)", kErrRange);
  ExpectValue("SUM(1,2,3)", 6);
}

TEST(FormulaParser, NumbersAndLeftOverText) {
  ExpectValue(".5", 0.5);
  ExpectValue("5.", 5);
  ExpectValue("1.E3", 1000);
  ExpectValue("2e5", 2e5L);
  ExpectValue("1.5E-3", 1.5e-3L, 1e-18L);
  ExpectCode("1..2", kErrNumber);
  ExpectCode("1E", kErrNumber);
  ExpectCode("2EXP(1)", kErrNumber);
  ExpectCode("2 3", kErrUnknown);
  ExpectCode("2(3)", kErrUnknown);
  ExpectCode("SIN(1)X", kErrUnknown);
  ExpectCode("- 5", kErrUnknown);
  ExpectValue("-5", -5);
  ExpectValue("1<2<3", 1);
  ExpectValue("1,2", 1);
  ExpectValue("1)+(2", 1);  // balanced count, ")" ends the relation
  ExpectCode("1\xE4", kErrUnknown);
  ExpectCode("1\t", kErrUnknown);
}

TEST(FormulaParser, EmptyAndParentheses) {
  ExpectCode("", kErrEmpty);
  ExpectCode("    ", kErrEmpty);
  ExpectCode("(1+2", kErrParens);
  ExpectCode(")1+2(", kErrUnknown);
  ExpectCode("(1,2)", kErrParens);
  ExpectCode("LENGTH('(')", kErrParens);  // parentheses in strings are counted too
}

TEST(FormulaParser, Comparisons) {
  ExpectValue("1<2", 1);
  ExpectValue("2<=2", 1);
  ExpectValue("2< =2", 1);
  ExpectValue("1<>1", 0);
  ExpectValue("3>=4", 0);
  ExpectValue("3>2", 1);
  ExpectValue("3=3", 1);
  ExpectValue("1 & 0", 0);
  ExpectValue("1 | 0", 1);
  ExpectValue("0 | 0", 0);
  ExpectCode("2 & 1", kErrNotBoolean);
  ExpectCode("1 | 2", kErrNotBoolean);
}

TEST(FormulaParser, TrigonometryAndDomains) {
  ExpectValue("sin(pi/2)", 1, 1e-18L);
  ExpectValue("TAN(0)", 0);
  ExpectCode("TAN(PI/2)", kErrTan);
  ExpectCode("TAN(3*PI/2)", kErrTan);
  ExpectValue("SEC(0)", 1);
  ExpectCode("SEC(PI/2)", kErrSec);
  ExpectCode("CSC(0)", kErrCsc);
  ExpectCode("CSC(PI)", kErrCsc);
  ExpectCode("COT(0)", kErrCot);
  ExpectValue("COT(PI/4)", 1, 1e-15L);
  ExpectValue("COS(1E19)", 0);
  ExpectValue("SIN(-1E19)", 0);
  ExpectValue("DEG(PI)", 180, 1e-15L);
  ExpectValue("RAD(180)", 3.14159265358979323846L, 1e-18L);
  ExpectValue("ARCTAN(1)*4", 3.14159265358979323846L, 1e-18L);
  ExpectValue("PI()", 3.14159265358979323846L, 1e-18L);
}

TEST(FormulaParser, HyperbolicFunctions) {
  ExpectValue("SINH(1)", std::sinh(1.0), 1e-15L);
  ExpectValue("COSH(1)", std::cosh(1.0), 1e-15L);
  ExpectValue("TANH(1)", std::tanh(1.0), 1e-15L);
  ExpectValue("SECH(0)", 1);
  ExpectCode("SINH(88)", kErrParamLarge);
  ExpectCode("CSCH(0)", kErrCsch);
  ExpectCode("COTH(0)", kErrCoth);
  ExpectValue("ARCSINH(SINH(2))", 2, 1e-15L);
  ExpectValue("ARCCOSH(1)", 0);
  ExpectCode("ARCCOSH(0.5)", kErrArcCosh);
  ExpectCode("ARCCOSH(1E19)", kErrParamLarge);
  ExpectValue("ARCTANH(0.5)", std::atanh(0.5), 1e-15L);
  ExpectCode("ARCTANH(1)", kErrArcTanh);
  ExpectCode("ARCCSCH(0)", kErrArcCsch);
  ExpectValue("ARCCSCH(2)", std::asinh(0.5), 1e-15L);
  ExpectCode("ARCSECH(0)", kErrArcSech);
  ExpectCode("ARCSECH(1.5)", kErrArcSech);
  ExpectValue("ARCSECH(1)", 0);
  ExpectCode("ARCCOTH(1)", kErrArcCoth);
  ExpectValue("ARCCOTH(2)", std::atanh(0.5), 1e-15L);
  ExpectValue("ARCSINH(-1E10)", std::asinh(-1e10), 1e-9L);
}

TEST(FormulaParser, NumericFunctions) {
  ExpectValue("SGN(0)", 1);
  ExpectValue("SGN(-3)", -1);
  ExpectValue("ROUND(2.5)", 3);
  ExpectValue("ROUND(-2.5)", -3);
  ExpectValue("ROUND(3E9+0.5)", 3E9L + 0.5L);
  ExpectValue("INT(-2.7)", -2);
  ExpectValue("FRAC(-2.7)", -0.7, 1e-15L);
  ExpectValue("ABS(-3)", 3);
  ExpectValue("LN(E)", 1, 1e-18L);
  ExpectValue("LOG(1000)", 3, 1e-15L);
  ExpectCode("LN(0)", kErrLog);
  ExpectCode("LOG(-1)", kErrLog);
  ExpectCode("SQRT(-1)", kErrSqrt);
  ExpectValue("SQRT(2)^2", 2, 1e-15L);
  ExpectValue("MAX(1,7,3)", 7);
  ExpectValue("MIN(4,-2)", -2);
  ExpectCode("MAX(5)", kErrArgCount);
  ExpectValue("AVG(2,4)", 3);
  ExpectValue("AVGERAGE(2,4)", 3);
  ExpectCode("MEAN(1,2)", kErrNotImplemented);
  ExpectValue("STD(1,1)", std::sqrt(2 - 0.25), 1e-15L);
  ExpectValue("STDEV(3,4)", std::sqrt(25 - (3.5 / 2) * (3.5 / 2)), 1e-15L);
}

TEST(FormulaParser, LogicalFunctionsAndIf) {
  ExpectValue("IF(1,10,20)", 10);
  ExpectValue("IF(0,10,20)", 20);
  ExpectCode("IF(2,10,20)", kErrIfCondition);
  ExpectCode("IF(1,2)", kErrIfCount);
  ExpectCode("IF(1,10,LN(0))", kErrLog);
  ExpectValue("NOT(1)", 0);
  ExpectCode("NOT(2)", kErrNotBoolean);
  ExpectValue("XOR(1,1)", 0);
  ExpectValue("XOR(1,0)", 1);
  ExpectValue("OR(0,1)", 1);
  ExpectValue("AND(1,1,1)", 1);
  ExpectValue("AND(1,0)", 0);
  ExpectCode("AND(1,3)", kErrNotBoolean);
  ExpectValue("TRUE+TRUE()", 2);
  ExpectValue("FALSE", 0);
  ExpectCode("FOO(1)", kErrNoFunction);
  ExpectCode("SIN", kErrArgCount);
  ExpectCode("SIN(1,2)", kErrArgCount);
  ExpectCode("XOR(1)", kErrArgCount);
  ExpectCode("PI(1)", kErrArgCount);
}

TEST(FormulaParser, Strings) {
  ExpectValue("LENGTH('a b')", 2);
  ExpectValue("LENGTH(\"abc\")", 3);
  ExpectValue("LENGTH", 0);
  ExpectCode("LENGTH('abc)", kErrStringEnd);
  ExpectCode("LENGTH(abc)", kErrNoString);
  ExpectValue("STRCOMP('x','X')", 1);
  ExpectValue("STRCOMP('Abc','a b c')", 1);
  ExpectValue("STRCOMP('ab','abc')", 0);
  ExpectCode("STRCOMP('ab' 'abc')", kErrArgCount);
  ExpectCode("STRCOMP('ab',abc)", kErrNoString);
}

TEST(FormulaParser, RandomNumbers) {
  TFormulaParser p;
  for (int i = 0; i < 200; ++i) {
    long double r = p.Evaluate("RAND");
    ASSERT_EQ(p.ErrorCode(), 0);
    ASSERT_GE(r, 0);
    ASSERT_LT(r, 1);
    long double n = p.Evaluate("RND(6)");
    ASSERT_EQ(p.ErrorCode(), 0);
    ASSERT_TRUE(n == std::floor(n) && n >= 0 && n <= 5);
  }
  ExpectValue("RND(0)", 0);
  ExpectCode("RND(2.5)", kErrRndRange);
  ExpectCode("RND(3E9)", kErrRndRange);
}

TEST(FormulaParser, FirstErrorCounts) {
  ExpectCode("LN(0)/0", kErrLog);
  ExpectCode("SQRT(-1)+LN(0)", kErrSqrt);
  TFormulaParser p;
  p.Evaluate("1/0");
  EXPECT_EQ(p.ErrorCode(), kErrDivZero);
  p.SetError(kErrLog);
  EXPECT_EQ(p.ErrorCode(), kErrDivZero);
  EXPECT_EQ(p.ErrorMessage(), "被0除");
  p.Evaluate("2");
  EXPECT_EQ(p.ErrorCode(), 0);
  p.SetFormula("3*4");
  EXPECT_EQ(p.EvaluateFormula(), 12);
}

TEST(FormulaParser, MessagesAndFunctionTable) {
  TFormulaParser p;
  EXPECT_EQ(p.Formula(), "0");
  EXPECT_EQ(p.Message(0), "结果正确");
  EXPECT_EQ(p.Message(36), "条件表达式值应为\"是\"或\"否\"");
  EXPECT_EQ(p.Message(11), "Intermediate result out of range");
  auto lines = p.FunctionLines();
  ASSERT_EQ(lines.size(), 52u);
  EXPECT_EQ(lines.front(), "ARCTAN=1");
  EXPECT_EQ(lines[3], "PI=0");
  EXPECT_EQ(lines[49], "LENGTH=8");
  EXPECT_EQ(lines[50], "STRCOMP=9");
  EXPECT_EQ(lines.back(), "IF=3");
  auto messages = p.MessageLines();
  EXPECT_EQ(messages.size(), 37u);
  EXPECT_EQ(messages[3], "3=( ) 不匹配");
  p.RegisterMessage(9, "division by zero");
  EXPECT_EQ(p.Message(9), "division by zero");
  p.RegisterMessage(99, "own");
  EXPECT_EQ(p.MessageLines().back(), "99=own");
}

TEST(FormulaParser, RegisterFunction) {
  TFormulaParser p;
  TOperationTable owner;
  owner.AddOperation("Twice", [](TFormulaParser&, const FunctionArgs& a) { return 2 * a.a; });
  p.RegisterFunction(&owner, "twice", kFormOne);
  EXPECT_EQ(p.ErrorCode(), 0);
  EXPECT_EQ(p.FunctionLines().back(), "TWICE=1");
  EXPECT_EQ(p.Evaluate("TWICE(4)+twice(1)"), 10);

  p.RegisterFunction(&owner, "Sin", kFormOne);
  EXPECT_EQ(p.ErrorCode(), kErrExists);
  EXPECT_EQ(p.FunctionLines().size(), 53u);  // nothing added

  p.SetFormula("0");
  p.RegisterFunction(&owner, "9X", kFormNone);
  EXPECT_EQ(p.ErrorCode(), kErrBadName);
  EXPECT_EQ(p.FunctionLines().size(), 54u);  // added all the same

  p.SetFormula("0");
  p.RegisterFunction(&owner, "A$B", kFormNone);
  EXPECT_EQ(p.ErrorCode(), kErrBadName);

  p.RegisterFunction(&owner, "HALF", kFormOne);  // the owner has no such operation
  EXPECT_EQ(p.Evaluate("HALF(4)"), 0);
  EXPECT_EQ(p.ErrorCode(), kErrNoFunction);

  p.RegisterFunction(nullptr, "ORPHAN", kFormNone);
  EXPECT_EQ(p.Evaluate("ORPHAN"), 0);
  EXPECT_EQ(p.ErrorCode(), kErrNoOwner);

  // An operation may raise its own error.
  owner.AddOperation("Fail", [](TFormulaParser& q, const FunctionArgs&) {
    q.SetError(kErrLog);
    return 5.0L;
  });
  p.RegisterFunction(&owner, "FAIL", kFormNone);
  EXPECT_EQ(p.Evaluate("1+FAIL"), 0);
  EXPECT_EQ(p.ErrorCode(), kErrLog);
}

TEST(FormulaParser, DeepNestingEndsWithAnError) {
  for (int depth : {150, 100000}) {
    std::string parens =
        std::string(static_cast<size_t>(depth), '(') + "1" + std::string(static_cast<size_t>(depth), ')');
    Result r = Eval(parens);
    if (depth == 150) {
      EXPECT_EQ(r.code, 0);
      EXPECT_EQ(r.value, 1);
    } else {
      EXPECT_EQ(r.code, kErrTooMany);
    }
  }
  std::string signs(100000, '-');
  EXPECT_EQ(Eval(signs + "1").code, kErrTooMany);
  std::string calls;
  for (int i = 0; i < 50000; ++i) calls += "SIN(";
  calls += "1" + std::string(50000, ')');
  EXPECT_EQ(Eval(calls).code, kErrTooMany);
  std::string ands = "1";
  for (int i = 0; i < 50000; ++i) ands += "&1";
  EXPECT_EQ(Eval(ands).code, kErrTooMany);
  // The parser stays usable.
  TFormulaParser p;
  p.Evaluate(std::string(5000, '(') + std::string(5000, ')'));
  EXPECT_EQ(p.Evaluate("(2)*3"), 6);
  EXPECT_EQ(p.ErrorCode(), 0);
}

TEST(FormulaParser, ResultsBeyondDoubleRangeAreErrors) {
  ExpectCode("1E400", kErrRange);
  ExpectCode("DEG(1E4900)", kErrRange);
  ExpectValue("1E-5000", 0);
}

// ---- EvaluateWithValues -----------------------------------------------------------

namespace {
TMyValues GridTP(const std::string& t, const std::string& p) {
  TMyValues g;
  g.AddValue("t", t, "C", "温度");
  g.AddValue("p", p, "kPa(A)", "绝对压力");
  return g;
}
}  // namespace

TEST(EvaluateWithValues, BindsSingleLetters) {
  TFormulaParser parser;
  TMyValues g = GridTP("20", "100");
  EXPECT_EQ(EvaluateWithValues(parser, "2*t+p", &g), 140);
  EXPECT_EQ(parser.ErrorCode(), 0);
  EXPECT_EQ(parser.Formula(), "2*20+100");

  // A letter without a row gets one and reads as nothing.
  EXPECT_EQ(EvaluateWithValues(parser, "x*2", &g), 0);
  EXPECT_EQ(parser.ErrorCode(), kErrUnknown);
  EXPECT_EQ(parser.Formula(), "*2");
  EXPECT_EQ(g.Cell(TMyValues::kName, 3), "x");
  EXPECT_EQ(g.Cell(TMyValues::kValue, 3), "");

  // Names of two or more letters and exponents stay.
  EXPECT_EQ(EvaluateWithValues(parser, "ln(t)+2e1", &g), std::log(20.0L) + 20);
  EXPECT_EQ(parser.Formula(), "ln(20)+2e1");

  // A text without variables blanks the rows formulas added, but keeps the
  // evaluation point t and p that the user typed.
  long double e2 = EvaluateWithValues(parser, "exp(2)", &g);
  EXPECT_NEAR(static_cast<double>(e2), std::exp(2.0), 1e-14);
  EXPECT_EQ(g.GetValueOf("t"), "20");
  EXPECT_EQ(g.GetValueOf("p"), "100");
  EXPECT_EQ(g.Cell(TMyValues::kName, 3), "");
  EXPECT_EQ(g.RowCount(), 4);

  TMyValues h = GridTP("20", "100");
  h.AddValue("V", "3", "", "");
  EXPECT_EQ(EvaluateWithValues(parser, "", &h), 0);
  EXPECT_EQ(h.GetValueOf("t"), "20");
  EXPECT_EQ(h.GetValueOf("V"), "");

  EXPECT_EQ(EvaluateWithValues(parser, "3*4", nullptr), 12);
}

TEST(EvaluateWithValues, UpperCaseLetterMatchesLowerCaseRowWithoutAddingOne) {
  TFormulaParser parser;
  TMyValues g = GridTP("20", "100");
  EvaluateWithValues(parser, "T", &g);
  EXPECT_EQ(g.RowCount(), 3);  // no row "T" added: t exists
}

TEST(EvaluateWithValues, Limits) {
  TFormulaParser parser;
  TMyValues g = GridTP("1", "2");
  std::string ok(255, '1');
  EXPECT_NO_THROW(EvaluateWithValues(parser, ok, &g));
  EXPECT_THROW(EvaluateWithValues(parser, ok + "1", &g), RangeCheckError);
  std::string many;
  for (int i = 0; i < 101; ++i) many += i ? "+t" : "t";
  EXPECT_THROW(EvaluateWithValues(parser, many, &g), RangeCheckError);
  try {
    EvaluateWithValues(parser, many, &g);
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Range check error");
  }
  g = GridTP("1", "2");  // the variable-free text above blanked the rows
  std::string hundred;
  for (int i = 0; i < 100; ++i) hundred += i ? "+t" : "t";
  EXPECT_EQ(EvaluateWithValues(parser, hundred, &g), 100);
}

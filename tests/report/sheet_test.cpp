// The calculation sheet: how it writes numbers and units, the resistance breakdown of
// the overall coefficient against hand calculations, and the PDF of every shipped
// example read back by poppler (text, word positions, fonts).
#include <gtest/gtest.h>

#include <cmath>
#include <regex>

#include "ReportTestUtil.h"
#include "calc/Resistances.h"
#include "report/CalcSheet.h"
#include "report/ReportPdf.h"
#include "report/SheetLayout.h"
#include "report/SheetText.h"

namespace pelmora::testing {
namespace {

const char* const kExamples[] = {"storage-tank-hot-water", "storage-tank-steam", "agitated-tank",
                                 "constant-temperature-bath", "two-stream-vessel"};

std::string ExamplePath(const std::string& name) {
  return std::string(PELMORA_PROGRAM_DIR) + "/examples/" + name + ".pmf";
}

// Opens a shipped example as the start-up does and recalculates it, as leaving a field does.
void OpenExample(Window& w, const std::string& name) {
  w.app.Run([&w, &name] { w.app.project.OpenAtStartup(ExamplePath(name)); });
  w.app.Run([&w] { w.app.calc.MaoDExit(nullptr); });
}

std::string PdfText(const std::string& pdf, const std::string& options = "-raw") {
  return Capture("pdftotext -enc UTF-8 " + options + " '" + pdf + "' -");
}

std::string WithoutBlanks(const std::string& s) {
  std::string out;
  for (const std::string& w : Words(s)) out += w;
  return out;
}

// A sheet number read back: "1.000×10⁻⁵" is 1e-5; `digits` counts its significant digits.
double ReadSheetNumber(const std::string& text, int* digits) {
  static const char* const sup[] = {"⁰", "¹", "²", "³", "⁴", "⁵", "⁶", "⁷", "⁸", "⁹"};
  std::string plain = text;
  plain = std::regex_replace(plain, std::regex("×10"), "e");
  plain = std::regex_replace(plain, std::regex("⁻"), "-");
  for (int d = 0; d < 10; ++d) plain = std::regex_replace(plain, std::regex(sup[d]), std::to_string(d));
  const std::string mantissa = plain.substr(0, plain.find('e'));
  *digits = 0;
  bool leading = true;
  for (char c : mantissa) {
    if (c < '0' || c > '9') continue;
    if (leading && c == '0') continue;
    leading = false;
    ++*digits;
  }
  return std::stod(plain);
}

TEST(SheetText, FourSignificantDigitsAndNeverZeroForAValue) {
  // The values that came out wrong in the report's fixed four decimals.
  EXPECT_EQ(SheetNumber(1e-5), "1.000×10⁻⁵");            // a roughness of 1E-5 m, not 0.0000
  EXPECT_EQ(SheetNumber(0.00065), "6.500×10⁻⁴");         // not 0.0006
  EXPECT_EQ(SheetNumber(3344000006.3221), "3.344×10⁹");  // a heat in J
  EXPECT_EQ(SheetNumber(25), "25.00");
  EXPECT_EQ(SheetNumber(0.065), "0.06500");
  EXPECT_EQ(SheetNumber(0.001), "0.001000");
  EXPECT_EQ(SheetNumber(52.34), "52.34");
  EXPECT_EQ(SheetNumber(7200), "7200");
  EXPECT_EQ(SheetNumber(14400), "1.440×10⁴");
  EXPECT_EQ(SheetNumber(9999.7), "1.000×10⁴");  // rounding carries into the exponent
  EXPECT_EQ(SheetNumber(0.99996), "1.000");
  EXPECT_EQ(SheetNumber(-0.5), "-0.5000");
  EXPECT_EQ(SheetNumber(-2.5e-12), "-2.500×10⁻¹²");
  EXPECT_EQ(SheetNumber(6.02214076e23), "6.022×10²³");
  EXPECT_EQ(SheetNumber(0), "0");
  EXPECT_EQ(SheetNumber(std::nan("")), "—");
  EXPECT_EQ(SheetNumber(INFINITY), "—");
  EXPECT_EQ(SheetCount(12), "12");
  EXPECT_EQ(SheetCount(2.5), "2.500");
  EXPECT_EQ(SheetPercent(42.349), "42.3");
  EXPECT_EQ(SheetPercent(-0.01), "0.0");
}

TEST(SheetText, UnitsWithRaisedPowersDotsAndBrackets) {
  EXPECT_EQ(SheetUnit("m2"), "m²");
  EXPECT_EQ(SheetUnit("kg/m3"), "kg/m³");
  EXPECT_EQ(SheetUnit("W/(m2.K)"), "W/(m²·K)");
  EXPECT_EQ(SheetUnit("kJ/(m2.K.S)"), "kJ/(m²·K·s)");
  EXPECT_EQ(SheetUnit("m2.K/W"), "m²·K/W");
  EXPECT_EQ(SheetUnit("N.S/m2"), "N·s/m²");
  EXPECT_EQ(SheetUnit("Pa.S"), "Pa·s");
  EXPECT_EQ(SheetUnit("kcal/kg.K"), "kcal/(kg·K)");
  EXPECT_EQ(SheetUnit("J/(kg.K)"), "J/(kg·K)");
  EXPECT_EQ(SheetUnit("S"), "s");
  EXPECT_EQ(SheetUnit("hr"), "h");
  EXPECT_EQ(SheetUnit("r/m"), "r/min");
  EXPECT_EQ(SheetUnit("1/K"), "1/K");
  EXPECT_EQ(SheetUnit("kPa"), "kPa");
  EXPECT_EQ(SheetUnit("℃"), "℃");
  EXPECT_EQ(SheetUnit("倍外管径"), "倍外管径");
}

// The shipped hot-water storage tank: a U-tube φ32×3 of mild steel (λw = 52.34 W/(m·K)),
// 90/70 °C water inside, water heated by natural convection outside, fouling 2e-4 on
// both sides. By hand, from what the window shows (ho = 826.13, hi = 9701.4 W/(m²·K)):
//   1/ho            = 1/826.13                                  = 1.2105e-3
//   Ro              =                                             2.000e-4
//   wall            = (0.032 − 0.026)·0.032 / (52.34·0.058)     = 6.3247e-5
//   Ri·do/di        = 2e-4 · 1.23077                            = 2.4615e-4
//   (1/hi)·do/di    = 1.23077 / 9701.4                          = 1.2687e-4
//   sum             = 1.8467e-3 m²·K/W, K = 541.5 W/(m²·K)
//   shares          = 65.5, 10.8, 3.4, 13.3, 6.9 %
// Natural convection of the tank water is two thirds of the resistance: the coil is
// outside-film controlled.
TEST(Resistances, HotWaterTankAgainstAHandCalculation) {
  Window w;
  OpenExample(w, "storage-tank-hot-water");
  ASSERT_TRUE(w.port.Messages().empty()) << w.port.Messages()[0];
  ASSERT_NEAR(StrToFloat(w.f.koD->Text()), 826.13, 0.01);
  ASSERT_NEAR(StrToFloat(w.f.kiD->Text()), 9701.4, 0.1);
  auto r = ResistancesFromFields(w.f);
  ASSERT_TRUE(r.has_value());
  EXPECT_NEAR(r->vesselFilm, 1.2105e-3, 1e-7);
  EXPECT_NEAR(r->vesselFouling, 2.0e-4, 1e-12);
  EXPECT_NEAR(r->wall, 6.3247e-5, 1e-8);
  EXPECT_NEAR(r->tubeFouling, 2.4615e-4, 1e-8);
  EXPECT_NEAR(r->tubeFilm, 1.2687e-4, 1e-8);
  EXPECT_NEAR(r->Total(), 1.8467e-3, 1e-7);
  EXPECT_NEAR(r->K(), 541.5, 0.05);
  const auto s = r->SharesPercent();
  const double expected[] = {65.5, 10.8, 3.4, 13.3, 6.9};
  double sum = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    EXPECT_NEAR(s[i], expected[i], 0.05) << i;
    sum += s[i];
  }
  EXPECT_NEAR(sum, 100, 1e-9);
  // The sheet shows the same numbers, and 1/K as the sum.
  const CalcSheet sheet = BuildCalcSheet(w.f, {});
  const SheetTable* table = nullptr;
  for (const SheetBlock& b : sheet.blocks)
    if (b.kind == SheetBlock::Kind::Table && !b.table.rows.empty() && b.table.rows[0].cells[0] == "容器侧膜")
      table = &b.table;
  ASSERT_NE(table, nullptr);
  ASSERT_EQ(table->rows.size(), 7u);
  EXPECT_EQ(table->rows[2].cells[2], "6.325×10⁻⁵");
  EXPECT_EQ(table->rows[0].cells[3], "65.5");
  EXPECT_EQ(table->rows[5].cells[2], "0.001847");
  EXPECT_EQ(table->rows[6].cells[2], "541.5 W/(m²·K)");
}

// In the flow modes the window's 时均传热系数 is the K of the sizing pass itself, so
// the breakdown of the shown film coefficients must give it back.
TEST(Resistances, TwoStreamVesselSumsToTheShownCoefficient) {
  Window w;
  OpenExample(w, "two-stream-vessel");
  ASSERT_TRUE(w.port.Messages().empty()) << w.port.Messages()[0];
  auto r = ResistancesFromFields(w.f);
  ASSERT_TRUE(r.has_value());
  const double K = StrToFloat(w.f.KTaD->Text()) * w.f.KTaD->Exchange();
  EXPECT_NEAR(r->K() / K, 1, 1e-4) << r->K() << " " << K;
}

TEST(Resistances, NoBreakdownFromMissingOrNonPhysicalValues) {
  // 1/800 + 2e-4 + 0.005·0.03/(16.28·0.055) + 1e-4·1.2 + 1.2/5000 (stainless 30 × 2.5)
  auto r = Resistances(800, 2e-4, 0.03, 0.025, 16.28, 5000, 1e-4);
  ASSERT_TRUE(r.has_value());
  EXPECT_NEAR(r->Total(), 1.25e-3 + 2e-4 + 1.6752e-4 + 1.2e-4 + 2.4e-4, 1e-8);
  EXPECT_FALSE(Resistances(0, 2e-4, 0.03, 0.025, 16.28, 5000, 1e-4));     // no film
  EXPECT_FALSE(Resistances(800, 2e-4, 0.025, 0.03, 16.28, 5000, 1e-4));   // inner above outer
  EXPECT_FALSE(Resistances(800, -2e-4, 0.03, 0.025, 16.28, 5000, 1e-4));  // negative fouling
  EXPECT_FALSE(Resistances(800, 2e-4, 0.03, 0.025, 0, 5000, 1e-4));       // no conductivity
  EXPECT_FALSE(Resistances(800, 2e-4, 0.03, 0.025, 16.28, NAN, 1e-4));
  Window w;  // a new project: no film coefficients yet
  EXPECT_FALSE(ResistancesFromFields(w.f));
  // A sheet without them says so instead of a table.
  const CalcSheet s = BuildCalcSheet(w.f, {});
  bool said = false;
  for (const SheetBlock& b : s.blocks) said = said || b.text.rfind("热阻分解不可用", 0) == 0;
  EXPECT_TRUE(said);
}

// A canvas whose characters are all 10 units wide, to follow line breaking by hand.
class Monospace : public chart::Canvas {
 public:
  double Width() const override { return 1000; }
  double Height() const override { return 1000; }
  void Clear(Color) override {}
  void SetPen(Color, double) override {}
  void Line(double, double, double, double) override {}
  void Rectangle(double, double, double, double, bool, Color) override {}
  void Ellipse(double, double, double, double, bool, Color) override {}
  void Text(double, double, const std::string&, const chart::TextStyle&, chart::HAlign, chart::VAlign) override {}
  double TextWidth(const std::string& s, const chart::TextStyle&) const override {
    double n = 0;
    for (unsigned char c : s) n += (c & 0xC0) != 0x80;
    return 10 * n;
  }
};

TEST(SheetLayout, LinesBreakWhereAReaderExpects) {
  Monospace m;
  const chart::TextStyle st;
  // Ten characters a line; the comma never starts one, it takes the character before it.
  EXPECT_EQ(SheetLayout::Wrap("加热盘管按最不利工况，校核", st, 100, m),
            (std::vector<std::string>{"加热盘管按最不利工", "况，校核"}));
  // Latin words move whole; a number with its power of ten is one word.
  EXPECT_EQ(SheetLayout::Wrap("fouling 2.000×10⁻⁴ m2", st, 100, m),
            (std::vector<std::string>{"fouling", "2.000×10⁻⁴", "m2"}));
  // A path breaks after its slashes, a word longer than the line between characters.
  EXPECT_EQ(SheetLayout::Wrap("/srv/abcdefghijklmnop", st, 100, m),
            (std::vector<std::string>{"/srv/", "abcdefghij", "klmnop"}));
  // Line breaks of the text are kept, an empty line too.
  EXPECT_EQ(SheetLayout::Wrap("第一行\r\n\r\n第三行", st, 100, m), (std::vector<std::string>{"第一行", "", "第三行"}));
  EXPECT_EQ(SheetLayout::Wrap("", st, 100, m), (std::vector<std::string>{""}));
}

class ExampleSheet : public ::testing::TestWithParam<const char*> {};

// The sheet of a shipped example holds every value the window shows (caption, value at
// four significant digits, unit, in that order) and every check; no word lies outside
// the margins; the Chinese font is embedded.
TEST_P(ExampleSheet, HoldsEveryShownValueAndCheckInsideTheMargins) {
  if (!HaveProgram("pdftotext")) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
  SetReportPdfWriter(&ReportPdfBytes);
  Window w;
  OpenExample(w, GetParam());
  ASSERT_TRUE(w.port.Messages().empty()) << w.port.Messages()[0];
  TempDir dir;
  const std::string pdf = dir / "sheet.pdf";
  ASSERT_EQ(w.app.report.ExportPdf(pdf), "");
  const std::string text = WithoutBlanks(PdfText(pdf));
  size_t values = 0;
  for (const EditD* e : w.f.ValueFields()) {
    auto v = SheetValueOf(w.f, *e);
    if (!v) continue;
    ++values;
    EXPECT_NE(text.find(WithoutBlanks(v->caption + v->value + v->unit)), std::string::npos)
        << e->Name() << ": " << v->caption << " " << v->value << " " << v->unit;
    // Four significant digits of what the field holds (counts as integers).
    if (auto x = e->Number(); x && *x != 0 && v->value != "—") {
      int digits = 0;
      const double shown = ReadSheetNumber(v->value, &digits);
      EXPECT_NEAR(shown / *x, 1, 5.001e-4) << e->Name() << " " << v->value << " " << e->Text();
      if (v->unit != "根" && v->unit != "程") {
        EXPECT_EQ(digits, 4) << e->Name() << " " << v->value;
      }
    }
  }
  EXPECT_GT(values, 40u);
  for (const DesignCheck& c : w.app.calc.checks)
    EXPECT_NE(text.find(WithoutBlanks(c.text)), std::string::npos) << c.text;
  EXPECT_NE(text.find("第1页共"), std::string::npos);

  const SheetPageSize page;
  const std::string bbox = PdfText(pdf, "-bbox");
  static const std::regex word(
      "<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">([^<]*)<");
  size_t words = 0;
  for (std::sregex_iterator it(bbox.begin(), bbox.end(), word), end; it != end; ++it, ++words) {
    const std::string what = (*it)[5];
    EXPECT_GE(std::stod((*it)[1]), page.left - 0.5) << what;
    EXPECT_GE(std::stod((*it)[2]), page.top - 0.5) << what;
    EXPECT_LE(std::stod((*it)[3]), page.width - page.right + 0.5) << what;
    EXPECT_LE(std::stod((*it)[4]), page.height - page.bottom + 0.5) << what;
  }
  EXPECT_GT(words, 200u);

  const std::string fonts = Capture("pdffonts '" + pdf + "'");
  EXPECT_TRUE(std::regex_search(fonts, std::regex("UMing[^\n]* yes +yes"))) << fonts;
}

INSTANTIATE_TEST_SUITE_P(Shipped, ExampleSheet, ::testing::ValuesIn(kExamples),
                         [](const ::testing::TestParamInfo<const char*>& i) {
                           std::string n = i.param;
                           for (char& c : n)
                             if (c == '-') c = '_';
                           return n;
                         });

}  // namespace
}  // namespace pelmora::testing

namespace pelmora::testing {
namespace {

std::string ExportSheet(Window& w, const std::string& pdf) {
  SetReportPdfWriter(&ReportPdfBytes);
  return w.app.report.ExportPdf(pdf);
}

int PageCount(const std::string& pdf) {
  std::smatch m;
  const std::string info = Capture("pdfinfo '" + pdf + "'");
  return std::regex_search(info, m, std::regex("Pages: +([0-9]+)")) ? std::stoi(m[1]) : 0;
}

// Text typed into the report area goes into the saved report, never into the sheet.
TEST(SheetPdf, EditingTheReportAreaDoesNotChangeTheSheet) {
  if (!HaveProgram("pdftotext")) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
  Window w;
  w.Case("storage_tank");
  w.Build();
  TempDir dir;
  ASSERT_EQ(ExportSheet(w, dir / "a.pdf"), "");
  w.f.RichEditReport->SetLines({"手工修改 XYZZY 0.0000", "        加热时间            99999.0000"});
  ASSERT_EQ(ExportSheet(w, dir / "b.pdf"), "");
  const std::string a = PdfText(dir / "a.pdf", "-layout"), b = PdfText(dir / "b.pdf", "-layout");
  EXPECT_EQ(a, b);
  EXPECT_EQ(b.find("XYZZY"), std::string::npos);
  // The menu's command writes the same sheet, report area empty or not.
  w.port.files.push_back(dir / "c.pdf");
  w.app.Run([&w] { w.f.FindAs<MenuItem>("MRPdf")->Click(); });
  ASSERT_TRUE(w.port.Messages().empty()) << w.port.Messages()[0];
  EXPECT_EQ(PdfText(dir / "c.pdf", "-layout"), a);
}

// A note of some thousand characters, with a path that has no blank to break at,
// wraps inside its cell, runs on over pages with its table's header, and no word
// leaves the margins.
TEST(SheetPdf, LongTextsWrapInsideTheirCellsAndTablesRunOn) {
  if (!HaveProgram("pdftotext")) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
  Window w;
  w.Case("storage_tank");
  std::string note = "/srv/projects/very/long/path/without/any/blank/" + std::string(120, 'x') + ".pmf ";
  for (int i = 0; i < 60; ++i)
    note += "第" + std::to_string(i) + "段：加热盘管按最不利工况校核，tube side fouling 0.0002. ";
  w.app.Run([&w, &note] { w.f.OBJNoteD->SetText(note); });
  TempDir dir;
  ASSERT_EQ(ExportSheet(w, dir / "n.pdf"), "");
  // Every character of the note comes back, in order, although pages break into it.
  const std::string text = WithoutBlanks(PdfText(dir / "n.pdf"));
  const std::string want = WithoutBlanks(note);
  size_t at = text.find("/srv/projects");
  ASSERT_NE(at, std::string::npos);
  size_t matched = 0;
  for (; at < text.size() && matched < want.size(); ++at)
    if (text[at] == want[matched]) ++matched;
  EXPECT_EQ(matched, want.size()) << want.substr(matched, 40);
  EXPECT_NE(text.find("项目信息（续）名称数值单位来源"), std::string::npos);
  const SheetPageSize page;
  const std::string bbox = PdfText(dir / "n.pdf", "-bbox");
  static const std::regex word("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">");
  for (std::sregex_iterator it(bbox.begin(), bbox.end(), word), end; it != end; ++it) {
    EXPECT_GE(std::stod((*it)[1]), page.left - 0.5);
    EXPECT_LE(std::stod((*it)[3]), page.width - page.right + 0.5);
    EXPECT_LE(std::stod((*it)[4]), page.height - page.bottom + 0.5);
  }
  const int pages = PageCount(dir / "n.pdf");
  EXPECT_GE(pages, 5);
  EXPECT_NE(PdfText(dir / "n.pdf").find("第 " + std::to_string(pages) + " 页 共 " + std::to_string(pages) + " 页"),
            std::string::npos);
}

// The graver checks lead, before the summary; the second opinion gets its table when
// the window object hands it over; results left over from a run that did not finish
// are said first.
TEST(SheetPdf, GraverChecksLeadAndTheSecondOpinionAppearsWhenGiven) {
  Window w;
  w.Case("storage_tank");
  SheetSources src;
  src.checks = {{DesignCheck::Level::Hint, "UiD", "流速 0.3 m/s 偏低"},
                {DesignCheck::Level::Warning, "DpiD", "管程压力降 80 kPa 超过 70 kPa"},
                {DesignCheck::Level::Hint, "koD", "Ra 超出范围"}};
  MethodCheckRow m;
  m.field = "kiD";
  m.value = 9224;
  m.independent = 11021;
  m.method = "Gnielinski";
  m.source = "Incropera 第6版 式8.62";
  m.deviation = 11021.0 / 9224 - 1;
  m.level = DesignCheck::Level::Hint;
  MethodCheckRow none;
  none.field = "koD";
  none.value = 826;
  none.method = "Churchill–Chu";
  none.note = "不适用：搅拌容器";
  src.methodChecks = {m, none};
  src.recommendedMargin = "按校核方法需面积 31.9 m²，建议富余度不低于 35 %";
  const CalcSheet s = BuildCalcSheet(w.f, src);
  std::vector<std::string> levels, opinion;
  bool marginSaid = false;
  for (const SheetBlock& b : s.blocks) {
    if (b.kind == SheetBlock::Kind::Table && b.table.columns.size() == 3 && b.table.columns[0].header == "级别")
      for (const SheetRow& r : b.table.rows) levels.push_back(r.cells[0] + r.cells[2]);
    if (b.kind == SheetBlock::Kind::Table && b.table.columns.size() == 7)
      for (const SheetRow& r : b.table.rows) opinion.push_back(r.cells[1] + "|" + r.cells[2] + "|" + r.cells[5]);
    marginSaid = marginSaid || b.text == src.recommendedMargin;
  }
  EXPECT_EQ(levels, (std::vector<std::string>{"警告管程压力降 80 kPa 超过 70 kPa", "提示流速 0.3 m/s 偏低",
                                              "提示Ra 超出范围"}));
  EXPECT_EQ(opinion, (std::vector<std::string>{"9224|1.102×10⁴|19.5 %", "826.0|—|—"}));
  EXPECT_TRUE(marginSaid);

  w.app.calc.MarkAllResultsStale("测试");
  const CalcSheet stale = BuildCalcSheet(w.f, {});
  ASSERT_FALSE(stale.blocks.empty());
  ASSERT_EQ(stale.blocks[0].kind, SheetBlock::Kind::Table);
  EXPECT_EQ(stale.blocks[0].table.rows[0].cells[0].rfind("本次计算未完成", 0), 0u);
  EXPECT_EQ(stale.blocks[0].table.rows[0].color, RGBColor(200, 0, 0));
}

// With a computed curve the sheet ends with it on a page of its own, drawn as vector
// graphics with the chart's texts.
TEST(SheetPdf, TheCurveHasAPageOfItsOwn) {
  if (!HaveProgram("pdftotext")) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
  Window c;
  c.Case("batch_curve");
  c.app.Run([&c] { c.f.SBTCurve->Click(); });
  ASSERT_GT(c.app.curve.data.Intervals(), 0) << (c.port.Messages().empty() ? "" : c.port.Messages()[0]);
  TempDir dir;
  ASSERT_EQ(ExportSheet(c, dir / "c.pdf"), "");
  const int pages = PageCount(dir / "c.pdf");
  const std::string last =
      PdfText(dir / "c.pdf", "-layout -f " + std::to_string(pages) + " -l " + std::to_string(pages));
  const size_t heading = last.find("时间—温度曲线");
  ASSERT_NE(heading, std::string::npos) << last;
  EXPECT_NE(last.find("时间—温度曲线", heading + 1), std::string::npos) << last;  // the chart's own title
  EXPECT_NE(last.find("Times / S"), std::string::npos);
  EXPECT_NE(last.find("Temperature / ℃"), std::string::npos);
  EXPECT_EQ(last.find("来源"), std::string::npos);  // no table on that page
  // Without a curve there is no such page.
  Window w;
  w.Case("storage_tank");
  ASSERT_EQ(ExportSheet(w, dir / "n.pdf"), "");
  EXPECT_EQ(PdfText(dir / "n.pdf").find("时间—温度曲线"), std::string::npos);
}

}  // namespace
}  // namespace pelmora::testing

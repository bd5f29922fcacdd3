// The tube catalogue: shipped values against the standards, taking a size, the
// maintenance run, the user's own sizes, and a missing or damaged file.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cmath>
#include <fstream>
#include <map>

#include "SelectTestUtil.h"
#include "fields/Errors.h"
#include "select/PipeCatalogue.h"

namespace pelmora {
namespace {

using testing_select::PickAction;
using testing_select::ShippedCatalogue;
using testing_select::Window;

const PipeRow* FindPipe(const PipeCatalogue& c, const std::string& dn) {
  for (const auto& r : c.pipes)
    if (r.dn == dn) return &r;
  return nullptr;
}

// The grid row that shows catalogue row `pipe` (the page sorts the series by size).
int GridRow(Window& w, size_t pipe) { return w.app->select.RowOf(pipe); }

TEST(ShippedCatalogue, ValuesFromTheStandardsAndHandbooks) {
  PipeCatalogue c;
  std::string message;
  ASSERT_TRUE(c.Load(ShippedCatalogue(), &message)) << message;
  // GB/T 17395 sizes: outer diameter, wall -> inner diameter.
  struct {
    const char* dn;
    double Do, Di;
  } tubes[] = {{"14×2", 14, 10},      {"25×2.5", 25, 20}, {"32×3", 32, 26},   {"38×2.5", 38, 33},  {"45×3.5", 45, 38},
               {"57×3.5", 57, 50},    {"76×4", 76, 68},   {"89×4.5", 89, 80}, {"108×4", 108, 100}, {"133×4", 133, 125},
               {"159×4.5", 159, 150}, {"25×1.5", 25, 22}, {"108×3", 108, 102}};
  for (const auto& t : tubes) {
    const PipeRow* r = FindPipe(c, t.dn);
    ASSERT_NE(r, nullptr) << t.dn;
    EXPECT_DOUBLE_EQ(*r->Do, t.Do) << t.dn;
    EXPECT_DOUBLE_EQ(*r->Di, t.Di) << t.dn;
    EXPECT_FALSE(r->own);
  }
  for (size_t i = 1; i < c.pipes.size(); ++i) EXPECT_LT(c.pipes[i - 1].id, c.pipes[i].id);
  for (const auto& r : c.pipes) {
    TubeSize t = ParseTubeSize(r.dn);
    EXPECT_DOUBLE_EQ(*r.Do, t.outer) << r.dn;
    EXPECT_DOUBLE_EQ(*r.Di, t.outer - 2 * t.wall) << r.dn;
  }
  // Cubical expansion near 20 °C, 1E-4 1/K (Smithsonian/CRC table; water from IAPWS-95).
  std::map<std::string, double> quoted = {{"水", 2.07},     {"乙醇", 11.01},      {"甲醇", 11.99}, {"丙酮", 14.87},
                                          {"苯", 12.37},    {"甘油", 5.05},       {"汞", 1.8186},  {"乙醚", 16.56},
                                          {"浓硫酸", 5.58}, {"氯化钠20.6%", 4.26}};
  EXPECT_GE(c.expands.size(), 20u);
  for (const auto& r : c.expands) {
    ASSERT_TRUE(r.ec) << r.dn;
    EXPECT_GT(*r.ec, 0.5) << r.dn;
    EXPECT_LT(*r.ec, 20) << r.dn;
    if (auto it = quoted.find(r.dn); it != quoted.end()) {
      EXPECT_DOUBLE_EQ(*r.ec, it->second) << r.dn;
      quoted.erase(it);
    }
  }
  EXPECT_TRUE(quoted.empty());
}

TEST(TubeSize, ParsingAndTheUsersOwnSizes) {
  TubeSize t = ParseTubeSize("25×2.5");
  EXPECT_DOUBLE_EQ(t.outer, 25);
  EXPECT_DOUBLE_EQ(t.wall, 2.5);
  EXPECT_THROW(ParseTubeSize("25x2.5"), ConversionError);
  EXPECT_THROW(ParseTubeSize("25×"), ConversionError);
  std::string m;
  EXPECT_EQ(NormalizeOwnSize(" 25 x 1.8 ", &m).value_or(""), "25×1.8");
  EXPECT_EQ(NormalizeOwnSize("30*2", &m).value_or(""), "30×2");
  EXPECT_EQ(NormalizeOwnSize("25×2.5", &m).value_or(""), "25×2.5");
  for (const char* bad : {"25", "4x2", "25x0", "25x-1", "ax2", "25x2x1", "1234567x1.2345"}) {
    m.clear();
    EXPECT_FALSE(NormalizeOwnSize(bad, &m)) << bad;
    EXPECT_FALSE(m.empty()) << bad;
  }
}

TEST(PipesPage, TakingASizeUsesTheSizeTextOnly) {
  Window w;
  auto& pipes = w.app->select.catalogue.pipes;
  ASSERT_GT(pipes.size(), 6u);
  pipes[5].Do = 99;  // stored diameters that disagree with the size text
  pipes[5].Di = 1;
  ASSERT_EQ(pipes[5].dn, "25×2.5");
  ASSERT_TRUE(w.Click("SBDiClick"));
  EXPECT_EQ(w.f().PageControl1->ActivePage(), w.f().TabSheet3);
  w.f().DBGPiples->SetCurrent(GridRow(w, 5));
  EXPECT_EQ(w.f().DBGPiples->Rows()[static_cast<size_t>(GridRow(w, 5))][1], "25×2.5");
  ASSERT_TRUE(w.Click("Button3Click"));
  EXPECT_DOUBLE_EQ(w.f().dioD->GetValue(), 0.025);
  EXPECT_DOUBLE_EQ(w.f().diiD->GetValue(), 0.02);
  EXPECT_EQ(w.f().PageControl1->ActivePage(), w.f().TabSheet2);
  // In millimetres the same size shows 25 and 20.
  w.f().dioU->UserSelect(1);
  ASSERT_EQ(pipes[0].dn, "14×2");
  w.f().DBGPiples->SetCurrent(GridRow(w, 0));
  ASSERT_TRUE(w.Click("Button3Click"));
  EXPECT_DOUBLE_EQ(w.f().dioD->GetValue(), 0.014);
}

// The window reads the catalogue after its first paint; a pick made before then reads it
// first instead of offering an empty page or list.
TEST(PipesPage, APickBeforeTheCatalogueWasReadReadsItFirst) {
  Window tube(true, false);
  EXPECT_TRUE(tube.app->select.catalogPath.empty());
  ASSERT_TRUE(tube.Click("SBDiClick"));
  EXPECT_EQ(tube.f().PageControl1->ActivePage(), tube.f().TabSheet3);
  EXPECT_EQ(tube.f().DBGPiples->Rows().size(), tube.app->select.catalogue.pipes.size());
  EXPECT_GT(tube.f().DBGPiples->Rows().size(), 6u);

  Window expansion(true, false);
  ASSERT_TRUE(expansion.Click("SBP11Click"));
  ASSERT_EQ(expansion.port.shown.size(), 1u);
  EXPECT_GT(expansion.port.shown[0].rows.size(), 5u) << "the expansion list came up empty";
}

TEST(PipesPage, MaintenanceIsAllOrNothing) {
  Window w;
  const std::string file = w.app->select.catalogPath;
  auto& pipes = w.app->select.catalogue.pipes;
  pipes[5].Do = 99;
  pipes[5].Di = 1;
  pipes[7].dn = "32x2.5";  // no "×"
  ASSERT_TRUE(w.Click("Button2Click"));
  ASSERT_FALSE(w.port.Messages().empty());
  const std::string msg = w.port.Messages().back();
  EXPECT_NE(msg.find("序号 8"), std::string::npos) << msg;
  EXPECT_NE(msg.find("32x2.5"), std::string::npos) << msg;
  EXPECT_DOUBLE_EQ(*w.app->select.catalogue.pipes[5].Do, 99) << "nothing changes";
  PipeCatalogue onDisk;
  ASSERT_TRUE(onDisk.Load(file, nullptr));
  EXPECT_EQ(onDisk.pipes[7].dn, "32×2.5");

  w.app->select.catalogue.pipes[7].dn = "32×2.5";
  ASSERT_TRUE(w.Click("Button2Click"));
  EXPECT_DOUBLE_EQ(*w.app->select.catalogue.pipes[5].Do, 25);
  EXPECT_DOUBLE_EQ(*w.app->select.catalogue.pipes[5].Di, 20);
  ASSERT_TRUE(onDisk.Load(file, nullptr));
  EXPECT_DOUBLE_EQ(*onDisk.pipes[5].Di, 20) << "the run is written to the catalogue";
  EXPECT_EQ(w.f().DBGPiples->Current(), static_cast<int>(onDisk.pipes.size()) - 1);
  EXPECT_EQ(w.f().DBGPiples->Rows()[static_cast<size_t>(GridRow(w, 5))][3], "20");
}

TEST(PipesPage, OwnSizesAreAddedCheckedAndDeletedButShippedRowsStay) {
  Window w;
  auto& sel = w.app->select;
  const size_t shipped = sel.catalogue.pipes.size();
  w.port.actions = {{PickAction::Type, 0, "25x1.8"}};
  ASSERT_TRUE(w.Click("BPipeAddClick"));
  EXPECT_EQ(w.port.shown.back().caption, "添加管子规格");
  ASSERT_EQ(sel.catalogue.pipes.size(), shipped + 1);
  const PipeRow& own = sel.catalogue.pipes.back();
  EXPECT_EQ(own.dn, "25×1.8");
  EXPECT_DOUBLE_EQ(*own.Di, 21.4);
  EXPECT_TRUE(own.own);
  EXPECT_EQ(w.f().DBGPiples->Current(), GridRow(w, shipped));
  EXPECT_EQ(w.f().DBGPiples->Rows()[static_cast<size_t>(GridRow(w, shipped))][5], "自定规格");
  ASSERT_TRUE(w.Click("Button3Click"));
  EXPECT_DOUBLE_EQ(w.f().diiD->GetValue(), 0.0214);

  // Saved: a new window sees it.
  {
    Window again(false);
    std::filesystem::copy_file(sel.catalogPath, again.program / "Piples.mdb");
    again.app->select.OpenCatalogue();
    ASSERT_EQ(again.app->select.catalogue.pipes.size(), shipped + 1);
    EXPECT_TRUE(again.app->select.catalogue.pipes.back().own);
  }
  setenv("XDG_DATA_HOME", w.user.Folder().c_str(), 1);

  const size_t messages = w.port.Messages().size();
  w.port.actions = {{PickAction::Type, 0, "5×2.5"}};
  ASSERT_TRUE(w.Click("BPipeAddClick"));
  EXPECT_EQ(w.port.Messages().size(), messages + 1);
  w.port.actions = {{PickAction::Type, 0, "25×2.5"}};  // already shipped
  ASSERT_TRUE(w.Click("BPipeAddClick"));
  ASSERT_EQ(w.port.shown.back().rows.size(), 1u) << "the own sizes so far";
  EXPECT_EQ(w.port.shown.back().rows[0].value, "25×1.8");
  EXPECT_EQ(sel.catalogue.pipes.size(), shipped + 1);
  EXPECT_EQ(w.f().DBGPiples->Current(), GridRow(w, 5)) << "the shipped row is made current";

  ASSERT_TRUE(w.Click("BPipeDelClick"));  // a shipped row
  EXPECT_EQ(sel.catalogue.pipes.size(), shipped + 1);
  EXPECT_NE(w.port.Messages().back().find("不能删除"), std::string::npos);
  w.f().DBGPiples->SetCurrent(GridRow(w, shipped));
  ASSERT_TRUE(w.Click("BPipeDelClick"));
  EXPECT_EQ(sel.catalogue.pipes.size(), shipped);
  PipeCatalogue onDisk;
  ASSERT_TRUE(onDisk.Load(sel.catalogPath, nullptr));
  EXPECT_EQ(onDisk.pipes.size(), shipped);
}

// What the page shows: every tube the catalogue holds, sorted by outer diameter and wall,
// the diameters and the wall in millimetres (units in the headers) and the standard it is
// bought to; the pipe sizes 48-219 mm of the carbon-steel series, stainless, copper and
// the GB/T 6479-2013 tubes.
TEST(PipesPage, TheGridIsSortedBySizeWithUnitsAndStandards) {
  Window w;
  std::vector<std::string> titles;
  for (const auto& c : w.f().DBGPiples->Columns()) titles.push_back(c.title);
  EXPECT_EQ(titles, (std::vector<std::string>{"序号", "管子规格", "外径/mm", "内径/mm", "壁厚/mm", "标准"}));
  const auto& rows = w.f().DBGPiples->Rows();
  ASSERT_EQ(rows.size(), w.app->select.catalogue.pipes.size());
  ASSERT_GE(rows.size(), 80u);
  std::map<std::string, int> standards;
  std::map<double, int> carbonSteel;  // outer diameter -> walls
  double lastOuter = 0, lastWall = 0;
  for (const auto& r : rows) {
    ASSERT_EQ(r.size(), 6u);
    const TubeSize t = ParseTubeSize(r[1]);
    EXPECT_TRUE(t.outer > lastOuter || (t.outer == lastOuter && t.wall >= lastWall)) << r[1] << " after " << lastOuter;
    lastOuter = t.outer, lastWall = t.wall;
    // 25×2.5: 25, 20 and 2.5 mm.
    EXPECT_DOUBLE_EQ(std::stod(r[2]), t.outer) << r[1];
    EXPECT_DOUBLE_EQ(std::stod(r[3]), t.outer - 2 * t.wall) << r[1];
    EXPECT_DOUBLE_EQ(std::stod(r[4]), t.wall) << r[1];
    EXPECT_EQ(r[5].rfind("GB/T ", 0), 0u) << r[1] << " names no standard: " << r[5];
    ++standards[r[5]];
    if (r[5].rfind("GB/T 8163", 0) == 0) ++carbonSteel[t.outer];
  }
  for (const char* s : {"GB/T 8163 碳钢无缝钢管", "GB/T 14976 不锈钢无缝钢管", "GB/T 1527 拉制铜管",
                        "GB/T 6479-2013 高压化肥设备用无缝钢管"})
    EXPECT_GT(standards[s], 0) << s;
  for (double d : {48, 57, 60, 76, 89, 108, 114, 133, 159, 219}) EXPECT_GE(carbonSteel[d], 2) << d << " mm";
}

// A catalogue written before the standard column existed (a user's saved copy) still loads;
// its rows name no standard, and a save writes the column.
TEST(PipesPage, AnOlderCatalogueWithoutStandardsLoads) {
  Window w(false, false);
  const std::string path = w.program / "Piples.mdb";
  {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db,
                           "CREATE TABLE Piples1(ID INTEGER PRIMARY KEY, DN TEXT NOT NULL, Do REAL, Di REAL, "
                           "Own INTEGER NOT NULL DEFAULT 0);"
                           "CREATE TABLE Expand1(ID INTEGER PRIMARY KEY, DN TEXT NOT NULL, Ec REAL);"
                           "INSERT INTO Piples1 VALUES(1,'32×3',32,26,0),(2,'25×2.5',25,20,0),(40,'30×2.2',30,25.6,1);"
                           "INSERT INTO Expand1 VALUES(1,'水',2.07);",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
  }
  PipeCatalogue c;
  std::string message;
  ASSERT_TRUE(c.Load(path, &message)) << message;
  ASSERT_EQ(c.pipes.size(), 3u);
  EXPECT_TRUE(c.pipes[0].standard.empty());
  w.app->select.OpenCatalogue();
  const auto& rows = w.f().DBGPiples->Rows();
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0][1], "25×2.5");
  EXPECT_EQ(rows[0][5], "");
  EXPECT_EQ(rows[1][1], "30×2.2");
  EXPECT_EQ(rows[1][5], "自定规格");
  EXPECT_EQ(rows[2][1], "32×3");
  c.pipes[1].standard = "GB/T 8163";
  ASSERT_TRUE(c.Save(w.program / "copy.mdb", &message)) << message;
  PipeCatalogue again;
  ASSERT_TRUE(again.Load(w.program / "copy.mdb", &message)) << message;
  EXPECT_EQ(again.pipes[1].standard, "GB/T 8163");
  EXPECT_EQ(again.pipes[2].dn, "30×2.2");
  EXPECT_TRUE(again.pipes[2].own);
}

TEST(PipesPage, MissingOrDamagedCatalogueLeavesThePageEmpty) {
  for (bool damaged : {false, true}) {
    Window w(false);
    if (damaged) {
      std::ofstream(w.program / "Piples.mdb") << "not a database";
      w.port.Clear();
      w.app->select.OpenCatalogue();
    }
    ASSERT_EQ(w.port.Messages().size(), 1u);
    EXPECT_NE(w.port.Messages()[0].find("管道数据库"), std::string::npos) << w.port.Messages()[0];
    EXPECT_TRUE(w.f().DBGPiples->Rows().empty());
    EXPECT_EQ(w.f().DBGPiples->Current(), -1);
    ASSERT_TRUE(w.Click("SBP11Click"));
    EXPECT_TRUE(w.port.shown.back().rows.empty());
    ASSERT_TRUE(w.Click("Button3Click"));  // says the list is empty, writes nothing
    EXPECT_EQ(w.f().dioD->Text(), "");
    EXPECT_EQ(w.port.Messages().size(), 2u);
  }
}

}  // namespace
}  // namespace pelmora

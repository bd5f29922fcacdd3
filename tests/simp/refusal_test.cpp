// What the property dialog and `--props` do with a result that is no property (a negative
// viscosity outside a record's range) and with a record whose formula is broken: the
// error stands in the value's place, 确定 copies none of it, --props fails.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <sstream>

#include "SimpTestUtil.h"
#include "props/PropLib.h"
#include "props/PropRange.h"
#include "props/PropsCommands.h"

namespace pelmora {
namespace {

using testing_simp::ScratchDir;
using testing_simp::Window;

// The former ethanol record's viscosity table (CRC values 0-75 °C): its cubic, carried to
// 150 °C, gives -0.906 mPa s. A broken heat-capacity formula beside it.
PropLibrary BadLibrary() {
  PropLibrary lib;
  PropRecord e;
  e.NO = "0001";
  e.CN = "乙醇(液)";
  e.CP = "2400";
  e.MD = "800-0.9*t";
  e.VI = "0,1.786E-3;25,1.074E-3;50,0.694E-3;75,0.476E-3";
  e.TC = "0.17";
  e.ST = "0.022";
  e.HV = "850000";
  lib.Insert(e);
  PropRecord b;
  b.NO = "0002";
  b.CN = "坏公式(液)";
  b.CP = "((((";
  b.MD = "1000";
  b.VI = "0.001";
  lib.Insert(b);
  return lib;
}

struct BadWindow : Window {
  BadWindow() : Window("bin", false) {
    std::string message;
    EXPECT_TRUE(BadLibrary().Save(dir.Folder() + PropLibrary::kFileName, &message)) << message;
    Open();
  }
};

TEST(SimpRefusal, NegativeViscosityIsShownAsAnErrorAndNotCopied) {
  BadWindow w;
  TFormSimpPL& d = w.D();
  TFormPelmora& f = w.F();
  f.ViiD->SetText("0.0005");
  f.CipD->SetText("1");
  w.Click(f.SBP2);
  ASSERT_TRUE(d.LocateNO("0001"));
  w.SetT("150");
  w.Click("BBCal");
  EXPECT_EQ(d.VID->Text(), "乙醇(液) 在 150 ℃ 的动力粘度为负值，超出该物性数据的适用范围");
  EXPECT_TRUE(d.Refused(d.VID));
  EXPECT_FALSE(d.Refused(d.CPD));
  EXPECT_EQ(d.StatusBar1->PanelText(0).rfind("未采用：乙醇(液) 在 150 ℃ 的动力粘度为负值", 0), 0u)
      << d.StatusBar1->PanelText(0);
  w.Click("BBOK");
  EXPECT_EQ(f.ViiD->Text(), "0.0005") << "the refused viscosity is not copied";
  EXPECT_DOUBLE_EQ(f.CipD->GetValue(), 2400) << "the other properties are";
  // At 20 °C the same record is fine again: nothing stays refused.
  w.Click(f.SBP2);
  w.SetT("20");
  w.Click("BBCal");
  EXPECT_FALSE(d.Refused(d.VID));
  w.Click("BBOK");
  EXPECT_NEAR(f.ViiD->GetValue(), 1.2e-3, 0.1e-3);
}

TEST(SimpRefusal, BrokenFormulaShowsItsErrorAndCopiesNothingFromIt) {
  BadWindow w;
  TFormSimpPL& d = w.D();
  TFormPelmora& f = w.F();
  f.CipD->SetText("3000");
  w.Click(f.SBP2);
  ASSERT_TRUE(d.LocateNO("0002"));
  w.Click("BBCal");
  EXPECT_TRUE(d.Refused(d.CPD));
  EXPECT_NE(d.CPD->Text().find("公式无法计算"), std::string::npos) << d.CPD->Text();
  EXPECT_NE(d.CPD->Text().find("错误 3"), std::string::npos) << "the evaluator's ( ) code";
  w.Click("BBOK");
  EXPECT_EQ(f.CipD->Text(), "3000");
  EXPECT_DOUBLE_EQ(f.DeniD->GetValue(), 1000);

  // --props says the same and fails with status 1.
  std::ostringstream out;
  EXPECT_EQ(RunPropsCommand(w.dir.Folder() + PropLibrary::kFileName, "0002", "20", "100", out), 1);
  EXPECT_NE(out.str().find("错误代码 3"), std::string::npos) << out.str();
  EXPECT_NE(out.str().find("密度 MD: 1000"), std::string::npos) << "the rest is still computed";
  std::ostringstream neg;
  EXPECT_EQ(RunPropsCommand(w.dir.Folder() + PropLibrary::kFileName, "0001", "150", "100", neg), 1);
  EXPECT_NE(neg.str().find("动力粘度为负值"), std::string::npos) << neg.str();
}

// A library written before the range columns existed loads, with them empty.
TEST(SimpRefusal, OlderLibraryWithoutRangeColumnsLoads) {
  ScratchDir dir("old");
  const std::string path = dir.Folder() + "old.cds";
  {
    PropLibrary lib = BadLibrary();
    std::string m;
    ASSERT_TRUE(lib.Save(path, &m)) << m;
  }
  // Rebuild the table with the original eleven columns only, as the former writer did.
  {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(
        sqlite3_exec(db,
                     "CREATE TABLE P2 AS SELECT NO,CN,EN,CP,MD,VI,TC,ST,HV,Pc,NT FROM PropLib; DROP TABLE PropLib; "
                     "ALTER TABLE P2 RENAME TO PropLib;",
                     nullptr, nullptr, nullptr),
        SQLITE_OK);
    sqlite3_close(db);
  }
  PropLibrary lib;
  std::string m;
  ASSERT_TRUE(lib.Load(path, &m)) << m;
  ASSERT_EQ(lib.Count(), 2);
  EXPECT_FALSE(lib.At(0).TL);
  EXPECT_TRUE(RangeText(lib.At(0)).empty());
  EXPECT_TRUE(InRange(lib.At(0), 150, 100)) << "no range known: nothing to say";
}

}  // namespace
}  // namespace pelmora

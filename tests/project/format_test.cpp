// The form record format: hand-written GBK files read into the real window or a small
// test form, the encodings of every record kind, and exact round trips.
#include <gtest/gtest.h>

#include "ProjectTestUtil.h"
#include "ProjectWindow.h"
#include "app/PelmoraApp.h"
#include "fields/Errors.h"
#include "fields/FieldOps.h"
#include "project/SaveFormData.h"
#include "project/TextFile.h"

namespace pelmora {
namespace {

using testing::Header;
using testing::Rec;
using testing::TempDir;
using testing::WriteGbkFile;

using Window = testing::AppWindow;

TEST(FormRecordHeader, SignatureDecidesVersionLineDoesNot) {
  TempDir dir;
  Window w;
  w.f.MaoD->SetText("5");
  // Another name after "by": rejected as a whole.
  WriteGbkFile(dir / "other.pmf",
               "CFR File Format(Compatible Form Record File),by Somebody.\nVersion 1.1,2007.07.17\n\n" +
                   Rec("MaoD", "String", "Text", "77"));
  EXPECT_EQ(ReadFormRecordFile(w.f, dir / "other.pmf"), LoadStatus::NotFormRecordFile);
  EXPECT_EQ(w.f.MaoD->Text(), "5");
  EXPECT_EQ(ReadFormRecordFile(w.f, dir / "nothing-here.pmf"), LoadStatus::Missing);
  EXPECT_FALSE(LoadFormRecords(w.f, dir / "nothing-here.pmf"));

  // Any version line and any third line are accepted.
  WriteGbkFile(dir / "v9.pmf",
               "CFR File Format(Compatible Form Record File),by Lirvadesmonte.\nVersion 9.9,2031.01.01\n"
               "whatever\n" +
                   Rec("MaoD", "String", "Text", "77"));
  EXPECT_TRUE(LoadFormRecords(w.f, dir / "v9.pmf"));
  EXPECT_EQ(w.f.MaoD->Text(), "77");

  // Only the three header lines: accepted, nothing changes.
  auto before = CollectFormRecords(w.f);
  WriteGbkFile(dir / "empty.pmf", Header());
  EXPECT_TRUE(LoadFormRecords(w.f, dir / "empty.pmf"));
  EXPECT_EQ(testing::FirstDifference(CollectFormRecords(w.f), before), "");
}

TEST(FormRecordReading, SkipsWhatItDoesNotKnowAndKeepsReading) {
  TempDir dir;
  Window w;
  WriteGbkFile(dir / "odd.pmf", Header() + Rec("NoSuchField", "String", "Text", "x") +
                                    Rec("MaoD", "Text2", "Text", "1") + Rec("MaoD", "String", "Font", "宋体") +
                                    Rec("MaoD", "Ord", "Text", "abc") +  // Text is no integer property
                                    "\n\n  \n\t\n" + Rec("MaoD", "String", "Text", "1500") + "\n\n\n" +
                                    Rec("OBJNameD", "String", "Text", "") + Rec("CmtoD", "Rich", "Lines", "") +
                                    Rec("VND", "Ord", "ItemIndex", "-1") + Rec("RGFType", "Ord", "itemindex", "1") +
                                    Rec("maou", "Ord", "ItemIndex", "1"));
  w.f.OBJNameD->SetText("old name");
  ASSERT_TRUE(LoadFormRecords(w.f, dir / "odd.pmf"));
  EXPECT_EQ(w.f.MaoD->Text(), "1.5");   // 1500 kg, then the selector's t
  EXPECT_EQ(w.f.OBJNameD->Text(), "");  // an empty value line is a value
  EXPECT_TRUE(w.f.CmtoD->Lines().empty());
  EXPECT_EQ(w.f.VND->ItemIndex(), -1);
  EXPECT_EQ(w.f.RGFType->ItemIndex(), 1);  // property names ignore case
  EXPECT_EQ(w.f.MaoU->ItemIndex(), 1);     // so do component names
  EXPECT_EQ(w.f.MaoD->Exchange(), 1000);
}

TEST(FormRecordReading, FactorAndSelectorInEitherOrderKeepTheStoredText) {
  TempDir dir;
  const std::string field = Rec("MaoD", "Float", "Exchange", "1000") + Rec("MaoD", "String", "Text", "25");
  const std::string selector = Rec("MaoU", "Ord", "ItemIndex", "1");
  for (const std::string& body : {field + selector, selector + field}) {
    Window w;
    w.f.MaoD->SetText("8");  // in kg before reading
    WriteGbkFile(dir / "t.pmf", Header() + body);
    ASSERT_TRUE(LoadFormRecords(w.f, dir / "t.pmf"));
    EXPECT_EQ(w.f.MaoD->Text(), "25");
    EXPECT_EQ(w.f.MaoD->Exchange(), 1000);
    EXPECT_EQ(w.f.MaoU->GetUnit(), "t");
    EXPECT_DOUBLE_EQ(w.f.MaoD->GetValue(), 25000);
  }
}

TEST(FormRecordReading, BadValueChangesNothing) {
  TempDir dir;
  struct Case {
    std::string record, message;
  };
  const Case cases[] = {
      {Rec("TaoD", "Float", "Exchange", "abc"), "'abc' is not a valid floating point value"},
      {Rec("VND", "Ord", "ItemIndex", "x1"), "'x1' is not a valid integer value"},
      {Rec("MaoD", "Ord", "Color", "99999999999"), "'99999999999' is not a valid integer value"},
      {Rec("MaoD", "Enum", "Enabled", "Maybe"), "Invalid property element: Maybe"},
  };
  for (const Case& c : cases) {
    Window w;
    w.f.MaoD->SetText("5");
    auto before = CollectFormRecords(w.f);
    WriteGbkFile(dir / "bad.pmf", Header() + Rec("MaoD", "String", "Text", "999") +
                                      Rec("RGEType", "Ord", "ItemIndex", "2") + c.record +
                                      Rec("OBJNameD", "String", "Text", "after"));
    try {
      LoadFormRecords(w.f, dir / "bad.pmf");
      ADD_FAILURE() << "no error for " << c.record;
    } catch (const ConversionError& e) {
      EXPECT_EQ(e.what(), c.message);
    }
    EXPECT_EQ(testing::FirstDifference(CollectFormRecords(w.f), before), "") << c.record;
  }
  // A value nobody would apply (an unknown component) is no error.
  Window w;
  WriteGbkFile(dir / "ok.pmf", Header() + Rec("Gone", "Float", "Exchange", "abc") + Rec("MaoD", "String", "Text", "3"));
  EXPECT_TRUE(LoadFormRecords(w.f, dir / "ok.pmf"));
  EXPECT_EQ(w.f.MaoD->Text(), "3");
}

// An index beyond its list (ItemIndex 9 of a three-item radio group) would leave a
// selection that is no item and fail later as an empty number: the file is refused as a
// whole, the window keeps its state, and the message names the component and the value.
TEST(FormRecordReading, AnIndexOutsideItsListRefusesTheWholeFile) {
  TempDir dir;
  struct Case {
    std::string record, message;
  };
  const Case cases[] = {
      {Rec("RGFType", "Ord", "ItemIndex", "9"), "文件中“RGFType”的选项序号 9 超出范围（共 3 项，序号应为 0 至 2）"},
      {Rec("RGEType", "Ord", "ItemIndex", "-2"), "文件中“RGEType”的选项序号 -2 超出范围"},
      {Rec("TShapeD", "Ord", "ItemIndex", "77"), "文件中“TShapeD”的选项序号 77 超出范围"},
      // A unit selector's list follows the mode: checked when its record is reached.
      {Rec("MaoU", "Ord", "ItemIndex", "40"), "文件中“MaoU”的选项序号 40 超出范围"},
  };
  for (const Case& c : cases) {
    Window w;
    w.f.MaoD->SetText("5");
    w.f.RGFType->SetItemIndex(0);
    auto before = CollectFormRecords(w.f);
    WriteGbkFile(dir / "bad.pmf", Header() + Rec("MaoD", "String", "Text", "999") +
                                      Rec("RGEType", "Ord", "ItemIndex", "1") + c.record +
                                      Rec("OBJNameD", "String", "Text", "after"));
    try {
      LoadFormRecords(w.f, dir / "bad.pmf");
      ADD_FAILURE() << "no error for " << c.record;
    } catch (const ConversionError& e) {
      EXPECT_EQ(std::string(e.what()).rfind(c.message, 0), 0u) << e.what();
    }
    EXPECT_EQ(testing::FirstDifference(CollectFormRecords(w.f), before), "") << c.record;
  }
  // The last item and "no selection" are indexes of the list.
  Window w;
  WriteGbkFile(dir / "edge.pmf",
               Header() + Rec("RGFType", "Ord", "ItemIndex", "2") + Rec("VND", "Ord", "ItemIndex", "-1"));
  ASSERT_TRUE(LoadFormRecords(w.f, dir / "edge.pmf"));
  EXPECT_EQ(w.f.RGFType->ItemIndex(), 2);
}

TEST(FormRecordReading, ReactionFailingHalfWayPutsTheWindowBack) {
  TempDir dir;
  Window w;
  w.f.MaoD->SetText("5");
  w.f.OBJNameD->SetText("before");
  const auto before = CollectFormRecords(w.f);
  w.f.SetHandler("RGETypeClick", [](Component*) { throw FloatingPointError("Floating point division by zero"); });
  WriteGbkFile(dir / "r.pmf", Header() + Rec("MaoD", "String", "Text", "999") +
                                  Rec("RGEType", "Ord", "ItemIndex", "1") + Rec("OBJNameD", "String", "Text", "after"));
  EXPECT_THROW(LoadFormRecords(w.f, dir / "r.pmf"), FloatingPointError);
  EXPECT_EQ(testing::FirstDifference(CollectFormRecords(w.f), before), "");
}

TEST(FormRecordReading, BytesThatAreNoGbkTextAreReportedNotApplied) {
  TempDir dir;
  Window w;
  std::string bytes =
      "CFR File Format(Compatible Form Record File),by Lirvadesmonte.\r\nVersion 1.1,2007.07.17\r\n\r\n"
      "MaoD\r\nString\r\nText\r\n12\r\n\r\nOBJNameD\r\nString\r\nText\r\n\x81\x20\r\n\r\n";
  testing::WriteBytes(dir / "broken.pmf", bytes);
  EXPECT_THROW(LoadFormRecords(w.f, dir / "broken.pmf"), FileError);
  EXPECT_EQ(w.f.MaoD->Text(), "");
}

TEST(FormRecordEncoding, MemoLinesKeepLeadingBlanksAndLoseTrailingOnes) {
  TempDir dir;
  Window w;
  w.f.CmtoD->SetLines({"  ab  "});
  w.f.CmttD->SetLines({"x", "", "y"});
  SaveFormRecords(w.f, dir / "m.pmf");
  std::string bytes = testing::ReadBytes(dir / "m.pmf");
  EXPECT_NE(bytes.find("CmtoD\r\nRich\r\nLines\r\n\xA1\xF7  ab\r\n\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("CmttD\r\nRich\r\nLines\r\n\xA1\xF7x\xA1\xF8\xA1\xF7\xA1\xF8\xA1\xF7y\r\n\r\n"),
            std::string::npos);

  Window fresh;
  ASSERT_TRUE(LoadFormRecords(fresh.f, dir / "m.pmf"));
  EXPECT_EQ(fresh.f.CmtoD->Lines(), std::vector<std::string>{"  ab"});
  EXPECT_EQ(fresh.f.CmttD->Lines(), (std::vector<std::string>{"x", "", "y"}));
}

TEST(FormRecordEncoding, FileLayoutColoursAndFlags) {
  TempDir dir;
  Window w;
  w.f.OBJNameD->SetText("一号储槽");
  PutResult(*w.f.AtD, RGBColor(0xC9, 0xEF, 0xFE), 0.01, 12.5);
  SaveFormRecords(w.f, dir / "l.pmf");
  auto text = GbkToUtf8(testing::ReadBytes(dir / "l.pmf"));
  ASSERT_TRUE(text);
  EXPECT_EQ(
      text->rfind("CFR File Format(Compatible Form Record File),by Lirvadesmonte.\r\nVersion 1.1,2007.07.17\r\n\r\n"
                  "PelmoraFile\r\nString\r\nWriter\r\nPelmora " PELMORA_VERSION_TEXT "; " +
                      std::to_string(CollectFormRecords(w.f).size()) +
                      " records\r\n\r\n"
                      "OBJNameD\r\nString\r\nText\r\n一号储槽\r\n\r\nOBJNameD\r\nEnum\r\nEnabled\r\nTrue\r\n\r\n"
                      "OBJNameD\r\nEnum\r\nReadOnly\r\nFalse\r\n\r\nOBJNameD\r\nOrd\r\nColor\r\n-16777211\r\n\r\n",
                  0),
      0u);
  EXPECT_NE(
      text->find("AtD\r\nFloat\r\nExchange\r\n1\r\n\r\nAtD\r\nString\r\nText\r\n12.5\r\n\r\nAtD\r\nEnum\r\nEnabled\r\n"
                 "True\r\n\r\nAtD\r\nEnum\r\nReadOnly\r\nTrue\r\n\r\nAtD\r\nOrd\r\nColor\r\n16707529\r\n\r\n"
                 "AtU\r\nOrd\r\nItemIndex\r\n0\r\n\r\n"),
      std::string::npos);
  EXPECT_NE(text->find("RGEType\r\nOrd\r\nItemIndex\r\n0\r\n"), std::string::npos);
  // Labels, buttons, pages, menus and the status bar write nothing.
  for (const char* silent : {"\r\nAtL\r\n", "\r\nSBClear\r\n", "\r\nTabSheet1\r\n", "\r\nMFSave\r\n",
                             "\r\nMyStatusBar\r\n", "\r\nPaintBox1\r\n"})
    EXPECT_EQ(text->find(silent), std::string::npos) << silent;
  EXPECT_EQ(text->substr(text->size() - 4), "\r\n\r\n");
}

TEST(FormRecordEncoding, CharacterOutsideGbkIsReportedAndTheOldFileStays) {
  TempDir dir;
  Window w;
  w.f.OBJNameD->SetText("旧");
  SaveFormRecords(w.f, dir / "p.pmf");
  const std::string old = testing::ReadBytes(dir / "p.pmf");
  w.f.OBJNoteD->SetText("面积 m²");
  try {
    SaveFormRecords(w.f, dir / "p.pmf");
    ADD_FAILURE() << "saved a character GBK cannot hold";
  } catch (const FileError& e) {
    EXPECT_NE(std::string(e.what()).find("OBJNoteD"), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find("U+00B2"), std::string::npos) << e.what();
  }
  EXPECT_EQ(testing::ReadBytes(dir / "p.pmf"), old);
  EXPECT_EQ(std::filesystem::directory_iterator(dir.path())->path().filename(), "p.pmf");  // no leftovers
}

// A small form with the kinds the calculation window does not use.
class ListForm : public Form {
 public:
  ListForm() {
    list = &Create<CheckListBox>("CLB", nullptr);
    memo = &Create<RichEdit>("Memo1", nullptr, Kind::Memo);
    box = &Create<CheckBox>("CB", nullptr, "勾选");
    radio = &Create<CheckBox>("RB", nullptr, "单选", Kind::RadioButton);
    label = &Create<Label>("L1", nullptr, "caption");
  }
  CheckListBox* list;
  RichEdit* memo;
  CheckBox* box;
  CheckBox* radio;
  Label* label;
};

TEST(FormRecordEncoding, CheckListMemoAndCheckBoxes) {
  TempDir dir;
  ListForm f;
  f.list->SetItems({{"A", true}, {" B ", false}});
  f.memo->SetLines({"第一行", "  second"});
  f.box->SetChecked(true);
  SaveFormRecords(f, dir / "c.cfr");
  auto text = GbkToUtf8(testing::ReadBytes(dir / "c.cfr"));
  ASSERT_TRUE(text);
  EXPECT_NE(text->find("CLB\r\nCheckListBox\r\nItems\r\nA▲1▲B▲0\r\n"), std::string::npos);
  EXPECT_NE(text->find("Memo1\r\nMemo\r\nLines\r\n△第一行▲△  second\r\n"), std::string::npos);
  EXPECT_NE(text->find("CB\r\nEnum\r\nChecked\r\nTrue\r\n"), std::string::npos);
  EXPECT_NE(text->find("RB\r\nEnum\r\nChecked\r\nFalse\r\n"), std::string::npos);
  EXPECT_EQ(text->find("L1"), std::string::npos);

  ListForm g;
  g.list->SetItems({{"x", false}, {"y", true}});
  ASSERT_TRUE(LoadFormRecords(g, dir / "c.cfr"));
  ASSERT_EQ(g.list->Items().size(), 2u);
  EXPECT_EQ(g.list->Items()[0].text, "A");
  EXPECT_TRUE(g.list->Items()[0].checked);
  EXPECT_EQ(g.list->Items()[1].text, "B");
  EXPECT_FALSE(g.list->Items()[1].checked);
  EXPECT_TRUE(g.box->Checked());
  EXPECT_EQ(g.memo->Lines(), (std::vector<std::string>{"第一行", "  second"}));

  // Items are replaced in place and the list is never extended; anything but "1" is no tick.
  ListForm h;
  h.list->SetItems({{"p", true}});
  WriteGbkFile(dir / "more.cfr",
               Header() + Rec("CLB", "CheckListBox", "Items", "新▲x▲多▲1") + Rec("L1", "Memo", "Lines", "△a▲△b"));
  ASSERT_TRUE(LoadFormRecords(h, dir / "more.cfr"));
  ASSERT_EQ(h.list->Items().size(), 1u);
  EXPECT_EQ(h.list->Items()[0].text, "新");
  EXPECT_FALSE(h.list->Items()[0].checked);
  EXPECT_EQ(h.label->Caption(), "a\r\nb");  // a memo record sets the caption of any other control
}

TEST(FormRecordRoundTrip, SavedOpenedAndSavedAgainGivesTheSameBytes) {
  TempDir dir;
  Window w;
  TFormPelmora& f = w.f;
  f.OBJNameD->SetText("热水加热储槽 T-101");
  f.OBJNoteD->SetText("  前导空格与尾随空格  ");
  f.MaoU->UserSelect(1);      // t
  f.MaoD->SetText("2000.0");  // kept as typed
  f.TaoD->SetText("8");
  f.TaoU->UserSelect(2);  // hr
  f.dioD->SetText("0.0250");
  f.RiD->SetText("1.76E-4");
  PutResult(*f.AtD, RGBColor(255, 200, 200), 0.01, 3.14159265358979);
  f.LtD->SetEnabled(false);
  f.WrD->SetReadOnly(true);
  f.SmD->SetItemIndex(3);
  f.PmD->SetItemIndex(-1);
  f.TmD->SetItemIndex(2);
  f.RGLGDY->SetItemIndex(2);
  f.CmtoD->SetLines({"水 20 ℃", "", "  缩进的一行"});
  f.RichEditReport->SetLines({"报告第一行", "━━━━"});
  SaveFormRecords(f, dir / "one.pmf");
  const auto saved = CollectFormRecords(f);

  Window fresh;
  ASSERT_TRUE(LoadFormRecords(fresh.f, dir / "one.pmf"));
  EXPECT_EQ(testing::FirstDifference(CollectFormRecords(fresh.f), saved), "");
  EXPECT_EQ(fresh.f.MaoD->Text(), "2000.0");
  EXPECT_EQ(fresh.f.MaoU->GetUnit(), "t");
  EXPECT_EQ(fresh.f.TaoU->GetUnit(), "hr");
  EXPECT_EQ(fresh.f.AtD->GetColor(), RGBColor(255, 200, 200));
  EXPECT_TRUE(fresh.f.AtD->ReadOnly());
  EXPECT_FALSE(fresh.f.LtD->Enabled());
  EXPECT_EQ(fresh.f.SmD->ItemIndex(), 3);
  EXPECT_EQ(fresh.f.PmD->ItemIndex(), -1);
  EXPECT_EQ(fresh.f.RGLGDY->ItemIndex(), 2);
  EXPECT_EQ(fresh.f.OBJNoteD->Text(), "  前导空格与尾随空格  ");
  SaveFormRecords(fresh.f, dir / "two.pmf");
  EXPECT_EQ(testing::ReadBytes(dir / "two.pmf"), testing::ReadBytes(dir / "one.pmf"));
}

TEST(FormRecordRoundTrip, TemplateLeavesTheReportOut) {
  TempDir dir;
  Window w;
  w.f.RichEditReport->SetLines({"旧报告"});
  w.f.MaoD->SetText("10");
  SaveFormRecords(w.f, dir / "t.pmt", {"richeditreport"});
  EXPECT_EQ(testing::ReadBytes(dir / "t.pmt").find("RichEditReport"), std::string::npos);
  Window other;
  other.f.RichEditReport->SetLines({"保留的报告"});
  ASSERT_TRUE(LoadFormRecords(other.f, dir / "t.pmt"));
  EXPECT_EQ(other.f.RichEditReport->Lines(), std::vector<std::string>{"保留的报告"});
  EXPECT_EQ(other.f.MaoD->Text(), "10");
}

}  // namespace
}  // namespace pelmora

// The one description of each component kind: every shipped file still round-trips to
// the same bytes, and a property added to one kind reaches the file records, the
// --json state and the reading of files without any other change.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "../common/NoteProperty.h"
#include "ProjectTestUtil.h"
#include "ProjectWindow.h"
#include "app/PelmoraApp.h"
#include "cli/CliRunner.h"
#include "cli/Json.h"
#include "fields/Properties.h"
#include "project/SaveFormData.h"

namespace pelmora {
namespace {

using testing::kBin;
using testing::ReadBytes;
using testing::TempDir;

TEST(KindDescription, EveryShippedTemplateSavesAgainToTheSameBytes) {
  for (const char* name : testing::kNames) {
    const std::string file = testing::Template(name);
    testing::AppWindow w;
    ASSERT_TRUE(w.ClickWithFile("MFNewClick", file)) << name;
    TempDir dir;
    ASSERT_TRUE(w.ClickWithFile("MFTempClick", dir / "again.pmt")) << name;
    EXPECT_TRUE(ReadBytes(dir / "again.pmt") == ReadBytes(file)) << name;
  }
}

TEST(KindDescription, EveryKindThatIsWrittenIsReadBack) {
  // Whatever a kind writes, it accepts on reading.
  for (int k = 0; k <= static_cast<int>(Kind::DataGrid); ++k) {
    const KindInfo& info = Describe(static_cast<Kind>(k));
    EXPECT_EQ(info.kind, static_cast<Kind>(k));
    for (size_t i : info.written) {
      const Property& p = info.properties[i];
      EXPECT_TRUE(p.get && p.set) << info.name << "." << p.name;
    }
  }
}

// A note on each value field, kept outside the component as a test-only property.
std::map<const Component*, std::string>& notes = testing::Notes();

struct TestOnlyProperty : ::testing::Test {
  void SetUp() override {
    notes.clear();
    AddProperty(Kind::EditD, testing::NoteProperty({{"String", "Note"}}, 9));
  }
  void TearDown() override {
    RemoveProperty(Kind::EditD, "Note");
    notes.clear();
  }
};

TEST_F(TestOnlyProperty, AppearsInTheFileRecordsAndIsReadBack) {
  ScriptedPort port;
  PelmoraApp app(&port, kBin);
  notes[app.form.TaoD] = "批次 3";
  std::vector<FormRecord> records = CollectFormRecords(app.form);
  // After the five records of a value field; plain edits have none.
  auto at = std::find_if(records.begin(), records.end(), [](const FormRecord& r) { return r.name == "TaoD"; });
  ASSERT_NE(at, records.end());
  ASSERT_LT(at + 5, records.end());
  EXPECT_EQ(at[0].property, "Exchange");
  EXPECT_EQ(at[4].property, "Color");
  EXPECT_EQ(at[5].kind, "String");
  EXPECT_EQ(at[5].property, "Note");
  EXPECT_EQ(at[5].value, "批次 3");
  for (const auto& r : records)
    if (r.property == "Note") {
      EXPECT_TRUE(app.form.FindAs<EditD>(r.name)) << r.name;
    }

  // Saved and read into a fresh window.
  TempDir dir;
  SaveFormRecords(app.form, dir / "note.pmf");
  PelmoraApp other(&port, kBin);
  notes.clear();
  ASSERT_EQ(ReadFormRecordFile(other.form, dir / "note.pmf"), LoadStatus::Applied);
  EXPECT_EQ(notes[other.form.TaoD], "批次 3");
  EXPECT_EQ(notes[other.form.sfD], "");
}

TEST_F(TestOnlyProperty, AppearsInTheJsonState) {
  std::ostringstream out, err;
  ASSERT_EQ(RunCli({"--set", "TaoD=2", "--json"}, out, err), 0) << err.str();
  const std::string json = out.str();
  auto line = [&json](const std::string& name) {
    size_t at = json.find("\"" + name + "\": {");
    return at == std::string::npos ? std::string() : json.substr(at, json.find('\n', at) - at);
  };
  EXPECT_NE(line("TaoD").find("\"color\": -16777211, \"note\": \"\"}"), std::string::npos) << line("TaoD");
  ASSERT_FALSE(line("OBJNameD").empty());
  EXPECT_EQ(line("OBJNameD").find("note"), std::string::npos);  // a plain edit, another kind
}

}  // namespace
}  // namespace pelmora

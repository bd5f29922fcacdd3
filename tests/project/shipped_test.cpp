// The shipped templates and examples as users meet them, and the project options of
// pelmora-calc.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <sstream>

#include "ProjectTestUtil.h"
#include "ProjectWindow.h"
#include "app/PelmoraApp.h"
#include "cli/CliRunner.h"
#include "fields/FieldOps.h"
#include "fields/Text.h"
#include "project/SaveFormData.h"

namespace pelmora {
namespace {

using testing::kBin;
using testing::ReadBytes;
using testing::TempDir;

TEST(ShippedFiles, ExamplesOpenComputedAndRecalculateToTheSameResults) {
  for (const char* name : testing::kNames) {
    const std::string file = testing::Example(name);
    testing::AppWindow w;
    ScriptedPort& port = w.port;
    PelmoraApp& app = w.app;
    ASSERT_TRUE(w.ClickWithFile("MFOpenClick", file)) << name;
    ASSERT_EQ(app.form.CurrentProjectFile, file);
    for (EditD* f : {app.form.AtD, app.form.ArD, app.form.KTaD, app.form.TTaD, app.form.LtD, app.form.mD})
      EXPECT_FALSE(Blank(*f)) << name << " " << f->Name();
    EXPECT_FALSE(app.form.OBJNameD->Text().empty());
    // Opened and saved again: the same bytes.
    TempDir dir;
    ASSERT_TRUE(w.ClickWithFile("MFAsClick", dir / "again.pmf"));
    EXPECT_TRUE(ReadBytes(dir / "again.pmf") == ReadBytes(file)) << name;

    // Recalculated: every value stays, nothing is reported.
    std::vector<std::string> texts;
    for (EditD* f : app.form.ValueFields()) texts.push_back(f->Text());
    ASSERT_TRUE(app.Run([&] { app.calc.MaoDExit(nullptr); })) << name;
    EXPECT_TRUE(port.Messages().empty()) << name << ": " << port.Messages().front();
    EXPECT_EQ(app.form.MyStatusBar->PanelText(1), "") << name;
    for (size_t i = 0; i < texts.size(); ++i)
      EXPECT_EQ(app.form.ValueFields()[i]->Text(), texts[i]) << name << " " << app.form.ValueFields()[i]->Name();
  }
}

TEST(ShippedFiles, TemplatesHoldInputsOnly) {
  for (const char* name : testing::kNames) {
    const std::string file = kBin + "/templates/" + name + ".pmt";
    ScriptedPort port;
    PelmoraApp app(&port, kBin);
    app.form.RichEditReport->SetLines({"报告"});
    port.files.push_back(file);
    ASSERT_TRUE(app.Run([&] { app.form.RunHandler("MFNewClick", nullptr); })) << name;
    EXPECT_EQ(app.form.Caption(), std::string(TFormPelmora::kTitle) + "-[无名项目]");
    EXPECT_TRUE(Blank(*app.form.AtD)) << name;
    EXPECT_FALSE(Blank(*app.form.dioD)) << name;
    EXPECT_EQ(app.form.RichEditReport->Lines(), std::vector<std::string>{"报告"});
    EXPECT_EQ(ReadBytes(file).find("RichEditReport"), std::string::npos);
  }
}

// 空白项目: New from it gives the window as the program starts, unnamed and unmodified.
TEST(ShippedFiles, TheBlankTemplateGivesAnEmptyProject) {
  const std::string file = kBin + "/templates/空白项目.pmt";
  ScriptedPort port, freshPort;
  PelmoraApp app(&port, kBin), fresh(&freshPort, kBin);
  ASSERT_TRUE(app.Run([&] { app.project.OpenAtStartup(kBin + "/examples/agitated-tank.pmf"); }));
  port.files.push_back(file);
  port.defaultAnswer = Answer::No;  // the unsaved question, if any
  ASSERT_TRUE(app.Run([&] { app.form.RunHandler("MFNewClick", nullptr); }));
  EXPECT_EQ(app.form.Caption(), std::string(TFormPelmora::kTitle) + "-[无名项目]");
  EXPECT_FALSE(app.form.Unsaved());
  // As the program starts, but for what the vessel rules give a new project (a flat-
  // bottomed cylinder has no centre column: 0).
  for (EditD* e : app.form.ValueFields()) {
    if (e == app.form.DcD) continue;
    EXPECT_EQ(e->Text(), fresh.form.FindAs<EditD>(e->Name())->Text()) << e->Name();
  }
  EXPECT_EQ(app.form.SetErrD->Text(), "0.01");
  EXPECT_TRUE(app.form.TaoD->Text().empty());
  EXPECT_FALSE(std::filesystem::exists(kBin + "/examples/空白项目.pmf"));
}

// A port that keeps the file dialogs' requests.
struct DialogPort : ScriptedPort {
  std::vector<FileDialogRequest> requests;
  std::optional<std::string> OpenDialog(const FileDialogRequest& r) override {
    requests.push_back(r);
    return ScriptedPort::OpenDialog(r);
  }
  std::optional<std::string> SaveDialog(const FileDialogRequest& r) override {
    requests.push_back(r);
    return ScriptedPort::SaveDialog(r);
  }
};

// Started from a desktop menu the working folder is anywhere: New starts in the shipped
// templates, Open in the folder of the project (else the shipped examples).
TEST(ShippedFiles, TheFileDialogsStartWhereTheFilesAre) {
  TempDir dir;
  DialogPort port;
  PelmoraApp app(&port, kBin + "/");
  app.Run([&] { app.form.RunHandler("MFNewClick", nullptr); });
  app.Run([&] { app.form.RunHandler("MFOpenClick", nullptr); });
  ASSERT_EQ(port.requests.size(), 2u);
  EXPECT_EQ(port.requests[0].initialDir, kBin + "/templates");
  EXPECT_EQ(port.requests[1].initialDir, kBin + "/examples");
  port.files.push_back(dir / "mine.pmf");
  app.Run([&] { app.form.RunHandler("MFAsClick", nullptr); });
  app.Run([&] { app.form.RunHandler("MFOpenClick", nullptr); });
  app.Run([&] { app.form.RunHandler("MFTempClick", nullptr); });
  app.Run([&] { app.form.RunHandler("MFNewClick", nullptr); });
  ASSERT_EQ(port.requests.size(), 6u);
  // Saved for the first time: the home folder, not the program's data.
  EXPECT_NE(port.requests[2].initialDir.find(getenv("HOME") ? getenv("HOME") : "."), std::string::npos);
  const std::string mine = std::filesystem::path(dir / "mine.pmf").parent_path().string();
  EXPECT_EQ(port.requests[3].initialDir, mine);
  EXPECT_EQ(port.requests[4].initialDir, mine);
  EXPECT_EQ(port.requests[5].initialDir, kBin + "/templates");  // New still starts in the templates
}

int Cli(const std::vector<std::string>& args, std::string* out = nullptr) {
  std::ostringstream o, e;
  int rc = RunCli(args, o, e);
  if (out) *out = o.str();
  return rc;
}

TEST(ShippedFiles, CommandLineProjectOptionsActAsTheCommands) {
  TempDir dir;
  const std::string p = dir / "p.pmf", t = dir / "t.pmt";
  ASSERT_EQ(Cli({"--set", "MaoD=7", "--set", "RichEditReport=报告", "--save", p, "--save-template", t}), 0);
  std::string json;
  ASSERT_EQ(Cli({p, "--json"}), 0);
  ASSERT_EQ(Cli({"--open", p, "--json"}, &json), 0);
  EXPECT_NE(json.find("-[" + p + "]"), std::string::npos);
  EXPECT_NE(json.find("\"projectModified\": false"), std::string::npos);
  ASSERT_EQ(Cli({"--new", t, "--json"}, &json), 0);
  EXPECT_NE(json.find("[无名项目]"), std::string::npos);
  EXPECT_EQ(ReadBytes(t).find("RichEditReport"), std::string::npos);

  // --clear asks; --yes answers, and the emptied field is saved.
  ASSERT_EQ(Cli({p, "--yes", "--clear", "MaoD", "--save", p}), 0);
  ScriptedPort port;
  PelmoraApp app(&port, kBin);
  ASSERT_TRUE(LoadFormRecords(app.form, p));
  EXPECT_EQ(app.form.MaoD->Text(), "");

  // A message, nothing changed, and the run reports the file it could not read.
  EXPECT_EQ(Cli({"--open", dir / "missing.pmf"}), 3);
  EXPECT_EQ(Cli({"--clear", "OBJNameD"}), 2);
}

}  // namespace
}  // namespace pelmora

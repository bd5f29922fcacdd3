// The undo history over the window: what makes one step, what an undo puts back beside
// the fields, how the title's mark and the modified flag follow, how a later command is
// made one step.
#include <gtest/gtest.h>

#include "ProjectTestUtil.h"
#include "app/PelmoraApp.h"
#include "project/SaveFormData.h"
#include "study/Study.h"

namespace pelmora {
namespace {

const std::string kExample = PELMORA_PROGRAM_DIR "/examples/storage-tank-hot-water.pmf";

struct Undo : ::testing::Test {
  ScriptedPort port;
  PelmoraApp app{&port, PELMORA_PROGRAM_DIR "/"};
  TFormPelmora& f = app.form;

  void SetUp() override {
    ASSERT_TRUE(app.Run([&] { app.project.OpenAtStartup(kExample); }));
  }
  // Typing as the window passes it on: one action per keystroke, the field focused.
  void Type(EditD* e, const std::string& text) {
    for (size_t n = 1; n <= text.size(); ++n)
      app.Run([&] {
        f.FocusChangedByView(e);
        e->SetText(text.substr(0, n));
      });
  }
  // Enter in the field: its exit runs the recalculation and the focus moves on.
  void Enter(EditD* e) {
    app.Run([&] { e->OnKeyDown(e, 13); });
  }
  std::string File() { return FormatFormRecords(CollectFormRecords(f)); }
};

TEST_F(Undo, KeystrokesAndTheExitOfOneFieldAreOneStep) {
  const std::string before = File();
  const std::string area = f.AtD->Text();
  Type(f.TaoD, "7.5");
  EXPECT_EQ(app.undo.UndoCount(), 1u);
  Enter(f.TaoD);
  ASSERT_EQ(app.undo.UndoCount(), 1u);
  EXPECT_EQ(app.undo.UndoName(), "输入 加热时间");
  EXPECT_NE(f.AtD->Text(), area);  // the recalculation is part of the step
  EXPECT_EQ(f.MEUndo->Caption(), "&U 撤销 输入 加热时间");
  EXPECT_TRUE(f.MEUndo->Enabled());
  EXPECT_FALSE(f.MERedo->Enabled());
  // The next field typed is the next step.
  Type(f.sfD, "20");
  Enter(f.sfD);
  EXPECT_EQ(app.undo.UndoCount(), 2u);
  EXPECT_EQ(app.undo.UndoName(), "输入 富余度");
  ASSERT_TRUE(app.Run([&] { f.MEUndo->Click(); }));
  ASSERT_TRUE(app.Run([&] { f.MEUndo->Click(); }));
  EXPECT_EQ(File(), before);
  EXPECT_EQ(f.AtD->Text(), area);
  EXPECT_EQ(f.MERedo->Caption(), "&R 重做 输入 加热时间");
  EXPECT_FALSE(f.MEUndo->Enabled());
  EXPECT_FALSE(f.MEUndo->Hint().empty());  // disabled, and says why
}

// Leaving a field with a bad value stops the run with a message; the text typed is a
// step all the same, and undoing it brings the value and the results back.
TEST_F(Undo, AStoppedRunIsUndoneWithItsStaleMarks) {
  const std::string before = File();
  Type(f.TaoD, "abc");
  Enter(f.TaoD);
  ASSERT_FALSE(port.Messages().empty());
  EXPECT_TRUE(app.calc.AnyStale() || f.TaoD->Text() == " ");
  ASSERT_TRUE(app.Run([&] { app.undo.Undo(); }));
  EXPECT_EQ(File(), before);
  EXPECT_FALSE(app.calc.AnyStale());
  EXPECT_EQ(f.MyStatusBar->PanelText(1), "");
}

// The design checks belong to the design shown: undone with it.
TEST_F(Undo, TheChecksOfTheRunComeBackWithTheDesign) {
  app.Run([&] { app.calc.MaoDExit(nullptr); });
  const auto checks = app.calc.checks;
  int told = 0;
  app.calc.checksChanged = [&] { ++told; };
  Type(f.nD, "1");  // one tube for the whole flow: far too fast
  app.Run([&] { app.calc.MaoDExit(nullptr); });
  ASSERT_NE(app.calc.checks, checks);
  const int beforeUndo = told;
  ASSERT_TRUE(app.Run([&] { app.undo.Undo(); }));
  EXPECT_EQ(app.calc.checks, checks);
  EXPECT_EQ(told, beforeUndo + 1);  // the list is told to show them
  ASSERT_TRUE(app.Run([&] { app.undo.Redo(); }));
  EXPECT_NE(app.calc.checks, checks);
}

TEST_F(Undo, TheTitleMarkAndTheModifiedFlagFollowTheFile) {
  EXPECT_FALSE(f.Unsaved());
  Type(f.TaoD, "6");
  Enter(f.TaoD);
  EXPECT_TRUE(f.Unsaved());
  EXPECT_TRUE(f.ProjectModified());
  ASSERT_TRUE(app.Run([&] { app.undo.Undo(); }));
  EXPECT_FALSE(f.Unsaved());  // back to what the file holds
  EXPECT_FALSE(f.ProjectModified());
  EXPECT_FALSE(f.MFSave->Enabled());
  ASSERT_TRUE(app.Run([&] { app.undo.Redo(); }));
  EXPECT_TRUE(f.Unsaved());
  // Saved: no mark, and the history stays.
  testing::TempDir dir;
  port.files.push_back(dir / "saved.pmf");
  ASSERT_TRUE(app.Run([&] { f.RunHandler("MFAsClick", nullptr); }));
  EXPECT_FALSE(f.Unsaved());
  EXPECT_TRUE(app.undo.CanUndo());
  ASSERT_TRUE(app.Run([&] { app.undo.Undo(); }));
  EXPECT_TRUE(f.Unsaved());  // now it differs from the file saved
}

// A later command is made one step by one line, whatever it changes and wherever the
// focus is; code outside the window's handlers opens a scope.
TEST_F(Undo, ADeclaredCommandIsOneStepUnderItsName) {
  MenuItem& apply = f.Create<MenuItem>("MTestApply", f.MCalc, "&A 应用");
  apply.OnClick = f.AddCommand(apply, "MTestApplyClick");
  f.SetHandler("MTestApplyClick", [this](Component*) {
    f.dioD->SetValue(0.032);
    f.diiD->SetValue(0.026);
    app.calc.MaoDExit(nullptr);
  });
  app.undo.Declare("MTestApplyClick", "应用");
  const std::string before = File();
  app.Run([&] { f.FocusChangedByView(f.TaoD); });
  ASSERT_TRUE(app.Run([&] { apply.Click(); }));
  EXPECT_EQ(app.undo.UndoCount(), 1u);
  EXPECT_EQ(app.undo.UndoName(), "应用");
  // Typing in the focused field after it is a step of its own.
  Type(f.TaoD, "3");
  EXPECT_EQ(app.undo.UndoCount(), 2u);
  app.Run([&] { app.undo.Undo(); });
  app.Run([&] { app.undo.Undo(); });
  EXPECT_EQ(File(), before);

  {
    UndoHistory::Step step(app.undo, "更新物性");
    f.DeniD->SetValue(971.8);
    f.CipD->SetValue(4197);
  }
  EXPECT_EQ(app.undo.UndoName(), "更新物性");
  EXPECT_EQ(app.undo.UndoCount(), 1u);
}

// Nothing that leaves the project as it was is a step: saving, a page switch, a
// recalculation of a settled design, the report text rebuilt.
TEST_F(Undo, WhatChangesNothingLeavesNoStep) {
  app.Run([&] { app.calc.MaoDExit(nullptr); });
  const size_t steps = app.undo.UndoCount();  // the example's mode flags settle in the first run
  app.Run([&] { app.calc.MaoDExit(nullptr); });
  app.Run([&] { f.PageControl1->UserSelect(f.TabSheet5); });
  app.Run([&] { f.PageControl1->UserSelect(f.TabSheet2); });
  testing::TempDir dir;
  port.files.push_back(dir / "same.pmf");
  app.Run([&] { f.RunHandler("MFAsClick", nullptr); });
  EXPECT_EQ(app.undo.UndoCount(), steps);
}

// The history is bounded; the oldest steps go first.
TEST_F(Undo, TheHistoryKeepsItsLastStepsOnly) {
  for (size_t i = 0; i < UndoHistory::kMaxSteps + 5; ++i) {
    app.Run([&] { f.FocusChangedByView(i % 2 ? f.OBJNameD : f.OBJProcD); });
    app.Run([&] { (i % 2 ? f.OBJNameD : f.OBJProcD)->SetText("v" + std::to_string(i)); });
  }
  EXPECT_EQ(app.undo.UndoCount(), UndoHistory::kMaxSteps);
  EXPECT_EQ(app.undo.UndoName(), "输入 项目阶段");  // the last one typed
  size_t undone = 0;
  while (app.undo.CanUndo() && undone < 1000) app.Run([&] { app.undo.Undo(); }), ++undone;
  EXPECT_EQ(undone, UndoHistory::kMaxSteps);
  EXPECT_EQ(f.OBJProcD->Text(), "v4");  // the state after the five steps no longer kept
}

// A study computes on copies: the project's history is not touched, and the copies keep
// none.
TEST_F(Undo, AStudyLeavesTheHistoryAlone) {
  Type(f.TaoD, "5");
  Enter(f.TaoD);
  StudyRequest r;
  r.inputs = {{"TaoD", 2, 6, 5, false}};
  r.outputs = {"AtD"};
  r.threads = 1;
  StudyResult result = RunStudy(app, r);
  ASSERT_EQ(result.rows.size(), 5u);
  EXPECT_EQ(app.undo.UndoCount(), 1u);
  StudyCopy copy(app);
  copy.Point({{"TaoD", "3"}}, {"AtD"});
  EXPECT_FALSE(copy.App().undo.CanUndo());
}

}  // namespace
}  // namespace pelmora

// A result is never shown as current when it is not: a pick from a list or the tube
// catalogue and the property dialog's 确定 recalculate as leaving a field does (or mark
// the results out of date while the automatic calculation is off), and a run that stops
// marks every result, also what it wrote itself.
#include <gtest/gtest.h>

#include "ProjectTestUtil.h"
#include "app/PelmoraApp.h"
#include "fields/Dispatch.h"
#include "fields/FieldOps.h"
#include "fields/NumberFormat.h"

namespace pelmora {
namespace {

const std::string kExample = PELMORA_PROGRAM_DIR "/examples/storage-tank-hot-water.pmf";

struct Window {
  ScriptedPort port;
  PelmoraApp app{&port, PELMORA_PROGRAM_DIR};
  TFormPelmora& f = app.form;
  Window() {
    EXPECT_TRUE(app.Run([this] { app.project.OpenAtStartup(kExample); }));
    EXPECT_TRUE(Recalc());
  }
  bool Click(const char* handler, Component* sender = nullptr) {
    return app.Run([this, handler, sender] { f.RunHandler(handler, sender); });
  }
  bool Recalc() {
    return app.Run([this] { f.RunHandler("MaoDExit", f.TaoD); });
  }
  void AutoOff() {
    ASSERT_TRUE(app.Run([this] { f.SBAutoRun->Click(); }));
    ASSERT_TRUE(f.SBAutoRun->Down());
  }
  std::vector<std::string> Results() const {
    std::vector<std::string> r;
    for (const EditD* e : f.ValueFields())
      if (Calculation::IsResult(*e)) r.push_back(e->Name() + "=" + e->Text());
    return r;
  }
  // Every result that holds a value is marked, and no input is.
  bool AllResultsStale() const {
    for (const EditD* e : f.ValueFields()) {
      const bool result = Calculation::IsResult(*e) && !Blank(*e);
      if (e->Stale() != result) return false;
    }
    return true;
  }
  // The grid row that shows the catalogue's tube `size`.
  int TubeRow(const std::string& size) const {
    const auto& pipes = app.select.catalogue.pipes;
    for (size_t i = 0; i < pipes.size(); ++i)
      if (pipes[i].dn == size) return app.select.RowOf(i);  // the grid is sorted by diameter
    return -1;
  }
};

// The tube 25×2.5 from the page 管道系列: the pressure drop and every other result are
// those of the new tube at once, as if its diameters had been typed and the field left.
TEST(InputsChangedWithoutARun, ATubeFromTheCatalogueRecalculates) {
  Window w;
  w.app.select.EnsureCatalogue();
  const int row = w.TubeRow("25×2.5");
  ASSERT_GE(row, 0);
  const std::string dp = w.f.DpiD->Text();
  w.f.DBGPiples->SetCurrent(row);
  ASSERT_TRUE(w.Click("Button3Click"));
  EXPECT_NE(w.f.DpiD->Text(), dp);
  EXPECT_FALSE(w.app.calc.AnyStale());

  Window typed;
  typed.f.dioD->SetValue(0.025);
  typed.f.diiD->SetValue(0.020);
  ASSERT_TRUE(typed.Recalc());
  EXPECT_EQ(w.Results(), typed.Results());
  EXPECT_EQ(w.app.calc.checks, typed.app.calc.checks);
}

// With 自动计算 off, the same pick greys the old results and says why.
TEST(InputsChangedWithoutARun, WithTheAutomaticRunOffTheResultsAreMarked) {
  Window w;
  w.AutoOff();
  w.app.select.EnsureCatalogue();
  const auto before = w.Results();
  w.f.DBGPiples->SetCurrent(w.TubeRow("25×2.5"));
  ASSERT_TRUE(w.Click("Button3Click"));
  EXPECT_EQ(w.f.dioD->Text(), "25");
  EXPECT_EQ(w.Results(), before);    // not recalculated …
  EXPECT_TRUE(w.AllResultsStale());  // … and so not shown as current
  EXPECT_EQ(w.f.MyStatusBar->PanelText(1), std::string(kInterrupted) + PelmoraApp::kPickedNotRun);

  // A pick list answered likewise; a cancelled one changes nothing and marks nothing.
  Window v;
  v.port.picks.push_back(std::nullopt);
  ASSERT_TRUE(v.Click("SBP3Click"));
  EXPECT_FALSE(v.app.calc.AnyStale());
  v.AutoOff();
  v.port.picks.push_back("3.0");
  ASSERT_TRUE(v.Click("SBP3Click"));
  EXPECT_EQ(v.f.DspD->Text(), "3.0");
  EXPECT_TRUE(v.AllResultsStale());
}

// A pick list answered with the automatic run on: the run follows.
TEST(InputsChangedWithoutARun, APickListAnswerRecalculates) {
  Window w;
  const auto before = w.Results();
  w.port.picks.push_back("3.0");
  ASSERT_TRUE(w.Click("SBP3Click"));
  EXPECT_EQ(w.f.DspD->Text(), "3.0");
  EXPECT_NE(w.Results(), before);
  Window typed;
  typed.f.DspD->SetText("3.0");
  ASSERT_TRUE(typed.Recalc());
  EXPECT_EQ(w.Results(), typed.Results());
}

// The property dialog's 确定 copies water at 60 °C into the tube side; the results are
// those of the new properties (a further run changes nothing).
TEST(InputsChangedWithoutARun, ThePropertyDialogsOkRecalculates) {
  for (bool autoOff : {false, true}) {
    SCOPED_TRACE(autoOff);
    Window w;
    if (autoOff) w.AutoOff();
    const std::string cp = w.f.CipD->Text();
    w.port.onShowForm = [&w](Form&) {
      TFormSimpPL& d = w.app.simp;
      ASSERT_TRUE(d.LocateNO("0001"));
      d.MyValues1->SetValueOf("t", "60");
      ASSERT_TRUE(Dispatch(d, [&d] { d.BBCal->Click(); }));
      ASSERT_TRUE(Dispatch(d, [&d] { d.BBOK->Click(); }));
    };
    ASSERT_TRUE(w.Click("SBP2Click", w.f.SBP2));
    ASSERT_NE(w.f.CipD->Text(), cp);
    if (autoOff) {
      EXPECT_TRUE(w.AllResultsStale());
      continue;
    }
    EXPECT_FALSE(w.app.calc.AnyStale());
    const auto after = w.Results();
    ASSERT_TRUE(w.Recalc());
    EXPECT_EQ(w.Results(), after);
  }
}

// A run that stops after it wrote a tube flow (here negative: the outlet is hotter than
// the inlet) marks that value with all the others; none is shown as current.
TEST(StoppedRun, EveryResultIsMarkedAlsoWhatTheRunWrote) {
  Window w;
  const std::string flow = w.f.WiD->Text();
  ASSERT_TRUE(w.f.WiD->ReadOnly());  // solved by the tube-side balance
  w.f.Ti2D->SetText(FormatFixed(w.f.Ti1D->GetValue() + 5, 1));
  // The negative flow stops the run in the tube-side coefficient (a zero viscosity would be
  // refused before the run starts, and nothing would be written).
  EXPECT_FALSE(w.Recalc());
  ASSERT_NE(w.f.WiD->Text(), flow);  // written by this run …
  EXPECT_TRUE(w.f.WiD->Stale());     // … and still not current
  EXPECT_TRUE(w.AllResultsStale());
  EXPECT_EQ(w.f.MyStatusBar->PanelText(1).rfind(kInterrupted, 0), 0u);
  // The next completed run clears every mark.
  w.f.Ti2D->SetText(FormatFixed(w.f.Ti1D->GetValue() - 20, 1));
  ASSERT_TRUE(w.Recalc());
  EXPECT_FALSE(w.app.calc.AnyStale());
}

}  // namespace
}  // namespace pelmora

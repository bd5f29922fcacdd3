// The batch-heating curve on a complete storage-tank design: the ten intervals, the
// stored points, the inputs given back, the question before recomputing, the repaint
// path, the free-quantity checks without message loops, automatic calculation off,
// errors and a target no interval can reach, and the chart's legend position.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>

#include "app/PelmoraApp.h"
#include "chart/SvgCanvas.h"

namespace pelmora {
namespace {

// A port that can act like a window: repaint when it handles events or shows a box.
struct WindowPort : ScriptedPort {
  std::function<void()> onEvents, onMessage;
  void ProcessEvents() override {
    ScriptedPort::ProcessEvents();
    if (onEvents) onEvents();
  }
  void ShowMessage(const std::string& text) override {
    ScriptedPort::ShowMessage(text);
    if (onMessage) onMessage();
  }
};

// A water tank of 5 t heated from 20 to 60 °C in two hours by hot water in a U-tube coil.
void StorageTank(TFormPelmora& f) {
  const std::pair<EditD*, const char*> values[] = {
      {f.TaoD, "7200"},  {f.sfD, "10"},      {f.MaoD, "5000"},   {f.CopD, "4180"},  {f.Tom1D, "20"},
      {f.Tom2D, "60"},   {f.VioD, "0.0008"}, {f.LdoD, "0.62"},   {f.DenoD, "990"},  {f.BtoD, "0.0003"},
      {f.BpD, "0.05"},   {f.TeD, "20"},      {f.AeD, "20"},      {f.StD, "0.006"},  {f.WiD, "2"},
      {f.CipD, "4200"},  {f.Ti1D, "95"},     {f.ViiD, "0.0003"}, {f.LdiD, "0.67"},  {f.DeniD, "960"},
      {f.dioD, "0.032"}, {f.diiD, "0.026"},  {f.RiD, "0.0002"},  {f.RoD, "0.0002"}, {f.EiD, "0.00005"},
      {f.DspD, "2"},     {f.SlD, "1.5"},     {f.nD, "1"},        {f.DcD, "0"}};
  for (const auto& [field, text] : values) field->SetText(text);
}

struct CurveTest : ::testing::Test {
  WindowPort port;
  PelmoraApp app{&port, "/tmp/"};
  TFormPelmora& f = app.form;
  const CurveData& data = app.curve.data;
  double A0 = 0;

  void SetUp() override {
    StorageTank(f);
    ASSERT_TRUE(app.Run([this] { f.TaoD->Exit(); }));
    ASSERT_TRUE(app.Run([this] { f.TaoD->Exit(); }));
    ASSERT_FALSE(f.AtD->Text().empty());
    ASSERT_FALSE(f.Ti2D->Text().empty());
    A0 = f.AtD->GetValue();
    port.Clear();
  }
  bool Click() {
    return app.Run([this] { f.SBTCurve->Click(); });
  }
  // The paint event of the report page on an SVG surface; returns what was drawn.
  std::string Paint() {
    chart::SvgCanvas canvas(800, 520);
    f.PaintBox1->canvas = &canvas;
    app.Run([this] { f.RunHandler("SBTCurveClick", f.PaintBox1); });
    f.PaintBox1->canvas = nullptr;
    return canvas.Texts();
  }
};

TEST_F(CurveTest, FirstClickComputesTenIntervalsAndGivesTheInputsBack) {
  int repaints = 0;
  f.PaintBox1->Subscribe([&](Component&) { ++repaints; });
  ASSERT_TRUE(Click()) << ::testing::PrintToString(port.Messages());
  EXPECT_TRUE(port.Messages().empty());  // no question the first time
  ASSERT_EQ(data.Intervals(), 10);
  EXPECT_DOUBLE_EQ(data.TimeStep, 720);
  for (size_t i = 0; i <= 10; ++i) EXPECT_DOUBLE_EQ(data.Times[i], 720.0 * static_cast<double>(i));
  EXPECT_EQ(data.Times[11], -1);
  EXPECT_DOUBLE_EQ(data.TankTemps[0], 20);
  // Each interval used the design area within 1 %, so the tank reaches its target.
  EXPECT_NEAR(data.TankTemps[10], 60, 0.5);
  for (size_t i = 1; i <= 10; ++i) {
    EXPECT_GT(data.TankTemps[i], data.TankTemps[i - 1]);
    EXPECT_GT(data.TubeOutTemps[i], data.TankTemps[i]);  // the coil water leaves hotter than the tank
    EXPECT_LT(data.TubeOutTemps[i], 95);
  }
  // Heating slows as the tank warms.
  EXPECT_GT(data.TankTemps[1] - data.TankTemps[0], data.TankTemps[10] - data.TankTemps[9]);
  EXPECT_DOUBLE_EQ(data.TubeOutTemps[0], 2 * data.TubeOutTemps[1] - data.TubeOutTemps[2]);

  EXPECT_EQ(f.TaoD->Text(), "7200");
  EXPECT_EQ(f.Tom1D->Text(), "20");
  EXPECT_EQ(f.Tom2D->Text(), "60");
  EXPECT_EQ(f.PageControl1->ActivePage(), f.TabSheet5);
  EXPECT_TRUE(f.RGLGDY->Visible());
  EXPECT_GE(repaints, 1);
  EXPECT_GE(port.processEventsCalls, 11);

  const std::string drawn = Paint();
  for (const char* t : {"时间—温度曲线", "-管程出口温度", "-槽罐温度", "Times / S", "Temperature / ℃", "7200", "0"})
    EXPECT_NE(drawn.find(std::string(t) + "\n"), std::string::npos) << t;
}

TEST_F(CurveTest, SecondClickAsksBeforeRecomputing) {
  ASSERT_TRUE(Click());
  const double end = data.TankTemps[10];
  const int calls = port.processEventsCalls;
  port.Clear();
  port.answers = {Answer::No};
  ASSERT_TRUE(Click());
  ASSERT_EQ(port.events.size(), 1u);
  EXPECT_EQ(port.events[0].text, Curve::kQuestion);
  EXPECT_EQ(port.events[0].caption, "提示");
  EXPECT_EQ(port.events[0].type, MsgType::Question);
  EXPECT_EQ(port.processEventsCalls, calls + 1);  // only the one before drawing
  EXPECT_DOUBLE_EQ(data.TankTemps[10], end);

  // Yes recomputes with the current inputs: a longer heating time ends hotter.
  f.TaoD->SetText("9000");
  port.answers = {Answer::Yes};
  ASSERT_TRUE(Click());
  EXPECT_DOUBLE_EQ(data.TimeStep, 900);
  EXPECT_EQ(f.TaoD->Text(), "9000");
}

TEST_F(CurveTest, RepaintDrawsTheStoredCurveOnlyWhileThereIsOne) {
  EXPECT_TRUE(Paint().empty());  // nothing computed yet
  ASSERT_TRUE(Click());
  // A repaint leaves the legend-position group alone (no hide and show for the view).
  int legendGroupChanges = 0;
  f.RGLGDY->Subscribe([&](Component&) { ++legendGroupChanges; });
  EXPECT_FALSE(Paint().empty());
  EXPECT_FALSE(Paint().empty());
  EXPECT_EQ(legendGroupChanges, 0);
  EXPECT_TRUE(f.RGLGDY->Visible());
  EXPECT_TRUE(port.Messages().empty());
  app.curve.Discard();  // as after 新建 and 打开
  EXPECT_TRUE(Paint().empty());
  EXPECT_FALSE(f.RGLGDY->Visible());
  // The next click computes without asking.
  ASSERT_TRUE(Click());
  EXPECT_TRUE(port.Messages().empty());
  EXPECT_EQ(data.Intervals(), 10);
}

TEST_F(CurveTest, ComputedInputsAreRefusedWithoutMessageLoops) {
  // Repainting while the message is shown must not show it again.
  port.onMessage = [this] { Paint(); };
  f.MaoD->SetReadOnly(true);  // as when the vessel balance computed it
  ASSERT_TRUE(Click());
  ASSERT_EQ(port.Messages().size(), 1u);
  EXPECT_EQ(port.Messages()[0], "壳程质量必须为自由（输入）变量！");
  EXPECT_FALSE(f.RGLGDY->Visible());
  EXPECT_EQ(data.Intervals(), 0);
  port.Clear();
  EXPECT_TRUE(Paint().empty());
  EXPECT_TRUE(port.Messages().empty());
  f.MaoD->SetReadOnly(false);

  const std::pair<EditD*, const char*> checks[] = {{f.Tom1D, "壳程初始温度必须为自由（输入）变量！"},
                                                   {f.Tom2D, "壳程目标始温度必须为自由（输入）变量！"},
                                                   {f.WiD, "管程质量流量必须为自由（输入）变量！"},
                                                   {f.Ti1D, "管程入口温度必须为自由（输入）变量！"}};
  for (const auto& [field, message] : checks) {
    port.Clear();
    field->SetReadOnly(true);
    ASSERT_TRUE(Click());
    ASSERT_EQ(port.Messages().size(), 1u);
    EXPECT_EQ(port.Messages()[0], message);
    field->SetReadOnly(false);
  }
}

TEST_F(CurveTest, OnlyStorageTanksWithASinglePhaseTubeSide) {
  f.PhiD->SetItemIndex(1);
  ASSERT_TRUE(Click());
  EXPECT_EQ(data.Intervals(), 0);
  EXPECT_FALSE(f.RGLGDY->Visible());
  EXPECT_TRUE(port.Messages().empty());
}

TEST_F(CurveTest, AutomaticCalculationOffRisesByEqualSteps) {
  f.SBAutoRun->Click();
  ASSERT_TRUE(f.SBAutoRun->Down());
  ASSERT_TRUE(Click());
  ASSERT_EQ(data.Intervals(), 10);
  for (size_t i = 0; i <= 10; ++i) EXPECT_NEAR(data.TankTemps[i], 20 + 4.0 * static_cast<double>(i), 1e-9);
  EXPECT_EQ(f.Tom2D->Text(), "60");
}

TEST_F(CurveTest, AnErrorDuringTheSteppingGivesTheInputsBack) {
  f.TaoU->UserSelect(2);      // hours: the text is "2"
  f.SetErrD->SetText("abc");  // read by every recalculation, not by the curve itself
  EXPECT_FALSE(Click());
  EXPECT_EQ(f.TaoD->Text(), "2");
  EXPECT_EQ(f.Tom1D->Text(), "20");
  EXPECT_EQ(f.Tom2D->Text(), "60");
  EXPECT_EQ(data.Intervals(), 0);  // no half-built curve
  EXPECT_TRUE(Paint().empty());
}

TEST_F(CurveTest, AMissingInputChangesNothing) {
  f.Ti2D->SetText("");
  EXPECT_FALSE(Click());
  ASSERT_FALSE(port.Messages().empty());
  EXPECT_EQ(f.TaoD->Text(), "7200");
  EXPECT_EQ(f.Tom2D->Text(), "60");
  EXPECT_EQ(data.Intervals(), 0);
}

TEST_F(CurveTest, AnUnreachableIntervalEndsAfterABoundedNumberOfRounds) {
  // Something keeps doubling the area the recalculation reports.
  f.SBAutoRun->Click();
  int paintsDuringComputing = 0;
  port.onEvents = [&] {
    f.AtD->SetValue(2 * A0);
    if (!Paint().empty()) ++paintsDuringComputing;  // the view repaints meanwhile
  };
  EXPECT_FALSE(Click());
  EXPECT_LE(port.processEventsCalls, Curve::kMaxRounds + 1);
  ASSERT_FALSE(port.Messages().empty());
  EXPECT_EQ(port.Messages().back(), Curve::kNoConvergence);
  EXPECT_EQ(paintsDuringComputing, 0);
  EXPECT_EQ(f.TaoD->Text(), "7200");
  EXPECT_EQ(f.Tom1D->Text(), "20");
  EXPECT_EQ(f.Tom2D->Text(), "60");
}

// Rectangles drawn, for the legend box.
struct BoxRecorder : chart::SvgCanvas {
  BoxRecorder() : SvgCanvas(800, 500) {}
  struct Box {
    double x, y, w, h;
  };
  std::vector<Box> boxes;
  void Rectangle(double x, double y, double w, double h, bool filled, Color fill) override {
    boxes.push_back({x, y, w, h});
    SvgCanvas::Rectangle(x, y, w, h, filled, fill);
  }
};

TEST_F(CurveTest, LegendFollowsTheVerticalPositionChoice) {
  ASSERT_TRUE(Click());
  const double top = 0.1 * 500, bottom = 0.85 * 500, left = 0.1 * 800;
  for (int pos : {0, 1, 2}) {
    f.RGLGDY->SetItemIndex(pos);
    BoxRecorder canvas;
    app.curve.Draw(canvas);
    // The legend is the last box wider than a marker (its own markers follow it).
    BoxRecorder::Box box{};
    for (const auto& b : canvas.boxes)
      if (b.w > 20) box = b;
    EXPECT_DOUBLE_EQ(box.x, left + 2);  // heated: anchored at time 0
    const double anchored[] = {box.y, box.y + box.h / 2, box.y + box.h};
    const double expected[] = {top + 2, (top + bottom) / 2, bottom - 2};
    EXPECT_DOUBLE_EQ(anchored[pos], expected[pos]) << pos;
  }
}

}  // namespace
}  // namespace pelmora

namespace pelmora {
namespace {

// 5 t of water from 20 C for 2 h by 0.5 kg/s of hot water at 95 C: an infinite coil
// (cp 4200) gives at most 58.5 C (no loss: 95 - 75 exp(-2100 x 7200 / 2.09e7) = 58.62 C;
// the loss of the insulated wall, 20 m2 to 20 C air, takes about 0.1 K off), so the design for 60 C
// is infeasible. Its curve cannot start either: with the coil sized for 60 C the
// number of transfer units K.A/(W.c) exceeds 2, and a medium held at its mean
// temperature (t1 + t2)/2 then has to leave colder than the tank,
// t2 - T = (t1 - T)(1 - NTU/2)/(1 + NTU/2) < 0, from the first interval on.
TEST(CurveLimit, StopsWhereTheMediumWouldLeaveColderThanTheTank) {
  WindowPort port;
  PelmoraApp app{&port, "/tmp/"};
  TFormPelmora& f = app.form;
  StorageTank(f);
  f.WiD->SetText("0.5");
  ASSERT_TRUE(app.Run([&] { f.TaoD->Exit(); }));
  ASSERT_TRUE(app.Run([&] { f.TaoD->Exit(); }));
  // The design itself says so first.
  ASSERT_FALSE(app.calc.checks.empty());
  EXPECT_EQ(app.calc.checks[0].level, DesignCheck::Level::Infeasible);
  port.Clear();
  ASSERT_TRUE(app.Run([&] { f.SBTCurve->Click(); }));
  // No impossible point is stored or drawn.
  EXPECT_EQ(app.curve.data.Intervals(), 0);
  EXPECT_FALSE(f.RGLGDY->Visible());
  // The message names the interval, the most an infinite coil gives, and where it ends.
  ASSERT_EQ(port.Messages().size(), 1u);
  EXPECT_EQ(port.Messages()[0],
            "按当前流量，第 1 段起管程出口温度低于槽温，最高可达 58.5 ℃（曲线止于 t = 0 s，槽温 20.0 ℃）");
  // The inputs are given back as before.
  EXPECT_EQ(f.TaoD->Text(), "7200");
  EXPECT_EQ(f.Tom1D->Text(), "20");
  EXPECT_EQ(f.Tom2D->Text(), "60");
  // With 0.6 kg/s the same tank is feasible (limit 95 - 75 exp(-0.8681) = 63.5 C) and
  // its curve complete, the
  // water always leaving warmer than the tank.
  f.WiD->SetText("0.6");
  f.AtD->SetText("");
  ASSERT_TRUE(app.Run([&] { f.TaoD->Exit(); }));
  ASSERT_TRUE(Feasible(app.calc.checks));
  ASSERT_TRUE(app.Run([&] { f.SBTCurve->Click(); }));
  const CurveData& d = app.curve.data;
  ASSERT_EQ(d.Intervals(), 10);
  for (size_t i = 1; i <= 10; ++i) EXPECT_GT(d.TubeOutTemps[i], d.TankTemps[i]) << i;
}

}  // namespace
}  // namespace pelmora

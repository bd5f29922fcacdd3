#include "calc/Curve.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>

#include "calc/Feasibility.h"
#include "chart/Chart.h"
#include "fields/Errors.h"
#include "fields/FieldOps.h"
#include "fields/FloatCheck.h"
#include "fields/ModeEnums.h"
#include "fields/Progress.h"
#include "fields/UiPort.h"

namespace pelmora {

void CurveData::Clear() {
  Times.fill(-1);
  TankTemps.fill(0);
  TubeOutTemps.fill(0);
}

int CurveData::Intervals() const {
  const double n = std::round(IntervalCount);
  if (!(n >= 1)) return 0;
  return static_cast<int>(std::min<double>(n, kMaxPoints - 1));
}

Curve::Curve(TFormPelmora& form, Calculation& calc) : f_(form), calc_(calc) {
  data.Clear();
  f_.SetHandler("SBTCurveClick", [this](Component* s) { SBTCurveClick(s); });
  f_.SetHandler("RGLGDYClick", [this](Component* s) { RGLGDYClick(s); });
  f_.SetHandler("SBPrepCurveClick", [this](Component* s) { SBPrepCurveClick(s); });
}

const char* Curve::FreeQuantityProblem() const {
  if (f_.MaoD->ReadOnly()) return "壳程质量必须为自由（输入）变量！";
  if (f_.Tom1D->ReadOnly()) return "壳程初始温度必须为自由（输入）变量！";
  if (f_.Tom2D->ReadOnly()) return "壳程目标始温度必须为自由（输入）变量！";
  if (f_.WiD->ReadOnly()) return "管程质量流量必须为自由（输入）变量！";
  if (f_.Ti1D->ReadOnly()) return "管程入口温度必须为自由（输入）变量！";
  return nullptr;
}

bool Curve::Applies() const {
  return ModeOf<Phase>(*f_.PhiD) == Phase::Single && ModeOf<VesselType>(*f_.RGEType) <= VesselType::StorageTank;
}

void Curve::SBTCurveClick(Component* sender) {
  // A repaint while the intervals are stepped (pending events are handled between the
  // recalculations) or a second click then must not touch the curve being built.
  if (computing_) return;
  const bool paint = sender == f_.PaintBox1;

  // The legend-position group is shown only with a chart. It is set once per call, to
  // its final state, so that a repaint does not make the view hide and show it again.
  if (!Applies()) {
    f_.RGLGDY->SetVisible(false);
    return;
  }

  // The messages belong to the button: a repaint (also the one the message box itself
  // causes) draws nothing and says nothing, so no message can call up another.
  if (const char* problem = FreeQuantityProblem()) {
    f_.RGLGDY->SetVisible(false);
    if (!paint) f_.Port().ShowMessage(problem);
    return;
  }
  // A curve is never computed from the results of a calculation that did not complete.
  if (calc_.AnyStale()) {
    f_.RGLGDY->SetVisible(false);
    if (!paint) f_.Port().ShowMessage(kStaleResults);
    return;
  }

  int n = data.Intervals();
  bool compute = false;
  if (paint) {
    if (n < 1) {
      f_.RGLGDY->SetVisible(false);
      return;
    }
  } else if (n > 0) {
    compute = f_.Port().MessageBox(kQuestion, "提示", MsgType::Question, Buttons::YesNo, Answer::No) != Answer::No;
  } else {
    n = kIntervals;
    compute = true;
  }
  if (compute) Compute(n);
  if (data.Intervals() < 1) {  // the first interval was already impossible
    f_.RGLGDY->SetVisible(false);
    return;
  }

  f_.RGLGDY->SetVisible(true);
  if (paint) {
    if (f_.PaintBox1->canvas) Draw(*f_.PaintBox1->canvas);
    return;
  }
  f_.PageControl1->SetActivePage(f_.TabSheet5);
  f_.Port().ProcessEvents();
  if (f_.PaintBox1->canvas) Draw(*f_.PaintBox1->canvas);
  f_.PaintBox1->Invalidate();
}

void Curve::Compute(int n) {
  CalcStep step("时间-温度曲线", "质量、平均比热、温度、时间、换热面积");
  // Everything is read before anything is changed: a missing input ends the action
  // with its message and leaves the fields as they were.
  const double tau = f_.TaoD->GetValue();
  const double T1 = f_.Tom1D->GetValue();
  const double T2 = f_.Tom2D->GetValue();
  f_.Ti1D->GetValue();
  f_.Ti2D->GetValue();
  const double A0 = f_.AtD->GetValue();

  // The user's entries come back exactly as typed, also when a recalculation fails.
  struct Restore {
    TFormPelmora& f;
    std::string tao, tom1, tom2;
    ~Restore() {
      f.TaoD->SetText(tao);
      f.Tom1D->SetText(tom1);
      f.Tom2D->SetText(tom2);
    }
  } restore{f_, f_.TaoD->Text(), f_.Tom1D->Text(), f_.Tom2D->Text()};
  struct Busy {
    bool& flag;
    explicit Busy(bool& b) : flag(b) { flag = true; }
    ~Busy() { flag = false; }
  } busy(computing_);
  // The status bar's progress bar counts the intervals while they are stepped.
  ProgressScope progress(*f_.MyStatusBar);

  // The most an infinite coil could give over the whole time, for the message of a
  // curve that stops early.
  const std::optional<double> reach = ReachableTemperature(tau);
  const double dt = tau / n;
  f_.TaoD->SetValue(dt);
  data.Clear();
  data.TimeStep = dt;
  data.IntervalCount = n;
  data.Times[0] = 0;
  data.TankTemps[0] = T1;
  data.TubeOutTemps[0] = -1;

  int stopped = 0;  // the first impossible interval
  try {
    double b = T1;
    for (int i = 1; i <= n; ++i) {
      double delta = (T2 - T1) / n;  // first guess of the change over one interval
      const double a = b;
      f_.Tom1D->SetValue(a);
      for (int round = 0;; ++round) {
        if (round >= kMaxRounds) throw ConvergenceError(kNoConvergence);
        b += delta;
        f_.Tom2D->SetValue(b);
        if (i == 1) calc_.Recalculate();  // the first interval runs twice in a row
        calc_.Recalculate();
        f_.Port().ProcessEvents();
        const double A = f_.AtD->GetValue();
        const double miss = fp::Div(A0 - A, A);
        delta = fp::Check(0.5 * miss * (b - a));
        if (std::fabs(fp::Div(A0 - A, A0)) < 0.01) break;
      }
      const double tOut = f_.Ti2D->GetValue();
      // A medium that would leave colder than the tank it heats (warmer than the tank
      // it cools) has given up more heat than it can: the interval is impossible, and
      // the curve ends with the previous point.
      if (T2 > T1 ? tOut < b : tOut > b) {
        data.IntervalCount = i - 1;
        stopped = i;
        break;
      }
      data.Times[static_cast<size_t>(i)] = i * dt;
      data.TankTemps[static_cast<size_t>(i)] = b;
      data.TubeOutTemps[static_cast<size_t>(i)] = tOut;
      progress.Step(i, n);
    }
    const int drawn = data.Intervals();
    if (drawn >= 1)
      data.TubeOutTemps[0] = drawn >= 2 ? 2 * data.TubeOutTemps[1] - data.TubeOutTemps[2] : data.TubeOutTemps[1];
  } catch (...) {
    data.IntervalCount = 0;  // a half-built curve is no curve
    throw;
  }
  if (stopped) f_.Port().ShowMessage(StoppedMessage(stopped, T2 > T1, reach));
}

std::optional<double> Curve::ReachableTemperature(double tau) const {
  auto value = [](const EditD* e) -> std::optional<double> {
    if (!e->Enabled()) return std::nullopt;
    auto v = e->Number();
    if (!v) return std::nullopt;
    return *v * e->Exchange();
  };
  auto W = value(f_.WiD), c = value(f_.CipD), t1 = value(f_.Ti1D), M = value(f_.MaoD), cpo = value(f_.CopD);
  auto T1 = value(f_.Tom1D);
  if (!W || !c || !t1 || !M || !cpo || !T1) return std::nullopt;
  double KeAe = 0, Te = 0;
  if (auto Ke = value(f_.KeD), Ae = value(f_.AeD), te = value(f_.TeD); Ke && Ae && te && *Ke > 0 && *Ae > 0) {
    KeAe = *Ke * *Ae;
    Te = *te;
  }
  try {
    const double T = corr::ReachableTankTemperature(*W * *c, *t1, *M * *cpo, *T1, KeAe, Te, tau);
    if (std::isfinite(T)) return T;
  } catch (const std::exception&) {
  }
  return std::nullopt;
}

std::string Curve::StoppedMessage(int interval, bool heating, std::optional<double> reach) const {
  auto fmt = [](const char* f, double x) {
    char buf[48];
    std::snprintf(buf, sizeof buf, f, x);
    return std::string(buf);
  };
  std::string text =
      "按当前流量，第 " + std::to_string(interval) + " 段起管程出口温度" + (heating ? "低于" : "高于") + "槽温";
  if (reach) text += std::string("，") + (heating ? "最高" : "最低") + "可达 " + fmt("%.1f", *reach) + " ℃";
  const int last = interval - 1;
  text += "（曲线止于 t = " + fmt("%.0f", data.Times[static_cast<size_t>(last)]) + " s，槽温 " +
          fmt("%.1f", data.TankTemps[static_cast<size_t>(last)]) + " ℃）";
  return text;
}

void Curve::RGLGDYClick(Component*) { f_.PaintBox1->Invalidate(); }

void Curve::Draw(chart::Canvas& canvas) const {
  const int n = data.Intervals();
  if (n < 1) return;
  const auto N = static_cast<size_t>(n);
  const double tEnd = n * data.TimeStep;
  const double ends[] = {data.TankTemps[0], data.TankTemps[N], data.TubeOutTemps[0], data.TubeOutTemps[N]};
  const double yMax = *std::max_element(std::begin(ends), std::end(ends));
  const double yMin = *std::min_element(std::begin(ends), std::end(ends));

  chart::Chart c;
  c.Begin(&canvas, colors::White);
  c.SetPen(colors::Black, 1);
  c.SetLayout(0.1, 0.95, 0.1, 0.85, {10, 10, 10, 10});
  c.XAxis("Times / S", 0, tEnd, tEnd / 10, tEnd / 50);
  c.YAxis("Temperature / ℃", yMin, yMax, (yMax - yMin) / 10, (yMax - yMin) / 50);

  const bool heated = n >= 2 ? data.TankTemps[2] > data.TankTemps[1] : data.TankTemps[1] > data.TankTemps[0];
  auto series = [&](const std::array<double, CurveData::kMaxPoints>& temps, Color color, int marker,
                    const char* legend) {
    c.SetPen(color, 1);
    c.MoveTo(data.Times[0], temps[0]);
    for (size_t i = 1; i <= N; ++i) {
      c.LineTo(data.Times[i], temps[i]);
      c.Marker(marker, 6);
    }
    c.AddLegend(legend);
  };
  // The hotter stream is drawn red.
  if (heated) {
    series(data.TubeOutTemps, colors::Red, 1, "-管程出口温度");
    series(data.TankTemps, colors::Blue, 2, "-槽罐温度");
  } else {
    series(data.TankTemps, colors::Red, 2, "-槽罐温度");
    series(data.TubeOutTemps, colors::Blue, 1, "-管程出口温度");
  }

  const double x = heated ? c.CanvasX(0) + 2 : c.CanvasX(tEnd) - 2;
  const chart::HAlign h = heated ? chart::HAlign::Left : chart::HAlign::Right;
  const chart::Axis& ya = c.Y();  // the drawn range (widened when all points are equal)
  switch (ModeOf<LegendPlace>(*f_.RGLGDY)) {
    case LegendPlace::Middle: c.DrawLegend(x, c.CanvasY((ya.max + ya.min) / 2), h, chart::VAlign::Middle); break;
    case LegendPlace::Bottom: c.DrawLegend(x, c.CanvasY(ya.min) - 2, h, chart::VAlign::Bottom); break;
    default: c.DrawLegend(x, c.CanvasY(ya.max) + 2, h, chart::VAlign::Top); break;
  }
  c.Title("时间—温度曲线", colors::Red);
  c.End();
}

}  // namespace pelmora

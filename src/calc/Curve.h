#pragma once
// The batch-heating time–temperature curve: the heating time is split into equal
// intervals; for each, the tank temperature at its end is found by running the whole
// recalculation until the area needed for the interval equals the design area. The
// stored points are drawn as a chart on the report page.
#include <array>
#include <optional>
#include <string>

#include "calc/Calculation.h"
#include "chart/Canvas.h"
#include "fields/Catalogue.h"

namespace pelmora {

struct CurveData {
  static constexpr int kMaxPoints = 41;
  double IntervalCount = 0;  // N; 0 or less: no curve
  double TimeStep = 0;       // seconds
  std::array<double, kMaxPoints> Times{};
  std::array<double, kMaxPoints> TankTemps{};     // °C
  std::array<double, kMaxPoints> TubeOutTemps{};  // °C, entry 0 extrapolated
  // Every time -1, every temperature 0.
  void Clear();
  // The number of intervals of a stored curve, or 0.
  int Intervals() const;
};

class Curve {
 public:
  // Installs SBTCurveClick (the button and the paint event of PaintBox1) and
  // RGLGDYClick on the form.
  Curve(TFormPelmora& form, Calculation& calc);

  // With the button as sender: computes (after asking, when a curve is stored) and
  // shows the chart; with the paint box as sender: draws the stored curve on the paint
  // box's canvas.
  void SBTCurveClick(Component* sender);
  // The curve steps a batch: a storage tank with a single-phase tube side.
  bool Applies() const;
  // The legend position changed: the chart is drawn again.
  void RGLGDYClick(Component* sender);
  // 准备绘制曲线: makes the tube flow an input and the outlet temperature the result of
  // the tube-side balance (what the curve steps), then recalculates.
  void SBPrepCurveClick(Component* sender);
  // Draws the stored curve (nothing when there is none).
  void Draw(chart::Canvas& canvas) const;
  // The project commands forget the curve.
  void Discard() { data.IntervalCount = -1; }

  CurveData data;

  static constexpr int kIntervals = 10;
  // Recalculations per interval before the stepping gives up.
  static constexpr int kMaxRounds = 100;
  static constexpr const char* kQuestion = "已经有绘图数据，需要重新计算？";
  static constexpr const char* kStaleResults = "上次计算未完成，部分结果已过期，请先完成计算再绘制时间温度曲线。";
  static constexpr const char* kNoConvergence = "时间温度曲线计算不收敛：该时段达不到设计面积，请检查输入数据！";
  static constexpr const char* kPrepareMode = "时间温度曲线只用于储槽（间歇操作）且管程为单相流体。";
  static constexpr const char* kPrepareNoFlow = "管程质量流量为空：请先输入质量流量，再准备绘制曲线。";

 private:
  // The first quantity that is a computed result although the curve needs it as an
  // input, as its message; nullptr when all are free.
  const char* FreeQuantityProblem() const;
  void Compute(int intervals);
  // The tank temperature an infinite coil reaches in tau with the current fields.
  std::optional<double> ReachableTemperature(double tau) const;
  std::string StoppedMessage(int interval, bool heating, std::optional<double> reach) const;

  TFormPelmora& f_;
  Calculation& calc_;
  bool computing_ = false;
};

}  // namespace pelmora

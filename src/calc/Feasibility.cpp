// Infeasible designs. Sources:
//  - The reachable tank temperature: the energy balance of a well-mixed batch with a
//    heating medium that leaves at the tank temperature (the limit of an infinite coil),
//    with the loss to the surroundings as in the batch sizing itself; Kern, Process Heat
//    Transfer (1950), chapter 18 (batch heating with a non-isothermal medium, the case
//    of unlimited area), and the batch equation of the sizing pass.
//  - A condensing medium cannot heat the tank beyond its saturation temperature, an
//    evaporating one cannot cool it below its boiling temperature (second law).
//  - The sizing pass's steady-state fallback: with the medium held at its mean
//    temperature Tmi = (t1 + t2) / 2, no area heats a tank to Tmi or beyond.
//  - The LMTD correction factor for one shell pass (Kern, chapter 7; Bowman, Mueller &
//    Nagle 1940): where it has no real value the temperatures cannot be met in one pass.
//  - Geometry: a coil must fit inside its vessel and every length is positive.
#include "calc/Feasibility.h"

#include <cmath>
#include <cstdio>
#include <optional>

#include "calc/Calculation.h"
#include "calc/Geometry.h"
#include "fields/FieldOps.h"
#include "fields/FloatCheck.h"
#include "fields/ModeEnums.h"

namespace pelmora {

namespace corr {

double ReachableTankTemperature(double Wc, double t1, double Mcp, double T1, double KeAe, double Te, double tau) {
  const double rate = Wc + KeAe;
  const double Tinf = fp::Div(Wc * t1 + KeAe * Te, rate);
  return Tinf - (Tinf - T1) * std::exp(-fp::Div(rate * tau, Mcp));
}

}  // namespace corr

const std::vector<std::string>& InfeasibleMarks() {
  static const std::vector<std::string> marks = {"AtD", "ArD", "LtD", "LrD"};
  return marks;
}

namespace {

using Level = DesignCheck::Level;

std::string Fmt(const char* format, double x) {
  char buf[48];
  std::snprintf(buf, sizeof buf, format, x);
  return buf;
}
// 60, 54.0, 0.926 as an engineer writes them in a sentence.
std::string Temp(double t) { return Fmt("%.4g", t); }
std::string Temp1(double t) { return Fmt("%.1f", t); }
std::string Flow(double w) { return Fmt("%.3g", w); }
std::string Hours(double s) { return Fmt("%.4g", s / 3600); }

class Feasibility {
 public:
  Feasibility(const TFormPelmora& f, const RunFacts& facts, std::vector<DesignCheck>& out)
      : f_(f), facts_(facts), out_(out) {}

  void Run() {
    TankReach();
    SaturationLimit();
    Fallback();
    Correction();
    CoilFits();
    Impeller();
    NegativeLengths();
  }

 private:
  // The SI value a field shows; nothing when it is disabled (unless evenDisabled),
  // empty, not a number, or stale.
  std::optional<double> Si(const EditD* e, bool evenDisabled = false) const { return SiValue(e, evenDisabled, true); }

  void Add(const EditD* field, std::string text) {
    out_.push_back({Level::Infeasible, field->Name(), std::move(text), InfeasibleMarks()});
  }

  bool StorageTank() const { return ModeOf<VesselType>(*f_.RGEType) == VesselType::StorageTank; }
  bool SinglePhaseVessel() const { return ModeOf<Phase>(*f_.PhoD) == Phase::Single; }

  // Ke.Ae of the run: the heat-loss step used it only when all its inputs were given.
  double LossRate() const {
    for (const EditD* e : {f_.Tom1D, f_.Tom2D, f_.AeD, f_.StD, f_.BpD, f_.TeD, f_.Ti1D, f_.Ti2D})
      if (!Si(e, true)) return 0;
    auto Ke = Si(f_.KeD, true), Ae = Si(f_.AeD, true);
    return Ke && Ae && *Ke > 0 && *Ae > 0 ? *Ke * *Ae : 0;
  }

  // A storage tank with a single-phase medium: the target against what an infinite
  // coil could reach in the heating time.
  void TankReach() {
    if (!StorageTank() || !SinglePhaseVessel() || ModeOf<Phase>(*f_.PhiD) != Phase::Single) return;
    auto W = Si(f_.WiD, true), c = Si(f_.CipD), t1 = Si(f_.Ti1D), M = Si(f_.MaoD, true), cpo = Si(f_.CopD);
    auto T1 = Si(f_.Tom1D), T2 = Si(f_.Tom2D), tau = Si(f_.TaoD, true);
    if (!W || !c || !t1 || !M || !cpo || !T1 || !T2 || !tau) return;
    if (*W <= 0 || *c <= 0 || *M <= 0 || *cpo <= 0 || *tau <= 0 || *T2 == *T1) return;
    const double KeAe = LossRate();
    auto Te = Si(f_.TeD, true);
    double limit;
    try {
      limit = corr::ReachableTankTemperature(*W * *c, *t1, *M * *cpo, *T1, KeAe, KeAe > 0 && Te ? *Te : 0, *tau);
    } catch (const std::exception&) {
      return;
    }
    if (!std::isfinite(limit)) return;
    const bool heating = *T2 > *T1;
    if (heating ? *T2 < limit : *T2 > limit) return;
    Add(f_.Tom2D, "目标温度 " + Temp(*T2) + " ℃ 不可达：按管程流量 " + Flow(*W) + " kg/s、入口 " + Temp(*t1) + " ℃，" +
                      (heating ? "加热 " : "冷却 ") + Hours(*tau) + " h " + (heating ? "最高" : "最低") + "只能达到 " +
                      Temp1(limit) + " ℃（无限大面积）");
  }

  // A condensing medium holds its saturation temperature (the outlet temperature of
  // the isothermal side); an evaporating one its boiling temperature.
  void SaturationLimit() {
    if (!StorageTank() || !SinglePhaseVessel()) return;
    const Phase tube = ModeOf<Phase>(*f_.PhiD);
    if (!ChangesPhase(tube)) return;
    auto T1 = Si(f_.Tom1D), T2 = Si(f_.Tom2D), ts = Si(f_.Ti2D);
    if (!T1 || !T2 || !ts) return;
    if (tube == Phase::Condensing && *T2 > *T1 && *T2 >= *ts)
      Add(f_.Tom2D,
          "目标温度 " + Temp(*T2) + " ℃ 不低于管程蒸汽的冷凝温度 " + Temp(*ts) + " ℃：槽温无法超过加热蒸汽的饱和温度");
    else if (tube == Phase::Evaporating && *T2 < *T1 && *T2 <= *ts)
      Add(f_.Tom2D,
          "目标温度 " + Temp(*T2) + " ℃ 不高于管程液体的蒸发温度 " + Temp(*ts) + " ℃：槽温无法低于冷却介质的沸腾温度");
  }

  // The sizing pass fell back to the steady-state balance: beyond the mean medium
  // temperature that is no design; otherwise it is an estimate and said so.
  void Fallback() {
    if (!facts_.steadyStateFallback) return;
    auto t1 = Si(f_.Ti1D), t2 = Si(f_.Ti2D), T1 = Si(f_.Tom1D), T2 = Si(f_.Tom2D);
    if (!t1 || !t2 || !T1 || !T2) return;
    const double Tmi = (*t1 + *t2) / 2;
    const bool heating = *T2 > *T1;
    if (heating ? *T2 >= Tmi : *T2 <= Tmi) {
      Add(f_.Tom2D,
          "目标温度 " + Temp(*T2) + " ℃ " + (heating ? "不低于" : "不高于") + "管程平均温度 " + Temp(Tmi) +
              " ℃（入口与出口温度的平均值）：按管程平均温度恒定的间歇传热模型，任何面积都无法在规定时间内达到目标");
      return;
    }
    out_.push_back({Level::Warning,
                    f_.AtD->Name(),
                    "按稳态平衡估算面积：间歇传热的对数式在当前面积估值下无法求值（散热损失大于其传热量），"
                    "面积改按平均温度下的稳态热平衡计算，请核对。",
                    {}});
  }

  void Correction() {
    if (!facts_.correctionUndefined) return;
    Add(f_.CdtD, "对数平均温差校正系数 F 无法计算（R = " + CheckNumber(facts_.correctionR) +
                     "，P = " + CheckNumber(facts_.correctionP) +
                     "）：两侧的进出口温度在一个容器程内无法实现，按 F = 0.5 算得的面积不能作为设计结果");
  }

  // The largest vessel dimension a straight leg can lie along.
  std::optional<double> VesselSpan() const {
    std::optional<double> span;
    for (const EditD* e : {f_.HsD, f_.DsD, f_.WsD})
      if (auto x = Si(e); x && *x > 0 && (!span || *x > *span)) span = x;
    return span;
  }

  void CoilFits() {
    auto Sl = Si(f_.SlD), dout = Si(f_.dioD);
    if (!Sl || !dout) return;
    const TubeShape shape = ModeOf<TubeShape>(*f_.TShapeD);
    if (shape == TubeShape::Helical) {
      auto Ds = Si(f_.DsD);
      if (Ds && *Ds > 0 && *Sl + *dout >= *Ds)
        Add(f_.SlD, "螺旋盘管外径 Sl + do = " + CheckNumber(*Sl + *dout) + " m，不小于容器内径 " + CheckNumber(*Ds) +
                        " m：盘管放不进容器");
    } else if (shape == TubeShape::UTube) {
      auto span = VesselSpan();
      if (span && *Sl > *span)
        Add(f_.SlD, "U 型管管腿长 " + CheckNumber(*Sl) + " m，超过容器的高度和内径（最大 " + CheckNumber(*span) +
                        " m）：U 型管放不进容器");
    }
  }

  void Impeller() {
    if (ModeOf<Convection>(*f_.RGFType) != Convection::Agitated) return;
    auto d = Si(f_.midD), Ds = Si(f_.DsD, true);
    if (d && Ds && *d >= *Ds)
      Add(f_.midD, std::string(Geometry::kImpeller) + "浆叶直径 " + CheckNumber(*d) + " m，容器内径 " +
                       CheckNumber(*Ds) + " m。");
  }

  void NegativeLengths() {
    for (const EditD* e : {f_.AtD, f_.ArD, f_.LtD, f_.LrD, f_.pHD})
      if (auto x = Si(e, true); x && *x < 0)
        Add(e, e->QuantityName() + "为负值 " + CheckNumber(*x) + "：没有这样的盘管");
  }

  const TFormPelmora& f_;
  const RunFacts& facts_;
  std::vector<DesignCheck>& out_;
};

}  // namespace

void AddFeasibilityChecks(const TFormPelmora& form, const RunFacts& facts, std::vector<DesignCheck>& checks) {
  Feasibility(form, facts, checks).Run();
}

}  // namespace pelmora

// The method check: the overall coefficient from the independent film coefficients,
// the area by an independent model of the vessel, the tube-side pressure drop with its
// return bends, the levels of the rows and the margin the most conservative
// combination asks for. Sources in CrossCheckMethods.cpp.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "calc/Balance.h"
#include "calc/Correlations.h"
#include "calc/CrossCheck.h"
#include "calc/CrossCheckMethods.h"
#include "calc/CrossCheckState.h"
#include "fields/FloatCheck.h"

namespace pelmora {
namespace crosscheck {

namespace {
constexpr const char* kFilmUnit = "W/(m2.K)";
constexpr int kMaxBatchIterations = 500;
}  // namespace

std::optional<double> Checker::OverallWith(std::optional<double> ho, std::optional<double> hi) const {
  auto Ro = Si(f_.RoD), Ri = Si(f_.RiD), dout = Si(f_.dioD), di = Si(f_.diiD);
  if (!ho || !hi || !Ro || !Ri || !dout || !di || *ho <= 0 || *hi <= 0) return std::nullopt;
  try {
    const double lambdaWall = f_.TmD->NumberAfterBar(1000);
    const double K = corr::OverallCoefficient(*ho, *Ro, *dout, *di, lambdaWall, *hi, *Ri);
    return std::isfinite(K) && K > 0 ? std::optional<double>(K) : std::nullopt;
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

std::optional<double> Checker::LowestEstimate(const char* field) const {
  std::optional<double> lowest;
  for (const CrossCheckRow& r : out_.rows)
    if (r.field == field && r.independent && r.inRange && (!lowest || *r.independent < *lowest)) lowest = r.independent;
  return lowest;
}

void Checker::Overall() {
  const auto ho = Si(f_.koD, true), hi = Si(f_.kiD, true);
  Kprogram_ = OverallWith(ho, hi);
  if (!Kprogram_) return;
  CrossCheckRow& row =
      AddNamed("K", "总传热系数 K", kFilmUnit, Kprogram_, "由独立方法的膜系数求总传热系数",
               "1/K = 1/ho + Ro + (do − di)·do/(λw·(do + di)) + (1/hi + Ri)·do/di，污垢与管壁热阻同本程序");
  const auto hoInd = LowestEstimate("koD"), hiInd = LowestEstimate("kiD");
  if (!hoInd && !hiInd) return NotApplicable(row, "两侧均没有适用范围内的独立膜系数");
  std::string note = "管内取 " + CrossCheckNumber(hiInd ? hiInd : hi) +
                     (hiInd ? "（独立方法）" : "（本程序，无独立值）") + "，容器侧取 " +
                     CrossCheckNumber(hoInd ? hoInd : ho) + (hoInd ? "（独立方法）" : "（本程序，无独立值）");
  if (auto K = OverallWith(hoInd ? hoInd : ho, hiInd ? hiInd : hi))
    Set(row, *K, note);
  else
    NotApplicable(row, "缺少污垢热阻、管径或管材");
}

Checker::Loss Checker::SizingLoss() const {
  for (const EditD* e : {f_.Tom1D, f_.Tom2D, f_.AeD, f_.StD, f_.BpD, f_.TeD, f_.Ti1D, f_.Ti2D})
    if (!Si(e, true)) return {};
  auto Ke = Si(f_.KeD, true), Ae = Si(f_.AeD, true), Te = Si(f_.TeD, true);
  if (!Ke || !Ae || !Te) return {};
  return {*Ke, *Ae, *Te};
}

std::optional<double> Checker::ProgramModelArea(double K) const {
  auto At = Si(f_.AtD, true);
  if (!At || *At <= 0) return std::nullopt;
  const bool flow = vesselType_ == VesselType::TwoStreams || convection_ == Convection::ExternalLoop;
  if (flow) {
    // A = |Q| / (K.dTm) with the coefficient of the iteration before the last.
    auto Ksized = Si(f_.KTaD, true);
    if (!Ksized || *Ksized <= 0) return std::nullopt;
    return *At * *Ksized / K;
  }
  if (vesselType_ != VesselType::StorageTank) {
    // The bath: A = (Qo + loss) / (K.dT), inversely proportional to K.
    if (!Kprogram_) return std::nullopt;
    return *At * *Kprogram_ / K;
  }
  // The storage tank: the batch equation of the sizing, settled at K.
  auto t1 = Si(f_.Ti1D), t2 = Si(f_.Ti2D), T1 = Si(f_.Tom1D), T2 = Si(f_.Tom2D), M = Si(f_.MaoD, true),
       cp = Si(f_.CopD, true), tau = Si(f_.TaoD, true);
  if (!t1 || !t2 || !T1 || !T2 || !M || !cp || !tau) return std::nullopt;
  const Loss loss = SizingLoss();
  const double Tmi = (*t1 + *t2) / 2;
  double A = *At;
  for (int i = 0; i < kMaxBatchIterations; ++i) {
    auto next = corr::BatchArea(K, A, Tmi, loss.Ke, loss.Ae, loss.Te, *T1, *T2, *M, *cp, *tau);
    if (!next || *next <= 0) {
      try {
        return corr::SteadyStateArea(K, Tmi, loss.Ke, loss.Ae, loss.Te, *T1, *T2, *M, *cp, *tau);
      } catch (const std::exception&) {
        return std::nullopt;
      }
    }
    const bool settled = std::fabs(*next - A) <= 1e-9 * *next;
    A = *next;
    if (settled) break;
  }
  return A;
}

std::optional<double> Checker::IndependentModelArea(double K, std::string* why) const {
  auto say = [why](const char* text) {
    if (why) *why = text;
    return std::nullopt;
  };
  auto t1 = Si(f_.Ti1D), t2 = Si(f_.Ti2D), T1 = Si(f_.Tom1D), T2 = Si(f_.Tom2D), tau = Si(f_.TaoD, true);
  if (vesselType_ == VesselType::Bath)
    return say("恒温浴：本程序已按浴温恒定（容器充分混合）的对数平均温差计算，与独立模型相同");
  if (!t1 || !t2 || !T1 || !T2 || !tau || *tau <= 0) return say("缺少温度或时间");
  const bool tubeIsothermal = ChangesPhase(tubePhase_);
  if (vesselType_ == VesselType::TwoStreams) {
    auto Qi = Si(f_.QiD, true);
    if (!Qi) return say("缺少管程热量");
    auto dT = xcheck::MixedVesselDifference(tubeIsothermal ? *t2 : *t1, *t2, *T2);
    if (!dT) return say("管程温度跨过容器出口温度，充分混合的容器无法实现");
    return std::fabs(*Qi) / *tau / (K * *dT);
  }
  if (vesselType_ != VesselType::StorageTank || vesselPhase_ != Phase::Single) return say("不适用于此工作方式");
  auto M = Si(f_.MaoD, true), cpo = Si(f_.CopD, true);
  if (!M || !cpo) return say("缺少容器物料质量或比热");
  if (tubeIsothermal) {
    auto A = xcheck::KernIsothermalArea(K, *t2, *M * *cpo, *T1, *T2, *tau);
    return A ? A : say("目标温度越过加热介质的温度");
  }
  auto W = Si(f_.WiD, true), c = Si(f_.CipD, true);
  if (!W || !c) return say("缺少管程流量或比热");
  auto A = xcheck::KernNonIsothermalArea(K, std::fabs(*W) * *c, *t1, *M * *cpo, *T1, *T2, *tau);
  return A ? A : say("按此流量和入口温度，加热时间内达不到目标温度（需要无限大面积）");
}

void Checker::Area() {
  auto At = Si(f_.AtD, true);
  if (!At || *At <= 0 || !Kprogram_) return;
  const bool tank = vesselType_ == VesselType::StorageTank;
  const bool isothermal = ChangesPhase(tubePhase_);
  CrossCheckRow& row =
      tank ? AddNamed("AtD", f_.AtD->QuantityName(), "m2", At,
                      isothermal ? "Kern 间歇加热，恒温介质" : "Kern 间歇加热，非恒温介质（介质出口温度随槽温变化）",
                      "D. Q. Kern, Process Heat Transfer (1950), ch. 18")
           : AddNamed("AtD", f_.AtD->QuantityName(), "m2", At,
                      vesselType_ == VesselType::TwoStreams ? "容器充分混合，温度等于出口温度" : "容器充分混合",
                      "A = |Q|/(K·ΔTm)，ΔTm 为管程对出口温度的对数平均温差");
  std::string why;
  auto A = IndependentModelArea(*Kprogram_, &why);
  if (!A) return NotApplicable(row, why);
  std::string note = "按本程序的总传热系数 " + CrossCheckNumber(Kprogram_) + " W/(m2.K)";
  if (tank) {
    note += "；不计散热损失";
    auto QL = Si(f_.QLD, true), Qi = Si(f_.QiD, true), tau = Si(f_.TaoD, true);
    if (QL && Qi && tau && *Qi != 0) note += "（散热约占传热量的 " + Num(std::fabs(*QL * *tau / *Qi) * 100) + " %）";
  }
  Set(row, *A, note);
}

void Checker::PressureDrop() {
  auto dp = Si(f_.DpiD, true);
  if (!dp) return;
  CrossCheckRow& row = Add(f_.DpiD, "Pa", dp, "直管摩擦加 180° 回弯局部阻力（K = 0.25π·fT·r/d + 1.5·K90）",
                           "Crane Technical Paper No. 410, appendix A (pipe bends)");
  if (shape_ != TubeShape::UTube) return NotApplicable(row, "螺旋管没有回弯，回弯法只校核 U 型管");
  Try(row, [&] {
    const bool vapour = ChangesPhase(tubePhase_);
    auto rho = vapour ? Si(f_.denivD) : Si(f_.DeniD), mu = vapour ? Si(f_.ViivD) : Si(f_.ViiD);
    auto W = Si(f_.WiD, true), n = Si(f_.nD), di = Si(f_.diiD), eps = Si(f_.EiD), Lr = Si(f_.LrD, true),
         m = Si(f_.mD, true), s = Si(f_.DspD), dout = Si(f_.dioD);
    if (!rho || !mu || !W || !n || !di || !eps || !Lr || !m || !s || !dout)
      return NotApplicable(row, "缺少流量、物性、管径、粗糙度、管长或管程数");
    const double u = corr::TubeVelocity(std::fabs(*W), *n, *rho, *di);
    const double Re = fp::Div(*rho * u * *di, *mu);
    if (Re < xcheck::kTransitionRe) return NotApplicable(row, "Re = " + Num(Re) + "，层流；弯头阻力系数为湍流值");
    if (!(*eps > 0)) return NotApplicable(row, "绝对粗糙度为 0，无法求完全湍流摩擦系数 fT");
    const double f = FrictionFactor(1, Re, *di, *eps);
    const double fT = xcheck::FullyTurbulentFriction(*di, *eps);
    // The bend of one pass: the pass length 2 Sl + (pi - 2) s do is two legs and a half
    // circle of radius s.do.
    const double rOverD = *s * *dout / *di;
    const double K = xcheck::ReturnBendK(fT, rOverD);
    const double head = *rho * u * u / 2;
    const double friction = f * *Lr / *di * head;
    const double bends = *m * K * head;
    Set(row, friction + bends,
        "Re = " + Num(Re) + "，λ = " + Num(f) + "（Colebrook，同本程序），直管 " + Num(friction / 1000) +
            " kPa 按实际单管长 " + Num(*Lr) + " m；回弯 " + Num(*m) + " 个 × K = " + Num(K) + "（r/d = " + Num(rOverD) +
            "，fT = " + Num(fT) + "）= " + Num(bends / 1000) + " kPa");
  });
}

std::optional<double> Checker::AreaRatio(const CrossCheckRow& row) const {
  if (!row.independent || !row.value || *row.value <= 0) return std::nullopt;
  if (row.field == "AtD") return *row.independent / *row.value;
  if (row.field == "K") return *row.value / *row.independent;
  if (!Kprogram_) return std::nullopt;
  std::optional<double> K;
  if (row.field == "kiD") K = OverallWith(Si(f_.koD, true), row.independent);
  if (row.field == "koD") K = OverallWith(row.independent, Si(f_.kiD, true));
  if (!K) return std::nullopt;
  return *Kprogram_ / *K;
}

void Checker::Levels() {
  for (CrossCheckRow& row : out_.rows) {
    row.areaRatio = AreaRatio(row);
    if (!row.deviation) continue;
    if (row.inRange && row.areaRatio && *row.areaRatio - 1 > kWarningArea)
      row.level = DesignCheck::Level::Warning;
    else if (std::fabs(*row.deviation) > kHintSpread)
      row.level = DesignCheck::Level::Hint;
  }
}

void Checker::Margin() {
  auto At = Si(f_.AtD, true);
  if (!At || *At <= 0 || !Kprogram_) return;
  // The lowest film coefficient of each side, this program's or an independent one.
  auto lowest = [this](const EditD* field) {
    auto h = Si(field, true);
    if (auto est = LowestEstimate(field->Name().c_str()); est && (!h || *est < *h)) h = est;
    return h;
  };
  auto K = OverallWith(lowest(f_.koD), lowest(f_.kiD));
  if (!K) return;
  std::optional<double> needed = ProgramModelArea(*K);
  if (auto A = IndependentModelArea(*K); A && (!needed || *A > *needed)) needed = A;
  if (!needed) return;
  out_.neededArea = needed;
  const double margin = *needed / *At - 1;
  char area[32], at[32];
  std::snprintf(area, sizeof area, "%.1f", *needed);
  std::snprintf(at, sizeof at, "%.1f", *At);
  // Below half a per cent the two areas agree within the sizing's own convergence (1 %).
  const long percent = std::lround(margin * 100);
  if (percent > 0) {
    out_.recommendedMargin = std::ceil(margin * 100 - 1e-9);
    out_.summary = std::string("按校核方法需面积 ") + area + " m²，比计算面积大 " + std::to_string(percent) +
                   " %，建议富余度不低于 " + std::to_string(static_cast<long>(*out_.recommendedMargin)) + " %";
  } else {
    out_.recommendedMargin = 0;
    out_.summary = std::string("按校核方法需面积 ") + area + " m²，" +
                   (margin > 0 ? "与计算面积 " + std::string(at) + " m² 相差不到 1 %"
                               : "不大于计算面积 " + std::string(at) + " m²") +
                   "，无需另加富余度";
  }
}

}  // namespace crosscheck

void AddCrossCheckWarnings(const TFormPelmora& form, const CrossCheckResult& result, std::vector<DesignCheck>& checks) {
  for (const CrossCheckRow& row : result.rows) {
    if (row.level != DesignCheck::Level::Warning) continue;
    const bool component = As<EditD>(form.Find(row.field)) != nullptr;
    std::string text = "方法校核：";
    if (!component) text += row.quantity + " ";
    text += "本程序 " + CrossCheckNumber(row.value) + "，" + row.method + " 得 " + CrossCheckNumber(row.independent) +
            " " + row.unit + "（" + CrossCheckPercent(row.deviation) + "）";
    if (row.areaRatio) text += "，按其计算面积需增大 " + CrossCheckPercent(*row.areaRatio - 1).substr(1);
    text += "。";
    checks.push_back({DesignCheck::Level::Warning, component ? row.field : std::string(), text, {}});
  }
  if (!result.recommendedMargin || *result.recommendedMargin <= 0) return;
  const auto* sf = form.sfD;
  auto v = sf && sf->Enabled() && !sf->Stale() ? sf->Number() : std::nullopt;
  if (!v) return;
  const double given = *v * sf->Exchange();
  if (given < *result.recommendedMargin)
    checks.push_back({DesignCheck::Level::Warning,
                      sf->Name(),
                      "富余度 " + crosscheck::Num(given) + " % 小于方法校核建议的 " +
                          crosscheck::Num(*result.recommendedMargin) + " %：" + result.summary + "。",
                      {}});
}

}  // namespace pelmora

// Design checks. Sources of the ranges and limits:
//  - Dittus-Boelter, Nu = 0.023 Re^0.8 Pr^n: Re >= 10 000, 0.6 <= Pr <= 160, L/D >= 10
//    (Incropera & DeWitt, Fundamentals of Heat and Mass Transfer, 6th ed., eq. 8.60).
//  - Sieder-Tate, Nu = 0.027 Re^0.8 Pr^(1/3) (mu/mu_w)^0.14: Re >= 10 000,
//    0.7 <= Pr <= 16 700, L/D >= 10 (same, eq. 8.61).
//  - Free convection around a horizontal tube, Nu = c Ra^k in three regimes, with
//    Ra = Gr.Pr from 1e-3 to 1e13 (M. A. Mikheev, Fundamentals of Heat Transfer; the
//    regimes 1e-3..500, 500..2e7, 2e7..1e13).
//  - Agitated vessel, Chilton, Drew & Jebens (Ind. Eng. Chem. 36 (1944) 510), coil
//    correlation Nu = c Re^0.62 Pr^(1/3): impeller Reynolds number d^2 N rho / mu from 300
//    to 4e5 in their experiments (as tabulated in Perry's Chemical Engineers' Handbook).
//  - Tube velocities: Sinnott, Coulson & Richardson's Chemical Engineering Vol. 6, 4th
//    ed., section 12.7.2: process liquids 1-2 m/s, up to 4 m/s against fouling, water
//    1.5-2.5 m/s; vapours at about atmospheric pressure 10-30 m/s. We take liquids
//    0.5-3 m/s and gases or vapours up to 30 m/s.
//  - Pressure drop: the same book, section 12.7.4, gives as typical allowances 35 kN/m2
//    for liquids below 1 mN.s/m2, 50-70 kN/m2 for 1-10 mN.s/m2, and for gases and
//    vapours a share of the system pressure (0.1 of it at higher pressures). We warn for
//    liquids below 1 mPa.s above 35 kPa, for more viscous ones above 70 kPa, for a vessel
//    stream above 0.1 of its known pressure and for vapours of unknown pressure above
//    35 kPa.
//  - Compressibility: below a Mach number of about 0.3 the density of a gas changes by
//    less than about 5 % with the velocity, and the incompressible pressure drop holds
//    (F. M. White, Fluid Mechanics, 7th ed., section 9.1). The speed of sound of an ideal
//    gas is c = sqrt(k R T) with R = cp - cv = cp (k - 1) / k (Cengel & Boles,
//    Thermodynamics, 7th ed., eq. 17-9), so c^2 = (k - 1) cp T; we take k = 1.3, the low
//    end for air, steam and process gases, so that the speed of sound is not overstated.
//  - LMTD correction factor below 0.8: Kern, Process Heat Transfer, ch. 7 (a design
//    with F < 0.75-0.8 is not recommended).
//  - Flow across the coil, Nu = C Re^m Pr^n: the tube-bank correlations of this form
//    (Zukauskas) hold for 10 <= Re <= 2e6 and 0.7 <= Pr <= 500 (Incropera & DeWitt,
//    6th ed., eq. 7.58).
//  - Film condensation in the tubes (Nusselt's film theory): a laminar or wavy-laminar
//    condensate film, film Reynolds number 4 Gamma / mu below about 1800 (Incropera &
//    DeWitt, section 10.7); Gamma the condensate per unit of tube perimeter at the outlet.
//    Beyond it the film is turbulent, and an independent estimate (Shah's correlation)
//    gives a coefficient two to three times lower than the film formula of the sizing.
//  - Nucleate boiling on the coil (Mostinski): the critical heat flux
//    q_max = 3.67e4 Pc (P/Pc)^0.35 (1 - P/Pc)^0.9 W/m2, Pc in bar (Sinnott, Coulson &
//    Richardson's Chemical Engineering Vol. 6, section 12.11); we warn from 70 % of it.
//  - Infeasible designs: Feasibility.cpp.
#include "calc/Checks.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <optional>

#include "calc/Calculation.h"
#include "calc/Correlations.h"
#include "calc/Feasibility.h"
#include "fields/FieldOps.h"
#include "fields/ModeEnums.h"
#include "fields/NumberFormat.h"

namespace pelmora {

const char* LevelText(DesignCheck::Level level) {
  switch (level) {
    case DesignCheck::Level::Infeasible: return "不可行";
    case DesignCheck::Level::Warning: return "警告";
    default: return "提示";
  }
}

bool Feasible(const std::vector<DesignCheck>& checks) {
  return std::none_of(checks.begin(), checks.end(),
                      [](const DesignCheck& c) { return c.level == DesignCheck::Level::Infeasible; });
}

std::string CheckNumber(double x) {
  if (!std::isfinite(x)) return "-";
  char buf[32];
  const double a = std::fabs(x);
  if (a != 0 && (a >= 1e7 || a < 1e-3))
    std::snprintf(buf, sizeof buf, "%.3e", x);
  else if (a >= 1000)
    std::snprintf(buf, sizeof buf, "%.0f", x);
  else
    std::snprintf(buf, sizeof buf, "%.4g", x);
  return buf;
}

namespace {

using Level = DesignCheck::Level;

// The SI value a field shows; nothing when it is disabled (unless `evenDisabled`), empty
// or not a number.
std::optional<double> Si(const EditD* e, bool evenDisabled = false) { return SiValue(e, evenDisabled); }

class Collector {
 public:
  explicit Collector(const TFormPelmora& f) : f_(f) {}

  std::vector<DesignCheck> Run() {
    TubeCorrelation();
    TubeCondensation();
    VesselCorrelation();
    CrossFlow();
    Boiling();
    Velocity();
    PressureDrop();
    Compressibility();
    CoilHeight();
    CorrectionFactor();
    return std::move(checks_);
  }

 private:
  void Add(Level level, const EditD* field, std::string text) {
    checks_.push_back({level, field ? field->Name() : std::string(), std::move(text), {}});
  }

  // Single-phase tube flow (also the liquid coefficient of flow boiling).
  void TubeCorrelation() {
    const Phase phase = ModeOf<Phase>(*f_.PhiD);
    if (phase != Phase::Single && phase != Phase::Evaporating) return;
    auto W = Si(f_.WiD), n = Si(f_.nD), mu = Si(f_.ViiD), di = Si(f_.diiD), cp = Si(f_.CipD), lambda = Si(f_.LdiD);
    if (!W || !n || !mu || !di || !cp || !lambda || *n <= 0 || *mu <= 0 || *di <= 0 || *lambda <= 0) return;
    const double Re = 4 * *W / (std::numbers::pi * *n * *mu * *di);
    const double Pr = *cp * *mu / *lambda;
    const bool dittus = *mu < 0.003;
    const std::string name = dittus ? "Dittus-Boelter 管内对流关联式" : "Sieder-Tate 管内对流关联式";
    const double prMin = dittus ? 0.6 : 0.7, prMax = dittus ? 160 : 16700;
    if (Re < 2300)
      Add(Level::Warning, f_.kiD,
          "管内 Re = " + CheckNumber(Re) + "，为层流；" + name + "适用于 Re ≥ 10000 的湍流，管内膜系数偏高。");
    else if (Re < 10000)
      Add(Level::Hint, f_.kiD,
          "管内 Re = " + CheckNumber(Re) + "，处于过渡区；" + name + "适用于 Re ≥ 10000，管内膜系数可能偏高。");
    if (Pr < prMin || Pr > prMax)
      Add(Level::Hint, f_.kiD,
          "管内 Pr = " + CheckNumber(Pr) + "，超出" + name + "的适用范围 " + CheckNumber(prMin) + "–" +
              CheckNumber(prMax) + "。");
    if (auto L = Si(f_.LtD); L && *L > 0 && *L / *di < limits::kMinLengthToDiameter)
      Add(Level::Hint, f_.kiD,
          "管长与内径之比 L/D = " + CheckNumber(*L / *di) + "，小于" + name + "要求的 " +
              CheckNumber(limits::kMinLengthToDiameter) + "（入口段影响未计入）。");
  }

  void TubeCondensation() {
    if (ModeOf<Phase>(*f_.PhiD) != Phase::Condensing) return;
    auto W = Si(f_.WiD), n = Si(f_.nD), mu = Si(f_.ViiD), di = Si(f_.diiD);
    if (!W || !n || !mu || !di || *n <= 0 || *mu <= 0 || *di <= 0) return;
    const double gamma = std::fabs(*W) / (*n * std::numbers::pi * *di);
    const double Re = 4 * gamma / *mu;
    if (Re > 1800)
      Add(Level::Hint, f_.kiD,
          "管内冷凝液膜 Re = 4Γ/μ = " + CheckNumber(Re) +
              "，超过 1800，为湍流液膜；管内膜状冷凝关联式（Nusselt 液膜理论）适用于层流液膜，"
              "膜系数可能偏高（独立方法估算约低 2–3 倍）。");
  }

  // Forced flow across the coil: a vessel with a through stream or an external loop.
  void CrossFlow() {
    const bool twoStreams = ModeOf<VesselType>(*f_.RGEType) == VesselType::TwoStreams;
    if (!twoStreams && ModeOf<Convection>(*f_.RGFType) != Convection::ExternalLoop) return;
    const Phase phase = ModeOf<Phase>(*f_.PhoD);
    if (phase != Phase::Single && phase != Phase::Condensing) return;
    auto Wf = twoStreams ? Si(f_.MaoD, true) : Si(f_.WrD);
    auto A = Si(f_.AtD, true), dout = Si(f_.dioD), Sl = Si(f_.SlD), sp = Si(f_.DspD), Ds = Si(f_.DsD);
    auto Dc = Si(f_.DcD), mu = Si(f_.VioD), cp = Si(f_.CopD), lambda = Si(f_.LdoD);
    if (!Wf || !A || !dout || !Sl || !sp || !Ds || !mu || !cp || !lambda) return;
    if (*A <= 0 || *dout <= 0 || *mu <= 0 || *lambda <= 0) return;
    double Re;
    try {
      const corr::CoilZone z = corr::CoilZoneGeometry(*A, *dout, *Sl, *sp, *Ds, Dc ? *Dc : 0);
      if (!(z.S > 0) || !(z.de1 > 0)) return;
      Re = z.de1 * (std::fabs(*Wf) / z.S) / *mu;
    } catch (const std::exception&) {
      return;
    }
    const double Pr = *cp * *mu / *lambda;
    if (!std::isfinite(Re)) return;
    const std::string name = "容器侧横掠盘管关联式（Nu = C·Re^m·Pr^n，管束关联式）";
    if (Re < 10 || Re > 2e6)
      Add(Level::Warning, f_.koD,
          "容器侧横掠盘管 Re = " + CheckNumber(Re) + "，超出" + name + "的适用范围 10–2000000。");
    if (Pr < 0.7 || Pr > 500)
      Add(Level::Hint, f_.koD, "容器侧 Pr = " + CheckNumber(Pr) + "，超出" + name + "的适用范围 0.7–500。");
  }

  // Nucleate boiling of the vessel fluid on the coil, against the critical heat flux.
  void Boiling() {
    if (ModeOf<Phase>(*f_.PhoD) != Phase::Evaporating) return;
    auto Pc = Si(f_.PcD), P = Si(f_.PoD), A = Si(f_.AtD, true), Qi = Si(f_.QiD, true);
    if (!Pc || !P || !A || !Qi || *Pc <= 0 || *P <= 0 || *A <= 0) return;
    double Q = std::fabs(*Qi);  // a batch holds its heat over the heating time
    if (ModeOf<VesselType>(*f_.RGEType) != VesselType::TwoStreams) {
      auto tau = Si(f_.TaoD, true);
      if (!tau || *tau <= 0) return;
      Q /= *tau;
    }
    const double pr = *P / *Pc;
    if (pr >= 1) {
      Add(Level::Warning, f_.PoD,
          "容器压力 " + CheckNumber(*P / 1000) + " kPa 不低于临界压力 " + CheckNumber(*Pc / 1000) +
              " kPa，泡核沸腾关联式（Mostinski）不适用。");
      return;
    }
    const double q = Q / *A;
    const double qMax = 3.67e4 * (*Pc / 1e5) * std::pow(pr, 0.35) * std::pow(1 - pr, 0.9);
    if (std::isfinite(q) && q > 0.7 * qMax)
      Add(Level::Warning, f_.koD,
          "盘管表面热流密度 " + CheckNumber(q / 1000) + " kW/m2，超过 Mostinski 临界热流密度 " +
              CheckNumber(qMax / 1000) + " kW/m2 的 70%（Coulson & Richardson 第6卷 12.11），可能进入膜态沸腾。");
  }

  void VesselCorrelation() {
    const Convection conv = ModeOf<Convection>(*f_.RGFType);
    const VesselType type = ModeOf<VesselType>(*f_.RGEType);
    auto rho = Si(f_.DenoD), mu = Si(f_.VioD), cp = Si(f_.CopD), lambda = Si(f_.LdoD);
    if (!rho || !mu || !cp || !lambda || *mu <= 0 || *lambda <= 0) return;
    if (conv == Convection::Agitated) {
      auto d = Si(f_.midD), N = Si(f_.rvD);
      if (!d || !N) return;
      const double Re = *d * *d * *N * *rho / *mu;
      if (Re < 300)
        Add(Level::Warning, f_.koD,
            "搅拌雷诺数 Re = " + CheckNumber(Re) +
                "，低于 Chilton-Drew-Jebens 搅拌釜盘管关联式的试验范围 300–400000，"
                "接近层流搅拌，容器侧膜系数偏高。");
      else if (Re > 4e5)
        Add(Level::Hint, f_.koD,
            "搅拌雷诺数 Re = " + CheckNumber(Re) +
                "，超出 Chilton-Drew-Jebens 搅拌釜盘管关联式的试验范围 300–400000（外推）。");
      return;
    }
    if (conv != Convection::Natural || type == VesselType::TwoStreams) return;
    if (ModeOf<Phase>(*f_.PhoD) != Phase::Single) return;
    auto beta = Si(f_.BtoD), dout = Si(f_.dioD), ho = Si(f_.koD), Qi = Si(f_.QiD), A = Si(f_.AtD), tau = Si(f_.TaoD);
    if (!beta || !dout || !ho || !Qi || !A || !tau || *ho <= 0 || *A <= 0 || *tau <= 0 || *dout <= 0) return;
    // The settled film difference q / ho gives the Rayleigh number the coefficient used.
    const double dT = std::fabs(*Qi) / (*A * *tau) / *ho;
    double Ra;
    try {
      Ra = corr::NaturalGrPr(*beta, *rho, *dout, *mu, *cp, *lambda) * dT;
    } catch (const std::exception&) {
      return;
    }
    if (!std::isfinite(Ra)) return;
    if (Ra < 1e-3 || Ra > 1e13)
      Add(Level::Warning, f_.koD,
          "容器侧 Ra = Gr·Pr = " + CheckNumber(Ra) + "，超出水平管自然对流关联式（Mikheev）的适用范围 1e-3–1e13。");
  }

  void Velocity() {
    const Phase phase = ModeOf<Phase>(*f_.PhiD);
    if (phase == Phase::Condensing) {
      if (auto uv = Si(f_.UivD); uv && *uv > limits::kVapourVelocityMax)
        Add(Level::Warning, f_.UivD,
            "管内蒸汽流速 " + CheckNumber(*uv) +
                " m/s，高于气体/蒸汽常用上限约 30 m/s（Coulson & Richardson 第6卷 12.7.2）。");
      return;
    }
    auto u = Si(f_.UiD);
    auto rho = Si(f_.DeniD);
    if (!u || !rho) return;
    if (*rho < limits::kGasDensity) {
      if (*u > limits::kVapourVelocityMax)
        Add(Level::Warning, f_.UiD,
            "管内气体流速 " + CheckNumber(*u) +
                " m/s，高于气体/蒸汽常用上限约 30 m/s（Coulson & Richardson 第6卷 12.7.2）。");
      return;
    }
    if (*u > limits::kLiquidVelocityMax)
      Add(Level::Warning, f_.UiD,
          "管内液体流速 " + CheckNumber(*u) +
              " m/s，高于常用范围 0.5–3 m/s（Coulson & Richardson 第6卷 12.7.2），冲蚀与压降过大。");
    else if (*u < limits::kLiquidVelocityMin)
      Add(Level::Hint, f_.UiD,
          "管内液体流速 " + CheckNumber(*u) +
              " m/s，低于常用范围 0.5–3 m/s（Coulson & Richardson 第6卷 12.7.2），易结垢、传热差。");
  }

  void PressureDrop() {
    if (auto dp = Si(f_.DpiD)) {
      const Phase phase = ModeOf<Phase>(*f_.PhiD);
      auto rho = Si(f_.DeniD);
      const bool vapour = phase != Phase::Single || (rho && *rho < limits::kGasDensity);
      if (vapour) {
        if (*dp > limits::kVapourPressureDrop)
          Add(Level::Warning, f_.DpiD,
              "管程压力降 " + CheckNumber(*dp / 1000) + " kPa，高于蒸汽/气体常用允许值约 " +
                  CheckNumber(limits::kVapourPressureDrop / 1000) + " kPa（Coulson & Richardson 第6卷 12.7.4）。");
      } else {
        auto mu = Si(f_.ViiD);
        const bool thin = mu && *mu < limits::kThinLiquidViscosity;
        const double limit = thin ? limits::kThinLiquidPressureDrop : limits::kLiquidPressureDrop;
        if (*dp > limit)
          Add(Level::Warning, f_.DpiD,
              "管程压力降 " + CheckNumber(*dp / 1000) + " kPa，高于" +
                  (thin ? "粘度低于 1 mPa·s 的液体常用允许值约 35 kPa" : "粘度 1–10 mPa·s 的液体常用允许值 50–70 kPa") +
                  "（Coulson & Richardson 第6卷 12.7.4）。");
      }
    }
    if (auto dpo = Si(f_.DpoD)) {
      if (auto P = Si(f_.PoD); P && *P > 0 && *dpo > limits::kPressureDropShare * *P)
        Add(Level::Warning, f_.DpoD,
            "壳程压力降 " + CheckNumber(*dpo / 1000) + " kPa，超过其压力 " + CheckNumber(*P / 1000) + " kPa 的 10%。");
      else if (*dpo > limits::kLiquidPressureDrop)
        Add(Level::Warning, f_.DpoD,
            "壳程压力降 " + CheckNumber(*dpo / 1000) +
                " kPa，高于常用允许值约 70 kPa（Coulson & Richardson 第6卷 12.7.4）。");
    }
  }

  // A gas or vapour in the tubes faster than Mach 0.3: the pressure drop, computed for
  // an incompressible fluid, no longer holds.
  void Compressibility() {
    const Phase phase = ModeOf<Phase>(*f_.PhiD);
    std::optional<double> u, cp, T;
    if (phase == Phase::Condensing) {
      u = Si(f_.UivD);
      cp = Si(f_.CipvD);
      T = Si(f_.Ti2D);  // the vapour is coldest at saturation
    } else if (phase == Phase::Single) {
      auto rho = Si(f_.DeniD);
      if (!rho || *rho >= limits::kGasDensity) return;
      u = Si(f_.UiD);
      cp = Si(f_.CipD);
      auto t1 = Si(f_.Ti1D), t2 = Si(f_.Ti2D);
      if (t1 && t2) T = std::min(*t1, *t2);
    }
    if (!u || !cp || !T || *cp <= 0) return;
    const double c = SpeedOfSound(*cp, *T);
    if (!(c > 0)) return;
    const double Ma = std::fabs(*u) / c;
    if (Ma > limits::kMaxMach)
      Add(Level::Warning, phase == Phase::Condensing ? f_.UivD : f_.UiD,
          "管内" + std::string(phase == Phase::Condensing ? "蒸汽" : "气体") + "流速 " + CheckNumber(std::fabs(*u)) +
              " m/s，马赫数约 " + CheckNumber(Ma) + "（声速按理想气体 c = √((k−1)·cp·T)、k = 1.3 估算为 " +
              CheckNumber(c) + " m/s），超过 0.3：气体可压缩性不可忽略，按不可压缩流体计算的管程压力降不再成立。");
  }

  void CoilHeight() {
    // The coil height is written by every sizing pass, also where its field is shown
    // disabled; the vessel height is the one the window checks against.
    auto H = Si(f_.pHD, true), dout = Si(f_.dioD);
    const EditD* heightField = f_.HsD->Enabled() ? f_.HsD : f_.DsD;
    auto height = Si(heightField, true);
    if (!H || !dout || !height) return;
    if (*H + *dout > *height)
      Add(Level::Warning, f_.pHD,
          std::string(kCoilTooHigh) + "盘管高度 " + CheckNumber(*H) + " m 加管径 " + CheckNumber(*dout) +
              " m，超过容器高度 " + CheckNumber(*height) + " m。");
  }

  void CorrectionFactor() {
    auto F = Si(f_.CdtD);
    if (F && *F < limits::kMinCorrectionFactor)
      Add(Level::Warning, f_.CdtD,
          std::string(kLowF) + "（F = " + CheckNumber(*F) + "，Kern《Process Heat Transfer》第7章：F 不宜低于 0.8）");
  }

  const TFormPelmora& f_;
  std::vector<DesignCheck> checks_;
};

}  // namespace

double SpeedOfSound(double cp, double tCelsius) { return std::sqrt(std::max(0.0, 0.3 * cp * (tCelsius + 273.15))); }

std::vector<DesignCheck> CollectDesignChecks(const TFormPelmora& form, const RunFacts& facts) {
  std::vector<DesignCheck> checks = Collector(form).Run();
  AddFeasibilityChecks(form, facts, checks);
  std::stable_partition(checks.begin(), checks.end(),
                        [](const DesignCheck& c) { return c.level == DesignCheck::Level::Infeasible; });
  return checks;
}

}  // namespace pelmora

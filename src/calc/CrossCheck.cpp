// The method check: the film rows of the tube and the vessel side. The independent
// methods and their sources are in CrossCheckMethods.cpp; the overall coefficient, the
// area, the margin and the pressure drop in CrossCheckArea.cpp.
#include "calc/CrossCheck.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <functional>
#include <numbers>

#include "calc/Balance.h"
#include "calc/Correlations.h"
#include "calc/CrossCheckMethods.h"
#include "calc/CrossCheckState.h"
#include "calc/SubstanceChecks.h"
#include "fields/Errors.h"
#include "fields/FieldOps.h"
#include "fields/FloatCheck.h"
#include "props/MyValues.h"
#include "props/PropNumbers.h"
#include "props/SimpProps.h"

namespace pelmora {

namespace {
constexpr const char* kFilmUnit = "W/(m2.K)";
constexpr const char* kIncropera = "Incropera & DeWitt, Fundamentals of Heat and Mass Transfer, 6th ed.";
}  // namespace

std::string CrossCheckNumber(std::optional<double> x) {
  if (!x || !std::isfinite(*x)) return "—";
  return crosscheck::Num(*x);
}

uint64_t CrossCheckInputs(const TFormPelmora& form) {
  // FNV-1a over 64-bit words.
  uint64_t h = 14695981039346656037ull;
  auto mix = [&h](uint64_t word) {
    h ^= word;
    h *= 1099511628211ull;
  };
  for (const EditD* e : form.ValueFields()) {
    const auto v = e->Number();
    mix(v ? std::bit_cast<uint64_t>(*v * e->Exchange()) : 0x7ff4000000000001ull);
    mix((e->Enabled() ? 1u : 0u) | (e->Stale() ? 2u : 0u));
  }
  mix(static_cast<uint64_t>(form.RGEType->ItemIndex() + 8));
  mix(static_cast<uint64_t>(form.RGFType->ItemIndex() + 8));
  for (const ComboBox* c : {form.PhoD, form.PhiD, form.TShapeD, form.mitD, form.TmD}) {
    mix(static_cast<uint64_t>(c->ItemIndex() + 8));
    mix(std::hash<std::string>{}(c->Text()));
  }
  // The vessel liquid's library record: the free-convection row takes its properties at
  // the film temperature from it (at its pressure) and names it.
  if (const auto& s = form.Substances.Of(FluidSide::Vessel)) {
    mix(std::hash<std::string>{}(s->no));
    mix(std::hash<std::string>{}(s->name));
    mix(std::bit_cast<uint64_t>(s->p));
  } else {
    mix(0x7ff4000000000002ull);
  }
  return h;
}

std::string CrossCheckPercent(std::optional<double> fraction) {
  if (!fraction || !std::isfinite(*fraction)) return "—";
  const long pct = std::lround(*fraction * 100);
  if (pct > 0) return "+" + std::to_string(pct) + " %";
  if (pct < 0) return "−" + std::to_string(-pct) + " %";
  return "0 %";
}

CrossCheckResult RunCrossCheck(const TFormPelmora& form, const FilmSource& vessel) {
  // Every estimate catches its own faults; whatever slips through leaves the run without
  // a method check rather than ending it after the fact.
  try {
    return crosscheck::Checker(form, vessel).Run();
  } catch (const std::exception&) {
    return {};
  }
}

namespace crosscheck {

// The texts of CheckNumber (4 significant digits, whole numbers from 1000, exponents
// beyond 1e7 and below 1e-3), written without printf, which the notes would make the
// larger part of the check's cost.
std::string Num(double x) {
  if (!std::isfinite(x)) return "-";
  char buf[40];
  const double a = std::fabs(x);
  std::to_chars_result r;
  if (a != 0 && (a >= 1e7 || a < 1e-3))
    r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific, 3);
  else if (a >= 1000)
    r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, 0);
  else
    r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::general, 4);
  return std::string(buf, r.ptr);
}

Checker::Checker(const TFormPelmora& form, const FilmSource& vessel)
    : f_(form),
      film_(vessel),
      vesselType_(ModeOf<VesselType>(*form.RGEType)),
      convection_(ModeOf<Convection>(*form.RGFType)),
      tubePhase_(ModeOf<Phase>(*form.PhiD)),
      vesselPhase_(ModeOf<Phase>(*form.PhoD)),
      shape_(ModeOf<TubeShape>(*form.TShapeD)) {}

CrossCheckResult Checker::Run() {
  TubeSide();
  VesselSide();
  Overall();
  Area();
  PressureDrop();
  Levels();
  Margin();
  return std::move(out_);
}

std::optional<double> Checker::Si(const EditD* e, bool evenDisabled) const { return SiValue(e, evenDisabled, true); }

CrossCheckRow& Checker::AddNamed(std::string field, std::string quantity, const char* unit, std::optional<double> value,
                                 std::string method, std::string source) {
  CrossCheckRow row;
  row.field = std::move(field);
  row.quantity = std::move(quantity);
  row.unit = unit;
  row.value = value;
  row.method = std::move(method);
  row.source = std::move(source);
  out_.rows.push_back(std::move(row));
  return out_.rows.back();
}

CrossCheckRow& Checker::Add(const EditD* field, const char* unit, std::optional<double> value, std::string method,
                            std::string source) {
  return AddNamed(field->Name(), field->QuantityName(), unit, value, std::move(method), std::move(source));
}

void Checker::Set(CrossCheckRow& row, double independent, std::string note, bool inRange) {
  row.note = std::move(note);
  row.inRange = inRange;
  if (!std::isfinite(independent) || !(independent > 0)) {
    if (row.note.empty()) row.note = "独立方法没有得出正值";
    return;
  }
  row.independent = independent;
  if (row.value && *row.value != 0) row.deviation = independent / *row.value - 1;
}

void Checker::NotApplicable(CrossCheckRow& row, std::string why) {
  row.independent.reset();
  row.deviation.reset();
  row.note = std::move(why);
}

void Checker::Try(CrossCheckRow& row, const std::function<void()>& compute) {
  try {
    compute();
  } catch (const std::exception& e) {
    NotApplicable(row, std::string("无法计算：") + e.what());
  }
}

double Checker::HeatFlux() const {
  auto Qi = Si(f_.QiD, true), A = Si(f_.AtD, true), tau = Si(f_.TaoD, true);
  if (!Qi || !A || !tau || *A <= 0 || *tau <= 0) return 0;
  return std::fabs(*Qi) / (*A * *tau);
}

// ---- tube side ------------------------------------------------------------------------

void Checker::TubeSide() {
  const auto hi = Si(f_.kiD, true);
  if (!hi) return;  // no tube-side coefficient this run
  if (tubePhase_ == Phase::Condensing) {
    TubeCondensation();
  } else if (tubePhase_ == Phase::Evaporating) {
    NotApplicable(Add(f_.kiD, kFilmUnit, hi, "管内流动沸腾", "—"), "管内流动沸腾没有列入独立校核方法");
  } else if (tubePhase_ == Phase::Single) {
    CrossCheckRow& row =
        shape_ == TubeShape::Helical
            ? Add(f_.kiD, kFilmUnit, hi, "螺旋管关联式（Gnielinski）", "VDI Heat Atlas, 2nd ed. (2010), ch. G3")
            : Add(f_.kiD, kFilmUnit, hi, "Gnielinski（Petukhov 摩擦系数）", std::string(kIncropera) + ", eq. 8.62");
    Try(row, [&] { TubeSinglePhase(row); });
  }
}

void Checker::TubeSinglePhase(CrossCheckRow& row) {
  auto W = Si(f_.WiD, true), n = Si(f_.nD), mu = Si(f_.ViiD), di = Si(f_.diiD), cp = Si(f_.CipD, true), k = Si(f_.LdiD);
  if (!W || !n || !mu || !di || !cp || !k) return NotApplicable(row, "缺少管程流量、物性或管内径");
  const double Re = fp::Div(4 * std::fabs(*W), std::numbers::pi * *n * *mu * *di);
  const double Pr = fp::Div(*cp * *mu, *k);
  const double toH = fp::Div(*k, *di);
  const std::string at = "Re = " + Num(Re) + "，Pr = " + Num(Pr);
  if (shape_ == TubeShape::Helical) {
    auto Sl = Si(f_.SlD), s = Si(f_.DspD), dout = Si(f_.dioD);
    if (!Sl || !s || !dout) return NotApplicable(row, "缺少盘管直径、螺距或管外径");
    const double D = xcheck::CoilCurvatureDiameter(*Sl, *s * *dout);
    const xcheck::CoilFilm film = xcheck::CoilNu(Re, Pr, *di, D);
    const char* regime = film.regime == xcheck::CoilRegime::Laminar      ? "层流"
                         : film.regime == xcheck::CoilRegime::Transition ? "过渡区（层流与湍流插值）"
                                                                         : "湍流";
    Set(row, film.Nu * toH,
        at + "，临界 Re = " + Num(film.criticalRe) + "（曲率直径 " + Num(D) + " m），" + regime +
            "；壁温未知，(Pr/Prw)^0.14 取 1");
    return;
  }
  if (Re < xcheck::kTransitionRe) {
    row.method = "层流";
    auto L = Si(f_.LrD, true);
    if (L && *L > 0) {
      row.method = "层流 Hausen（热入口段）";
      row.source = std::string(kIncropera) + ", eq. 8.57";
      Set(row, xcheck::HausenNu(Re, Pr, *di, *L) * toH,
          at + "，Gz = (D/L)·Re·Pr，L 取实际单管长 " + Num(*L) + " m，壁温恒定");
    } else {
      row.method = "层流充分发展 Nu = 3.66";
      row.source = std::string(kIncropera) + ", eq. 8.55";
      Set(row, xcheck::kLaminarNu * toH, at + "，管长未知，按充分发展层流、壁温恒定");
    }
    return;
  }
  const bool inRange = Re >= xcheck::kGnielinskiReMin && Re <= xcheck::kGnielinskiReMax &&
                       Pr >= xcheck::kGnielinskiPrMin && Pr <= xcheck::kGnielinskiPrMax;
  std::string note = at;
  if (!inRange) note += "，超出该式范围 3000 ≤ Re ≤ 5×10^6、0.5 ≤ Pr ≤ 2000";
  if (shape_ == TubeShape::UTube) note += "；按直管计，未计弯头强化";
  Set(row, xcheck::GnielinskiNu(Re, Pr) * toH, note, inRange);
}

void Checker::TubeCondensation() {
  const auto hi = Si(f_.kiD, true);
  auto W = Si(f_.WiD, true), n = Si(f_.nD), mu = Si(f_.ViiD), di = Si(f_.diiD), k = Si(f_.LdiD), rho = Si(f_.DeniD);
  auto rhov = Si(f_.denivD), muv = Si(f_.ViivD), r = Si(f_.DHiD), ts = Si(f_.Ti2D);
  // The corrections of the sizing for non-condensable gas and superheat apply to both.
  double corrections = 1;
  std::string corrected;
  try {
    if (auto La = Si(f_.LaiD); La && *La > 0.0001) {
      corrections *= corr::NonCondensableFactor(*La);
      corrected = "；含本程序的不凝气体修正";
    }
    if (auto cpv = Si(f_.CipvD), t1 = Si(f_.Ti1D); cpv && t1 && r && ts && *t1 != *ts) {
      corrections *= corr::SuperheatFactor(*r, *cpv, *t1, *ts);
      corrected += "；含本程序的过热修正";
    }
  } catch (const std::exception&) {
    corrections = 1;  // the sizing could not have used them either
    corrected = "；不凝气体或过热修正无法计算，未计入";
  }

  CrossCheckRow& shah = Add(f_.kiD, kFilmUnit, hi, "Shah 管内冷凝关联式（全冷凝平均）",
                            "M. M. Shah, Int. J. Heat Mass Transfer 22 (1979) 547");
  Try(shah, [&] {
    if (!W || !n || !mu || !di || !k || !rho || !r || !ts) return NotApplicable(shah, "缺少管程流量、物性或冷凝温度");
    const double T = *ts + 273.15;
    // Shah's correlation needs the reduced pressure and the condensate's specific heat,
    // which the project does not hold; for steam the saturation line gives both.
    const bool water = T > 273.16 && T < xcheck::kWaterTc - 1 &&
                       std::fabs(*r / xcheck::WaterLatentHeat(T) - 1) <= 0.05 &&
                       std::fabs(*rho / xcheck::WaterSaturatedLiquidDensity(T) - 1) <= 0.05;
    if (!water)
      return NotApplicable(shah,
                           "需要管程的对比压力 p/pc 和凝液比热，项目中没有；只有水蒸气可由冷凝温度求得"
                           "（本管程的汽化潜热或液体密度与该温度下的饱和水不符）");
    const double p = xcheck::WaterSaturationPressure(T);
    auto cpl = xcheck::WaterLiquidCp(p);
    if (!cpl) return NotApplicable(shah, "饱和压力 " + Num(p / 1e5) + " bar 超出凝液比热表的范围 1–70 bar");
    const double pr = p / xcheck::kWaterPc;
    const double G = fp::Div(4 * std::fabs(*W), std::numbers::pi * *n * *di * *di);
    const double ReLO = fp::Div(G * *di, *mu);
    const double h = xcheck::ShahLiquidOnly(G, *di, *mu, *cpl, *k) * xcheck::ShahMeanFactor(pr) * corrections;
    std::string note = "水蒸气：饱和压力 " + Num(p / 1e5) + " bar（IAPWS），p/pc = " + Num(pr) +
                       "，凝液 cp = " + Num(*cpl) + " J/(kg.K)，全液相 Re = " + Num(ReLO);
    bool inRange = pr >= xcheck::kShahPrMin && pr <= xcheck::kShahPrMax && ReLO >= xcheck::kShahReMin;
    if (rhov && *rhov > 0) {
      const double uv = G / *rhov;
      note += "，蒸汽流速 " + Num(uv) + " m/s";
      if (uv < xcheck::kShahVapourVelocityMin || uv > xcheck::kShahVapourVelocityMax) inRange = false;
    }
    if (!inRange) note += "；超出该式的数据范围（p/pc 0.002–0.44，蒸汽流速 3–300 m/s，全液相 Re ≥ 350）";
    Set(shah, h, note + corrected, inRange);
  });

  CrossCheckRow& film = Add(f_.kiD, kFilmUnit, hi, "Nusselt 液膜理论（水平管内分层流，Chato 系数 0.555）",
                            std::string(kIncropera) + ", eq. 10.41");
  Try(film, [&] {
    auto dout = Si(f_.dioD);
    const double q = HeatFlux();
    if (!W || !n || !mu || !di || !k || !rho || !rhov || !r || !dout || q <= 0)
      return NotApplicable(film, "缺少管程物性、蒸汽密度、潜热或热流密度");
    const double qi = q * *dout / *di;  // on the inner surface
    const double h = xcheck::FilmCondensationAtFlux(xcheck::kChatoConstant, *rho, *rhov, *k, *mu, *r, *di, qi);
    std::string note = "按管内表面热流密度 " + Num(qi / 1000) + " kW/m2，h'fg 取潜热（凝液比热未输入）";
    bool inRange = true;
    if (muv && *muv > 0) {
      const double G = fp::Div(4 * std::fabs(*W), std::numbers::pi * *n * *di * *di);
      const double ReV = G * *di / *muv;
      note += "，入口蒸汽 Re = " + Num(ReV);
      if (ReV >= xcheck::kChatoVapourReMax) {
        inRange = false;
        note += "，超出分层流范围 Re < 35000（高流速时为环状流，宜用 Shah 式）";
      }
    }
    Set(film, h * corrections, note + corrected, inRange);
  });
}

// ---- vessel side ----------------------------------------------------------------------

void Checker::VesselSide() {
  const auto ho = Si(f_.koD, true);
  if (!ho) return;
  if (vesselPhase_ == Phase::Evaporating) return VesselBoiling();
  if (vesselPhase_ == Phase::Condensing) {
    CrossCheckRow& row = Add(f_.koD, kFilmUnit, ho, "Nusselt 水平管外膜状冷凝（管排修正 N^-1/4）",
                             std::string(kIncropera) + ", eq. 10.46, 10.47");
    return Try(row, [&] { VesselCondensation(row); });
  }
  if (convection_ == Convection::Agitated) {
    CrossCheckRow& row = Add(f_.koD, kFilmUnit, ho, "Oldshue–Gretton 搅拌槽盘管关联式（涡轮）",
                             "Oldshue & Gretton, Chem. Eng. Prog. 50 (1954) 615; Perry's Handbook");
    return Try(row, [&] { AgitatedVessel(row); });
  }
  const bool forced = vesselType_ == VesselType::TwoStreams || convection_ == Convection::ExternalLoop;
  CrossCheckRow& row =
      forced ? Add(f_.koD, kFilmUnit, ho, "Churchill–Bernstein 横掠圆管，与 Churchill–Chu 自然对流合成",
                   std::string(kIncropera) + ", eq. 7.54, 9.34, 9.64")
             : Add(f_.koD, kFilmUnit, ho, "Churchill–Chu 水平圆柱自然对流", std::string(kIncropera) + ", eq. 9.34");
  Try(row, [&] { FreeAndForcedConvection(row); });
}

namespace {

// One free- or mixed-convection estimate: the coefficient, the film difference it needs
// to carry the run's heat flux, and what it says.
struct Estimate {
  std::optional<double> h;
  double dT = 0;
  std::string note, failure;
  bool inRange = true;
};

}  // namespace

void Checker::FreeAndForcedConvection(CrossCheckRow& row) {
  auto rho = Si(f_.DenoD), mu = Si(f_.VioD), cp = Si(f_.CopD, true), k = Si(f_.LdoD), beta = Si(f_.BtoD),
       dout = Si(f_.dioD);
  const double q = HeatFlux();
  if (!rho || !mu || !cp || !k || !dout) return NotApplicable(row, "缺少容器侧物性或管外径");
  const bool forced = vesselType_ == VesselType::TwoStreams || convection_ == Convection::ExternalLoop;
  std::optional<double> S, Wf;
  if (forced) {
    Wf = vesselType_ == VesselType::TwoStreams ? Si(f_.MaoD, true) : Si(f_.WrD);
    auto Ds = Si(f_.DsD, true), Sl = Si(f_.SlD);
    const double Dc = Si(f_.DcD, true).value_or(0);
    if (!Wf || !Ds || !Sl) return NotApplicable(row, "缺少容器侧流量、壳体直径或盘管直径");
    // The flow section of the sizing: the annulus less the coil's own ring.
    S = std::numbers::pi / 4 * (*Ds * *Ds - Dc * Dc - 4 * *dout * *Sl);
    if (!(*S > 0)) return NotApplicable(row, "流通截面不为正（壳体、中心柱与盘管尺寸）");
  } else {
    if (!beta || !(*beta > 0)) return NotApplicable(row, "缺少膨胀系数");
    if (q <= 0) return NotApplicable(row, "缺少热流密度（管程热量、面积、时间）");
  }

  // One estimate with the liquid's properties `p`.
  auto estimate = [&](const Liquid& p) {
    Estimate e;
    const double Pr = fp::Div(p.cp * p.mu, p.k);
    const double toH = fp::Div(p.k, *dout);
    std::optional<double> raPerK;  // Ra per kelvin of the film difference
    if (p.beta > 0) raPerK = 9.81 * p.beta * p.rho * p.rho * *dout * *dout * *dout / (p.mu * p.mu) * Pr;
    std::optional<double> NuF;
    if (forced) {
      const double Re = std::fabs(*Wf) / *S * *dout / p.mu;
      NuF = xcheck::ChurchillBernsteinNu(Re, Pr);
      e.note = "按管外径 Re = " + Num(Re) + "（流通截面同本程序 " + Num(*S) + " m2），Pr = " + Num(Pr);
      if (Re * Pr < xcheck::kChurchillBernsteinRePrMin) {
        e.note += "，Re·Pr < 0.2 超出范围";
        e.inRange = false;
      }
      if (!raPerK || q <= 0) {
        e.note += "；无膨胀系数或热流，未计自然对流";
        e.h = *NuF * toH;
        return e;
      }
    }
    // The film difference at which h.dT carries the mean heat flux of the run.
    const double ccFactor = xcheck::ChurchillChuFactor(Pr);
    auto h = [&](double dT) {
      const double NuN = xcheck::ChurchillChuNuWith(*raPerK * dT, ccFactor);
      return (NuF ? xcheck::MixedNu(*NuF, NuN) : NuN) * toH;
    };
    auto hAt = xcheck::CoefficientAtFlux(h, q);
    if (!hAt) {
      e.failure = "热流密度 " + Num(q) + " W/m2 下无解";
      return e;
    }
    e.h = hAt;
    e.dT = q / *hAt;
    const double Ra = *raPerK * e.dT;
    e.inRange = e.inRange && Ra <= xcheck::kChurchillChuRaMax;
    std::string natural = "Ra = " + Num(Ra) + "（膜温差 " + Num(e.dT) + " K，热流 " + Num(q / 1000) + " kW/m2）";
    if (Ra > xcheck::kChurchillChuRaMax) natural += "，超出 Ra ≤ 10^12";
    e.note = e.note.empty() ? natural : e.note + "；自然对流 " + natural;
    return e;
  };

  Estimate e = estimate({*rho, *mu, *cp, *k, beta.value_or(0)});
  if (!e.h) return NotApplicable(row, e.failure);
  std::string basis = "物性取主体温度的值（未输入膜温物性）";
  // With the library record of the vessel liquid, its properties at the film temperature
  // T_f = T_bulk ± ΔT/2 (the side of the tube: above the bulk when the tube heats it),
  // found by successive substitution (a few steps: ΔT changes little with T_f).
  const auto tBulk = SideMeanTemperature(f_, FluidSide::Vessel), tTube = SideMeanTemperature(f_, FluidSide::Tube);
  if (film_.record && tBulk && tTube && e.dT > 0) {
    const double side = *tTube >= *tBulk ? 1.0 : -1.0;
    double tFilm = *tBulk;
    bool had = false;
    for (int step = 0; step < 8; ++step) {
      const double next = *tBulk + side * e.dT / 2;
      const auto p = FilmLiquid(next);
      if (!p) break;
      Estimate again = estimate(*p);
      if (!again.h) break;
      e = std::move(again);
      had = true;
      const bool settled = std::fabs(next - tFilm) < 0.05;
      tFilm = next;
      if (settled) break;
    }
    if (had)
      basis = "物性取膜温 " + Num(tFilm) + " ℃（主体 " + Num(*tBulk) + " ℃ 与管壁的平均）的值，取自物性库“" +
              film_.name + "”";
    else
      basis += "；物性库“" + film_.name + "”在膜温下无值";
  }
  Set(row, *e.h, e.note + "；" + basis, e.inRange);
}

std::optional<Checker::Liquid> Checker::FilmLiquid(double tC) const {
  if (!film_.record || !std::isfinite(tC)) return std::nullopt;
  TMyValues grid;
  grid.AddValue("t", FloatToStr(tC), "C", "温度");
  grid.AddValue("p", FloatToStr(film_.pKPa), "kPa(A)", "绝对压力");
  auto value = [&](const char* name) -> std::optional<double> {
    try {
      PropertyOutcome o = EvaluateProperty(name, *film_.record, grid);
      if (o.kind != PropertyOutcome::Kind::Value || !std::isfinite(o.value) || !(o.value > 0)) return std::nullopt;
      return o.value;
    } catch (const std::exception&) {
      return std::nullopt;
    }
  };
  auto rho = value("MD"), mu = value("VI"), cp = value("CP"), k = value("TC");
  if (!rho) return std::nullopt;
  auto beta = ExpansionFromDensity(*film_.record, tC, film_.pKPa, *rho);
  if (!rho || !mu || !cp || !k || !beta || !(*beta > 0)) return std::nullopt;
  return Liquid{*rho, *mu, *cp, *k, *beta};
}

void Checker::AgitatedVessel(CrossCheckRow& row) {
  if (ModeOf<Impeller>(*f_.mitD) != Impeller::Turbine)
    return NotApplicable(row, "Oldshue–Gretton 式只适用于涡轮搅拌器；所选搅拌器没有第二个核实的盘管关联式");
  auto rho = Si(f_.DenoD), mu = Si(f_.VioD), cp = Si(f_.CopD, true), k = Si(f_.LdoD), dout = Si(f_.dioD);
  auto L = Si(f_.midD), N = Si(f_.rvD), T = Si(f_.DsD, true);
  if (!rho || !mu || !cp || !k || !dout || !L || !N || !T)
    return NotApplicable(row, "缺少物性、浆叶直径、转速或壳体直径");
  const double Re = fp::Div(*L * *L * *N * *rho, *mu);
  const double Pr = fp::Div(*cp * *mu, *k);
  Set(row, xcheck::OldshueGrettonNu(Re, Pr, *L, *T, *dout) * fp::Div(*k, *dout),
      "Re = d^2·N·ρ/μ = " + Num(Re) + "，Pr = " + Num(Pr) + "，特征长度为管外径；设有挡板的槽");
}

void Checker::VesselCondensation(CrossCheckRow& row) {
  auto rho = Si(f_.DenoD), rhov = Si(f_.denovD), k = Si(f_.LdoD), mu = Si(f_.VioD), r = Si(f_.DHoD), dout = Si(f_.dioD);
  const double q = HeatFlux();
  if (!rho || !rhov || !k || !mu || !r || !dout || q <= 0) return NotApplicable(row, "缺少容器侧物性、潜热或热流密度");
  // Turns of a helix lie one above the other; the legs of a U-tube bundle are taken singly.
  double tier = 1;
  if (shape_ == TubeShape::Helical)
    if (auto m = Si(f_.mD, true); m && *m > 1) tier = *m;
  const double C = xcheck::kNusseltTubeConstant * std::pow(tier, -0.25);
  Set(row, xcheck::FilmCondensationAtFlux(C, *rho, *rhov, *k, *mu, *r, *dout, q),
      "热流 " + Num(q / 1000) + " kW/m2，管排 N = " + Num(tier) + "，h'fg 取潜热");
}

void Checker::VesselBoiling() {
  const auto ho = Si(f_.koD, true);
  auto P = Si(f_.PoD), Pc = Si(f_.PcD);
  const double q = HeatFlux();
  CrossCheckRow& mostinski = Add(f_.koD, kFilmUnit, ho, "Mostinski 泡核沸腾（Pc 以 bar 计）",
                                 "Sinnott, Coulson & Richardson's Chemical Engineering Vol. 6, 4th ed., §12.11.1");
  Try(mostinski, [&] {
    if (!P || !Pc || *Pc <= 0 || q <= 0) return NotApplicable(mostinski, "缺少蒸发压力、临界压力或热流密度");
    const double pr = *P / *Pc;
    if (!(pr > 0 && pr < 1)) return NotApplicable(mostinski, "蒸发压力须低于临界压力");
    Set(mostinski, xcheck::MostinskiH(*Pc / 1e5, pr, q), "p/pc = " + Num(pr) + "，热流 " + Num(q / 1000) + " kW/m2");
  });
  CrossCheckRow& cooper = Add(f_.koD, kFilmUnit, ho, "Cooper 泡核沸腾（表面粗糙度 1 μm）",
                              "M. G. Cooper, Advances in Heat Transfer 16 (1984) 157");
  Try(cooper, [&] {
    auto rhov = Si(f_.denovD), T = Si(f_.Tom2D);
    if (!P || !Pc || *Pc <= 0 || q <= 0 || !rhov || !T)
      return NotApplicable(cooper, "缺少压力、蒸气密度、温度或热流密度");
    const double pr = *P / *Pc;
    if (!(pr > 0 && pr < 1)) return NotApplicable(cooper, "蒸发压力须低于临界压力");
    // The molar mass the correlation needs, from the vapour as an ideal gas.
    const double M = fp::Div(*rhov * 8314.46 * (*T + 273.15), *P);
    const bool inRange = pr >= xcheck::kCooperPrMin && pr <= xcheck::kCooperPrMax;
    Set(cooper, xcheck::CooperH(pr, M, q),
        "p/pc = " + Num(pr) + "，摩尔质量按理想气体由蒸气密度估算为 " + Num(M) + " kg/kmol" +
            (inRange ? "" : "；超出 p/pc 0.001–0.9"),
        inRange);
  });
}

}  // namespace crosscheck
}  // namespace pelmora

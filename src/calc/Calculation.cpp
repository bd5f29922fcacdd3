#include "calc/Calculation.h"

#include <cmath>
#include <numbers>

#include "calc/Correlations.h"
#include "calc/Feasibility.h"
#include "fields/Dispatch.h"
#include "fields/Errors.h"
#include "fields/FieldOps.h"
#include "fields/FloatCheck.h"
#include "fields/ModeEnums.h"
#include "fields/Text.h"
#include "fields/UiPort.h"

namespace pelmora {

namespace {

// Balance residuals (HeatBalanceResiduals); v holds the group's fields in list order.
double TubeSinglePhaseBalance(const BalanceValues& v) {  // W, cp, t2, t1, tau, Qi
  return v[0] * v[1] * (v[2] - v[3]) * v[4] - v[5];
}
double TubeCondensingBalance(const BalanceValues& v) {  // W, La, r, cpv, t1, t2, tau, Qi
  return -((1 - v[1] / 100) * v[2] + (v[4] - v[5]) * v[3]) * v[0] * v[6] - v[7];
}
double TubeEvaporatingBalance(const BalanceValues& v) {  // W, La, r, cp, t1, t2, tau, Qi
  return ((v[1] / 100) * v[2] + (v[5] - v[4]) * v[3]) * v[0] * v[6] - v[7];
}
double VesselSinglePhaseBalance(const BalanceValues& v) {  // M, cpo, T2, T1, Qo
  return v[0] * v[1] * (v[2] - v[3]) - v[4];
}
double VesselCondensingBalance(const BalanceValues& v) {  // M, La, ro, cpv, T1, T2, tau, Qo
  return -((1 - v[1] / 100) * v[2] + (v[4] - v[5]) * v[3]) * v[0] * v[6] - v[7];
}
double VesselEvaporatingBalance(const BalanceValues& v) {  // M, La, ro, cpo, T1, T2, tau, Qo
  return ((v[1] / 100) * v[2] + (v[5] - v[4]) * v[3]) * v[0] * v[6] - v[7];
}
double HeatBalance(const BalanceValues& v) {  // Qo, Qi, QL, tau
  return v[0] + v[1] + v[2] * v[3];
}

constexpr double kStart = 1.2345;

}  // namespace

Calculation::Calculation(TFormPelmora& form, Modes& modes, Geometry& geometry)
    : f_(form), modes_(modes), geometry_(geometry) {
  tube0_ = {f_.WiD, f_.CipD, f_.Ti2D, f_.Ti1D, f_.TaoD, f_.QiD};
  tube1_ = {f_.WiD, f_.LaiD, f_.DHiD, f_.CipvD, f_.Ti1D, f_.Ti2D, f_.TaoD, f_.QiD};
  tube2_ = {f_.WiD, f_.LaiD, f_.DHiD, f_.CipD, f_.Ti1D, f_.Ti2D, f_.TaoD, f_.QiD};
  vessel0_ = {f_.MaoD, f_.CopD, f_.Tom2D, f_.Tom1D, f_.QoD};
  vessel1_ = {f_.MaoD, f_.LaoD, f_.DHoD, f_.CopvD, f_.Tom1D, f_.Tom2D, f_.TaoD, f_.QoD};
  vessel2_ = {f_.MaoD, f_.LaoD, f_.DHoD, f_.CopD, f_.Tom1D, f_.Tom2D, f_.TaoD, f_.QoD};
  heat_ = {f_.QoD, f_.QiD, f_.QLD, f_.TaoD};
  f_.SetHandler("MaoDExit", [this](Component* s) { MaoDExit(s); });
  f_.SetHandler("SBAutoRunClick", [this](Component* s) { SBAutoRunClick(s); });
}

void Calculation::SBAutoRunClick(Component*) {
  f_.SBAutoRun->SetHint(f_.SBAutoRun->Down() ? "禁止自动计算" : "允许自动计算");
}

void Calculation::Status(const char* text) { f_.MyStatusBar->SetPanelText(1, text); }

void Calculation::ClearStatus(const char* text) {
  if (f_.MyStatusBar->PanelText(1) == text) f_.MyStatusBar->SetPanelText(1, "");
}

void Calculation::NotConverged() {
  Status(kNotConverged);
  throw SilentAbort();
}

double Calculation::Friction(int mode, double Re, double D, double eps) {
  try {
    return FrictionFactor(mode, Re, D, eps);
  } catch (const ConvergenceError&) {
    NotConverged();
  }
}

// Which stream takes up heat: the tube fluid absorbs when the vessel side is on the
// whole the warmer one (mean against mean temperature).
void Calculation::FluidRoles() {
  if (AllFilled({f_.Tom1D, f_.Tom2D, f_.Ti1D, f_.Ti2D})) {
    double vessel = (f_.Tom1D->GetValue() + f_.Tom2D->GetValue()) / 2;
    double tube = (f_.Ti1D->GetValue() + f_.Ti2D->GetValue()) / 2;
    bool tubeAbsorbs = vessel >= tube;
    f_.HTiD->SetText(tubeAbsorbs ? kHeatAbsorbing : kHeatReleasing);
    f_.HToD->SetText(tubeAbsorbs ? kHeatReleasing : kHeatAbsorbing);
  } else {
    f_.HTiD->SetText("");
    f_.HToD->SetText("");
  }
}

bool Calculation::SolveBalances() {
  CalcStep step("热量平衡", "质量、流量、比热、温度、时间");
  bool changed = false;
  auto solve = [&changed](auto& fields, Color color, const Residual& r) {
    if (SolveBalance(fields, color, true, kStart, r)) changed = true;
  };
  switch (ModeOf<Phase>(*f_.PhiD)) {
    case Phase::Single: solve(tube0_, TubeBalanceColor, TubeSinglePhaseBalance); break;
    case Phase::Condensing: solve(tube1_, TubeBalanceColor, TubeCondensingBalance); break;
    case Phase::Evaporating: solve(tube2_, TubeBalanceColor, TubeEvaporatingBalance); break;
    default: break;
  }
  // A constant-temperature bath states the heat it needs; its mass field is disabled
  // and no vessel balance is solved.
  const bool bath = ModeOf<VesselType>(*f_.RGEType) == VesselType::Bath;
  if (bath && f_.QoD->GetColor() == VesselBalanceColor) {
    // A rate solved before the balance was dropped (a stored bath) stays, as an input.
    f_.QoD->SetColor(colors::Window);
    f_.QoD->SetReadOnly(false);
    f_.QoD->SetCursor(Cursor::Default);
  }
  if (!bath) switch (ModeOf<Phase>(*f_.PhoD)) {
      case Phase::Single: solve(vessel0_, VesselBalanceColor, VesselSinglePhaseBalance); break;
      case Phase::Condensing: solve(vessel1_, VesselBalanceColor, VesselCondensingBalance); break;
      case Phase::Evaporating: solve(vessel2_, VesselBalanceColor, VesselEvaporatingBalance); break;
      default: break;
    }
  solve(heat_, HeatBalanceColor, HeatBalance);
  return changed;
}

// Tube velocity, and the vapour velocity of a condensing tube fluid.
bool Calculation::TubeVelocities() {
  CalcStep step("管内流速", "管程质量流量、密度、管内径、管根数");
  if (!AllFilled({f_.WiD, f_.DeniD, f_.diiD, f_.nD})) return false;
  double rho = f_.DeniD->GetValue();
  double u = corr::TubeVelocity(f_.WiD->GetValue(), f_.nD->GetValue(), rho, f_.diiD->GetValue());
  PutResult(*f_.UiD, ResultColor, Tolerance, u);
  if (ModeOf<Phase>(*f_.PhiD) == Phase::Condensing && Filled(*f_.denivD))
    PutResult(*f_.UivD, ResultColor, Tolerance, fp::Div(u * rho, f_.denivD->GetValue()));
  return true;
}

// Tube-side pressure drop over the settled design; needs the shape factor of the pass
// count computed in this run.
void Calculation::PressureDrop(std::optional<double> shapeFactor) {
  CalcStep step("管程压力降", "管程质量流量、密度、动力粘度、管内径、绝对粗糟度、盘管直径");
  if (!AllFilled({f_.DeniD, f_.ViiD, f_.WiD, f_.diiD, f_.EiD, f_.mD, f_.SlD, f_.nD})) return;
  const Phase phase = ModeOf<Phase>(*f_.PhiD);
  if (ChangesPhase(phase)) {
    if (!AllFilled({f_.denivD, f_.ViivD})) return;
  }
  if (!shapeFactor) return;
  const TubeShape shape = ModeOf<TubeShape>(*f_.TShapeD);
  if (shape != TubeShape::UTube && shape != TubeShape::Helical) return;
  if (shape == TubeShape::Helical && !AllFilled({f_.DspD, f_.LtD})) return;
  if (shape == TubeShape::UTube && !Filled(*f_.LrD)) return;
  double rho, mu;
  if (ChangesPhase(phase)) {
    rho = f_.denivD->GetValue();
    mu = f_.ViivD->GetValue();
  } else {
    rho = f_.DeniD->GetValue();
    mu = f_.ViiD->GetValue();
  }
  const double W = f_.WiD->GetValue();
  const double n = f_.nD->GetValue();
  const double di = f_.diiD->GetValue();
  const double eps = f_.EiD->GetValue();
  const double u = corr::TubeVelocity(W, n, rho, di);
  const double Re = fp::Div(4 * fp::Div(W, n), std::numbers::pi * mu * di);
  const double lambda = Friction(1, Re, di, eps);
  double dp;
  if (shape == TubeShape::UTube) {
    // Friction over the tube that is installed: the real single-tube length, the same
    // m.(2.Sl + (pi - 2).s.do) the pass count comes from, with the bends' shape factor.
    const double Lr = f_.LrD->GetValue();
    dp = lambda * fp::Div(Lr, di) * *shapeFactor * rho * u * u / 2;
  } else {
    const double s = f_.DspD->GetValue();
    const double Lt = f_.LtD->GetValue();
    const double Sl = f_.SlD->GetValue();
    const double lambdaCoil = lambda * (1 + fp::Div(1.5, s) * 3.5 * fp::Div(di, Sl));
    dp = lambdaCoil * fp::Div(Lt, di) * *shapeFactor * rho * u * u / 2;
  }
  PutResult(*f_.DpiD, ResultColor, 0.0001, fp::Check(dp));
}

// A bath needs its heat rate once the temperatures are in, unless the tube flow is
// given (the overall balance then yields it); its sign must fit the direction of heat
// flow, or the balances would turn the tube flow negative.
void Calculation::CheckBathHeat() {
  if (ModeOf<VesselType>(*f_.RGEType) != VesselType::Bath || !AllFilled({f_.Tom1D, f_.Tom2D, f_.Ti1D, f_.Ti2D})) return;
  if (Blank(*f_.QoD)) {
    if (Blank(*f_.WiD)) f_.QoD->GetValue();  // shows the blank-field warning and ends the run
    return;
  }
  const double tubeMinusBath = f_.Ti1D->GetValue() + f_.Ti2D->GetValue() - f_.Tom1D->GetValue() - f_.Tom2D->GetValue();
  const double heat = f_.QoD->GetValue();
  if (heat != 0 && (heat > 0) != (tubeMinusBath > 0)) {
    f_.Port().MessageBox(kBathHeatSign, "", MsgType::Warning, Buttons::Ok, Answer::Ok);
    throw SilentAbort();
  }
}

// Densities, specific heats, viscosities, conductivities and latent heats are positive;
// a value that is not (a library formula taken outside its range, a slip of the sign)
// would end the run in a square root or a division with no word on the cause.
void Calculation::RefuseNonPhysicalProperties() {
  struct Side {
    const char* name;
    std::vector<EditD*> fields;
  };
  const Side sides[] = {
      {"管程", {f_.DeniD, f_.denivD, f_.CipD, f_.CipvD, f_.ViiD, f_.ViivD, f_.LdiD, f_.DHiD}},
      {"容器侧", {f_.DenoD, f_.denovD, f_.CopD, f_.CopvD, f_.VioD, f_.ViovD, f_.LdoD, f_.DHoD}},
  };
  for (const Side& side : sides)
    for (EditD* e : side.fields) {
      if (!e->Enabled() || Blank(*e)) continue;
      auto v = e->Number();
      if (!v || *v > 0) continue;  // a text that is no number gets GetValue's own message
      f_.Port().ShowMessage(std::string(side.name) + "“" + e->QuantityName() + "”为 " + std::string(Trim(e->Text())) +
                            "，不是有效的物性值：密度、比热、粘度、导热系数和相变热必须大于零"
                            "（物性数据可能超出其适用温度范围），计算未进行。");
      f_.SetFocus(e);
      throw SilentAbort();
    }
}

void Calculation::PrepareRecalculation() {
  Tolerance = Filled(*f_.SetErrD) ? f_.SetErrD->GetValue() : 0.000001;
  geometry_.BTVesselClick(nullptr);
  modes_.RGETypeClick(nullptr);
}

void Calculation::StartPass(int pass) {
  if (pass == 0) {
    ClearStatus(kNotConverged);
    ClearStatus(kAgitationPhaseChange);
  }
  if (pass >= kMaxPasses) NotConverged();
}

void Calculation::SolveFieldGroups() {
  FluidRoles();
  if (Blank(*f_.QLD)) f_.QLD->SetText("0.00");
  CheckBathHeat();
  // The groups are solved in a fixed order, so a heat that the overall balance solves
  // last reaches the tube or vessel group only on a second sweep; sweep until nothing
  // changes (at most three times) so that one exit completes the design.
  for (int sweep = 0; sweep < 3 && SolveBalances(); ++sweep) {
  }
  TubeVelocities();
}

// The required area with its margin, and the time-averaged temperature difference and
// coefficient of a batch.
void Calculation::MeanFigures(VesselType vesselType) {
  CalcStep step("平均温差和平均传热系数", "温度、时间、换热面积");
  if (AllFilled({f_.sfD, f_.AtD}))
    PutResult(*f_.ArD, ResultColor, Tolerance, f_.AtD->GetValue() * (1 + f_.sfD->GetValue() / 100));
  if (vesselType == VesselType::Bath && AllFilled({f_.Tom1D, f_.Tom2D, f_.Ti1D, f_.Ti2D})) {
    // A bath stays at one temperature: the log mean to it is the difference the area has.
    PutResult(*f_.TTaD, ResultColor, Tolerance, std::fabs(BathMeanDifference(BathTemperature())));
  } else if (vesselType != VesselType::TwoStreams && AllFilled({f_.Tom1D, f_.Tom2D, f_.Ti1D, f_.Ti2D})) {
    double tta = std::fabs(f_.Ti1D->GetValue() + f_.Ti2D->GetValue() - f_.Tom1D->GetValue() - f_.Tom2D->GetValue()) / 2;
    PutResult(*f_.TTaD, ResultColor, Tolerance, tta);
  }
  if (vesselType != VesselType::TwoStreams && AllFilled({f_.QiD, f_.ArD, f_.TTaD, f_.TaoD, f_.AtD})) {
    double kta = fp::Div(std::fabs(f_.QiD->GetValue()), f_.AtD->GetValue() * f_.TTaD->GetValue() * f_.TaoD->GetValue());
    PutResult(*f_.KTaD, ResultColor, Tolerance, kta);
  }
}

std::optional<double> Calculation::TubeLengths() {
  CalcStep step("盘管长度", "管外径、管根数");
  if (!AllFilled({f_.dioD, f_.ArD, f_.nD, f_.AtD})) return std::nullopt;
  const double perTube = std::numbers::pi * f_.nD->GetValue() * f_.dioD->GetValue();
  PutResult(*f_.LtD, ResultColor, Tolerance, fp::Div(f_.AtD->GetValue(), perTube));
  const double Lr = fp::Div(f_.ArD->GetValue(), perTube);
  PutResult(*f_.LrD, ResultColor, Tolerance, Lr);
  return Lr;
}

bool Calculation::PassCount(double Lr, std::optional<double>& shapeFactor) {
  CalcStep step("管程数", "盘管直径、管间距、管外径");
  if (!AllFilled({f_.LtD, f_.SlD, f_.DspD, f_.dioD})) return false;
  std::optional<double> m;
  const double Sl = f_.SlD->GetValue(), s = f_.DspD->GetValue(), dout = f_.dioD->GetValue();
  const TubeShape shape = ModeOf<TubeShape>(*f_.TShapeD);
  if (shape == TubeShape::UTube && Filled(*f_.diiD)) {
    shapeFactor = corr::UTubeShapeFactor(dout, Sl, s);
    m = fp::Div(Lr, 2 * Sl + (std::numbers::pi - 2) * s * dout);
  } else if (shape == TubeShape::Helical) {
    shapeFactor = corr::HelicalShapeFactor(dout, Sl, s);
    m = fp::Div(Lr, fp::Sqrt(std::pow(std::numbers::pi * Sl, 2) + std::pow(s * dout, 2)));
  }
  return m && PutResult(*f_.mD, ResultColor, 0.01, *m);
}

// Passes until the area and the pass count no longer change: the field groups, the
// sizing, the mean figures, the lengths and the pass count, then the pressure drop.
// A run that stops half way leaves the values it wrote, but none of them is shown as
// current: every result, written by it or by an earlier run, is marked stale until a run
// completes (a stopped run may have written a value that is not physical).
void Calculation::MaoDExit(Component*) { Recalculate(); }

void Calculation::Recalculate() {
  if (f_.MyStatusBar->PanelText(1).rfind(kInterrupted, 0) == 0) f_.MyStatusBar->SetPanelText(1, "");
  MessageTap tap(f_.Port());
  UiPort& port = f_.Port();
  f_.SetPort(&tap);
  // Checks describe a completed run only: cleared first, so that a run that stops
  // leaves none standing from an earlier design.
  if (!f_.SBAutoRun->Down()) {
    SetChecks({}, lastRun);
    if (f_.MyStatusBar->PanelText(1).rfind(kInfeasible, 0) == 0) f_.MyStatusBar->SetPanelText(1, "");
  }
  Outcome outcome;
  try {
    outcome = RunPasses();
  } catch (const SilentAbort&) {
    f_.SetPort(&port);
    MarkResultsStale(tap.last);
    AfterStoppedRun();
    throw;
  } catch (const std::exception& e) {
    f_.SetPort(&port);
    MarkResultsStale(e.what());
    AfterStoppedRun();
    throw;
  }
  f_.SetPort(&port);
  if (outcome == Outcome::Completed) {
    AfterCompletedRun();
    if (runCompleted) runCompleted();
  } else if (outcome == Outcome::Stopped) {
    MarkResultsStale(tap.last);
    AfterStoppedRun();
  }
}

// The checks and the method check of a completed run, once (not in the passes); the
// method check's warnings join the checks.
void Calculation::AfterCompletedRun() {
  ClearStale();
  SetChecks(WithCrossCheck(WithMoreChecks(CollectDesignChecks(f_, facts))), RunState::Completed);
  SayFeasibility();
}

// The method check of the design the fields hold, its warnings added to `c`.
std::vector<DesignCheck> Calculation::WithCrossCheck(std::vector<DesignCheck> c) {
  if (crossChecking) {
    // A run that changed nothing the method check reads has the same method check.
    const uint64_t inputs = CrossCheckInputs(f_);
    if (inputs != crossCheckInputs_) {
      crossCheckInputs_ = inputs;
      SetCrossCheck(RunCrossCheck(f_, vesselFilm ? vesselFilm() : FilmSource{}));
      crossCheckWarnings_.clear();
      AddCrossCheckWarnings(f_, crossCheck, crossCheckWarnings_);
    }
    c.insert(c.end(), crossCheckWarnings_.begin(), crossCheckWarnings_.end());
  } else {
    crossCheckInputs_.reset();
    SetCrossCheck({});
  }
  return c;
}

// Panel 1 leads with an infeasible design's first reason; a feasible run clears it.
void Calculation::SayFeasibility() {
  for (const DesignCheck& c : checks)
    if (c.level == DesignCheck::Level::Infeasible) {
      f_.MyStatusBar->SetPanelText(1, std::string(kInfeasible) + c.text);
      return;
    }
  if (f_.MyStatusBar->PanelText(1).rfind(kInfeasible, 0) == 0) f_.MyStatusBar->SetPanelText(1, "");
}

// A run that stopped describes no design, but what makes a design infeasible can
// already be seen in what it did compute (a fallback area that is not positive, a
// coil that does not fit): that is said, before the interruption.
void Calculation::AfterStoppedRun() {
  // A method check describes a completed run only.
  crossCheckInputs_.reset();
  SetCrossCheck({});
  std::vector<DesignCheck> infeasible;
  AddFeasibilityChecks(f_, facts, infeasible);
  std::erase_if(infeasible, [](const DesignCheck& c) { return c.level != DesignCheck::Level::Infeasible; });
  SetChecks(std::move(infeasible), RunState::Stopped);
  SayFeasibility();
}

// A computed value carries the colour it was written with: the result colour, or the
// colour of the balance or the vessel geometry that solved it. A field that a mode made
// read-only (the heating time of a bath, its heat) is an input all the same.
bool Calculation::IsResult(const EditD& e) {
  const Color c = e.GetColor();
  return c == ResultColor || c == TubeBalanceColor || c == VesselBalanceColor || c == HeatBalanceColor ||
         c == GeometryColor;
}

void Calculation::MarkResultsStale(const std::string& reason) {
  int marked = 0;
  for (EditD* e : f_.ValueFields())
    if (IsResult(*e) && !Blank(*e)) {
      e->SetStale(true);
      ++marked;
    }
  if (!marked) return;
  // Without a message the run's own status text (e.g. not converged) is the reason.
  std::string why = reason;
  const std::string panel = f_.MyStatusBar->PanelText(1);
  if (why.empty() && panel.rfind(kInterrupted, 0) != 0) why = panel;
  if (why.empty()) why = "缺少输入数据";
  f_.MyStatusBar->SetPanelText(1, std::string(kInterrupted) + why);
}

void Calculation::MarkAllResultsStale(const std::string& reason) { MarkResultsStale(reason); }

void Calculation::ForgetRun() {
  crossCheckInputs_.reset();
  SetCrossCheck({});
  SetChecks({}, RunState::NotRun);
  for (EditD* e : f_.ValueFields()) e->SetStale(false);
}

void Calculation::ChecksFromFields() {
  SetChecks(WithCrossCheck(WithMoreChecks(CollectDesignChecks(f_))), RunState::Completed);
  SayFeasibility();
}

void Calculation::ClearStale() {
  for (EditD* e : f_.ValueFields()) e->SetStale(false);
  if (f_.MyStatusBar->PanelText(1).rfind(kInterrupted, 0) == 0) f_.MyStatusBar->SetPanelText(1, "");
}

bool Calculation::AnyStale() const {
  for (const EditD* e : f_.ValueFields())
    if (e->Stale()) return true;
  return false;
}

std::vector<DesignCheck> Calculation::WithMoreChecks(std::vector<DesignCheck> c) const {
  if (moreChecks) moreChecks(c);
  return c;
}

void Calculation::SetChecks(std::vector<DesignCheck> c, RunState state) {
  if (c == checks && state == lastRun) return;
  checks = std::move(c);
  lastRun = state;
  if (checksChanged) checksChanged();
}

void Calculation::RestoreRun(std::vector<DesignCheck> c, RunState state, CrossCheckResult cross) {
  crossCheckInputs_.reset();  // computed anew by the next completed run
  SetCrossCheck(std::move(cross));
  crossCheckWarnings_.clear();
  SetChecks(std::move(c), state);
}

void Calculation::SetCrossCheck(CrossCheckResult c) {
  if (c == crossCheck) return;
  crossCheck = std::move(c);
  if (crossCheckChanged) crossCheckChanged();
}

Calculation::Outcome Calculation::RunPasses() {
  PrepareRecalculation();
  BusyCursor busy(f_);
  facts = {};
  RefuseNonPhysicalProperties();

  std::optional<double> shapeFactor;  // of the pass count, for the pressure drop
  for (int pass = 0;; ++pass) {
    if (f_.SBAutoRun->Down()) return Outcome::Off;
    StartPass(pass);
    SolveFieldGroups();

    const VesselType vesselType = ModeOf<VesselType>(*f_.RGEType);
    if (AllFilled({f_.Tom1D, f_.Tom2D})) {
      double A = 0;
      if (GetFx(A) < 0) return Outcome::Stopped;
      if (PutResult(*f_.AtD, ResultColor, Tolerance, A)) continue;
    }
    MeanFigures(vesselType);
    std::optional<double> Lr = TubeLengths();
    if (Lr && PassCount(*Lr, shapeFactor)) continue;
    break;
  }
  PressureDrop(shapeFactor);
  return Outcome::Completed;
}

}  // namespace pelmora

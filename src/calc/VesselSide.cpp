// Vessel side of the sizing pass: free convection around the coil, forced flow across
// it (two streams, external circulation) after the flow-mode area update, the agitated
// vessel, condensation and boiling of the vessel fluid, and the vessel-side pressure drop.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "calc/Correlations.h"
#include "calc/SizingState.h"
#include "fields/Errors.h"
#include "fields/FieldOps.h"
#include "fields/FloatCheck.h"
#include "fields/ModeEnums.h"
#include "fields/NumberFormat.h"

namespace pelmora {

namespace corr {

double NaturalGrPr(double beta, double rho, double dout, double mu, double cp, double lambda) {
  return fp::Check(fp::Div(9.81 * beta * rho * rho * dout * dout * dout, mu * mu) * fp::Div(cp * mu, lambda));
}

// The correlations Nu = c.Ra^k solved for h with dT = q/h.
double NaturalCoefficient(double Ra, double C0, double lambda, double dout, double q) {
  const double base = fp::Div(lambda, dout);
  if (Ra < 500) return fp::Pow(1.18 * base * fp::Pow(C0, 1.0 / 8) * fp::Pow(q, 1.0 / 8), 8.0 / 9);
  if (Ra < 2e7) return fp::Pow(0.54 * base * fp::Pow(C0, 0.25) * fp::Pow(q, 0.25), 0.8);
  return fp::Pow(0.135 * base * fp::Pow(C0, 1.0 / 3) * fp::Pow(q, 1.0 / 3), 0.75);
}

Agitator AgitatorConstants(const std::string& item) {
  // Positions as in the item text; without a bar the count starts at the first character.
  const size_t bar = item.find('|');
  const size_t p = bar == std::string::npos ? 0 : bar + 1;
  auto part = [&](size_t from) { return from < item.size() ? item.substr(from, 4) : std::string(); };
  return {StrToFloat(part(p)), StrToFloat(part(p + 5))};
}

AgitatedFilm AgitatedCoefficients(const Agitator& k, double d, double N, double rho, double mu, double cp,
                                  double lambda, double Ds, bool heated) {
  const double phi = heated ? 1.05 : 0.95;
  const double Re = fp::Div(d * d * N * rho, mu);
  const double Pr3 = fp::Pow(fp::Div(cp * mu, lambda), 1.0 / 3);
  const double base = fp::Div(lambda, Ds);
  return {k.coil * base * fp::Pow(Re, 0.62) * Pr3 * phi, k.wall * base * fp::Pow(Re, 2.0 / 3) * Pr3};
}

CoilZone CoilZoneGeometry(double A, double dout, double Sl, double s, double Ds, double Dc) {
  constexpr double pi = std::numbers::pi;
  CoilZone z;
  z.Ltot = fp::Div(A, pi * dout);
  z.Nt = fp::Div(z.Ltot, fp::Sqrt(std::pow(pi * Sl, 2) + std::pow(s * dout, 2)));
  const double height = s * dout * z.Nt;
  z.Vf = pi / 4 * ((Ds * Ds - Dc * Dc) * height - dout * dout * z.Ltot);
  z.de1 = fp::Div(4 * z.Vf, pi * dout * z.Ltot);
  z.de2 = fp::Div(4 * z.Vf, pi * dout * z.Ltot + pi * (Ds + Dc) * height);
  z.S = pi / 4 * (Ds * Ds - Dc * Dc - 4 * dout * Sl);
  return z;
}

double CrossFlowCoefficient(double Re, double Pr, double lambda, double de1) {
  const double base = fp::Div(lambda, de1);
  if (Re < 10000) return 0.6 * base * fp::Pow(Re, 0.5) * fp::Pow(Pr, 0.31);
  return 0.56 * base * fp::Pow(Re, 0.55) * fp::Pow(Pr, 1.0 / 3);
}

double VesselCondensation(double rho, double lambda, double ro, double A, double mu, double dout, double Qi, double m) {
  return 0.65 * fp::Pow(fp::Div(9.807 * rho * rho * lambda * lambda * lambda * ro * A, mu * dout * Qi * m), 1.0 / 3);
}

double BoilingCoefficient(double Pc, double P, double A, double Q) {
  const double pr = fp::Div(P, Pc);
  const double q = fp::Div(Q, A);
  const double c1 = 0.1 * fp::Pow(Pc / 98070, 0.69);
  const double F = 1.8 * fp::Pow(pr, 0.17) + 4 * fp::Pow(pr, 1.2) + 10 * fp::Pow(pr, 10);
  return 1.046 * fp::Pow(fp::Pow(c1 * F, 3.33), 0.3) * fp::Pow(q, 0.7);
}

}  // namespace corr

// Free convection; the loop only settles the regime (Ra from the wall temperature
// difference that the tube-side heat gives).
void Calculation::FreeConvection(Fx& s, double A) {
  CalcStep step("容器侧自然对流传热系数", "容器侧密度、动力粘度、平均比热、导热系数、膨胀系数、管外径、内管热量、时间");
  const double C0 = corr::NaturalGrPr(s.beta, s.rhoO, s.dout, s.muO, s.cpO, s.lambdaO);
  const double q = fp::Div(std::fabs(f_.QiD->GetValue()), A * s.tau);
  double dT = 0.5;
  for (int round = 0;; ++round) {
    if (round >= kMaxRegimeRounds) NotConverged();
    const double dTold = dT;
    const double changeBefore = s.change;
    const double Ra = C0 * std::fabs(dT);
    s.ho = corr::NaturalCoefficient(Ra, C0, s.lambdaO, s.dout, q);
    s.hw = s.ho;
    s.hoNat = s.ho;
    dT = fp::Div(s.W * s.dh, s.ho * A);
    s.change = std::fabs(dTold - dT);
    if (std::fabs(s.change - changeBefore) < 0.0001) break;
  }
}

// Forced flow across the coil, after the area update from the last overall coefficient;
// also the condensing or boiling vessel fluid and the vessel-side pressure drop.
bool Calculation::CrossFlow(Fx& s, double& A) {
  CalcStep step("容器侧强制对流传热系数和壳程压力降",
                "容器侧密度、动力粘度、导热系数、流量、管间距、壳体直径、盘管直径");
  const bool twoStreams = s.vesselType == VesselType::TwoStreams;
  if (!twoStreams && !Filled(*f_.WrD)) return false;
  const double Qi = f_.QiD->GetValue();
  const double Qr = twoStreams ? Qi : fp::Div(Qi, s.tau);
  // Sizing needs this run's mean temperature difference, never an earlier one.
  if (!AllFilled({f_.Tom1D, f_.Tom2D, f_.Ti1D, f_.Ti2D})) return false;
  MeanTempDifference();
  const double K = Blank(*f_.KTaD) ? 10.0 : f_.KTaD->GetValue();
  A = fp::Div(std::fabs(Qr), K * CorrectedMeanDifference);
  s.result = A;

  const double Wf = twoStreams ? f_.MaoD->GetValue() : f_.WrD->GetValue();
  const double sp = f_.DspD->GetValue();
  const double Ds = f_.DsD->GetValue();
  const corr::CoilZone z = corr::CoilZoneGeometry(A, s.dout, s.Sl, sp, Ds, s.Dc);
  const double G = fp::Div(Wf, z.S);
  const double Re = fp::Div(z.de1 * G, s.muO);
  const double Pr = fp::Div(s.cpO * s.muO, s.lambdaO);
  double turns = z.Nt;
  if (s.vesselPhase == Phase::Single || s.vesselPhase == Phase::Condensing) {
    s.ho = corr::CrossFlowCoefficient(Re, Pr, s.lambdaO, z.de1);
    s.hw = s.ho;
  }
  if (s.vesselPhase == Phase::Condensing) {
    turns = Filled(*f_.mD) ? f_.mD->GetValue() : 1.0;
    s.ho = corr::VesselCondensation(s.rhoO, s.lambdaO, f_.DHoD->GetValue(), A, s.muO, s.dout, Qi, turns);
    s.hw = s.ho;
  } else if (s.vesselPhase == Phase::Evaporating) {
    s.ho = corr::BoilingCoefficient(f_.PcD->GetValue(), f_.PoD->GetValue(), A, std::fabs(Qi));
    s.hw = s.ho;
  }
  const double u = fp::Div(fp::Div(Wf, s.rhoO), z.S);
  const double lambdaF = Friction(0, Re, 0, 0);
  const double dpo = u * u * (fp::Div(sp * s.dout * turns, z.de2) * lambdaF + 3) * s.rhoO / 2;
  PutResult(*f_.DpoD, ResultColor, 0.0001, fp::Check(dpo));
  return true;
}

// Agitated vessel: correlations exist for a single-phase vessel fluid only.
void Calculation::Agitated(Fx& s) {
  CalcStep step("搅拌容器传热系数", "浆叶直径、转速、壳体直径、容器侧密度、动力粘度、导热系数");
  if (s.vesselPhase != Phase::Single) {
    Status(kAgitationPhaseChange);
    throw SilentAbort();
  }
  const corr::Agitator k = corr::AgitatorConstants(f_.mitD->Text());
  const auto film = corr::AgitatedCoefficients(k, s.dImp, s.N, s.rhoO, s.muO, s.cpO, s.lambdaO, s.Ds,
                                               f_.HToD->Text() == kHeatAbsorbing);
  s.ho = film.ho;
  s.hw = film.hw;
}

bool Calculation::VesselSide(Fx& s, double& A) {
  s.ho = 0;
  s.hw = 0;
  s.hoNat = 0;
  if (s.convection == Convection::Agitated) {
    Agitated(s);
  } else {
    FreeConvection(s, A);
    if (s.flowMode() && Filled(*f_.DspD) && !CrossFlow(s, A)) return false;
  }
  // With a through stream the free convection adds to the forced coefficient.
  if (s.flowMode() && s.hoNat > 0 && s.vesselPhase == Phase::Single) s.ho = std::max(s.ho, s.hoNat + 0.3 * s.ho);
  PutResult(*f_.koD, ResultColor, Tolerance, fp::Check(s.ho));
  return true;
}

}  // namespace pelmora

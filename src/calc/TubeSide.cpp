// Tube side of the sizing pass: single-phase flow, condensation with the corrections for
// non-condensable gas and superheat, flow boiling, and the shape factor of the coil.
#include <cmath>
#include <numbers>

#include "calc/Balance.h"
#include "calc/Correlations.h"
#include "calc/SizingState.h"
#include "fields/FieldOps.h"
#include "fields/FloatCheck.h"
#include "fields/ModeEnums.h"

namespace pelmora {

namespace corr {

double TubeSinglePhase(double W, double n, double mu, double di, double lambda, double cp, bool heated) {
  const double Re = fp::Div(4 * W, std::numbers::pi * n * mu * di);
  const double Pr = fp::Div(cp * mu, lambda);
  const double base = fp::Div(lambda, di);
  if (mu < 0.003) return 0.023 * base * fp::Pow(Re, 0.8) * fp::Pow(Pr, TubePrandtlExponent(heated));
  return 0.027 * base * fp::Pow(Re, 0.8) * fp::Pow(Pr, 1.0 / 3) * TubeViscosityFactor(heated);
}

double TubeCondensation(double rho, double lambda, double mu, double di, double W, double n, double A) {
  return 1.18 * fp::Pow(fp::Div(9.8 * rho * rho * lambda * lambda * lambda * A, mu * di * fp::Div(W, n)), 1.0 / 3);
}

double NonCondensableFactor(double La) {
  const double x = La / 100;
  if (!(x > 0.000001)) return 1;
  return 0.805 * fp::Exp(-107.7 * fp::Div(x, 1 - x)) + 0.195;
}

double SuperheatFactor(double r, double cpv, double T1, double T2) { return fp::Div(r, r + cpv * (T1 - T2)); }

double EvaporationIntegrand(double t) { return fp::Pow(1 - t, 0.16) * fp::Pow(t, 0.64); }

double TubeEvaporation(double hl, double W, double di, double rho, double rhov, double n, double La) {
  const double x = La / 100;
  const double ul = fp::Div(4 * W, std::numbers::pi * di * di * rho * n);
  const double Fr = fp::Div(ul * ul, 9.807 * di);
  const double I = GaussLegendre8(EvaporationIntegrand, 0, x);
  return 3.9 * fp::Pow(Fr, 0.24) * hl * fp::Pow(fp::Div(rho, rhov), 0.4) * I;
}

double UTubeShapeFactor(double dout, double Sl, double s) {
  return 1 + fp::Div(3.9955742875642763349 * dout, 2 * Sl + 1.1415926535897932385 * s * dout);
}

double HelicalShapeFactor(double dout, double Sl, double s) { return 1 + fp::Div(1.5, s) * 3.5 * fp::Div(dout, Sl); }

double TubeVelocity(double W, double n, double rho, double di) {
  return fp::Div(4 * W, std::numbers::pi * n * rho * di * di);
}

}  // namespace corr

bool Calculation::TubeSide(Fx& s, double A) {
  CalcStep step("管程传热系数", "管程质量流量、管内径、管根数、管程动力粘度、导热系数、平均比热、密度");
  const bool heated = f_.HTiD->Text() == kHeatAbsorbing;
  auto singlePhase = [&](double& h) {
    if (!AllFilled({f_.DeniD, f_.LdiD, f_.ViiD, f_.diiD, f_.WiD, f_.CipD, f_.nD})) return false;
    h = corr::TubeSinglePhase(s.W, f_.nD->GetValue(), f_.ViiD->GetValue(), f_.diiD->GetValue(), f_.LdiD->GetValue(),
                              f_.CipD->GetValue(), heated);
    return true;
  };
  double hi = 0;
  switch (s.tubePhase) {
    case Phase::Single:
      if (!singlePhase(hi)) return false;
      break;
    case Phase::Condensing:
      if (!AllFilled({f_.DeniD, f_.LdiD, f_.ViiD, f_.diiD, f_.nD})) return false;
      hi = corr::TubeCondensation(f_.DeniD->GetValue(), f_.LdiD->GetValue(), f_.ViiD->GetValue(), f_.diiD->GetValue(),
                                  s.W, f_.nD->GetValue(), A);
      hi *= corr::NonCondensableFactor(f_.LaiD->GetValue());
      if (AllFilled({f_.CipvD, f_.DHiD, f_.Ti1D, f_.Ti2D}))
        hi *=
            corr::SuperheatFactor(f_.DHiD->GetValue(), f_.CipvD->GetValue(), f_.Ti1D->GetValue(), f_.Ti2D->GetValue());
      break;
    case Phase::Evaporating: {
      double hl;
      if (!singlePhase(hl)) return false;
      const double rhov = f_.denivD->GetValue();
      const double rho = f_.DeniD->GetValue();
      const double La = f_.LaiD->GetValue();
      hi = corr::TubeEvaporation(hl, s.W, f_.diiD->GetValue(), rho, rhov, f_.nD->GetValue(), La);
      break;
    }
    default: return false;  // no tube-side phase chosen
  }
  // The shape factor applies to single-phase flow only.
  if (s.tubePhase == Phase::Single) {
    const TubeShape shape = ModeOf<TubeShape>(*f_.TShapeD);
    if (shape == TubeShape::UTube && AllFilled({f_.DspD, f_.dioD, f_.diiD, f_.SlD}))
      hi *= corr::UTubeShapeFactor(f_.dioD->GetValue(), f_.SlD->GetValue(), f_.DspD->GetValue());
    else if (shape == TubeShape::Helical && AllFilled({f_.DspD, f_.dioD, f_.SlD}))
      hi *= corr::HelicalShapeFactor(f_.dioD->GetValue(), f_.SlD->GetValue(), f_.DspD->GetValue());
  }
  s.hi = fp::Check(hi);
  PutResult(*f_.kiD, ResultColor, Tolerance, s.hi);
  return true;
}

}  // namespace pelmora

// Heat loss of the vessel through its wall and insulation to the air or the ground:
// coefficient, insulation surface temperature, loss rate, and the coefficient and tube
// flow that hold a storage tank at its target temperature.
#include <cmath>

#include "calc/Correlations.h"
#include "calc/SizingState.h"
#include "fields/FieldOps.h"
#include "fields/FloatCheck.h"
#include "fields/ModeEnums.h"

namespace pelmora {

namespace corr {

// (dT - theta)/Rw = (9.8 + 0.07 theta) theta solved for theta; written without the
// cancellation of sqrt(a^2 + 0.28 Rw dT) - a.
AirFilm AirFilmAt(double Rw, double dT) {
  const double a = 9.8 * Rw + 1;
  const double root = fp::Sqrt(a * a + 0.28 * Rw * dT);
  const double theta = fp::Div(2 * dT, root + a);
  return {theta, 9.8 + 0.07 * theta};
}

}  // namespace corr

bool Calculation::HeatLoss(Fx& s) {
  CalcStep step("环境热损", "保温层厚、容器壁厚、散热面积、环境温度、管外污垢");
  s.Ke = s.Ae = s.Te = 0;
  if (!AllFilled({f_.Tom1D, f_.Tom2D, f_.AeD, f_.StD, f_.BpD, f_.TeD, f_.Ti1D, f_.Ti2D})) return true;
  const HeatLossTo medium = ModeOf<HeatLossTo>(*f_.EVTD);
  if (medium != HeatLossTo::Air && medium != HeatLossTo::Ground) return true;
  const double lambdaWall = f_.SmD->NumberAfterBar(1000);
  const double lambdaInsulation = f_.PmD->NumberAfterBar(1000);
  const double T1 = f_.Tom1D->GetValue(), T2 = f_.Tom2D->GetValue();
  const double Ae = f_.AeD->GetValue(), Te = f_.TeD->GetValue();
  const double Rw = fp::Div(f_.StD->GetValue(), lambdaWall) + fp::Div(f_.BpD->GetValue(), lambdaInsulation) +
                    fp::Div(1, s.hw) + f_.RoD->GetValue();

  // Tube flow that holds the target temperature against the loss.
  auto maintainingFlow = [&](double Kc, double& Wc) {
    const double loss = Kc * Ae * (T2 - Te);
    if (s.tubePhase == Phase::Single) {
      if (!Filled(*f_.CipD)) return false;
      Wc = fp::Div(loss, (f_.Ti1D->GetValue() - f_.Ti2D->GetValue()) * f_.CipD->GetValue());
    } else {
      Wc = fp::Div(loss, s.dh);
    }
    return true;
  };

  double Ke, Wc;
  if (medium == HeatLossTo::Air) {
    const corr::AirFilm mean = corr::AirFilmAt(Rw, (T1 + T2) / 2 - Te);
    Ke = fp::Div(1, fp::Div(1, mean.he) + Rw);
    PutResult(*f_.TwaD, ResultColor, Tolerance, Te + mean.theta);
    const corr::AirFilm target = corr::AirFilmAt(Rw, T2 - Te);
    const double Kc = fp::Div(1, fp::Div(1, target.he) + Rw);
    PutResult(*f_.KcD, ResultColor, Tolerance, Kc);
    if (!maintainingFlow(Kc, Wc)) return false;
    PutResult(*f_.WcD, ResultColor, Tolerance, Wc > 0 ? Wc : 0.0);
  } else {
    Ke = fp::Div(1, Rw);
    PutResult(*f_.KcD, ResultColor, Tolerance, Ke);
    if (!maintainingFlow(Ke, Wc)) return false;
    PutResult(*f_.WcD, ResultColor, Tolerance, Wc);
    f_.TwaD->SetText("");
  }
  PutResult(*f_.KeD, ResultColor, Tolerance, Ke);
  PutResult(*f_.QLD, ResultColor, Tolerance, Ke * Ae * ((T1 + T2) / 2 - Te));
  s.Ke = Ke;
  s.Ae = Ae;
  s.Te = Te;
  return true;
}

}  // namespace pelmora

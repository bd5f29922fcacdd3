// The sizing pass GetFx: starting area, the area loop over the film coefficients, the
// overall coefficient and the batch area update; the mean temperature difference with
// its correction factor; the coil-height check.
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
#include "fields/UiPort.h"

namespace pelmora {

namespace corr {

double OverallCoefficient(double ho, double Ro, double dout, double di, double lambdaWall, double hi, double Ri) {
  const double R = (fp::Div(1, ho) + Ro) + fp::Div((dout - di) * dout, lambdaWall * (dout + di)) +
                   (fp::Div(1, hi) + Ri) * fp::Div(dout, di);
  return fp::Div(1, R);
}

std::optional<double> BatchArea(double K, double A, double Tmi, double Ke, double Ae, double Te, double T1, double T2,
                                double M, double cp, double tau) {
  const double B = K * A * Tmi + Ke * Ae * Te;
  const double C = K * A + Ke * Ae;
  const double num = B - C * T1;
  const double den = B - C * T2;
  if (den == 0 || tau * K == 0) return std::nullopt;
  const double ratio = num / den;
  if (!(ratio > 0) || !std::isfinite(ratio)) return std::nullopt;
  const double a = std::log(ratio) * M * cp / (tau * K) - Ae * Ke / K;
  if (!std::isfinite(a)) return std::nullopt;
  return a;
}

double SteadyStateArea(double K, double Tmi, double Ke, double Ae, double Te, double T1, double T2, double M, double cp,
                       double tau) {
  return SteadyStateAreaForHeat(K, Tmi, Ke, Ae, Te, T1, T2, fp::Div(M * cp * (T2 - T1), tau));
}

double SteadyStateAreaForHeat(double K, double Tmi, double Ke, double Ae, double Te, double T1, double T2,
                              double heatRate) {
  const double Tmo = (T1 + T2) / 2;
  const double q = heatRate + Ae * Ke * (Tmo - Te);
  return fp::Div(fp::Div(q, K), Tmi - Tmo);
}

double LogMean(double d1, double d2) {
  if (d1 == d2) return d1;
  // Closer than rounding can separate: the log mean is the arithmetic mean.
  if (std::fabs(d1 - d2) <= 1e-9 * std::max(std::fabs(d1), std::fabs(d2))) return (d1 + d2) / 2;
  return fp::Div(d1 - d2, fp::Ln(fp::Div(d1, d2)));
}

double CorrectionFactor(double Tt2, double Tt1, double Tv2, double Tv1) {
  if ((Tt2 - Tt1) * (Tv1 - Tt1) < 1e-8) return 1;
  const double N = 1;
  const double R = fp::Div(Tv1 - Tv2, Tt2 - Tt1);
  const double P = fp::Div(Tt2 - Tt1, Tv1 - Tt1);
  double F;
  if (std::fabs(R - 1) < 1e-8) {
    const double Px = fp::Div(P, N - N * P + P);
    const double inv = fp::Div(2, Px);
    F = fp::Div(fp::Div(1.414214 * Px, 1 - Px), fp::Ln(fp::Div(inv - 0.58578, inv - 3.41421)));
  } else {
    const double X = fp::Pow(fp::Div(1 - R * P, 1 - P), 1 / N);
    const double Px = fp::Div(1 - X, R - X);
    const double root = std::sqrt(R * R + 1);
    const double inv = fp::Div(2, Px);
    F = fp::Div(root, R - 1) * fp::Ln(fp::Div(1 - Px, 1 - R * Px)) /
        fp::Ln(fp::Div(inv - 1 - R + root, inv - 1 - R - root));
  }
  return fp::Check(F);
}

}  // namespace corr

double Calculation::CounterFlowLmtd(double vesselIn, double vesselOut, double tubeIn, double tubeOut) {
  const double d1 = vesselOut - tubeIn;
  const double d2 = vesselIn - tubeOut;
  if (d1 * d2 <= 0) {
    Status(kTempCross);
    throw SilentAbort();
  }
  ClearStatus(kTempCross);
  return std::fabs(corr::LogMean(d1, d2));
}

double Calculation::CorrectionFactorF(double tubeOut, double tubeIn, double vesselOut, double vesselIn) {
  try {
    double F = corr::CorrectionFactor(tubeOut, tubeIn, vesselOut, vesselIn);
    ClearStatus(kLowF);
    return F;
  } catch (const FloatingPointError&) {
    Status(kLowF);
    facts.correctionUndefined = true;
    facts.correctionR = tubeOut != tubeIn ? (vesselIn - vesselOut) / (tubeOut - tubeIn) : 0;
    facts.correctionP = vesselIn != tubeIn ? (tubeOut - tubeIn) / (vesselIn - tubeIn) : 0;
    return 0.5;
  }
}

// The bath temperature: the field of the bath, else the middle of its band.
double Calculation::BathTemperature() {
  if (Filled(*f_.FixTempD)) return f_.FixTempD->GetValue();
  return (f_.Tom1D->GetValue() + f_.Tom2D->GetValue()) / 2;
}

// The mean difference between the coil stream (t1 -> t2) and a bath at one temperature:
// the log mean of the two end differences (signed: negative for a coil that cools the
// bath). A stream that ends on the other side of the bath temperature is a temperature
// cross, as in the counterflow LMTD.
double Calculation::BathMeanDifference(double bath) {
  const double d1 = f_.Ti1D->GetValue() - bath, d2 = f_.Ti2D->GetValue() - bath;
  if (d1 * d2 <= 0) {
    Status(kTempCross);
    throw SilentAbort();
  }
  ClearStatus(kTempCross);
  return corr::LogMean(d1, d2);
}

// Area of a constant-temperature bath from its heat rate and the log-mean difference to
// the bath, A = (Qo + Ae.Ke.(Tb - Te)) / (K.dT); a rate whose sign does not fit the
// direction of heat flow (the coil hotter than the bath takes up heat) can size
// nothing and stops the run with a message.
double Calculation::BathArea(const Fx& s, double heat) {
  const double bath = BathTemperature();
  const double dT = BathMeanDifference(bath);
  const double A = fp::Div(fp::Div(heat + s.Ae * s.Ke * (bath - s.Te), s.K), dT);
  if (!(A > 0)) {
    f_.Port().MessageBox(kBathHeatSign, "", MsgType::Warning, Buttons::Ok, Answer::Ok);
    throw SilentAbort();
  }
  return A;
}

namespace {
// Fixed notation with 4 decimals and at most 7 significant digits.
std::string FixedRatio(double x) {
  double mag = std::fabs(x);
  int intDigits = mag >= 1 ? static_cast<int>(std::floor(std::log10(mag))) + 1 : 0;
  if (intDigits > 7) return Format7(x);
  return FormatFixed(x, std::min(4, 7 - intDigits));
}
}  // namespace

void Calculation::MeanTempDifference() {
  CalcStep step("对数平均温差", "初始温度、目标温度、入口温度、出口温度");
  if (!AllFilled({f_.Tom1D, f_.Tom2D, f_.Ti1D, f_.Ti2D})) return;
  const double T1 = f_.Tom1D->GetValue(), T2 = f_.Tom2D->GetValue();
  const double t1 = f_.Ti1D->GetValue(), t2 = f_.Ti2D->GetValue();
  // A side that changes phase is isothermal at its outlet temperature.
  const double vesselIn = ChangesPhase(ModeOf<Phase>(*f_.PhoD)) ? T2 : T1;
  const double tubeIn = ChangesPhase(ModeOf<Phase>(*f_.PhiD)) ? t2 : t1;
  const double lmtd = CounterFlowLmtd(vesselIn, T2, tubeIn, t2);
  const double F = CorrectionFactorF(t2, tubeIn, T2, vesselIn);
  f_.CdtD->SetText(FixedRatio(F));
  CorrectedMeanDifference = std::fabs(F * lmtd);
  PutResult(*f_.CdtD, ResultColor, 0.0001, F);
  PutResult(*f_.TTaD, ResultColor, 0.001, CorrectedMeanDifference);
}

bool Calculation::Overall(Fx& s) {
  CalcStep step("总传热系数", "管外径、管内径、管内污垢、管外污垢、管材");
  if (!AllFilled({f_.RoD, f_.RiD, f_.diiD})) return false;
  const double lambdaWall = f_.TmD->NumberAfterBar(1000);
  s.K = corr::OverallCoefficient(s.ho, f_.RoD->GetValue(), s.dout, f_.diiD->GetValue(), lambdaWall, s.hi,
                                 f_.RiD->GetValue());
  if (s.flowMode()) PutResult(*f_.KTaD, ResultColor, Tolerance, s.K);
  return true;
}

// Coil height from the pass count, checked against the vessel height (the diameter of
// a vessel without a height field). The check only reports.
void Calculation::CoilHeight() {
  CalcStep step("盘管高度", "管外径、管间距");
  if (!AllFilled({f_.mD, f_.dioD, f_.DspD})) return;
  const double dout = f_.dioD->GetValue();
  const double H = dout + (f_.mD->GetValue() - 1) * f_.DspD->GetValue() * dout;
  EditD* height = f_.HsD->Enabled() ? f_.HsD : f_.DsD;
  if (Blank(*height)) {
    ClearStatus(kCoilTooHigh);
  } else if (H + dout > height->GetValue()) {
    Status(kCoilTooHigh);
  } else {
    ClearStatus(kCoilTooHigh);
  }
  PutResult(*f_.pHD, ResultColor, Tolerance, H);
}

// The modes and the inputs one sizing pass reads; false when one is missing.
bool Calculation::ReadSizingInputs(Fx& s) {
  s.vesselType = ModeOf<VesselType>(*f_.RGEType);
  s.convection = ModeOf<Convection>(*f_.RGFType);
  s.vesselPhase = ModeOf<Phase>(*f_.PhoD);
  s.tubePhase = ModeOf<Phase>(*f_.PhiD);

  if (!AllFilled({f_.DenoD, f_.dioD, f_.VioD, f_.CopD, f_.LdoD, f_.WiD, f_.TaoD})) return false;
  if (s.tubePhase == Phase::Condensing && !Filled(*f_.DHiD)) return false;
  if (s.convection != Convection::Agitated && !AllFilled({f_.BtoD, f_.SlD})) return false;
  if (s.convection == Convection::Agitated && !AllFilled({f_.DsD, f_.midD, f_.rvD})) return false;
  s.rhoO = f_.DenoD->GetValue();
  s.dout = f_.dioD->GetValue();
  s.muO = f_.VioD->GetValue();
  s.cpO = f_.CopD->GetValue();
  s.lambdaO = f_.LdoD->GetValue();
  s.W = f_.WiD->GetValue();
  s.tau = f_.TaoD->GetValue();
  if (s.convection != Convection::Agitated) {
    s.beta = f_.BtoD->GetValue();
    s.Sl = f_.SlD->GetValue();
    s.Dc = f_.DcD->GetValue();
  } else {
    s.Ds = f_.DsD->GetValue();
    s.dImp = f_.midD->GetValue();
    s.N = f_.rvD->GetValue();
  }

  if (s.tubePhase == Phase::Single) {
    if (AllFilled({f_.CipD, f_.Ti1D, f_.Ti2D}))
      s.dh = (f_.Ti1D->GetValue() - f_.Ti2D->GetValue()) * f_.CipD->GetValue();
  } else if (s.tubePhase == Phase::Condensing || s.tubePhase == Phase::Evaporating) {
    if (Filled(*f_.DHiD)) s.dh = f_.DHiD->GetValue();
  }
  return true;
}

// Starting area: the previous result, else an estimate with K0 = 400 W/(m2.K).
double Calculation::StartingArea() {
  CalcStep step("初始换热面积", "质量、平均比热、温度、时间");
  double A = 1;
  if (Filled(*f_.AtD)) {
    A = f_.AtD->GetValue();
  } else if (ModeOf<VesselType>(*f_.RGEType) == VesselType::Bath) {
    A = 1;  // a bath's heat rate is read, and checked, by the area update
  } else if (AllFilled({f_.Tom2D, f_.Tom1D, f_.MaoD, f_.CopD, f_.TaoD, f_.AeD, f_.KeD, f_.TeD, f_.Ti1D, f_.Ti2D})) {
    const double T1 = f_.Tom1D->GetValue(), T2 = f_.Tom2D->GetValue();
    const double Tmi = (f_.Ti1D->GetValue() + f_.Ti2D->GetValue()) / 2, Tmo = (T1 + T2) / 2;
    const double Q0 = fp::Div(f_.MaoD->GetValue() * f_.CopD->GetValue() * (T2 - T1), f_.TaoD->GetValue()) +
                      f_.AeD->GetValue() * f_.KeD->GetValue() * (Tmo - f_.TeD->GetValue());
    A = fp::Div(Q0, 400 * (Tmi - Tmo));
  }
  return std::max(0.0001, A);
}

// The film coefficients of both sides, the overall coefficient and the heat loss at area A.
bool Calculation::Coefficients(Fx& s, double& A) {
  return VesselSide(s, A) && TubeSide(s, A) && Overall(s) && HeatLoss(s);
}

// The area that heats the batch in the given time with the coefficients at A.
Calculation::BatchStep Calculation::NextBatchArea(Fx& s, double& A) {
  CalcStep step("换热面积", "质量、平均比热、温度、时间、容器热量");
  if (s.vesselType == VesselType::Bath) {
    // A constant-temperature bath: the mass field is not used; the heat rate the bath
    // takes up is an input and the area comes from the steady-state balance.
    if (!AllFilled({f_.Ti1D, f_.Ti2D, f_.Tom1D, f_.Tom2D})) return BatchStep::Missing;
    A = BathArea(s, f_.QoD->GetValue());  // an empty rate stops the run with its warning
    return BatchStep::Next;
  }
  if (!AllFilled({f_.Ti1D, f_.Ti2D, f_.Tom1D, f_.Tom2D, f_.MaoD, f_.TaoD})) return BatchStep::Missing;
  const double t1 = f_.Ti1D->GetValue(), t2 = f_.Ti2D->GetValue();
  const double T1 = f_.Tom1D->GetValue(), T2 = f_.Tom2D->GetValue();
  const double M = f_.MaoD->GetValue(), tau = f_.TaoD->GetValue();
  const double Tmi = (t1 + t2) / 2;
  auto next = corr::BatchArea(s.K, A, Tmi, s.Ke, s.Ae, s.Te, T1, T2, M, s.cpO, tau);
  if (!next || *next <= 0) {
    A = corr::SteadyStateArea(s.K, Tmi, s.Ke, s.Ae, s.Te, T1, T2, M, s.cpO, tau);
    s.result = A;
    facts.steadyStateFallback = true;
    return BatchStep::SteadyState;
  }
  A = *next;
  return BatchStep::Next;
}

double Calculation::GetFx(double& A) {
  CalcStep step("换热面积", "质量、平均比热、温度、时间");
  Fx s;
  facts = {};  // of this pass: the last call of a run is the one its checks describe
  if (!ReadSizingInputs(s)) return s.result;
  A = StartingArea();

  const bool batch = s.vesselType != VesselType::TwoStreams && s.convection != Convection::ExternalLoop;
  for (int iteration = 0;; ++iteration) {
    if (iteration >= kMaxAreaIterations) NotConverged();
    const double previous = A;
    if (!Coefficients(s, A)) return s.result;
    if (batch) {
      BatchStep step = NextBatchArea(s, A);
      if (step == BatchStep::Missing) return s.result;
      if (step == BatchStep::SteadyState) break;
    }
    if (std::fabs(fp::Div(A - previous, A)) < 0.01) break;
  }
  s.result = A;
  CoilHeight();
  return s.result;
}

}  // namespace pelmora

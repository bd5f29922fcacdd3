// Independent methods of the method check. Sources:
//  - Gnielinski's correlation with Petukhov's friction factor: Incropera & DeWitt,
//    Fundamentals of Heat and Mass Transfer, 6th ed., eq. 8.62 (0.5 <= Pr <= 2000,
//    3000 <= Re <= 5e6) with eq. 8.21 for f.
//  - Laminar flow: same book, eq. 8.55 (Nu = 3.66, fully developed, uniform surface
//    temperature) and eq. 8.57 (Hausen, thermal entry length, Gz = (D/L) Re Pr).
//  - Helically coiled tubes: VDI Heat Atlas, 2nd ed. (2010), chapter G3 (V. Gnielinski,
//    "Heat Transfer in Helically Coiled Tubes"): mean curvature diameter, critical
//    Reynolds number, laminar and turbulent Nusselt numbers and the linear blend between
//    Re_crit and 2.2e4; the wall-viscosity factor (Pr/Pr_w)^0.14 is taken as 1 because the
//    wall temperature is not an input.
//  - Condensation inside tubes: M. M. Shah, Int. J. Heat Mass Transfer 22 (1979) 547-556,
//    mean coefficient over complete condensation hLO (0.55 + 2.09 / pr^0.38), data range
//    0.002 <= pr <= 0.44, vapour velocity 3-300 m/s, all-liquid Re >= 350; Nusselt's film
//    theory for stratified flow in a horizontal tube with Chato's constant 0.555,
//    vapour Reynolds number below 35 000 (Incropera & DeWitt, 6th ed., eq. 10.41); on
//    the outside of a horizontal tube 0.729, a tier of N tubes N^-1/4 (eqs. 10.46, 10.47).
//  - Saturated water: IAPWS, Revised Supplementary Release on Saturation Properties of
//    Ordinary Water Substance (1992): vapour pressure (Wagner & Pruss), saturated liquid
//    and vapour densities; the latent heat by the Clapeyron equation r = T (v'' - v') dp/dT.
//    Specific heat of the saturated liquid by pressure: Kutz (ed.), Mechanical
//    Engineers' Handbook, 3rd ed., Vol. 4, Table 18 (saturated water), 1-70 bar.
//  - Free convection on a horizontal cylinder: Churchill & Chu, Incropera & DeWitt,
//    6th ed., eq. 9.34 (Ra <= 1e12). Cylinder in cross flow: Churchill & Bernstein,
//    eq. 7.54 (Re Pr >= 0.2). Mixed convection Nu^3 = NuF^3 + NuN^3, eq. 9.64 (n = 3).
//  - Agitated vessel, helical coil, flat-blade turbine: J. Y. Oldshue & A. T. Gretton,
//    Chem. Eng. Prog. 50 (1954) 615, as tabulated in Perry's Chemical Engineers'
//    Handbook (agitated vessels, coils).
//  - Nucleate pool boiling: Mostinski as in Sinnott, Coulson & Richardson's Chemical
//    Engineering Vol. 6, 4th ed., section 12.11.1 (Pc in bar); M. G. Cooper, Advances in
//    Heat Transfer 16 (1984) 157-239, reduced-pressure form with Rp = 1 um, data from
//    pr = 0.001 to 0.9.
//  - Batch heating of a tank: D. Q. Kern, Process Heat Transfer (1950), chapter 18, coil
//    in tank with a non-isothermal heating medium and with an isothermal one (no heat
//    loss in either).
//  - Return bends: Crane Co., Flow of Fluids through Valves, Fittings and Pipe,
//    Technical Paper No. 410, appendix A (K of 90-degree pipe bends as multiples of the
//    fully turbulent friction factor fT, K_B = (n - 1)(0.25 pi fT r/d + 0.5 K1) + K1 for
//    n 90-degree bends in one).
#include "calc/CrossCheckMethods.h"

#include <array>
#include <cmath>
#include <numbers>
#include <utility>

#include "fields/FloatCheck.h"

namespace pelmora::xcheck {

namespace {
constexpr double kG = 9.81;
}

double PetukhovFriction(double Re) { return fp::Div(1, fp::Pow(0.790 * fp::Ln(Re) - 1.64, 2)); }

double GnielinskiNu(double Re, double Pr) {
  const double f8 = PetukhovFriction(Re) / 8;
  return fp::Div(f8 * (Re - 1000) * Pr, 1 + 12.7 * fp::Sqrt(f8) * (fp::Pow(Pr, 2.0 / 3) - 1));
}

double HausenNu(double Re, double Pr, double D, double L) {
  const double Gz = fp::Div(D, L) * Re * Pr;
  return kLaminarNu + fp::Div(0.0668 * Gz, 1 + 0.04 * fp::Pow(Gz, 2.0 / 3));
}

double CoilCurvatureDiameter(double Dw, double pitch) {
  return Dw * (1 + fp::Pow(fp::Div(pitch, std::numbers::pi * Dw), 2));
}

double CoilCriticalRe(double d, double D) { return 2300 * (1 + 8.6 * fp::Pow(fp::Div(d, D), 0.45)); }

double CoilLaminarNu(double Re, double Pr, double d, double D) {
  const double ratio = fp::Div(d, D);
  const double m = 0.5 + 0.2903 * fp::Pow(ratio, 0.194);
  return kLaminarNu + 0.08 * (1 + 0.8 * fp::Pow(ratio, 0.9)) * fp::Pow(Re, m) * fp::Pow(Pr, 1.0 / 3);
}

double CoilTurbulentNu(double Re, double Pr, double d, double D) {
  const double xi = 0.3164 * fp::Pow(Re, -0.25) + 0.03 * fp::Sqrt(fp::Div(d, D));
  const double x8 = xi / 8;
  return fp::Div(x8 * Re * Pr, 1 + 12.7 * fp::Sqrt(x8) * (fp::Pow(Pr, 2.0 / 3) - 1));
}

CoilFilm CoilNu(double Re, double Pr, double d, double D) {
  const double crit = CoilCriticalRe(d, D);
  if (Re < crit) return {CoilLaminarNu(Re, Pr, d, D), crit, CoilRegime::Laminar};
  if (Re >= kCoilTurbulentRe) return {CoilTurbulentNu(Re, Pr, d, D), crit, CoilRegime::Turbulent};
  // Between the two, the laminar value at Re_crit and the turbulent value at 2.2e4 are
  // weighted by the distance of Re from either end.
  const double gamma = (kCoilTurbulentRe - Re) / (kCoilTurbulentRe - crit);
  const double Nu = gamma * CoilLaminarNu(crit, Pr, d, D) + (1 - gamma) * CoilTurbulentNu(kCoilTurbulentRe, Pr, d, D);
  return {Nu, crit, CoilRegime::Transition};
}

double ShahLiquidOnly(double G, double D, double muL, double cpL, double kL) {
  const double Re = fp::Div(G * D, muL);
  const double Pr = fp::Div(cpL * muL, kL);
  return 0.023 * fp::Pow(Re, 0.8) * fp::Pow(Pr, 0.4) * fp::Div(kL, D);
}

double ShahMeanFactor(double pr) { return 0.55 + fp::Div(2.09, fp::Pow(pr, 0.38)); }

double FilmCondensationAtFlux(double C, double rhoL, double rhoV, double kL, double muL, double r, double D, double q) {
  const double X = fp::Div(kG * rhoL * (rhoL - rhoV) * kL * kL * kL * r, muL * D);
  return fp::Pow(C, 4.0 / 3) * fp::Pow(X, 1.0 / 3) * fp::Pow(q, -1.0 / 3);
}

// ---- saturated water -----------------------------------------------------------------
namespace {
constexpr double kWaterRhoC = 322;
constexpr std::array<std::pair<double, double>, 6> kPressureTerms = {
    {{-7.85951783, 1}, {1.84408259, 1.5}, {-11.7866497, 3}, {22.6807411, 3.5}, {-15.9618719, 4}, {1.80122502, 7.5}}};
constexpr std::array<std::pair<double, double>, 6> kLiquidTerms = {{{1.99274064, 1.0 / 3},
                                                                    {1.09965342, 2.0 / 3},
                                                                    {-0.510839303, 5.0 / 3},
                                                                    {-1.75493479, 16.0 / 3},
                                                                    {-45.5170352, 43.0 / 3},
                                                                    {-6.74694450e5, 110.0 / 3}}};
constexpr std::array<std::pair<double, double>, 6> kVapourTerms = {{{-2.03150240, 2.0 / 6},
                                                                    {-2.68302940, 4.0 / 6},
                                                                    {-5.38626492, 8.0 / 6},
                                                                    {-17.2991605, 18.0 / 6},
                                                                    {-44.7586581, 37.0 / 6},
                                                                    {-63.9201063, 71.0 / 6}}};

double Tau(double T) {
  const double tau = 1 - fp::Div(T, kWaterTc);
  if (!(tau > 0)) throw FpError(FpFault::NegativeRoot);
  return tau;
}
}  // namespace

double WaterSaturationPressure(double T) {
  const double tau = Tau(T);
  double sum = 0;
  for (auto [a, e] : kPressureTerms) sum += a * std::pow(tau, e);
  return kWaterPc * fp::Exp(fp::Div(kWaterTc, T) * sum);
}

double WaterSaturatedLiquidDensity(double T) {
  const double tau = Tau(T);
  double sum = 1;
  for (auto [b, e] : kLiquidTerms) sum += b * std::pow(tau, e);
  return kWaterRhoC * sum;
}

double WaterSaturatedVapourDensity(double T) {
  const double tau = Tau(T);
  double sum = 0;
  for (auto [c, e] : kVapourTerms) sum += c * std::pow(tau, e);
  return kWaterRhoC * fp::Exp(sum);
}

double WaterLatentHeat(double T) {
  // d(ln p)/dT of the vapour-pressure equation, ln(p/pc) = (Tc/T) S(tau).
  const double tau = Tau(T);
  double S = 0, dS = 0;
  for (auto [a, e] : kPressureTerms) {
    S += a * std::pow(tau, e);
    dS += a * e * std::pow(tau, e - 1);
  }
  const double dlnp = -kWaterTc / (T * T) * S - dS / T;
  const double dpdT = WaterSaturationPressure(T) * dlnp;
  return T * (fp::Div(1, WaterSaturatedVapourDensity(T)) - fp::Div(1, WaterSaturatedLiquidDensity(T))) * dpdT;
}

std::optional<double> WaterLiquidCp(double p) {
  // bar, kJ/(kg.K)
  static constexpr std::array<std::pair<double, double>, 23> kTable = {{
      {1.0, 4.222}, {1.5, 4.231}, {2.0, 4.245}, {2.5, 4.258}, {3.0, 4.271}, {3.5, 4.282}, {4.0, 4.294}, {4.5, 4.305},
      {5, 4.315},   {6, 4.335},   {7, 4.354},   {8, 4.372},   {9, 4.390},   {10, 4.407},  {12, 4.440},  {14, 4.472},
      {16, 4.504},  {18, 4.534},  {20, 4.564},  {25, 4.640},  {30, 4.716},  {40, 4.870},  {50, 5.034},
  }};
  static constexpr std::array<std::pair<double, double>, 2> kHigh = {{{60, 5.211}, {70, 5.405}}};
  const double bar = p / 1e5;
  if (!(bar >= kTable.front().first) || bar > kHigh.back().first) return std::nullopt;
  auto lerp = [](std::pair<double, double> a, std::pair<double, double> b, double x) {
    return a.second + (b.second - a.second) * (x - a.first) / (b.first - a.first);
  };
  std::pair<double, double> prev = kTable.front();
  for (size_t i = 1; i < kTable.size() + kHigh.size(); ++i) {
    const auto row = i < kTable.size() ? kTable[i] : kHigh[i - kTable.size()];
    if (bar <= row.first) return lerp(prev, row, bar) * 1000;
    prev = row;
  }
  return std::nullopt;
}

// ---- vessel side -------------------------------------------------------------------
double ChurchillChuFactor(double Pr) {
  return fp::Div(0.387, fp::Pow(1 + fp::Pow(fp::Div(0.559, Pr), 9.0 / 16), 8.0 / 27));
}

double ChurchillChuNuWith(double Ra, double factor) {
  if (Ra < 0) throw FpError(FpFault::NegativeRoot);
  const double n = 0.60 + factor * std::cbrt(std::sqrt(Ra));  // Ra^(1/6)
  return fp::Check(n * n);
}

double ChurchillChuNu(double Ra, double Pr) { return ChurchillChuNuWith(Ra, ChurchillChuFactor(Pr)); }

double ChurchillBernsteinNu(double Re, double Pr) {
  const double prTerm = fp::Pow(1 + fp::Pow(fp::Div(0.4, Pr), 2.0 / 3), 0.25);
  const double reTerm = fp::Pow(1 + fp::Pow(Re / 282000, 5.0 / 8), 4.0 / 5);
  return 0.3 + fp::Div(0.62 * fp::Sqrt(Re) * fp::Pow(Pr, 1.0 / 3), prTerm) * reTerm;
}

double MixedNu(double forced, double natural) {
  return fp::Check(std::cbrt(forced * forced * forced + natural * natural * natural));
}

std::optional<double> CoefficientAtFlux(const std::function<double(double)>& h, double q) {
  if (!(q > 0)) return std::nullopt;
  // g(dT) = h(dT).dT - q grows with dT for every free-convection law (h rises with dT).
  double lo = std::log(1e-6), hi = std::log(1e4);
  auto g = [&](double logDt) {
    const double dT = std::exp(logDt);
    return h(dT) * dT - q;
  };
  if (g(lo) > 0 || g(hi) < 0) return std::nullopt;
  for (int i = 0; i < 200 && hi - lo > 1e-12; ++i) {
    const double mid = (lo + hi) / 2;
    (g(mid) > 0 ? hi : lo) = mid;
  }
  return h(std::exp((lo + hi) / 2));
}

double OldshueGrettonNu(double Re, double Pr, double impeller, double tank, double dout) {
  return 0.17 * fp::Pow(Re, 0.67) * fp::Pow(Pr, 0.37) * fp::Pow(fp::Div(impeller, tank), 0.1) *
         fp::Sqrt(fp::Div(dout, tank));
}

double MostinskiH(double PcBar, double pr, double q) {
  return 0.104 * fp::Pow(PcBar, 0.69) * fp::Pow(q, 0.7) *
         (1.8 * fp::Pow(pr, 0.17) + 4 * fp::Pow(pr, 1.2) + 10 * fp::Pow(pr, 10));
}

double CooperH(double pr, double M, double q) {
  return 55 * fp::Pow(pr, 0.12) * fp::Pow(-std::log10(pr), -0.55) * fp::Pow(M, -0.5) * fp::Pow(q, 0.67);
}

// ---- area models -------------------------------------------------------------------
std::optional<double> KernNonIsothermalArea(double K, double Wcm, double t1, double Mc, double T1, double T2,
                                            double tau) {
  const double ratio = (t1 - T1) / (t1 - T2);
  if (!(ratio > 0) || !std::isfinite(ratio)) return std::nullopt;
  // (K1 - 1)/K1 = 1 - 1/K1 = Mc ln(ratio) / (Wcm tau)
  const double share = Mc * std::log(ratio) / (Wcm * tau);
  if (!(share > 0) || !(share < 1) || !std::isfinite(share)) return std::nullopt;
  const double A = Wcm / K * -std::log(1 - share);
  return std::isfinite(A) && A > 0 ? std::optional<double>(A) : std::nullopt;
}

std::optional<double> KernIsothermalArea(double K, double ts, double Mc, double T1, double T2, double tau) {
  const double ratio = (ts - T1) / (ts - T2);
  if (!(ratio > 1) || !std::isfinite(ratio)) return std::nullopt;
  const double A = Mc * std::log(ratio) / (K * tau);
  return std::isfinite(A) && A > 0 ? std::optional<double>(A) : std::nullopt;
}

std::optional<double> MixedVesselDifference(double t1, double t2, double Tv) {
  const double d1 = t1 - Tv, d2 = t2 - Tv;
  if (!(d1 * d2 > 0)) return std::nullopt;
  if (std::fabs(d1 - d2) <= 1e-9 * std::max(std::fabs(d1), std::fabs(d2))) return std::fabs(d1 + d2) / 2;
  return std::fabs((d1 - d2) / std::log(d1 / d2));
}

// ---- return bends ------------------------------------------------------------------
double FullyTurbulentFriction(double D, double eps) {
  return fp::Div(1, fp::Pow(2 * std::log10(fp::Div(3.7 * D, eps)), 2));
}

double Bend90Ratio(double rOverD) {
  static constexpr std::array<std::pair<double, double>, 12> kTable = {{{1, 20},
                                                                        {1.5, 14},
                                                                        {2, 12},
                                                                        {3, 12},
                                                                        {4, 14},
                                                                        {6, 17},
                                                                        {8, 24},
                                                                        {10, 30},
                                                                        {12, 34},
                                                                        {14, 38},
                                                                        {16, 42},
                                                                        {20, 50}}};
  if (!(rOverD > kTable.front().first)) return kTable.front().second;
  for (size_t i = 1; i < kTable.size(); ++i)
    if (rOverD <= kTable[i].first) {
      const auto [r0, k0] = kTable[i - 1];
      const auto [r1, k1] = kTable[i];
      return k0 + (k1 - k0) * (rOverD - r0) / (r1 - r0);
    }
  return kTable.back().second;
}

double ReturnBendK(double fT, double rOverD) {
  const double K1 = Bend90Ratio(rOverD) * fT;
  return 0.25 * std::numbers::pi * fT * rOverD + 1.5 * K1;
}

}  // namespace pelmora::xcheck

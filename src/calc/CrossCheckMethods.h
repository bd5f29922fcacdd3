#pragma once
// Independent textbook methods that the method check sets beside the sizing's own
// correlations: plain functions of SI values, each with the source it follows in
// CrossCheckMethods.cpp. They use checked arithmetic (FloatingPointError on a division
// by zero, the root or logarithm of a non-positive number, an overflow).
#include <functional>
#include <optional>

namespace pelmora::xcheck {

// ---- tube side, single phase -----------------------------------------------------
// Petukhov's friction factor of a smooth tube, f = (0.790 ln Re - 1.64)^-2.
double PetukhovFriction(double Re);
// Gnielinski, Nu = (f/8)(Re - 1000) Pr / (1 + 12.7 (f/8)^0.5 (Pr^(2/3) - 1)), f Petukhov's.
double GnielinskiNu(double Re, double Pr);
inline constexpr double kGnielinskiReMin = 3000, kGnielinskiReMax = 5e6;
inline constexpr double kGnielinskiPrMin = 0.5, kGnielinskiPrMax = 2000;
// Laminar flow, uniform wall temperature: fully developed Nu = 3.66, and Hausen's mean
// over a thermal entry length, Nu = 3.66 + 0.0668 Gz / (1 + 0.04 Gz^(2/3)), Gz = (D/L) Re Pr.
inline constexpr double kLaminarNu = 3.66;
double HausenNu(double Re, double Pr, double D, double L);
inline constexpr double kTransitionRe = 2300;

// Helically coiled tube (coil diameter Dw, pitch h between turns): the mean curvature
// diameter D = Dw (1 + (h / (pi Dw))^2), the critical Reynolds number
// 2300 (1 + 8.6 (d/D)^0.45), the laminar Nu = 3.66 + 0.08 (1 + 0.8 (d/D)^0.9) Re^m Pr^(1/3)
// with m = 0.5 + 0.2903 (d/D)^0.194, the turbulent Nu of Gnielinski's form with
// xi = 0.3164 Re^-0.25 + 0.03 (d/D)^0.5, and between them a linear blend over Re.
double CoilCurvatureDiameter(double Dw, double pitch);
double CoilCriticalRe(double d, double D);
double CoilLaminarNu(double Re, double Pr, double d, double D);
double CoilTurbulentNu(double Re, double Pr, double d, double D);
inline constexpr double kCoilTurbulentRe = 2.2e4;
enum class CoilRegime { Laminar, Transition, Turbulent };
struct CoilFilm {
  double Nu;
  double criticalRe;
  CoilRegime regime;
};
CoilFilm CoilNu(double Re, double Pr, double d, double D);

// ---- condensation ------------------------------------------------------------------
// Shah's mean coefficient over complete condensation (quality 1 to 0) from the
// liquid-only coefficient hLO = 0.023 Re_LO^0.8 Pr_l^0.4 k_l / D: h = hLO (0.55 + 2.09 / pr^0.38).
double ShahLiquidOnly(double G, double D, double muL, double cpL, double kL);
double ShahMeanFactor(double pr);
inline constexpr double kShahPrMin = 0.002, kShahPrMax = 0.44;
inline constexpr double kShahVapourVelocityMin = 3, kShahVapourVelocityMax = 300;
inline constexpr double kShahReMin = 350;  // all-liquid Reynolds number

// Nusselt's film theory for stratified condensation inside a horizontal tube (Chato's
// constant 0.555) and on the outside of one (0.729), with the tier of N tubes one above
// the other, at the heat flux q (W/m2) instead of the wall temperature difference:
// h = C [g rhoL (rhoL - rhoV) k^3 r / (mu D dT)]^(1/4) with dT = q / h gives
// h = C^(4/3) X^(1/3) q^(-1/3), X = g rhoL (rhoL - rhoV) k^3 r / (mu D).
double FilmCondensationAtFlux(double C, double rhoL, double rhoV, double kL, double muL, double r, double D, double q);
inline constexpr double kChatoConstant = 0.555;
inline constexpr double kNusseltTubeConstant = 0.729;
inline constexpr double kChatoVapourReMax = 35000;

// Saturated water (for the tube fluid's reduced pressure and liquid specific heat):
// the vapour pressure, the densities of the saturated liquid and vapour (Pa, kg/m3), the
// latent heat from the Clapeyron equation (J/kg) and the liquid's specific heat at a
// saturation pressure (J/(kg.K), nullopt outside 1-70 bar).
inline constexpr double kWaterTc = 647.096, kWaterPc = 22.064e6;
double WaterSaturationPressure(double T);
double WaterSaturatedLiquidDensity(double T);
double WaterSaturatedVapourDensity(double T);
double WaterLatentHeat(double T);
std::optional<double> WaterLiquidCp(double p);

// ---- vessel side ---------------------------------------------------------------------
// Churchill-Chu, horizontal cylinder: Nu = {0.60 + 0.387 Ra^(1/6) / [1 + (0.559/Pr)^(9/16)]^(8/27)}^2.
double ChurchillChuNu(double Ra, double Pr);
// The part that depends on Pr alone, 0.387 / [1 + (0.559/Pr)^(9/16)]^(8/27), and Nu with it.
double ChurchillChuFactor(double Pr);
double ChurchillChuNuWith(double Ra, double factor);
inline constexpr double kChurchillChuRaMax = 1e12;
// Churchill-Bernstein, cylinder in cross flow:
// Nu = 0.3 + 0.62 Re^(1/2) Pr^(1/3) / [1 + (0.4/Pr)^(2/3)]^(1/4) [1 + (Re/282000)^(5/8)]^(4/5).
double ChurchillBernsteinNu(double Re, double Pr);
inline constexpr double kChurchillBernsteinRePrMin = 0.2;
// Mixed convection: Nu^3 = NuF^3 + NuN^3.
double MixedNu(double forced, double natural);
// The coefficient h at which h.dT = q when h itself depends on dT (free convection):
// bisection on log dT between 1e-6 and 1e4 K; nullopt when q cannot be met there.
std::optional<double> CoefficientAtFlux(const std::function<double(double)>& h, double q);

// Oldshue-Gretton, helical coil in a baffled tank stirred by a flat-blade turbine:
// h do / k = 0.17 Re^0.67 Pr^0.37 (L/T)^0.1 (do/T)^0.5, Re = L^2 N rho / mu.
double OldshueGrettonNu(double Re, double Pr, double impeller, double tank, double dout);

// Nucleate pool boiling. Mostinski as Sinnott writes it (Pc in bar, q in W/m2):
// h = 0.104 Pc^0.69 q^0.7 [1.8 pr^0.17 + 4 pr^1.2 + 10 pr^10]; Cooper with a surface
// roughness of 1 um: h = 55 pr^0.12 (-log10 pr)^-0.55 M^-0.5 q^0.67 (M in kg/kmol).
double MostinskiH(double PcBar, double pr, double q);
double CooperH(double pr, double M, double q);
inline constexpr double kCooperPrMin = 0.001, kCooperPrMax = 0.9;

// ---- area models ---------------------------------------------------------------------
// Batch heating of a well-mixed tank (M.c, from T1 to T2 in tau) by a medium entering at
// t1 with capacity rate W.cm through a coil of area A and coefficient K, no heat loss:
// ln((t1 - T1)/(t1 - T2)) = (W cm / (M c)) ((K1 - 1)/K1) tau with K1 = exp(K A / (W cm)).
// The area; nullopt when no area reaches T2 (the medium's limit).
std::optional<double> KernNonIsothermalArea(double K, double Wcm, double t1, double Mc, double T1, double T2,
                                            double tau);
// The same with an isothermal medium at ts: ln((ts - T1)/(ts - T2)) = K A tau / (M c).
std::optional<double> KernIsothermalArea(double K, double ts, double Mc, double T1, double T2, double tau);
// The log-mean difference between a stream t1 -> t2 and a well-mixed vessel at Tv.
std::optional<double> MixedVesselDifference(double t1, double t2, double Tv);

// ---- return bends ----------------------------------------------------------------------
// Fully turbulent Darcy friction factor of a rough tube, 1/(2 log10(3.7 D / eps))^2.
double FullyTurbulentFriction(double D, double eps);
// Resistance coefficient K1/fT of one 90-degree bend of radius ratio r/d (table of
// 90-degree pipe bends, r/d from 1 to 20, linear between rows, held at the ends).
double Bend90Ratio(double rOverD);
// K of a 180-degree bend, two 90-degree bends in one: K = 0.25 pi fT r/d + 1.5 K1.
double ReturnBendK(double fT, double rOverD);

}  // namespace pelmora::xcheck

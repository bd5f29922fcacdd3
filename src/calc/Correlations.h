#pragma once
// The heat-transfer correlations of the coil design as plain functions of SI values.
// Every one uses checked arithmetic: a division by zero, the logarithm or root of a
// non-positive number or an overflow raises FloatingPointError.
#include <optional>
#include <string>

namespace pelmora::corr {

// ---- tube side ----------------------------------------------------------------
// Viscosity factor and Prandtl exponent of a heated (true) or cooled tube fluid.
inline double TubeViscosityFactor(bool heated) { return heated ? 1.05 : 0.95; }
inline double TubePrandtlExponent(bool heated) { return heated ? 0.4 : 0.3; }

// Dittus-Boelter (mu < 0.003 Pa.s) or Sieder-Tate form (mu >= 0.003) in one tube.
double TubeSinglePhase(double W, double n, double mu, double di, double lambda, double cp, bool heated);
// Film condensation inside the tubes at the area estimate A (before corrections).
double TubeCondensation(double rho, double lambda, double mu, double di, double W, double n, double A);
// Factor for non-condensable gas, La in % (1 below 0.0001 %).
double NonCondensableFactor(double La);
// Factor for superheated vapour entering at T1 and leaving condensed at T2.
double SuperheatFactor(double r, double cpv, double T1, double T2);
// (1 - t)^0.16 * t^0.64.
double EvaporationIntegrand(double t);
// Flow boiling inside the tubes from the liquid coefficient hl; La = evaporated %.
double TubeEvaporation(double hl, double W, double di, double rho, double rhov, double n, double La);
// Shape factors of a U-tube bundle (pass length 2 Sl + (pi - 2) s do) and of a helix.
double UTubeShapeFactor(double dout, double Sl, double s);
double HelicalShapeFactor(double dout, double Sl, double s);
// Tube velocity of W kg/s through n tubes of inner diameter di.
double TubeVelocity(double W, double n, double rho, double di);

// ---- vessel side --------------------------------------------------------------
// Gr.Pr per kelvin around a horizontal tube of diameter do.
double NaturalGrPr(double beta, double rho, double dout, double mu, double cp, double lambda);
// Free-convection coefficient at heat flux q in the regime chosen by Ra.
double NaturalCoefficient(double Ra, double C0, double lambda, double dout, double q);

struct Agitator {
  double coil;  // coefficient of the coil correlation
  double wall;  // coefficient of the vessel-wall correlation
};
// The two constants of an agitator item: the 4 characters after the first bar and the
// 4 characters from the sixth character after it. Throws ConversionError when they are
// not numbers.
Agitator AgitatorConstants(const std::string& item);
struct AgitatedFilm {
  double ho, hw;
};
// Chilton-Drew-Jebens correlations of a coil and of the vessel wall in an agitated vessel.
AgitatedFilm AgitatedCoefficients(const Agitator& k, double d, double N, double rho, double mu, double cp,
                                  double lambda, double Ds, bool heated);

// Flow across the coil of a vessel with a through stream.
struct CoilZone {
  double Ltot, Nt, Vf, de1, de2, S;
};
CoilZone CoilZoneGeometry(double A, double dout, double Sl, double s, double Ds, double Dc);
double CrossFlowCoefficient(double Re, double Pr, double lambda, double de1);
double VesselCondensation(double rho, double lambda, double ro, double A, double mu, double dout, double Qi, double m);
// Nucleate boiling on the coil; pressures in Pa, Q the heat rate.
double BoilingCoefficient(double Pc, double P, double A, double Q);

// ---- overall, heat loss and sizing ----------------------------------------------
// 1/K referred to the outer tube surface with a thin-wall term over the mean diameter.
double OverallCoefficient(double ho, double Ro, double dout, double di, double lambdaWall, double hi, double Ri);

// Outer film of an insulated wall to air, he = 9.8 + 0.07 theta, for the resistance Rw
// from the vessel fluid to the outer surface and a vessel-to-air difference dT.
struct AirFilm {
  double theta;  // surface excess temperature
  double he;     // outer coefficient
};
AirFilm AirFilmAt(double Rw, double dT);

// Area that heats M kg from T1 to T2 in tau seconds with a constant mean tube temperature
// Tmi and loss Ke.Ae to Te, at the estimate A; nullopt when the logarithm or the
// division cannot be evaluated.
std::optional<double> BatchArea(double K, double A, double Tmi, double Ke, double Ae, double Te, double T1, double T2,
                                double M, double cp, double tau);
// The steady-state balance used when BatchArea has no positive answer.
double SteadyStateArea(double K, double Tmi, double Ke, double Ae, double Te, double T1, double T2, double M, double cp,
                       double tau);
// The same balance with the heat the vessel takes up per second given directly (W,
// negative when the vessel is cooled), as a constant-temperature bath states its load.
double SteadyStateAreaForHeat(double K, double Tmi, double Ke, double Ae, double Te, double T1, double T2,
                              double heatRate);

// Log-mean of two end differences of the same sign.
double LogMean(double d1, double d2);
// Correction factor of one shell pass; throws FloatingPointError when it cannot be
// formed (the caller reports it).
double CorrectionFactor(double Tt2, double Tt1, double Tv2, double Tv1);

}  // namespace pelmora::corr

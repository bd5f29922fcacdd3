// The independent methods of the method check against hand calculations written out in
// each comment (and the published values of the saturation line of water), and the
// limits of their ranges.
#include <gtest/gtest.h>

#include <cmath>

#include "calc/CrossCheckMethods.h"

namespace pelmora::xcheck {
namespace {

TEST(CrossCheckMethods, GnielinskiWithPetukhovFriction) {
  // Re = 1e5, Pr = 4: ln Re = 11.5129, f = (0.790 x 11.5129 - 1.64)^-2 = 7.4552^-2 = 0.017992;
  // f/8 = 0.0022490; numerator 0.0022490 x 99000 x 4 = 890.60; denominator
  // 1 + 12.7 x 0.047424 x (4^(2/3) - 1 = 1.51984) = 1.91538; Nu = 464.98.
  EXPECT_NEAR(PetukhovFriction(1e5), 0.017992, 0.000001);
  EXPECT_NEAR(GnielinskiNu(1e5, 4), 464.98, 0.05);
  // The hot water of the shipped storage tank, Re = 129 587, Pr = 2.1888, in 26 mm tubes
  // with k = 0.67: Nu = 427.67, h = 11 021 W/(m2.K) (Dittus-Boelter gives 9 224).
  EXPECT_NEAR(GnielinskiNu(129587.128, 2.18880597) * 0.67 / 0.026, 11020.8, 1);
}

TEST(CrossCheckMethods, LaminarFlowFullyDevelopedAndHausen) {
  // Re = 1500, Pr = 5, D = 20 mm, L = 2 m: Gz = (0.02/2) x 1500 x 5 = 75,
  // Nu = 3.66 + 0.0668 x 75 / (1 + 0.04 x 75^(2/3) = 1 + 0.04 x 17.784) = 3.66 + 5.01/1.7114 = 6.587.
  EXPECT_NEAR(HausenNu(1500, 5, 0.02, 2), 6.5875, 0.0005);
  // A very long tube has no entry length left: Hausen tends to the fully developed 3.66.
  EXPECT_NEAR(HausenNu(1500, 5, 0.02, 1e7), kLaminarNu, 0.001);
}

TEST(CrossCheckMethods, HelicalCoilRegimes) {
  // Coil of 1.6 m, pitch 64 mm, tube 26 mm: D = 1.6 (1 + (0.064/(pi 1.6))^2) = 1.600259 m,
  // d/D = 0.016247, Re_crit = 2300 (1 + 8.6 x 0.016247^0.45 = 8.6 x 0.15662) = 5397.98.
  const double D = CoilCurvatureDiameter(1.6, 0.064);
  EXPECT_NEAR(D, 1.600259, 0.000001);
  EXPECT_NEAR(CoilCriticalRe(0.026, D), 5397.98, 0.05);
  // Laminar at Re = 3000, Pr = 5: m = 0.5 + 0.2903 x 0.016247^0.194 = 0.630539;
  // Nu = 3.66 + 0.08 x (1 + 0.8 x 0.016247^0.9 = 1.019540) x 3000^0.630539 x 5^(1/3) = 25.386.
  EXPECT_NEAR(CoilLaminarNu(3000, 5, 0.026, D), 25.386, 0.002);
  // Turbulent at Re = 1e5, Pr = 2.19: xi = 0.3164/1e5^0.25 + 0.03 x 0.016247^0.5 = 0.017792 +
  // 0.003824 = 0.021616; Nu = (xi/8) Re Pr / (1 + 12.7 (xi/8)^0.5 (Pr^(2/3) - 1)) = 407.22.
  EXPECT_NEAR(CoilTurbulentNu(1e5, 2.19, 0.026, D), 407.22, 0.02);
  // Between: at Re = 10 000, Pr = 5 the weight of the laminar end is
  // (22000 - 10000)/(22000 - 5397.98) = 0.72280; Nu_lam(5397.98) = 35.126,
  // Nu_turb(22000) = 164.483; Nu = 0.72280 x 35.126 + 0.27720 x 164.483 = 70.983.
  const CoilFilm t = CoilNu(10000, 5, 0.026, D);
  EXPECT_EQ(t.regime, CoilRegime::Transition);
  EXPECT_NEAR(t.Nu, 70.983, 0.01);
  // The branches meet their ends: just below Re_crit laminar, from 2.2e4 turbulent.
  EXPECT_EQ(CoilNu(5397, 5, 0.026, D).regime, CoilRegime::Laminar);
  EXPECT_EQ(CoilNu(22000, 5, 0.026, D).regime, CoilRegime::Turbulent);
  EXPECT_NEAR(CoilNu(21999.999, 5, 0.026, D).Nu, CoilTurbulentNu(22000, 5, 0.026, D), 0.01);
}

TEST(CrossCheckMethods, ShahMeanCoefficientOverCompleteCondensation) {
  // Steam at 4 bar (pr = 0.018125) in a 50 mm tube, G = 55.6 kg/(m2.s), mu = 0.192 mPa.s,
  // cp = 4294, k = 0.684: Re_LO = 14 479, Pr = 1.2053, hLO = 0.023 x 14479^0.8 x 1.2053^0.4
  // x 0.684/0.05 = 722.52; factor 0.55 + 2.09/0.018125^0.38 = 10.144; h = 7329.
  const double hLO = ShahLiquidOnly(55.6, 0.05, 0.000192, 4294, 0.684);
  EXPECT_NEAR(hLO, 722.52, 0.05);
  EXPECT_NEAR(ShahMeanFactor(0.018125), 10.144, 0.001);
  // Shah's factor is his fit of the local correlation averaged over the quality: the
  // integral of (1 - x)^0.8 + 3.8 x^0.76 (1 - x)^0.04 / pr^0.38 from 0 to 1, done by
  // midpoint sums, is 9.9356 at this pressure; the fit is within 2.1 % of it.
  double integral = 0;
  const int n = 20000;
  for (int i = 0; i < n; ++i) {
    const double x = (i + 0.5) / n;
    integral += (std::pow(1 - x, 0.8) + 3.8 * std::pow(x, 0.76) * std::pow(1 - x, 0.04) / std::pow(0.018125, 0.38)) / n;
  }
  EXPECT_NEAR(integral, 9.9356, 0.001);
  EXPECT_NEAR(ShahMeanFactor(0.018125) / integral, 1.021, 0.001);
}

TEST(CrossCheckMethods, NusseltFilmCondensationAtAHeatFlux) {
  // Steam at 143.6 C inside a 50 mm tube at q = 81 934 W/m2: X = 9.81 x 923 x 920.84 x
  // 0.684^3 x 2.133e6 / (0.000192 x 0.05) = 5.9285e17, h = 0.555^(4/3) x X^(1/3) / q^(1/3)
  // = 0.45610 x 840 068 / 43.433 = 8 822 W/(m2.K); the film difference q/h = 9.29 K, and
  // Nusselt's form at that difference gives the same h.
  const double h = FilmCondensationAtFlux(kChatoConstant, 923, 2.16, 0.684, 0.000192, 2.133e6, 0.05, 81934);
  EXPECT_NEAR(h, 8821.7, 0.5);
  const double dT = 81934 / h;
  const double direct =
      kChatoConstant * std::pow(9.81 * 923 * 920.84 * std::pow(0.684, 3) * 2.133e6 / (0.000192 * 0.05 * dT), 0.25);
  EXPECT_NEAR(direct, h, 0.01);
}

TEST(CrossCheckMethods, SaturatedWaterLine) {
  // IAPWS saturation tables: 100 C 101.418 kPa, 958.35 kg/m3, 0.5982 kg/m3,
  // r = 2256.5 kJ/kg; 143.61 C at 400 kPa; 300 C 8.5879 MPa; r at 143.6 C 2133.6 kJ/kg.
  EXPECT_NEAR(WaterSaturationPressure(373.15), 101418, 5);
  EXPECT_NEAR(WaterSaturatedLiquidDensity(373.15), 958.35, 0.05);
  EXPECT_NEAR(WaterSaturatedVapourDensity(373.15), 0.5982, 0.0005);
  EXPECT_NEAR(WaterLatentHeat(373.15), 2256.5e3, 2e3);
  EXPECT_NEAR(WaterSaturationPressure(143.61 + 273.15), 4.0e5, 400);
  EXPECT_NEAR(WaterSaturationPressure(573.15), 8.5879e6, 5e3);
  EXPECT_NEAR(WaterLatentHeat(143.6 + 273.15), 2133.6e3, 2e3);
  // Liquid specific heat by pressure: 4 bar 4.294, between 4 and 4.5 bar linear.
  EXPECT_NEAR(*WaterLiquidCp(4e5), 4294, 0.01);
  EXPECT_NEAR(*WaterLiquidCp(4.25e5), 4299.5, 0.01);
  EXPECT_FALSE(WaterLiquidCp(0.5e5));
  EXPECT_FALSE(WaterLiquidCp(80e5));
}

TEST(CrossCheckMethods, FreeConvectionAndCrossFlowOnCylinders) {
  // The 0.1 m steam pipe of Incropera's Example 9.3 (air at the film temperature 367 K:
  // nu = 22.8e-6, alpha = 32.8e-6 m2/s, Pr = 0.697, beta = 1/367, dT = 142 K):
  // Ra = 9.8 x 142 x 0.1^3 / (367 x 22.8e-6 x 32.8e-6) = 5.070e6; Ra^(1/6) = 13.108,
  // [1 + (0.559/0.697)^(9/16)]^(8/27) = 1.2063, Nu = (0.60 + 0.387 x 13.108/1.2063)^2 = 23.09.
  const double Ra = 9.8 / 367 * 142 * 1e-3 / (22.8e-6 * 32.8e-6);
  EXPECT_NEAR(Ra, 5.0704e6, 100);
  EXPECT_NEAR(ChurchillChuNu(Ra, 0.697), 23.088, 0.005);
  // Churchill-Bernstein at Re = 7992, Pr = 0.707: 0.62 x 89.398 x 0.89085 / (1 + 0.68406)^0.25
  // x (1 + 0.10783)^0.8 = 0.62 x 89.398 x 0.89085 / 1.13917 x 1.08537 = 47.045; + 0.3 = 47.345.
  EXPECT_NEAR(ChurchillBernsteinNu(7992, 0.707), 47.345, 0.005);
  // The mixed Nusselt number lies between the larger part and their sum.
  EXPECT_NEAR(MixedNu(15.5, 50), std::cbrt(15.5 * 15.5 * 15.5 + 50 * 50 * 50), 1e-9);
  // A coefficient that rises with dT (h = 100 dT^0.25) at q = 10 000 W/m2:
  // 100 dT^1.25 = 10 000, dT = 100^0.8 = 39.81 K, h = 251.19.
  auto h = CoefficientAtFlux([](double dT) { return 100 * std::pow(dT, 0.25); }, 1e4);
  ASSERT_TRUE(h);
  EXPECT_NEAR(*h, 251.19, 0.01);
  EXPECT_FALSE(CoefficientAtFlux([](double dT) { return 100 * std::pow(dT, 0.25); }, 0));
}

TEST(CrossCheckMethods, AgitatedCoilAndPoolBoiling) {
  // The shipped agitated tank: 0.8 m turbine at 1.5 r/s in water (992 kg/m3, 0.65 mPa.s,
  // cp 4180, k 0.63) in a 2.4 m tank, tubes 32 mm: Re = 0.64 x 1.5 x 992/0.00065 = 1 465 108,
  // Pr = 4.3127; Nu = 0.17 x Re^0.67 x Pr^0.37 x (1/3)^0.1 x (0.032/2.4)^0.5
  // = 0.17 x 13 525 x 1.7173 x 0.89596 x 0.11547 = 408.50; h = 408.50 x 0.63/0.032 = 8 042.
  EXPECT_NEAR(OldshueGrettonNu(1465107.69, 4.3126984, 0.8, 2.4, 0.032), 408.50, 0.01);
  // Water at 1 atm (pr = 1.01325/220.64 = 0.0045923) boiling at 100 kW/m2:
  // Mostinski 0.104 x 220.64^0.69 x 1e5^0.7 x [1.8 pr^0.17 + 4 pr^1.2 + 10 pr^10]
  // = 0.104 x 41.414 x 3162.3 x 0.72706 = 9 903; Cooper 55 x pr^0.12 x (2.33797)^-0.55 x
  // 18.015^-0.5 x 1e5^0.67 = 55 x 0.52414 x 0.62681 x 0.23560 x 2238.7 = 9 531 W/(m2.K).
  const double pr = 1.01325 / 220.64;
  EXPECT_NEAR(MostinskiH(220.64, pr, 1e5), 9902.6, 0.5);
  EXPECT_NEAR(CooperH(pr, 18.015, 1e5), 9530.8, 0.5);
}

TEST(CrossCheckMethods, KernBatchAreasAndTheMixedVessel) {
  // 20 t of water (M.c = 8.36e7 J/K) from 20 to 60 C in 4 h by a medium at 90 C with
  // W.c = 10 000 W/K, K = 500: ln(70/30) = 0.84730; (K1 - 1)/K1 = 8.36e7 x 0.84730 /
  // (10 000 x 14 400) = 0.49190; K1 = 1.96813; A = (10 000/500) ln K1 = 13.5417 m2.
  auto A = KernNonIsothermalArea(500, 10000, 90, 8.36e7, 20, 60, 14400);
  ASSERT_TRUE(A);
  EXPECT_NEAR(*A, 13.5417, 0.0005);
  // A flow too small to reach the target at any area: (K1 - 1)/K1 would have to exceed 1.
  EXPECT_FALSE(KernNonIsothermalArea(500, 4000, 90, 8.36e7, 20, 60, 14400));
  // Isothermal medium at 143.6 C: A = 8.36e7 ln(123.6/83.6) / (500 x 14 400) = 4.5400 m2.
  EXPECT_NEAR(*KernIsothermalArea(500, 143.6, 8.36e7, 20, 60, 14400), 4.5400, 0.0005);
  EXPECT_FALSE(KernIsothermalArea(500, 50, 8.36e7, 20, 60, 14400));
  // Hot water 90 -> 60 C against a mixed vessel at 40 C: (50 - 20)/ln 2.5 = 32.741 K.
  EXPECT_NEAR(*MixedVesselDifference(90, 60, 40), 32.7407, 0.0001);
  EXPECT_NEAR(*MixedVesselDifference(143.6, 143.6, 60), 83.6, 1e-9);
  EXPECT_FALSE(MixedVesselDifference(90, 30, 40));  // the stream crosses the vessel temperature
}

TEST(CrossCheckMethods, ReturnBendsAfterCrane) {
  // 26 mm tube, roughness 0.1 mm: fT = 1/(2 lg(3.7 x 26/0.1 = 962))^2 = 1/(5.9664)^2 = 0.028092.
  const double fT = FullyTurbulentFriction(0.026, 0.0001);
  EXPECT_NEAR(fT, 0.028092, 0.000001);
  // The table of 90-degree bends: r/d 1 -> 20 fT, 1.5 -> 14, 2 and 3 -> 12, 4 -> 14,
  // 6 -> 17 (5 lies halfway: 15.5), 20 -> 50; below 1 and above 20 the ends hold.
  EXPECT_DOUBLE_EQ(Bend90Ratio(1), 20);
  EXPECT_DOUBLE_EQ(Bend90Ratio(1.25), 17);
  EXPECT_DOUBLE_EQ(Bend90Ratio(2.5), 12);
  EXPECT_DOUBLE_EQ(Bend90Ratio(5), 15.5);
  EXPECT_DOUBLE_EQ(Bend90Ratio(0.5), 20);
  EXPECT_DOUBLE_EQ(Bend90Ratio(30), 50);
  // A 180-degree bend of r/d = 64/26 = 2.4615: 0.25 pi fT x 2.4615 + 1.5 x 12 fT
  // = (1.9333 + 18) x 0.028092 = 0.55997.
  EXPECT_NEAR(ReturnBendK(fT, 64.0 / 26), 0.55997, 0.00001);
}

}  // namespace
}  // namespace pelmora::xcheck

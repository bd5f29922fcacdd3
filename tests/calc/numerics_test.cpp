// The numerical routines of the calculation against known values: the damped Newton
// iteration, the Darcy friction factor (Blasius, Colebrook read off the Moody chart,
// von Karman's fully rough limit) and the 8-point Gauss-Legendre rule.
#include <gtest/gtest.h>

#include <cmath>

#include "calc/Balance.h"
#include "fields/Errors.h"

namespace pelmora {
namespace {

TEST(NewtonSolve, FindsTheSquareRootOfTwo) {
  BalanceValues v{};
  double x = NewtonSolve(
      v, 0, [](const BalanceValues& w) { return w[0] * w[0] - 2; }, 1.2345);
  EXPECT_NEAR(x, std::sqrt(2.0), 1e-7);
}

TEST(NewtonSolve, SolvesOnePositionWithTheOthersHeld) {
  // Q = M.cp.(T2 - T1) for the mass: 3.344e9 J over 40 K with cp 4180 -> 20000 kg.
  BalanceValues v{};
  v[1] = 4180;
  v[2] = 60;
  v[3] = 20;
  v[4] = 3.344e9;
  auto r = [](const BalanceValues& w) { return w[0] * w[1] * (w[2] - w[3]) - w[4]; };
  EXPECT_NEAR(NewtonSolve(v, 0, r, 1.2345), 20000, 20000 * 1e-9);
  EXPECT_DOUBLE_EQ(v[0], 0);  // the caller's values are not touched
}

TEST(NewtonSolve, FlatResidualReturnsTheStartingValue) {
  BalanceValues v{};
  EXPECT_EQ(NewtonSolve(
                v, 3, [](const BalanceValues&) { return 5.0; }, 1.2345),
            1.2345);
}

TEST(NewtonSolve, ResidualWithoutRootEndsInsteadOfIteratingForever) {
  // x^2 + 1 has no real root; without the bound the ever smaller damped steps would
  // at last count as settled and hand back 1.23449 as a "root".
  BalanceValues v{};
  EXPECT_THROW(NewtonSolve(
                   v, 0, [](const BalanceValues& w) { return w[0] * w[0] + 1; }, 1.2345),
               ConvergenceError);
}

TEST(NewtonSolve, FaultInTheResidualIsAnError) {
  BalanceValues v{};
  EXPECT_THROW(NewtonSolve(
                   v, 0, [](const BalanceValues& w) { return 1 / (w[0] - w[0]); }, 1.0),
               FloatingPointError);
}

TEST(FrictionFactor, LaminarAndBlasius) {
  EXPECT_DOUBLE_EQ(FrictionFactor(0, 1000), 0.064);
  EXPECT_DOUBLE_EQ(FrictionFactor(1, 2000, 0.02, 1e-4), 0.032);  // Re = 2000 still laminar
  EXPECT_NEAR(FrictionFactor(0, 10000), 0.03164, 1e-5);          // 0.3164 / 10
  EXPECT_NEAR(FrictionFactor(0, 100000), 0.0032 + 0.221 / std::pow(1e5, 0.237), 1e-12);
}

TEST(FrictionFactor, ColebrookMatchesTheMoodyChart) {
  // Moody chart, relative roughness 0.001 at Re = 1e5: f = 0.0222.
  EXPECT_NEAR(FrictionFactor(1, 1e5, 0.1, 1e-4), 0.0222, 0.0002);
  // Smooth pipe at Re = 1e6: f = 0.0116.
  EXPECT_NEAR(FrictionFactor(1, 1e6, 0.05, 0), 0.01165, 0.0001);
  // The converged Colebrook value itself (independent fixed-point solution).
  double x = 8;
  for (int i = 0; i < 200; ++i) x = -2 * std::log10(0.0002 / 3.7 + 2.51 * x / 1e6);
  EXPECT_NEAR(FrictionFactor(1, 1e6, 0.1, 2e-5), 1 / (x * x), 1e-7);
}

TEST(FrictionFactor, FullyRoughTakesVonKarmansLimit) {
  // Relative roughness 0.01 at Re = 1e7: 1/(2 log10(3.7/0.01))^2 = 0.0380.
  EXPECT_NEAR(FrictionFactor(1, 1e7, 0.05, 5e-4), 1 / std::pow(2 * std::log10(370.0), 2), 1e-12);
  EXPECT_NEAR(FrictionFactor(1, 1e7, 0.05, 5e-4), 0.038, 0.0005);
}

TEST(FrictionFactor, ZeroFlowIsAnErrorNotAnInfinity) {
  EXPECT_THROW(FrictionFactor(1, 0, 0.02, 1e-4), FloatingPointError);
}

TEST(GaussLegendre8, ExactForPolynomialsUpToDegree15) {
  EXPECT_NEAR(GaussLegendre8([](double t) { return std::pow(t, 15); }, 0, 1), 1.0 / 16, 1e-9);
  EXPECT_NEAR(GaussLegendre8([](double t) { return 3 * t * t; }, -1, 2), 9, 1e-8);
}

TEST(GaussLegendre8, EvaporationIntegralOverTheWholeRange) {
  auto f = [](double t) { return std::pow(1 - t, 0.16) * std::pow(t, 0.64); };
  EXPECT_NEAR(GaussLegendre8(f, 0, 1), 0.49899, 1e-5);
  EXPECT_EQ(GaussLegendre8(f, 0, 0), 0);
}

}  // namespace
}  // namespace pelmora

#pragma once
// Balance groups and the numerical routines shared by the calculation: the open
// quantity of a group is solved with a damped Newton iteration, the Darcy friction
// factor (Blasius, Colebrook, fully rough) and an 8-point Gauss-Legendre rule.
#include <array>
#include <cstddef>
#include <functional>
#include <initializer_list>
#include <span>

#include "fields/Components.h"

namespace pelmora {

// Marking colours of solved quantities ($00BBGGRR).
inline constexpr Color TubeBalanceColor = RGBColor(166, 202, 240);  // sky blue
inline constexpr Color VesselBalanceColor = RGBColor(255, 255, 0);  // yellow
inline constexpr Color HeatBalanceColor = RGBColor(0, 255, 255);    // aqua
inline constexpr Color GeometryColor = RGBColor(255, 128, 255);
inline constexpr Color ResultColor = RGBColor(201, 239, 254);

// The SI values of a group's fields in list order (only the first entries are used).
using BalanceValues = std::array<double, 201>;
using Residual = std::function<double(const BalanceValues&)>;

inline constexpr const char* kBalanceError = "发现错误，可能是输入数据错误！";
inline constexpr const char* kNotConverged = "迭代未收敛，请检查输入数据！";

// Restarts of NewtonSolve (20 iterations each, the damping halved every time) before it
// gives up with a ConvergenceError. After eight halvings a step is 1/65536 of a Newton
// step: an iteration that has not settled by then only creeps, and the two small steps
// it would count as settled no longer mark a root.
inline constexpr int kNewtonRestarts = 8;

// A root of r in v[k] with the other values held fixed, by a damped Newton iteration on
// a five-point derivative (step 1e-6 in SI units). Throws ConvergenceError when it does
// not settle, FloatingPointError on a fault in the residual.
double NewtonSolve(const BalanceValues& v, std::size_t k, const Residual& r, double x0);

// Solves a balance group for its open quantity (the one blank member, or the member
// solved before, recognised by the group colour), or releases the previous open
// quantity when the user has emptied another member. Returns the field written or
// released, or nullptr. Errors show kBalanceError in a warning box and end the action.
EditD* SolveBalance(std::span<EditD* const> fields, Color color, bool onlyEnabled, double x0, const Residual& r);
EditD* SolveBalance(std::initializer_list<EditD*> fields, Color color, bool onlyEnabled, double x0, const Residual& r);

// Darcy friction factor; mode 0 smooth pipe (D and eps ignored), mode 1 rough pipe
// (Colebrook, replaced by the fully rough value where Re*sqrt(lambda)*eps/D > 200).
// Throws ConvergenceError if the Colebrook iteration does not settle.
double FrictionFactor(int mode, double Re, double D = 0, double eps = 0);

// Integral of f over [a, b] by the 8-point Gauss-Legendre rule.
double GaussLegendre8(const std::function<double(double)>& f, double a, double b);

}  // namespace pelmora

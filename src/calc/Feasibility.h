#pragma once
// Whether a design can work at all: a batch target within reach of the heating medium,
// a mean temperature difference that one vessel pass can give, a coil that fits into
// its vessel. A design that fails one of these is infeasible, whatever area the sizing
// pass wrote.
#include <vector>

#include "calc/Checks.h"
#include "fields/Catalogue.h"

namespace pelmora {

namespace corr {

// The temperature a well-mixed tank reaches after the time tau when a single-phase
// medium of capacity rate W.c (W/K) enters at t1 through a coil of unlimited area, so
// that it leaves at the tank temperature; the tank (capacity M.cp, J/K) starts at T1
// and loses heat through Ke.Ae (W/K) to surroundings at Te:
//   M.cp dT/dt = W.c (t1 - T) - Ke.Ae (T - Te)
//   T_inf = (W.c t1 + Ke.Ae Te) / (W.c + Ke.Ae)
//   T(tau) = T_inf - (T_inf - T1) exp(-(W.c + Ke.Ae) tau / (M.cp)).
// The highest temperature a heated tank can reach (the lowest for a cooled one): a
// finite coil leaves the medium warmer than the tank and transfers less.
double ReachableTankTemperature(double Wc, double t1, double Mcp, double T1, double KeAe, double Te, double tau);

}  // namespace corr

// The infeasibility checks of a run, read from the fields and what the run noted.
// Fields marked stale (a run that stopped before reaching them) are not used.
void AddFeasibilityChecks(const TFormPelmora& form, const RunFacts& facts, std::vector<DesignCheck>& checks);

// The fields an infeasible design marks besides its own: the area and the lengths.
const std::vector<std::string>& InfeasibleMarks();

}  // namespace pelmora

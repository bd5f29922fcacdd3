#include "calc/Resistances.h"

#include <cmath>

#include "fields/Errors.h"

namespace pelmora {

std::array<double, 5> ResistanceBreakdown::SharesPercent() const {
  const double total = Total();
  std::array<double, 5> shares{};
  const auto terms = Terms();
  for (size_t i = 0; i < terms.size(); ++i) shares[i] = total > 0 ? 100 * terms[i] / total : 0;
  return shares;
}

std::optional<ResistanceBreakdown> Resistances(double ho, double Ro, double dout, double di, double lambdaWall,
                                               double hi, double Ri) {
  if (!(ho > 0) || !(hi > 0) || !(dout > 0) || !(di > 0) || !(di < dout) || !(lambdaWall > 0) || !(Ro >= 0) ||
      !(Ri >= 0))
    return std::nullopt;
  ResistanceBreakdown r;
  const double ratio = dout / di;
  r.vesselFilm = 1 / ho;
  r.vesselFouling = Ro;
  r.wall = (dout - di) * dout / (lambdaWall * (dout + di));
  r.tubeFouling = Ri * ratio;
  r.tubeFilm = ratio / hi;
  for (double t : r.Terms())
    if (!std::isfinite(t)) return std::nullopt;
  if (!(r.Total() > 0) || !std::isfinite(r.Total())) return std::nullopt;
  return r;
}

namespace {
// The SI value an enabled field shows.
std::optional<double> Shown(const EditD* e) {
  if (!e || !e->Enabled()) return std::nullopt;
  auto v = e->Number();
  if (!v) return std::nullopt;
  const double x = *v * e->Exchange();
  if (!std::isfinite(x)) return std::nullopt;
  return x;
}
}  // namespace

std::optional<ResistanceBreakdown> ResistancesFromFields(const TFormPelmora& f) {
  auto ho = Shown(f.koD), Ro = Shown(f.RoD), dout = Shown(f.dioD), di = Shown(f.diiD), hi = Shown(f.kiD),
       Ri = Shown(f.RiD);
  if (!ho || !Ro || !dout || !di || !hi || !Ri || !f.TmD || !f.TmD->Enabled()) return std::nullopt;
  double lambdaWall = 0;
  try {
    lambdaWall = f.TmD->NumberAfterBar(1000);
  } catch (const ConversionError&) {
    return std::nullopt;
  }
  return Resistances(*ho, *Ro, *dout, *di, lambdaWall, *hi, *Ri);
}

}  // namespace pelmora

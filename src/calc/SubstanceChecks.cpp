#include "calc/SubstanceChecks.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "calc/Resistances.h"
#include "fields/FieldOps.h"
#include "fields/ModeEnums.h"
#include "props/MyValues.h"
#include "props/PropNumbers.h"
#include "props/PropRange.h"
#include "props/SimpProps.h"

namespace pelmora {

namespace {

using Level = DesignCheck::Level;

std::optional<double> Si(const EditD* e, bool evenDisabled = false) { return SiValue(e, evenDisabled); }

// The boiling point is solved by bisection on the vapour-pressure text (up to 200
// evaluations) and the range check solves it as well: a run's checks would cost fifty
// times the run. Both depend only on the record's texts, t and p, so they are kept for
// the next run (a bounded memo per thread; the studies run on copies of the window).
std::string RecordKey(const PropRecord& r) {
  std::string key;
  for (const auto& info : PropFields())
    if (const auto* v = r.Field(info.name)) key += v->value_or("\x1e") + '\x1f';
  return key;
}

template <typename T>
class Memo {
 public:
  template <typename F>
  const T& Get(const std::string& key, F compute) {
    if (auto it = map_.find(key); it != map_.end()) return it->second;
    if (map_.size() >= kMax) map_.clear();
    return map_.emplace(key, compute()).first->second;
  }

 private:
  static constexpr size_t kMax = 256;
  std::unordered_map<std::string, T> map_;
};

const RangeCheck& CachedRange(const PropRecord& rec, double t, double p) {
  thread_local Memo<RangeCheck> memo;
  return memo.Get(RecordKey(rec) + Format15(t) + ";" + Format15(p), [&] { return CheckRange(rec, t, p); });
}

const BoilingResult& CachedBoiling(const PropRecord& rec, double p) {
  thread_local Memo<BoilingResult> memo;
  return memo.Get(RecordKey(rec) + Format15(p), [&] { return BoilingPoint(rec, p); });
}

std::string Num(double x, int decimals) { return FormatFixed(x, decimals); }

std::string Named(const SideSubstance& s) {
  return (s.name.empty() ? std::string("物性库记录") : s.name) + "（" + s.no + "）";
}

const PropRecord* RecordOf(const PropLibrary& lib, const SideSubstance& s) {
  const int i = lib.Find(s.no);
  return i < 0 ? nullptr : &lib.At(i);
}

bool SideInUse(const TFormPelmora& form, FluidSide side) {
  const auto* button = form.FindAs<SpeedButton>(ButtonOf(side));
  return button && button->Enabled();
}

// A property outside the range where the record's data hold.
void RangeChecks(const TFormPelmora& form, const PropLibrary& lib, std::vector<DesignCheck>& out) {
  for (FluidSide side : kFluidSides) {
    const auto& s = form.Substances.Of(side);
    if (!s || !SideInUse(form, side)) continue;
    const PropRecord* rec = RecordOf(lib, *s);
    if (!rec) {
      out.push_back({Level::Hint, SideCheckField(form, side),
                     std::string(SideCaption(side)) + "物性取自的物性库记录 " + Named(*s) +
                         " 已不在物性库中，无法检查其适用范围"});
      continue;
    }
    const RangeCheck& c = CachedRange(*rec, s->t, s->p);
    if (c.InRange()) continue;
    std::string why;
    for (const std::string& m : c.messages) why += (why.empty() ? "" : "；") + m;
    const std::string range = RangeText(*rec);
    out.push_back({Level::Warning, SideCheckField(form, side),
                   std::string(SideCaption(side)) + "物性按 " + Named(*s) + " 在 " + Format15(s->t) + " ℃、" +
                       Format15(s->p) + " kPa 取值，超出该物性数据的适用范围" +
                       (range.empty() ? "" : "（" + range + "）") + "：" + why});
  }
}

// The vessel liquid against its boiling point at the vessel pressure.
void BoilingChecks(const TFormPelmora& form, const PropLibrary& lib, std::vector<DesignCheck>& out) {
  const auto& s = form.Substances.Of(FluidSide::Vessel);
  if (!s || ModeOf<Phase>(*form.PhoD) != Phase::Single) return;
  const PropRecord* rec = RecordOf(lib, *s);
  if (!rec || PhaseOf(*rec) != RecordPhase::Liquid) return;
  const VesselPressure p = VesselPressureOf(form);
  const BoilingResult& b = CachedBoiling(*rec, p.kPa);
  if (!b.t) return;
  const double tb = *b.t;
  const std::string at = Named(*s) + " 在 " + Format15(p.kPa) + " kPa（" + p.basis + "）下的沸点 " + Num(tb, 1) + " ℃";
  // A temperature the vessel liquid is to reach (or start from) at or above its boiling
  // point cannot be held in the liquid phase.
  for (const EditD* e : {form.Tom2D, form.Tom1D, form.FixTempD}) {
    auto t = Si(e);
    if (!t || *t < tb) continue;
    out.push_back({Level::Infeasible, e->Name(),
                   e->QuantityName() + " " + Num(*t, 1) + " ℃ 不低于 " + at +
                       "：容器中的液体在此压力下会沸腾，达不到该温度；请提高容器压力（蒸发压力）、降低温度，"
                       "或按相变流体计算"});
    return;  // one reason is enough; the wall would boil as well
  }
  // The wall the liquid touches, where the coil heats it: local boiling and scaling.
  auto tubeIn = Si(form.Ti1D), tubeOut = Si(form.Ti2D);
  auto v1 = Si(form.Tom1D), v2 = Si(form.Tom2D);
  auto ho = Si(form.koD), hi = Si(form.kiD), dout = Si(form.dioD), di = Si(form.diiD);
  if (!tubeIn || !tubeOut || !v1 || !v2 || !ho || !hi || !dout || !di) return;
  const double tTube = std::max(*tubeIn, *tubeOut), tVessel = std::max(*v1, *v2);
  if (!(tTube > tVessel)) return;
  auto r = ResistancesFromFields(form);
  if (!r) return;
  const double tw = VesselWallTemperature(tVessel, tTube, r->vesselFilm, r->wall, r->tubeFilm);
  if (!std::isfinite(tw) || tw <= tb) return;
  out.push_back({Level::Warning,
                 "koD",
                 "盘管外壁温度约 " + Num(tw, 1) + " ℃（管程 " + Num(tTube, 1) + " ℃、容器液体 " + Num(tVessel, 1) +
                     " ℃，按清洁管的膜系数与管壁热阻串联估算），高于 " + at +
                     "：管壁处会局部沸腾，易结垢；可降低加热介质温度或提高容器压力",
                 {"Ti1D"}});
}

// Properties taken at a temperature the run has left behind.
void TemperatureChecks(const TFormPelmora& form, std::vector<DesignCheck>& out) {
  for (FluidSide side : SidesToUpdate(form)) {
    const SideSubstance& s = *form.Substances.Of(side);
    const double mean = *SideMeanTemperature(form, side);
    out.push_back({Level::Hint, SideCheckField(form, side),
                   std::string(SideCaption(side)) + "物性按 " + Named(s) + " 在 " + Format15(s.t) +
                       " ℃ 取值，本次计算的平均温度为 " + Num(mean, 1) + " ℃（相差 " + Num(std::fabs(mean - s.t), 1) +
                       " K）：可执行“更新物性”（菜单 计算）按 " + Num(mean, 1) + " ℃ 重新取物性并重新计算"});
  }
}

}  // namespace

std::vector<const EditD*> SideFields(const TFormPelmora& f, FluidSide side) {
  switch (side) {
    case FluidSide::Vessel: return {f.CopD, f.DenoD, f.VioD, f.LdoD, f.BtoD, f.PcD};
    case FluidSide::VesselVapour: return {f.DHoD, f.CopvD, f.denovD, f.ViovD, f.PcD};
    case FluidSide::Tube: return {f.CipD, f.DeniD, f.ViiD, f.LdiD, f.DHiD};
    case FluidSide::TubeVapour: return {f.CipvD, f.denivD, f.ViivD};
  }
  return {};
}

std::string SideCheckField(const TFormPelmora& form, FluidSide side) {
  const auto fields = SideFields(form, side);
  for (const EditD* e : fields)
    if (e && e->Enabled()) return e->Name();
  return fields.empty() || !fields.front() ? std::string() : fields.front()->Name();
}

std::optional<double> SideMeanTemperature(const TFormPelmora& form, FluidSide side) {
  const bool vessel = side == FluidSide::Vessel || side == FluidSide::VesselVapour;
  auto a = Si(vessel ? form.Tom1D : form.Ti1D, true), b = Si(vessel ? form.Tom2D : form.Ti2D, true);
  if (!a || !b) return std::nullopt;
  return (*a + *b) / 2;
}

VesselPressure VesselPressureOf(const TFormPelmora& form) {
  if (auto p = Si(form.PoD); p && *p > 0) return {*p / 1000, "蒸发压力"};
  if (const auto& s = form.Substances.Of(FluidSide::Vessel); s && s->p > kAtmosphereKPa) return {s->p, "物性取值压力"};
  return {kAtmosphereKPa, "未给出容器压力，按常压"};
}

double VesselWallTemperature(double tVessel, double tTube, double vesselFilm, double wall, double tubeFilm) {
  const double total = vesselFilm + wall + tubeFilm;
  if (!(total > 0)) return tVessel;
  return tVessel + (tTube - tVessel) * vesselFilm / total;
}

std::vector<FluidSide> SidesToUpdate(const TFormPelmora& form) {
  std::vector<FluidSide> out;
  for (FluidSide side : kFluidSides) {
    const auto& s = form.Substances.Of(side);
    if (!s || !SideInUse(form, side)) continue;
    auto mean = SideMeanTemperature(form, side);
    if (mean && std::fabs(*mean - s->t) > kPropertyTemperatureTolerance) out.push_back(side);
  }
  return out;
}

void AddSubstanceChecks(const TFormPelmora& form, const PropLibrary& lib, std::vector<DesignCheck>& checks) {
  if (form.Substances.Empty()) return;
  std::vector<DesignCheck> more;
  BoilingChecks(form, lib, more);
  RangeChecks(form, lib, more);
  TemperatureChecks(form, more);
  for (DesignCheck& c : more) {
    if (c.level == Level::Infeasible) {
      auto firstOther =
          std::find_if(checks.begin(), checks.end(), [](const DesignCheck& d) { return d.level != Level::Infeasible; });
      checks.insert(firstOther, std::move(c));
    } else {
      checks.push_back(std::move(c));
    }
  }
}

namespace {
// The record's density (MD) at t and p; nothing where it has no positive finite value.
std::optional<double> DensityAt(const PropRecord& rec, double t, double pKPa) {
  TMyValues grid;
  grid.AddValue("t", FloatToStr(t), "C", "温度");
  grid.AddValue("p", FloatToStr(pKPa), "kPa(A)", "绝对压力");
  try {
    PropertyOutcome o = EvaluateProperty("MD", rec, grid);
    if (o.kind != PropertyOutcome::Kind::Value || !std::isfinite(o.value) || !(o.value > 0)) return std::nullopt;
    return o.value;
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

}  // namespace

std::optional<double> ExpansionFromDensity(const PropRecord& rec, double tC, double pKPa, double densityAtT) {
  auto lo = DensityAt(rec, tC - 1, pKPa), hi = DensityAt(rec, tC + 1, pKPa);
  if (!lo || !hi) return std::nullopt;
  const double beta = -(*hi - *lo) / (2 * densityAtT);
  if (!std::isfinite(beta)) return std::nullopt;
  return beta;
}

std::optional<double> ExpansionFromDensity(const PropRecord& rec, double tC, double pKPa) {
  const auto mid = DensityAt(rec, tC, pKPa);
  if (!mid) return std::nullopt;
  return ExpansionFromDensity(rec, tC, pKPa, *mid);
}

}  // namespace pelmora

#include "fields/Substances.h"

#include <cmath>

#include "fields/NumberFormat.h"

namespace pelmora {

namespace {
struct SideNames {
  const char* button;
  const char* caption;
  const char* property;
};
constexpr std::array<SideNames, 4> kNames = {{{"SBP1", "容器", "SubstanceVessel"},
                                              {"SBP1v", "容器蒸汽", "SubstanceVesselVapour"},
                                              {"SBP2", "管程", "SubstanceTube"},
                                              {"SBP2v", "管程蒸汽", "SubstanceTubeVapour"}}};
}  // namespace

const char* ButtonOf(FluidSide side) { return kNames[static_cast<size_t>(side)].button; }
const char* SideCaption(FluidSide side) { return kNames[static_cast<size_t>(side)].caption; }
const char* SideRecordProperty(FluidSide side) { return kNames[static_cast<size_t>(side)].property; }

std::optional<FluidSide> SideOfButton(const std::string& button) {
  for (FluidSide s : kFluidSides)
    if (button == ButtonOf(s)) return s;
  return std::nullopt;
}

std::string FormatSideSubstance(const SideSubstance& s) {
  return s.no + ";" + Format15(s.t) + ";" + Format15(s.p) + ";" + s.name;
}

std::optional<SideSubstance> ParseSideSubstance(const std::string& value) {
  const size_t a = value.find(';');
  if (a == std::string::npos) return std::nullopt;
  const size_t b = value.find(';', a + 1);
  if (b == std::string::npos) return std::nullopt;
  const size_t c = value.find(';', b + 1);
  if (c == std::string::npos) return std::nullopt;
  SideSubstance s;
  s.no = value.substr(0, a);
  auto t = ParseDecimal(value.substr(a + 1, b - a - 1));
  auto p = ParseDecimal(value.substr(b + 1, c - b - 1));
  if (s.no.empty() || !t || !p || !std::isfinite(*t) || !std::isfinite(*p)) return std::nullopt;
  s.t = *t;
  s.p = *p;
  s.name = value.substr(c + 1);
  return s;
}

}  // namespace pelmora

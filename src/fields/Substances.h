#pragma once
// Which library substance fills each side of the coil: what the property dialog's 确定
// took its values from (the record, its name, and the t and p of the value grid). The
// project keeps it beside the fields, saves it as extra records of its file and reads it
// back; a project that never used the dialog (or an older file) knows no substance, and
// every check that needs one is left out.
#include <array>
#include <optional>
#include <string>

namespace pelmora {

// The four property buttons of the window: the vessel side's liquid (SBP1) and vapour
// (SBP1v), the tube side's liquid (SBP2) and vapour (SBP2v).
enum class FluidSide { Vessel = 0, VesselVapour = 1, Tube = 2, TubeVapour = 3 };
inline constexpr std::array<FluidSide, 4> kFluidSides = {FluidSide::Vessel, FluidSide::VesselVapour, FluidSide::Tube,
                                                         FluidSide::TubeVapour};

struct SideSubstance {
  std::string no;    // the library record's NO
  std::string name;  // its Chinese name when it was taken (for messages without the library)
  double t = 0;      // °C, the grid's t
  double p = 0;      // kPa absolute, the grid's p
  bool operator==(const SideSubstance&) const = default;
};

class ProjectSubstances {
 public:
  const std::optional<SideSubstance>& Of(FluidSide side) const { return sides_[static_cast<size_t>(side)]; }
  void Set(FluidSide side, std::optional<SideSubstance> s) { sides_[static_cast<size_t>(side)] = std::move(s); }
  bool Empty() const {
    for (const auto& s : sides_)
      if (s) return false;
    return true;
  }
  void Clear() { sides_ = {}; }
  bool operator==(const ProjectSubstances&) const = default;

 private:
  std::array<std::optional<SideSubstance>, 4> sides_;
};

// The property button of a side and back ("SBP1" ... "SBP2v"); nothing for another name.
const char* ButtonOf(FluidSide side);
std::optional<FluidSide> SideOfButton(const std::string& button);
// "容器", "容器蒸汽", "管程", "管程蒸汽".
const char* SideCaption(FluidSide side);
// The record property a side is stored under ("SubstanceVessel", ...).
const char* SideRecordProperty(FluidSide side);

// The value of a side's record: "NO;t;p;name" with t and p in the shortest decimal form.
// Parsing refuses a value that is not of this form (nothing, not an error: the side then
// knows no substance).
std::string FormatSideSubstance(const SideSubstance& s);
std::optional<SideSubstance> ParseSideSubstance(const std::string& value);

}  // namespace pelmora

#pragma once
// The vessel definition page: volume groups, wetted heat-loss areas of the four vessel
// shapes, the copy into the calculation page, the impeller check and the tube-count
// estimate.
#include <functional>
#include <optional>
#include <string>

#include "fields/Catalogue.h"
#include "fields/ModeEnums.h"

namespace pelmora {

// Liquid depths and wetted areas of the vessel shapes (SI). The depth iterations are
// bounded and stay inside the part of the vessel that holds the root; they return
// nullopt when they do not settle. The fill coefficient must lie in 0 < Kv <= 1.
namespace vessel {
// Depth of a spherical cap holding Kv of a sphere of radius R.
std::optional<double> SphereDepth(double R, double Kv);
// Depth of liquid in a horizontal cylinder of diameter D filled to Kv of its section.
std::optional<double> HorizontalTankDepth(double D, double Kv);
// Central angle (half of the wetted arc) of a horizontal cylinder filled to depth h.
double TankHalfAngle(double D, double h, bool overHalf);
}  // namespace vessel

class Geometry {
 public:
  explicit Geometry(TFormPelmora& form);  // installs the handlers on the form

  void VsDExit(Component* sender);
  void VNDChange(Component* sender);
  void VNDClick(Component* sender);
  void BTVesselClick(Component* sender);
  void midDExit(Component* sender);
  void SBnClick(Component* sender);

  // The result tolerance left by the last recalculation run (0 before the first).
  std::function<double()> tolerance;

  static constexpr const char* kBadFill = "错误：充装系数须大于0且不大于1。";
  static constexpr const char* kBadSize = "错误：容器体积和尺寸须大于0。";
  static constexpr const char* kNoDepth = "错误：液位计算不收敛，请检查容器尺寸。";
  static constexpr const char* kImpeller = "错误：浆叶直径大于等于容器内径。";

 private:
  void SolveVolumeGroup(VesselShape shape);
  // The wetted area of the shape, or nullopt after a status message.
  std::optional<double> WettedArea(VesselShape shape);
  void Status(const std::string& text);

  TFormPelmora& f_;
};

}  // namespace pelmora

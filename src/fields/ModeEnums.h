#pragma once
// The operating modes chosen in the window's radio groups and lists, by name. The
// numbers are the item indices the components hold and the project files store; they
// never change. `None` stands for no selection (an item index of -1).
namespace pelmora {

// RGEType "容器型式"
enum class VesselType { None = -1, StorageTank = 0, Bath = 1, TwoStreams = 2 };
// RGFType "对流方式"
enum class Convection { None = -1, Natural = 0, Agitated = 1, ExternalLoop = 2 };
// PhoD and PhiD "流体相态", the vessel side and the tube side
enum class Phase { None = -1, Single = 0, Condensing = 1, Evaporating = 2 };
// TShapeD "管子形式"
enum class TubeShape { None = -1, UTube = 0, Helical = 1 };
// VND "容器选择"
enum class VesselShape { None = -1, Sphere = 0, FlatCylinder = 1, Cuboid = 2, HorizontalDomeTank = 3 };
// EVTD "散热方向"
enum class HeatLossTo { None = -1, Air = 0, Ground = 1 };
// mitD "搅拌器型式" (the last item is a blank for constants typed by the user)
enum class Impeller { None = -1, Turbine = 0, Paddle = 1, Propeller = 2, Custom = 3 };
// RGLGDY "图例垂直调整"
enum class LegendPlace { None = -1, Top = 0, Middle = 1, Bottom = 2 };

// The item index of a mode.
template <class E>
constexpr int Index(E mode) {
  return static_cast<int>(mode);
}
// The mode a radio group or list selects.
template <class E, class C>
E ModeOf(const C& choice) {
  return static_cast<E>(choice.ItemIndex());
}
// Selects a mode in a radio group or list, as code does.
template <class E, class C>
void SelectMode(C& choice, E mode) {
  choice.SetItemIndex(Index(mode));
}
// A side that condenses or evaporates.
constexpr bool ChangesPhase(Phase p) { return p > Phase::Single; }

}  // namespace pelmora

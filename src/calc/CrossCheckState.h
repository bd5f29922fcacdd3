#pragma once
// Internal to the method check: the reader of the fields and the rows it builds, shared
// by the film rows (CrossCheck.cpp) and the overall coefficient, area, margin and
// pressure-drop rows (CrossCheckArea.cpp).
#include <functional>
#include <optional>
#include <string>

#include "calc/CrossCheck.h"
#include "fields/ModeEnums.h"

namespace pelmora::crosscheck {

// A number as the design checks write it (CheckNumber's format).
std::string Num(double x);

class Checker {
 public:
  explicit Checker(const TFormPelmora& form, const FilmSource& vessel = {});
  CrossCheckResult Run();

 private:
  // The SI value a field shows: nothing when it is disabled (unless `evenDisabled`),
  // empty, not a number, not finite or marked stale.
  std::optional<double> Si(const EditD* e, bool evenDisabled = false) const;
  // A row of `field` with this program's value and the method it is checked by.
  CrossCheckRow& Add(const EditD* field, const char* unit, std::optional<double> value, std::string method,
                     std::string source);
  CrossCheckRow& AddNamed(std::string field, std::string quantity, const char* unit, std::optional<double> value,
                          std::string method, std::string source);
  // Sets the estimate (a value that is not finite and positive leaves the row without one).
  void Set(CrossCheckRow& row, double independent, std::string note = std::string(), bool inRange = true);
  static void NotApplicable(CrossCheckRow& row, std::string why);
  // Runs `compute`; a floating-point fault or a conversion error becomes the row's note.
  void Try(CrossCheckRow& row, const std::function<void()>& compute);

  // Film rows (CrossCheck.cpp).
  void TubeSide();
  void TubeSinglePhase(CrossCheckRow& row);
  void TubeCondensation();
  void VesselSide();
  void FreeAndForcedConvection(CrossCheckRow& row);
  // The vessel liquid's density, viscosity, cp, conductivity and expansion coefficient
  // (SI) from its library record at tC; nothing when one cannot be had.
  struct Liquid {
    double rho, mu, cp, k, beta;
  };
  std::optional<Liquid> FilmLiquid(double tC) const;
  void AgitatedVessel(CrossCheckRow& row);
  void VesselCondensation(CrossCheckRow& row);
  void VesselBoiling();
  double HeatFlux() const;  // |Qi| / (tau.A) on the outer tube surface, W/m2

  // Overall coefficient, area, margin and pressure drop (CrossCheckArea.cpp).
  void Overall();
  void Area();
  void Margin();
  void PressureDrop();
  void Levels();
  // The area of the independent method over this program's that a row implies.
  std::optional<double> AreaRatio(const CrossCheckRow& row) const;
  // The loss to the surroundings the sizing took into account: Ke, Ae, Te (zeros when
  // its inputs were not all given).
  struct Loss {
    double Ke = 0, Ae = 0, Te = 0;
  };
  Loss SizingLoss() const;
  std::optional<double> OverallWith(std::optional<double> ho, std::optional<double> hi) const;
  // The area this program's model needs at the overall coefficient K.
  std::optional<double> ProgramModelArea(double K) const;
  // The area of the independent area model at K; `why` says why there is none.
  std::optional<double> IndependentModelArea(double K, std::string* why = nullptr) const;
  // The lowest in-range estimate of a side's film coefficient, if any.
  std::optional<double> LowestEstimate(const char* field) const;

  const TFormPelmora& f_;
  FilmSource film_;
  CrossCheckResult out_;
  VesselType vesselType_;
  Convection convection_;
  Phase tubePhase_, vesselPhase_;
  TubeShape shape_;
  std::optional<double> Kprogram_;  // from koD and kiD with the sizing's resistance sum
};

}  // namespace pelmora::crosscheck

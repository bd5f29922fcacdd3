#pragma once
// The thermal calculation of the coil: the recalculation driver Recalculate, which solves
// the heat balances, sizes the coil with GetFx and derives lengths, passes and the
// tube-side pressure drop; and the sizing pass GetFx with its vessel-side, tube-side,
// overall-coefficient, heat-loss and area-update stages.
#include <array>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "calc/Balance.h"
#include "calc/Checks.h"
#include "calc/CrossCheck.h"
#include "calc/Geometry.h"
#include "calc/Modes.h"
#include "fields/Catalogue.h"
#include "fields/ModeEnums.h"

namespace pelmora {

// Texts the calculation writes into panel 1 of the status bar.
inline constexpr const char* kTempCross = "温差交叉!";
inline constexpr const char* kLowF = "温差校正系数<0.8，如可能请调整工艺数据!";
inline constexpr const char* kCoilTooHigh = "壳体高度不够，放不下盘管！";
inline constexpr const char* kAgitationPhaseChange = "搅拌方式不适用于壳程相变流体！";
inline constexpr const char* kBathHeatSign =
    "恒温浴的容器热量与传热方向不符：盘管加热时为正值（浴吸收的热量），盘管冷却时为负值！";
inline constexpr const char* kInterrupted = "计算中断：";
inline constexpr const char* kInfeasible = "设计不可行：";
inline constexpr const char* kHeatAbsorbing = "吸热流体";
inline constexpr const char* kHeatReleasing = "放热流体";

class Calculation {
 public:
  // Installs MaoDExit and SBAutoRunClick on the form.
  Calculation(TFormPelmora& form, Modes& modes, Geometry& geometry);

  // One full recalculation over the current field contents: the driver passes, then
  // the checks, the method check and the stale marks of what a stopped run left. The
  // command line, the study and the batch curve call it; a field's exit runs it through
  // the handler MaoDExit.
  void Recalculate();
  // The exit handler of the value fields (the sender is not used): Recalculate().
  void MaoDExit(Component* sender);
  // Every result is marked stale after a run that stopped (what it wrote as well as
  // what it did not reach) or when an edit made the results out of date; a completed
  // run clears every mark.
  void MarkAllResultsStale(const std::string& reason);
  bool AnyStale() const;
  // Another project replaces this one: no checks, no stale marks.
  void ForgetRun();
  // The checks of the results the fields hold (those of a file whose results were
  // current when it was saved).
  void ChecksFromFields();
  // Called after every completed run.
  std::function<void()> runCompleted;
  // Adds the checks of a completed run that need more than the fields (the library
  // substances of the sides, wired by the application).
  std::function<void(std::vector<DesignCheck>&)> moreChecks;
  static bool IsResult(const EditD& e);
  void SBAutoRunClick(Component* sender);

  // One sizing pass: the converged area, or a negative value when an input is missing.
  // A is the area estimate where the pass ended.
  double GetFx(double& A);
  // LMTD and its correction factor from the four stream temperatures: writes CdtD and
  // TTaD and sets CorrectedMeanDifference.
  void MeanTempDifference();
  double CounterFlowLmtd(double vesselIn, double vesselOut, double tubeIn, double tubeOut);
  double CorrectionFactorF(double tubeOut, double tubeIn, double vesselOut, double vesselIn);

  double Tolerance = 0.000001;
  // The design checks of the last completed run (empty while a run is under way or
  // after one that stopped with a message); `checksChanged` is called after each update.
  std::vector<DesignCheck> checks;
  std::function<void()> checksChanged;
  // The method check of the last completed run (independent methods beside the
  // coefficients, the area and the pressure drop; the margin they ask for), cleared
  // like the checks; `crossCheckChanged` is called after each update. Its warnings are
  // among the checks. Off (`crossChecking` false) only to measure what it costs.
  CrossCheckResult crossCheck;
  std::function<void()> crossCheckChanged;
  bool crossChecking = true;
  // The vessel liquid's library record, when the project knows it (its free-convection
  // estimate then takes properties at the film temperature); empty: not known.
  std::function<FilmSource()> vesselFilm;
  // What the last sizing pass noted for the checks (fallback taken, F undefined).
  RunFacts facts;
  // How the last run ended: the checks describe a completed run only; after a stopped
  // one (a message, a missing input, a fault) there are none to show, which is not the
  // same as a clean design. `checksChanged` is called when this changes too.
  enum class RunState { NotRun, Completed, Stopped };
  RunState lastRun = RunState::NotRun;
  double CorrectedMeanDifference = 0;

  // Bounds of the iterations (generous; reaching one ends the run with kNotConverged).
  static constexpr int kMaxPasses = 500;
  static constexpr int kMaxAreaIterations = 500;
  static constexpr int kMaxRegimeRounds = 100;

 private:
  enum class Outcome { Completed, Stopped, Off };
  Outcome RunPasses();
  void MarkResultsStale(const std::string& reason);
  void ClearStale();
  // Steps of Recalculate.
  void SetChecks(std::vector<DesignCheck> c, RunState state);

 public:
  // Puts back what a run left beside the fields (undo: the state of a step).
  void RestoreRun(std::vector<DesignCheck> c, RunState state, CrossCheckResult cross);

 private:
  void SetCrossCheck(CrossCheckResult c);
  std::vector<DesignCheck> WithCrossCheck(std::vector<DesignCheck> c);
  std::optional<uint64_t> crossCheckInputs_;     // what the current method check was computed from
  std::vector<DesignCheck> crossCheckWarnings_;  // and the design checks it adds
  void AfterCompletedRun();
  std::vector<DesignCheck> WithMoreChecks(std::vector<DesignCheck> c) const;
  void AfterStoppedRun();
  void SayFeasibility();
  // A property the run is given that is not positive ends it with a message naming it.
  void RefuseNonPhysicalProperties();
  void PrepareRecalculation();
  void StartPass(int pass);
  void SolveFieldGroups();
  void MeanFigures(VesselType vesselType);
  std::optional<double> TubeLengths();                            // the installed length, when the area is known
  bool PassCount(double Lr, std::optional<double>& shapeFactor);  // true when m changed

  struct Fx;  // values of one GetFx call
  // Steps of GetFx.
  bool ReadSizingInputs(Fx& s);
  double StartingArea();
  bool Coefficients(Fx& s, double& A);
  enum class BatchStep { Missing, Next, SteadyState };
  BatchStep NextBatchArea(Fx& s, double& A);

  bool VesselSide(Fx& s, double& A);
  // Steps of VesselSide.
  void FreeConvection(Fx& s, double A);
  bool CrossFlow(Fx& s, double& A);
  void Agitated(Fx& s);
  bool TubeSide(Fx& s, double A);
  bool Overall(Fx& s);
  bool HeatLoss(Fx& s);
  void CoilHeight();
  void CheckBathHeat();
  double BathArea(const Fx& s, double heat);
  double BathTemperature();
  double BathMeanDifference(double bath);

  void FluidRoles();
  bool SolveBalances();  // true when a group wrote or released a field
  bool TubeVelocities();
  void PressureDrop(std::optional<double> shapeFactor);
  double Friction(int mode, double Re, double D, double eps);

  void Status(const char* text);
  void ClearStatus(const char* text);
  [[noreturn]] void NotConverged();

  TFormPelmora& f_;
  Modes& modes_;
  Geometry& geometry_;

  std::array<EditD*, 6> tube0_;
  std::array<EditD*, 8> tube1_, tube2_;
  std::array<EditD*, 5> vessel0_;
  std::array<EditD*, 8> vessel1_, vessel2_;
  std::array<EditD*, 4> heat_;
};

}  // namespace pelmora

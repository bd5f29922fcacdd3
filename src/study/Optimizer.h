#pragma once
// Design optimizer (设计优选): every combination of a few design choices — the tube size
// from the catalogue, the number of parallel tubes, the pitch, the coil diameter or leg
// length — computed as a study point on a copy of the window (the project is only
// read), judged by the run's design checks and ranked by one objective: the least
// actual area, tube length or tube-side pressure drop. Points are spread over the cores
// as the parameter study spreads them.
#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/PelmoraApp.h"
#include "select/PipeCatalogue.h"

namespace pelmora {

// The name of the tube-size variable; its values are catalogue sizes ("32×3") whose
// outer and inner diameter are set together, as taking a size from the page 管道系列 does.
inline constexpr const char* kTubeVariable = "tube";
// The value fields the optimizer varies besides the tube size: the number of parallel
// tubes, the pitch and the coil diameter (helical) or leg length (U-tube).
inline constexpr const char* kCountVariable = "nD";
inline constexpr const char* kPitchVariable = "DspD";
inline constexpr const char* kCoilVariable = "SlD";

struct OptimizerVariable {
  std::string name;                 // kTubeVariable, "nD", "DspD" or "SlD"
  std::vector<std::string> values;  // sizes, or texts typed in the field's current unit
};

enum class OptimizerObjective { ActualArea, TubeLength, PressureDrop };
// Every objective, in the order the dialog lists them.
inline constexpr OptimizerObjective kOptimizerObjectives[] = {
    OptimizerObjective::ActualArea, OptimizerObjective::TubeLength, OptimizerObjective::PressureDrop};

// The value field of an objective ("ArD", "LrD", "DpiD") and its Chinese name.
const char* ObjectiveField(OptimizerObjective objective);
const char* ObjectiveCaption(OptimizerObjective objective);
// "ArD", "LrD" or "DpiD"; nothing for another text.
std::optional<OptimizerObjective> ObjectiveNamed(const std::string& field);

// The recommended margin (percent of the area) that an independent estimate of the
// coefficients asks for, read from a completed run on a copy; nothing when the run
// offers none.
using MarginSource = std::function<std::optional<double>(const PelmoraApp& run)>;

// ---- HOOK: the second opinion's recommended margin ---------------------------------
// The constraint "推荐富余度不大于项目的富余度" reads the margin through this source.
// Until the calculation offers a recommended margin this returns an empty function,
// and the constraint is offered disabled (dialog) or refused (command line).
MarginSource RecommendedMarginSource();

struct OptimizerRequest {
  std::vector<OptimizerVariable> variables;  // the first varies slowest
  OptimizerObjective objective = OptimizerObjective::ActualArea;
  bool noWarnings = true;    // reject a design with any check of level 警告
  bool marginCheck = false;  // reject one whose recommended margin exceeds the project's 富余度
  MarginSource margin;       // empty: RecommendedMarginSource()
  int threads = 0;           // 0: one per core
};

// How a point came out. Everything but Accepted rejects it.
enum class Verdict { Accepted, Stopped, NotComputed, Infeasible, Warning, Margin };
// "可行", "计算中断", "未算出", "不可行", "警告", "富余度".
const char* VerdictText(Verdict v);

struct OptimizerPoint {
  std::vector<std::string> values;  // one per variable, as typed or picked
  Verdict verdict = Verdict::Stopped;
  std::string reason;                          // the message or check that rejected it (empty when accepted)
  std::string because;                         // short key of the reason for counting: "警告：管内流速"
  bool computed = false;                       // false: the search stopped before it
  std::optional<double> objective;             // SI
  std::vector<std::string> shown;              // texts of OptimizerOutputs() as the fields show them
  std::vector<std::optional<double>> numbers;  // their SI values
  int hints = 0, warnings = 0;
  bool Accepted() const { return verdict == Verdict::Accepted; }
};

// The result fields recorded for every point: actual area, tube length, tube velocity,
// tube-side pressure drop.
const std::vector<std::string>& OptimizerOutputs();

struct OptimizerResult {
  std::vector<std::string> variableHeaders;  // "管子规格", "管数", ... with units
  std::vector<std::string> outputHeaders;    // caption(unit) of OptimizerOutputs()
  std::string objectiveHeader;               // caption(unit) of the objective field
  OptimizerObjective objective = OptimizerObjective::ActualArea;
  std::vector<OptimizerPoint> points;  // grid order
  std::vector<size_t> ranking;         // the accepted points, best first
  std::vector<size_t> neighbours;      // rejected points one step away from the best
  bool cancelled = false;              // stopped before every point was computed
  double seconds = 0;
  size_t Computed() const;
};

inline constexpr size_t kMaxOptimizerPoints = 20000;
inline constexpr size_t kMaxOptimizerValues = 1000;  // per variable

// Points done so far and in all; return false to stop the search. Called on the thread
// that runs the search, a few times a second and once at the end.
using OptimizerProgress = std::function<bool(size_t done, size_t total)>;

// Checks the request against the window: empty when it can run, otherwise the reason.
std::string ValidateOptimizer(const TFormPelmora& form, const OptimizerRequest& request);
// Runs the search over copies of `project`'s window (only read). Throws
// std::invalid_argument with the reason of ValidateOptimizer.
OptimizerResult RunOptimizer(const PelmoraApp& project, const OptimizerRequest& request,
                             const OptimizerProgress& progress = {});

// The number of combinations of a request (0 when a variable has no values).
size_t OptimizerGridSize(const OptimizerRequest& request);

// Why no point was accepted: how many points each rejecting constraint stopped, most
// often first ("警告：管内流速 … 812 点"). Empty when some point was accepted.
std::string WhyNothingAccepted(const OptimizerResult& result);

// 应用: puts the design of a point into the project as the engineer would — the tube
// size as a catalogue pick sets both diameters, the other values typed — and
// recalculates. One command (one user action); false when it ended with a message.
bool ApplyOptimizedDesign(PelmoraApp& app, const std::vector<OptimizerVariable>& variables,
                          const std::vector<std::string>& values);

// Every point with its verdict as CSV (CR LF; with a UTF-8 byte-order mark for files).
std::string OptimizerCsv(const OptimizerResult& result, bool byteOrderMark);
// The best `top` points and the rejected neighbours as a text table for the terminal.
std::string OptimizerTable(const OptimizerResult& result, size_t top);

// ---------------------------------------------------------------- the variables

// The tube series of a catalogue, in catalogue order: grouped by the standard a size is
// bought to where the catalogue names one, every shipped size as one series where it
// does not, and the user's own sizes as "自定规格". Sizes that do not parse are left out.
struct TubeSeries {
  std::string name;
  std::vector<std::string> sizes;  // "32×3"
};
std::vector<TubeSeries> CatalogueSeries(const PipeCatalogue& catalogue);
inline constexpr const char* kOwnSeries = "自定规格";
inline constexpr const char* kAllShippedSeries = "管道系列";

// The series that holds the tube the project has now (outer and inner diameter within
// 0.01 mm); the first series when none does.
size_t CurrentSeries(const TFormPelmora& form, const std::vector<TubeSeries>& series);
// The size text of the project's tube when the catalogue has it.
std::optional<std::string> CurrentTubeSize(const TFormPelmora& form, const PipeCatalogue& catalogue);

// The largest coil diameter (helical) or leg length (U-tube) the vessel allows, SI m,
// with the reason in words; nothing when the vessel gives no limit.
struct CoilLimit {
  double meters = 0;
  bool strict = false;  // helical: Sl must stay below it
  std::string text;     // "螺旋盘管直径须小于容器内径 3 m"
};
std::optional<CoilLimit> CoilSizeLimit(const TFormPelmora& form);

// What the optimizer offers on a project: each variable's caption, whether its fields can
// be typed into now, and the coil range to start from (0.75 to 1.25 times the present
// value, never beyond what the vessel allows), in the field's current unit.
struct OptimizerOffer {
  std::string countCaption, pitchCaption, coilCaption;
  bool tube = false, count = false, pitch = false, coil = false;
  std::optional<double> coilFrom, coilTo;
  std::string coilNote;  // the unit and the vessel's limit, "单位 m；螺旋盘管直径须小于…"
};
OptimizerOffer OfferOptimizer(const TFormPelmora& form, bool haveSeries);

// The default search: the project's tube series, 1 to 12 parallel tubes and the pitch
// list (the variables whose fields cannot be typed into now are left out).
std::vector<OptimizerVariable> DefaultOptimizerVariables(const TFormPelmora& form, const PipeCatalogue& catalogue);

// Parses "VAR=VALUES[,VAR=VALUES...]" (VAR tube, nD, DspD or SlD; VALUES "A:B" whole
// numbers, "A:B:N" N values from A to B, or a list "a|b|c"; for tube a series name,
// "*" for every series, or a list of sizes). Throws std::invalid_argument.
std::vector<OptimizerVariable> ParseOptimize(const std::string& text, const PipeCatalogue& catalogue);

}  // namespace pelmora

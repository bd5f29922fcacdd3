#pragma once
// The calculation window with every subsystem that acts on it. Constructing it builds
// the window description and installs the handlers of each subsystem on the form; the
// desktop program and the command line are two views of one PelmoraApp.
#include "app/Help.h"
#include "app/ResultsState.h"
#include "app/Shell.h"
#include "app/UndoHistory.h"
#include "calc/Calculation.h"
#include "calc/Curve.h"
#include "calc/Geometry.h"
#include "calc/Modes.h"
#include "fields/Catalogue.h"
#include "fields/UiPort.h"
#include "project/ProjectCommands.h"
#include "project/Recovery.h"
#include "report/Report.h"
#include "select/Selection.h"
#include "simp/FormSimpPL.h"

namespace pelmora {

class PelmoraApp {
 public:
  // `programFolder` is where the data files lie (with a trailing separator).
  explicit PelmoraApp(UiPort* port, std::string programFolder = std::string());

  TFormPelmora form;
  Modes modes;
  Geometry geometry;
  Calculation calc;
  Curve curve;
  Shell shell;
  ProjectCommands project;  // owns the recent-files list MRF
  Selection select;         // pick lists and the tube catalogue (OpenCatalogue at start-up)
  Report report;
  Recovery recovery;     // off until the desktop program switches it on
  TFormSimpPL simp;      // the property dialog, created after the window
  Help help;             // the manual at the field in question
  ResultsState results;  // whether the results shown belong to the inputs shown
  UndoHistory undo;      // last: the commands it makes steps of are all installed

  // Set by the desktop view: opens the parameter-study dialog (参数研究…). Without a
  // view the command says where the study is found instead.
  std::function<void()> openStudy;
  static constexpr const char* kStudyHeadless =
      "参数研究需要图形界面；命令行请用 pelmora-calc --sweep NAME=FROM:TO:N。";
  // The design-optimizer dialog (设计优选…), likewise.
  std::function<void()> openOptimizer;
  static constexpr const char* kOptimizerHeadless =
      "设计优选需要图形界面；命令行请用 pelmora-calc --optimize VAR=VALUES。";

  // What 更新物性 says when it has nothing to do.
  static constexpr const char* kNoSubstances =
      "各侧物性都不是从物性库填入的，无法更新。请用“物性数据库”按钮选择物质，计算后按“确定”填入。";
  static constexpr const char* kPropertiesCurrent =
      "各侧物性的取值温度与本次计算的平均温度相差都不超过 5 K，无需更新。";

  // Runs a user event through the dispatch point (messages, silent aborts, cursor).
  bool Run(const std::function<void()>& action);

  // The status texts of results that are not those of the inputs shown.
  static constexpr const char* kFileResultsStale = "文件中的计算结果不是最新的，请重新计算";
  static constexpr const char* kPickedNotRun = "输入已修改，自动计算已关闭，请重新计算";

 private:
  // Files, recovery copies and the calculation agree on the project's state: a file
  // replaces the project whole, and says whether its results were current.
  void WireProjectState();
  // A command that changes inputs without a run (a pick list, the tube catalogue, the
  // property dialog's 确定): the recalculation follows, as leaving a field does, or,
  // with the automatic calculation off, the results are marked out of date.
  void WatchInputs(const std::string& handler);
  Event WatchingInputs(Event command);
  void AfterInputsChanged(uint64_t before, Component* sender, bool completed);
  // The commands that are one undo step each, and the state an undo puts back beside
  // the components.
  void DeclareUndoSteps();
  // 复制结果 and 重新计算.
  void InstallEditCommands();
  // The library substances of the sides: their checks after every run, 更新物性, and
  // their place in the undo history.
  void InstallSubstances();
};

// The heading of the report's last section and one of its rows.
inline constexpr const char* kChecksHeading = "       计算检查:";
// The first row of the checks of an infeasible design.
inline constexpr const char* kInfeasibleReportNote =
    "设计不可行：下列“不可行”项表明该设计无法实现，本报表中的面积、长度等数值仅供查找原因，不能作为设计结果。";
// The rows of one check: "        警告  caption：text", wrapped to the report's width
// (kChecksRowWidth columns, a Chinese character counting two) with the continuation
// lines indented under the text.
inline constexpr size_t kChecksRowWidth = 92;
std::vector<std::string> CheckReportRows(const TFormPelmora& form, const DesignCheck& check);

// The folder of the running program, with a trailing separator.
std::string ExecutableFolder();

}  // namespace pelmora

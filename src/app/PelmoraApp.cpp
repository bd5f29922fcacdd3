#include "app/PelmoraApp.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

#include "app/CrossCheckReport.h"
#include "app/TableText.h"
#include "fields/Dispatch.h"

namespace pelmora {

PelmoraApp::PelmoraApp(UiPort* port, std::string programFolder)
    : form(port),
      modes(form),
      geometry(form),
      calc(form, modes, geometry),
      curve(form, calc),
      shell(form),
      project(form, modes),
      select(form),
      report(form, curve),
      recovery(form, project),
      simp(port),
      help(form),
      results(form, calc),
      undo(form) {
  form.ProgramFolder = programFolder.empty() ? ExecutableFolder() : std::move(programFolder);
  if (!form.ProgramFolder.empty() && form.ProgramFolder.back() != '/') form.ProgramFolder += '/';
  form.SetProjectModified(false, true);
  // Another project in the window: the curve and the last run's checks are not its own.
  project.discardCurve = [this] {
    curve.Discard();
    calc.ForgetRun();
  };
  geometry.tolerance = [this] { return calc.Tolerance; };
  simp.FormCreate(form.ProgramFolder);
  InstallSimpPL(form, simp);
  project.onSaved = [this] {
    recovery.Remove();
    undo.MarkSaved();
    form.SetUnsaved(false);
  };
  project.afterFileCommand = [this] { recovery.armed = true; };
  project.onReplaced = [this] { undo.Clear(); };
  project.markResultsStale = [this](const std::string& why) { calc.MarkAllResultsStale(why); };
  // The first recalculation after a file command keeps a recovery copy first.
  form.WrapHandler("MaoDExit", [this](const Event& recalculate, Component* s) {
    if (recovery.armed) {
      recovery.armed = false;
      recovery.Write();
    }
    recalculate(s);
  });
  // The vessel dialog's 确定 changes the area or mass the results were computed from.
  form.WrapHandler("BTVesselClick", [this](const Event& ok, Component* s) {
    const std::string area = form.AeD->Text(), mass = form.MaoD->Text();
    ok(s);
    if (form.AeD->Text() != area || form.MaoD->Text() != mass) calc.MarkAllResultsStale("容器定义已修改，请重新计算");
  });
  form.SetHandler("MCStudyClick", [this](Component*) {
    if (openStudy)
      openStudy();
    else
      form.Port().MessageBox(kStudyHeadless, TFormPelmora::kTitle, MsgType::Information, Buttons::Ok, Answer::Ok);
  });
  form.SetHandler("MCOptimizeClick", [this](Component*) {
    if (openOptimizer)
      openOptimizer();
    else
      form.Port().MessageBox(kOptimizerHeadless, TFormPelmora::kTitle, MsgType::Information, Buttons::Ok, Answer::Ok);
  });
  // The design checks of the last run close the report.
  report.AddSectionHook([this](ReportBuilder& b) {
    if (calc.checks.empty()) return;
    std::vector<std::string> rows;
    // An infeasible design is said before its checks, which list it first.
    if (!Feasible(calc.checks))
      for (std::string& r : CheckReportRows(form, {DesignCheck::Level::Infeasible, "", kInfeasibleReportNote, {}}))
        rows.push_back(std::move(r));
    for (const DesignCheck& c : calc.checks)
      for (std::string& r : CheckReportRows(form, c)) rows.push_back(std::move(r));
    b.AppendSection(kChecksHeading, rows);
  });
  // The calculation sheet lists the design checks of the last completed run.
  report.designChecks = [this] { return calc.checks; };
  // … and the method check of that run, with the margin it asks for.
  report.methodChecks = [this] {
    std::vector<MethodCheckRow> rows;
    for (const CrossCheckRow& c : calc.crossCheck.rows)
      rows.push_back({c.field == "K" ? "KTaD" : c.field, c.value, c.independent, c.method, c.source, c.deviation,
                      c.level, c.note});
    return rows;
  };
  report.recommendedMargin = [this] { return calc.crossCheck.summary; };
  InstallSubstances();
  WireProjectState();
  DeclareUndoSteps();
  InstallEditCommands();
  // The method check follows the checks.
  report.AddSectionHook([this](ReportBuilder& b) {
    if (!calc.crossCheck.rows.empty()) b.AppendSection(kCrossCheckHeading, CrossCheckReportRows(calc.crossCheck));
  });
  // Last: every subsystem has installed its handlers.
  form.SealCommands();
  results.Settled();
}

void PelmoraApp::DeclareUndoSteps() {
  undo.Declare("SBClearClick", [this](Component*) { return "清除 " + ControlCaption(form, form.Focused()); });
  undo.Declare("SBP3Click");   // 选择螺距
  undo.Declare("SBDLTClick");  // 选择绝对粗糟度
  undo.Declare("SBP11Click", "选择膨胀系数");
  undo.Declare("SBDiClick");  // 选择钢管系列
  undo.Declare("SBnClick");   // 估算管根数
  undo.Declare("Button3Click", "选用钢管");
  undo.Declare("BTVesselClick", "容器定义 确定");
  undo.Declare("SBPrepCurveClick", "准备绘制曲线");
  // The property dialog's 确定 copies its values into the window.
  simp.Commands().Wrap("BBOKClick", [this](const Event& ok, Component* s) {
    UndoHistory::Step step(undo, "填入物性");
    ok(s);
  });
  // Beside the components: the checks of the run and the curve drawn for that state.
  undo.AddState([this] {
    return [this, checks = calc.checks, state = calc.lastRun, cross = calc.crossCheck] {
      calc.RestoreRun(checks, state, cross);
    };
  });
  undo.AddState([this] { return [this, saved = results.Save()] { results.Restore(saved); }; });
  undo.AddState([this] {
    return [this, data = curve.data] {
      curve.data = data;
      form.PaintBox1->Invalidate();
    };
  });
  // The modified flag and the title's mark follow what the window holds against its file.
  undo.afterRestore = [this] { form.SetProjectModified(project.HasUnsavedChanges(), true); };
  undo.afterStep = [this] { form.SetUnsaved(undo.Unsaved()); };
}

void PelmoraApp::InstallEditCommands() {
  auto copy = [this](Component*) { form.Port().SetClipboardText(TabSeparated(ResultsTable(form, calc.checks))); };
  form.BindCommand("MECopyClick", copy, {"SBCopyClick"});
  form.BindCommand("MCRecalcClick", [this](Component* s) { form.RunHandler("MaoDExit", s); }, {}, {"F9"});
}

std::vector<std::string> CheckReportRows(const TFormPelmora& form, const DesignCheck& check) {
  std::string where;
  if (const auto* e = As<EditD>(form.Find(check.field))) where = e->QuantityName() + "：";
  const std::string head = std::string("        ") + LevelText(check.level) + "  ";
  // Eight blanks, the level (two or three Chinese characters, two columns each) and two blanks.
  const size_t indent = 8 + std::string(LevelText(check.level)).size() / 3 * 2 + 2;
  const std::string text = where + check.text;
  std::vector<std::string> rows;
  AppendWrapped(rows, head, text, indent, kChecksRowWidth, false);
  return rows;
}

bool PelmoraApp::Run(const std::function<void()>& action) { return Dispatch(form, action); }

std::string ExecutableFolder() {
  // Tests and scripted runs may point at another program folder.
  if (const char* dir = std::getenv("PELMORA_PROGRAM_DIR"); dir && *dir) {
    std::string d = dir;
    return d.back() == '/' ? d : d + '/';
  }
  char buf[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return "./";
  std::string p(buf, static_cast<size_t>(n));
  size_t slash = p.rfind('/');
  if (slash == std::string::npos) return "./";
  std::string folder = p.substr(0, slash + 1);
  // An installed program (bin/pelmora) finds its data in share/pelmora beside bin/.
  std::string shared = folder + "../share/pelmora/";
  struct stat st {};
  if (::stat(shared.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    if (char* real = ::realpath(shared.c_str(), nullptr)) {
      std::string r = std::string(real) + "/";
      std::free(real);
      return r;
    }
    return shared;
  }
  return folder;
}

}  // namespace pelmora

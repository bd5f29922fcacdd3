#include "cli/CliRunner.h"
#include "report/ReportPdf.h"

#include <algorithm>
#include <climits>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <type_traits>

#include "app/PelmoraApp.h"
#include "chart/SvgCanvas.h"
#include "cli/CrossCheckJson.h"
#include "cli/Json.h"
#include "fields/Dispatch.h"
#include "fields/DurableFile.h"
#include "fields/Errors.h"
#include "fields/NumberFormat.h"
#include "fields/Properties.h"
#include "fields/Text.h"
#include "props/PropLib.h"
#include "props/PropsCommands.h"
#include "select/PickList.h"
#include "study/Optimizer.h"
#include "study/Study.h"
#include "study/StudyDefaults.h"

namespace pelmora {

namespace {

const char* kUsage =
    "Usage: pelmora-calc [PROJECT.pmf] [options...]\n"
    "Options are applied in the order given, each as a user would do it:\n"
    "  --set NAME=TEXT     type TEXT into a field (its change handler runs)\n"
    "  --unit NAME=INDEX   choose a unit of a unit selector (the number is rescaled)\n"
    "  --select NAME=INDEX choose a list item or radio button (its handlers run)\n"
    "  --exit NAME         leave a field (its exit handler runs)\n"
    "  --recalc            run the recalculation once, as leaving an input field does\n"
    "  --click NAME        press a button, tool button or menu item\n"
    "  --key NAME=KEY      press KEY (Tab, Backtab, Enter, Up, Down, F1, Escape) in a control;\n"
    "                      the control takes the focus first, as a click into it does\n"
    "  --commands          list every command control with its handler and bound or disabled\n"
    "  --curve FILE.svg    write the time-temperature chart (computed first when there is none)\n"
    "  --open FILE.pmf     Open, FILE standing for the dialog's answer (a bare first argument\n"
    "                      PROJECT.pmf opens it as the program's start-up does)\n"
    "  --new TEMPLATE.pmt  New from a template\n"
    "  --save FILE.pmf     Save as\n"
    "  --save-template FILE.pmt  Save as template (without the report)\n"
    "  --save-report FILE  save the report area as RTF (保存报表 with FILE as the answer)\n"
    "  --report-pdf FILE   export the report as PDF (导出PDF报告 with FILE as the answer)\n"
    "  --clear NAME        clear a value field as the tool button does (answered by --yes)\n"
    "  --pick TEXT         answer the next pick list: type TEXT into its input field and confirm\n"
    "  --pick-row N        answer the next pick list: click row N (from 1) and confirm\n"
    "                      (a pick list without one of these is cancelled)\n"
    "  --yes               answer questions with Yes (default: No)\n"
    "  --undo              undo the last step (撤销: a field typed and left, a choice, a pick,\n"
    "                      a command); the window is as it was before it, results included\n"
    "  --redo              redo the step undone last (重做)\n"
    "  --update-props      更新物性: take the properties of every side filled from the library\n"
    "                      again at the last run's mean temperature, then recalculate\n"
    "Property dialog (--click SBP1, SBP1v, SBP2 or SBP2v opens it; it stays open until\n"
    "--click BBOK or --click BBCancle; while it is open --set, --unit, --select and --click\n"
    "act on its components first):\n"
    "  --record NO         make library record NO current (as a click on its row)\n"
    "  --set t=60          a row of the value grid by its name (t, p or a formula variable)\n"
    "  --set MaskEdit1=PW  type the maintenance password\n"
    "  --click DBNavigator1.Insert  a navigator button (First Prior Next Last Insert Delete\n"
    "                      Edit Post Cancel Refresh)\n"
    "  --help-topic NAME   what help on component NAME (F1, 这是什么？) opens: the topic, the\n"
    "                      bookmark found in the manual (or 目录) and its page\n"
    "  --help-topics       list every label caption and hint of the window in every mode\n"
    "  --json              print the state of every component, the status bar, the messages,\n"
    "                      the design checks and the method check (\"crosschecks\", with the\n"
    "                      \"recommendedMargin\" in %) of the last run\n"
    "Parameter study (run after the other options, on a copy; the project is not changed):\n"
    "  --sweep NAME=FROM:TO:N  N evenly spaced values of an input field, both ends included,\n"
    "                      in the field's current unit; repeat for a second input (a grid)\n"
    "  --output NAME,...   the result fields recorded (default AtD,LtD,TTaD,KTaD,WiD,DpiD);\n"
    "                      recommendedMargin records the margin in % that the method check\n"
    "                      of each point asks for (column 校核建议富余度(%))\n"
    "  --csv FILE          write the table as CSV (UTF-8 with BOM); without it, to standard output\n"
    "Design optimizer (设计优选; after the other options, on copies; the project is not changed\n"
    "unless --apply-best):\n"
    "  --optimize VAR=VALUES[,VAR=VALUES...]  every combination of the variables: VAR is tube\n"
    "                      (VALUES a catalogue series name, * for every series, or sizes\n"
    "                      25×2.5|32×3) or nD, DspD, SlD (VALUES A:B whole numbers, A:B:N N values\n"
    "                      from A to B, or a list a|b|c, in the field's current unit)\n"
    "  --objective F       ArD (least actual area, default), LrD (least tube length) or DpiD\n"
    "                      (least tube-side pressure drop)\n"
    "  --top N             the best N designs printed (default 10)\n"
    "  --allow-warnings    accept designs with checks of level 警告 (only 不可行 rejects)\n"
    "  --require-margin    reject designs whose recommended margin exceeds the project's 富余度\n"
    "  --apply-best        search here, put the best design into the project and recalculate;\n"
    "                      the options after it (--json, --save, ...) see that design\n"
    "  --csv FILE          every point with its verdict as CSV (UTF-8 with BOM)\n"
    "  With no design that meets the constraints it says which constraint rejected the\n"
    "  points most often and the exit status is 4.\n"
    "Property library (run after the other options):\n"
    "  --eval FORMULA      evaluate a formula; prints the value, the error code and its message\n"
    "  --var NAME=VALUE    a variable of the formula (any number of them)\n"
    "  --props NO --t T --p P  every property of library record NO at T degC and P kPa (SI values)\n"
    "Exit status:\n"
    "  0  every option did what it asks (messages of the calculation and error codes of a\n"
    "     formula are results, not failures)\n"
    "  1  an option could not be carried out for another reason (no curve to draw, an\n"
    "     internal error)\n"
    "  2  usage error: unknown option, unknown component, a value that is not a number where\n"
    "     one is needed, a --set or --pick text that is not valid UTF-8, no such library record\n"
    "  3  a file could not be read or written (--open, --new, --save..., --curve, --csv, the\n"
    "     report, the library or the catalogue); files that are no regular file, larger than\n"
    "     64 MB or cut short are refused before anything is read\n"
    "  4  --json or --save-report was asked and the last run found the design infeasible\n"
    "     (a check of level 不可行: a target beyond reach, a coil that does not fit, ...);\n"
    "     or --optimize found no design that meets its constraints\n";

// Messages go to standard error as well as into the record.
class CliPort : public ScriptedPort {
 public:
  explicit CliPort(std::ostream& err) : err_(err) {}
  // The answer for the next pick list: a text typed into the input field, or a row (from 1).
  std::optional<std::string> pickText;
  std::optional<int> pickRow;
  // Error message boxes shown so far: a file command that shows one has failed.
  int errorBoxes = 0;
  // Every pick list shown, as JSON, in the order of the messages.
  std::vector<std::pair<size_t, std::string>> pickJson;
  // The dialog shown and not yet closed, and the messages shown while it was open.
  Form* open = nullptr;
  std::vector<std::string> dialogMessages;

  void ShowForm(Form& form) override {
    ScriptedPort::ShowForm(form);
    open = &form;
  }

  std::optional<std::string> PickList(const PickListRequest& r) override {
    ScriptedPort::PickList(r);
    TFormPickList dlg;
    dlg.Fill(r);
    std::optional<std::string> answer;
    if (pickRow) {
      dlg.ClickRow(*pickRow - 1);
      if (*pickRow >= 1 && *pickRow <= static_cast<int>(dlg.rows.size())) answer = dlg.input;
    } else if (pickText) {
      dlg.input = *pickText;
      answer = dlg.input;
    }
    if (pickRow && !answer) err_ << "pelmora-calc: the pick list has no row " << *pickRow << "; cancelled\n";
    pickText.reset();
    pickRow.reset();
    std::string j = "{\"pickList\": {\"caption\": " + JsonString(dlg.caption) +
                    ", \"prompt\": " + JsonString(dlg.prompt) + ", \"rows\": [";
    for (size_t i = 0; i < dlg.rows.size(); ++i) {
      const auto& row = dlg.rows[i];
      j += std::string(i ? ", " : "") + "{\"no\": " + row.no + ", \"name\": " + JsonString(row.name) +
           ", \"value\": " + JsonString(row.value) + ", \"unit\": " + JsonString(row.unit) + "}";
    }
    j += "], \"selectedRow\": " + std::to_string(dlg.selected + 1) + ", \"input\": " + JsonString(dlg.input) +
         ", \"confirmed\": " + (answer ? "true" : "false") + "}}";
    pickJson.emplace_back(Messages().size(), j);
    return answer;
  }
  // The clipboard of a terminal is its output (--click SBCopy prints the table).
  std::ostream* clipboardOut = nullptr;
  void SetClipboardText(const std::string& text) override {
    ScriptedPort::SetClipboardText(text);
    if (clipboardOut) *clipboardOut << text;
  }
  void ShowMessage(const std::string& text) override {
    ScriptedPort::ShowMessage(text);
    if (open) dialogMessages.push_back(text);
    err_ << text << "\n";
  }
  Answer MessageBox(const std::string& text, const std::string& caption, MsgType type, Buttons buttons,
                    Answer def) override {
    if (type == MsgType::Error) ++errorBoxes;
    Answer a = ScriptedPort::MessageBox(text, caption, type, buttons, def);
    if (open) dialogMessages.push_back(text);
    err_ << (caption.empty() ? "" : caption + ": ") << text << "\n";
    return a;
  }

 private:
  std::ostream& err_;
};

std::vector<std::string> SplitNames(const std::string& list) {
  std::vector<std::string> names;
  size_t start = 0;
  for (;;) {
    size_t comma = list.find(',', start);
    std::string n = list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    if (!n.empty()) names.push_back(n);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  if (names.empty()) throw std::invalid_argument("--output needs at least one field name");
  return names;
}

struct Cli {
  CliPort port;
  PelmoraApp app;
  std::ostream& out;
  std::ostream& err;
  int status = 0;  // the exit status so far (the worst wins)
  void Fail(int code) { status = std::max(status, code); }

  Cli(std::ostream& o, std::ostream& e) : port(e), app(&port), out(o), err(e) {
    // The command line writes its PDF reports itself (no display, no module to load).
    if (!GetReportPdfWriter()) SetReportPdfWriter(&ReportPdfBytes);
    app.select.OpenCatalogue();
    app.simp.closeView = [this] { port.open = nullptr; };
    port.clipboardOut = &out;
  }

  // --undo and --redo: nothing to take back is an option that could not be carried out.
  void UndoRedo(bool redo) {
    bool done = false;
    Act([this, redo, &done] { done = redo ? app.undo.Redo() : app.undo.Undo(); });
    if (!done) {
      err << "pelmora-calc: " << (redo ? "没有可重做的步骤" : "没有可撤销的步骤") << "\n";
      Fail(1);
    }
  }

  // A component of the open dialog, else of the window.
  Component* Need(const std::string& name) {
    Component* c = port.open ? port.open->Find(name) : nullptr;
    if (!c) c = app.form.Find(name);
    if (!c) throw std::invalid_argument("no component named " + name);
    return c;
  }

  TFormSimpPL& Dialog(const std::string& option) {
    if (port.open != &app.simp)
      throw std::invalid_argument(option + " needs the property dialog open (--click SBP2 ...)");
    return app.simp;
  }

  void Record(const std::string& no) {
    TFormSimpPL& d = Dialog("--record");
    Act([this, &d, no] {
      if (!d.LocateNO(no)) {
        err << "pelmora-calc: the property library has no record " << no << "\n";
        Fail(2);
      }
    });
  }

  // --set on the open dialog: a grid row by name, else a component.
  bool DialogSet(const std::string& v) {
    if (port.open != &app.simp) return false;
    auto [name, arg] = Split(v);
    TFormSimpPL& d = app.simp;
    if (!d.Find(name)) {
      const TMyValues& g = d.MyValues1->Model();
      int row = g.FindName(TMyValues::kName, name);
      if (row <= 0 || TrimStr(g.Cell(TMyValues::kName, row)) != name)
        throw std::invalid_argument("no component or value-grid row named " + name);
      Act([&d, row, arg] { d.MyValues1->SetCell(TMyValues::kValue, row, arg); });
      return true;
    }
    if (auto* e = d.FindAs<Edit>(name); e && (e->ReadOnly() || !Shown(*e)))
      throw std::invalid_argument(name + " cannot be typed into now");
    return false;
  }

  static bool Shown(const Component& c) {
    for (const Component* p = &c; p; p = p->Parent())
      if (!p->Visible()) return false;
    return true;
  }

  std::string DialogJson() {
    TFormSimpPL& d = app.simp;
    d.EnsureLoaded();  // the record shown is the library's first, opened or not
    std::string s =
        "{\"TFormSimpPL\": {\"caption\": " + JsonString(TFormSimpPL::kCaption) +
        ", \"open\": " + (port.open == &d ? "true" : "false") + ", \"width\": " + std::to_string(d.Width()) +
        ", \"height\": " + std::to_string(TFormSimpPL::kHeight) + ", \"library\": " + JsonString(d.LibraryPath()) +
        ", \"libraryModified\": " + (d.LibraryModified() ? "true" : "false") + ", \"state\": " +
        JsonString(d.State() == DataState::Browse ? "browse"
                   : d.State() == DataState::Edit ? "edit"
                                                  : "insert") +
        ", \"caller\": " + JsonString(d.Caller ? d.Caller->Name() : "") + ", \"record\": ";
    if (d.CurrentRecord() >= 0) {
      const PropRecord& r = d.Library().At(d.CurrentRecord());
      s += "{";
      bool first = true;
      for (const PropFieldInfo& f : PropFields()) {
        const auto& v = *r.Field(f.name);
        s += std::string(first ? "" : ", ") + JsonString(f.name) + ": " + (v ? JsonString(*v) : "null");
        first = false;
      }
      s += "}";
    } else {
      s += "null";
    }
    s += ", \"grid\": [";
    const TMyValues& g = d.MyValues1->Model();
    for (int r = 1; r < g.RowCount(); ++r) {
      s += std::string(r > 1 ? ", " : "") + "{\"name\": " + JsonString(g.Cell(0, r)) +
           ", \"value\": " + JsonString(g.Cell(1, r)) + ", \"unit\": " + JsonString(g.Cell(2, r)) +
           ", \"note\": " + JsonString(g.Cell(3, r)) + "}";
    }
    s += "], \"messages\": [";
    for (size_t i = 0; i < port.dialogMessages.size(); ++i) s += (i ? ", " : "") + JsonString(port.dialogMessages[i]);
    s += "], \"components\": " + ComponentsJson(d) + "}}";
    return s;
  }

  static std::pair<std::string, std::string> Split(const std::string& v) {
    size_t eq = v.find('=');
    if (eq == std::string::npos) throw std::invalid_argument("expected NAME=VALUE, got " + v);
    return {v.substr(0, eq), v.substr(eq + 1)};
  }

  // A user action: what it ends with (a calculation message, a refused value) is its
  // result, not a failure of the option. A file it could not write (the property
  // library, the tube catalogue, a report) is a failure, whichever command wrote it.
  bool Act(const std::function<void()>& f) {
    const int failedBefore = FailedWrites();
    const bool done = app.Run(f);
    if (FailedWrites() != failedBefore) Fail(3);
    return done;
  }

  // An action that reads or writes a file: an error shown on the way means the file
  // was not read or written.
  void FileAct(const std::function<void()>& f) {
    const int before = port.errorBoxes;
    if (!Act(f) || port.errorBoxes != before) Fail(3);
  }

  // --set, --unit and --select: what the option does to the component is in the
  // description of its kind.
  void Input(const std::string& option, const std::string& v) {
    auto [name, arg] = Split(v);
    Component* c = Need(name);
    for (const Property& p : Describe(c->GetKind()).properties)
      for (const UserInput& in : p.input)
        if (in.option == option) {
          Act(in.prepare(*c, arg));
          return;
        }
    static const std::map<std::string, std::string> refusal = {{"--set", " takes no text"},
                                                               {"--unit", " is not a unit selector"},
                                                               {"--select", " is not a list or radio group"}};
    throw std::invalid_argument(name + refusal.at(option));
  }

  // --exit and --click: what leaving or pressing a component does is in the description
  // of its kind.
  void Exit(const std::string& name) {
    Component* c = Need(name);
    const auto& leave = Describe(c->GetKind()).leave;
    if (!leave) throw std::invalid_argument(name + " cannot be left");
    Act([this, c, &leave] {
      app.form.FocusChangedByView(app.form.NextInTabOrder(c, true));
      leave(*c);
    });
  }

  void Click(const std::string& name) {
    Component* c = Need(name);
    if (&c->Owner() == port.open && !Shown(*c)) throw std::invalid_argument(name + " is not shown now");
    const auto& press = Describe(c->GetKind()).press;
    if (!press) throw std::invalid_argument(name + " is not a button or menu item");
    Act([c, &press] { press(*c); });
  }

  // A key pressed in a control: the control takes the focus as a click would (the one
  // that had it is left), then the key goes where the window sends it: to the control's
  // key handler, or for Tab, Enter and the arrows to the next control of the page.
  void Key(const std::string& v) {
    auto [name, keyName] = Split(v);
    const std::optional<pelmora::Key> key = KeyByName(keyName);
    if (!key) throw std::invalid_argument("unknown key " + keyName + " (" + KeyNames() + ")");
    Component* c = Need(name);
    if (!c->Focusable() || !c->EffectivelyEnabled()) throw std::invalid_argument(name + " cannot take the focus");
    const pelmora::Key k = *key;
    Act([this, c, k] {
      app.form.FocusByUser(c);
      if (app.form.Focused() != c) return;  // the field left refused to let go
      if (&c->Owner() == &app.form && app.form.KeyDown(c, k)) return;
      if (c->OnKeyDown)
        c->OnKeyDown(c, Code(k));
      else
        app.form.MaoDKeyDown(c, Code(k));
    });
  }

  void Commands() {
    for (const auto& c : app.form.Commands())
      out << c.control->Name() << "\t" << c.handler << "\t"
          << (c.state == TFormPelmora::Command::State::Bound ? "bound" : "disabled") << "\n";
    // The property dialog's buttons.
    for (const auto& c : app.simp.Commands().Controls())
      out << c.control->Name() << "\t" << c.handler << "\t"
          << (c.state == CommandTable::Entry::State::Bound ? "bound" : "disabled") << "\n";
  }

  // The chart as the report page paints it, on an SVG surface.
  void Curve(const std::string& file) {
    TFormPelmora& f = app.form;
    if (app.curve.data.Intervals() < 1) Act([&f] { f.RunHandler("SBTCurveClick", f.SBTCurve); });
    chart::SvgCanvas canvas(800, 520);
    f.PaintBox1->canvas = &canvas;
    Act([&f] { f.RunHandler("SBTCurveClick", f.PaintBox1); });
    f.PaintBox1->canvas = nullptr;
    if (canvas.Body().empty()) {
      err << "pelmora-calc: 没有可绘制的时间-温度曲线\n";
      Fail(1);
      return;
    }
    const std::string failure = WriteFileDurably(file, canvas.Svg());
    if (!failure.empty()) {
      err << "pelmora-calc: 无法写入文件“" << file << "”：" << failure << "\n";
      Fail(3);
    }
  }

  std::string ChecksJson() const {
    std::string s = "[";
    for (const DesignCheck& c : app.calc.checks) {
      s += std::string(s.size() > 1 ? ", " : "") + "{\"level\": " + JsonString(LevelText(c.level)) +
           ", \"field\": " + JsonString(c.field) + ", \"text\": " + JsonString(c.text);
      if (!c.marks.empty()) {
        s += ", \"marks\": [";
        for (size_t i = 0; i < c.marks.size(); ++i) s += (i ? ", " : "") + JsonString(c.marks[i]);
        s += "]";
      }
      s += "}";
    }
    return s + "]";
  }

  // The parameter study over a copy of the window.
  int Study(const std::vector<StudyInput>& sweeps, const std::vector<std::string>& outputs, const std::string& csv) {
    StudyRequest r;
    r.inputs = sweeps;
    r.outputs = outputs;
    const std::string why = ValidateStudy(app.form, r);
    if (!why.empty()) {
      err << "pelmora-calc: " << why << "\n";
      return 2;
    }
    StudyResult result = RunStudy(app, r);
    if (csv.empty()) {
      out << StudyCsv(result, false);
      return 0;
    }
    const std::string failure = WriteFileDurably(csv, StudyCsv(result, true));
    if (!failure.empty()) {
      err << "pelmora-calc: 无法写入“" << csv << "”：" << failure << "\n";
      return 3;
    }
    return 0;
  }

  // The design optimizer over copies of the window; with `apply` the best design is
  // put into the project. 4 when no design meets the constraints.
  int Optimize(const OptimizerRequest& r, size_t top, const std::string& csv, bool apply) {
    const std::string why = ValidateOptimizer(app.form, r);
    if (!why.empty()) {
      err << "pelmora-calc: " << why << "\n";
      return 2;
    }
    const OptimizerResult result = RunOptimizer(app, r);
    out << OptimizerTable(result, top);
    int code = 0;
    if (!csv.empty()) {
      const std::string failure = WriteFileDurably(csv, OptimizerCsv(result, true));
      if (!failure.empty()) {
        err << "pelmora-calc: 无法写入“" << csv << "”：" << failure << "\n";
        code = 3;
      }
    }
    if (result.ranking.empty()) {
      err << "pelmora-calc: " << WhyNothingAccepted(result) << "\n";
      return std::max(code, 4);
    }
    if (apply && !ApplyOptimizedDesign(app, r.variables, result.points[result.ranking.front()].values))
      code = std::max(code, 1);
    return code;
  }

  std::string CurveJson() const {
    const CurveData& d = app.curve.data;
    const int n = d.Intervals();
    if (n < 1) return "null";
    std::string s =
        "{\"intervals\": " + std::to_string(n) + ", \"timeStep\": " + Format15(d.TimeStep) + ", \"points\": [";
    for (int i = 0; i <= n; ++i) {
      const auto k = static_cast<size_t>(i);
      s += std::string(i ? ", " : "") + "{\"time\": " + Format15(d.Times[k]) +
           ", \"tank\": " + Format15(d.TankTemps[k]) + ", \"tubeOut\": " + Format15(d.TubeOutTemps[k]) + "}";
    }
    return s + "]}";
  }

  // A project command whose dialog is answered with `file`.
  void Command(const char* handler, const std::string& file) {
    port.files.clear();
    port.files.push_back(file);
    FileAct([this, handler] { app.form.RunHandler(handler, nullptr); });
    port.files.clear();
  }

  void Clear(const std::string& name) {
    auto* e = As<EditD>(Need(name));
    if (!e) throw std::invalid_argument(name + " is not a value field");
    app.form.FocusChangedByView(e);
    Act([this] { app.form.RunHandler("SBClearClick", app.form.SBClear); });
  }

  void HelpTopic(const std::string& name) {
    Component* c = Need(name);
    const std::string topic = HelpTopicOf(c);
    HelpShown shown;
    Act([&] {
      app.form.FocusChangedByView(c);
      app.help.F1(c);
      shown = app.help.lastShown;
    });
    if (!shown.opened) {
      Fail(3);  // the manual could not be read
      return;
    }
    out << "topic: " << topic << "\nbookmark: " << (shown.title.empty() ? "(none)" : shown.title)
        << "\npage: " << shown.page << "\n";
  }

  void HelpTopics() {
    PelmoraApp scratch(&port);  // the modes are run on a window of its own
    for (const std::string& t : HelpTopicsInEveryMode(scratch.form)) out << t << "\n";
  }

  void Json() {
    out << "{\n  \"components\": " << ComponentsJson(app.form) << ",\n  \"status\": [";
    const auto& panels = app.form.MyStatusBar->Panels();
    for (size_t i = 0; i < panels.size(); ++i) out << (i ? ", " : "") << JsonString(panels[i].text);
    const Component* focus = app.form.Focused();
    out << "],\n  \"focus\": " << (focus ? JsonString(focus->Name()) : std::string("null"))
        << ",\n  \"title\": " << JsonString(app.form.Caption())
        << ",\n  \"projectModified\": " << (app.form.ProjectModified() ? "true" : "false")
        << ",\n  \"undo\": " << JsonString(app.undo.UndoName()) << ",\n  \"redo\": " << JsonString(app.undo.RedoName())
        << ",\n  \"curve\": " << CurveJson() << ",\n  \"feasible\": " << (Feasible(app.calc.checks) ? "true" : "false")
        << ",\n  \"checks\": " << ChecksJson() << ",\n  \"crosschecks\": " << CrossChecksJson(app.calc.crossCheck)
        << ",\n  \"recommendedMargin\": " << RecommendedMarginJson(app.calc.crossCheck) << ",\n  \"messages\": [";
    auto msgs = port.Messages();
    // Pick lists take their place among the messages, in the order they were shown.
    size_t pick = 0, written = 0;
    auto put = [&](const std::string& item) { out << (written++ ? ", " : "") << item; };
    for (size_t i = 0; i <= msgs.size(); ++i) {
      while (pick < port.pickJson.size() && port.pickJson[pick].first == i) put(port.pickJson[pick++].second);
      if (i < msgs.size()) put(JsonString(msgs[i]));
    }
    // The property dialog after the window's own state.
    out << "],\n  \"forms\": " << DialogJson() << "\n}\n";
  }
};

bool ValidUtf8(std::string_view s) {
  for (size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    size_t n = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    uint32_t cp = n == 1 ? b : n == 2 ? (b & 0x1Fu) : n == 3 ? (b & 0x0Fu) : (b & 0x07u);
    for (size_t k = 1; k < n; ++k) {
      const auto c = static_cast<unsigned char>(s[i + k]);
      if ((c & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (c & 0x3Fu);
    }
    // Overlong forms, surrogates and values beyond Unicode are no text either.
    static constexpr uint32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMin[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += n;
  }
  return true;
}

// The bytes of `s` with every byte that is not printable ASCII as \xHH.
std::string Escaped(std::string_view s) {
  static const char* hex = "0123456789ABCDEF";
  std::string out;
  for (char ch : s) {
    const auto b = static_cast<unsigned char>(ch);
    if (b >= 0x20 && b < 0x7F) {
      out += ch;
    } else {
      out += "\\x";
      out += hex[b >> 4];
      out += hex[b & 0xF];
    }
  }
  return out;
}

// A number option's value; a usage error when it is none.
template <typename T>
T NumberArgument(const std::string& option, const std::string& value) {
  try {
    if constexpr (std::is_integral_v<T>) {
      long long v = StrToInt(value);
      if (v < INT32_MIN || v > INT32_MAX) throw ConversionError(value);
      return static_cast<T>(v);
    } else {
      return value.empty() ? T{} : static_cast<T>(StrToFloat(value));
    }
  } catch (const ConversionError&) {
    throw std::invalid_argument(option + " needs a number, got '" + value + "'");
  }
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  // Options that take a value.
  static const std::map<std::string, int> withValue = {
      {"--set", 1},        {"--unit", 1},   {"--select", 1},        {"--exit", 1},
      {"--click", 1},      {"--key", 1},    {"--curve", 1},         {"--open", 1},
      {"--new", 1},        {"--save", 1},   {"--save-template", 1}, {"--save-report", 1},
      {"--report-pdf", 1}, {"--clear", 1},  {"--pick", 1},          {"--pick-row", 1},
      {"--help-topic", 1}, {"--eval", 1},   {"--var", 1},           {"--props", 1},
      {"--t", 1},          {"--p", 1},      {"--sweep", 1},         {"--output", 1},
      {"--csv", 1},        {"--record", 1}, {"--optimize", 1},      {"--objective", 1},
      {"--top", 1}};
  try {
    Cli cli(out, err);
    std::optional<std::string> formula, record;
    std::vector<std::pair<std::string, std::string>> vars;
    std::string t, p;
    std::vector<StudyInput> sweeps;
    std::vector<std::string> outputs = DefaultStudyOutputs();
    std::string csv;
    bool designShown = false;  // --json or --save-report: a design leaves the program
    // The optimizer's options are taken from the whole command line first: the search
    // runs where --apply-best stands, else after the other options.
    std::optional<OptimizerRequest> optimize;
    size_t top = 10;
    bool optimized = false, sweeping = false, topGiven = false;
    for (size_t i = 0; i < args.size(); ++i) {
      const std::string& a = args[i];
      const bool takesValue = withValue.count(a) && i + 1 < args.size();
      const std::string value = takesValue ? args[i + 1] : std::string();
      if (a == "--optimize" && takesValue) {
        if (!optimize) optimize.emplace();
        for (OptimizerVariable& v : ParseOptimize(value, cli.app.select.catalogue))
          optimize->variables.push_back(std::move(v));
      }
      if (a == "--objective" && takesValue) {
        auto o = ObjectiveNamed(value);
        if (!o) throw std::invalid_argument("--objective takes ArD, LrD or DpiD, got '" + value + "'");
        if (!optimize) optimize.emplace();
        optimize->objective = *o;
      }
      if (a == "--top" && takesValue) {
        const int n = NumberArgument<int>(a, value);
        if (n < 1) throw std::invalid_argument("--top needs a number of at least 1");
        top = static_cast<size_t>(n);
        topGiven = true;
      }
      if (a == "--csv" && takesValue) csv = value;  // also for a search at --apply-best before it
      if (a == "--allow-warnings" || a == "--require-margin") {
        if (!optimize) optimize.emplace();
        if (a == "--allow-warnings") optimize->noWarnings = false;
        if (a == "--require-margin") optimize->marginCheck = true;
      }
      if (a == "--sweep") sweeping = true;
      if (takesValue) ++i;
    }
    if ((optimize || topGiven) && (!optimize || optimize->variables.empty()))
      throw std::invalid_argument("the optimizer needs --optimize VAR=VALUES");
    if (optimize && sweeping) throw std::invalid_argument("--sweep and --optimize cannot be combined");
    for (size_t i = 0; i < args.size(); ++i) {
      const std::string& a = args[i];
      if (a == "--help" || a == "-h") {
        out << kUsage;
        return 0;
      }
      std::string value;
      if (withValue.count(a)) {
        if (i + 1 >= args.size()) throw std::invalid_argument(a + " needs a value");
        value = args[++i];
        // A text that goes into a field must be text: broken bytes would end up in
        // the window, its files and the --json output.
        if ((a == "--set" || a == "--pick") && !ValidUtf8(value))
          throw std::invalid_argument(a + " 的值不是有效的 UTF-8 文字：" + Escaped(value));
      }
      if (i == 0 && !a.empty() && a[0] != '-')
        cli.FileAct([&cli, a] { cli.app.project.OpenAtStartup(a); });
      else if (a == "--set" && cli.DialogSet(value))
        continue;
      else if (a == "--set" || a == "--unit" || a == "--select")
        cli.Input(a, value);
      else if (a == "--record")
        cli.Record(value);
      else if (a == "--exit")
        cli.Exit(value);
      else if (a == "--recalc")
        cli.Act([&cli] { cli.app.calc.Recalculate(); });
      else if (a == "--click")
        cli.Click(value);
      else if (a == "--key")
        cli.Key(value);
      else if (a == "--update-props")
        cli.Click("MCUpdateProps");
      else if (a == "--commands")
        cli.Commands();
      else if (a == "--curve")
        cli.Curve(value);
      else if (a == "--open")
        cli.Command("MFOpenClick", value);
      else if (a == "--new")
        cli.Command("MFNewClick", value);
      else if (a == "--save")
        cli.Command("MFAsClick", value);
      else if (a == "--save-template")
        cli.Command("MFTempClick", value);
      else if (a == "--save-report")
        cli.Command("SBRSaveClick", value), designShown = true;
      else if (a == "--report-pdf")
        cli.Command("SBRPdfClick", value);
      else if (a == "--clear")
        cli.Clear(value);
      else if (a == "--yes")
        cli.port.defaultAnswer = Answer::Yes;
      else if (a == "--undo" || a == "--redo")
        cli.UndoRedo(a == "--redo");
      else if (a == "--pick")
        cli.port.pickText = value, cli.port.pickRow.reset();
      else if (a == "--pick-row")
        cli.port.pickRow = NumberArgument<int>(a, value), cli.port.pickText.reset();
      else if (a == "--json")
        cli.Json(), designShown = true;
      else if (a == "--help-topic")
        cli.HelpTopic(value);
      else if (a == "--help-topics")
        cli.HelpTopics();
      else if (a == "--eval")
        formula = value;
      else if (a == "--var")
        vars.push_back(Cli::Split(value));
      else if (a == "--props")
        record = value;
      else if (a == "--t")
        t = value, NumberArgument<double>(a, value);
      else if (a == "--p")
        p = value, NumberArgument<double>(a, value);
      else if (a == "--sweep")
        sweeps.push_back(ParseSweep(value));
      else if (a == "--output")
        outputs = SplitNames(value);
      else if (a == "--csv")
        csv = value;
      else if (a == "--optimize" || a == "--objective" || a == "--top" || a == "--allow-warnings" ||
               a == "--require-margin")
        continue;  // taken above
      else if (a == "--apply-best") {
        if (!optimize) throw std::invalid_argument("--apply-best needs --optimize");
        if (optimized) throw std::invalid_argument("--apply-best may be given once");
        optimized = true;
        cli.Fail(cli.Optimize(*optimize, top, csv, true));
      } else
        throw std::invalid_argument("unknown option " + a);
    }
    if (!sweeps.empty())
      cli.Fail(cli.Study(sweeps, outputs, csv));
    else if (optimize && !optimized)
      cli.Fail(cli.Optimize(*optimize, top, csv, false));
    else if (!csv.empty() && !optimize)
      throw std::invalid_argument("--csv needs --sweep or --optimize");
    // The evaluator reports its error code as its result.
    if (formula) RunEvalCommand(*formula, vars, out);
    if (record) {
      // 1: the computation ended with a message, printed with what came before it.
      int code = RunPropsCommand(PropLibPath(cli.app.form.ProgramFolder), *record, t, p, out);
      if (code >= 2) cli.Fail(code);
    }
    // A script that batches designs must not take an infeasible one for a result.
    if (cli.status == 0 && designShown && !Feasible(cli.app.calc.checks)) return 4;
    return cli.status;
  } catch (const std::invalid_argument& e) {
    err << "pelmora-calc: " << e.what() << "\n" << kUsage;
    return 2;
  } catch (const ConversionError& e) {
    // An argument that should have been a number, found outside a user action.
    err << "pelmora-calc: " << e.what() << "\n" << kUsage;
    return 2;
  } catch (const std::exception& e) {
    ReportUnexpectedError(nullptr, e.what());
    err << "pelmora-calc: " << UnexpectedErrorMessage(e.what()) << "\n";
    return 1;
  } catch (...) {
    ReportUnexpectedError(nullptr, "");
    err << "pelmora-calc: " << UnexpectedErrorMessage("") << "\n";
    return 1;
  }
}

}  // namespace pelmora

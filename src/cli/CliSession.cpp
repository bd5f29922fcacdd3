#include "cli/CliSession.h"

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
#include "report/ReportPdf.h"
#include "select/PickList.h"
#include "study/Optimizer.h"
#include "study/Study.h"
#include "study/StudyDefaults.h"

namespace pelmora::cli {

Cli::Cli(std::ostream& o, std::ostream& e) : port(e), app(&port), out(o), err(e) {
  // The command line writes its PDF reports itself (no display, no module to load).
  if (!GetReportPdfWriter()) SetReportPdfWriter(&ReportPdfBytes);
  app.select.OpenCatalogue();
  app.simp.closeView = [this] { port.open = nullptr; };
  port.clipboardOut = &out;
}

void Cli::UndoRedo(bool redo) {
  bool done = false;
  Act([this, redo, &done] { done = redo ? app.undo.Redo() : app.undo.Undo(); });
  if (!done) {
    err << "pelmora-calc: " << (redo ? "没有可重做的步骤" : "没有可撤销的步骤") << "\n";
    Fail(1);
  }
}

Component* Cli::Need(const std::string& name) {
  Component* c = port.open ? port.open->Find(name) : nullptr;
  if (!c) c = app.form.Find(name);
  if (!c) throw std::invalid_argument("no component named " + name);
  return c;
}

TFormSimpPL& Cli::Dialog(const std::string& option) {
  if (port.open != &app.simp)
    throw std::invalid_argument(option + " needs the property dialog open (--click SBP2 ...)");
  return app.simp;
}

void Cli::Record(const std::string& no) {
  TFormSimpPL& d = Dialog("--record");
  Act([this, &d, no] {
    if (!d.LocateNO(no)) {
      err << "pelmora-calc: the property library has no record " << no << "\n";
      Fail(2);
    }
  });
}

bool Cli::DialogSet(const std::string& v) {
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

std::pair<std::string, std::string> Cli::Split(const std::string& v) {
  size_t eq = v.find('=');
  if (eq == std::string::npos) throw std::invalid_argument("expected NAME=VALUE, got " + v);
  return {v.substr(0, eq), v.substr(eq + 1)};
}

bool Cli::Act(const std::function<void()>& f) {
  const int failedBefore = FailedWrites();
  const bool done = app.Run(f);
  if (FailedWrites() != failedBefore) Fail(3);
  return done;
}

void Cli::FileAct(const std::function<void()>& f) {
  const int before = port.errorBoxes;
  if (!Act(f) || port.errorBoxes != before) Fail(3);
}

void Cli::Input(const std::string& option, const std::string& v) {
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

void Cli::Exit(const std::string& name) {
  Component* c = Need(name);
  const auto& leave = Describe(c->GetKind()).leave;
  if (!leave) throw std::invalid_argument(name + " cannot be left");
  Act([this, c, &leave] {
    app.form.FocusChangedByView(app.form.NextInTabOrder(c, true));
    leave(*c);
  });
}

void Cli::Click(const std::string& name) {
  Component* c = Need(name);
  if (&c->Owner() == port.open && !Shown(*c)) throw std::invalid_argument(name + " is not shown now");
  const auto& press = Describe(c->GetKind()).press;
  if (!press) throw std::invalid_argument(name + " is not a button or menu item");
  Act([c, &press] { press(*c); });
}

void Cli::Key(const std::string& v) {
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

void Cli::Commands() {
  for (const auto& c : app.form.Commands())
    out << c.control->Name() << "\t" << c.handler << "\t"
        << (c.state == TFormPelmora::Command::State::Bound ? "bound" : "disabled") << "\n";
  // The property dialog's buttons.
  for (const auto& c : app.simp.Commands().Controls())
    out << c.control->Name() << "\t" << c.handler << "\t"
        << (c.state == CommandTable::Entry::State::Bound ? "bound" : "disabled") << "\n";
}

void Cli::Curve(const std::string& file) {
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

int Cli::Study(const std::vector<StudyInput>& sweeps, const std::vector<std::string>& outputs, const std::string& csv) {
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

int Cli::Optimize(const OptimizerRequest& r, size_t top, const std::string& csv, bool apply) {
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

void Cli::Command(const char* handler, const std::string& file) {
  port.files.clear();
  port.files.push_back(file);
  FileAct([this, handler] { app.form.RunHandler(handler, nullptr); });
  port.files.clear();
}

void Cli::Clear(const std::string& name) {
  auto* e = As<EditD>(Need(name));
  if (!e) throw std::invalid_argument(name + " is not a value field");
  app.form.FocusChangedByView(e);
  Act([this] { app.form.RunHandler("SBClearClick", app.form.SBClear); });
}

void Cli::HelpTopic(const std::string& name) {
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

void Cli::HelpTopics() {
  PelmoraApp scratch(&port);  // the modes are run on a window of its own
  for (const std::string& t : HelpTopicsInEveryMode(scratch.form)) out << t << "\n";
}

}  // namespace pelmora::cli

// The --json state of a run: every component, the status bar, the messages, the checks,
// the method check, the curve and the property dialog.
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
#include "select/PickList.h"
#include "study/Optimizer.h"
#include "study/Study.h"
#include "study/StudyDefaults.h"

namespace pelmora::cli {

bool Cli::Shown(const Component& c) {
  for (const Component* p = &c; p; p = p->Parent())
    if (!p->Visible()) return false;
  return true;
}

std::string Cli::DialogJson() {
  TFormSimpPL& d = app.simp;
  d.EnsureLoaded();  // the record shown is the library's first, opened or not
  std::string s = "{\"TFormSimpPL\": {\"caption\": " + JsonString(TFormSimpPL::kCaption) +
                  ", \"open\": " + (port.open == &d ? "true" : "false") + ", \"width\": " + std::to_string(d.Width()) +
                  ", \"height\": " + std::to_string(TFormSimpPL::kHeight) +
                  ", \"library\": " + JsonString(d.LibraryPath()) +
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

std::string Cli::ChecksJson() const {
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

std::string Cli::CurveJson() const {
  const CurveData& d = app.curve.data;
  const int n = d.Intervals();
  if (n < 1) return "null";
  std::string s =
      "{\"intervals\": " + std::to_string(n) + ", \"timeStep\": " + Format15(d.TimeStep) + ", \"points\": [";
  for (int i = 0; i <= n; ++i) {
    const auto k = static_cast<size_t>(i);
    s += std::string(i ? ", " : "") + "{\"time\": " + Format15(d.Times[k]) + ", \"tank\": " + Format15(d.TankTemps[k]) +
         ", \"tubeOut\": " + Format15(d.TubeOutTemps[k]) + "}";
  }
  return s + "]}";
}

void Cli::Json() {
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

}  // namespace pelmora::cli

#pragma once
// A calculation window driven as a user drives it, from the reference designs of
// data/cases, and small helpers for the report tests.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "../calc/CaseFiles.h"
#include "../project/ProjectTestUtil.h"
#include "app/PelmoraApp.h"
#include "fields/NumberFormat.h"

namespace pelmora::testing {

using testing_cases::CaseArgs;

struct Window {
  ScriptedPort port;
  PelmoraApp app{&port, PELMORA_PROGRAM_DIR};
  TFormPelmora& f = app.form;

  // --set, --select, --exit and --recalc as pelmora-calc applies them.
  void Apply(const std::vector<std::string>& args) {
    for (size_t i = 0; i < args.size(); ++i) {
      const std::string& a = args[i];
      if (a == "--recalc") {
        app.Run([this] { app.calc.MaoDExit(nullptr); });
        continue;
      }
      const std::string v = args[++i];
      const size_t eq = v.find('=');
      const std::string name = v.substr(0, eq), val = eq == std::string::npos ? "" : v.substr(eq + 1);
      Component* c = f.Find(name);
      ASSERT_NE(c, nullptr) << name;
      if (a == "--set") {
        app.Run([c, val] { dynamic_cast<Edit*>(c)->SetText(val); });
      } else if (a == "--select") {
        const int idx = static_cast<int>(StrToInt(val));
        if (auto* l = dynamic_cast<ComboBox*>(c))
          app.Run([l, idx] { l->UserSelect(idx); });
        else
          app.Run([c, idx] { dynamic_cast<RadioGroup*>(c)->SetItemIndex(idx); });
      } else if (a == "--exit") {
        app.Run([c] { dynamic_cast<Edit*>(c)->Exit(); });
      }
    }
  }
  void Case(const std::string& name) { Apply(CaseArgs(name)); }
  void Build() {
    app.Run([this] { f.RunHandler("SBRSimpleClick", f.SBRSimple); });
  }
  std::vector<std::string> Lines() const { return f.RichEditReport->Lines(); }
};

// Output of a shell command (standard output only), and its exit status.
inline std::string Capture(const std::string& command, int* status = nullptr) {
  std::string out;
  FILE* p = popen(command.c_str(), "r");
  if (!p) return out;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  int rc = pclose(p);
  if (status) *status = rc;
  return out;
}

inline bool HaveProgram(const std::string& name) {
  return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

// The words of a text: runs of characters other than blanks, six-per-em spaces and
// line breaks.
inline std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  std::string w;
  for (size_t i = text.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0; i < text.size();) {
    if (text.compare(i, 3, "\u2006") == 0 || text.compare(i, 3, "\u3000") == 0 || text.compare(i, 2, "\u00a0") == 0) {
      i += text.compare(i, 2, "\u00a0") == 0 ? 2 : 3;
    } else if (text[i] == ' ' || text[i] == '\n' || text[i] == '\r' || text[i] == '\t' || text[i] == '\f') {
      ++i;
    } else {
      w += text[i++];
      continue;
    }
    if (!w.empty()) words.push_back(std::move(w));
    w.clear();
  }
  if (!w.empty()) words.push_back(w);
  return words;
}

inline std::vector<std::string> Words(const std::vector<std::string>& lines) {
  std::string all;
  for (const auto& l : lines) all += l + "\n";
  return Words(all);
}

}  // namespace pelmora::testing

#pragma once
// The reference designs of data/cases applied to a window option by option, as
// pelmora-calc does, for the benchmarks.
#include <fstream>
#include <stdexcept>
#include <string>

#include "app/PelmoraApp.h"
#include "fields/NumberFormat.h"

namespace pelmora::bench {

// Applies data/cases/<name>.args option by option, as pelmora-calc does.
inline void ApplyCase(PelmoraApp& app, const std::string& name) {
  std::ifstream in(std::string(PELMORA_SOURCE_DIR) + "/data/cases/" + name + ".args");
  if (!in) throw std::runtime_error("no case " + name);
  TFormPelmora& f = app.form;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    size_t sp = line.find(' ');
    std::string opt = line.substr(0, sp);
    std::string v = sp == std::string::npos ? "" : line.substr(sp + 1);
    size_t eq = v.find('=');
    std::string field = v.substr(0, eq);
    if (opt == "--set") {
      f.FindAs<Edit>(field)->SetText(v.substr(eq + 1));
    } else if (opt == "--select") {
      int i = static_cast<int>(StrToInt(v.substr(eq + 1)));
      if (auto* r = f.FindAs<RadioGroup>(field))
        app.Run([&] { r->SetItemIndex(i); });
      else
        app.Run([&] { f.FindAs<ComboBox>(field)->UserSelect(i); });
    } else if (opt == "--exit") {
      app.Run([&] { f.FindAs<Edit>(field)->Exit(); });
    } else if (opt == "--recalc") {
      app.Run([&] { app.calc.MaoDExit(nullptr); });
    }
  }
  app.Run([&] { app.calc.MaoDExit(nullptr); });
}

}  // namespace pelmora::bench

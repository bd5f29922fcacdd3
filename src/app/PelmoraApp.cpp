#include "app/PelmoraApp.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

#include "fields/Dispatch.h"

namespace pelmora {

PelmoraApp::PelmoraApp(UiPort* port, std::string programFolder) : form(port), modes(form), geometry(form), calc(form, modes, geometry), curve(form, calc), shell(form), project(form, modes), select(form), report(form, curve) {
  form.ProgramFolder = programFolder.empty() ? ExecutableFolder() : std::move(programFolder);
  if (!form.ProgramFolder.empty() && form.ProgramFolder.back() != '/') form.ProgramFolder += '/';
  form.SetProjectModified(false, true);
  project.discardCurve = [this] { curve.Discard(); };
  geometry.tolerance = [this] { return calc.Tolerance; };
  form.SetHandler("MCStudyClick", [this](Component*) {
    if (openStudy)
      openStudy();
    else
      form.Port().MessageBox(kStudyHeadless, TFormPelmora::kTitle, MsgType::Information, Buttons::Ok, Answer::Ok);
  });
  // The design checks of the last run close the report.
  report.AddSectionHook([this](ReportBuilder& b) {
    if (calc.checks.empty()) return;
    std::vector<std::string> rows;
    for (const DesignCheck& c : calc.checks) rows.push_back(CheckReportRow(form, c));
    b.AppendSection(kChecksHeading, rows);
  });
}

std::string CheckReportRow(const TFormPelmora& form, const DesignCheck& check) {
  std::string where;
  if (const auto* e = dynamic_cast<const EditD*>(form.Find(check.field))) where = e->QuantityName() + "：";
  return std::string("        ") + LevelText(check.level) + "  " + where + check.text;
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

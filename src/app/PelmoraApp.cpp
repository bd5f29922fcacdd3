#include "app/PelmoraApp.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

#include "fields/Dispatch.h"

namespace pelmora {

PelmoraApp::PelmoraApp(UiPort* port, std::string programFolder) : form(port), modes(form), geometry(form), calc(form, modes, geometry), curve(form, calc), shell(form), project(form, modes), select(form), report(form, curve), recovery(form, project), simp(port), help(form) {
  form.ProgramFolder = programFolder.empty() ? ExecutableFolder() : std::move(programFolder);
  if (!form.ProgramFolder.empty() && form.ProgramFolder.back() != '/') form.ProgramFolder += '/';
  form.SetProjectModified(false, true);
  project.discardCurve = [this] { curve.Discard(); };
  geometry.tolerance = [this] { return calc.Tolerance; };
  simp.FormCreate(form.ProgramFolder);
  InstallSimpPL(form, simp);
  project.onSaved = [this] { recovery.Remove(); };
  project.afterFileCommand = [this] { recovery.armed = true; };
  project.markResultsStale = [this](const std::string& why) { calc.MarkAllResultsStale(why); };
  // The first recalculation after a file command keeps a recovery copy first.
  form.SetHandler("MaoDExit", [this](Component* s) {
    if (recovery.armed) {
      recovery.armed = false;
      recovery.Write();
    }
    calc.MaoDExit(s);
  });
  // The vessel dialog's 确定 changes the area or mass the results were computed from.
  form.SetHandler("BTVesselClick", [this](Component* s) {
    const std::string area = form.AeD->Text(), mass = form.MaoD->Text();
    geometry.BTVesselClick(s);
    if (form.AeD->Text() != area || form.MaoD->Text() != mass) calc.MarkAllResultsStale("容器定义已修改，请重新计算");
  });
  // Last: every subsystem has installed its handlers.
  form.SealCommands();
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

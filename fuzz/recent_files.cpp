// Fuzz target: the INI file of the recent-files list, read as the window's start does
// and written back. Any bytes are a possible file: nothing may crash, and the list never
// holds more entries than it allows or an empty entry.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "FuzzCommon.h"
#include "fields/Catalogue.h"
#include "fields/UiPort.h"
#include "project/MruUnit.h"

using namespace pelmora;

namespace {

std::string IniPath() {
  static const std::string path = [] {
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/pelmora-fuzz-mru-" + std::to_string(::getpid()) + ".ini";
  }();
  return path;
}

struct Window {
  ScriptedPort port;
  TFormPelmora form{&port};
  TMostRecentFiles list{form};
  Window() {
    list.SetOwnerMenuItem(form.MFile);
    list.SetMenuPosition(6);
    list.SetFileExt("pmf");
    list.SetIniFile(IniPath());
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Window* w = new Window;  // one window: building it per input would dominate
  if (size > 100000) return 0;
  if (FILE* f = std::fopen(IniPath().c_str(), "wb")) {
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
  } else {
    return 0;
  }
  w->list.Loaded();
  if (w->list.Files().size() > w->list.MaxFiles()) fuzz::Fault("more entries than MaxFiles");
  for (const std::string& file : w->list.Files())
    if (file.empty()) fuzz::Fault("an empty entry");
  // A chosen entry either opens (the event) or vanishes with a message; the list
  // shrinks or keeps its length.
  const size_t before = w->list.Files().size();
  w->list.OnMenuClick = [](TMostRecentFiles&, const std::string&) {};
  for (size_t i = 0; i < w->form.MFile->Count(); ++i) {
    MenuItem* m = w->form.MFile->Item(i);
    if (m->tag == TMostRecentFiles::kMark && !m->IsSeparator()) {
      w->list.EntryClick(m);
      break;
    }
  }
  if (w->list.Files().size() > before) fuzz::Fault("an entry click added an entry");
  ::unlink(IniPath().c_str());
  return 0;
}

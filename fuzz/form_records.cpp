// Fuzz target: a project file as the Open command reads it. The bytes are checked for
// the signature, converted from GBK, split into records, checked for completeness when
// they begin with this program's writer record, and applied to a fresh window with the
// mode reactions of Open; then the calculation runs once. Refusals (bad values, no GBK text) are the expected
// outcome of most inputs; what may not happen is a crash, undefined behaviour, an
// exception that escapes the dispatch point, or a non-finite number in a field.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCommon.h"
#include "app/PelmoraApp.h"
#include "fields/Errors.h"
#include "fields/UiPort.h"
#include "project/SaveFormData.h"
#include "project/TextFile.h"

using namespace pelmora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 200000) return 0;
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  size_t eol = bytes.find_first_of("\r\n");
  if (bytes.substr(0, eol) != kFormRecordSignature) return 0;
  auto text = GbkToUtf8(bytes);
  if (!text) return 0;

  size_t complete = 0;
  const auto records = ParseFormRecords(*text, &complete);
  try {
    CheckFileExtras(records, complete, "fuzz.pmf");  // a file of ours cut short is refused
  } catch (const FileError&) {
    return 0;
  }

  ScriptedPort port;
  PelmoraApp app(&port, PELMORA_PROGRAM_DIR);
  bool applied = app.Run([&] { app.project.ApplyLoaded(records, ProjectCommands::LoadKind::Project); });
  if (applied) app.Run([&] { app.calc.MaoDExit(nullptr); });
  for (const EditD* e : app.form.ValueFields()) {
    const std::string& t = e->Text();
    if (t.find("nan") != std::string::npos || t.find("inf") != std::string::npos) fuzz::Fault("non-finite field text");
  }
  return 0;
}

#pragma once
// The example projects and templates shipped in the build's program folder, by name
// (build/bin/examples/NAME.pmf, build/bin/templates/NAME.pmt).
#include <string>

namespace pelmora::testing {

inline std::string Example(const std::string& name) {
  return std::string(PELMORA_PROGRAM_DIR) + "/examples/" + name + ".pmf";
}
inline std::string Template(const std::string& name) {
  return std::string(PELMORA_PROGRAM_DIR) + "/templates/" + name + ".pmt";
}

}  // namespace pelmora::testing

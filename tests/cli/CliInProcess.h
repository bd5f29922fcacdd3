#pragma once
// pelmora-calc run in the test's own process: its exit status and what it printed.
#include <sstream>
#include <string>
#include <vector>

#include "cli/CliRunner.h"

namespace pelmora::testing {

struct CliResult {
  int code;
  std::string out, err;
};

inline CliResult Cli(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  int code = RunCli(args, out, err);
  return {code, out.str(), err.str()};
}

}  // namespace pelmora::testing

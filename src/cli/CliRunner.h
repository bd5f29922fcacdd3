#pragma once
// pelmora-calc: the headless front end. Options are applied in the order given, each
// as a user would do it.
#include <iosfwd>
#include <string>
#include <vector>

namespace pelmora {

// Returns the process exit code: 0 on success, 1 when an action failed (its message
// was shown), 2 for a usage error.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace pelmora

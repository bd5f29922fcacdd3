#pragma once
// pelmora-calc: the headless front end. Options are applied in the order given, each
// as a user would do it.
#include <iosfwd>
#include <string>
#include <vector>

namespace pelmora {

// Returns the process exit code: 0 when every option did what it asks (messages of the
// calculation are results), 1 when an option could not be carried out for another
// reason, 2 for a usage error, 3 when a file could not be read or written. Nothing that
// happens inside escapes as an exception.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace pelmora

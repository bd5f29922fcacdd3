#include <exception>
#include <iostream>

#include "cli/CliRunner.h"
#include "fields/Dispatch.h"

int main(int argc, char** argv) {
  // The last resort: RunCli handles what its options raise; anything that still gets
  // here is reported (and the unexpected-error hook runs) instead of aborting.
  try {
    std::vector<std::string> args(argv + 1, argv + argc);
    return pelmora::RunCli(args, std::cout, std::cerr);
  } catch (const std::exception& e) {
    pelmora::ReportUnexpectedError(nullptr, e.what());
    std::cerr << "pelmora-calc: " << pelmora::UnexpectedErrorMessage(e.what()) << "\n";
  } catch (...) {
    pelmora::ReportUnexpectedError(nullptr, "");
    std::cerr << "pelmora-calc: " << pelmora::UnexpectedErrorMessage("") << "\n";
  }
  return 1;
}

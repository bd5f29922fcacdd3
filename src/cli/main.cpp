#include <iostream>

#include "cli/CliRunner.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return pelmora::RunCli(args, std::cout, std::cerr);
}

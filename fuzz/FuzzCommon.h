#pragma once
// Shared by the fuzz targets: a fault the target finds ends the run loudly, so that
// libFuzzer (and the replay driver of the test build) reports it with its input.
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace pelmora::fuzz {

[[noreturn]] inline void Fault(const char* what) {
  std::fprintf(stderr, "fuzz target fault: %s\n", what);
  std::abort();
}

inline void RequireFinite(double x, const char* what) {
  if (!std::isfinite(x)) Fault(what);
}

}  // namespace pelmora::fuzz

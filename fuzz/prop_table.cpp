// Fuzz target: the property texts of the library: a constant, a single pair or a point
// table "t1,v1;t2,v2;...", read at a temperature, and the number lists. A text that is
// no number fails with ConversionError, coinciding points or an overflow with
// FloatingPointError; anything else (a crash, another exception, a non-finite value)
// is a fault.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzCommon.h"
#include "fields/Errors.h"
#include "props/PropTables.h"

using namespace pelmora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 8192) return 0;
  // The first 8 bytes (when there are) choose the temperature.
  double x = 20;
  if (size >= 8) {
    std::memcpy(&x, data, 8);
    if (!std::isfinite(x) || std::fabs(x) > 1e6) x = 20;
    data += 8;
    size -= 8;
  }
  const std::string text(reinterpret_cast<const char*>(data), size);
  try {
    fuzz::RequireFinite(TableValue(text, x), "non-finite table value");
  } catch (const ConversionError&) {
  } catch (const FloatingPointError&) {
  }
  PointTable table;
  int n = 0;
  try {
    n = ParseTable(table, text);
  } catch (const ConversionError&) {
    n = -1;
  }
  if (n > 0) {
    if (table.x.size() < static_cast<size_t>(n) || table.y.size() < static_cast<size_t>(n)) fuzz::Fault("short table");
    for (int mode : {1, 0}) {
      try {
        fuzz::RequireFinite(InterpolateTable(n, table, mode, x), "non-finite interpolation");
      } catch (const FloatingPointError&) {
      }
    }
  }
  std::vector<std::string> items;
  int count = SplitText(text, ';', items);
  if (count < 0 || items.size() < static_cast<size_t>(count)) fuzz::Fault("split count beyond the list");
  double values[16];
  try {
    SplitNumbers(text, ',', values);
  } catch (const ConversionError&) {
  }
  return 0;
}

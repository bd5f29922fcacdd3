#pragma once
// The catalogue next to the program: the steel tube series (Piples1) and the liquid
// expansion coefficients (Expand1), kept in one SQLite file and held in memory in
// primary-key order while the program runs.
#include <optional>
#include <string>
#include <vector>

namespace pelmora {

struct PipeRow {
  int id = 0;
  std::string dn;                // outer diameter "×" wall thickness, mm
  std::optional<double> Do, Di;  // mm
  bool own = false;              // added by the user (may be deleted); shipped rows are not
  std::string standard;          // the standard the size is bought to ("GB/T 8163"); empty for own sizes
};

// The order the page shows the series in: by outer diameter, then wall, then standard (own
// sizes last among equals); a size text that does not parse goes to the end. Indices into pipes.
std::vector<size_t> DisplayOrder(const std::vector<PipeRow>& pipes);

struct ExpandRow {
  int id = 0;
  std::string dn;            // name of the liquid
  std::optional<double> ec;  // 1E-4 1/K
};

// Outer diameter and wall thickness (mm) of a size text: the number before the first
// "×" and the number in the (at most 10) characters after it. Throws ConversionError
// "'<text>' is not a valid floating point value" naming the part that is not a number.
struct TubeSize {
  double outer = 0, wall = 0;
};
TubeSize ParseTubeSize(const std::string& dn);

// Checks a size typed by the user ("25×2.5", "25x2.5", "25*2.5", blanks allowed) and
// returns it written with "×"; or nullopt with a message (both numbers, outer > 2 ×
// wall > 0, at most 10 characters).
std::optional<std::string> NormalizeOwnSize(const std::string& text, std::string* message);

class PipeCatalogue {
 public:
  static constexpr const char* kFileName = "Piples.mdb";

  std::vector<PipeRow> pipes;      // by ID
  std::vector<ExpandRow> expands;  // by ID

  // Reads both tables. On failure both stay empty and false is returned with a message.
  bool Load(const std::string& path, std::string* message);
  // Writes both tables to a new file in one transaction and puts it in place of `path`
  // (synced, atomic rename). On failure `path` is as it was.
  bool Save(const std::string& path, std::string* message) const;
};

}  // namespace pelmora

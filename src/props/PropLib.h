// The property library: substance records kept in memory, loaded from and saved to
// the SQLite file PropLib.cds in the program folder.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelmora {

// One library record; a field may be null (std::nullopt). NO ... NT are the record's
// original columns; the rest say what the data hold for: FM formula or composition, TL/TH
// the temperature range of the property texts (°C), PL/PH the pressure range (kPa, absolute;
// null when the texts do not depend on p), PB the pressure basis in words, VP the vapour
// pressure text (kPa, in t like the other texts), VL/VH the range of VP (°C), SR the source
// of each property. A library file written before these columns existed loads with them null.
struct PropRecord {
  std::optional<std::string> NO, CN, EN, CP, MD, VI, TC, ST, HV, Pc, NT;
  std::optional<std::string> FM, TL, TH, PL, PH, PB, VP, VL, VH, SR;

  // The field of a name ("NO" ... "NT", also "Cp"), compared without regard to case;
  // null for an unknown name.
  const std::optional<std::string>* Field(std::string_view name) const;
  std::optional<std::string>* Field(std::string_view name);
};

struct PropFieldInfo {
  const char* name;  // column name
  int width;         // in characters of the Chinese code page (GBK bytes)
  const char* caption;
};

inline constexpr size_t kPropFieldCount = 21;
// NO, CN, EN, CP, MD, VI, TC, ST, HV, Pc, NT, then FM, TL, TH, PL, PH, PB, VP, VL, VH, SR.
const std::array<PropFieldInfo, kPropFieldCount>& PropFields();

class PropLibrary {
 public:
  static constexpr const char* kFileName = "PropLib.cds";

  // Records ordered by NO (text order; null first; stable for equal numbers).
  const std::vector<PropRecord>& Records() const { return records_; }
  int Count() const { return static_cast<int>(records_.size()); }
  const PropRecord& At(int i) const { return records_.at(static_cast<size_t>(i)); }
  // Index of the first record with this NO, or -1.
  int Find(std::string_view no) const;

  // Edits keep the order by NO; each returns the new index of the record, or -1 and a
  // message (widths exceeded) without changing anything.
  int Insert(const PropRecord& r, std::string* message = nullptr);
  int Update(int index, const PropRecord& r, std::string* message = nullptr);
  void Remove(int index);
  void Clear() { records_.clear(); }

  // Empty text when the record fits the field widths, else a message naming the field.
  static std::string CheckRecord(const PropRecord& r);

  // Loads the whole file. On failure (missing, damaged, not a library) the library is
  // left empty and false is returned with a message for the user.
  bool Load(const std::string& path, std::string* message);
  // Writes the whole table to path in one transaction, replacing the file only when
  // everything was written. False with a message on failure (the old file stays).
  bool Save(const std::string& path, std::string* message) const;

 private:
  void Sort();
  std::vector<PropRecord> records_;
};

// path of PropLib.cds in a program folder.
std::string PropLibPath(const std::string& programFolder);

}  // namespace pelmora

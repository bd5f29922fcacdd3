#pragma once
// A property only the tests know: a note on each value field, kept outside the component
// in one map for the whole test program. Added with AddProperty, it must reach files,
// --json and the widgets with no other change.
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "fields/Properties.h"

namespace pelmora::testing {

inline std::map<const Component*, std::string>& Notes() {
  static std::map<const Component*, std::string> notes;
  return notes;
}

// The note as a text property shown in --json as "note", read and written through
// `records` at `saveRank` (none and 0: never in a file).
inline Property NoteProperty(std::vector<RecordForm> records, int saveRank) {
  return {.name = "Note",
          .type = PropType::Text,
          .get = [](const Component& c) -> PropValue {
            auto it = Notes().find(&c);
            return it == Notes().end() ? std::string() : it->second;
          },
          .set = [](Component& c, const PropValue& v) { Notes()[&c] = std::get<std::string>(v); },
          .records = std::move(records),
          .saveRank = saveRank,
          .check = {},
          .json = "note",
          .jsonWhen = {},
          .input = {}};
}

}  // namespace pelmora::testing

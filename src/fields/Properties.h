#pragma once
// One description per component kind: the properties a kind has, each with its name,
// its type, a getter and a setter, the file records that carry it and its key in the
// JSON state. The form-record files, `pelmora-calc` (--json, --set, --unit, --select)
// and the Qt view all work from this table, so a property added here is written,
// read, printed and shown without touching them.
#include <functional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "fields/Components.h"

namespace pelmora {

enum class PropType { Bool, Int, Float, Text, Lines, CheckList };

using PropValue =
    std::variant<bool, long long, double, std::string, std::vector<std::string>, std::vector<CheckListBox::Item>>;

// Equal values of a property (a check list compares its items' texts and ticks).
bool SameValue(const PropValue& a, const PropValue& b);

// A file record that sets a property: its kind line ("String", "Enum", "Ord", "Float",
// "Memo", "Rich", "CheckListBox") and its property line, compared without regard to
// case; `anyName` accepts whatever the property line says.
struct RecordForm {
  std::string kind;
  std::string property;
  bool anyName = false;
};

// Something a user does to a property from the command line (`pelmora-calc --set`):
// checks the argument (std::invalid_argument when it does not fit) and returns the
// action to run through the dispatch point.
struct UserInput {
  std::string option;
  std::function<std::function<void()>(Component& c, const std::string& arg)> prepare;
};

struct Property {
  std::string name;
  PropType type = PropType::Text;
  std::function<PropValue(const Component&)> get;
  std::function<void(Component&, const PropValue&)> set;  // empty: read-only
  // The records that set the property on reading; the first is the one written.
  std::vector<RecordForm> records;
  // Position among the records written for one component; 0: never written.
  int saveRank = 0;
  // Checks a value read from a file before anything changes (throws ConversionError).
  std::function<void(const PropValue& v, const std::string& raw)> check;
  std::string json;                                // key in --json; empty: not printed
  std::function<bool(const Component&)> jsonWhen;  // empty: always printed
  std::vector<UserInput> input;
};

struct KindInfo {
  Kind kind;
  std::string name;
  // The widget that shows the kind in the window ("ValueEdit", ...); empty: none.
  std::string view;
  std::vector<Property> properties;  // in the order of the JSON state
  // Indices of the written properties, in the order of their records.
  std::vector<size_t> written;

  // What the kind does, for every view and reader alike; empty where it does not apply.
  // The focus leaves the control: its exit handler (value fields, edits, lists).
  std::function<void(Component&)> leave;
  // A click: buttons, speed buttons, menu items.
  std::function<void(Component&)> press;
  // The text the control shows (edits, lists, rich text), as a report copies it.
  std::function<std::string(const Component&)> text;
  // The number of items a selection index counts in (lists, radio groups).
  std::function<size_t(const Component&)> itemCount;
  // The list is rebuilt with the operating mode (unit selectors): an index read from a
  // file is checked only once the mode has been read.
  bool itemsFollowMode = false;
  // An item of a list as the view shows it.
  std::function<std::string(const std::string& item)> shownItem;
  // What help on the control looks up (F1, 这是什么？): by default its hint.
  std::function<std::string(const Component&)> helpTopic;
  // The user types or chooses a value in it (edits, lists, unit selectors, radio groups,
  // check boxes): an undo step may be named after it.
  bool input = false;
  // Part of the project's state. Commands, pages, the catalogue grid and the chart are
  // not: undo neither records nor restores them.
  bool project = true;
};

const KindInfo& Describe(Kind k);

// Adds a property to a kind (tests add test-only properties this way).
void AddProperty(Kind k, Property p);
// Removes a property added by AddProperty.
void RemoveProperty(Kind k, std::string_view name);

}  // namespace pelmora

#pragma once
// Form record files (.pmf projects, .pmt templates): the state of a window's
// components as five-line records (name, kind, property, value, empty line) after a
// signature line, a version line and an empty line; GBK text with CR LF line ends.
// Readers apply what they recognise and skip everything else, so files stay readable
// when components are added to or removed from the window.
#include <string>
#include <string_view>
#include <vector>

#include "fields/Components.h"

namespace pelmora {

inline constexpr std::string_view kFormRecordSignature =
    "CFR File Format(Compatible Form Record File),by Lirvadesmonte.";
inline constexpr std::string_view kFormRecordVersion = "Version 1.1,2007.07.17";

struct FormRecord {
  std::string name;
  std::string kind;      // "String", "Float", "Ord", "Enum", "Memo", "Rich", "CheckListBox"
  std::string property;  // "Text", "Exchange", "Enabled", ...
  std::string value;
  bool operator==(const FormRecord&) const = default;
};

// The records of every component in creation order; components named in `excluded`
// (letter case ignored) are left out.
std::vector<FormRecord> CollectFormRecords(const Form& form, const std::vector<std::string>& excluded = {});
// The file text (UTF-8, CR LF) for the records, header included.
std::string FormatFormRecords(const std::vector<FormRecord>& records);
// The records of a file text whose first line has already been checked (UTF-8).
std::vector<FormRecord> ParseFormRecords(std::string_view text);

// Checks every record against the form first: a value that cannot be converted throws
// ConversionError ("'x' is not a valid floating point value", "'x' is not a valid
// integer value", "Invalid property element: x") before anything is changed. Then
// applies the records one after the other through the components' own setters, so
// their reactions run. Should a reaction fail half way, the form's earlier state is
// put back before the error propagates.
void ApplyFormRecords(Form& form, const std::vector<FormRecord>& records);

// Writes the window to `path` (GBK, CR LF), replacing an existing file only once the
// new content is completely written. Throws FileError (unwritable path, a character
// GBK cannot hold) with the old file untouched.
void SaveFormRecords(const Form& form, const std::string& path, const std::vector<std::string>& excluded = {});
// The same for records already collected.
void SaveFormRecords(const std::vector<FormRecord>& records, const std::string& path);

enum class LoadStatus { Applied, Missing, NotFormRecordFile };
// Reads and applies a form record file. Missing or not beginning with the signature:
// nothing is applied. A bad value or a file that is not GBK text throws (ConversionError
// or FileError) with the window unchanged.
LoadStatus ReadFormRecordFile(Form& form, const std::string& path);
// True when the file was applied; false for a missing file or a wrong signature.
bool LoadFormRecords(Form& form, const std::string& path);

}  // namespace pelmora

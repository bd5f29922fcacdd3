#pragma once
// Form record files (.pmf projects, .pmt templates): the state of a window's
// components as five-line records (name, kind, property, value, empty line) after a
// signature line, a version line and an empty line; GBK text with CR LF line ends.
// Readers apply what they recognise and skip everything else, so files stay readable
// when components are added to or removed from the window.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fields/Components.h"
#include "fields/Errors.h"
#include "fields/Substances.h"

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

// Records this program writes besides the window's own. No component has their name, so
// a reader that knows only the window's records skips them. Every file begins with the
// writer record: the program and the number of records that follow it, so that a file
// cut short (a save interrupted, a copy broken off) is known as such.
inline constexpr std::string_view kFileComponent = "PelmoraFile";
FormRecord WriterRecord(size_t following);
// Whether the results in the file are those of a completed run over its inputs.
FormRecord ResultsCurrentRecord(bool current);
// The project a recovery copy was made of (its file, or the unnamed project).
FormRecord ProjectNameRecord(const std::string& name);
// The library substance of each side that knows one, a record a side
// ("PelmoraFile", "String", "SubstanceVessel", "0001;20;100;水(液)"): the record's NO,
// the t (°C) and p (kPa) it was evaluated at, and its name.
std::vector<FormRecord> SubstanceRecords(const ProjectSubstances& substances);
// Whether a record is one of this program's extra records (not the window's own).
bool IsFileExtra(const FormRecord& r);

// What the extra records of a file say.
struct FileExtras {
  bool ownWriter = false;  // the file began with the writer record
  size_t announced = 0;    // the records it said would follow
  std::optional<bool> resultsCurrent;
  std::string projectName;
  ProjectSubstances substances;  // none in a file without substance records
};
// Reads the extra records. A file that begins with the writer record but holds fewer
// complete records than it announced (or whose writer record is itself cut) throws
// FileError "文件不完整，可能在保存时被中断：…" naming `path`.
FileExtras CheckFileExtras(const std::vector<FormRecord>& records, size_t complete, const std::string& path);

// A value of the file that cannot be converted, with the record it stands in (counted
// from 1 in the records given to ApplyFormRecords) and its component. what() is the
// conversion's own text ("'36x0' is not a valid floating point value").
class RecordError : public ConversionError {
 public:
  RecordError(const std::string& what, size_t record, std::string component)
      : ConversionError(what), record_(record), component_(std::move(component)) {}
  size_t Record() const { return record_; }
  const std::string& Component() const { return component_; }

 private:
  size_t record_;
  std::string component_;
};

// The records of every component in creation order; components named in `excluded`
// (letter case ignored) are left out.
std::vector<FormRecord> CollectFormRecords(const Form& form, const std::vector<std::string>& excluded = {});
// The file text (UTF-8, CR LF) for the records, header included.
std::string FormatFormRecords(const std::vector<FormRecord>& records);
// The records of a file text whose first line has already been checked (UTF-8).
// `complete` receives how many of them were whole: the value line ended by a line end
// (the last record of a file cut short is not).
std::vector<FormRecord> ParseFormRecords(std::string_view text, size_t* complete = nullptr);

// Checks every record against the form first: a value that cannot be converted throws
// RecordError ("'x' is not a valid floating point value", "'x' is not a valid integer
// value", "Invalid property element: x") before anything is changed. Then
// applies the records one after the other through the components' own setters, so
// their reactions run. Should a reaction fail half way, the form's earlier state is
// put back before the error propagates.
void ApplyFormRecords(Form& form, const std::vector<FormRecord>& records);

// Writes the window to `path` (GBK, CR LF) after the writer record, replacing an
// existing file only once the new content is completely written. Throws FileError
// (unwritable path, a character GBK cannot hold) with the old file untouched.
void SaveFormRecords(const Form& form, const std::string& path, const std::vector<std::string>& excluded = {});
// The same for records already collected (extra records first, then the window's).
void SaveFormRecords(const std::vector<FormRecord>& records, const std::string& path);

enum class LoadStatus { Applied, Missing, NotFormRecordFile, Refused };

// A form record file read and checked, nothing applied yet.
struct FormRecordFile {
  LoadStatus status = LoadStatus::Applied;  // Applied: read and whole
  std::string reason;                       // Chinese, when not read
  std::vector<FormRecord> records;          // every record, the extra ones included
  FileExtras extras;
};
// Reads a file for applying. Missing, a folder, not a regular file, larger than the
// limit of ReadFileChecked, or not beginning with the signature: a status and a reason,
// nothing read. Not GBK text or cut short (CheckFileExtras): throws FileError.
FormRecordFile ReadFormRecords(const std::string& path);
// The message for a conversion error of one of the file's records: "文件“NAME”第 N 条
// 记录（COMPONENT）无法读取：" and the conversion's own text. `offset` is the number of
// records given to ApplyFormRecords before the file's own.
std::string RecordErrorMessage(const RecordError& e, const std::string& path, size_t offset = 0);

// Reads and applies a form record file. Missing, not a regular file or not beginning
// with the signature: nothing is applied. A bad value (ConversionError naming the record),
// a file that is not GBK text or is cut short (FileError) throws with the window unchanged.
LoadStatus ReadFormRecordFile(Form& form, const std::string& path);
// True when the file was applied; false for a missing file or a wrong signature.
bool LoadFormRecords(Form& form, const std::string& path);

}  // namespace pelmora

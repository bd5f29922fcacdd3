// Reading a form record file as a whole before anything of it is applied, and the extra
// records this program writes before the window's own.
#include <optional>

#include "fields/Text.h"
#include "fields/Version.h"
#include "project/SaveFormData.h"
#include "project/TextFile.h"

namespace pelmora {

namespace {

constexpr std::string_view kWriterProperty = "Writer";
constexpr std::string_view kResultsProperty = "ResultsCurrent";
constexpr std::string_view kProjectProperty = "Project";
constexpr std::string_view kRecordsWord = " records";

// The count in "Pelmora V2016.12.05.25; 812 records".
std::optional<size_t> AnnouncedCount(std::string_view v) {
  size_t semi = v.rfind("; ");
  if (semi == std::string_view::npos) return std::nullopt;
  std::string_view n = v.substr(semi + 2);
  if (n.size() <= kRecordsWord.size() || n.substr(n.size() - kRecordsWord.size()) != kRecordsWord) return std::nullopt;
  n = n.substr(0, n.size() - kRecordsWord.size());
  if (n.empty() || n.size() > 9) return std::nullopt;
  size_t count = 0;
  for (char c : n) {
    if (c < '0' || c > '9') return std::nullopt;
    count = count * 10 + static_cast<size_t>(c - '0');
  }
  return count;
}

bool IsExtra(const FormRecord& r, std::string_view property) {
  return EqualsNoCase(r.name, kFileComponent) && EqualsNoCase(r.property, property);
}

}  // namespace

FormRecord WriterRecord(size_t following) {
  return {
      std::string(kFileComponent), "String", std::string(kWriterProperty),
      std::string(PELMORA_NAME " " PELMORA_VERSION_TEXT "; ") + std::to_string(following) + std::string(kRecordsWord)};
}

FormRecord ResultsCurrentRecord(bool current) {
  return {std::string(kFileComponent), "Enum", std::string(kResultsProperty), current ? "True" : "False"};
}

FormRecord ProjectNameRecord(const std::string& name) {
  return {std::string(kFileComponent), "String", std::string(kProjectProperty), name};
}

std::vector<FormRecord> SubstanceRecords(const ProjectSubstances& substances) {
  std::vector<FormRecord> out;
  for (FluidSide side : kFluidSides)
    if (const auto& s = substances.Of(side))
      out.push_back({std::string(kFileComponent), "String", SideRecordProperty(side), FormatSideSubstance(*s)});
  return out;
}

bool IsFileExtra(const FormRecord& r) { return EqualsNoCase(r.name, kFileComponent); }

FileExtras CheckFileExtras(const std::vector<FormRecord>& records, size_t complete, const std::string& path) {
  FileExtras x;
  auto incomplete = [&path](const std::string& detail) {
    throw FileError("文件不完整，可能在保存时被中断：“" + path + "”" + detail);
  };
  if (!records.empty() && IsExtra(records.front(), kWriterProperty)) {
    x.ownWriter = true;
    std::optional<size_t> n = AnnouncedCount(records.front().value);
    if (!n || complete == 0) incomplete("（文件的第一条记录不完整）");
    x.announced = *n;
    if (complete - 1 < *n)
      incomplete("（应有 " + std::to_string(*n) + " 条记录，只有 " + std::to_string(complete - 1) + " 条完整）");
  }
  for (const FormRecord& r : records) {
    if (IsExtra(r, kResultsProperty)) {
      if (EqualsNoCase(r.value, "True")) x.resultsCurrent = true;
      if (EqualsNoCase(r.value, "False")) x.resultsCurrent = false;
    } else if (IsExtra(r, kProjectProperty)) {
      x.projectName = r.value;
    } else if (IsFileExtra(r)) {
      // A substance record that cannot be read leaves its side without a substance.
      for (FluidSide side : kFluidSides)
        if (EqualsNoCase(r.property, SideRecordProperty(side))) x.substances.Set(side, ParseSideSubstance(r.value));
    }
  }
  return x;
}

FormRecordFile ReadFormRecords(const std::string& path) {
  FormRecordFile out;
  FileContent content = ReadFileChecked(path);
  if (!content.bytes) {
    out.status = content.refusal == ReadRefusal::Missing ? LoadStatus::Missing : LoadStatus::Refused;
    out.reason = content.reason;
    return out;
  }
  const std::string& bytes = *content.bytes;
  if (std::string_view(bytes).substr(0, bytes.find_first_of("\r\n")) != kFormRecordSignature) {
    out.status = LoadStatus::NotFormRecordFile;
    out.reason = "它不是 Pelmora 项目或模板文件";
    return out;
  }
  size_t bad = 0;
  auto text = GbkToUtf8(bytes, &bad);
  if (!text) {
    size_t line = 1;
    for (size_t k = 0; k < bad && k < bytes.size(); ++k)
      if (bytes[k] == '\n') ++line;
    throw FileError("文件“" + path + "”第 " + std::to_string(line) + " 行不是 GBK 编码的文字");
  }
  size_t complete = 0;
  out.records = ParseFormRecords(*text, &complete);
  out.extras = CheckFileExtras(out.records, complete, path);
  return out;
}

std::string RecordErrorMessage(const RecordError& e, const std::string& path, size_t offset) {
  const size_t n = e.Record() > offset ? e.Record() - offset : e.Record();
  return "文件“" + path + "”第 " + std::to_string(n) + " 条记录（" + e.Component() + "）无法读取：\n" + e.what();
}

LoadStatus ReadFormRecordFile(Form& form, const std::string& path) {
  FormRecordFile file = ReadFormRecords(path);
  if (file.status != LoadStatus::Applied) return file.status;
  ApplyFormRecords(form, file.records);
  return LoadStatus::Applied;
}

bool LoadFormRecords(Form& form, const std::string& path) {
  return ReadFormRecordFile(form, path) == LoadStatus::Applied;
}

}  // namespace pelmora

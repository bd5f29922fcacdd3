#pragma once
// The calculation report as the window shows it: a title, a rule and sections of rows
// taken from what the fields currently show (label caption, text, unit), in columns
// counted in GBK bytes.
#include <string>
#include <vector>

#include "fields/Catalogue.h"

namespace pelmora {

// The row layouts (eight leading blanks, then the columns).
std::string NumberRowText(const std::string& label, const std::string& value, const std::string& unit);
std::string TextRowText(const std::string& label, const std::string& text, const std::string& unit);
std::string FixedRowText(const std::string& caption, const std::string& text);
// A number row's value column: the text with four decimals when it reads as a decimal
// number, otherwise the text unchanged.
std::string NumberColumn(const std::string& text);

// Collects the paragraphs of a report.
class ReportBuilder {
 public:
  explicit ReportBuilder(const TFormPelmora& form);

  // A row of the field `name` (e.g. "TaoD"); nothing when the field is disabled.
  void NumberRow(const std::string& name);
  void TextRow(const std::string& name);
  // A text row of a material or agitator list: the text before the first "|".
  void CutRow(const std::string& name);
  void FixedRow(const std::string& caption, const std::string& text);
  // A line in the report area's default font.
  void Plain(const std::string& text);
  void Heading(const std::string& heading);
  void EmptyLine();

  // Appends a further section after everything built so far: an empty line, the heading
  // and the rows (already laid out, e.g. with NumberRowText). Used by the sections that
  // follow the supplementary data.
  void AppendSection(const std::string& heading, const std::vector<std::string>& rows);

  // The whole report of the window.
  void BuildAll();

  std::vector<RichParagraph>& Paragraphs() { return paragraphs_; }

 private:
  const Component* Field(const std::string& name) const;
  std::string LabelOf(const std::string& name) const;
  std::string UnitOf(const std::string& name) const;
  std::string TextOf(const Component* c) const;
  void Line(const std::string& text, double points, bool bold);

  const TFormPelmora& f_;
  RichRun rowFont_;
  std::vector<RichParagraph> paragraphs_;
};

}  // namespace pelmora

#include "app/TableText.h"

#include <map>

#include "fields/Properties.h"
#include "fields/Text.h"

namespace pelmora {

namespace {

std::string Cell(const std::string& s) { return QuotedCell(s, "\t\r\n\""); }

// The inputs whose captions are counted: a unit selector goes with its field.
bool IsInputKind(const Component* c) { return c->GetKind() != Kind::ComboBoxU && Describe(c->GetKind()).input; }

// The caption of a control alone.
std::string OwnCaption(const TFormPelmora& form, const Component* c) {
  if (const auto* e = As<EditD>(c); e && e->MyLabel()) return e->MyLabel()->Caption();
  if (const auto* r = As<RadioGroup>(c)) return r->Caption();
  if (const auto* b = As<CheckBox>(c)) return b->Caption();
  // A list or plain edit: its label ("SmD" beside "SmL"), else its hint.
  const std::string& n = c->Name();
  if (n.size() > 1 && n.back() == 'D')
    if (const auto* l = form.FindAs<Label>(n.substr(0, n.size() - 1) + "L"); l && !l->Caption().empty())
      return l->Caption();
  return c->Hint().empty() ? n : c->Hint();
}

// Whether the worst check is beyond a warning: the design is then not to be used.
bool WorseThanWarning(const std::vector<DesignCheck>& checks) {
  for (const DesignCheck& c : checks)
    if (static_cast<int>(c.level) > static_cast<int>(DesignCheck::Level::Warning)) return true;
  return false;
}

}  // namespace

std::string TabSeparated(const TextTable& rows) {
  std::string out;
  for (const auto& row : rows) {
    for (size_t i = 0; i < row.size(); ++i) {
      if (i) out += '\t';
      out += Cell(row[i]);
    }
    out += '\n';
  }
  return out;
}

namespace {

std::map<std::string, int> CaptionCounts(const TFormPelmora& form) {
  std::map<std::string, int> counts;
  for (const Component* o : form.Components())
    if (IsInputKind(o)) ++counts[OwnCaption(form, o)];
  return counts;
}

std::string CaptionWith(const TFormPelmora& form, const Component* c, const std::map<std::string, int>& counts) {
  if (const auto* u = As<ComboBoxU>(c); u && u->Associated()) c = u->Associated();
  std::string caption = OwnCaption(form, c);
  auto n = counts.find(caption);
  if (n != counts.end() && n->second > 1)
    if (const auto* g = As<GroupBox>(c->Parent()); g && !g->Caption().empty()) caption += "（" + g->Caption() + "）";
  return caption;
}

bool Shown(const Component* c) {
  for (; c; c = c->Parent())
    if (!c->Visible()) return false;
  return true;
}

}  // namespace

std::string ControlCaption(const TFormPelmora& form, const Component* c) {
  return c ? CaptionWith(form, c, CaptionCounts(form)) : std::string();
}

TextTable ChecksTable(const TFormPelmora& form, const std::vector<DesignCheck>& checks) {
  const auto counts = CaptionCounts(form);
  TextTable rows;
  rows.push_back({kChecksHeader[0], kChecksHeader[1], kChecksHeader[2]});
  for (const DesignCheck& c : checks) {
    const Component* field = form.Find(c.field);
    rows.push_back({LevelText(c.level), field ? CaptionWith(form, field, counts) : c.field, c.text});
  }
  return rows;
}

TextTable ResultsTable(const TFormPelmora& form, const std::vector<DesignCheck>& checks) {
  std::map<const EditD*, std::string> units;
  for (const ComboBoxU* u : form.UnitSelectors())
    if (u->Associated()) units[u->Associated()] = u->GetUnit();
  const auto counts = CaptionCounts(form);
  TextTable fields;
  fields.push_back({kResultsHeader[0], kResultsHeader[1], kResultsHeader[2], kResultsHeader[3]});
  for (const Component* c : form.Components()) {
    if (!c->EffectivelyEnabled() || !Shown(c)) continue;
    if (const auto* e = As<EditD>(c)) {
      const std::string text(Trim(e->Text()));
      if (text.empty()) continue;
      const bool result = e->ReadOnly() || e->GetColor() != colors::Window;
      auto u = units.find(e);
      fields.push_back({CaptionWith(form, e, counts), text, u == units.end() ? std::string() : u->second,
                        e->Stale() ? kStaleType
                        : result   ? kResultType
                                   : kInputType});
    } else if (c->GetKind() == Kind::ComboBox) {
      const auto* l = static_cast<const ComboBox*>(c);
      // The item as the list shows it: the name before the bar, without the data after it.
      if (l->ItemIndex() >= 0)
        fields.push_back({CaptionWith(form, l, counts), ComboBoxU::ItemUnit(l->Text()), "", kInputType});
    } else if (const auto* r = As<RadioGroup>(c)) {
      if (r->ItemIndex() >= 0 && r->ItemIndex() < static_cast<int>(r->Items().size()))
        fields.push_back(
            {CaptionWith(form, r, counts), r->Items()[static_cast<size_t>(r->ItemIndex())], "", kInputType});
    }
  }
  if (checks.empty()) return fields;
  TextTable checkRows = ChecksTable(form, checks);
  // A design that must not be built says so before its numbers.
  TextTable& first = WorseThanWarning(checks) ? checkRows : fields;
  TextTable& second = &first == &fields ? checkRows : fields;
  TextTable out = first;
  out.push_back({});
  out.insert(out.end(), second.begin(), second.end());
  return out;
}

void AppendWrapped(std::vector<std::string>& rows, const std::string& head, const std::string& text, size_t indent,
                   size_t width, bool dropBlankAtBreak) {
  std::string line = head;
  size_t used = GbkWidth(head);
  size_t lastBreak = 0;  // where the line may end
  for (size_t i = 0; i < text.size();) {
    const size_t len = Utf8Length(static_cast<unsigned char>(text[i]));
    const size_t w = len == 1 ? 1 : 2;
    if (used + w > width) {
      // A Latin word moves to the next line whole (what follows the break is ASCII).
      std::string carry;
      if (len == 1 && text[i] != ' ' && lastBreak > head.size()) {
        carry = line.substr(lastBreak);
        line.resize(lastBreak);
      }
      rows.push_back(line);
      line = std::string(indent, ' ') + carry;
      used = indent + GbkWidth(carry);
      lastBreak = 0;
      if (dropBlankAtBreak && text[i] == ' ') {
        ++i;
        continue;
      }
    }
    line.append(text, i, len);
    used += w;
    i += len;
    if (len > 1 || text[i - 1] == ' ') lastBreak = line.size();
  }
  rows.push_back(line);
}

}  // namespace pelmora

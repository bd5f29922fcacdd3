#include "fields/Components.h"

#include <algorithm>
#include <cmath>

#include "fields/Errors.h"
#include "fields/FloatCheck.h"
#include "fields/NumberFormat.h"
#include "fields/Text.h"
#include "fields/UiPort.h"

namespace pelmora {

Rgb ToRgb(Color c) {
  switch (c) {
    case colors::Window: return {255, 255, 255};
    case colors::BtnFace: return {240, 240, 240};
    case colors::WindowText: return {0, 0, 0};
    default: break;
  }
  if (c < 0) return {0, 0, 0};
  return {c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF};
}

// ---------------------------------------------------------------- Component

Component::Component(Form& form, std::string name, Kind kind, Component* parent)
    : form_(form), name_(std::move(name)), kind_(kind), parent_(parent) {}

void Component::SetEnabled(bool b) {
  if (enabled_ == b) return;
  enabled_ = b;
  Changed();
}

void Component::SetUnavailable(const std::string& hint) {
  unavailable_ = true;
  hint_ = hint;
  Changed();
}

bool Component::EffectivelyEnabled() const {
  for (const Component* c = this; c; c = c->parent_)
    if (!c->Enabled()) return false;
  return true;
}

void Component::SetVisible(bool b) {
  if (visible_ == b) return;
  visible_ = b;
  Changed();
}

void Component::SetHint(std::string h) {
  if (hint_ == h) return;
  hint_ = std::move(h);
  Changed();
}

int Component::Subscribe(Observer o) {
  observers_.emplace_back(nextObserver_, std::move(o));
  return nextObserver_++;
}

void Component::Unsubscribe(int id) {
  std::erase_if(observers_, [id](const auto& p) { return p.first == id; });
}

void Component::Changed() {
  form_.NoteChange(this);
  if (observers_.empty()) return;
  auto copy = observers_;
  for (auto& [id, o] : copy) o(*this);
}

// ---------------------------------------------------------------- Label

Label::Label(Form& f, std::string name, Component* parent, std::string caption)
    : Component(f, std::move(name), Kind::Label, parent), caption_(std::move(caption)) {}

void Label::SetCaption(std::string c) {
  if (caption_ == c) return;
  caption_ = std::move(c);
  Changed();
}

// ---------------------------------------------------------------- Edit

Edit::Edit(Form& f, std::string name, Component* parent, Kind kind) : Component(f, std::move(name), kind, parent) {
  SetTabStop(true);
}

void Edit::SetText(std::string t) {
  Owner().NoteWrite(this);
  if (stale_) {
    stale_ = false;
    if (text_ == t) Changed();
  }
  if (text_ == t) return;
  text_ = std::move(t);
  numberValid_ = false;
  Changed();
  if (OnChange) OnChange(this);
}

std::optional<double> Edit::Number() const {
  if (!numberValid_) {
    number_ = ParseDecimal(Trim(text_));
    numberValid_ = true;
  }
  return number_;
}

void Edit::SetStale(bool b) {
  if (stale_ == b) return;
  stale_ = b;
  Changed();
}

void Edit::SetReadOnly(bool b) {
  if (readOnly_ == b) return;
  readOnly_ = b;
  Changed();
}

void Edit::SetColor(Color c) {
  if (color_ == c) return;
  color_ = c;
  Changed();
}

void Edit::SetCursor(Cursor c) {
  if (cursor_ == c) return;
  cursor_ = c;
  Changed();
}

void Edit::SetCtl3D(bool b) {
  if (ctl3d_ == b) return;
  ctl3d_ = b;
  Changed();
}

void Edit::SetFont(Font f) {
  font_ = std::move(f);
  Changed();
}

void Edit::SetFontColor(Color c) {
  if (font_.color == c) return;
  font_.color = c;
  Changed();
}

void Edit::SelectAll() {
  selectAllRequested = true;
  Changed();
}

void Edit::Exit() {
  if (OnExit) OnExit(this);
}

// ---------------------------------------------------------------- EditD

EditD::EditD(Form& f, std::string name, Component* parent) : Edit(f, std::move(name), parent, Kind::EditD) {
  exchange_ = 1.0;
  SetMyResolved(true);
}

void EditD::SetExchange(double f) {
  // The same factor leaves the text as typed (a stored "2000.0" stays "2000.0").
  if (f == exchange_) return;
  std::string_view t = Trim(Text());
  if (!t.empty()) {
    if (auto v = Number()) {
      double x = *v * exchange_ / f;
      if (std::isfinite(x)) SetText(Format15(x));
    }
  }
  exchange_ = f;
}

void EditD::SetMyResolved(bool b) {
  SetCtl3D(b);
  myResolved_ = b;
  SetFontColor(colors::Blue);
}

std::string EditD::FloatStr() const {
  if (auto v = ParseDecimal(Text())) return Format7(*v);
  return std::string(Trim(Text()));
}

std::string EditD::QuantityName() const { return myLabel_ ? myLabel_->Caption() : Name(); }

double EditD::GetValue() {
  if (auto v = Number()) {
    double x = *v * exchange_;
    if (std::isfinite(x)) return x;
  }
  std::string name = QuantityName();
  std::string msg = Trim(Text()).empty() ? "警告:“" + name + "”是空白,请补充." : name + "是错误数据";
  Owner().Port().ShowMessage(msg);
  Owner().SetFocus(this);
  SetText(" ");
  SelectAll();
  throw SilentAbort();
}

void EditD::SetValue(double x) {
  double shown = x / exchange_;
  if (!std::isfinite(shown)) throw FpError(std::isnan(shown) ? FpFault::Invalid : FpFault::Overflow);
  SetText(Format15(shown));
}

Overlay EditD::DrawOverlay() const {
  std::string s = FloatStr();
  if (!myResolved_ && s.empty() && !ReadOnly()) s = "[Must input]";
  if (s == Text()) return {};
  return {true, s, !EffectivelyEnabled()};
}

// ---------------------------------------------------------------- ComboBox

ComboBox::ComboBox(Form& f, std::string name, Component* parent, std::vector<std::string> items, Kind kind)
    : Component(f, std::move(name), kind, parent), items_(std::move(items)) {
  SetTabStop(true);
  font.name = "Times New Roman";
  font.heightPx = 10;
}

void ComboBox::SetItems(std::vector<std::string> items) {
  items_ = std::move(items);
  if (index_ >= static_cast<int>(items_.size())) index_ = -1;
  Changed();
}

void ComboBox::Select(int i) {
  if (i < -1 || i >= static_cast<int>(items_.size())) i = -1;
  if (index_ == i) return;
  index_ = i;
  Changed();
}

void ComboBox::SetItemIndex(int i) { Select(i); }

void ComboBox::UserSelect(int i) {
  Select(i);
  if (OnClick) OnClick(this);
  Change();
}

std::string ComboBox::Text() const {
  if (index_ < 0 || index_ >= static_cast<int>(items_.size())) return {};
  return items_[static_cast<size_t>(index_)];
}

double ComboBox::NumberAfterBar(size_t maxChars) const {
  std::string t = Text();
  size_t bar = t.find('|');
  std::string rest = bar == std::string::npos ? t : t.substr(bar + 1, maxChars);
  return StrToFloat(rest);
}

void ComboBox::Change() {
  if (OnChange) OnChange(this);
}

void ComboBox::Exit() {
  if (OnExit) OnExit(this);
}

// ---------------------------------------------------------------- ComboBoxU

ComboBoxU::ComboBoxU(Form& f, std::string name, Component* parent, std::vector<std::string> items)
    : ComboBox(f, std::move(name), parent, std::move(items), Kind::ComboBoxU) {
  SetTabStop(false);
}

double ComboBoxU::ItemFactor(const std::string& item) {
  size_t bar = item.find('|');
  std::string rest = bar == std::string::npos ? item : item.substr(bar + 1, 50);
  return StrToFloat(rest);
}

std::string ComboBoxU::ItemUnit(const std::string& item) {
  size_t bar = item.find('|');
  return TrimStr(bar == std::string::npos ? std::string_view(item) : std::string_view(item).substr(0, bar));
}

void ComboBoxU::Change() {
  ComboBox::Change();
  if (associated_ && ItemIndex() >= 0) associated_->SetExchange(ItemFactor(Text()));
}

void ComboBoxU::SetItemIndex(int i) {
  Select(i);
  if (!Owner().Loading()) Change();
}

void ComboBoxU::Loaded() {
  Select(Items().empty() ? -1 : 0);
  if (associated_ && !Items().empty()) associated_->SetExchange(ItemFactor(Items()[0]));
}

std::string ComboBoxU::GetUnit() const { return ItemUnit(Text()); }

// ---------------------------------------------------------------- RadioGroup

RadioGroup::RadioGroup(Form& f, std::string name, Component* parent, std::string caption,
                       std::vector<std::string> items, int columns)
    : Component(f, std::move(name), Kind::RadioGroup, parent),
      caption_(std::move(caption)),
      items_(std::move(items)),
      columns_(columns) {
  SetTabStop(true);
}

void RadioGroup::SetItemIndex(int i) {
  if (i < -1 || i >= static_cast<int>(items_.size())) i = -1;
  if (index_ == i) return;
  index_ = i;
  Changed();
  if (OnClick) OnClick(this);
}

// ---------------------------------------------------------------- RichEdit

RichEdit::RichEdit(Form& f, std::string name, Component* parent, Kind kind)
    : Component(f, std::move(name), kind, parent) {
  SetTabStop(true);
}

std::vector<std::string> RichEdit::Lines() const {
  std::vector<std::string> lines;
  lines.reserve(paragraphs_.size());
  for (const auto& p : paragraphs_) {
    std::string s;
    for (const auto& r : p) s += r.text;
    lines.push_back(std::move(s));
  }
  return lines;
}

std::string RichEdit::Text() const {
  std::string s;
  auto lines = Lines();
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i) s += "\r\n";
    s += lines[i];
  }
  return s;
}

void RichEdit::SetLines(const std::vector<std::string>& lines) {
  std::vector<RichParagraph> p;
  p.reserve(lines.size());
  for (const auto& l : lines) {
    RichRun r = defaultFont;
    r.text = l;
    p.push_back({r});
  }
  SetParagraphs(std::move(p));
}

void RichEdit::SetText(std::string_view text) { SetLines(SplitLines(text)); }

void RichEdit::SetParagraphs(std::vector<RichParagraph> p) {
  paragraphs_ = std::move(p);
  Changed();
  if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------- small controls

CheckBox::CheckBox(Form& f, std::string name, Component* parent, std::string caption, Kind kind)
    : Component(f, std::move(name), kind, parent), caption_(std::move(caption)) {
  SetTabStop(true);
}

void CheckBox::SetChecked(bool b) {
  if (checked_ == b) return;
  checked_ = b;
  Changed();
  if (OnClick) OnClick(this);
}

CheckListBox::CheckListBox(Form& f, std::string name, Component* parent)
    : Component(f, std::move(name), Kind::CheckListBox, parent) {}

void CheckListBox::SetItems(std::vector<Item> items) {
  items_ = std::move(items);
  Changed();
}

void CheckListBox::SetItem(size_t i, std::string text, bool checked) {
  if (i >= items_.size()) return;
  items_[i] = {std::move(text), checked};
  Changed();
}

SpeedButton::SpeedButton(Form& f, std::string name, Component* parent, std::string hint, bool toggle)
    : SpeedButton(f, std::move(name), parent, std::move(hint), toggle, Kind::SpeedButton) {}

SpeedButton::SpeedButton(Form& f, std::string name, Component* parent, std::string hint, bool toggle, Kind kind)
    : Component(f, std::move(name), kind, parent), toggle_(toggle) {
  SetHint(std::move(hint));
}

void SpeedButton::SetDown(bool b) {
  if (down_ == b) return;
  down_ = b;
  Changed();
}

void SpeedButton::SetCaption(std::string c) {
  if (caption_ == c) return;
  caption_ = std::move(c);
  Changed();
}

void SpeedButton::Click() {
  if (!EffectivelyEnabled()) return;
  if (toggle_) SetDown(!down_);
  if (OnClick) OnClick(this);
}

Button::Button(Form& f, std::string name, Component* parent, std::string caption)
    : SpeedButton(f, std::move(name), parent, "", false, Kind::Button) {
  SetCaption(std::move(caption));
}

MenuItem::MenuItem(Form& f, std::string name, Component* parent, std::string caption)
    : Component(f, std::move(name), Kind::MenuItem, parent), caption_(std::move(caption)) {
  if (auto* menu = dynamic_cast<MenuItem*>(parent)) menu->Add(this);
}

void MenuItem::SetCaption(std::string c) {
  if (caption_ == c) return;
  caption_ = std::move(c);
  Changed();
}

void MenuItem::SetChecked(bool b) {
  if (checked_ == b) return;
  checked_ = b;
  Changed();
}

int MenuItem::IndexOf(const MenuItem* m) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i] == m) return static_cast<int>(i);
  return -1;
}

void MenuItem::Add(MenuItem* m) {
  items_.push_back(m);
  Changed();
}

MenuItem* MenuItem::InsertOwned(size_t index, std::string caption) {
  auto m = std::make_unique<MenuItem>(Owner(), std::string(), nullptr, std::move(caption));
  MenuItem* raw = m.get();
  owned_.push_back(std::move(m));
  index = std::min(index, items_.size());
  items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(index), raw);
  Changed();
  return raw;
}

void MenuItem::Remove(size_t index) {
  if (index >= items_.size()) return;
  MenuItem* m = items_[index];
  items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
  std::erase_if(owned_, [m](const auto& p) { return p.get() == m; });
  Changed();
}

void MenuItem::Click() {
  if (!EffectivelyEnabled()) return;
  // A copy: the handler may remove this very item from its menu (recent-file entries).
  Event handler = OnClick;
  if (handler) handler(this);
}

GroupBox::GroupBox(Form& f, std::string name, Component* parent, std::string caption, Kind kind)
    : Component(f, std::move(name), kind, parent), caption_(std::move(caption)) {}

void GroupBox::SetCaption(std::string c) {
  if (caption_ == c) return;
  caption_ = std::move(c);
  Changed();
}

PageControl::PageControl(Form& f, std::string name, Component* parent)
    : Component(f, std::move(name), Kind::PageControl, parent) {}

void PageControl::SetActivePage(GroupBox* p) {
  if (active_ == p) return;
  active_ = p;
  Changed();
}

void PageControl::UserSelect(GroupBox* p) {
  SetActivePage(p);
  if (OnChange) OnChange(this);
}

StatusBar::StatusBar(Form& f, std::string name, Component* parent)
    : Component(f, std::move(name), Kind::StatusBar, parent) {
  panels_ = {{"", 50, false}, {"", 50, false}, {"", 50, true}};
}

void StatusBar::SetPanels(std::vector<Panel> p) {
  panels_ = std::move(p);
  Changed();
}

const std::string& StatusBar::PanelText(size_t i) const {
  static const std::string empty;
  return i < panels_.size() ? panels_[i].text : empty;
}

void StatusBar::SetPanelText(size_t i, std::string text) {
  if (i >= panels_.size() || panels_[i].text == text) return;
  panels_[i].text = std::move(text);
  Changed();
}

void StatusBar::SetPIndex(int i) {
  if (i < 0 || i >= static_cast<int>(panels_.size())) return;
  if (pIndex_ >= static_cast<int>(panels_.size())) pIndex_ = static_cast<int>(panels_.size()) - 1;
  if (pIndex_ >= 0) panels_[static_cast<size_t>(pIndex_)].ownerDrawn = false;
  panels_[static_cast<size_t>(i)].ownerDrawn = true;
  pIndex_ = i;
  progressVisible_ = false;
  Changed();
}

void StatusBar::SetProgressPosition(int p) {
  if (progress_ == p) return;
  progress_ = p;
  Changed();
}

void StatusBar::SetProgressVisible(bool b) {
  if (progressVisible_ == b) return;
  progressVisible_ = b;
  Changed();
}

PaintBox::PaintBox(Form& f, std::string name, Component* parent)
    : Component(f, std::move(name), Kind::PaintBox, parent) {}

void PaintBox::Invalidate() { Changed(); }

DataGrid::DataGrid(Form& f, std::string name, Component* parent)
    : Component(f, std::move(name), Kind::DataGrid, parent) {}

void DataGrid::SetColumns(std::vector<Column> c) {
  columns_ = std::move(c);
  Changed();
}

void DataGrid::SetRows(std::vector<std::vector<std::string>> rows) {
  rows_ = std::move(rows);
  const int n = static_cast<int>(rows_.size());
  if (n == 0)
    current_ = -1;
  else if (current_ < 0)
    current_ = 0;
  else if (current_ >= n)
    current_ = n - 1;
  Changed();
}

void DataGrid::SetCurrent(int row) {
  const int n = static_cast<int>(rows_.size());
  int r = n == 0 ? -1 : (row < 0 ? 0 : (row >= n ? n - 1 : row));
  if (r == current_) return;
  current_ = r;
  Changed();
  if (OnChange) OnChange(this);
}

}  // namespace pelmora

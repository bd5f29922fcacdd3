#pragma once
// The toolkit-neutral component model of the calculation window. Components have a
// name, belong to a Form in creation order and notify their observers whenever their
// visible state changes; a view (Qt widget, command line) redraws from that. Events
// (change, exit, click) are plain callables set by the form description.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "fields/Color.h"

namespace pelmora {
namespace chart {
class Canvas;
}

class Form;
class UiPort;

enum class Cursor { Default, No, HourGlass };

struct Font {
  std::string name = "宋体";
  int heightPx = 12;
  Color color = colors::WindowText;
  bool bold = false;
};

enum class Kind {
  Label,
  Edit,
  EditD,
  ComboBox,
  ComboBoxU,
  RadioGroup,
  RichEdit,
  Memo,
  CheckBox,
  RadioButton,
  CheckListBox,
  SpeedButton,
  Button,
  MenuItem,
  GroupBox,
  TabSheet,
  PageControl,
  StatusBar,
  PaintBox,
  DataGrid
};

class Component;
using Event = std::function<void(Component* sender)>;
using KeyEvent = std::function<void(Component* sender, int key)>;

class Component {
 public:
  Component(Form& form, std::string name, Kind kind, Component* parent);
  virtual ~Component() = default;
  Component(const Component&) = delete;
  Component& operator=(const Component&) = delete;

  const std::string& Name() const { return name_; }
  Kind GetKind() const { return kind_; }
  Form& Owner() const { return form_; }
  Component* Parent() const { return parent_; }

  bool Enabled() const { return enabled_ && !unavailable_; }
  void SetEnabled(bool b);
  // A command whose function the program does not offer: disabled for good, whatever
  // the modes later enable, and its hint says why.
  bool Unavailable() const { return unavailable_; }
  void SetUnavailable(const std::string& hint);
  // Enabled and all parents enabled (a control inside a disabled group cannot be used).
  bool EffectivelyEnabled() const;
  bool Visible() const { return visible_; }
  void SetVisible(bool b);
  const std::string& Hint() const { return hint_; }
  void SetHint(std::string h);
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool b) { tabStop_ = b; }
  // Whether the control can take the keyboard focus at all (edits, lists, groups).
  virtual bool Focusable() const { return false; }

  using Observer = std::function<void(Component&)>;
  int Subscribe(Observer o);
  void Unsubscribe(int id);

  KeyEvent OnKeyDown;

 protected:
  void Changed();

 private:
  Form& form_;
  std::string name_;
  Kind kind_;
  Component* parent_;
  bool enabled_ = true;
  bool unavailable_ = false;
  bool visible_ = true;
  bool tabStop_ = false;
  std::string hint_;
  std::vector<std::pair<int, Observer>> observers_;
  int nextObserver_ = 1;
};

class Label : public Component {
 public:
  Label(Form& f, std::string name, Component* parent, std::string caption);
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string c);
  Font font;

 private:
  std::string caption_;
};

// A plain single-line text edit.
class Edit : public Component {
 public:
  Edit(Form& f, std::string name, Component* parent, Kind kind = Kind::Edit);
  bool Focusable() const override { return true; }

  const std::string& Text() const { return text_; }
  // The number the trimmed text holds, if any; parsed once per text.
  std::optional<double> Number() const;
  // Changes the text; a real change raises OnChange (from code as from typing).
  void SetText(std::string t);
  // What the user typing `typed` into the edit does: sets the text (an edit that hides
  // what is typed keeps it and shows something else).
  virtual void Type(const std::string& typed) { SetText(typed); }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool b);
  Color GetColor() const { return color_; }
  void SetColor(Color c);
  Cursor GetCursor() const { return cursor_; }
  void SetCursor(Cursor c);
  bool Ctl3D() const { return ctl3d_; }
  void SetCtl3D(bool b);
  const Font& GetFont() const { return font_; }
  void SetFont(Font f);
  void SetFontColor(Color c);
  // Selection request for the view (the whole text after a bad value).
  bool selectAllRequested = false;
  void SelectAll();

  // Leaving the field: raises OnExit.
  virtual void Exit();

  // A result left over from an earlier calculation that did not run to its end: the
  // view greys it and says so. Any new text (typed or computed) makes it current.
  bool Stale() const { return stale_; }
  void SetStale(bool b);
  static constexpr const char* kStaleHint = "本次计算未完成，此值为上次计算结果";

  Event OnChange;
  Event OnExit;

 private:
  bool stale_ = false;
  std::string text_;
  mutable bool numberValid_ = false;
  mutable std::optional<double> number_;
  bool readOnly_ = false;
  Color color_ = colors::Window;
  Cursor cursor_ = Cursor::Default;
  bool ctl3d_ = true;
  Font font_;
};

// What a view draws over a value field (the display form, or the must-input cue).
struct Overlay {
  bool draw = false;  // false: the edit's own text stands
  std::string text;
  bool grey = false;  // disabled: grey (128, 128, 128) instead of the font colour
};

// The unit-tagged value field: its SI value is the displayed number times Exchange.
class EditD : public Edit {
 public:
  EditD(Form& f, std::string name, Component* parent);

  double Exchange() const { return exchange_; }
  // Changes the unit factor and rescales the text so that the SI value stays the same.
  void SetExchange(double f);
  Label* MyLabel() const { return myLabel_; }
  void SetMyLabel(Label* l) { myLabel_ = l; }
  bool MyResolved() const { return myResolved_; }
  void SetMyResolved(bool b);
  // The display form: Format7 of the number when the whole text is one, else the trimmed text.
  std::string FloatStr() const;
  std::string GetFloatStr() const { return FloatStr(); }

  // The SI value; a blank or invalid text shows its message, leaves a single blank
  // with the focus in the field and throws SilentAbort.
  double GetValue();
  // Writes the SI value in the current unit (Format15).
  void SetValue(double x);
  // The caption that names the quantity in messages.
  std::string QuantityName() const;

  Overlay DrawOverlay() const;

 private:
  double exchange_ = 1.0;
  Label* myLabel_ = nullptr;
  bool myResolved_ = true;
};

// A drop-down list without free typing.
class ComboBox : public Component {
 public:
  ComboBox(Form& f, std::string name, Component* parent, std::vector<std::string> items, Kind kind = Kind::ComboBox);
  bool Focusable() const override { return true; }

  const std::vector<std::string>& Items() const { return items_; }
  void SetItems(std::vector<std::string> items);
  int ItemIndex() const { return index_; }
  // Selection from code; raises no event.
  virtual void SetItemIndex(int i);
  // A user's choice: select, then OnClick, then Change.
  void UserSelect(int i);
  // The text of the selected item, or empty.
  std::string Text() const;
  // The number after the first bar of the selected item (at most maxChars characters).
  double NumberAfterBar(size_t maxChars = 1000) const;
  // Raises OnChange.
  virtual void Change();
  void Exit();
  Font font;

  Event OnChange;
  Event OnClick;
  Event OnExit;

 protected:
  void Select(int i);

 private:
  std::vector<std::string> items_;
  int index_ = -1;
};

class ComboBoxU : public ComboBox {
 public:
  ComboBoxU(Form& f, std::string name, Component* parent, std::vector<std::string> items);
  EditD* Associated() const { return associated_; }
  void SetAssociated(EditD* e) { associated_ = e; }
  // The change event, then the field's factor from the current item.
  void Change() override;
  // Select, then Change unless the form description is still being read.
  void SetItemIndex(int i) override;
  // After the form description: item 0, and its factor into the field.
  void Loaded();
  std::string GetUnit() const;
  static double ItemFactor(const std::string& item);
  static std::string ItemUnit(const std::string& item);

 private:
  EditD* associated_ = nullptr;
};

class RadioGroup : public Component {
 public:
  RadioGroup(Form& f, std::string name, Component* parent, std::string caption, std::vector<std::string> items,
             int columns);
  bool Focusable() const override { return true; }
  const std::string& Caption() const { return caption_; }
  const std::vector<std::string>& Items() const { return items_; }
  int Columns() const { return columns_; }
  int ItemIndex() const { return index_; }
  // Selecting from code or by a click: OnClick runs when the selection changes.
  void SetItemIndex(int i);

  Event OnClick;

 private:
  std::string caption_;
  std::vector<std::string> items_;
  int columns_;
  int index_ = -1;
};

// One run of formatted text of a rich-text area.
struct RichRun {
  std::string text;
  std::string fontName = "宋体";
  double pointSize = 10.5;
  bool bold = false;
  Color color = colors::Black;
};
using RichParagraph = std::vector<RichRun>;

class RichEdit : public Component {
 public:
  RichEdit(Form& f, std::string name, Component* parent, Kind kind = Kind::RichEdit);
  bool Focusable() const override { return true; }
  // Plain lines (the paragraphs' texts).
  std::vector<std::string> Lines() const;
  std::string Text() const;  // lines joined by CR LF
  // Replaces the whole content by plain text in the default font.
  void SetText(std::string_view text);
  void SetLines(const std::vector<std::string>& lines);
  const std::vector<RichParagraph>& Paragraphs() const { return paragraphs_; }
  void SetParagraphs(std::vector<RichParagraph> p);
  void Clear() { SetParagraphs({}); }
  RichRun defaultFont;
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool b) { readOnly_ = b; }
  // The caret, in characters from the start: the view follows it when the content is
  // replaced and reports the user's moves back.
  int caretPosition = 0;

  Event OnChange;

 private:
  std::vector<RichParagraph> paragraphs_;
  bool readOnly_ = false;
};

class CheckBox : public Component {
 public:
  CheckBox(Form& f, std::string name, Component* parent, std::string caption, Kind kind = Kind::CheckBox);
  bool Focusable() const override { return true; }
  bool Checked() const { return checked_; }
  void SetChecked(bool b);
  const std::string& Caption() const { return caption_; }
  Event OnClick;

 private:
  std::string caption_;
  bool checked_ = false;
};

class CheckListBox : public Component {
 public:
  CheckListBox(Form& f, std::string name, Component* parent);
  struct Item {
    std::string text;
    bool checked = false;
  };
  const std::vector<Item>& Items() const { return items_; }
  void SetItems(std::vector<Item> items);
  void SetItem(size_t i, std::string text, bool checked);

 private:
  std::vector<Item> items_;
};

// A tool or speed button: a click, optionally a toggle that stays down.
class SpeedButton : public Component {
 public:
  SpeedButton(Form& f, std::string name, Component* parent, std::string hint, bool toggle = false);
  bool Down() const { return down_; }
  void SetDown(bool b);
  bool Toggle() const { return toggle_; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string c);
  // A press: a toggle changes Down first; then OnClick.
  void Click();
  Event OnClick;

 protected:
  SpeedButton(Form& f, std::string name, Component* parent, std::string hint, bool toggle, Kind kind);

 private:
  bool toggle_;
  bool down_ = false;
  std::string caption_;
};

// A push button with a caption (its own kind: the view draws it as such).
class Button : public SpeedButton {
 public:
  Button(Form& f, std::string name, Component* parent, std::string caption);
};

class MenuItem : public Component {
 public:
  MenuItem(Form& f, std::string name, Component* parent, std::string caption);
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string c);
  bool IsSeparator() const { return caption_ == "-"; }
  bool Checked() const { return checked_; }
  void SetChecked(bool b);
  // Items of a menu, in order. Named items belong to the form; items inserted at run
  // time (recent files) are owned by their menu.
  size_t Count() const { return items_.size(); }
  MenuItem* Item(size_t i) const { return items_[i]; }
  int IndexOf(const MenuItem* m) const;
  void Add(MenuItem* m);
  MenuItem* InsertOwned(size_t index, std::string caption);
  void Remove(size_t index);
  int tag = 0;       // private marks of whoever inserted the item
  std::string data;  // e.g. the path of a recent file
  void Click();
  Event OnClick;

 private:
  std::string caption_;
  bool checked_ = false;
  std::vector<MenuItem*> items_;
  std::vector<std::unique_ptr<MenuItem>> owned_;
};

class GroupBox : public Component {
 public:
  GroupBox(Form& f, std::string name, Component* parent, std::string caption, Kind kind = Kind::GroupBox);
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string c);

 private:
  std::string caption_;
};

class PageControl : public Component {
 public:
  PageControl(Form& f, std::string name, Component* parent);
  const std::vector<GroupBox*>& Pages() const { return pages_; }
  void AddPage(GroupBox* p) { pages_.push_back(p); }
  GroupBox* ActivePage() const { return active_; }
  // From code: no event.
  void SetActivePage(GroupBox* p);
  // The user's switch: then OnChange.
  void UserSelect(GroupBox* p);
  Event OnChange;

 private:
  std::vector<GroupBox*> pages_;
  GroupBox* active_ = nullptr;
};

class StatusBar : public Component {
 public:
  StatusBar(Form& f, std::string name, Component* parent);
  struct Panel {
    std::string text;
    int width = 50;
    bool ownerDrawn = false;
  };
  const std::vector<Panel>& Panels() const { return panels_; }
  void SetPanels(std::vector<Panel> p);
  const std::string& PanelText(size_t i) const;
  void SetPanelText(size_t i, std::string text);
  int PIndex() const { return pIndex_; }
  // Moves the progress bar to another panel; an index outside the panels is ignored.
  void SetPIndex(int i);
  int ProgressPosition() const { return progress_; }
  void SetProgressPosition(int p);
  bool ProgressVisible() const { return progressVisible_; }
  void SetProgressVisible(bool b);

 private:
  std::vector<Panel> panels_;
  int pIndex_ = 2;
  int progress_ = 0;
  bool progressVisible_ = false;
};

class PaintBox : public Component {
 public:
  PaintBox(Form& f, std::string name, Component* parent);
  // Asks the view to repaint (the paint event then runs OnPaint).
  void Invalidate();
  Event OnPaint;
  // The surface of the paint event in progress (set by the view around OnPaint), or null.
  chart::Canvas* canvas = nullptr;
};

// A read-only grid over a data table (pipe series): column titles and widths, the rows
// as texts and the current row, which the view shows and moves.
class DataGrid : public Component {
 public:
  DataGrid(Form& f, std::string name, Component* parent);
  struct Column {
    std::string title;
    int width = 0;  // pixels; 0 for the view's choice
    bool leftAlign = false;
  };
  const std::vector<Column>& Columns() const { return columns_; }
  void SetColumns(std::vector<Column> c);
  const std::vector<std::vector<std::string>>& Rows() const { return rows_; }
  // New rows; the current row is kept where it can be, else the last row.
  void SetRows(std::vector<std::vector<std::string>> rows);
  // Current row from 0, -1 when the grid is empty.
  int Current() const { return current_; }
  // Moves the current row (clamped to the rows); OnChange when it moved.
  void SetCurrent(int row);
  Event OnChange;

 private:
  std::vector<Column> columns_;
  std::vector<std::vector<std::string>> rows_;
  int current_ = -1;
};

}  // namespace pelmora

// The form that owns the components.
#include "fields/Form.h"

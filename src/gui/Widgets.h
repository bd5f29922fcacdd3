#pragma once
// Qt widgets bound to the components of the core. Each widget redraws itself from its
// component whenever the component changes, and passes the user's input into the
// component through the view's dispatch point. No behaviour lives here beyond drawing
// and input.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QToolButton>
#include <functional>
#include <vector>

#include "fields/Components.h"

class QRadioButton;

namespace pelmora::gui {

class QtPort;

// What the bound widgets need from the window that holds them.
class ViewContext {
 public:
  virtual ~ViewContext() = default;
  // Runs a user event in the core (dispatch point: messages, aborts, cursor).
  virtual bool Run(const std::function<void()>& action) = 0;
  // Runs the paint handler of a paint box (modal boxes deferred until the paint ends).
  virtual bool RunPaint(const std::function<void()>& action) = 0;
  // Records that `w` shows `c` (focus reports, focus moves by the core).
  virtual void Bind(Component* c, QWidget* w) = 0;
  // The component a widget (or its parent) shows, or none.
  virtual Component* ComponentOf(QWidget*) const { return nullptr; }
};

QString Q(const std::string& s);
std::string U(const QString& s);
QColor ToColor(Color c);
// The widget font of a core font (宋体 and Times New Roman are substituted at start-up).
QFont ToQFont(const Font& f);
QFont WindowFont();  // 宋体, 12 pixels
// Windows virtual-key code of a Qt key (F1 = 112, Enter = 13, ...), 0 when none.
int VirtualKey(int qtKey);

// Holds a component subscription for the lifetime of a widget.
class Subscription {
 public:
  Subscription() = default;
  ~Subscription() { Reset(); }
  void Reset(Component* c = nullptr, Component::Observer o = nullptr) {
    if (c_) c_->Unsubscribe(id_);
    c_ = c;
    id_ = c ? c->Subscribe(std::move(o)) : 0;
  }
  Subscription(const Subscription&) = delete;
  Subscription& operator=(const Subscription&) = delete;

 private:
  Component* c_ = nullptr;
  int id_ = 0;
};

// A widget given a fixed size (the cells of the pages) is that size: its size hints can
// say so at once instead of measuring its contents for a hint the layout cannot use.
inline bool HasFixedSize(const QWidget* w) { return w->minimumSize() == w->maximumSize(); }

// The value field (TEditD) and the plain single-line edit (TEdit).
class ValueEdit : public QLineEdit {
  Q_OBJECT

 public:
  ValueEdit(ViewContext& ctx, Edit* edit, QWidget* parent = nullptr);
  Edit* Comp() const { return edit_; }
  void Refresh();
  // Whether the overlay (display form or "[Must input]") is drawn now, and its text.
  bool OverlayShown(QString* text = nullptr, bool* grey = nullptr) const;

 protected:
  void paintEvent(QPaintEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  ViewContext& ctx_;
  Edit* edit_;
  EditD* field_;
  bool entered_ = false;  // the user is in the field (an exit is due when leaving)
  Subscription sub_;
};

// Drop-down list without typing: unit selectors (showing the unit names) and choice lists.
class ChoiceCombo : public QComboBox {
  Q_OBJECT

 public:
  ChoiceCombo(ViewContext& ctx, ComboBox* combo, QWidget* parent = nullptr);
  ComboBox* Comp() const { return combo_; }
  void Refresh();
  // A unit list measures the text of every item for its hint: about a tenth of the
  // window's start-up, for the 90-odd lists of the page 计算.
  QSize sizeHint() const override { return HasFixedSize(this) ? minimumSize() : QComboBox::sizeHint(); }
  QSize minimumSizeHint() const override { return HasFixedSize(this) ? minimumSize() : QComboBox::minimumSizeHint(); }

 protected:
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void changeEvent(QEvent* e) override;

 private:
  ViewContext& ctx_;
  ComboBox* combo_;
  std::vector<std::string> shownItems_;
  bool entered_ = false;
  bool constructed_ = false;
  Subscription sub_;
};

class CaptionLabel : public QLabel {
  Q_OBJECT

 public:
  CaptionLabel(ViewContext& ctx, Label* label, QWidget* parent = nullptr);
  void Refresh();

 private:
  Label* label_;
  Subscription sub_;
};

class GroupView : public QGroupBox {
  Q_OBJECT

 public:
  GroupView(ViewContext& ctx, GroupBox* group, QWidget* parent = nullptr);
  void Refresh();

 private:
  GroupBox* group_;
  Subscription sub_;
};

class RadioGroupView : public QGroupBox {
  Q_OBJECT

 public:
  RadioGroupView(ViewContext& ctx, RadioGroup* group, QWidget* parent = nullptr);
  void Refresh();
  QRadioButton* Button(int i) const { return buttons_.at(static_cast<size_t>(i)); }

 private:
  ViewContext& ctx_;
  RadioGroup* group_;
  std::vector<QRadioButton*> buttons_;
  Subscription sub_;
};

// Rich-text areas (notes, the report): paragraphs of formatted runs.
class RichTextView : public QTextEdit {
  Q_OBJECT

 public:
  RichTextView(ViewContext& ctx, RichEdit* rich, QWidget* parent = nullptr);
  void Refresh();

 private:
  void UserEdited();
  void SelectionChanged();
  ViewContext& ctx_;
  RichEdit* rich_;
  bool pushing_ = false;  // our own edit is on its way into the core
  bool loading_ = false;  // the document is rebuilt from the core
  Subscription sub_;
};

// Speed and tool buttons (no keyboard focus, hint as tool tip, toggles stay down).
class SpeedButtonView : public QToolButton {
  Q_OBJECT

 public:
  SpeedButtonView(ViewContext& ctx, SpeedButton* button, QWidget* parent = nullptr);
  void Refresh();

 private:
  SpeedButton* button_;
  Subscription sub_;
};

class ButtonView : public QPushButton {
  Q_OBJECT

 public:
  ButtonView(ViewContext& ctx, SpeedButton* button, QWidget* parent = nullptr);
  void Refresh();

 private:
  SpeedButton* button_;
  Subscription sub_;
};

// The paint box: its paint event runs the core's paint handler on a QtCanvas.
class PaintBoxView : public QWidget {
  Q_OBJECT

 public:
  PaintBoxView(ViewContext& ctx, PaintBox* box, QWidget* parent = nullptr);
  int paintCount = 0;
  // What the box says while its paint handler draws nothing (empty: nothing).
  std::function<QString()> emptyText;

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  ViewContext& ctx_;
  PaintBox* box_;
  Subscription sub_;
};

}  // namespace pelmora::gui

namespace pelmora::gui {
// Maps the window's font names to installed faces: 宋体 to AR PL UMing CN (or Noto Serif
// CJK SC), Times New Roman to Liberation Serif; sets the window font (宋体, 12 pixels).
void InstallFonts();

// Replaces the document's content by the paragraphs' runs (face, size, weight, colour).
void FillDocument(QTextDocument& doc, const std::vector<RichParagraph>& paragraphs);
}  // namespace pelmora::gui

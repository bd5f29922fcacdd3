#include "gui/Widgets.h"

#include <algorithm>

#include <QApplication>
#include <QFocusEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QRadioButton>
#include <QStyleOptionFrame>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "chart/Fonts.h"
#include "fields/Keys.h"
#include "fields/Properties.h"
#include "fields/Text.h"
#include "gui/QtCanvas.h"

namespace pelmora::gui {

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string U(const QString& s) { return s.toStdString(); }
QColor ToColor(Color c) { return ToQColor(c); }

QFont ToQFont(const Font& f) {
  QFont q(Q(f.name));
  q.setPixelSize(std::max(1, f.heightPx));
  q.setBold(f.bold);
  return q;
}

QFont WindowFont() {
  QFont f("宋体");
  f.setPixelSize(12);
  // Unhinted outlines: the CJK captions at 12 px come from the face's own bitmaps either
  // way, and laying out the first page no longer runs the TrueType hinting program for
  // every glyph it measures (about 9 ms of the window's start-up, bench/startup-time.sh).
  f.setHintingPreference(QFont::PreferNoHinting);
  return f;
}

int VirtualKey(int k) {
  if (k >= Qt::Key_F1 && k <= Qt::Key_F12) return Code(Key::F1) + (k - Qt::Key_F1);
  if (k >= Qt::Key_A && k <= Qt::Key_Z) return 'A' + (k - Qt::Key_A);
  if (k >= Qt::Key_0 && k <= Qt::Key_9) return '0' + (k - Qt::Key_0);
  switch (k) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return Code(Key::Enter);
    case Qt::Key_Escape: return Code(Key::Escape);
    case Qt::Key_Tab: return Code(Key::Tab);
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return Code(Key::Up);
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return Code(Key::Down);
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    default: return 0;
  }
}

namespace {

// Shows or hides a bound widget without ever turning a parentless one into a window.
void ApplyVisible(QWidget* w, bool visible) {
  if (!visible) {
    if (!w->isHidden() || !w->testAttribute(Qt::WA_WState_ExplicitShowHide)) w->setVisible(false);
  } else if (w->testAttribute(Qt::WA_WState_ExplicitShowHide) && w->isHidden() && w->parentWidget()) {
    w->setVisible(true);
  }
}

bool EndsAction(const QFocusEvent* e) {
  // Switching to another window or opening a menu does not leave the field.
  return e->reason() != Qt::ActiveWindowFocusReason && e->reason() != Qt::PopupFocusReason;
}

void SendKey(ViewContext& ctx, Component* c, QKeyEvent* e) {
  int vk = VirtualKey(e->key());
  if (vk && c->OnKeyDown) ctx.Run([c, vk] { c->OnKeyDown(c, vk); });
}

}  // namespace

// ---------------------------------------------------------------- ValueEdit

ValueEdit::ValueEdit(ViewContext& ctx, Edit* edit, QWidget* parent)
    : QLineEdit(parent), ctx_(ctx), edit_(edit), field_(As<EditD>(edit)) {
  setObjectName(Q(edit->Name()));
  setFocusPolicy(edit->TabStop() ? Qt::StrongFocus : Qt::ClickFocus);
  connect(this, &QLineEdit::textEdited, this, [this](const QString& t) {
    std::string s = U(t);
    ctx_.Run([this, s] { edit_->SetText(s); });
  });
  ctx.Bind(edit, this);
  Refresh();
  sub_.Reset(edit, [this](pelmora::Component&) { Refresh(); });
}

void ValueEdit::Refresh() {
  QString t = Q(edit_->Text());
  if (text() != t) {
    int pos = cursorPosition();
    setText(t);
    setCursorPosition(std::min<int>(pos, static_cast<int>(t.size())));
  }
  setReadOnly(edit_->ReadOnly());
  const Font& f = edit_->GetFont();
  QFont qf = ToQFont(f);
  if (font() != qf) setFont(qf);
  QPalette pal = palette();
  QColor base = ToColor(edit_->GetColor());
  for (auto g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) pal.setColor(g, QPalette::Base, base);
  // A result the last (failed) calculation did not reach is greyed and says so.
  const QColor text = edit_->Stale() ? QColor(128, 128, 128) : ToColor(f.color);
  pal.setColor(QPalette::Active, QPalette::Text, text);
  pal.setColor(QPalette::Inactive, QPalette::Text, text);
  pal.setColor(QPalette::Disabled, QPalette::Text, QColor(128, 128, 128));
  setPalette(pal);
  const QString tip = edit_->Stale() ? QString(Edit::kStaleHint) : Q(edit_->Hint());
  if (toolTip() != tip) setToolTip(tip);
  setFrame(edit_->Ctl3D());
  switch (edit_->GetCursor()) {
    case Cursor::No: setCursor(Qt::ForbiddenCursor); break;
    case Cursor::HourGlass: setCursor(Qt::WaitCursor); break;
    case Cursor::Default: unsetCursor(); break;
  }
  setEnabled(edit_->Enabled());
  ApplyVisible(this, edit_->Visible());
  if (edit_->selectAllRequested) {
    edit_->selectAllRequested = false;
    selectAll();
  }
  update();
}

bool ValueEdit::OverlayShown(QString* text, bool* grey) const {
  if (!field_ || hasFocus()) return false;  // while the user edits, the full text stands
  Overlay o = field_->DrawOverlay();
  if (!o.draw) return false;
  if (text) *text = Q(o.text);
  if (grey) *grey = o.grey || edit_->Stale();
  return true;
}

void ValueEdit::paintEvent(QPaintEvent* e) {
  QLineEdit::paintEvent(e);
  QPainter p(this);
  if (!hasFrame()) {
    p.setPen(QColor(96, 96, 96));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
  }
  QString s;
  bool grey = false;
  if (!OverlayShown(&s, &grey)) return;
  QStyleOptionFrame opt;
  initStyleOption(&opt);
  QRect r = style()->subElementRect(QStyle::SE_LineEditContents, &opt, this);
  if (!hasFrame()) r = rect().adjusted(1, 1, -1, -1);
  p.fillRect(r, palette().color(QPalette::Base));
  p.setFont(font());
  p.setPen(grey ? QColor(128, 128, 128) : ToColor(edit_->GetFont().color));
  // A number wider than the field ends in "…" rather than being cut off unseen; the
  // whole text shows while the field has the focus.
  QRect textRect = r.adjusted(1, 0, 0, 0);
  p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, fontMetrics().elidedText(s, Qt::ElideRight, textRect.width()));
}

void ValueEdit::focusInEvent(QFocusEvent* e) {
  QLineEdit::focusInEvent(e);
  entered_ = true;
  update();
}

void ValueEdit::focusOutEvent(QFocusEvent* e) {
  QLineEdit::focusOutEvent(e);
  if (!EndsAction(e) || !entered_) return;
  entered_ = false;
  if (edit_->Owner().LeftByCore(edit_)) return;  // the key handler has left it already
  // Qt has moved the focus before this event: the core learns where to, so that what the
  // exit changes does not bring the focus back here (a refused value takes it back itself).
  if (QWidget* now = QApplication::focusWidget(); now && now != this)
    if (Component* to = ctx_.ComponentOf(now)) edit_->Owner().FocusChangedByView(to);
  ctx_.Run([this] { edit_->Exit(); });
  update();
}

void ValueEdit::keyPressEvent(QKeyEvent* e) {
  SendKey(ctx_, edit_, e);
  QLineEdit::keyPressEvent(e);
}

// ---------------------------------------------------------------- ChoiceCombo

ChoiceCombo::ChoiceCombo(ViewContext& ctx, ComboBox* combo, QWidget* parent)
    : QComboBox(parent), ctx_(ctx), combo_(combo) {
  setObjectName(Q(combo->Name()));
  setFocusPolicy(combo->TabStop() ? Qt::StrongFocus : Qt::ClickFocus);
  // Sized by their contents when first shown (Qt's default policy); setting another
  // policy would build each combo's drop-down list at once, a hundred lists before the
  // window's first paint. The window's combos have fixed sizes in any case.
  connect(this, &QComboBox::activated, this, [this](int i) { ctx_.Run([this, i] { combo_->UserSelect(i); }); });
  ctx.Bind(combo, this);
  Refresh();
  constructed_ = true;
  sub_.Reset(combo, [this](pelmora::Component&) { Refresh(); });
}

void ChoiceCombo::changeEvent(QEvent* e) {
  // The font given in the constructor needs no handling by QComboBox, which would build
  // the drop-down list to pass the font on (nothing has been sized yet, and the list
  // takes the combo's font when it is built).
  if (e->type() == QEvent::FontChange && !constructed_) {
    QWidget::changeEvent(e);
    return;
  }
  QComboBox::changeEvent(e);
}

void ChoiceCombo::Refresh() {
  std::vector<std::string> shown;
  const auto& shownItem = Describe(combo_->GetKind()).shownItem;
  for (const auto& item : combo_->Items()) shown.push_back(shownItem(item));
  QFont qf = ToQFont(combo_->font);
  if (font() != qf) setFont(qf);
  blockSignals(true);
  if (shown != shownItems_) {
    shownItems_ = shown;
    clear();
    for (const auto& s : shown) addItem(Q(s));
  }
  if (currentIndex() != combo_->ItemIndex()) setCurrentIndex(combo_->ItemIndex());
  blockSignals(false);
  setEnabled(combo_->Enabled());
  ApplyVisible(this, combo_->Visible());
}

void ChoiceCombo::focusInEvent(QFocusEvent* e) {
  QComboBox::focusInEvent(e);
  entered_ = true;
}

void ChoiceCombo::focusOutEvent(QFocusEvent* e) {
  QComboBox::focusOutEvent(e);
  if (!EndsAction(e) || !entered_) return;
  entered_ = false;
  if (combo_->Owner().LeftByCore(combo_)) return;
  ctx_.Run([this] { combo_->Exit(); });
}

void ChoiceCombo::keyPressEvent(QKeyEvent* e) {
  SendKey(ctx_, combo_, e);
  QComboBox::keyPressEvent(e);
}

// ---------------------------------------------------------------- labels, groups

CaptionLabel::CaptionLabel(ViewContext& ctx, Label* label, QWidget* parent) : QLabel(parent), label_(label) {
  setObjectName(Q(label->Name()));
  setTextFormat(Qt::PlainText);
  ctx.Bind(label, this);
  Refresh();
  sub_.Reset(label, [this](pelmora::Component&) { Refresh(); });
}

void CaptionLabel::Refresh() {
  setText(Q(label_->Caption()));
  QFont qf = ToQFont(label_->font);
  if (font() != qf) setFont(qf);
  setEnabled(label_->Enabled());
  ApplyVisible(this, label_->Visible());
}

GroupView::GroupView(ViewContext& ctx, GroupBox* group, QWidget* parent) : QGroupBox(parent), group_(group) {
  setObjectName(Q(group->Name()));
  ctx.Bind(group, this);
  Refresh();
  sub_.Reset(group, [this](pelmora::Component&) { Refresh(); });
}

void GroupView::Refresh() {
  setTitle(Q(group_->Caption()));
  setEnabled(group_->Enabled());
  ApplyVisible(this, group_->Visible());
}

RadioGroupView::RadioGroupView(ViewContext& ctx, RadioGroup* group, QWidget* parent)
    : QGroupBox(parent), ctx_(ctx), group_(group) {
  setObjectName(Q(group->Name()));
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(6, 2, 6, 2);
  grid->setHorizontalSpacing(8);
  grid->setVerticalSpacing(0);
  const int cols = std::max(1, group->Columns());
  ctx.Bind(group, this);
  for (size_t i = 0; i < group->Items().size(); ++i) {
    auto* b = new QRadioButton(Q(group->Items()[i]), this);
    b->setObjectName(Q(group->Name() + "_" + std::to_string(i)));
    b->setAutoExclusive(false);
    grid->addWidget(b, static_cast<int>(i) / cols, static_cast<int>(i) % cols);
    const int index = static_cast<int>(i);
    connect(b, &QRadioButton::clicked, this, [this, index] {
      ctx_.Run([this, index] { group_->SetItemIndex(index); });
      Refresh();
    });
    ctx.Bind(group, b);
    buttons_.push_back(b);
  }
  Refresh();
  sub_.Reset(group, [this](pelmora::Component&) { Refresh(); });
}

void RadioGroupView::Refresh() {
  setTitle(Q(group_->Caption()));
  for (size_t i = 0; i < buttons_.size(); ++i) buttons_[i]->setChecked(static_cast<int>(i) == group_->ItemIndex());
  int idx = std::clamp(group_->ItemIndex(), 0, static_cast<int>(buttons_.size()) - 1);
  if (!buttons_.empty()) setFocusProxy(buttons_[static_cast<size_t>(idx)]);
  setEnabled(group_->Enabled());
  ApplyVisible(this, group_->Visible());
}

// ---------------------------------------------------------------- rich text

namespace {

bool SameRuns(const std::vector<RichParagraph>& a, const std::vector<RichParagraph>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    std::string ta, tb;
    for (const auto& r : a[i]) ta += r.text;
    for (const auto& r : b[i]) tb += r.text;
    if (ta != tb) return false;
  }
  return true;
}

std::vector<RichParagraph> ReadDocument(const QTextDocument& doc, const RichRun& defaults) {
  std::vector<RichParagraph> out;
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
    RichParagraph para;
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      QTextFragment frag = it.fragment();
      if (!frag.isValid()) continue;
      QTextCharFormat f = frag.charFormat();
      RichRun r = defaults;
      r.text = U(frag.text());
      QStringList fam = f.fontFamilies().toStringList();
      if (!fam.isEmpty()) r.fontName = U(fam.front());
      if (f.fontPointSize() > 0) r.pointSize = f.fontPointSize();
      r.bold = f.fontWeight() >= QFont::Bold;
      if (f.hasProperty(QTextFormat::ForegroundBrush)) {
        QColor c = f.foreground().color();
        r.color = RGBColor(c.red(), c.green(), c.blue());
      }
      para.push_back(std::move(r));
    }
    out.push_back(std::move(para));
  }
  return out;
}

}  // namespace

RichTextView::RichTextView(ViewContext& ctx, RichEdit* rich, QWidget* parent)
    : QTextEdit(parent), ctx_(ctx), rich_(rich) {
  setObjectName(Q(rich->Name()));
  setAcceptRichText(true);
  setTabChangesFocus(true);
  setLineWrapMode(QTextEdit::NoWrap);
  connect(this, &QTextEdit::textChanged, this, [this] { UserEdited(); });
  connect(this, &QTextEdit::selectionChanged, this, [this] { SelectionChanged(); });
  connect(this, &QTextEdit::cursorPositionChanged, this, [this] {
    if (!loading_) rich_->caretPosition = textCursor().position();
  });
  ctx.Bind(rich, this);
  Refresh();
  sub_.Reset(rich, [this](pelmora::Component&) { Refresh(); });
}

void RichTextView::UserEdited() {
  if (loading_) return;
  auto paras = ReadDocument(*document(), rich_->defaultFont);
  pushing_ = true;
  ctx_.Run([this, &paras] { rich_->SetParagraphs(std::move(paras)); });
  pushing_ = false;
}

void RichTextView::Refresh() {
  setReadOnly(rich_->ReadOnly());
  setEnabled(rich_->Enabled());
  ApplyVisible(this, rich_->Visible());
  if (pushing_) return;
  loading_ = true;
  if (!SameRuns(ReadDocument(*document(), rich_->defaultFont), rich_->Paragraphs()) || rich_->Paragraphs().empty())
    FillDocument(*document(), rich_->Paragraphs());
  // The caret where the core put it (a freshly built report: at the start), with
  // nothing selected, scrolled into view.
  const int caret = std::clamp(rich_->caretPosition, 0, std::max(0, document()->characterCount() - 1));
  if (textCursor().position() != caret || textCursor().hasSelection()) {
    QTextCursor c(document());
    c.setPosition(caret);
    setTextCursor(c);
    ensureCursorVisible();
  }
  loading_ = false;
}

void RichTextView::SelectionChanged() {
  QTextCursor c = textCursor();
  if (c.hasSelection()) {
    // The area takes no selection: it collapses to its start as soon as it is made.
    c.setPosition(c.selectionStart());
    setTextCursor(c);
  }
}

void FillDocument(QTextDocument& doc, const std::vector<RichParagraph>& paragraphs) {
  doc.clear();
  QTextCursor cur(&doc);
  bool first = true;
  for (const auto& para : paragraphs) {
    if (!first) cur.insertBlock();
    first = false;
    for (const auto& run : para) {
      QTextCharFormat f;
      f.setFontFamilies({Q(run.fontName)});
      f.setFontPointSize(run.pointSize);
      f.setFontWeight(run.bold ? QFont::Bold : QFont::Normal);
      f.setForeground(ToColor(run.color));
      cur.insertText(Q(run.text), f);
    }
  }
}

// ---------------------------------------------------------------- buttons

SpeedButtonView::SpeedButtonView(ViewContext& ctx, SpeedButton* button, QWidget* parent)
    : QToolButton(parent), button_(button) {
  setObjectName(Q(button->Name()));
  setFocusPolicy(Qt::NoFocus);
  setAutoRaise(true);
  setCheckable(button->Toggle());
  connect(this, &QToolButton::clicked, this, [this, &ctx] {
    ctx.Run([this] { button_->Click(); });
    Refresh();
  });
  ctx.Bind(button, this);
  Refresh();
  sub_.Reset(button, [this](pelmora::Component&) { Refresh(); });
}

void SpeedButtonView::Refresh() {
  setToolTip(Q(button_->Hint()));
  setStatusTip(Q(button_->Hint()));
  if (!button_->Caption().empty()) setText(Q(button_->Caption()));
  if (isCheckable()) setChecked(button_->Down());
  setEnabled(button_->Enabled());
  ApplyVisible(this, button_->Visible());
}

ButtonView::ButtonView(ViewContext& ctx, SpeedButton* button, QWidget* parent) : QPushButton(parent), button_(button) {
  setObjectName(Q(button->Name()));
  connect(this, &QPushButton::clicked, this, [this, &ctx] { ctx.Run([this] { button_->Click(); }); });
  ctx.Bind(button, this);
  Refresh();
  sub_.Reset(button, [this](pelmora::Component&) { Refresh(); });
}

void ButtonView::Refresh() {
  setText(Q(button_->Caption()));
  setToolTip(Q(button_->Hint()));
  setEnabled(button_->Enabled());
  ApplyVisible(this, button_->Visible());
}

// ---------------------------------------------------------------- paint box

PaintBoxView::PaintBoxView(ViewContext& ctx, PaintBox* box, QWidget* parent) : QWidget(parent), ctx_(ctx), box_(box) {
  setObjectName(Q(box->Name()));
  ctx.Bind(box, this);
  sub_.Reset(box, [this](pelmora::Component&) { update(); });
}

void PaintBoxView::paintEvent(QPaintEvent*) {
  ++paintCount;
  QPainter p(this);
  QtCanvas canvas(p, width(), height());
  box_->canvas = &canvas;
  ctx_.RunPaint([this] {
    if (box_->OnPaint) box_->OnPaint(box_);
  });
  box_->canvas = nullptr;
  if (canvas.Used() || !emptyText) return;
  const QString text = emptyText();
  if (text.isEmpty()) return;
  p.fillRect(rect(), palette().color(QPalette::Base));
  p.setPen(palette().color(QPalette::Mid));
  p.drawRect(rect().adjusted(0, 0, -1, -1));
  p.setPen(palette().color(QPalette::PlaceholderText));
  p.drawText(rect().adjusted(24, 24, -24, -24), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, text);
}

}  // namespace pelmora::gui

namespace pelmora::gui {

void InstallFonts() {
  for (const char* name : {"宋体", "SimSun", "Times New Roman"})
    for (const std::string& face : chart::FontFallbacks(name))
      QFont::insertSubstitution(name, QString::fromStdString(face));
  QApplication::setFont(WindowFont());
}

}  // namespace pelmora::gui

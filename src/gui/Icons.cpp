#include "gui/Icons.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QProxyStyle>
#include <QStyleFactory>
#include <cmath>

namespace pelmora::gui {

namespace {

constexpr int S = 24;

void Page(QPainter& p, QRectF r, QColor fill = Qt::white) {
  QPainterPath path;
  double fold = 6;
  path.moveTo(r.left(), r.top());
  path.lineTo(r.right() - fold, r.top());
  path.lineTo(r.right(), r.top() + fold);
  path.lineTo(r.right(), r.bottom());
  path.lineTo(r.left(), r.bottom());
  path.closeSubpath();
  p.setPen(QPen(QColor(70, 70, 70), 1.2));
  p.setBrush(fill);
  p.drawPath(path);
  p.drawLine(QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold));
  p.drawLine(QPointF(r.right() - fold, r.top() + fold), QPointF(r.right(), r.top() + fold));
}

void TextLines(QPainter& p, QRectF r, int n, QColor c = QColor(90, 90, 90)) {
  p.setPen(QPen(c, 1.2));
  for (int i = 0; i < n; ++i) {
    double y = r.top() + 4 + i * 3.2;
    p.drawLine(QPointF(r.left() + 3, y), QPointF(r.right() - 3 - (i % 2) * 3, y));
  }
}

void Floppy(QPainter& p, QRectF r, QColor body) {
  p.setPen(QPen(QColor(30, 40, 70), 1.2));
  p.setBrush(body);
  QPainterPath path;
  path.moveTo(r.left(), r.top());
  path.lineTo(r.right() - 3, r.top());
  path.lineTo(r.right(), r.top() + 3);
  path.lineTo(r.right(), r.bottom());
  path.lineTo(r.left(), r.bottom());
  path.closeSubpath();
  p.drawPath(path);
  p.setBrush(QColor(235, 235, 235));
  p.drawRect(QRectF(r.left() + r.width() * 0.25, r.top(), r.width() * 0.5, r.height() * 0.32));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(r.left() + r.width() * 0.15, r.top() + r.height() * 0.55, r.width() * 0.7, r.height() * 0.45));
}

void Pen(QPainter& p, QPointF tip) {
  p.save();
  p.translate(tip);
  p.rotate(-45);
  p.setPen(QPen(QColor(60, 40, 0), 1));
  p.setBrush(QColor(250, 200, 40));
  p.drawRect(QRectF(3, -2, 11, 4));
  p.setBrush(QColor(240, 210, 160));
  QPolygonF cone;
  cone << QPointF(0, 0) << QPointF(3, -2) << QPointF(3, 2);
  p.drawPolygon(cone);
  p.restore();
}

void Printer(QPainter& p) {
  p.setPen(QPen(QColor(50, 50, 50), 1.2));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(7, 2, 10, 8));
  p.setBrush(QColor(150, 155, 165));
  p.drawRoundedRect(QRectF(2, 9, 20, 9), 2, 2);
  p.setBrush(Qt::white);
  p.drawRect(QRectF(6, 15, 12, 7));
  p.setBrush(QColor(40, 200, 60));
  p.setPen(Qt::NoPen);
  p.drawEllipse(QPointF(18.5, 12), 1.3, 1.3);
}

void NewProject(QPainter& p) {
  Page(p, QRectF(5, 2, 14, 20));
  p.setPen(QPen(QColor(230, 170, 0), 1.6));
  QPointF c(17, 6);
  for (int i = 0; i < 4; ++i) {
    double a = i * M_PI / 4;
    p.drawLine(c + QPointF(4 * std::cos(a), 4 * std::sin(a)), c - QPointF(4 * std::cos(a), 4 * std::sin(a)));
  }
}

void OpenFolder(QPainter& p) {
  p.setPen(QPen(QColor(120, 80, 0), 1.2));
  p.setBrush(QColor(240, 200, 80));
  p.drawRect(QRectF(2, 6, 18, 14));
  p.drawRect(QRectF(2, 4, 7, 3));
  QPolygonF front;
  front << QPointF(5, 10) << QPointF(23, 10) << QPointF(20, 20) << QPointF(2, 20);
  p.setBrush(QColor(255, 225, 120));
  p.drawPolygon(front);
}

void SaveDisk(QPainter& p) { Floppy(p, QRectF(3, 3, 18, 18), QColor(40, 90, 190)); }

void SaveAs(QPainter& p) {
  Floppy(p, QRectF(2, 2, 15, 15), QColor(40, 90, 190));
  Pen(p, QPointF(12, 22));
}

void SaveTemplate(QPainter& p) {
  Floppy(p, QRectF(2, 2, 15, 15), QColor(40, 150, 90));
  p.setPen(QPen(QColor(170, 0, 0), 2));
  p.drawLine(QPointF(14, 14), QPointF(23, 14));
  p.drawLine(QPointF(18.5, 14), QPointF(18.5, 23));
}

void Curve(QPainter& p) {
  p.setPen(QPen(Qt::black, 1.2));
  p.drawLine(QPointF(3, 2), QPointF(3, 21));
  p.drawLine(QPointF(3, 21), QPointF(22, 21));
  QPainterPath red, blue;
  red.moveTo(4, 10);
  red.cubicTo(9, 5, 15, 4, 22, 3);
  blue.moveTo(4, 19);
  blue.cubicTo(9, 12, 15, 8, 22, 6);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(220, 0, 0), 1.8));
  p.drawPath(red);
  p.setPen(QPen(QColor(0, 0, 230), 1.8));
  p.drawPath(blue);
}

void MakeReport(QPainter& p) {
  Page(p, QRectF(4, 2, 16, 20));
  TextLines(p, QRectF(4, 4, 16, 18), 5);
  p.setPen(QPen(QColor(0, 140, 0), 2));
  p.drawLine(QPointF(9, 17), QPointF(12, 20));
  p.drawLine(QPointF(12, 20), QPointF(20, 11));
}

void SaveReport(QPainter& p) {
  Page(p, QRectF(2, 1, 14, 18));
  TextLines(p, QRectF(2, 3, 14, 16), 4);
  Floppy(p, QRectF(11, 11, 12, 12), QColor(40, 90, 190));
}

void PrintReport(QPainter& p) { Printer(p); }

// A printer whose sheet carries a ruled table: the calculation sheet.
void PrintCalcSheet(QPainter& p) {
  Printer(p);
  p.setPen(QPen(QColor(0, 90, 200), 1));
  p.drawLine(QPointF(7, 5), QPointF(17, 5));
  p.drawLine(QPointF(7, 7.5), QPointF(17, 7.5));
  p.drawLine(QPointF(11.5, 2), QPointF(11.5, 10));
  p.drawLine(QPointF(6, 18.5), QPointF(18, 18.5));
  p.drawLine(QPointF(11.5, 15), QPointF(11.5, 22));
}

// A calculator with a circular arrow: automatic recalculation.
void AutoRun(QPainter& p) {
  p.setPen(QPen(QColor(40, 40, 40), 1.2));
  p.setBrush(QColor(220, 225, 235));
  p.drawRoundedRect(QRectF(3, 2, 13, 19), 2, 2);
  p.setBrush(QColor(170, 210, 170));
  p.drawRect(QRectF(5, 4, 9, 4));
  p.setBrush(QColor(90, 90, 90));
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) p.drawRect(QRectF(5 + c * 3.2, 10 + r * 3.4, 2, 2));
  p.setPen(QPen(QColor(0, 150, 0), 2));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(12, 11, 10, 10), 30 * 16, 280 * 16);
  QPolygonF head;
  head << QPointF(21.5, 10) << QPointF(22.5, 15) << QPointF(18, 13);
  p.setBrush(QColor(0, 150, 0));
  p.drawPolygon(head);
}

// An input field with an eraser: clears the field at the cursor.
void ClearField(QPainter& p) {
  p.setPen(QPen(QColor(60, 60, 60), 1.2));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(1, 7, 18, 8));
  p.setPen(QPen(QColor(0, 0, 200), 1.2));
  p.drawLine(QPointF(4, 11), QPointF(10, 11));
  p.save();
  p.translate(15, 16);
  p.rotate(-40);
  p.setPen(QPen(QColor(80, 0, 0), 1));
  p.setBrush(QColor(240, 90, 110));
  p.drawRect(QRectF(-2, -4, 6, 8));
  p.setBrush(QColor(240, 240, 240));
  p.drawRect(QRectF(4, -4, 5, 8));
  p.restore();
}

// Two sheets, the front one a small table: copies the inputs and results.
void CopyResults(QPainter& p) {
  Page(p, QRectF(2, 1, 13, 16), QColor(235, 235, 235));
  Page(p, QRectF(8, 6, 14, 17));
  p.setPen(QPen(QColor(0, 110, 60), 1));
  for (int r = 0; r < 3; ++r) p.drawLine(QPointF(10, 12 + r * 3.5), QPointF(20, 12 + r * 3.5));
  p.drawLine(QPointF(14.5, 10.5), QPointF(14.5, 21));
}

void WhatsThis(QPainter& p) {
  p.setPen(QPen(QColor(0, 60, 160), 1.2));
  p.setBrush(QColor(230, 240, 255));
  p.drawEllipse(QRectF(8, 2, 15, 15));
  QFont f("Liberation Serif");
  f.setPixelSize(14);
  f.setBold(true);
  p.setFont(f);
  p.drawText(QRectF(8, 2, 15, 15), Qt::AlignCenter, "?");
  QPolygonF arrow;
  arrow << QPointF(2, 8) << QPointF(2, 22) << QPointF(5.5, 18.5) << QPointF(8, 23) << QPointF(10, 22)
        << QPointF(7.5, 17.5) << QPointF(12, 17.5);
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(Qt::white);
  p.drawPolygon(arrow);
}

// Property database: a cylinder; the vapour buttons carry a small cloud mark.
void Database(QPainter& p, bool vapour) {
  p.setPen(QPen(QColor(20, 60, 120), 1.6));
  p.setBrush(vapour ? QColor(200, 225, 255) : QColor(120, 170, 230));
  p.drawRect(QRectF(4, 5, 16, 14));
  p.setPen(Qt::NoPen);
  p.drawRect(QRectF(4.8, 5, 14.4, 14));
  p.setPen(QPen(QColor(20, 60, 120), 1.6));
  p.drawEllipse(QRectF(4, 15, 16, 7));
  p.setPen(Qt::NoPen);
  p.drawRect(QRectF(4.8, 5, 14.4, 13));
  p.setPen(QPen(QColor(20, 60, 120), 1.6));
  p.drawLine(QPointF(4, 6), QPointF(4, 18.5));
  p.drawLine(QPointF(20, 6), QPointF(20, 18.5));
  p.setBrush(QColor(230, 240, 255));
  p.drawEllipse(QRectF(4, 2, 16, 7));
}

// Steel tube series: a tube end.
void TubeEnd(QPainter& p) {
  p.setPen(QPen(QColor(60, 60, 60), 1.6));
  p.setBrush(QColor(170, 175, 185));
  p.drawEllipse(QRectF(3, 3, 18, 18));
  p.setBrush(Qt::white);
  p.drawEllipse(QRectF(8, 8, 8, 8));
}

// A pick list.
void PickList(QPainter& p) {
  p.setPen(QPen(QColor(40, 40, 40), 1.4));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(3, 3, 18, 18));
  for (int i = 0; i < 3; ++i) {
    p.setBrush(QColor(0, 100, 200));
    p.drawEllipse(QPointF(7, 7.5 + i * 4.5), 1.3, 1.3);
    p.drawLine(QPointF(10, 7.5 + i * 4.5), QPointF(18, 7.5 + i * 4.5));
  }
}

// Tube count: a bundle of tube ends.
void TubeBundle(QPainter& p) {
  p.setPen(QPen(QColor(60, 60, 60), 1.2));
  p.setBrush(QColor(214, 110, 40));
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 3; ++c) p.drawEllipse(QPointF(6 + c * 6 + (r ? 3 : 0), 8 + r * 7), 2.8, 2.8);
}

// A record navigator's first, prior, next and last: triangles, with a bar at an end.
void RecordArrow(QPainter& p, bool back, bool end) {
  if (back) {
    p.translate(S, 0);
    p.scale(-1, 1);
  }
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(40, 40, 40));
  QPolygonF triangle({QPointF(8, 6), QPointF(16, 12), QPointF(8, 18)});
  p.drawPolygon(triangle);
  if (end) p.drawRect(QRectF(16, 6, 2.5, 12));
}

// The chevron of a tool bar or menu bar too narrow for its items.
void Extension(QPainter& p, bool vertical) {
  if (vertical) {
    p.translate(S / 2.0, S / 2.0);
    p.rotate(90);
    p.translate(-S / 2.0, -S / 2.0);
  }
  p.setPen(QPen(QColor(40, 40, 40), 2.2));
  for (double x : {7.0, 13.0}) {
    p.drawLine(QPointF(x, 6), QPointF(x + 5, 12));
    p.drawLine(QPointF(x + 5, 12), QPointF(x, 18));
  }
}

// The glyph of each name: one drawing per command, shared where commands are alike.
struct Glyph {
  const char* name;
  void (*draw)(QPainter&);
};
const Glyph kGlyphs[] = {
    {"SBFNew", NewProject},
    {"SBFOpen", OpenFolder},
    {"SBFSave", SaveDisk},
    {"SBFAs", SaveAs},
    {"SBFTemp", SaveTemplate},
    {"SBTCurve", Curve},
    {"SBRSimple", MakeReport},
    {"SBRSave", SaveReport},
    {"SBRPrintRep", PrintReport},
    {"SBRPrintCalc", PrintCalcSheet},
    {"SBAutoRun", AutoRun},
    {"SBClear", ClearField},
    {"SBCopy", CopyResults},
    {"SBHPDF", WhatsThis},
    {"SBP1", [](QPainter& p) { Database(p, false); }},
    {"SBP11", [](QPainter& p) { Database(p, false); }},
    {"SBP2", [](QPainter& p) { Database(p, false); }},
    {"SBP1v", [](QPainter& p) { Database(p, true); }},
    {"SBP2v", [](QPainter& p) { Database(p, true); }},
    {"SBDi", TubeEnd},
    {"SBDLT", PickList},
    {"SBP3", PickList},
    {"SBn", TubeBundle},
    {"RecordFirst", [](QPainter& p) { RecordArrow(p, true, true); }},
    {"RecordPrior", [](QPainter& p) { RecordArrow(p, true, false); }},
    {"RecordNext", [](QPainter& p) { RecordArrow(p, false, false); }},
    {"RecordLast", [](QPainter& p) { RecordArrow(p, false, true); }},
    {"ExtensionH", [](QPainter& p) { Extension(p, false); }},
    {"ExtensionV", [](QPainter& p) { Extension(p, true); }},
};

// A name without a glyph draws nothing.
void Draw(QPainter& p, const std::string& n) {
  for (const Glyph& g : kGlyphs)
    if (n == g.name) {
      g.draw(p);
      return;
    }
}

QPixmap Render(const std::string& name, bool disabled) {
  QPixmap pm(S, S);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing, true);
  Draw(p, name);
  p.end();
  if (!disabled) return pm;
  QImage img = pm.toImage().convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      QColor c = img.pixelColor(x, y);
      int g = 128 + qGray(c.rgb()) / 3;
      img.setPixelColor(x, y, QColor(g, g, g, c.alpha() / 2));
    }
  return QPixmap::fromImage(img);
}

// Draws a glyph when a button first shows it in a mode, not when the button is made:
// most buttons never show their disabled glyph, and none is drawn before it is painted.
class GlyphEngine : public QIconEngine {
 public:
  explicit GlyphEngine(std::string name) : name_(std::move(name)) {}
  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override {
    const bool disabled = mode == QIcon::Disabled;
    QPixmap& drawn = drawn_[disabled ? 1 : 0];
    if (drawn.isNull()) drawn = Render(name_, disabled);
    if (size == drawn.size() || size.isEmpty()) return drawn;
    return drawn.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  }
  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
  }
  QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
    return QSize(S, S).scaled(size, Qt::KeepAspectRatio).boundedTo(QSize(S, S));
  }
  QIconEngine* clone() const override { return new GlyphEngine(*this); }
  QString key() const override { return QStringLiteral("PelmoraGlyph"); }

 private:
  std::string name_;
  QPixmap drawn_[2];
};

// The Windows style with tool bar extension chevrons and record navigator arrows of our
// own: Qt's are image files, read when every menu bar, tool bar and navigator is made.
class WindowStyle : public QProxyStyle {
 public:
  using QProxyStyle::QProxyStyle;
  QIcon standardIcon(StandardPixmap icon, const QStyleOption* option, const QWidget* widget) const override {
    if (icon == SP_ToolBarHorizontalExtensionButton) return ToolGlyph("ExtensionH");
    if (icon == SP_ToolBarVerticalExtensionButton) return ToolGlyph("ExtensionV");
    if (icon == SP_MediaSkipBackward) return ToolGlyph("RecordFirst");
    if (icon == SP_MediaSeekBackward) return ToolGlyph("RecordPrior");
    if (icon == SP_MediaSeekForward) return ToolGlyph("RecordNext");
    if (icon == SP_MediaSkipForward) return ToolGlyph("RecordLast");
    return QProxyStyle::standardIcon(icon, option, widget);
  }
};

}  // namespace

QIcon ToolGlyph(const std::string& name) { return QIcon(new GlyphEngine(name)); }

QStyle* MakeWindowStyle() {
  QStyle* base = QStyleFactory::create("Windows");
  return base ? new WindowStyle(base) : nullptr;
}

}  // namespace pelmora::gui

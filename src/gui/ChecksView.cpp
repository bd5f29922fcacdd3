#include "gui/ChecksView.h"

#include <QAction>
#include <QColor>
#include <QEvent>
#include <QFont>
#include <QKeyEvent>
#include <QListWidget>
#include <QPainter>
#include <QToolButton>
#include <algorithm>
#include <set>

#include "gui/MainWindow.h"
#include "gui/Widgets.h"

namespace pelmora::gui {

namespace {

using Level = DesignCheck::Level;

QColor LevelColor(Level level) {
  return level >= Level::Infeasible ? QColor(200, 0, 0)
         : level >= Level::Warning  ? QColor(176, 0, 0)
                                    : QColor(0, 0, 160);
}

// The sign in a field's corner: an orange disc with a white "!", painted by itself so
// that its tooltip is an ordinary one (a style sheet on the sign would style the
// tooltip too).
class CheckSign : public QWidget {
 public:
  explicit CheckSign(QWidget* parent) : QWidget(parent) { setFixedSize(10, 10); }
  // Red for a design that cannot work, orange for the other checks.
  void SetGrave(bool grave) {
    if (grave_ == grave) return;
    grave_ = grave;
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(grave_ ? QColor(210, 0, 0) : QColor(230, 120, 0));
    p.drawEllipse(rect().adjusted(0, 0, -1, -1));
    p.setPen(QPen(Qt::white, 1.6));
    const double x = width() / 2.0 - 0.5;
    p.drawLine(QPointF(x, 2.2), QPointF(x, 5.6));
    p.drawPoint(QPointF(x, 7.4));
  }

 private:
  bool grave_ = false;
};

}  // namespace

ChecksView::ChecksView(MainWindow& window, QWidget* page) : QToolButton(page), window_(window), page_(page) {
  setObjectName("SBChecks");
  setCheckable(true);
  setToolButtonStyle(Qt::ToolButtonTextOnly);
  setAutoRaise(true);
  list_ = new QListWidget(page);
  list_->setObjectName("LBChecks");
  list_->setWordWrap(true);
  list_->setFrameShape(QFrame::Box);
  list_->hide();
  list_->installEventFilter(this);
  panel_ = list_;
  page_->installEventFilter(this);
  // A check that offers 更新物性 runs it when activated (double click, Enter).
  connect(list_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
    if (!item || !item->text().contains(kUpdateProps)) return;
    if (QAction* a = window_.ActionOf(window_.Form().FindAs<MenuItem>("MCUpdateProps"))) a->trigger();
  });
  connect(this, &QToolButton::toggled, this, [this](bool open) {
    if (open) {
      PlaceList();
      panel_->show();
      panel_->raise();
    } else {
      panel_->hide();
    }
  });
  Refresh();
}

void ChecksView::SetPanel(QWidget* panel) {
  if (!panel || panel == panel_) return;
  panel_ = panel;
  panel_->hide();
  panel_->installEventFilter(this);
  list_->show();  // a page of the panel, shown whenever the panel is
}

QWidget* ChecksView::SignOf(const std::string& field) const {
  auto it = signs_.find(field);
  return it != signs_.end() && !it->second->isHidden() ? it->second : nullptr;
}

// Over the foot of the page, ending just above the bar: as many rows as there are
// checks, up to six, and never more than two fifths of the page.
void ChecksView::PlaceList() {
  const int bottom = mapTo(page_, QPoint(0, 0)).y() - 2;
  int rows = 0;
  for (int i = 0; i < list_->count() && i < 6; ++i) rows += std::max(list_->sizeHintForRow(i), 16);
  const int frame = 2 * list_->frameWidth() + 4;
  int h = std::clamp(rows + frame, 40, std::max(40, page_->height() * 2 / 5));
  // A panel around the list (the tabs) has room for its tab bar and the method check's rows.
  if (panel_ != list_) h = std::clamp(panel_->maximumHeight(), 40, std::max(40, page_->height() * 2 / 5));
  panel_->setGeometry(4, std::max(0, bottom - h), page_->width() - 8, std::min(h, bottom));
}

bool ChecksView::eventFilter(QObject* watched, QEvent* e) {
  if (watched == page_ && e->type() == QEvent::Resize && panel_->isVisible()) PlaceList();
  if ((watched == list_ || watched == panel_) && e->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape) {
    setChecked(false);
    setFocus(Qt::OtherFocusReason);
    return true;
  }
  return QToolButton::eventFilter(watched, e);
}

void ChecksView::Refresh() {
  const TFormPelmora& f = window_.Form();
  const Calculation& calc = window_.App().calc;
  const auto& checks = calc.checks;
  std::map<Level, int> counts;
  list_->clear();
  std::map<std::string, QString> tips;
  std::set<std::string> grave;
  Level worst = Level::Hint;
  for (const DesignCheck& c : checks) {
    ++counts[c.level];
    worst = std::max(worst, c.level);
    std::string where;
    if (const auto* e = As<EditD>(f.Find(c.field))) where = e->QuantityName() + "：";
    auto* item = new QListWidgetItem(Q(std::string(LevelText(c.level)) + "  " + where + c.text), list_);
    item->setForeground(LevelColor(c.level));
    if (Q(c.text).contains(kUpdateProps))
      item->setToolTip("双击或按 Enter 执行“更新物性”：按平均温度重新取物性并重新计算");
    if (c.level == Level::Infeasible) {
      QFont bold = item->font();
      bold.setBold(true);
      item->setFont(bold);
    }
    // An infeasible design also marks the area and the lengths.
    std::vector<std::string> fields = {c.field};
    fields.insert(fields.end(), c.marks.begin(), c.marks.end());
    for (const std::string& field : fields) {
      QString& tip = tips[field];
      tip += QString("<p style='white-space:pre-wrap; margin:0 0 3px 0'><b style='color:%1'>%2</b>：%3</p>")
                 .arg(LevelColor(c.level).name(), Q(LevelText(c.level)), Q(c.text).toHtmlEscaped());
      if (c.level == Level::Infeasible) grave.insert(field);
    }
  }
  if (checks.empty()) {
    // Nothing to open: neutral after a clean run, and plainly "not finished" after a
    // run that stopped (its message is in the status bar), which is no clean design.
    const bool stopped = calc.lastRun == Calculation::RunState::Stopped;
    setChecked(false);
    setEnabled(false);
    setText(stopped ? kUnfinished : kNone);
    setToolTip(stopped ? "上次计算未完成（原因见状态栏），没有可检查的结果"
               : calc.lastRun == Calculation::RunState::NotRun ? "尚未计算"
                                                               : "上次计算没有超出关联式适用范围或常用设计范围的项目");
    setStyleSheet(stopped ? "QToolButton#SBChecks { color: rgb(150,90,0); }" : QString());
  } else {
    setEnabled(true);
    QStringList parts;
    for (auto it = counts.rbegin(); it != counts.rend(); ++it)
      parts << QString("%1 %2").arg(Q(LevelText(it->first))).arg(it->second);
    setText(QString(worst == Level::Infeasible ? "设计不可行 — 计算检查：%1 项（%2）" : "计算检查：%1 项（%2）")
                .arg(checks.size())
                .arg(parts.join("，")));
    setToolTip("展开或收起计算检查列表");
    setStyleSheet(QString("QToolButton#SBChecks { color: %1; %2}")
                      .arg(LevelColor(worst).name(), worst == Level::Infeasible ? "font-weight: bold; " : ""));
    if (panel_->isVisible()) PlaceList();
  }
  // The signs: one per named field, hidden where no check names it any more.
  for (auto& [name, sign] : signs_) sign->hide();
  for (const auto& [name, tip] : tips) {
    QWidget* w = window_.WidgetOf(name);
    if (!w) continue;
    QWidget*& sign = signs_[name];
    if (!sign) {
      sign = new CheckSign(w);
      sign->setObjectName(Q(name + "Check"));
    }
    static_cast<CheckSign*>(sign)->SetGrave(grave.count(name) > 0);
    sign->move(w->width() - sign->width() - 1, 1);
    sign->setToolTip(tip);
    sign->show();
    sign->raise();
  }
}

}  // namespace pelmora::gui

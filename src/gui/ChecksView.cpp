#include "gui/ChecksView.h"

#include <set>

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QListWidget>
#include <QToolButton>

#include "gui/MainWindow.h"
#include "gui/Widgets.h"

namespace pelmora::gui {

ChecksView::ChecksView(MainWindow& window, QWidget* parent) : QToolButton(parent), window_(window) {
  setObjectName("SBChecks");
  setCheckable(true);
  setToolButtonStyle(Qt::ToolButtonTextOnly);
  setAutoRaise(true);
  list_ = new QListWidget(parent);
  list_->setObjectName("LBChecks");
  list_->setMaximumHeight(90);
  list_->setWordWrap(true);
  list_->hide();
  connect(this, &QToolButton::toggled, list_, &QWidget::setVisible);
  Refresh();
}

QLabel* ChecksView::SignOf(const std::string& field) const {
  auto it = signs_.find(field);
  return it != signs_.end() && !it->second->isHidden() ? it->second : nullptr;
}

void ChecksView::Refresh() {
  const TFormPelmora& f = window_.Form();
  const auto& checks = window_.App().calc.checks;
  int warnings = 0, infeasible = 0;
  list_->clear();
  std::map<std::string, QString> tips;
  for (const DesignCheck& c : checks) {
    if (c.level == DesignCheck::Level::Warning) ++warnings;
    if (c.level == DesignCheck::Level::Infeasible) ++infeasible;
    std::string where;
    if (const auto* e = dynamic_cast<const EditD*>(f.Find(c.field))) where = e->QuantityName() + "：";
    auto* item = new QListWidgetItem(Q(std::string(LevelText(c.level)) + "  " + where + c.text), list_);
    item->setForeground(c.level == DesignCheck::Level::Hint ? QColor(0, 0, 160) : QColor(176, 0, 0));
    if (c.level == DesignCheck::Level::Infeasible) {
      QFont bold = item->font();
      bold.setBold(true);
      item->setFont(bold);
    }
    std::vector<std::string> fields = {c.field};
    fields.insert(fields.end(), c.marks.begin(), c.marks.end());
    for (const std::string& field : fields) {
      QString& tip = tips[field];
      if (!tip.isEmpty()) tip += "\n";
      tip += Q(std::string(LevelText(c.level)) + "：" + c.text);
    }
  }
  if (checks.empty()) {
    setText("计算检查：无");
    setToolTip("上次计算没有超出关联式适用范围或常用设计范围的项目");
    setChecked(false);
    setEnabled(false);
  } else {
    setEnabled(true);
    const int hints = static_cast<int>(checks.size()) - warnings - infeasible;
    if (infeasible)
      setText(QString("设计不可行 — 计算检查：%1 项（不可行 %2，警告 %3，提示 %4）")
                  .arg(checks.size())
                  .arg(infeasible)
                  .arg(warnings)
                  .arg(hints));
    else
      setText(QString("计算检查：%1 项（警告 %2，提示 %3）").arg(checks.size()).arg(warnings).arg(hints));
    setToolTip("展开或收起计算检查列表");
    setStyleSheet(infeasible ? "color: rgb(200,0,0); font-weight: bold;"
                             : (warnings ? "color: rgb(176,0,0);" : "color: rgb(0,0,160);"));
  }
  // The signs: one per named field, hidden where no check names it any more.
  for (auto& [name, sign] : signs_) sign->hide();
  std::set<std::string> infeasibleFields;
  for (const DesignCheck& c : checks)
    if (c.level == DesignCheck::Level::Infeasible) {
      infeasibleFields.insert(c.field);
      infeasibleFields.insert(c.marks.begin(), c.marks.end());
    }
  for (const auto& [name, tip] : tips) {
    QWidget* w = window_.WidgetOf(name);
    if (!w) continue;
    QLabel*& sign = signs_[name];
    if (!sign) {
      sign = new QLabel("!", w);
      sign->setObjectName(Q(name + "Check"));
      sign->setAlignment(Qt::AlignCenter);
      sign->setFixedSize(9, 9);
    }
    // Red for a design that cannot work, orange for the other checks.
    sign->setStyleSheet(QString("background: %1; color: white; font-weight: bold; font-size: 8px; border-radius: 4px;")
                            .arg(infeasibleFields.count(name) ? "rgb(210,0,0)" : "rgb(230,120,0)"));
    sign->move(w->width() - sign->width() - 1, 1);
    sign->setToolTip(tip);
    sign->show();
    sign->raise();
  }
}

}  // namespace pelmora::gui

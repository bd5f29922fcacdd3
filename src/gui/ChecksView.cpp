#include "gui/ChecksView.h"

#include <QColor>
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
  int warnings = 0;
  list_->clear();
  std::map<std::string, QString> tips;
  for (const DesignCheck& c : checks) {
    if (c.level == DesignCheck::Level::Warning) ++warnings;
    std::string where;
    if (const auto* e = dynamic_cast<const EditD*>(f.Find(c.field))) where = e->QuantityName() + "：";
    auto* item = new QListWidgetItem(Q(std::string(LevelText(c.level)) + "  " + where + c.text), list_);
    item->setForeground(c.level == DesignCheck::Level::Warning ? QColor(176, 0, 0) : QColor(0, 0, 160));
    QString& tip = tips[c.field];
    if (!tip.isEmpty()) tip += "\n";
    tip += Q(std::string(LevelText(c.level)) + "：" + c.text);
  }
  if (checks.empty()) {
    setText("计算检查：无");
    setToolTip("上次计算没有超出关联式适用范围或常用设计范围的项目");
    setChecked(false);
    setEnabled(false);
  } else {
    setEnabled(true);
    setText(QString("计算检查：%1 项（警告 %2，提示 %3）")
                .arg(checks.size())
                .arg(warnings)
                .arg(static_cast<int>(checks.size()) - warnings));
    setToolTip("展开或收起计算检查列表");
    setStyleSheet(warnings ? "color: rgb(176,0,0);" : "color: rgb(0,0,160);");
  }
  // The signs: one per named field, hidden where no check names it any more.
  for (auto& [name, sign] : signs_) sign->hide();
  for (const auto& [name, tip] : tips) {
    QWidget* w = window_.WidgetOf(name);
    if (!w) continue;
    QLabel*& sign = signs_[name];
    if (!sign) {
      sign = new QLabel("!", w);
      sign->setObjectName(Q(name + "Check"));
      sign->setAlignment(Qt::AlignCenter);
      sign->setStyleSheet(
          "background: rgb(230,120,0); color: white; font-weight: bold; font-size: 8px; border-radius: 4px;");
      sign->setFixedSize(9, 9);
    }
    sign->move(w->width() - sign->width() - 1, 1);
    sign->setToolTip(tip);
    sign->show();
    sign->raise();
  }
}

}  // namespace pelmora::gui

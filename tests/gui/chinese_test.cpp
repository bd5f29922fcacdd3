// The toolkit's own texts are Chinese: standard buttons of a question, the title of a
// message box, the buttons of a file dialog.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "fields/Catalogue.h"
#include "fields/UiPort.h"
#include "gui/QtPort.h"

namespace {

using namespace pelmora;

// Runs `inspect` on the modal dialog once it is shown, then closes it with Escape.
template <class F>
void WhenModal(F inspect) {
  auto* timer = new QTimer;
  timer->setInterval(20);
  QObject::connect(timer, &QTimer::timeout, [timer, inspect] {
    QWidget* w = QApplication::activeModalWidget();
    if (!w) return;
    timer->stop();
    inspect(w);
    if (auto* box = qobject_cast<QMessageBox*>(w)) {
      if (QAbstractButton* esc = box->escapeButton())
        esc->click();
      else
        box->reject();
    } else if (auto* d = qobject_cast<QDialog*>(w)) {
      d->reject();
    }
    timer->deleteLater();
  });
  timer->start();
}

TEST(ChineseToolkit, QuestionButtonsAndTitleAreChinese) {
  gui::QtPort port;
  QStringList texts;
  QString title;
  WhenModal([&](QWidget* w) {
    title = w->windowTitle();
    for (QAbstractButton* b : w->findChildren<QAbstractButton*>()) texts << b->text().remove('&');
  });
  Answer a = port.MessageBox("是否保存？", "", MsgType::Question, Buttons::YesNoCancel, Answer::Yes);
  EXPECT_EQ(a, Answer::Cancel);
  EXPECT_EQ(title, QString("佩莫拉"));
  for (const char* want : {"是", "否", "取消"}) {
    bool found = false;
    for (const QString& t : texts) found = found || t.startsWith(QString::fromUtf8(want));
    EXPECT_TRUE(found) << want << " among " << texts.join('|').toStdString();
  }
}

TEST(ChineseToolkit, BoxesTitledWithTheWindowTitleCarryTheProgramName) {
  gui::QtPort port;
  QString title;
  WhenModal([&](QWidget* w) { title = w->windowTitle(); });
  port.MessageBox("无法打开文件。", TFormPelmora::kTitle, MsgType::Error, Buttons::Ok, Answer::Ok);
  EXPECT_EQ(title, QString("佩莫拉"));
}

TEST(ChineseToolkit, FileDialogSpeaksChinese) {
  QFileDialog dialog(nullptr, "打开项目");
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  QStringList texts;
  WhenModal([&](QWidget* w) {
    for (QAbstractButton* b : w->findChildren<QPushButton*>()) texts << b->text().remove('&');
  });
  dialog.exec();
  bool cancel = false;
  for (const QString& t : texts) cancel = cancel || t.startsWith("取消");
  EXPECT_TRUE(cancel) << texts.join('|').toStdString();
}

}  // namespace

#include "gui/QtPort.h"

#include "fields/Catalogue.h"
#include "gui/Extras.h"
#include "gui/FileDialogs.h"
#include "gui/PickListDialog.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QTimer>

namespace pelmora::gui {

namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }

// A box without a caption of its own, or with the window's long title, is titled with
// the program's name, 佩莫拉.
QString Caption(const std::string& c) {
  if (c.empty() || c == TFormPelmora::kTitle) return QGuiApplication::applicationDisplayName();
  return Q(c);
}
}  // namespace

QString ToQtFilter(const std::string& filter) {
  QStringList parts = Q(filter).split('|');
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(';', ' ');
    out << parts[i].trimmed() + " (" + patterns.trimmed() + ")";
  }
  if (parts.size() % 2 == 1 && !parts.back().isEmpty()) out << parts.back();
  return out.join(";;");
}

void QtPort::ShowMessage(const std::string& text) {
  if (InPaint()) {
    paintMessages_.push_back(text);
    return;
  }
  QMessageBox box(QMessageBox::NoIcon, QGuiApplication::applicationDisplayName(), Q(text), QMessageBox::Ok, parent_);
  box.exec();
}

Answer QtPort::MessageBox(const std::string& text, const std::string& caption, MsgType type, Buttons buttons,
                          Answer defaultButton) {
  if (InPaint() && buttons == Buttons::Ok) {
    paintMessages_.push_back(text);
    return Answer::Ok;
  }
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  switch (type) {
    case MsgType::Plain: icon = QMessageBox::NoIcon; break;
    case MsgType::Information: icon = QMessageBox::Information; break;
    case MsgType::Warning: icon = QMessageBox::Warning; break;
    case MsgType::Error: icon = QMessageBox::Critical; break;
    case MsgType::Question: icon = QMessageBox::Question; break;
  }
  QMessageBox::StandardButtons set = QMessageBox::Ok;
  if (buttons == Buttons::YesNo) set = QMessageBox::Yes | QMessageBox::No;
  if (buttons == Buttons::YesNoCancel) set = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  QMessageBox box(icon, Caption(caption), Q(text), set, parent_);
  QMessageBox::StandardButton def = QMessageBox::Ok;
  switch (defaultButton) {
    case Answer::Ok: def = QMessageBox::Ok; break;
    case Answer::Yes: def = QMessageBox::Yes; break;
    case Answer::No: def = QMessageBox::No; break;
    case Answer::Cancel: def = QMessageBox::Cancel; break;
  }
  if (set.testFlag(def)) box.setDefaultButton(def);
  if (set.testFlag(QMessageBox::Cancel))
    box.setEscapeButton(QMessageBox::Cancel);
  else if (set.testFlag(QMessageBox::No))
    box.setEscapeButton(QMessageBox::No);
  int r = box.exec();
  switch (r) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Cancel: return Answer::Cancel;
    default: return buttons == Buttons::Ok ? Answer::Ok : (buttons == Buttons::YesNo ? Answer::No : Answer::Cancel);
  }
}

namespace {
std::optional<std::string> RunFileDialog(QWidget* parent, const FileDialogRequest& r, bool save) {
  QString filters = ToQtFilter(r.filter);
  QFileDialog dlg(parent, Q(r.title), Q(r.initialDir), filters);
  // The filter the command asks for (counted from 1): templates for the template commands.
  QStringList names = filters.split(";;");
  if (r.filterIndex >= 1 && r.filterIndex <= names.size()) dlg.selectNameFilter(names[r.filterIndex - 1]);
  dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dlg.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (!r.defaultExt.empty()) dlg.setDefaultSuffix(Q(r.defaultExt));
  if (!r.fileName.empty()) dlg.selectFile(Q(r.fileName));
  if (save && !r.overwritePrompt) dlg.setOption(QFileDialog::DontConfirmOverwrite, true);
  MakeChinese(dlg);
  if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return std::nullopt;
  return dlg.selectedFiles().front().toStdString();
}
}  // namespace

std::optional<std::string> QtPort::OpenDialog(const FileDialogRequest& request) {
  return RunFileDialog(parent_, request, false);
}

std::optional<std::string> QtPort::SaveDialog(const FileDialogRequest& request) {
  return RunFileDialog(parent_, request, true);
}

// A plain choice of one of the values; the pick-list dialog proper replaces it.
std::optional<std::string> QtPort::PickList(const PickListRequest& r) {
  PickListDialog dialog(r, parent_);
  return dialog.Ask();
}

void QtPort::Beep() { QApplication::beep(); }

void QtPort::SetClipboardText(const std::string& text) { QApplication::clipboard()->setText(Q(text)); }

void QtPort::SetBusyCursor(bool busy) {
  if (busy == busy_) return;
  busy_ = busy;
  if (busy)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QApplication::restoreOverrideCursor();
}

void QtPort::ProcessEvents() { QCoreApplication::processEvents(); }

void QtPort::BeginPaint() { ++paintDepth_; }

void QtPort::EndPaint() {
  if (paintDepth_ > 0) --paintDepth_;
  if (paintDepth_ > 0 || paintMessages_.empty()) return;
  std::vector<std::string> msgs;
  msgs.swap(paintMessages_);
  if (msgs == lastPaintMessages_) return;
  lastPaintMessages_ = msgs;
  QTimer::singleShot(0, [this, msgs] {
    for (const auto& m : msgs) ShowMessage(m);
  });
}

}  // namespace pelmora::gui

namespace pelmora::gui {

QtPort::~QtPort() { delete viewer_; }

HelpShown QtPort::ShowHelp(const HelpRequest& request) {
  // A window of its own (no parent): it stays open beside the calculation window, and
  // closing the calculation window still ends the program.
  if (!viewer_) {
    std::string error;
    viewer_ = extras::NewHelpViewer(&error);
    if (!viewer_) return HelpShown{false, "", 1, "帮助窗口部件无法载入：" + error};
    viewer_->setAttribute(Qt::WA_QuitOnClose, false);
  }
  return extras::OpenHelp(viewer_, request);
}

}  // namespace pelmora::gui

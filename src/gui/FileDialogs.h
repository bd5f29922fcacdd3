#pragma once
// The program's file dialogs in Chinese whatever the system's language: Qt's own dialog
// (the same on every desktop), the captions of its fields and columns, folder and file
// types and dates written out in Chinese; the filter names shown as given, once.
class QFileDialog;

namespace pelmora::gui {

void MakeChinese(QFileDialog& dialog);

}  // namespace pelmora::gui

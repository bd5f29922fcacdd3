#pragma once
// The user-interface port on Qt: real message boxes and file dialogs, the beep, the
// busy cursor and the handling of pending events.
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "fields/UiPort.h"

class QWidget;

namespace pelmora::gui {

// "描述|*.ext|描述|*.ext2" → "描述 (*.ext);;描述 (*.ext2)".
QString ToQtFilter(const std::string& filter);

class SimpPLDialog;

class QtPort : public UiPort {
 public:
  QtPort() = default;
  ~QtPort() override;
  QtPort(const QtPort&) = delete;
  QtPort& operator=(const QtPort&) = delete;
  // Parent of the dialogs (the calculation window once it exists).
  void SetParent(QWidget* w) { parent_ = w; }

  void ShowMessage(const std::string& text) override;
  Answer MessageBox(const std::string& text, const std::string& caption, MsgType type, Buttons buttons,
                    Answer defaultButton) override;
  std::optional<std::string> OpenDialog(const FileDialogRequest& request) override;
  std::optional<std::string> SaveDialog(const FileDialogRequest& request) override;
  std::optional<std::string> PickList(const PickListRequest& request) override;
  void Beep() override;
  void SetClipboardText(const std::string& text) override;
  void SetBusyCursor(bool busy) override;
  void ProcessEvents() override;
  // The property dialog, created on its first showing as a child of the window.
  void ShowForm(Form& form) override;
  SimpPLDialog* SimpDialog() const { return simp_; }
  // The manual in the one help viewer of the program.
  HelpShown ShowHelp(const HelpRequest& request) override;
  // The manual viewer, once a help request has made it.
  QWidget* Viewer() const { return viewer_; }

  // While a paint event runs, a modal box must not open (its own repainting would
  // paint again): plain messages are kept and shown once the paint has ended. A
  // message repeated by the repaint that follows the box is not shown again until
  // the next user action (ResetPaintMessages).
  void BeginPaint();
  void EndPaint();
  void ResetPaintMessages() { lastPaintMessages_.clear(); }
  bool InPaint() const { return paintDepth_ > 0; }

 private:
  QWidget* parent_ = nullptr;
  SimpPLDialog* simp_ = nullptr;  // owned by the window; reset when it goes
  QWidget* viewer_ = nullptr;     // made at the first help request, kept until the end
  bool busy_ = false;
  int paintDepth_ = 0;
  std::vector<std::string> paintMessages_;
  std::vector<std::string> lastPaintMessages_;
};

}  // namespace pelmora::gui

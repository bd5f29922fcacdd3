#pragma once
// The window's own handlers: what happens when it is created and activated, the page
// switch, closing and About. The window system part
// (moving the window, closing it) belongs to the view, which sets the hooks below.
// The automatic-calculation toggle belongs to the recalculation driver.
#include <functional>

#include "fields/Catalogue.h"

namespace pelmora {

class Shell {
 public:
  explicit Shell(TFormPelmora& form);  // installs the handlers on the form

  // Creation of the window: legend selector hidden, title, not modified, page "计算".
  void FormCreate();
  // Every activation of the window: the progress bar of the status bar shows 50.
  void FormActivate();
  // The user switched pages: the report page rebuilds the report, the vessel page the
  // vessel definition.
  void PageControl1Change(Component* sender);
  void MAboutClick(Component* sender);
  void MFExitClick(Component* sender);

  // Set by the view: closes the window (and so ends the program).
  std::function<void()> closeWindow;

  static constexpr const char* kAboutCaption = "欢迎使用";
  static constexpr const char* kAboutText = PELMORA_NAME_ZH "(" PELMORA_NAME ") " PELMORA_VERSION_TEXT " 版";

 private:
  TFormPelmora& f_;
};

}  // namespace pelmora

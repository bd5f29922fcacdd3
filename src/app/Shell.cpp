#include "app/Shell.h"

#include "fields/UiPort.h"

namespace pelmora {

Shell::Shell(TFormPelmora& form) : f_(form) {
  f_.SetHandler("PageControl1Change", [this](Component* s) { PageControl1Change(s); });
  f_.BindCommand("MAboutClick", [this](Component* s) { MAboutClick(s); }, {"MHAboutClick"});
  f_.BindCommand("MFExitClick", [this](Component* s) { MFExitClick(s); }, {"MExitClick"});
  FormCreate();
}

void Shell::FormCreate() {
  f_.RGLGDY->SetVisible(false);
  f_.SetCaption(TFormPelmora::kTitle);
  f_.SetProjectModified(false, true);
  f_.PageControl1->SetActivePage(f_.TabSheet2);
}

// The position only: the bar itself shows while a long action runs, whose position an
// activation must not disturb.
void Shell::FormActivate() {
  if (!f_.MyStatusBar->ProgressVisible()) f_.MyStatusBar->SetProgressPosition(50);
}

void Shell::PageControl1Change(Component*) {
  GroupBox* page = f_.PageControl1->ActivePage();
  if (page == f_.TabSheet5)
    f_.RunHandler("SBRSimpleClick", f_.PageControl1);
  else if (page == f_.TabSheet4)
    f_.RunHandler("VNDChange", f_.PageControl1);
}

void Shell::MAboutClick(Component*) {
  f_.Port().MessageBox(kAboutText, kAboutCaption, MsgType::Information, Buttons::Ok, Answer::Ok);
}

void Shell::MFExitClick(Component*) {
  if (closeWindow) closeWindow();
}

}  // namespace pelmora

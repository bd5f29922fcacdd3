#pragma once
// Help: the manual Manual.pdf in the program folder, opened at the bookmark named after
// the field or control in question. The help menu opens the installation chapter; the
// tool button "这是什么？" and F1 open the section of the focused control: a value
// field's label caption, any other control's hint.
#include <string>
#include <vector>

#include "fields/Catalogue.h"
#include "fields/UiPort.h"

namespace pelmora {

// The help topic of a control: the caption of a value field's label, else the hint.
std::string HelpTopicOf(const Component* c);

// Every label caption and every hint the window can show, in every operating mode
// (vessel type, convection, phases, tube shape, vessel shape, automatic calculation),
// each once, in the order first met. Runs the mode handlers: the form is left in
// another state than it was found.
std::vector<std::string> HelpTopicsInEveryMode(TFormPelmora& form);

class Help {
 public:
  explicit Help(TFormPelmora& form);  // installs MHPDFClick and SBHPDFClick on the form

  static constexpr const char* kViewerTitle = "佩莫拉帮助";
  static constexpr const char* kInstallChapter = "第一章 系统安装 ";
  static constexpr const char* kContents = "目录";
  static constexpr const char* kManualName = "Manual.pdf";
  static constexpr int kF1 = Code(Key::F1);  // the virtual key code of F1

  // The bookmark title of the next help request.
  std::string HelpTopic;

  // The help menu item: the installation chapter; called without a sender it keeps
  // the topic that SBHPDFClick or F1 set.
  void MHPDFClick(Component* sender);
  // The tool button: help on the control that has the focus.
  void SBHPDFClick(Component* sender);
  // F1 in a control (the keyboard handler calls it with the control).
  void F1(Component* focused);

  // Opens the manual at the topic: the title with one trailing blank, then the bare
  // title, then `defaultTopic`. A missing manual is reported with its path.
  HelpShown OpenManualAt(const std::string& viewerTitle, const std::string& topic, const std::string& defaultTopic);
  // The titles tried for a topic, in order.
  static std::vector<std::string> LookupOrder(const std::string& topic, const std::string& defaultTopic);
  std::string ManualPath() const { return f_.ProgramFolder + kManualName; }

  // What the last request showed.
  HelpShown lastShown;

 private:
  TFormPelmora& f_;
};

}  // namespace pelmora

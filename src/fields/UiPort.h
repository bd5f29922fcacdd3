#pragma once
// The only way the core reaches the person: message boxes, questions, file dialogs,
// the pick list, the beep, the busy cursor and handling pending events. The Qt layer
// implements it with real dialogs, the command line on the terminal, tests with
// ScriptedPort.
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace pelmora {

class Form;

enum class MsgType { Plain, Information, Warning, Error, Question };
enum class Buttons { Ok, YesNo, YesNoCancel };
enum class Answer { Ok, Yes, No, Cancel };

struct FileDialogRequest {
  std::string title;
  std::string filter;      // "描述|*.ext|描述|*.ext2"
  std::string defaultExt;  // without the dot
  std::string initialDir;
  std::string fileName;  // preset file name
  bool overwritePrompt = false;
  int filterIndex = 1;  // the filter entry shown first, counted from 1
};

struct PickListRequest {
  std::vector<std::string> values;
  std::vector<std::string> names;
  std::string prompt;
  std::string caption;
  std::string current;
  std::string unit;
};

// A request to show the manual: the viewer window's title and the bookmark titles to
// try, in order; the first that exists is shown.
struct HelpRequest {
  std::string manualPath;
  std::string viewerTitle;
  std::vector<std::string> titles;
};
// What the viewer showed: `opened` false when the manual could not be read (`error`
// says why); `title` empty when no bookmark matched; `page` from 1.
struct HelpShown {
  bool opened = false;
  std::string title;
  int page = 1;
  std::string error;
};

class UiPort {
 public:
  virtual ~UiPort() = default;
  // A plain message box with an OK button.
  virtual void ShowMessage(const std::string& text) = 0;
  // A message box with a caption, an icon and buttons; returns the button chosen.
  virtual Answer MessageBox(const std::string& text, const std::string& caption, MsgType type, Buttons buttons,
                            Answer defaultButton) = 0;
  virtual std::optional<std::string> OpenDialog(const FileDialogRequest& request) = 0;
  virtual std::optional<std::string> SaveDialog(const FileDialogRequest& request) = 0;
  // The text the user confirmed, or nullopt when cancelled.
  virtual std::optional<std::string> PickList(const PickListRequest& request) = 0;
  virtual void Beep() = 0;
  virtual void SetBusyCursor(bool busy) = 0;
  virtual void ProcessEvents() = 0;
  // Shows a second form (a dialog of the core) modally. A desktop view returns when the
  // form has closed; a headless view returns at once and keeps the form open for the
  // actions that follow.
  virtual void ShowForm(Form& form) { (void)form; }
  // Shows the manual at a bookmark. Without a viewer (command line, tests) the bookmark
  // is looked up in the manual's index and nothing is shown.
  virtual HelpShown ShowHelp(const HelpRequest& request);
  // Puts text on the clipboard (tab-separated rows for a spreadsheet). Without a
  // clipboard (command line) the text is shown where the user reads.
  virtual void SetClipboardText(const std::string& text) { (void)text; }
};

// Everything a port was asked, in order; used by tests and by the command line.
struct PortEvent {
  enum class Kind { Message, Box, Open, Save, Pick, Beep, Form, Help } kind;
  std::string text;
  std::string caption;
  MsgType type = MsgType::Plain;
};

// A port that records every request and answers from a script: questions take the
// queued answers (then `defaultAnswer`), dialogs the queued file names (then cancel),
// pick lists the queued texts (then cancel).
class ScriptedPort : public UiPort {
 public:
  std::vector<PortEvent> events;
  std::deque<Answer> answers;
  Answer defaultAnswer = Answer::No;
  std::deque<std::optional<std::string>> files;
  std::deque<std::optional<std::string>> picks;
  int busyDepthChanges = 0;
  bool busy = false;
  int processEventsCalls = 0;
  bool echoToStderr = false;

  void ShowMessage(const std::string& text) override;
  Answer MessageBox(const std::string& text, const std::string& caption, MsgType type, Buttons buttons,
                    Answer defaultButton) override;
  std::optional<std::string> OpenDialog(const FileDialogRequest& request) override;
  std::optional<std::string> SaveDialog(const FileDialogRequest& request) override;
  std::optional<std::string> PickList(const PickListRequest& request) override;
  void Beep() override;
  void SetBusyCursor(bool b) override {
    busy = b;
    ++busyDepthChanges;
  }
  void ProcessEvents() override { ++processEventsCalls; }
  // Records the showing, then runs `onShowForm` (a test's actions inside the dialog).
  std::function<void(Form&)> onShowForm;
  void ShowForm(Form& form) override;
  // Records the request (the title found as text, the window title as caption).
  HelpShown ShowHelp(const HelpRequest& request) override;
  // Every help request, with what it found.
  std::vector<HelpShown> helpShown;
  // The last text put on the clipboard.
  std::string clipboard;
  void SetClipboardText(const std::string& text) override { clipboard = text; }

  // The texts of message and box events, in order.
  std::vector<std::string> Messages() const;
  void Clear() { events.clear(); }
};

// Passes every request on to another port and keeps the text of the last message shown
// (the reason a calculation stopped). Every request of UiPort is forwarded here.
class MessageTap : public UiPort {
 public:
  explicit MessageTap(UiPort& inner) : inner_(inner) {}
  std::string last;

  void ShowMessage(const std::string& text) override {
    last = text;
    inner_.ShowMessage(text);
  }
  Answer MessageBox(const std::string& text, const std::string& caption, MsgType type, Buttons buttons,
                    Answer defaultButton) override {
    last = text;
    return inner_.MessageBox(text, caption, type, buttons, defaultButton);
  }
  std::optional<std::string> OpenDialog(const FileDialogRequest& r) override { return inner_.OpenDialog(r); }
  std::optional<std::string> SaveDialog(const FileDialogRequest& r) override { return inner_.SaveDialog(r); }
  std::optional<std::string> PickList(const PickListRequest& r) override { return inner_.PickList(r); }
  void Beep() override { inner_.Beep(); }
  void SetBusyCursor(bool busy) override { inner_.SetBusyCursor(busy); }
  void ProcessEvents() override { inner_.ProcessEvents(); }
  void ShowForm(Form& form) override { inner_.ShowForm(form); }
  HelpShown ShowHelp(const HelpRequest& request) override { return inner_.ShowHelp(request); }
  void SetClipboardText(const std::string& text) override { inner_.SetClipboardText(text); }

 private:
  UiPort& inner_;
};

}  // namespace pelmora

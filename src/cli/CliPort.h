#pragma once
// The user-interface port of pelmora-calc: messages on standard error, the pick list
// answered from the command line, the clipboard on standard output.
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "cli/Json.h"
#include "fields/UiPort.h"
#include "select/PickList.h"

namespace pelmora::cli {

// Messages go to standard error as well as into the record.
class CliPort : public ScriptedPort {
 public:
  explicit CliPort(std::ostream& err) : err_(err) {}
  // The answer for the next pick list: a text typed into the input field, or a row (from 1).
  std::optional<std::string> pickText;
  std::optional<int> pickRow;
  // Error message boxes shown so far: a file command that shows one has failed.
  int errorBoxes = 0;
  // Every pick list shown, as JSON, in the order of the messages.
  std::vector<std::pair<size_t, std::string>> pickJson;
  // The dialog shown and not yet closed, and the messages shown while it was open.
  Form* open = nullptr;
  std::vector<std::string> dialogMessages;

  void ShowForm(Form& form) override {
    ScriptedPort::ShowForm(form);
    open = &form;
  }

  std::optional<std::string> PickList(const PickListRequest& r) override {
    ScriptedPort::PickList(r);
    TFormPickList dlg;
    dlg.Fill(r);
    std::optional<std::string> answer;
    if (pickRow) {
      dlg.ClickRow(*pickRow - 1);
      if (*pickRow >= 1 && *pickRow <= static_cast<int>(dlg.rows.size())) answer = dlg.input;
    } else if (pickText) {
      dlg.input = *pickText;
      answer = dlg.input;
    }
    if (pickRow && !answer) err_ << "pelmora-calc: the pick list has no row " << *pickRow << "; cancelled\n";
    pickText.reset();
    pickRow.reset();
    std::string j = "{\"pickList\": {\"caption\": " + JsonString(dlg.caption) +
                    ", \"prompt\": " + JsonString(dlg.prompt) + ", \"rows\": [";
    for (size_t i = 0; i < dlg.rows.size(); ++i) {
      const auto& row = dlg.rows[i];
      j += std::string(i ? ", " : "") + "{\"no\": " + row.no + ", \"name\": " + JsonString(row.name) +
           ", \"value\": " + JsonString(row.value) + ", \"unit\": " + JsonString(row.unit) + "}";
    }
    j += "], \"selectedRow\": " + std::to_string(dlg.selected + 1) + ", \"input\": " + JsonString(dlg.input) +
         ", \"confirmed\": " + (answer ? "true" : "false") + "}}";
    pickJson.emplace_back(Messages().size(), j);
    return answer;
  }
  // The clipboard of a terminal is its output (--click SBCopy prints the table).
  std::ostream* clipboardOut = nullptr;
  void SetClipboardText(const std::string& text) override {
    ScriptedPort::SetClipboardText(text);
    if (clipboardOut) *clipboardOut << text;
  }
  void ShowMessage(const std::string& text) override {
    ScriptedPort::ShowMessage(text);
    if (open) dialogMessages.push_back(text);
    err_ << text << "\n";
  }
  Answer MessageBox(const std::string& text, const std::string& caption, MsgType type, Buttons buttons,
                    Answer def) override {
    if (type == MsgType::Error) ++errorBoxes;
    Answer a = ScriptedPort::MessageBox(text, caption, type, buttons, def);
    if (open) dialogMessages.push_back(text);
    err_ << (caption.empty() ? "" : caption + ": ") << text << "\n";
    return a;
  }

 private:
  std::ostream& err_;
};

}  // namespace pelmora::cli

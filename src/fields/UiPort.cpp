#include "fields/UiPort.h"

#include <iostream>

namespace pelmora {

void ScriptedPort::ShowMessage(const std::string& text) {
  events.push_back({PortEvent::Kind::Message, text, "", MsgType::Plain});
  if (echoToStderr) std::cerr << text << "\n";
}

Answer ScriptedPort::MessageBox(const std::string& text, const std::string& caption, MsgType type,
                                Buttons buttons, Answer) {
  events.push_back({PortEvent::Kind::Box, text, caption, type});
  if (echoToStderr) std::cerr << (caption.empty() ? "" : caption + ": ") << text << "\n";
  if (buttons == Buttons::Ok) return Answer::Ok;
  Answer a = defaultAnswer;
  if (!answers.empty()) {
    a = answers.front();
    answers.pop_front();
  }
  if (buttons == Buttons::YesNo && a == Answer::Cancel) a = Answer::No;
  return a;
}

std::optional<std::string> ScriptedPort::OpenDialog(const FileDialogRequest& r) {
  events.push_back({PortEvent::Kind::Open, r.fileName, r.title, MsgType::Plain});
  if (files.empty()) return std::nullopt;
  auto f = files.front();
  files.pop_front();
  return f;
}

std::optional<std::string> ScriptedPort::SaveDialog(const FileDialogRequest& r) {
  events.push_back({PortEvent::Kind::Save, r.fileName, r.title, MsgType::Plain});
  if (files.empty()) return std::nullopt;
  auto f = files.front();
  files.pop_front();
  return f;
}

std::optional<std::string> ScriptedPort::PickList(const PickListRequest& r) {
  events.push_back({PortEvent::Kind::Pick, r.current, r.caption, MsgType::Plain});
  if (picks.empty()) return std::nullopt;
  auto p = picks.front();
  picks.pop_front();
  return p;
}

void ScriptedPort::Beep() { events.push_back({PortEvent::Kind::Beep, "", "", MsgType::Plain}); }

void ScriptedPort::ShowForm(Form& form) {
  events.push_back({PortEvent::Kind::Form, "", "", MsgType::Plain});
  if (onShowForm) onShowForm(form);
}

std::vector<std::string> ScriptedPort::Messages() const {
  std::vector<std::string> r;
  for (const auto& e : events)
    if (e.kind == PortEvent::Kind::Message || e.kind == PortEvent::Kind::Box) r.push_back(e.text);
  return r;
}

}  // namespace pelmora

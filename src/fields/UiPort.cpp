#include "fields/UiPort.h"

#include <fstream>
#include <iostream>

namespace pelmora {

void ScriptedPort::ShowMessage(const std::string& text) {
  events.push_back({PortEvent::Kind::Message, text, "", MsgType::Plain});
  if (echoToStderr) std::cerr << text << "\n";
}

Answer ScriptedPort::MessageBox(const std::string& text, const std::string& caption, MsgType type, Buttons buttons,
                                Answer) {
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

HelpShown UiPort::ShowHelp(const HelpRequest& request) {
  HelpShown shown;
  std::ifstream pdf(request.manualPath, std::ios::binary);
  char head[5] = {};
  if (!pdf.read(head, 5) || std::string(head, 5) != "%PDF-") {
    shown.error = "不是PDF文件";
    return shown;
  }
  shown.opened = true;
  // The index beside the manual: "page<TAB>level<TAB>top<TAB>title" per outline entry.
  std::ifstream idx(request.manualPath + ".idx", std::ios::binary);
  std::vector<std::pair<std::string, int>> marks;
  std::string line;
  for (int n = 0; n < 100000 && std::getline(idx, line); ++n) {
    const size_t a = line.find('\t');
    const size_t l = a == std::string::npos ? a : line.find('\t', a + 1);
    const size_t b = l == std::string::npos ? l : line.find('\t', l + 1);
    if (b == std::string::npos) continue;
    int page = 0;
    for (size_t i = 0; i < a && i < 6; ++i)
      if (line[i] >= '0' && line[i] <= '9') page = page * 10 + (line[i] - '0');
    marks.emplace_back(line.substr(b + 1), page);
  }
  for (const std::string& t : request.titles)
    for (const auto& [title, page] : marks)
      if (title == t) {
        shown.title = title;
        shown.page = page;
        return shown;
      }
  return shown;
}

HelpShown ScriptedPort::ShowHelp(const HelpRequest& request) {
  HelpShown shown = UiPort::ShowHelp(request);
  events.push_back({PortEvent::Kind::Help, shown.title, request.viewerTitle, MsgType::Plain});
  helpShown.push_back(shown);
  return shown;
}

std::vector<std::string> ScriptedPort::Messages() const {
  std::vector<std::string> r;
  for (const auto& e : events)
    if (e.kind == PortEvent::Kind::Message || e.kind == PortEvent::Kind::Box) r.push_back(e.text);
  return r;
}

}  // namespace pelmora

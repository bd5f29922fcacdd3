#include "app/Help.h"

#include <sys/stat.h>

#include <set>

#include "fields/Dispatch.h"
#include "fields/Properties.h"

namespace pelmora {

std::string HelpTopicOf(const Component* c) {
  if (!c) return {};
  return Describe(c->GetKind()).helpTopic(*c);
}

std::vector<std::string> HelpTopicsInEveryMode(TFormPelmora& f) {
  std::vector<std::string> topics;
  std::set<std::string> seen;
  auto gather = [&] {
    for (const Component* c : f.Components()) {
      std::string t;
      if (const auto* l = As<Label>(c)) t = l->Caption();
      if (!t.empty() && seen.insert(t).second) topics.push_back(t);
      if (!c->Hint().empty() && seen.insert(c->Hint()).second) topics.push_back(c->Hint());
    }
  };
  auto choose = [&f](ComboBox* list, int i) { Dispatch(f, [list, i] { list->UserSelect(i); }); };
  auto click = [&f](RadioGroup* group, int i) { Dispatch(f, [group, i] { group->SetItemIndex(i); }); };
  gather();
  for (int e = 0; e < 3; ++e)
    for (int c = 0; c < 3; ++c)
      for (int o = 0; o < 3; ++o)
        for (int t = 0; t < 3; ++t) {
          click(f.RGEType, e);
          click(f.RGFType, c);
          choose(f.PhoD, o);
          choose(f.PhiD, t);
          gather();
        }
  // Back to a single-phase storage tank (a vessel side that changes phase holds the
  // vessel at two streams, and a two-stream vessel allows only the flat cylinder).
  choose(f.PhoD, 0);
  choose(f.PhiD, 0);
  click(f.RGEType, 0);
  click(f.RGFType, 0);
  for (int shape = 0; shape < static_cast<int>(f.TShapeD->Items().size()); ++shape) {
    choose(f.TShapeD, shape);
    gather();
  }
  for (int vessel = 0; vessel < static_cast<int>(f.VND->Items().size()); ++vessel) {
    choose(f.VND, vessel);
    gather();
  }
  for (int press = 0; press < 2; ++press) {
    Dispatch(f, [&f] { f.SBAutoRun->Click(); });
    gather();
  }
  return topics;
}

Help::Help(TFormPelmora& form) : f_(form) {
  f_.BindCommand("MHPDFClick", [this](Component* s) { MHPDFClick(s); }, {}, {"F1"});
  f_.SetHandler("SBHPDFClick", [this](Component* s) { SBHPDFClick(s); });
  // F1 in the fields and the other input controls: the form's key handler MaoDKeyDown
  // asks here.
  f_.onHelpKey = [this](Component* s) { F1(s); };
}

void Help::MHPDFClick(Component* sender) {
  if (sender) HelpTopic = kInstallChapter;
  OpenManualAt(kViewerTitle, HelpTopic, kContents);
}

void Help::SBHPDFClick(Component*) {
  HelpTopic = HelpTopicOf(f_.Focused());
  MHPDFClick(nullptr);
}

void Help::F1(Component* focused) {
  HelpTopic = HelpTopicOf(focused);
  MHPDFClick(nullptr);
}

std::vector<std::string> Help::LookupOrder(const std::string& topic, const std::string& defaultTopic) {
  if (topic.empty()) return {defaultTopic};
  std::vector<std::string> titles;
  // A topic that already ends in a blank (the installation chapter) is tried as it is,
  // then without its blanks.
  titles.push_back(topic + " ");
  titles.push_back(topic);
  std::string bare = topic;
  while (!bare.empty() && bare.back() == ' ') bare.pop_back();
  if (!bare.empty() && bare != topic) titles.push_back(bare);
  titles.push_back(defaultTopic);
  return titles;
}

HelpShown Help::OpenManualAt(const std::string& viewerTitle, const std::string& topic,
                             const std::string& defaultTopic) {
  const std::string path = ManualPath();
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
    lastShown = {};
    f_.Port().MessageBox("找不到帮助文件“" + path + "”。请重新安装佩莫拉，或把 Manual.pdf 放回程序文件夹。", "帮助",
                         MsgType::Warning, Buttons::Ok, Answer::Ok);
    return lastShown;
  }
  lastShown = f_.Port().ShowHelp({path, viewerTitle, LookupOrder(topic, defaultTopic)});
  if (!lastShown.opened)
    f_.Port().MessageBox(
        "无法打开帮助文件“" + path + "”" + (lastShown.error.empty() ? "" : "：" + lastShown.error) + "。", "帮助",
        MsgType::Warning, Buttons::Ok, Answer::Ok);
  return lastShown;
}

}  // namespace pelmora

#pragma once
// A window with its own program folder (a copy of the shipped catalogue) and user data
// folder, and a port that answers pick lists as a user would.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "../common/ScratchFolder.h"
#include "app/PelmoraApp.h"
#include "fields/Dispatch.h"
#include "select/PickList.h"

namespace pelmora::testing_select {

using ScratchDir = pelmora::testing::ScratchFolder;

// What the user does in the next pick list.
struct PickAction {
  enum Kind { Cancel, Row, Type } kind = Cancel;
  int row = 0;  // from 1
  std::string text;
};

class PickPort : public ScriptedPort {
 public:
  std::vector<TFormPickList> shown;  // the dialogs as they opened
  std::vector<PickAction> actions;   // answered in order, then cancel
  std::optional<std::string> PickList(const PickListRequest& r) override {
    ScriptedPort::PickList(r);
    TFormPickList d;
    d.Fill(r);
    shown.push_back(d);
    PickAction a = actions.empty() ? PickAction{} : actions.front();
    if (!actions.empty()) actions.erase(actions.begin());
    if (a.kind == PickAction::Cancel) return std::nullopt;
    if (a.kind == PickAction::Row)
      d.ClickRow(a.row - 1);
    else
      d.input = a.text;
    return d.input;
  }
};

inline std::string ShippedCatalogue() { return std::string(PELMORA_PROGRAM_DIR) + "/Piples.mdb"; }

struct Window {
  ScratchDir program, user;
  PickPort port;
  std::unique_ptr<PelmoraApp> app;
  // `open`: read the catalogue as the window does once it is up.
  explicit Window(bool withCatalogue = true, bool open = true) {
    setenv("XDG_DATA_HOME", user.Folder().c_str(), 1);
    if (withCatalogue) std::filesystem::copy_file(ShippedCatalogue(), program / "Piples.mdb");
    app = std::make_unique<PelmoraApp>(&port, program.Folder());
    if (open) app->select.OpenCatalogue();
  }
  TFormPelmora& f() { return app->form; }
  bool Click(const std::string& handler) {
    return app->Run([this, handler] { f().RunHandler(handler, nullptr); });
  }
};

}  // namespace pelmora::testing_select

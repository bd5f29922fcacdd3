#pragma once
// A calculation window with its own program folder holding a small property library
// written for the test, and its own per-user data folder.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>

#include "../common/ScratchFolder.h"
#include "app/PelmoraApp.h"
#include "fields/Dispatch.h"
#include "props/PropLib.h"

namespace pelmora::testing_simp {

using ScratchDir = pelmora::testing::ScratchFolder;

inline PropRecord Rec(const char* no, const char* cn) {
  PropRecord r;
  r.NO = no;
  r.CN = cn;
  return r;
}

// Records whose values a reader can check by hand.
inline PropLibrary TestLibrary() {
  PropLibrary lib;
  PropRecord a = Rec("0001", "测试液");
  a.EN = "Test liquid";
  a.CP = "4183";
  a.MD = "0,1000;20,990;40,980;60,970";  // straight line: 989.5 at 21 °C
  a.VI = "0.001";
  a.TC = "0.6";
  a.ST = "0.07";
  a.HV = "2.3E6";
  a.Pc = "22064";
  a.NT = "测试用";
  lib.Insert(a);
  PropRecord b = Rec("0002", "无密度物质");
  b.CP = "2000";
  b.VI = "0.002";
  lib.Insert(b);
  PropRecord c = Rec("0003", "低温无密度");
  c.CP = "1000";
  c.MD = "0,0;20,0;21,1;22,1";  // no density at 20 °C, some at 21 °C
  c.VI = "0.003";
  c.TC = "0.1";
  lib.Insert(c);
  PropRecord d = Rec("0004", "公式物质");
  d.CP = "4200-2*t";
  lib.Insert(d);
  return lib;
}

// XDG_DATA_HOME points into the scratch folder for the lifetime of the object.
class UserData {
 public:
  explicit UserData(const std::string& folder) {
    if (const char* old = std::getenv("XDG_DATA_HOME")) old_ = old, had_ = true;
    setenv("XDG_DATA_HOME", folder.c_str(), 1);
  }
  ~UserData() {
    if (had_)
      setenv("XDG_DATA_HOME", old_.c_str(), 1);
    else
      unsetenv("XDG_DATA_HOME");
  }

 private:
  std::string old_;
  bool had_ = false;
};

// A window over a program folder with the test library; `ProgramSub` names a folder
// below the scratch root (an installed program's share/pelmora, for instance).
struct Window {
  explicit Window(const std::string& programSub = "bin", bool writeLibrary = true)
      : dir(programSub), user(dir.Root() + "xdg") {
    if (writeLibrary) {
      std::string message;
      EXPECT_TRUE(TestLibrary().Save(dir.Folder() + PropLibrary::kFileName, &message)) << message;
    }
  }
  void Open() { app = std::make_unique<PelmoraApp>(&port, dir.Folder()); }
  // The dialog with its library read, as it is once opened.
  TFormSimpPL& D() {
    app->simp.EnsureLoaded();
    return app->simp;
  }
  TFormPelmora& F() { return app->form; }
  // Presses a button of the calculation window or of the dialog, as a click does.
  bool Click(Component* b) {
    return Dispatch(b->Owner(), [b] { static_cast<SpeedButton*>(b)->Click(); });
  }
  bool Click(const std::string& dialogButton) { return Click(D().Find(dialogButton)); }
  void SetT(const std::string& t) { D().MyValues1->SetValueOf("t", t); }
  void SetP(const std::string& p) { D().MyValues1->SetValueOf("p", p); }

  ScratchDir dir;
  UserData user;
  ScriptedPort port;
  std::unique_ptr<PelmoraApp> app;
};

}  // namespace pelmora::testing_simp

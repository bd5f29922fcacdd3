// A property added to one kind's description shows on the widgets of that kind.
#include <gtest/gtest.h>

#include <QApplication>
#include <map>

#include "../common/NoteProperty.h"
#include "app/PelmoraApp.h"
#include "fields/Properties.h"
#include "gui/MainWindow.h"

namespace pelmora {
namespace {

std::map<const Component*, std::string>& notes = testing::Notes();

TEST(KindDescriptionView, ATestOnlyPropertyIsMirroredOnTheWidget) {
  AddProperty(Kind::EditD, testing::NoteProperty({}, 0));
  {
    ScriptedPort port;
    PelmoraApp app{&port, PELMORA_PROGRAM_DIR "/"};
    notes[app.form.TaoD] = "first";
    gui::MainWindow win{app, nullptr};
    QWidget* tao = win.WidgetOf("TaoD");
    ASSERT_TRUE(tao);
    EXPECT_EQ(tao->property("Note").toString(), "first");
    EXPECT_FALSE(win.WidgetOf("OBJNameD")->property("Note").isValid());  // a plain edit
    // Refreshed with the component.
    notes[app.form.TaoD] = "second";
    app.form.TaoD->SetText("3");
    EXPECT_EQ(tao->property("Note").toString(), "second");
    EXPECT_EQ(tao->property("Text").toString(), "3");
  }
  RemoveProperty(Kind::EditD, "Note");
  notes.clear();
}

}  // namespace
}  // namespace pelmora

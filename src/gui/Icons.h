#pragma once
// Tool bar glyphs, drawn so that each command is told apart at a glance.
#include <QIcon>
#include <string>

namespace pelmora::gui {

// The glyph of a tool button by its component name (SBFNew, SBFOpen, ...).
QIcon ToolGlyph(const std::string& name);

}  // namespace pelmora::gui

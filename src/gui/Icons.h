#pragma once
// Tool bar glyphs, drawn so that each command is told apart at a glance.
#include <QIcon>
#include <QStyle>
#include <string>

namespace pelmora::gui {

// The glyph of a tool button by its component name (SBFNew, SBFOpen, ...).
QIcon ToolGlyph(const std::string& name);

// The window's style: Qt's Windows style with our own tool bar extension chevrons.
// Null when the Windows style is not available.
QStyle* MakeWindowStyle();

}  // namespace pelmora::gui

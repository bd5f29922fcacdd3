#pragma once
// The installed faces the program's font names stand for. The window, the calculation
// sheet's PDF and the SVG charts are written with the Windows names (宋体, SimSun,
// Times New Roman); each surface asks here which faces draw them, so that all three find
// the same Chinese face.
#include <string>
#include <vector>

namespace pelmora::chart {

// The faces that draw `name`, best first: for 宋体 and SimSun the Ming (Song style) face
// and two CJK faces after it; for Times New Roman its metric twin and then the Chinese
// faces (a Latin face has no Chinese glyphs); for any other name the Chinese faces.
const std::vector<std::string>& FontFallbacks(const std::string& name);

// The generic family that ends a list of faces: "serif" for the serif names above,
// "sans-serif" for any other.
const char* GenericFamily(const std::string& name);

// The faces of `name` joined by `separator`: the name itself first when `withName`, then
// its fallbacks and its generic family.
std::string FamilyList(const std::string& name, bool withName, const std::string& separator);

}  // namespace pelmora::chart

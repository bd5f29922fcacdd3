#pragma once
// The colour of a component, a font or a chart stroke, apart from the component model so
// that a drawing surface needs no more than this.
#include <cstdint>

namespace pelmora {

// Colours as the platform stores them: $00BBGGRR for plain colours, negative values
// ($FF0000xx) for system colours.
using Color = int32_t;
constexpr Color RGBColor(int r, int g, int b) { return Color(r | (g << 8) | (b << 16)); }
namespace colors {
constexpr Color Window = -16777211;      // window background (white)
constexpr Color BtnFace = -16777201;     // button face (light grey)
constexpr Color WindowText = -16777208;  // normal text (black)
constexpr Color Black = 0;
constexpr Color Blue = RGBColor(0, 0, 255);
constexpr Color Red = RGBColor(255, 0, 0);
constexpr Color White = RGBColor(255, 255, 255);
constexpr Color Gray = RGBColor(128, 128, 128);
}  // namespace colors
// Plain red, green and blue of any colour (system colours resolved to their usual look).
struct Rgb {
  int r, g, b;
};
Rgb ToRgb(Color c);

}  // namespace pelmora

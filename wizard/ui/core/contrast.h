// The colours of the parts of the wizard that it draws itself (the banner
// and its title, the step boxes, the banner's buttons, the step area), in
// the designer's normal look and under the system's high-contrast mode.
// Under high contrast every part takes system colours, each text on the
// background the system pairs it with, and plain shapes stand in for the
// artwork. No platform headers.
#pragma once

#include <cstdint>
#include <vector>

namespace tw {
namespace ui {
namespace contrast {

// System colours, numbered as the platform numbers them.
enum class SysColor : int32_t {
  kWindow = 5,
  kWindowText = 8,
  kHighlight = 13,
  kHighlightText = 14,
  kBtnFace = 15,
  kGrayText = 17,
  kBtnText = 18,
};

// A colour: one of the system's, or a fixed one (0x00BBGGRR).
struct Color {
  bool system = false;
  SysColor sys = SysColor::kWindow;
  uint32_t rgb = 0;
  bool operator==(const Color& o) const { return system == o.system && (system ? sys == o.sys : rgb == o.rgb); }
};

enum class Element {
  kStepArea,        // the main window's and the step dialogs' background and their texts
  kBanner,          // the banner and the title on it
  kStepCurrent,     // the step box of the current step
  kStepOther,       // the other step boxes
  kButtonNormal,    // a banner button
  kButtonFocused,
  kButtonPressed,
  kButtonDisabled,
};

struct Look {
  Color text;
  Color background;
  Color frame;           // the outline of the plain shape
  bool artwork = false;  // drawn from the designer's bitmaps (text and background as above)
  bool outlined = false; // a plain shape with its outline
};

Look LookOf(Element element, bool highContrast);

// The pictures of the banner's buttons as plain strokes, in a button of
// width x height pixels: the close button's cross and the minimise
// button's bar. The help button's question mark is a character, drawn as
// text; it has no strokes.
enum class Glyph { kHelp, kMinimise, kClose };
struct Stroke {
  int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};
std::vector<Stroke> GlyphStrokes(Glyph glyph, int32_t width, int32_t height);
// How wide the strokes are: a twelfth of the button, at least 2 pixels.
int32_t StrokeWidth(int32_t width);

// Whether the system pairs the text colour with the background colour (in
// either order): what a high-contrast scheme keeps readable.
bool IsSystemPair(SysColor text, SysColor background);

}  // namespace contrast
}  // namespace ui
}  // namespace tw

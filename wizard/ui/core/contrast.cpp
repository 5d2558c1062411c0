#include "contrast.h"

namespace tw {
namespace ui {
namespace contrast {
namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kLightBlue = 0xE8CFB3;  // the banner: red 179, green 207, blue 232

Color Fixed(uint32_t rgb) { return Color{false, SysColor::kWindow, rgb}; }
Color System(SysColor sys) { return Color{true, sys, 0}; }

Look Plain(SysColor text, SysColor background, SysColor frame) {
  Look look;
  look.text = System(text);
  look.background = System(background);
  look.frame = System(frame);
  look.outlined = true;
  return look;
}

Look Designed(uint32_t text, uint32_t background, bool artwork) {
  Look look;
  look.text = Fixed(text);
  look.background = Fixed(background);
  look.frame = Fixed(background);
  look.artwork = artwork;
  return look;
}

Look HighContrastLook(Element element) {
  switch (element) {
    case Element::kStepArea:
      return Plain(SysColor::kWindowText, SysColor::kWindow, SysColor::kWindowText);
    case Element::kBanner:
      return Plain(SysColor::kWindowText, SysColor::kWindow, SysColor::kWindowText);
    case Element::kStepCurrent:
      return Plain(SysColor::kHighlightText, SysColor::kHighlight, SysColor::kWindowText);
    case Element::kStepOther:
      return Plain(SysColor::kBtnText, SysColor::kBtnFace, SysColor::kBtnText);
    case Element::kButtonNormal:
      return Plain(SysColor::kBtnText, SysColor::kBtnFace, SysColor::kBtnText);
    case Element::kButtonFocused:
      return Plain(SysColor::kHighlightText, SysColor::kHighlight, SysColor::kHighlightText);
    case Element::kButtonPressed:  // the normal look turned over
      return Plain(SysColor::kBtnFace, SysColor::kBtnText, SysColor::kBtnFace);
    case Element::kButtonDisabled:
      return Plain(SysColor::kGrayText, SysColor::kBtnFace, SysColor::kGrayText);
  }
  return Plain(SysColor::kWindowText, SysColor::kWindow, SysColor::kWindowText);
}

Look NormalLook(Element element) {
  switch (element) {
    case Element::kStepArea:
      return Designed(kBlack, kWhite, false);
    case Element::kBanner:
      return Designed(kBlack, kLightBlue, false);
    case Element::kStepCurrent:
      return Designed(kWhite, kWhite, true);
    case Element::kStepOther:
      return Designed(kBlack, kWhite, true);
    default:  // the banner buttons: their bitmaps
      return Designed(kBlack, kLightBlue, true);
  }
}

}  // namespace

Look LookOf(Element element, bool highContrast) {
  return highContrast ? HighContrastLook(element) : NormalLook(element);
}

std::vector<Stroke> GlyphStrokes(Glyph glyph, int32_t width, int32_t height) {
  const int32_t left = width * 3 / 10, right = width - 1 - left;
  const int32_t top = height * 3 / 10, bottom = height - 1 - top;
  switch (glyph) {
    case Glyph::kClose:
      return {{left, top, right, bottom}, {right, top, left, bottom}};
    case Glyph::kMinimise: {
      const int32_t y = height * 2 / 3;
      return {{left, y, right, y}};
    }
    case Glyph::kHelp:
      break;
  }
  return {};
}

int32_t StrokeWidth(int32_t width) { return width / 12 > 2 ? width / 12 : 2; }

bool IsSystemPair(SysColor text, SysColor background) {
  auto pair = [&](SysColor a, SysColor b) {
    return (text == a && background == b) || (text == b && background == a);
  };
  return pair(SysColor::kWindowText, SysColor::kWindow) || pair(SysColor::kHighlightText, SysColor::kHighlight) ||
         pair(SysColor::kBtnText, SysColor::kBtnFace) || (text == SysColor::kGrayText && background == SysColor::kBtnFace) ||
         (text == SysColor::kGrayText && background == SysColor::kWindow);
}

}  // namespace contrast
}  // namespace ui
}  // namespace tw

// The look the wizard draws its own parts with: the designer's colours and
// artwork, or under the system's high-contrast mode the system colours and
// plain shapes (the choices are ui/core/contrast.h's). The mode is asked of
// the system on every drawing, so switching it shows at the next repaint.
// Wine never reports the mode on, so a test build can stand in for the
// question; the shipped program never installs a hook and always asks.
#pragma once

#include <windows.h>

#include "ui/core/contrast.h"

namespace tw {
namespace look {

struct Hooks {
  bool (*highContrast)() = nullptr;
};
// Replaces the system's answer (a null member keeps the system's).
void SetHooks(const Hooks& hooks);

// SPI_GETHIGHCONTRAST: whether the high-contrast mode is on.
bool HighContrastOn();

ui::contrast::Look LookOf(ui::contrast::Element element);
COLORREF ColorOf(const ui::contrast::Color& color);
// A brush of a system colour (the system's own, never deleted), or null
// for a fixed colour.
HBRUSH SystemBrushOf(const ui::contrast::Color& color);

// Fills `rect` with the look's background and, for a plain shape, draws
// its outline `thickness` pixels wide.
void FillShape(HDC dc, const RECT& rect, const ui::contrast::Look& look, int thickness);

}  // namespace look
}  // namespace tw

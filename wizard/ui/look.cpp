#include "look.h"

#include "ui/gdi.h"

namespace tw {
namespace look {
namespace {

Hooks g_hooks;

}  // namespace

void SetHooks(const Hooks& hooks) { g_hooks = hooks; }

bool HighContrastOn() {
  if (g_hooks.highContrast) return g_hooks.highContrast();
  HIGHCONTRASTW contrast{};
  contrast.cbSize = sizeof(contrast);
  return ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) &&
         (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

ui::contrast::Look LookOf(ui::contrast::Element element) {
  return ui::contrast::LookOf(element, HighContrastOn());
}

COLORREF ColorOf(const ui::contrast::Color& color) {
  return color.system ? ::GetSysColor(static_cast<int>(color.sys)) : static_cast<COLORREF>(color.rgb);
}

HBRUSH SystemBrushOf(const ui::contrast::Color& color) {
  return color.system ? ::GetSysColorBrush(static_cast<int>(color.sys)) : nullptr;
}

void FillShape(HDC dc, const RECT& rect, const ui::contrast::Look& look, int thickness) {
  HBRUSH system = SystemBrushOf(look.background);
  UniqueBrush own(system ? nullptr : ::CreateSolidBrush(ColorOf(look.background)));
  ::FillRect(dc, &rect, system ? system : own.get());
  if (!look.outlined) return;
  HBRUSH frame = SystemBrushOf(look.frame);
  UniqueBrush ownFrame(frame ? nullptr : ::CreateSolidBrush(ColorOf(look.frame)));
  RECT edge = rect;
  for (int i = 0; i < thickness && edge.right > edge.left && edge.bottom > edge.top; ++i) {
    ::FrameRect(dc, &edge, frame ? frame : ownFrame.get());
    ::InflateRect(&edge, -1, -1);
  }
}

}  // namespace look
}  // namespace tw

// Whether the texts of a window fit their controls: the drawing flags a
// static text control draws with (the measurement uses the same), how far a
// measured text overflows its room, and which controls overlap. Styles and
// flags carry the platform's numbers. No platform headers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "ui/core/wizard_tables.h"

namespace tw {
namespace ui {
namespace fit {

// Whether a static control of this style shows text at all (not an icon,
// bitmap, frame or owner-drawn control).
bool StaticShowsText(uint32_t style);
// The flags of the text drawing call with which a static control of this
// style draws its text: alignment, word breaks or a single line, and no
// prefix processing where the style says so.
uint32_t StaticTextFlags(uint32_t style);
// A single line (no word breaks): the measured width must fit too.
bool IsSingleLine(uint32_t drawFlags);

struct Size {
  int32_t cx = 0, cy = 0;
};
// How far the measured text overflows the room (0 on each side that fits).
Size Overflow(const Size& needed, const Size& room);

// The room a push button leaves its caption: its client area less a
// margin for the edges and the focus rectangle on each side (3 pixels at
// 96 dots per inch).
Size ButtonTextRoom(const Size& client, int32_t dpiX, int32_t dpiY);

// Pairs of rectangles (by index, the smaller first) that share at least
// one pixel.
std::vector<std::pair<size_t, size_t>> Overlaps(const std::vector<Rect>& rects);

}  // namespace fit
}  // namespace ui
}  // namespace tw
